// The three shared timers: each step belongs to its own subsystem, the order is fixed here.
#include "config/ConfigTransfer.h"
#include "app/Unit1.h"

void TForm1::Timer1Timer(TObject*) {
    if (RxSilenceTick(g_RxSilenceTicks)) Receive_analyse();
    // Before the status step, which ends the tick while a remote update runs.
    FirmwareQuietStep();
    if (!StatusPollStep()) return;
    PhoneBlockRetryStep();
    LogBlockRetryStep();
    NumberSyncStep();
    PhoneWriteResendStep();
}

void TForm1::Find_deviceTimer(TObject*) {
    ConfServerLinkStep();
    ConfServerStopStep();
    FirmwareWatchdogStep();
    CloudStatusStep();
    UpdateServerTimeoutStep();
    PhotoRetryStep();
}

void TForm1::FtimerTimer(TObject*) {
    PortScanStep();
    CloudLoginRetryStep();
}

bool TForm1::StatusPollStep() {
    if (!g_WorkingMode) return true;
    if (g_KeepAliveTicks > 0) --g_KeepAliveTicks;
    if (g_KeepAliveTicks != 0) return true;
    // A slow link busy with a transfer gets no status requests, and the block countdowns
    // after this step wait with it.
    if (g_ConfServerLink && (g_BusyTransfer || g_FlashActive)) return false;
    // A number or log transfer has the line to itself: on a slow line every status reply
    // would hold its blocks up. The first tick after it polls again.
    if (BlockTransferRuns()) return true;
    if (g_AccessLevel != 0) SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0});
    g_KeepAliveTicks = kKeepAliveTicks;
    return true;
}
