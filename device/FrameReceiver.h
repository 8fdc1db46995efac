#pragma once
// Cutting what the cable brings into frames. The port is read at every Timer1 tick while
// bytes arrive, and once more when the line has been quiet for 5 ticks; each read is a
// burst. Every "SLMX" in it, inside another frame's data too, is offered as a frame and the
// reply checks decide.
//
// A burst may end inside a frame: a read while the reply still arrives, or a controller
// that pauses inside a reply for longer than the quiet. Such a frame (its length field says
// that more is coming) is kept, with the bytes after it, until a later burst completes it,
// so that it is taken at the tick after its last byte and never asked for again; what can
// never be a frame is offered at once (and dropped by the checks). What is kept goes when
// the line has stayed quiet for kHeldFrameTicks, or the port closes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

inline constexpr std::size_t kRxBufferSize = 4096;
inline constexpr std::uint8_t kRxSilenceTicks = 5;
// A second of quiet after a burst: no pause inside one reply lasts that long.
inline constexpr std::uint16_t kHeldFrameTicks = 100;

// frame points at the length field after the tag; available counts the received bytes from
// there to the end of what has arrived, so a frame longer than that can be dropped.
using TFrameSink = std::function<void(const std::uint8_t* frame, std::size_t available)>;

class TFrameReceiver {
public:
    TFrameReceiver();
    // A burst has been read: every tag of it (and of the bytes kept from before) whose frame
    // is whole, or can never be one, is offered to onFrame, in order, each once. onFrame may
    // reset the receiver, but never feed it.
    void Burst(const std::uint8_t* burst, std::size_t n, const TFrameSink& onFrame);
    // One Timer1 tick while the line is quiet.
    void QuietTick();
    void Reset();
    // Bytes kept for the next burst.
    std::size_t Held() const { return FHeld.size(); }

private:
    std::vector<std::uint8_t> FHeld;   // from the first frame still arriving to the end
    std::vector<std::size_t> FWaiting;  // its tags (offsets in FHeld) still arriving
    std::size_t FScanned = 0;           // tags starting before this offset have been judged
    std::uint16_t FQuietTicks = 0;
    std::vector<std::uint8_t> FWork;    // the kept bytes and the burst, joined
    std::vector<std::size_t> FWasWaiting;
    std::vector<std::size_t> FOffer;
};

// The character event: the burst is read only after the line has been quiet a while.
inline void RxCharReceived(std::uint8_t& silenceTicks) { silenceTicks = kRxSilenceTicks; }
// One Timer1 tick of the receive-silence countdown; true when the burst is due now.
inline bool RxSilenceTick(std::uint8_t& silenceTicks) {
    if (silenceTicks == 0) return false;
    return --silenceTicks == 0;
}
