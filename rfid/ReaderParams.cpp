#include "rfid/ReaderParams.h"

#include "app/NumericEditGuard.h"

namespace {
std::optional<std::uint8_t> CodeAt(int index) {
    if (index < 0 || index >= static_cast<int>(kReaderParams.size())) return std::nullopt;
    return kReaderParams[static_cast<std::size_t>(index)].Code;
}
std::uint8_t Low8(int v) { return static_cast<std::uint8_t>(static_cast<unsigned>(v) & 0xFF); }
}  // namespace

std::optional<std::uint8_t> ReaderParamByte(const std::string& fieldText) {
    const std::int32_t value = UserStrToInt(fieldText);
    if (value < 0 || value > 0xFF) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::optional<std::vector<std::uint8_t>> ReaderParamGetData(int address, int paramIndex) {
    const auto code = CodeAt(paramIndex);
    if (!code) return std::nullopt;
    return std::vector<std::uint8_t>{Low8(address), *code};
}

std::optional<std::vector<std::uint8_t>> ReaderParamSetData(int address, int paramIndex, int value) {
    const auto code = CodeAt(paramIndex);
    if (!code) return std::nullopt;
    return std::vector<std::uint8_t>{Low8(address), *code, Low8(value)};
}

std::optional<std::uint8_t> DecodeReaderParamGetReply(const TDeviceReply& reply) {
    if (reply.Data == nullptr || reply.Size < 2) return std::nullopt;
    return reply.d(1);
}

std::optional<bool> DecodeReaderParamSetReply(const TDeviceReply& reply) {
    if (reply.Data == nullptr || reply.Size < 1) return std::nullopt;
    return reply.d(0) != 0;
}
