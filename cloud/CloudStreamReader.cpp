#include "cloud/CloudStreamReader.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/CodePage.h"

namespace {
constexpr std::uint8_t kTerminator[3] = {'}', '\n', '\r'};
}  // namespace

TCloudStreamReader::TTagCheck TCloudStreamReader::CheckTag(std::size_t at,
                                                           std::size_t& frameSize) const {
    const std::size_t have = FPending.size() - at;
    const std::size_t cmp = std::min<std::size_t>(have, 4);
    if (std::memcmp(&FPending[at], kFrameTag, cmp) != 0) return TTagCheck::NotAFrame;
    if (have < 6) return TTagCheck::Wait;  // the tag or its length field is still arriving
    frameSize = PlausibleFrameSize(FPending[at + 4], FPending[at + 5]);
    if (frameSize == 0) return TTagCheck::NotAFrame;
    if (have >= frameSize) return IsReplyFrame(at, frameSize) ? TTagCheck::Frame : TTagCheck::NotAFrame;
    if (have > 6 && FPending[at + 6] != kReplyMarker) return TTagCheck::NotAFrame;
    // Still arriving: held, and what follows is its data, whatever it looks like, a whole
    // valid frame included (taking that for the controller's would make the result depend
    // on where the reads cut). A frame cut short for good is given up by the clock.
    if (FBase + at < FGiveUpBefore) return TTagCheck::NotAFrame;
    return TTagCheck::Wait;
}

bool TCloudStreamReader::IsReplyFrame(std::size_t at, std::size_t frameSize) const {
    if (FPending[at + 6] != kReplyMarker) return false;
    const std::size_t crcAt = at + frameSize - 2;
    const auto sent = static_cast<std::uint16_t>(FPending[crcAt] | (FPending[crcAt + 1] << 8));
    return FCrc.Crc(at + 6, crcAt) == sent;
}

void TCloudStreamReader::Feed(const std::uint8_t* data, std::size_t n) {
    if (data != nullptr && n > 0) {
        FPending.insert(FPending.end(), data, data + n);
        FCrc.Append(data, n);
    }
    // Events are handed out after the bytes are taken off, so a handler may feed or reset
    // the reader.
    std::vector<TEvent> events;
    const std::uint8_t* p = FPending.data();
    const std::size_t size = FPending.size();
    std::size_t i = 0;
    while (i < size) {
        if (p[i] == static_cast<std::uint8_t>(kFrameTag[0])) {
            std::size_t frameSize = 0;
            const TTagCheck check = CheckTag(i, frameSize);
            if (check == TTagCheck::Wait) break;
            if (check == TTagCheck::Frame) {
                TEvent e;
                e.Frame = true;
                e.Bytes.assign(reinterpret_cast<const char*>(p + i + 4), frameSize - 4);
                events.push_back(std::move(e));
                i += frameSize;
                continue;
            }
            JsonByte(p[i++], events);
            continue;
        }
        if (!FCollecting) {
            // Outside a reply only a tag, or a brace that opens a reply, matters.
            const void* tag = std::memchr(p + i, kFrameTag[0], size - i);
            const std::size_t next = tag ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(tag) - p) : size;
            const void* brace = OnReply ? std::memchr(p + i, '{', next - i) : nullptr;
            i = brace ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(brace) - p) : next;
            if (brace) JsonByte(p[i++], events);
            continue;
        }
        JsonByte(p[i++], events);
    }
    if (i > 0) {
        FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(i));
        FCrc.DropFront(i);
        FBase += i;
    }
    for (TEvent& e : events) {
        if (e.Frame) {
            if (OnFrame) OnFrame(reinterpret_cast<const std::uint8_t*>(e.Bytes.data()), e.Bytes.size());
        } else if (OnReply) {
            OnReply(e.Bytes, e.Cut);
        }
    }
}

std::size_t TCloudStreamReader::Wanted() const {
    // What is held starts with the tag waiting for the rest of its frame; the marker after
    // its length already tells a false one.
    const std::size_t have = FPending.size();
    if (have == 0) return 1;
    if (have < 7) return 7 - have;
    const std::size_t size = PlausibleFrameSize(FPending[4], FPending[5]);
    return size > have ? size - have : 1;
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

void TCloudStreamReader::Tick() {
    FTickEnds.push_back(FBase + FPending.size());
    if (FTickEnds.size() < kStreamHeldTicks) return;
    GiveUpBefore(FTickEnds.front());
    FTickEnds.pop_front();
}

void TCloudStreamReader::EndOfStream() { GiveUpBefore(FBase + FPending.size()); }

void TCloudStreamReader::GiveUpBefore(std::uint64_t offset) {
    FGiveUpBefore = std::max(FGiveUpBefore, offset);
    if (!FPending.empty() && FBase < FGiveUpBefore) Feed(nullptr, 0);
}

void TCloudStreamReader::Reset() {
    FPending.clear();
    FCrc.Clear();
    FBase = 0;
    FTickEnds.clear();
    FGiveUpBefore = 0;
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
