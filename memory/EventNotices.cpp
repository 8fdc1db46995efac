#include "memory/EventNotices.h"

#include <algorithm>

#include "memory/EventRecord.h"
#include "platform/rtl/Format.h"

std::optional<std::string> EventNoticeLine(std::span<const std::uint8_t> data) {
    if (data.size() < kEventRecordSize) return std::nullopt;
    EventRecord r;
    std::copy(data.begin(), data.begin() + kEventRecordSize, r.Bytes.begin());
    return FormatDateTime("hh:mm:ss - ", UnixToDateTime(r.GetTime())) + r.GetNumber() + ": " +
           OperationToText(r.GetOperation()) + " " + r.GetObject();
}

std::vector<std::uint8_t> DiagnosticCodes(std::span<const std::uint8_t> data) {
    if (data.empty()) return {};
    const std::size_t n = std::min<std::size_t>(data[0], data.size() - 1);
    return std::vector<std::uint8_t>(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(n));
}

std::string DiagnosticKey(std::uint8_t code) { return "Code" + std::to_string(code); }

std::optional<std::string> DiagnosticLine(std::uint8_t code,
                                          const std::function<std::string(const std::string& key)>& langText,
                                          TDateTime now) {
    if (code == 0) return std::nullopt;
    const std::string key = DiagnosticKey(code);
    const std::string text = langText ? langText(key) : key;
    int hour = 0, min = 0, sec = 0, msec = 0;
    DecodeTime(now, hour, min, sec, msec);
    return Format("%2d:%02d:%02d - %s", hour, min, sec, text);
}

std::string DefragmentResultText(std::span<const std::uint8_t> data) {
    return !data.empty() && data[0] != 0 ? "Дефрагментация завершена!" : "";
}
