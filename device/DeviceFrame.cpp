#include "device/DeviceFrame.h"

#include <algorithm>
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

// One step of the register with a zero byte: the register's share of every step. It is
// linear, so its powers are kept as the images of the 16 bits, for every count of steps
// up to 65535 as a low and a high byte of the count.
constexpr std::uint16_t ZeroStep(std::uint16_t r) {
    return static_cast<std::uint16_t>((r >> 8) ^ kCrcTable[r & 0xFF]);
}

using TBitImages = std::array<std::uint16_t, 16>;

constexpr std::uint16_t Apply(const TBitImages& m, std::uint16_t v) {
    std::uint16_t out = 0;
    const std::uint16_t* image = m.data();
    for (int j = 0; j < 16; ++j) out = static_cast<std::uint16_t>(out ^ (image[j] & -((v >> j) & 1)));
    return out;
}

struct TZeroSteps {
    std::array<TBitImages, 256> Low{};   // k steps
    std::array<TBitImages, 256> High{};  // 256 * k steps
};

constexpr TZeroSteps MakeZeroSteps() {
    TZeroSteps z{};
    for (int j = 0; j < 16; ++j) z.Low[0][j] = z.High[0][j] = static_cast<std::uint16_t>(1u << j);
    for (int k = 1; k < 256; ++k)
        for (int j = 0; j < 16; ++j) z.Low[k][j] = ZeroStep(z.Low[k - 1][j]);
    TBitImages step256{};
    for (int j = 0; j < 16; ++j) step256[j] = ZeroStep(z.Low[255][j]);
    for (int k = 1; k < 256; ++k)
        for (int j = 0; j < 16; ++j) z.High[k][j] = Apply(step256, z.High[k - 1][j]);
    return z;
}

constexpr TZeroSteps kZeroSteps = MakeZeroSteps();

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

void TCrcTrail::Append(const std::uint8_t* data, std::size_t n) {
    const std::size_t at = FRegisters.size();
    FRegisters.resize(at + n);
    std::uint16_t* out = FRegisters.data() + at;
    const std::uint16_t* table = kCrcTable.data();
    std::uint16_t r = out[-1];
    for (std::size_t i = 0; i < n; ++i) {
        r = static_cast<std::uint16_t>((r >> 8) ^ table[(r ^ data[i]) & 0xFF]);
        out[i] = r;
    }
}

void TCrcTrail::DropFront(std::size_t n) {
    n = std::min(n, FRegisters.size() - 1);
    FRegisters.erase(FRegisters.begin(), FRegisters.begin() + static_cast<std::ptrdiff_t>(n));
}

void TCrcTrail::Clear() { FRegisters.assign(1, 0xFFFF); }

std::uint16_t TCrcTrail::Crc(std::size_t from, std::size_t to) const {
    // After the bytes, the register is the start's share, carried through as many zero
    // steps, plus the bytes' own share; the start was 0xFFFF for the CRC and the register
    // at from for the trail.
    const std::size_t n = to - from;
    const std::uint16_t start = static_cast<std::uint16_t>(FRegisters[from] ^ 0xFFFF);
    const std::uint16_t carried = Apply(kZeroSteps.High[(n >> 8) & 0xFF], Apply(kZeroSteps.Low[n & 0xFF], start));
    return static_cast<std::uint16_t>(FRegisters[to] ^ carried);
}

bool VerifyReplyFrame(const std::uint8_t* frame, std::size_t available, TDeviceReply& reply) {
    if (frame == nullptr || available < 2) return false;
    const std::size_t L = frame[0] | (frame[1] << 8);
    if (L + 4 > available) return false;
    if (L < 2) return false;  // no room for marker and command
    // The marker before the CRC: a false tag costs one byte's look, not a pass over L bytes.
    if (frame[2] != kReplyMarker) return false;
    const std::uint16_t crc = CalcCRC16(frame + 2, static_cast<std::uint16_t>(L));
    const std::uint16_t sent = static_cast<std::uint16_t>(frame[L + 2] | (frame[L + 3] << 8));
    if (crc != sent) return false;
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
