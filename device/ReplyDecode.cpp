#include "device/ReplyDecode.h"

#include <algorithm>

#include "device/DeviceType.h"

namespace {
constexpr std::size_t kConfigRecordBytes = 512;
constexpr std::size_t kStatusRecordBytes = 513;
}  // namespace

std::optional<TIdentifyReply> DecodeIdentifyReply(const TDeviceReply& reply) {
    if (reply.Size < 6) return std::nullopt;
    TIdentifyReply r;
    r.Mode = reply.d(0);
    r.BootloaderVersion = reply.d(1);
    r.DeviceType = reply.d(4);
    r.CapacityFlag = reply.d(5);
    r.Capacity = DeviceCapacityFromFlag(r.CapacityFlag);
    return r;
}

std::optional<TPasswordReply> DecodePasswordReply(const TDeviceReply& reply) {
    if (reply.Size < 3) return std::nullopt;
    return TPasswordReply{reply.d(0), reply.d(1), reply.d(2)};
}

std::optional<TPasswordKind> PasswordKindForVerdict(std::uint8_t verdict) {
    switch (verdict) {
        case 0: return TPasswordKind::Accepted;
        case 3: return TPasswordKind::Wrong;
        case 4: return TPasswordKind::Ask;
        default: return std::nullopt;
    }
}

std::optional<std::uint8_t> DecodeResultByte(const TDeviceReply& reply) {
    if (reply.Size < 1) return std::nullopt;
    return reply.d(0);
}

std::optional<TConfigReadReply> DecodeConfigReadReply(const TDeviceReply& reply) {
    if (reply.Size < 1) return std::nullopt;
    TConfigReadReply r;
    r.Result = reply.d(0);
    if (r.Result != 0) return r;
    if (reply.Size < 2) return std::nullopt;
    r.Detail = reply.d(1);
    if (r.Detail != 0) return r;
    if (reply.Size < 4) return std::nullopt;
    r.Record = reply.Data + 4;
    r.RecordSize = std::min<std::size_t>({reply.U16(2), kConfigRecordBytes, reply.Size - 4});
    return r;
}

std::optional<TConfigWriteReply> DecodeConfigWriteReply(const TDeviceReply& reply) {
    if (reply.Size < 1) return std::nullopt;
    TConfigWriteReply r;
    r.Result = reply.d(0);
    if (r.Result == 5) {
        r.Outcome = TConfigWriteOutcome::Written;
        return r;
    }
    if (r.Result != 0) {
        r.Outcome = TConfigWriteOutcome::DeviceError;
        return r;
    }
    if (reply.Size < 2) return std::nullopt;
    r.Detail = reply.d(1);
    r.Outcome = r.Detail == 0 ? TConfigWriteOutcome::Written : TConfigWriteOutcome::UnexpectedDetail;
    return r;
}

std::optional<TStatusReply> DecodeStatusReply(const TDeviceReply& reply) {
    if (reply.Size < 1) return std::nullopt;
    TStatusReply r;
    r.Result = reply.d(0);
    if (r.Result != 0) return r;
    if (reply.Size < 3) return std::nullopt;
    r.Record = reply.Data + 3;
    r.RecordSize = std::min<std::size_t>({reply.U16(1), kStatusRecordBytes, reply.Size - 3});
    return r;
}
