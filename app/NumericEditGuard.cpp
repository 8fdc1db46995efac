#include "app/NumericEditGuard.h"

#include <utility>

std::int32_t UserStrToInt(const std::string& text) {
    if (text.empty()) return 0;
    return StrToInt(text);
}

TEditGuardResult EditKeyUpRule(const std::string& text, int maxLength) {
    if (text.empty()) return {.SetText = true, .Text = "0", .SelectText = true};
    TEditGuardResult r;
    if (StrToInt(text) > maxLength) {
        r.SetText = true;
        r.Text = IntToStr(maxLength);
        r.ClearKey = true;
    }
    return r;
}

TSlotRange SlotRange(std::size_t width, bool isSigned) {
    const std::int64_t span = std::int64_t{1} << (8 * width);
    return isSigned ? TSlotRange{-span / 2, span / 2 - 1} : TSlotRange{0, span - 1};
}

EFieldRange::EFieldRange(std::string field, TSlotRange range, std::size_t digits)
    : EConvertError(field), Field(std::move(field)), Range(range), Digits(digits) {}

std::int64_t SlotValue(const std::string& field, std::int64_t value, std::size_t width, bool isSigned) {
    const TSlotRange range = SlotRange(width, isSigned);
    if (value < range.Low || value > range.High) throw EFieldRange(field, range);
    return value;
}
