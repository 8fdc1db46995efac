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
        if (mark == kSyncAddMark && round.Add.size() < kSyncRoundLimit)
            round.Add.push_back(SyncUserOfRow(rows[r], templates));
        if (mark == kSyncDelMark && round.Del.size() < kSyncRoundLimit)
            round.Del.push_back(rows[r][colNumber]);
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
    return requests;
}

bool InGridNoOp(const std::vector<TPhoneGridRow>& rows, const std::string& mark) {
    for (std::size_t r = 1; r < rows.size(); ++r)
        if (rows[r][colSync] == mark) return false;
    return true;
}

bool ApplySyncAck(std::vector<TPhoneGridRow>& rows, const std::string& mark,
                  const Json::Value& results, TSyncState& state) {
    // Each result is matched with the next marked row after the previous result's row: a
    // row the server refused keeps its mark and is not taken again for the next result.
    if (!results.isArray()) return !InGridNoOp(rows, mark);
    std::size_t next = 1;
    for (Json::ArrayIndex i = 0; i < JsonSize(results); ++i) {
        std::size_t found = 0;
        for (std::size_t r = next; r < rows.size(); ++r) {
            if (rows[r][colSync] == mark) {
                found = r;
                break;
            }
        }
        if (found == 0) break;
        if (JsonString(JsonElement(results, i)) == "1") rows[found][colSync].clear();
        next = found + 1;
    }
    if (mark == kSyncAddMark) state.Acked = true;
    return !InGridNoOp(rows, mark);
}

bool SyncRoundDue(TSyncState& state) {
    if (!state.Sent || !state.Acked) return false;
    state.Sent = state.Acked = false;
    return true;
}
