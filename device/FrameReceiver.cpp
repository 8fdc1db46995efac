#include "device/FrameReceiver.h"

#include <algorithm>
#include <cstring>

#include "device/DeviceFrame.h"

namespace {

// The tag, or as much of it as has arrived, starts at i.
bool TagAt(const std::uint8_t* p, std::size_t m, std::size_t i) {
    return std::memcmp(p + i, kFrameTag, std::min<std::size_t>(m - i, 4)) == 0;
}

// A tag at i whose frame has not all arrived yet, though it may still become one.
bool StillArriving(const std::uint8_t* p, std::size_t m, std::size_t i) {
    const std::size_t have = m - i;
    if (have < 6) return true;  // the tag or its length field is still on its way
    const std::size_t size = PlausibleFrameSize(p[i + 4], p[i + 5]);
    if (size == 0 || (have > 6 && p[i + 6] != kReplyMarker)) return false;
    return have < size;
}

}  // namespace

TFrameReceiver::TFrameReceiver() {
    FHeld.reserve(kMaxDeviceFrame);
    FWork.reserve(kMaxDeviceFrame + kRxBufferSize);
}

void TFrameReceiver::Burst(const std::uint8_t* burst, std::size_t n, const TFrameSink& onFrame) {
    FWork.assign(FHeld.begin(), FHeld.end());
    if (burst != nullptr) FWork.insert(FWork.end(), burst, burst + n);
    const std::uint8_t* p = FWork.data();
    const std::size_t m = FWork.size();
    FOffer.clear();
    FWasWaiting.swap(FWaiting);
    FWaiting.clear();
    std::size_t keepFrom = m;
    auto judge = [&](std::size_t i) {
        if (!TagAt(p, m, i)) return;
        if (StillArriving(p, m, i)) {
            keepFrom = std::min(keepFrom, i);
            FWaiting.push_back(i);
        } else {
            FOffer.push_back(i);
        }
    };
    // The tags kept from before come first in the stream, then those of the new bytes.
    for (std::size_t i : FWasWaiting) judge(i);
    for (std::size_t i = std::min(FScanned, m); i < m; ++i) {
        const void* s = std::memchr(p + i, kFrameTag[0], m - i);
        if (s == nullptr) break;
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(s) - p);
        judge(i);
    }
    // What is kept is settled before any frame is offered: a frame's case may reset us.
    FHeld.assign(FWork.begin() + static_cast<std::ptrdiff_t>(keepFrom), FWork.end());
    for (std::size_t& i : FWaiting) i -= keepFrom;
    FScanned = m - keepFrom;
    FQuietTicks = 0;
    if (!onFrame) return;
    for (std::size_t i : FOffer) onFrame(p + i + 4, m - (i + 4));
}

void TFrameReceiver::QuietTick() {
    if (FHeld.empty()) return;
    if (++FQuietTicks >= kHeldFrameTicks) Reset();
}

void TFrameReceiver::Reset() {
    FHeld.clear();
    FWaiting.clear();
    FScanned = 0;
    FQuietTicks = 0;
}
