#pragma once
// Number-base synchronisation with the cloud: rows of the number grid marked "add" or "del"
// in the sync column go to the server in rounds of at most ten of each; the server's
// per-row results clear the marks of the rows it took.
#include <cstddef>
#include <string>
#include <vector>

#include <json/value.h>

#include "cloud/CloudRequest.h"
#include "memory/PhoneRecord.h"

inline constexpr std::size_t kSyncRoundLimit = 10;
inline constexpr const char* kSyncAddMark = "add";
inline constexpr const char* kSyncDelMark = "del";
inline constexpr int kSyncWaitSeconds = 120;
inline constexpr const char* kSyncWaitText = "Выполняется синхронизация";
inline constexpr const char* kSyncDoneText = "Синхронизация выполнена";

// The user object of a row: access word from the access text, the expiry's day, the schedule
// as the position of the first template named like the row's schedule cell, else the number
// a schedule past the templates has ("0" for a text that names none).
TCloudUser SyncUserOfRow(const TPhoneGridRow& row, const std::vector<std::string>& templates);

// rows: every row of the grid, the header first. AddRows and DelRows: the grid rows the
// round takes, in the order of its requests.
struct TSyncRound {
    std::vector<TCloudUser> Add;
    std::vector<std::string> Del;
    std::vector<std::size_t> AddRows, DelRows;
    bool Empty() const { return Add.empty() && Del.empty(); }
};
TSyncRound BuildSyncRound(const std::vector<TPhoneGridRow>& rows,
                          const std::vector<std::string>& templates);

// A row a round sent: where it stood and the number it held then.
struct TSyncRow {
    std::size_t Row = 0;
    std::string Number;
};

// g_SyncSent, g_SyncAcked, and the rows of the requests the server has not answered yet.
struct TSyncState {
    bool Sent = false;
    bool Acked = false;
    std::vector<TSyncRow> AddOut, DelOut;
};

// SynchronizeJSON: the requests of the next round, "add" before "del" (none when no row is
// marked); Sent is set when there is one, and the rows sent are kept for the answer.
std::vector<Json::Value> SynchronizeRound(const std::vector<TPhoneGridRow>& rows,
                                          const std::vector<std::string>& templates,
                                          const std::string& imei, const std::string& pass,
                                          TSyncState& state);

// True when no data row carries the mark.
bool InGridNoOp(const std::vector<TPhoneGridRow>& rows, const std::string& mark);

struct TSyncAck {
    bool Unasked = false;   // no request of that kind was waiting: nothing changed
    std::size_t Extra = 0;  // results past the rows sent, ignored
    bool Done = false;      // no row is marked and no request waits: the server has them all
};
// The answer to the "add" or "del" request still waiting: result i belongs to the i-th row
// that request sent, and "1" clears that row's mark if the row still holds that number and
// mark. Results past the rows sent, and an answer that no request waits for, clear nothing;
// data that is not an array leaves the request waiting. An "add" answer sets Acked.
TSyncAck ApplySyncAck(std::vector<TPhoneGridRow>& rows, const std::string& mark,
                      const Json::Value& results, TSyncState& state);

// The action-log lines for what an answer held beyond what was asked.
std::string SyncUnaskedLine(const std::string& mark);
std::string SyncExtraLine(const std::string& mark, std::size_t extra);

// The timer step: true (both flags cleared) when the next round is due: the "add" request
// is answered and no request waits.
bool SyncRoundDue(TSyncState& state);
// Whether SyncRoundDue would be true now, without taking the round.
bool SyncRoundReady(const TSyncState& state);
