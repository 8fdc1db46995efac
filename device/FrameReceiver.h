#pragma once
// The cable's receiver: when the port is read, when it is cleared, and how what it brings
// is cut into frames, all in one place.
//
// The port is read whenever bytes have arrived (the character event, once per turn of the
// event loop however many pieces came meanwhile). A frame is taken the moment its last
// byte is in, as its length field says: every "SLMX" read, inside another frame's data
// too, is offered as a frame once whole, and the reply checks decide. What can never be a
// frame is offered at once (and dropped by the checks).
//
// A frame still arriving (the line may pause inside a reply) is kept, with the bytes after
// it, until later bytes complete it; it goes when the line has stayed quiet for
// kHeldFrameTicks Timer1 ticks, or when the port opens or closes.
//
// While a frame arrives, the port is asked to wake us once the bytes its length promises are
// in (or the line pauses), not for every piece of a slow line.
//
// When what was read ends in bytes that make no frame, the port is read once more after the
// line has stayed quiet for kRxSilenceTicks ticks, and that read clears the port's receive
// queue, unless a reply is expected: from a request written until as many whole frames
// have come, so that a next reply's first bytes are never thrown away. Nothing else reads
// or clears the port.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

inline constexpr std::size_t kRxBufferSize = 4096;
inline constexpr std::uint8_t kRxSilenceTicks = 5;
// A second of quiet: no pause inside one reply lasts that long.
inline constexpr std::uint16_t kHeldFrameTicks = 100;

// frame points at the length field after the tag; available counts the received bytes from
// there to the end of what has arrived, so a frame longer than that can be dropped.
using TFrameSink = std::function<void(const std::uint8_t* frame, std::size_t available)>;

// What a Timer1 tick asks of the port: the quiet read, and whether it clears the queue.
struct TRxTick {
    bool Read = false;
    bool Purge = false;
};

class TFrameReceiver {
public:
    TFrameReceiver();
    // A request went out on the port: its reply is expected.
    void RequestSent();
    // Bytes read from the port: every tag of them (and of the bytes kept from before) whose
    // frame is whole, or can never be one, is offered to onFrame, in order, each once.
    // onFrame may reset the receiver, or write requests, but never feed it.
    void Take(const std::uint8_t* bytes, std::size_t n, const TFrameSink& onFrame);
    // One Timer1 tick.
    TRxTick Tick();
    // Timer1 ticks to the next one with something to do; 0 none.
    unsigned TicksToWork() const;
    // The port opened or closed: nothing of the last one is kept, awaited or read later.
    void Reset();
    // Bytes kept for later ones, and how many more the frame still arriving needs (1 when
    // none is: any byte is news).
    std::size_t Held() const { return FHeld.size(); }
    std::size_t Wanted() const;
    // Bytes taken in all.
    std::uint64_t Taken() const { return FTaken; }

private:
    void DropHeld();

    std::vector<std::uint8_t> FHeld;   // from the first frame still arriving to the end
    std::vector<std::size_t> FWaiting;  // its tags (offsets in FHeld) still arriving
    std::size_t FScanned = 0;           // tags starting before this offset have been judged
    std::uint16_t FHeldQuiet = 0;       // ticks since bytes last came, while some are kept
    std::uint8_t FSilence = 0;          // ticks left to the quiet read; 0 none due
    std::uint32_t FAwaited = 0;         // requests written without a whole frame after them
    std::uint64_t FTaken = 0;
    std::vector<std::uint8_t> FWork;    // the kept bytes and the new ones, joined
    std::vector<std::size_t> FWasWaiting;
    std::vector<std::size_t> FOffer;
};
