#include "memory/MemoryState.h"

#include "memory/PhoneBase.h"
#include "memory/PhotoState.h"

TPhoneReadTransfer g_PhoneRead;
TPhoneWriteTransfer g_PhoneWrite;
TPhoneGridRowsBuilder g_PhoneReadRows;
TEventLogTransfer g_LogRead;
TNumberSearch g_NumberSearch;
char g_SearchKeyword[16] = {};
std::int32_t g_LogNextRow = 1;
std::vector<TLogGridRow> g_CloudLogRows;
std::uint32_t g_TransferEnds = 0;
std::function<void()> g_CloudClearChrono;
std::function<void(TDateTime, TDateTime, int, const std::string&)> g_CloudChronoRequest;
std::function<void(const std::string&)> g_CloudNumberQuery;
std::function<std::string()> g_CloudSessionImei;

std::string SessionImeiText() { return g_CloudSessionImei ? g_CloudSessionImei() : std::string(); }

void StopPhoneTransfers() {
    g_PhoneRead.Stop();
    g_PhoneReadRows.Clear();
    g_PhoneWrite.Stop();
}

bool BlockTransferRuns() { return g_PhoneRead.Running() || g_PhoneWrite.Writing() || g_LogRead.Reading(); }

void ResetMemoryState() {
    g_PhoneRead = {};
    g_PhoneWrite = {};
    g_PhoneReadRows = {};
    g_LogRead = {};
    g_NumberSearch = {};
    g_SearchKeyword[0] = '\0';
    g_LogNextRow = 1;
    g_CloudLogRows.clear();
    g_TransferEnds = 0;
    g_CloudClearChrono = nullptr;
    g_CloudChronoRequest = nullptr;
    g_CloudNumberQuery = nullptr;
    g_CloudSessionImei = nullptr;
    SetPhoneRecords({});
    ResetPhotoState();
}
