#pragma once
// The messages between the reader stand-in and a simulated reader on a Unix socket. Each is
// a type byte, a 32-bit little-endian payload length and the payload:
//   'R' (reader to library): kind, count (32-bit signed, little-endian) and the report bytes
//   'P' (library to reader): the three values of CFHid_SetDeviceOneParam
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace hidwire {

inline constexpr std::uint8_t kReport = 'R';
inline constexpr std::uint8_t kParam = 'P';
inline constexpr std::size_t kHeaderSize = 5;
inline constexpr std::uint32_t kMaxPayload = 64 * 1024;
// L, two bytes, the 12 tag bytes.
inline constexpr std::size_t kMinRecordLength = 14;

struct TReport {
    std::int32_t Kind = 0;
    std::int32_t Count = 0;
    std::vector<std::uint8_t> Data;
};

std::vector<std::uint8_t> EncodeReport(const TReport& report);
std::vector<std::uint8_t> EncodeParam(std::int32_t a, std::int32_t b, std::int32_t c);

// The payload length announced by a header; nothing for an unknown type or a length over
// kMaxPayload (the stream is then out of step and is dropped).
std::optional<std::uint32_t> PayloadLength(const std::uint8_t* header);
std::optional<TReport> DecodeReport(const std::uint8_t* payload, std::size_t n);
std::optional<std::vector<std::int32_t>> DecodeParam(const std::uint8_t* payload, std::size_t n);

// A kind 2 report is passed on only when its count records lie whole inside its bytes.
bool RecordsFit(const TReport& report);

}  // namespace hidwire
