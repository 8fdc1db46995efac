#include "device/DeviceFrame.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<std::uint16_t, 256> MakeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t v = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            v = (v & 1) ? static_cast<std::uint16_t>((v >> 1) ^ 0xA001) : static_cast<std::uint16_t>(v >> 1);
        table[i] = v;
    }
    return table;
}

constexpr auto kCrcTable = MakeCrcTable();

}  // namespace

std::uint16_t CalcCRC16(const void* data, std::uint16_t len) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::uint16_t crc = 0xFFFF;
    for (std::uint16_t i = 0; i < len; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ p[i]) & 0xFF]);
    return crc;
}

std::vector<std::uint8_t> BuildRequestFrame(std::uint8_t code, const std::uint8_t* data,
                                            std::size_t n) {
    if (n > kMaxFrameData || (n > 0 && data == nullptr)) return {};
    const auto L = static_cast<std::uint16_t>(n + 2);
    std::size_t size = n + 10;
    // The device's receiver wants a request whose size is not a multiple of 8.
    const bool spare = size % 8 == 0;
    std::vector<std::uint8_t> frame(size + (spare ? 1 : 0), 0);
    std::memcpy(frame.data(), kFrameTag, 4);
    frame[4] = static_cast<std::uint8_t>(L & 0xFF);
    frame[5] = static_cast<std::uint8_t>(L >> 8);
    frame[6] = kRequestMarker;
    frame[7] = code;
    if (n > 0) std::memcpy(frame.data() + 8, data, n);
    const std::uint16_t crc = CalcCRC16(frame.data() + 6, L);
    frame[8 + n] = static_cast<std::uint8_t>(crc & 0xFF);
    frame[9 + n] = static_cast<std::uint8_t>(crc >> 8);
    return frame;
}

bool VerifyReplyFrame(const std::uint8_t* frame, std::size_t available, TDeviceReply& reply) {
    if (frame == nullptr || available < 2) return false;
    const std::size_t L = frame[0] | (frame[1] << 8);
    if (L + 4 > available) return false;
    if (L < 2) return false;  // no room for marker and command
    const std::uint16_t crc = CalcCRC16(frame + 2, static_cast<std::uint16_t>(L));
    const std::uint16_t sent = static_cast<std::uint16_t>(frame[L + 2] | (frame[L + 3] << 8));
    if (crc != sent) return false;
    if (frame[2] != kReplyMarker) return false;
    reply.Command = frame[3];
    reply.Data = frame + 4;
    reply.Size = L - 2;
    return true;
}

int ErrorCodeMessageNumber(std::uint8_t code) {
    static constexpr int kMessages[12] = {18, 24, 27, 28, 29, 30, 31, 66, 65, 67, 68, 69};
    if (code < 12) return kMessages[code];
    if (code == 254) return 51;
    if (code == 255) return 33;
    return -1;
}

std::string ErrorCodeToText(std::uint8_t code, const std::function<std::string(int)>& getMessage) {
    const int n = ErrorCodeMessageNumber(code);
    if (n < 0) return "Error: " + std::to_string(code);
    return getMessage ? getMessage(n) : std::string();
}

std::vector<std::uint8_t> PasswordRequestData(std::uint16_t password) {
    return {static_cast<std::uint8_t>(password & 0xFF), static_cast<std::uint8_t>(password >> 8)};
}
