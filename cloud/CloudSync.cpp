#include "cloud/CloudSync.h"

#include "cloud/CloudJsonRead.h"

TCloudUser SyncUserOfRow(const TPhoneGridRow& row, const std::vector<std::string>& templates) {
    TCloudUser u;
    const std::string& access = row[colAccess];
    u.Access = access == "Администратор" ? "admin" : access == "Управляющий" ? "manager" : "user";
    // The server keeps a day: an expiry within a day goes as that day, which ends no later.
    std::uint32_t expiry = 0;
    u.EndDate = ExpiryCellSeconds(row[colExpiry], expiry) ? ExpiryToText(expiry) : row[colExpiry];
    u.Name = row[colName];
    u.Number = row[colNumber];
    u.Passes = row[colPasses];
    for (std::size_t i = 0; i < templates.size(); ++i) {
        if (templates[i] == row[colSchedule]) {
            u.Shedule = std::to_string(i);
            return u;
        }
    }
    // A schedule past the templates goes as its number, never as round the clock.
    std::uint8_t schedule = 0;
    u.Shedule = IndexOfCellText(colSchedule, row[colSchedule], schedule) ? std::to_string(schedule) : "0";
    return u;
}

TSyncRound BuildSyncRound(const std::vector<TPhoneGridRow>& rows,
                          const std::vector<std::string>& templates) {
    TSyncRound round;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::string& mark = rows[r][colSync];
        if (mark == kSyncAddMark && round.Add.size() < kSyncRoundLimit) {
            round.Add.push_back(SyncUserOfRow(rows[r], templates));
            round.AddRows.push_back(r);
        }
        if (mark == kSyncDelMark && round.Del.size() < kSyncRoundLimit) {
            round.Del.push_back(rows[r][colNumber]);
            round.DelRows.push_back(r);
        }
    }
    return round;
}

std::vector<Json::Value> SynchronizeRound(const std::vector<TPhoneGridRow>& rows,
                                          const std::vector<std::string>& templates,
                                          const std::string& imei, const std::string& pass,
                                          TSyncState& state) {
    const TSyncRound round = BuildSyncRound(rows, templates);
    std::vector<Json::Value> requests;
    if (!round.Add.empty()) requests.push_back(AddUsersRequest(imei, pass, round.Add));
    if (!round.Del.empty()) requests.push_back(DeleteNumbersRequest(imei, pass, round.Del));
    if (!requests.empty()) state.Sent = true;
    const auto keep = [&rows](const std::vector<std::size_t>& sent, std::vector<TSyncRow>& out) {
        if (sent.empty()) return;
        out.clear();
        for (std::size_t r : sent) out.push_back({r, rows[r][colNumber]});
    };
    keep(round.AddRows, state.AddOut);
    keep(round.DelRows, state.DelOut);
    return requests;
}

bool InGridNoOp(const std::vector<TPhoneGridRow>& rows, const std::string& mark) {
    for (std::size_t r = 1; r < rows.size(); ++r)
        if (rows[r][colSync] == mark) return false;
    return true;
}

TSyncAck ApplySyncAck(std::vector<TPhoneGridRow>& rows, const std::string& mark,
                      const Json::Value& results, TSyncState& state) {
    TSyncAck ack;
    std::vector<TSyncRow>& out = mark == kSyncAddMark ? state.AddOut : state.DelOut;
    if (out.empty()) {
        ack.Unasked = true;  // a copy, or an answer to nothing: the rows it names never went
    } else if (results.isArray()) {
        const std::size_t n = JsonSize(results);
        for (std::size_t i = 0; i < n && i < out.size(); ++i) {
            if (JsonString(JsonElement(results, static_cast<Json::ArrayIndex>(i))) != "1") continue;
            const TSyncRow& sent = out[i];
            // A row the grid has since moved or changed is left marked: sending it again is safe.
            if (sent.Row < rows.size() && rows[sent.Row][colSync] == mark &&
                rows[sent.Row][colNumber] == sent.Number)
                rows[sent.Row][colSync].clear();
        }
        ack.Extra = n > out.size() ? n - out.size() : 0;
        out.clear();
        if (mark == kSyncAddMark) state.Acked = true;
    }
    ack.Done = state.AddOut.empty() && state.DelOut.empty() && InGridNoOp(rows, kSyncAddMark) &&
               InGridNoOp(rows, kSyncDelMark);
    return ack;
}

std::string SyncUnaskedLine(const std::string& mark) {
    return "Ответ синхронизации (" + mark + ") без запроса пропущен";
}

std::string SyncExtraLine(const std::string& mark, std::size_t extra) {
    return "Ответ синхронизации (" + mark + "): лишних результатов " + std::to_string(extra) + ", пропущены";
}

bool SyncRoundReady(const TSyncState& state) {
    return state.Sent && state.Acked && state.AddOut.empty() && state.DelOut.empty();
}

bool SyncRoundDue(TSyncState& state) {
    if (!SyncRoundReady(state)) return false;
    state.Sent = state.Acked = false;
    return true;
}
