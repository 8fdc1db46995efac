#include "platform/hid/HidWire.h"

namespace hidwire {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::vector<std::uint8_t> Message(std::uint8_t type, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> out{type};
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeReport(const TReport& report) {
    std::vector<std::uint8_t> payload;
    PutU32(payload, static_cast<std::uint32_t>(report.Kind));
    PutU32(payload, static_cast<std::uint32_t>(report.Count));
    payload.insert(payload.end(), report.Data.begin(), report.Data.end());
    return Message(kReport, payload);
}

std::vector<std::uint8_t> EncodeParam(std::int32_t a, std::int32_t b, std::int32_t c) {
    std::vector<std::uint8_t> payload;
    for (std::int32_t v : {a, b, c}) PutU32(payload, static_cast<std::uint32_t>(v));
    return Message(kParam, payload);
}

std::optional<std::uint32_t> PayloadLength(const std::uint8_t* header) {
    if (header[0] != kReport && header[0] != kParam) return std::nullopt;
    std::uint32_t n = GetU32(header + 1);
    if (n > kMaxPayload) return std::nullopt;
    return n;
}

std::optional<TReport> DecodeReport(const std::uint8_t* payload, std::size_t n) {
    if (n < 8) return std::nullopt;
    TReport r;
    r.Kind = static_cast<std::int32_t>(GetU32(payload));
    r.Count = static_cast<std::int32_t>(GetU32(payload + 4));
    r.Data.assign(payload + 8, payload + n);
    return r;
}

std::optional<std::vector<std::int32_t>> DecodeParam(const std::uint8_t* payload, std::size_t n) {
    if (n != 12) return std::nullopt;
    std::vector<std::int32_t> v;
    for (int i = 0; i < 3; ++i) v.push_back(static_cast<std::int32_t>(GetU32(payload + 4 * i)));
    return v;
}

bool RecordsFit(const TReport& report) {
    if (report.Kind != 2 || report.Count == 0) return true;  // nothing is read from the data
    if (report.Count < 0) return false;
    std::size_t at = 0;
    for (std::int32_t i = 0; i < report.Count; ++i) {
        if (at >= report.Data.size()) return false;
        std::size_t len = report.Data[at];
        if (len < kMinRecordLength || at + len + 1 > report.Data.size()) return false;
        at += len + 1;
    }
    return true;
}

}  // namespace hidwire
