#include "rfid/ReaderFrame.h"

#include <algorithm>

std::uint16_t RfidCrc16(const std::uint8_t* data, std::size_t n) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::vector<std::uint8_t> BuildReaderFrame(std::uint8_t adr, std::uint8_t cmd,
                                           const std::vector<std::uint8_t>& data) {
    const std::size_t len = data.size() + kReaderFrameOverhead - 1;
    if (len > 0xFF) return {};
    std::vector<std::uint8_t> f;
    f.reserve(len + 1);
    f.push_back(static_cast<std::uint8_t>(len));
    f.push_back(adr);
    f.push_back(cmd);
    f.insert(f.end(), data.begin(), data.end());
    const std::uint16_t crc = RfidCrc16(f.data(), f.size());
    f.push_back(static_cast<std::uint8_t>(crc));
    f.push_back(static_cast<std::uint8_t>(crc >> 8));
    return f;
}

std::vector<std::uint8_t> ReaderInformationRequest() {
    return BuildReaderFrame(0, kReaderCmdInformation, {});
}

std::vector<std::uint8_t> TidReadRequest() {
    // EPC words 0, bank 2 (TID), start word 0, 6 words, access password 0, mask 0 / 0.
    return BuildReaderFrame(0, kReaderCmdTidRead, {0x00, 0x02, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
}

std::optional<TReaderFrame> ParseReaderFrame(const std::uint8_t* bytes, std::size_t n) {
    if (bytes == nullptr || n == 0) return std::nullopt;
    const std::size_t len = bytes[0];
    if (len < kReaderFrameOverhead - 1 || n < len + 1) return std::nullopt;
    const std::uint16_t crc = static_cast<std::uint16_t>(bytes[len - 1] | (bytes[len] << 8));
    if (RfidCrc16(bytes, len - 1) != crc) return std::nullopt;
    TReaderFrame f;
    f.Adr = bytes[1];
    f.Cmd = bytes[2];
    f.Data = bytes + 3;
    f.Size = len - 4;
    return f;
}

TReaderReply DecodeReaderReply(const TReaderFrame& frame) {
    TReaderReply r;
    if (frame.Cmd == kReaderCmdInformation) {
        r.Kind = TReaderReplyKind::Present;
    } else if (frame.Cmd == kReaderCmdTidRead && frame.Size >= 1) {
        if (frame.Data[0] != 0) {
            r.Kind = TReaderReplyKind::NoTag;
        } else if (frame.Size >= 1 + kTidSize) {
            // A success too short for its TID would show bytes from past the frame.
            r.Kind = TReaderReplyKind::Tag;
            std::copy_n(frame.Data + 1, kTidSize, r.Tid.begin());
        }
    }
    return r;
}

namespace {
// The first offset from which a whole frame with a good CRC starts, or the size.
std::size_t FirstFrameFrom(const std::vector<std::uint8_t>& b, std::size_t from) {
    for (std::size_t at = from; at < b.size(); ++at)
        if (ParseReaderFrame(b.data() + at, b.size() - at)) return at;
    return b.size();
}
}  // namespace

std::vector<TReaderReply> TReaderReceiver::Feed(const std::uint8_t* bytes, std::size_t n) {
    std::vector<TReaderReply> replies;
    if (bytes == nullptr || n == 0) return replies;
    FBuffer.insert(FBuffer.end(), bytes, bytes + n);
    std::size_t at = 0;
    while (at < FBuffer.size()) {
        if (const auto frame = ParseReaderFrame(FBuffer.data() + at, FBuffer.size() - at)) {
            replies.push_back(DecodeReaderReply(*frame));
            at += static_cast<std::size_t>(FBuffer[at]) + 1;
            continue;
        }
        const std::size_t len = FBuffer[at];
        const bool incomplete = len + 1 >= kReaderFrameOverhead && FBuffer.size() - at < len + 1;
        if (!incomplete) {
            ++at;  // no frame starts here
            continue;
        }
        const std::size_t next = FirstFrameFrom(FBuffer, at + 1);
        if (next == FBuffer.size()) break;  // the rest may still come
        at = next;
    }
    // What is kept is the start of one frame: shorter than 256 bytes.
    FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(at));
    return replies;
}
