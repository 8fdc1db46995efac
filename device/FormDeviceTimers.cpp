// The three shared timers: each step belongs to its own subsystem, the order is fixed here,
// and so is each timer's next tick with work, from its steps' own counts.
#include "config/ConfigTransfer.h"
#include "app/Unit1.h"

namespace {

// The status step ends the tick: a slow link busy with a transfer gets no status requests,
// and the countdowns after it wait with it.
bool StatusPollHolds() { return g_ConfServerLink && (g_BusyTransfer || g_FlashActive); }

}  // namespace

void TForm1::Timer1Timer(TObject*) {
    const TRxTick rx = g_RxFrames.Tick();
    if (rx.Read) Receive_analyse(rx.Purge);
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

unsigned TForm1::Timer1Due() const {
    const unsigned first = EarliestDue({g_RxFrames.TicksToWork(), FirmwareQuietDue(), StatusPollDue()});
    if (g_WorkingMode && g_KeepAliveTicks == 0 && StatusPollHolds()) return first;
    return EarliestDue({first, PhoneBlockRetryDue(), LogBlockRetryDue(), NumberSyncDue(), PhoneWriteResendDue()});
}

unsigned TForm1::Find_deviceDue() const {
    return EarliestDue({ConfServerLinkDue(), ConfServerStopDue(), FirmwareWatchdogDue(), CloudStatusDue(),
                        UpdateServerTimeoutDue(), PhotoRetryDue()});
}

unsigned TForm1::FtimerDue() const { return EarliestDue({PortScanDue(), CloudLoginRetryDue()}); }

bool TForm1::StatusPollStep() {
    if (!g_WorkingMode) return true;
    if (g_KeepAliveTicks > 0) --g_KeepAliveTicks;
    if (g_KeepAliveTicks != 0) return true;
    if (StatusPollHolds()) return false;
    // A number or log transfer has the line to itself: on a slow line every status reply
    // would hold its blocks up. The first tick after it polls again.
    if (BlockTransferRuns()) return true;
    if (g_AccessLevel != 0) SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0});
    g_KeepAliveTicks = kKeepAliveTicks;
    return true;
}

unsigned TForm1::StatusPollDue() const {
    if (!g_WorkingMode) return 0;
    if (g_KeepAliveTicks > 0) return g_KeepAliveTicks;
    // Held by the link or by a transfer, it waits for their end, which no tick brings.
    return StatusPollHolds() || BlockTransferRuns() ? 0 : 1;
}
