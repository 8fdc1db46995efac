#pragma once
// The serial desk reader's probing and polling on the 100 ms tick: after the port opens the
// reader-information request goes out up to 15 times; once the reader has answered, a TID
// read goes out every second tick. The give-up comes a tick after the last probe, so the
// port is never closed (and its queues purged) right behind a probe that may still be on its
// way, and the last probe's answer still counts.
#include <algorithm>
#include <cstdint>

inline constexpr std::int32_t kRfidProbeCount = 15;
inline constexpr std::int32_t kRfidReadEveryTicks = 2;
inline constexpr const char* kRfidReaderNotFound = "Считыватель не обнаружен!";
inline constexpr const char* kRfidCannotOpenPort = "Не удается открыть порт!";

struct TReaderTick {
    bool SendProbe = false;    // send the reader-information request
    bool GiveUp = false;       // 15 probes unanswered: close the port, "Считыватель не обнаружен!"
    bool SendTidRead = false;  // send the TID read
};

class TReaderPoll {
public:
    // The port has just opened: probing starts.
    void PortOpened() {
        FProbeTicks = kRfidProbeCount;
        FLastProbeOut = false;
    }
    // The reader answered the information request: probing ends, TID reads begin.
    void ReaderPresent() {
        FProbeTicks = 0;
        FLastProbeOut = false;
        FReading = true;
    }
    // The connect button's disconnect: TID reads end.
    void StopReading() { FReading = false; }

    TReaderTick Tick() {
        TReaderTick t;
        if (FProbeTicks != 0) {
            t.SendProbe = true;
            FLastProbeOut = --FProbeTicks == 0;
        } else if (FLastProbeOut) {
            FLastProbeOut = false;
            t.GiveUp = true;
        }
        if (FReading && ++FReadTicks >= kRfidReadEveryTicks) {
            FReadTicks = 0;
            t.SendTidRead = true;
        }
        return t;
    }

    // Ticks to the one that sends or gives up; 0 none.
    unsigned TicksToWork() const {
        if (FProbeTicks != 0 || FLastProbeOut) return 1;
        return FReading ? static_cast<unsigned>(std::max(1, kRfidReadEveryTicks - FReadTicks)) : 0;
    }

    std::int32_t ProbeTicks() const { return FProbeTicks; }
    bool Reading() const { return FReading; }

private:
    std::int32_t FProbeTicks = 0;
    bool FLastProbeOut = false;  // the 15th probe went out on the last tick
    bool FReading = false;
    std::int32_t FReadTicks = 0;
};
