#include "cloud/CloudStreamReader.h"

#include <algorithm>
#include <cstring>

#include "device/DeviceFrame.h"
#include "platform/rtl/CodePage.h"

namespace {
constexpr std::uint8_t kTerminator[3] = {'}', '\n', '\r'};
}

TCloudStreamReader::TTagCheck TCloudStreamReader::CheckTag(std::size_t at,
                                                           std::size_t& frameSize) const {
    const std::size_t have = FPending.size() - at;
    const std::size_t cmp = std::min<std::size_t>(have, 4);
    if (std::memcmp(&FPending[at], kFrameTag, cmp) != 0) return TTagCheck::NotAFrame;
    if (have < 6) return TTagCheck::Wait;  // the tag or its length field is still arriving
    const std::size_t L = FPending[at + 4] | (FPending[at + 5] << 8);
    frameSize = 4 + 2 + L + 2;
    if (L < 2 || frameSize > kMaxTunnelledFrame) return TTagCheck::NotAFrame;
    if (have < frameSize) {
        // Inside a reply "SLMX" may just be text: once the reply's terminator has come, the
        // reply is not held back for a frame that would have to contain it.
        if (FCollecting) {
            const auto begin = FPending.begin() + static_cast<std::ptrdiff_t>(at + 4);
            if (std::search(begin, FPending.end(), kTerminator, kTerminator + 3) != FPending.end())
                return TTagCheck::NotAFrame;
        }
        // A frame cut short for good (its sender dropped the rest) must not hold back the
        // whole frames that came after it.
        if (CompleteFrameAfter(at + 4)) return TTagCheck::NotAFrame;
        return TTagCheck::Wait;
    }
    return IsReplyFrame(at, frameSize) ? TTagCheck::Frame : TTagCheck::NotAFrame;
}

bool TCloudStreamReader::IsReplyFrame(std::size_t at, std::size_t frameSize) const {
    TDeviceReply reply;
    return VerifyReplyFrame(&FPending[at + 4], frameSize - 4, reply);
}

bool TCloudStreamReader::CompleteFrameAfter(std::size_t from) const {
    const auto end = FPending.end();
    for (auto it = std::search(FPending.begin() + static_cast<std::ptrdiff_t>(from), end, kFrameTag,
                               kFrameTag + 4);
         it != end; it = std::search(it + 1, end, kFrameTag, kFrameTag + 4)) {
        const std::size_t at = static_cast<std::size_t>(it - FPending.begin());
        if (FPending.size() - at < 6) return false;
        const std::size_t L = FPending[at + 4] | (FPending[at + 5] << 8);
        const std::size_t frameSize = 4 + 2 + L + 2;
        if (L >= 2 && frameSize <= kMaxTunnelledFrame && FPending.size() - at >= frameSize &&
            IsReplyFrame(at, frameSize))
            return true;
    }
    return false;
}

void TCloudStreamReader::Feed(const std::uint8_t* data, std::size_t n) {
    if (data != nullptr && n > 0) FPending.insert(FPending.end(), data, data + n);
    // Events are handed out after the bytes are taken off, so a handler may feed or reset
    // the reader.
    std::vector<TEvent> events;
    std::size_t i = 0;
    while (i < FPending.size()) {
        if (FPending[i] == static_cast<std::uint8_t>(kFrameTag[0])) {
            std::size_t frameSize = 0;
            const TTagCheck check = CheckTag(i, frameSize);
            if (check == TTagCheck::Wait) break;
            if (check == TTagCheck::Frame) {
                TEvent e;
                e.Frame = true;
                e.Bytes.assign(FPending.begin() + static_cast<std::ptrdiff_t>(i + 4),
                               FPending.begin() + static_cast<std::ptrdiff_t>(i + frameSize));
                events.push_back(std::move(e));
                i += frameSize;
                continue;
            }
        }
        JsonByte(FPending[i++], events);
    }
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(i));
    for (TEvent& e : events) {
        if (e.Frame) {
            if (OnFrame) OnFrame(reinterpret_cast<const std::uint8_t*>(e.Bytes.data()), e.Bytes.size());
        } else if (OnReply) {
            OnReply(e.Bytes, e.Cut);
        }
    }
}

void TCloudStreamReader::JsonByte(std::uint8_t b, std::vector<TEvent>& events) {
    if (!OnReply) return;  // a frames-only stream
    if (FCollecting && FPrev2 == kTerminator[0] && FPrev1 == kTerminator[1] &&
        b == kTerminator[2]) {
        TEvent e;
        e.Bytes = std::move(FCollector);
        // The collector holds the "}" and the LF; the reply ends at the brace.
        if (!FCut && !e.Bytes.empty()) e.Bytes.pop_back();
        e.Cut = FCut;
        events.push_back(std::move(e));
        FCollector.clear();
        FCollecting = false;
        FCut = false;
        FPrev1 = FPrev2 = 0;
        return;
    }
    if (!FCollecting && b == '{') {
        FCollecting = true;
        FCut = false;
        FCollector.clear();
    }
    if (FCollecting) {
        if (FCollector.size() < kJsonCollectorSize)
            FCollector.push_back(static_cast<char>(b));
        else
            FCut = true;
    }
    FPrev2 = FPrev1;
    FPrev1 = b;
}

void TCloudStreamReader::Reset() {
    FPending.clear();
    FCollector.clear();
    FCollecting = false;
    FCut = false;
    FPrev1 = FPrev2 = 0;
}

std::string ReceivedBlockText(const std::uint8_t* data, std::size_t n) {
    if (data == nullptr) return {};
    const auto* end = std::find(data, data + n, std::uint8_t{0});
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(data),
                                         static_cast<std::size_t>(end - data)));
}
