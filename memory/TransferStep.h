#pragma once
// What one reply or tick of a block transfer asks the window to do. The transfers keep
// their own counters and records; the window only carries these steps out, in field order:
// send the request, show the panel line, move the progress, show the message, then end.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

enum class TTransferEnd {
    None,
    Completed,  // all records moved: busy flag cleared, progress hidden, wait panel closed
    Empty,      // the device holds no records: the grid is cleared
    EraseSent,  // an empty base went out as "erase all": busy flag cleared
    NoAnswer,   // the device stopped answering: the transfer ended where it stood, its message
                // (what it leaves) after the numbered one; progress hidden, wait panel closed
    Unconfirmed,  // the device's own count disagrees with what was written: ended as NoAnswer,
                  // its message says what the device holds
};

struct TTransferStep {
    std::vector<std::uint8_t> Request;  // data of the transfer's command; empty = nothing to send
    bool AskCount = false;              // then the device's record count is asked for (0x2C [0x00])
    std::string PanelText;              // line for the message panel (on the main form)
    bool ProgressChanged = false;
    int Percent = 0;                    // -1 hides the progress display
    std::string ProgressText;
    std::string Message;                // message panel text (a value of both languages)
    int MessageNumber = 0;              // numbered message of the language file, 0 = none
    int ResultCode = -1;                // device result code to show as its text, -1 = none
    TTransferEnd End = TTransferEnd::None;
};

// The countdowns of the block in flight, in 10 ms ticks. The block goes again once the link
// has been silent for its countdown: bytes still arriving (the reply on a slow line) restart
// it, so what is on its way is never asked for twice. A transfer that makes no progress for
// longer than its patience gives up.
class TBlockWait {
public:
    enum class TTick { Wait, Repeat, GiveUp };

    // A transfer begins; 0 patience never gives up.
    void Begin(std::int32_t patienceTicks) {
        FPatience = FPatienceLeft = patienceTicks;
        FRequests = 0;
    }
    // A block was asked for or sent; its countdown starts.
    void Sent(std::int32_t silenceTicks) {
        FSilence = FLeft = silenceTicks;
        ++FRequests;
    }
    // Bytes arrived on the link.
    void Heard() {
        if (FLeft > 0) FLeft = FSilence;
    }
    // The transfer moved on (a block taken or acknowledged).
    void Progress() { FPatienceLeft = FPatience; }
    void Stop() { FLeft = 0; }
    TTick Tick() {
        if (FLeft <= 0) return TTick::Wait;
        if (FPatience > 0 && --FPatienceLeft <= 0) {
            FLeft = 0;
            return TTick::GiveUp;
        }
        return --FLeft == 0 ? TTick::Repeat : TTick::Wait;
    }
    std::int32_t Left() const { return FLeft; }
    // Ticks to the one that repeats the block or gives up; 0 none.
    unsigned TicksToWork() const {
        if (FLeft <= 0) return 0;
        if (FPatience > 0 && FPatienceLeft < FLeft) return static_cast<unsigned>(std::max(1, FPatienceLeft));
        return static_cast<unsigned>(FLeft);
    }
    // Requests since the transfer began, repeats included.
    std::uint32_t Requests() const { return FRequests; }

private:
    std::int32_t FSilence = 0;
    std::int32_t FLeft = 0;
    std::int32_t FPatience = 0;
    std::int32_t FPatienceLeft = 0;
    std::uint32_t FRequests = 0;
};
