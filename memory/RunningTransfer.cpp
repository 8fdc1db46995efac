#include "memory/RunningTransfer.h"

#include "app/ShellState.h"
#include "cloud/CloudSession.h"
#include "config/ConfigTransfer.h"
#include "firmware/FirmwareState.h"
#include "memory/MemoryState.h"
#include "memory/PhotoState.h"
#include "platform/sys/Clock.h"

TTransfer RunningTransfer() {
    const std::int64_t now = sys::ListenMs();
    const auto awaits = [now](TAsk what) { return g_AskedReplies.Awaits(what, now); };
    if (g_PhoneRead.Running()) return TTransfer::NumberRead;
    if (g_PhoneWrite.Writing()) return TTransfer::NumberWrite;
    // One request whose answer ends it.
    if (awaits(TAsk::EraseNumbers)) return TTransfer::Erase;
    // The cloud's log goes on as long as its next block is awaited.
    if (g_LogRead.Reading() || awaits(TAsk::CloudLog)) return TTransfer::LogRead;
    // A configuration request waits for its answer as long as its wait runs; the cloud's own
    // (the schedules) until its answer.
    if (g_WaitTicks != 0 && g_ConfigWaitMessage == kMsgReadingConfig) return TTransfer::ConfigRead;
    if (awaits(TAsk::CloudConfig)) return TTransfer::ConfigRead;
    if (g_WaitTicks != 0 && g_ConfigWaitMessage == kMsgWritingConfig) return TTransfer::ConfigWrite;
    if (g_FirmwareUpdate.Running()) return TTransfer::Firmware;
    // An event's picture retries on its own; a camera picture is asked for until its size
    // comes, then it and a server picture go on while their wait runs (a device that stops
    // sending chunks leaves its file open).
    if (g_PhotoMode != photoIdle || awaits(TAsk::CameraPhoto) || (g_PhotoFile.IsOpen() && g_WaitTicks != 0))
        return TTransfer::Photo;
    if (g_SyncState.Sent) return TTransfer::Sync;
    return TTransfer::None;
}

int RunningTransferMessage(TTransfer transfer) {
    // Messages 102 to 110 name the transfers in their order.
    return 101 + static_cast<int>(transfer);
}
