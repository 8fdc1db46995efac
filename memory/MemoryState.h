#pragma once
// Module state of the number base and the event log on the main window: the block
// transfers in progress, the grid search, and the next row for the cloud's log rows.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"

#include "memory/EventLogTransfer.h"
#include "memory/EventRecord.h"
#include "memory/NumberSearch.h"
#include "memory/NumberTransfer.h"
#include "memory/PhoneGridRows.h"

// Reading and writing the whole number base (their countdowns run on Timer1's steps).
extern TPhoneReadTransfer g_PhoneRead;
extern TPhoneWriteTransfer g_PhoneWrite;
// The grid rows of the records read so far, made block by block as the read goes.
extern TPhoneGridRowsBuilder g_PhoneReadRows;
// Reading the device's event log block by block.
extern TEventLogTransfer g_LogRead;
// The number grid's search: matches moved to the top and the keyword they are lit by.
extern TNumberSearch g_NumberSearch;
// The search keyword for the highlighting, cut to its 15 characters; empty = none.
extern char g_SearchKeyword[16];
// The next event-log row for the cloud's log rows; ClearLogs resets it to 1.
extern std::int32_t g_LogNextRow;
// The rows of the cloud's log read, gathered until all are in ([0] stands for the header):
// the grid shows them only then, so a read that fails or is refused leaves it as it was.
// Empty while no read gathers.
extern std::vector<TLogGridRow> g_CloudLogRows;
// The cloud paths of this subsystem's buttons, installed by the cloud session: clearing the
// event log ("clearchrono"), asking for the log (connects the socket when needed, then
// "gchrono" with the period, the operation filter and the number), asking the device about
// a number ("gnum"), and the session's IMEI that names the export files.
extern std::function<void()> g_CloudClearChrono;
extern std::function<void(TDateTime start, TDateTime end, int operation, const std::string& number)>
    g_CloudChronoRequest;
extern std::function<void(const std::string& keyword)> g_CloudNumberQuery;
extern std::function<std::string()> g_CloudSessionImei;
// The IMEI of the cloud session, empty outside one.
std::string SessionImeiText();

// The subsystem's state as at start-up, the number records and the photographs' included:
// what a window set goes with it.
void ResetMemoryState();
// Both number-base countdowns stop, and neither transfer goes on (the end of a session).
void StopPhoneTransfers();
// A number read or write, or a device log read, runs.
bool BlockTransferRuns();
// Counts the times a lost link ended transfers: a step that sent a request sees from it
// whether its send found the link gone.
extern std::uint32_t g_TransferEnds;
