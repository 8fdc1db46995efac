#pragma once
// The desk reader's frame, both directions: Len (bytes after it, CRC included), Adr, Cmd,
// data, CRC-16 low byte first over everything before it. In a reply the first data byte is
// the status, 0 for success.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr std::uint8_t kReaderCmdTidRead = 0x02;
inline constexpr std::uint8_t kReaderCmdInformation = 0x21;
inline constexpr std::size_t kTidSize = 12;
// Len, Adr, Cmd and the two CRC bytes.
inline constexpr std::size_t kReaderFrameOverhead = 5;

using TTid = std::array<std::uint8_t, kTidSize>;

// CRC-16/MCRF4XX: preset 0xFFFF, reflected polynomial 0x8408, no final XOR.
std::uint16_t RfidCrc16(const std::uint8_t* data, std::size_t n);

// A whole frame to the reader; empty when the data do not fit the one-byte length.
std::vector<std::uint8_t> BuildReaderFrame(std::uint8_t adr, std::uint8_t cmd,
                                           const std::vector<std::uint8_t>& data);
// 04 00 21 and its CRC: the reader identifies itself; the tool's presence probe.
std::vector<std::uint8_t> ReaderInformationRequest();
// Read 6 words of the TID bank, no EPC, no access password, no mask: 15 bytes.
std::vector<std::uint8_t> TidReadRequest();

// A frame that passed the length and CRC checks; Data points into the caller's bytes and
// holds bytes 3 .. Len-2.
struct TReaderFrame {
    std::uint8_t Adr = 0;
    std::uint8_t Cmd = 0;
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
};
// The frame at the start of bytes. Nothing for fewer than Len + 1 bytes, a Len too small to
// hold Adr, Cmd and the CRC, or a wrong CRC.
std::optional<TReaderFrame> ParseReaderFrame(const std::uint8_t* bytes, std::size_t n);

// What a reply means to the tool.
enum class TReaderReplyKind {
    Ignored,  // another command, or a reply too short for what it says
    Present,  // 0x21 with any status: the reader is there
    Tag,      // 0x02 with status 0 and 12 TID bytes
    NoTag,    // 0x02 with another status
};
struct TReaderReply {
    TReaderReplyKind Kind = TReaderReplyKind::Ignored;
    TTid Tid{};
};
TReaderReply DecodeReaderReply(const TReaderFrame& frame);

// Gathers the reader's bytes and takes every whole frame from them, so that a reply split
// over two character events, or two replies in one, are both read. Bytes that start no frame
// (a stray byte, a reply whose length or CRC is wrong) are passed over one at a time, so
// they cost at most themselves: a length at the front that is still incomplete is waited
// for only while no whole good frame lies behind it.
class TReaderReceiver {
public:
    // The most the character handler reads at once.
    static constexpr std::size_t kMaxBuffer = 512;
    // The replies completed by these bytes, in order.
    std::vector<TReaderReply> Feed(const std::uint8_t* bytes, std::size_t n);
    void Clear() { FBuffer.clear(); }
    std::size_t Pending() const { return FBuffer.size(); }

private:
    std::vector<std::uint8_t> FBuffer;
};
