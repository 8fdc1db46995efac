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

// rows: every row of the grid, the header first.
struct TSyncRound {
    std::vector<TCloudUser> Add;
    std::vector<std::string> Del;
    bool Empty() const { return Add.empty() && Del.empty(); }
};
TSyncRound BuildSyncRound(const std::vector<TPhoneGridRow>& rows,
                          const std::vector<std::string>& templates);

// g_SyncSent, g_SyncAcked.
struct TSyncState {
    bool Sent = false;
    bool Acked = false;
};

// SynchronizeJSON: the requests of the next round, "add" before "del" (none when no row is
// marked); Sent is set when there is one.
std::vector<Json::Value> SynchronizeRound(const std::vector<TPhoneGridRow>& rows,
                                          const std::vector<std::string>& templates,
                                          const std::string& imei, const std::string& pass,
                                          TSyncState& state);

// True when no data row carries the mark.
bool InGridNoOp(const std::vector<TPhoneGridRow>& rows, const std::string& mark);

// The acknowledgement of an "add" or "del" round: result i belongs to the i-th row carrying
// the mark, as the round took them, and "1" clears that row's mark. A result without such a
// row clears nothing, nor does a reply whose data is not an array. An "add" acknowledgement
// sets Acked. Returns true when rows still
// carry the mark (the window then waits for the next round).
bool ApplySyncAck(std::vector<TPhoneGridRow>& rows, const std::string& mark,
                  const Json::Value& results, TSyncState& state);

// The timer step: true (both flags cleared) when the next round is due.
bool SyncRoundDue(TSyncState& state);
