// The VT52 escape codes.
#include "serial/SerialPortEsc.h"

TEscapeResult TEscapeCodesVT52::ProcessChar(char32_t Ch) { return Frame(Ch); }

TEscapeCode TEscapeCodesVT52::Judge() {
    const char32_t c0 = FChars[0];
    const size_t n = FChars.size();
    if (c0 == 'Y') {
        if (n < 3) return ecNotCompleted;
        FParams->Clear();
        FParams->Add(std::to_string(static_cast<long>(FChars[1]) - 31));
        FParams->Add(std::to_string(static_cast<long>(FChars[2]) - 31));
        return ecCursorMove;
    }
    if (c0 == '/') {
        if (n < 2) return ecNotCompleted;
        return FChars[1] == 'Z' ? ecIdentResponse : ecUnknown;
    }
    switch (c0) {
        case 'A': return ecCursorUp;
        case 'B': return ecCursorDown;
        case 'C': return ecCursorRight;
        case 'D': return ecCursorLeft;
        case 'H': return ecCursorHome;
        case 'I': return ecReverseLineFeed;
        case 'J': return ecEraseScreenFrom;
        case 'K': return ecEraseLineFrom;
        case 'Z': return ecIdentify;
        default: return ecUnknown;
    }
}

std::string TEscapeCodesVT52::EscCodeToStr(TEscapeCode Code, const TStrings* Params) {
    std::string s;
    switch (Code) {
        case ecCursorUp: s = "A"; break;
        case ecCursorDown: s = "B"; break;
        case ecCursorRight: s = "C"; break;
        case ecCursorLeft: s = "D"; break;
        case ecCursorHome: s = "H"; break;
        case ecCursorMove:
            // Row and column travel as single bytes, 31 above their value.
            s = "Y";
            s += static_cast<char>((GetParam(1, Params) + 31) & 0xFF);
            s += static_cast<char>((GetParam(2, Params) + 31) & 0xFF);
            break;
        case ecReverseLineFeed: s = "I"; break;
        case ecEraseLineFrom: s = "K"; break;
        case ecEraseScreenFrom: s = "J"; break;
        case ecIdentify: s = "Z"; break;
        case ecIdentResponse: s = "/Z"; break;
        default: return "";
    }
    return "\x1b" + s;
}
