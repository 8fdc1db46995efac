#include "app/NumericEditGuard.h"

#include "platform/rtl/SysUtils.h"

std::int32_t UserStrToInt(const std::string& text) {
    if (text.empty()) return 0;
    return StrToInt(text);
}

TEditGuardResult EditKeyUpRule(const std::string& text, int maxLength) {
    TEditGuardResult r;
    if (text.empty()) {
        r.SetText = true;
        r.Text = "0";
        return r;
    }
    if (StrToInt(text) > maxLength) {
        r.SetText = true;
        r.Text = IntToStr(maxLength);
        r.ClearKey = true;
    }
    return r;
}
