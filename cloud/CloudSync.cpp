#include "cloud/CloudSync.h"

#include "cloud/CloudJsonRead.h"
#include "platform/sys/Timer.h"

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

namespace {

bool NotTaken(const TSyncRefusals& refusals, const std::string& number) {
    const auto it = refusals.find(number);
    return it != refusals.end() && it->second >= kSyncRefusalLimit;
}

bool SyncMark(const std::string& mark) { return mark == kSyncAddMark || mark == kSyncDelMark; }

}  // namespace

TSyncRound BuildSyncRound(const std::vector<TPhoneGridRow>& rows,
                          const std::vector<std::string>& templates, const TSyncRefusals& refusals) {
    TSyncRound round;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::string& mark = rows[r][colSync];
        if (NotTaken(refusals, rows[r][colNumber])) continue;
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
    const TSyncRound round = BuildSyncRound(rows, templates, state.Refusals);
    std::vector<Json::Value> requests;
    if (!round.Add.empty()) requests.push_back(AddUsersRequest(imei, pass, round.Add));
    if (!round.Del.empty()) requests.push_back(DeleteNumbersRequest(imei, pass, round.Del));
    if (!requests.empty()) {
        state.Sent = true;
        state.PaceTicks = kSyncResendTicks;
        state.AnswerTicks = kSyncAnswerTicks;
    }
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
        return ack;
    }
    const std::size_t n = JsonSize(results);
    if (!results.isArray() || n != out.size()) {
        // Another round's answer, or a broken one: which result is whose is unknown.
        ack.Mismatch = true;
        ack.Results = n;
        ack.Sent = out.size();
        for (const TSyncRow& sent : out) ++state.Refusals[sent.Number];
        state.Resend = state.Paced = true;
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            const TSyncRow& sent = out[i];
            if (JsonString(JsonElement(results, static_cast<Json::ArrayIndex>(i))) != "1") {
                ++state.Refusals[sent.Number];
                state.Paced = true;
                continue;
            }
            // A row the grid has since moved or changed is left marked: sending it again is safe.
            if (sent.Row < rows.size() && rows[sent.Row][colSync] == mark &&
                rows[sent.Row][colNumber] == sent.Number)
                rows[sent.Row][colSync].clear();
        }
        if (mark == kSyncAddMark) state.Acked = true;
    }
    out.clear();
    if (!state.AddOut.empty() || !state.DelOut.empty()) return ack;
    bool toSend = false;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (!SyncMark(rows[r][colSync])) continue;
        if (NotTaken(state.Refusals, rows[r][colNumber]))
            ack.NotTaken.push_back(rows[r][colNumber]);
        else
            toSend = true;
    }
    ack.Done = !toSend && ack.NotTaken.empty();
    if (toSend) ack.NotTaken.clear();
    return ack;
}

std::string SyncMismatchLine(const std::string& mark, std::size_t results, std::size_t sent) {
    return "Ответ синхронизации (" + mark + "): результатов " + std::to_string(results) + " на " +
           std::to_string(sent) + " отправленных, раунд будет отправлен снова";
}

std::string SyncNotTakenText(const std::vector<std::string>& numbers) {
    constexpr std::size_t kNamed = 10;  // the rest are counted: the message stays readable
    std::string text = "Синхронизация не завершена: сервер не принимает номера ";
    for (std::size_t i = 0; i < numbers.size() && i < kNamed; ++i) text += (i ? ", " : "") + numbers[i];
    if (numbers.size() > kNamed) text += " и ещё " + std::to_string(numbers.size() - kNamed);
    return text;
}

namespace {

bool AnswersAwaited(const TSyncState& state) { return !state.AddOut.empty() || !state.DelOut.empty(); }

}  // namespace

bool SyncRoundUnanswered(TSyncState& state) {
    if (!AnswersAwaited(state) || state.AnswerTicks == 0 || --state.AnswerTicks != 0) return false;
    state = {};
    return true;
}

bool SyncRoundReady(const TSyncState& state) {
    return state.Sent && (state.Acked || state.Resend) && state.AddOut.empty() && state.DelOut.empty() &&
           (!state.Paced || state.PaceTicks == 0);
}

bool SyncRoundDue(TSyncState& state) {
    if (state.PaceTicks > 0) --state.PaceTicks;
    if (!SyncRoundReady(state)) return false;
    state.Sent = state.Acked = state.Resend = state.Paced = false;
    return true;
}

// The pace counts down while the answer is awaited too: its second runs from the send.
unsigned SyncTicksToWork(const TSyncState& state) {
    if (SyncRoundReady(state)) return 1;
    const unsigned answer = AnswersAwaited(state) ? static_cast<unsigned>(state.AnswerTicks) : 0;
    return EarliestDue({static_cast<unsigned>(state.PaceTicks), answer});
}
