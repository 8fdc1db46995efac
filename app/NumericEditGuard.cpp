#include "app/NumericEditGuard.h"

#include "platform/rtl/SysUtils.h"

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
