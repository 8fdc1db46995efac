#include "device/FrameReceiver.h"

#include <algorithm>
#include <cstring>

#include "device/DeviceFrame.h"

namespace {

// The tag, or as much of it as has arrived, starts at i.
bool TagAt(const std::uint8_t* p, std::size_t m, std::size_t i) {
    return std::memcmp(p + i, kFrameTag, std::min<std::size_t>(m - i, 4)) == 0;
}

// The size of the reply frame whose tag is at i, once all of it is in; 0 otherwise.
std::size_t WholeFrameAt(const std::uint8_t* p, std::size_t m, std::size_t i) {
    if (m - i < 7) return 0;
    const std::size_t size = PlausibleFrameSize(p[i + 4], p[i + 5]);
    return size != 0 && p[i + 6] == kReplyMarker && m - i >= size ? size : 0;
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

void TFrameReceiver::RequestSent() { ++FAwaited; }

void TFrameReceiver::Take(const std::uint8_t* bytes, std::size_t n, const TFrameSink& onFrame) {
    FTaken += n;
    FWork.assign(FHeld.begin(), FHeld.end());
    if (bytes != nullptr) FWork.insert(FWork.end(), bytes, bytes + n);
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
    // Whole frames one after the other answer requests; a tag inside one's data does not.
    std::size_t wholeEnd = 0, whole = 0;
    for (std::size_t i : FOffer) {
        const std::size_t size = i >= wholeEnd ? WholeFrameAt(p, m, i) : 0;
        if (size == 0) continue;
        ++whole;
        wholeEnd = i + size;
    }
    FAwaited -= std::min<std::uint32_t>(FAwaited, static_cast<std::uint32_t>(whole));
    // What is kept and what is due are settled before any frame is offered: a frame's case
    // may reset us.
    FHeld.assign(FWork.begin() + static_cast<std::ptrdiff_t>(keepFrom), FWork.end());
    for (std::size_t& i : FWaiting) i -= keepFrom;
    FScanned = m - keepFrom;
    if (n > 0) {
        FHeldQuiet = 0;
        FSilence = FHeld.empty() && wholeEnd != m ? kRxSilenceTicks : 0;
    }
    if (!onFrame) return;
    for (std::size_t i : FOffer) onFrame(p + i + 4, m - (i + 4));
}

std::size_t TFrameReceiver::Wanted() const {
    if (FWaiting.empty()) return 1;
    const std::size_t i = FWaiting.front(), have = FHeld.size() - i;
    if (have < 6) return 6 - have;
    const std::size_t size = PlausibleFrameSize(FHeld[i + 4], FHeld[i + 5]);
    return size > have ? size - have : 1;
}

TRxTick TFrameReceiver::Tick() {
    TRxTick tick;
    if (FSilence > 0 && --FSilence == 0) {
        tick.Read = true;
        tick.Purge = FAwaited == 0;
    }
    if (!FHeld.empty() && ++FHeldQuiet >= kHeldFrameTicks) DropHeld();
    return tick;
}

unsigned TFrameReceiver::TicksToWork() const {
    const unsigned held = FHeld.empty() ? 0u : static_cast<unsigned>(std::max(1, kHeldFrameTicks - FHeldQuiet));
    if (FSilence == 0) return held;
    return held == 0 ? FSilence : std::min<unsigned>(held, FSilence);
}

void TFrameReceiver::DropHeld() {
    FHeld.clear();
    FWaiting.clear();
    FScanned = 0;
    FHeldQuiet = 0;
}

void TFrameReceiver::Reset() {
    DropHeld();
    FSilence = 0;
    FAwaited = 0;
}
