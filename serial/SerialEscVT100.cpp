// The VT100/ANSI escape codes.
#include "platform/rtl/SysUtils.h"
#include "serial/SerialPortEsc.h"

namespace {
bool IsLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

TEscapeResult TEscapeCodesVT100::ProcessChar(char32_t Ch) {
    if (FInSequence && FChars.empty()) FInExtendedSequence = Ch == '[';
    TEscapeResult r = Frame(Ch);
    if (!FInSequence) FInExtendedSequence = false;
    return r;
}

TEscapeCode TEscapeCodesVT100::Judge() {
    if (!FInExtendedSequence) return JudgeShort();
    const char32_t last = FChars.back();
    if (FChars.size() < 2 || !IsLetter(last)) return ecNotCompleted;
    // The text between "[" and the final letter; both are single bytes in FData.
    return JudgeExtended(last, FData.substr(1, FData.size() - 2));
}

TEscapeCode TEscapeCodesVT100::JudgeExtended(char32_t final, const std::string& inner) {
    SplitParams(inner);
    const int count = FParams->Count();
    const std::string first = count > 0 ? FParams->Get(0) : "";
    const bool noneOrZero = count == 0 || first == "0";
    switch (final) {
        case 'A': return ecCursorUp;
        case 'B': return ecCursorDown;
        case 'C': return ecCursorRight;
        case 'D': return ecCursorLeft;
        case 'H': return ecCursorHome;
        case 'f': return ecCursorMove;
        case 'J': return noneOrZero ? ecEraseScreenFrom : first == "2" ? ecEraseScreen : ecUnknown;
        case 'K': return noneOrZero ? ecEraseLineFrom : first == "2" ? ecEraseLine : ecUnknown;
        case 'g': return noneOrZero ? ecClearTab : first == "3" ? ecClearAllTabs : ecUnknown;
        case 'c':
            if (noneOrZero) return ecIdentify;
            return first == "?1" && count == 2 ? ecIdentResponse : ecUnknown;
        case 'n':
            if (first == "0") return ecReportDeviceOK;
            if (first == "3") return ecReportDeviceFailure;
            if (first == "5") return ecQueryDevice;
            if (first == "6") return ecQueryCursorPos;
            return ecUnknown;
        case 'R': return ecReportCursorPos;
        case 'm': return ecAttributes;
        case 'h': return ecSetMode;
        case 'l': return ecResetMode;
        case 's': return ecSaveCaret;
        case 'u': return ecRestoreCaret;
        default: return ecUnknown;
    }
}

TEscapeCode TEscapeCodesVT100::JudgeShort() const {
    const char32_t c0 = FChars[0];
    if (FChars.size() == 1) {
        switch (c0) {
            case 'O':
            case '#': return ecNotCompleted;
            case 'H': return ecSetTab;
            case 'c': return ecReset;
            case '7': return ecSaveCaretAndAttr;
            case '8': return ecRestoreCaretAndAttr;
            default: return ecUnknown;
        }
    }
    const char32_t c1 = FChars[1];
    if (c0 == 'O') {
        switch (c1) {
            case 'A': return ecAppCursorUp;
            case 'B': return ecAppCursorDown;
            case 'C': return ecAppCursorRight;
            case 'D': return ecAppCursorLeft;
            default: return ecUnknown;
        }
    }
    if (c0 == '#' && c1 == '8') return ecTest;
    return ecUnknown;
}

std::string TEscapeCodesVT100::EscCodeToStr(TEscapeCode Code, const TStrings* Params) {
    auto p = [Params](int n) { return IntToStr(GetParam(n, Params)); };
    std::string s;
    switch (Code) {
        case ecCursorUp: s = "[A"; break;
        case ecCursorDown: s = "[B"; break;
        case ecCursorRight: s = "[C"; break;
        case ecCursorLeft: s = "[D"; break;
        case ecCursorHome: s = "[H"; break;
        case ecCursorMove: s = "[" + p(1) + ";" + p(2) + "f"; break;
        case ecAppCursorLeft: s = "OD"; break;
        case ecAppCursorRight: s = "OC"; break;
        case ecAppCursorUp: s = "OA"; break;
        case ecAppCursorDown: s = "OB"; break;
        case ecEraseLineFrom: s = "[K"; break;
        case ecEraseScreenFrom: s = "[J"; break;
        case ecEraseLine: s = "[2K"; break;
        case ecEraseScreen: s = "[2J"; break;
        case ecSetTab: s = "H"; break;
        case ecClearTab: s = "[g"; break;
        case ecClearAllTabs: s = "[3g"; break;
        case ecIdentify: s = "[c"; break;
        case ecIdentResponse: s = "[?1;" + p(1) + "c"; break;
        case ecQueryDevice: s = "[5n"; break;
        case ecReportDeviceOK: s = "[0n"; break;
        case ecReportDeviceFailure: s = "[3n"; break;
        case ecQueryCursorPos: s = "[6n"; break;
        case ecReportCursorPos: s = "[" + p(1) + ";" + p(2) + "R"; break;
        case ecAttributes: s = "[m"; break;
        case ecSetMode: s = "[h"; break;
        case ecResetMode: s = "[l"; break;
        case ecReset: s = "c"; break;
        case ecSaveCaretAndAttr: s = "7"; break;
        case ecRestoreCaretAndAttr: s = "8"; break;
        case ecSaveCaret: s = "[s"; break;
        case ecRestoreCaret: s = "[u"; break;
        case ecTest: s = "#8"; break;
        default: return "";
    }
    return "\x1b" + s;
}
