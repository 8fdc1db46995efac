#pragma once
// Decoders of the reply cases: each takes a verified reply and returns its fields, or
// nothing when the frame is shorter than what the case reads. A short frame is dropped,
// never padded: padding would turn an identify without data into a bootloader answer.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/DeviceFrame.h"

// 0x00: d0 mode, d1 bootloader version, d4 device type, d5 capacity flag.
struct TIdentifyReply {
    std::uint8_t Mode = 0;
    std::uint8_t BootloaderVersion = 0;
    std::uint8_t DeviceType = 0;
    std::uint8_t CapacityFlag = 0;
    std::uint16_t Capacity = 0;
};
inline constexpr std::uint8_t kIdentifyBootloader = 0;
inline constexpr std::uint8_t kIdentifyWorking = 1;
std::optional<TIdentifyReply> DecodeIdentifyReply(const TDeviceReply& reply);

// 0x25: d0 verdict, d1 access level, d2 which password the device asks for.
struct TPasswordReply {
    std::uint8_t Verdict = 0;
    std::uint8_t AccessLevel = 0;
    std::uint8_t Which = 0;
};
enum class TPasswordKind { Accepted, Wrong, Ask };
std::optional<TPasswordReply> DecodePasswordReply(const TDeviceReply& reply);
// Verdicts 0, 3 and 4; other verdicts call nothing.
std::optional<TPasswordKind> PasswordKindForVerdict(std::uint8_t verdict);

// 0xFF, 0x2F and other replies that only carry a result byte in d0.
std::optional<std::uint8_t> DecodeResultByte(const TDeviceReply& reply);
// The error reply's code is shown unless it is 254.
inline bool ErrorReplyIsShown(std::uint8_t code) { return code != 254; }

// 0x20: d0 result, d1 0 = record follows / 1 = none, d2-d3 announced length, record from d4.
// d1 is needed only when d0 is 0, the length only when a record follows.
struct TConfigReadReply {
    std::uint8_t Result = 0;
    std::uint8_t Detail = 0;
    const std::uint8_t* Record = nullptr;
    std::size_t RecordSize = 0;  // the announced length, cut to 512 and to what the frame holds
};
std::optional<TConfigReadReply> DecodeConfigReadReply(const TDeviceReply& reply);

// 0x21: d0 result, d1 detail (needed only when d0 is 0).
enum class TConfigWriteOutcome {
    Written,           // d0 0 with d1 0, or d0 5
    DeviceError,       // any other nonzero d0: its result text
    UnexpectedDetail,  // d0 0 with a nonzero d1: the write is not confirmed, say so
};
struct TConfigWriteReply {
    std::uint8_t Result = 0;
    std::uint8_t Detail = 0;
    TConfigWriteOutcome Outcome = TConfigWriteOutcome::Written;
};
std::optional<TConfigWriteReply> DecodeConfigWriteReply(const TDeviceReply& reply);

// 0x22: d0 result, d1-d2 announced length, status record from d3 (only when d0 is 0).
struct TStatusReply {
    std::uint8_t Result = 0;
    const std::uint8_t* Record = nullptr;
    std::size_t RecordSize = 0;  // the announced length, cut to 513 and to what the frame holds
};
std::optional<TStatusReply> DecodeStatusReply(const TDeviceReply& reply);
