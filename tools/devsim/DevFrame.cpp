#include "tools/devsim/DevFrame.h"

#include <algorithm>

namespace devsim {
namespace {
constexpr std::uint8_t kTag[4] = {'S', 'L', 'M', 'X'};
constexpr std::size_t kHeader = 6;           // tag and length
constexpr std::size_t kMaxBody = 8192;       // no device frame is longer
constexpr std::size_t kMaxBuffered = 65536;  // a stream with no frames is not kept for ever
}  // namespace

std::uint16_t Crc16Modbus(const std::uint8_t* p, std::size_t n) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

Bytes BuildFrame(std::uint8_t marker, std::uint8_t command, const Bytes& data) {
    Bytes f(kTag, kTag + 4);
    std::size_t len = 2 + data.size();
    f.push_back(static_cast<std::uint8_t>(len & 0xFF));
    f.push_back(static_cast<std::uint8_t>(len >> 8));
    f.push_back(marker);
    f.push_back(command);
    f.insert(f.end(), data.begin(), data.end());
    std::uint16_t crc = Crc16Modbus(f.data() + kHeader, len);
    f.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    f.push_back(static_cast<std::uint8_t>(crc >> 8));
    if (marker == kRequestMarker && f.size() % 8 == 0) f.push_back(0);
    return f;
}

namespace {

// The size of a whole, valid request frame starting at pos, or 0.
std::size_t WholeRequestAt(const Bytes& b, std::size_t pos) {
    if (b.size() - pos < kHeader || !std::equal(kTag, kTag + 4, b.begin() + pos)) return 0;
    std::size_t len = b[pos + 4] | (b[pos + 5] << 8);
    if (len < 2 || len > kMaxBody || b.size() - pos < kHeader + len + 2) return 0;
    const std::uint8_t* body = b.data() + pos + kHeader;
    std::uint16_t crc = body[len] | (body[len + 1] << 8);
    if (crc != Crc16Modbus(body, len) || body[0] != kRequestMarker) return 0;
    return kHeader + len + 2;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The first tag after pos that starts a whole request, or kNone.
std::size_t NextWholeRequest(const Bytes& b, std::size_t pos) {
    for (auto at = b.begin() + pos + 1;; ++at) {
        at = std::search(at, b.end(), kTag, kTag + 4);
        if (at == b.end()) return kNone;
        std::size_t q = static_cast<std::size_t>(at - b.begin());
        if (WholeRequestAt(b, q)) return q;
    }
}

}  // namespace

std::vector<Frame> FrameScanner::Feed(const std::uint8_t* p, std::size_t n) {
    FBuf.insert(FBuf.end(), p, p + n);
    std::vector<Frame> found;
    std::size_t pos = 0;
    for (;;) {
        auto at = std::search(FBuf.begin() + pos, FBuf.end(), kTag, kTag + 4);
        if (at == FBuf.end()) {
            // Keep a possible start of a tag.
            pos = FBuf.size() > 3 ? FBuf.size() - 3 : 0;
            break;
        }
        pos = static_cast<std::size_t>(at - FBuf.begin());
        if (FBuf.size() - pos < kHeader) break;
        std::size_t len = FBuf[pos + 4] | (FBuf[pos + 5] << 8);
        if (len < 2 || len > kMaxBody) {
            ++pos;
            continue;
        }
        if (FBuf.size() - pos < kHeader + len + 2) {
            // Wait for the rest, unless a whole request already follows: then this tag was
            // a false one, and waiting on it would hold back every request after it.
            std::size_t next = NextWholeRequest(FBuf, pos);
            if (next == kNone) break;
            pos = next;
            continue;
        }
        const std::uint8_t* body = FBuf.data() + pos + kHeader;
        std::uint16_t crc = body[len] | (body[len + 1] << 8);
        if (crc != Crc16Modbus(body, len) || body[0] != kRequestMarker) {
            ++pos;  // a tag inside the data may still start a frame
            continue;
        }
        found.push_back({body[0], body[1], Bytes(body + 2, body + len)});
        pos += kHeader + len + 2;
    }
    FBuf.erase(FBuf.begin(), FBuf.begin() + static_cast<std::ptrdiff_t>(std::min(pos, FBuf.size())));
    if (FBuf.size() > kMaxBuffered) FBuf.erase(FBuf.begin(), FBuf.end() - 3);
    return found;
}

}  // namespace devsim
