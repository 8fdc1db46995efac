#include "memory/RunningTransfer.h"

#include "app/ShellState.h"
#include "cloud/CloudSession.h"
#include "config/ConfigTransfer.h"
#include "firmware/FirmwareState.h"
#include "memory/MemoryState.h"
#include "memory/PhotoState.h"

TTransfer RunningTransfer() {
    if (g_PhoneRead.Running()) return TTransfer::NumberRead;
    if (g_PhoneWrite.Writing()) return TTransfer::NumberWrite;
    if (g_LogRead.Reading()) return TTransfer::LogRead;
    // A configuration request waits for its answer as long as its wait runs.
    if (g_WaitTicks != 0 && g_ConfigWaitMessage == kMsgReadingConfig) return TTransfer::ConfigRead;
    if (g_WaitTicks != 0 && g_ConfigWaitMessage == kMsgWritingConfig) return TTransfer::ConfigWrite;
    if (g_FirmwareUpdate.Running()) return TTransfer::Firmware;
    // An event's picture retries on its own; a camera or server picture goes on while its wait
    // runs (a device that stops sending chunks leaves its file open).
    if (g_PhotoMode != photoIdle || (g_PhotoFile.IsOpen() && g_WaitTicks != 0)) return TTransfer::Photo;
    if (g_SyncState.Sent) return TTransfer::Sync;
    return TTransfer::None;
}

int RunningTransferMessage(TTransfer transfer) {
    // Messages 102 to 109 name the transfers in their order.
    return 101 + static_cast<int>(transfer);
}
