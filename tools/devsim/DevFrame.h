#pragma once
// The device's frame as the simulator sees it: "SLMX", a 16-bit little-endian length of
// marker + command + data, the marker (0xAA request, 0x55 reply), the command, the data and
// a CRC-16/MODBUS of marker, command and data, low byte first. A request whose total size is
// a multiple of 8 carries one more byte after the CRC.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace devsim {

inline constexpr std::uint8_t kRequestMarker = 0xAA;
inline constexpr std::uint8_t kReplyMarker = 0x55;

using Bytes = std::vector<std::uint8_t>;

struct Frame {
    std::uint8_t marker = 0;
    std::uint8_t command = 0;
    Bytes data;
};

// CRC-16/MODBUS: initial 0xFFFF, reflected polynomial 0xA001, no final XOR.
std::uint16_t Crc16Modbus(const std::uint8_t* p, std::size_t n);

// A whole frame; requests get their padding byte (0) when their size needs one.
Bytes BuildFrame(std::uint8_t marker, std::uint8_t command, const Bytes& data);
inline Bytes BuildReply(std::uint8_t command, const Bytes& data) {
    return BuildFrame(kReplyMarker, command, data);
}
inline Bytes BuildRequest(std::uint8_t command, const Bytes& data) {
    return BuildFrame(kRequestMarker, command, data);
}

// Finds request frames in a byte stream by their tag. Bytes between frames, frames with a
// bad CRC, replies (such as an echo of the simulator's own output) are passed over; a frame
// cut short waits for the rest.
class FrameScanner {
public:
    // Adds received bytes and returns the request frames now complete.
    std::vector<Frame> Feed(const std::uint8_t* p, std::size_t n);
    std::size_t Buffered() const { return FBuf.size(); }

private:
    Bytes FBuf;
};

}  // namespace devsim
