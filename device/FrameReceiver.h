#pragma once
// Cutting a received burst into frames. A burst is what arrived before 5 Timer1 ticks of
// silence; every "SLMX" in it, inside another frame's data too, is offered as a frame and
// the reply checks decide.
#include <cstddef>
#include <cstdint>
#include <functional>

inline constexpr std::size_t kRxBufferSize = 4096;
inline constexpr std::uint8_t kRxSilenceTicks = 5;

// frame points at the length field after the tag; available counts the burst's bytes from
// there to its end, so a frame longer than what arrived can be dropped.
using TFrameSink = std::function<void(const std::uint8_t* frame, std::size_t available)>;

// Offers every tag found in burst[0..n) to onFrame, in order.
void ScanBurstForFrames(const std::uint8_t* burst, std::size_t n, const TFrameSink& onFrame);

// The character event: the burst is read only after the line has been quiet a while.
inline void RxCharReceived(std::uint8_t& silenceTicks) { silenceTicks = kRxSilenceTicks; }
// One Timer1 tick of the receive-silence countdown; true when the burst is due now.
inline bool RxSilenceTick(std::uint8_t& silenceTicks) {
    if (silenceTicks == 0) return false;
    return --silenceTicks == 0;
}
