#pragma once
// Number-base synchronisation with the cloud: rows of the number grid marked "add" or "del"
// in the sync column go to the server in rounds of at most ten of each; the server's
// per-row results clear the marks of the rows it took.
#include <cstddef>
#include <map>
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

// The answers that did not take a number; at kSyncRefusalLimit it is not sent again.
using TSyncRefusals = std::map<std::string, int>;
inline constexpr int kSyncRefusalLimit = 5;
// Timer1 ticks (10 ms) between rounds that send rows again: once a second at most.
inline constexpr int kSyncResendTicks = 100;
// Timer1 ticks a round waits for its answer, as long as the log's and the defragmentation's
// waits; then the synchronisation ends, the rows keeping their marks.
inline constexpr int kSyncAnswerTicks = 6000;
inline constexpr const char* kSyncUnansweredText =
    "Синхронизация не завершена: сервер не ответил. Отмеченные номера будут отправлены при следующем "
    "импорте.//\\ Synchronisation not finished: the server did not answer. The marked numbers go "
    "with the next import.";

// rows: every row of the grid, the header first. AddRows and DelRows: the grid rows the
// round takes, in the order of its requests. Numbers refused kSyncRefusalLimit times are
// left out.
struct TSyncRound {
    std::vector<TCloudUser> Add;
    std::vector<std::string> Del;
    std::vector<std::size_t> AddRows, DelRows;
    bool Empty() const { return Add.empty() && Del.empty(); }
};
TSyncRound BuildSyncRound(const std::vector<TPhoneGridRow>& rows,
                          const std::vector<std::string>& templates,
                          const TSyncRefusals& refusals = {});

// A row a round sent: where it stood and the number it held then.
struct TSyncRow {
    std::size_t Row = 0;
    std::string Number;
};

// g_SyncSent, g_SyncAcked, and the rows of the requests the server has not answered yet.
struct TSyncState {
    bool Sent = false;
    bool Acked = false;
    bool Resend = false;  // an answer did not fit its round: the round goes again
    bool Paced = false;   // the next round sends rows again: not before PaceTicks run out
    int PaceTicks = 0;    // Timer1 ticks left of the second since the last round went
    int AnswerTicks = 0;  // Timer1 ticks left for the answers to the round out
    std::vector<TSyncRow> AddOut, DelOut;
    TSyncRefusals Refusals;
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
    bool Unasked = false;     // no request of that kind was waiting: nothing changed
    bool Mismatch = false;    // not one result a row sent: nothing changed, the round goes again
    std::size_t Results = 0;  // when Mismatch: how many results it held
    std::size_t Sent = 0;     // and how many rows its request sent
    bool Done = false;        // no row is marked and no request waits: the server has them all
    // No request waits and every row still marked is one the server does not take: their
    // numbers.
    std::vector<std::string> NotTaken;
};
// The answer to the "add" or "del" request still waiting: result i belongs to the i-th row
// that request sent, and "1" clears that row's mark if the row still holds that number and
// mark; any other result counts a refusal of the number. An answer that is not one result
// a row sent (a copy of another round's, say) clears nothing, counts a refusal of every row
// sent and has the round sent again; an answer that no request waits for changes nothing.
// An "add" answer sets Acked; one that leaves rows to send again paces the next round.
TSyncAck ApplySyncAck(std::vector<TPhoneGridRow>& rows, const std::string& mark,
                      const Json::Value& results, TSyncState& state);

// The action-log line for an answer whose results do not match the rows sent, and the
// message naming the numbers the server does not take.
std::string SyncMismatchLine(const std::string& mark, std::size_t results, std::size_t sent);
std::string SyncNotTakenText(const std::vector<std::string>& numbers);

// The timer step: counts the pace down; true (the flags cleared) when the next round is
// due: the "add" request is answered, or a round is to go again, no request waits and the
// pace allows it.
bool SyncRoundDue(TSyncState& state);
// The timer step's other count: true (the state back to none, so that a late answer is
// nobody's) when the answers to the round out have not all come within kSyncAnswerTicks.
bool SyncRoundUnanswered(TSyncState& state);
// Whether SyncRoundDue would be true now, without taking the round.
bool SyncRoundReady(const TSyncState& state);
// Timer1 ticks to the step's next work (0: none).
unsigned SyncTicksToWork(const TSyncState& state);
