// What the two escape-code parsers share.
#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "serial/SerialPortEsc.h"

TEscapeCodes::TEscapeCodes() : FParams(std::make_unique<TStringList>()) {}
TEscapeCodes::~TEscapeCodes() = default;

int TEscapeCodes::GetParam(int N, const TStrings* Params) {
    if (!Params || N < 1 || N > Params->Count()) return 1;
    int value = 0;
    if (!TryStrToInt(Params->Get(N - 1), value)) return 1;
    // Parameters come from the line: bounded, so that caret arithmetic on them cannot
    // overflow.
    return std::clamp(value, -kParamLimit, kParamLimit);
}

void TEscapeCodes::SplitParams(const std::string& text) {
    FParams->Clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) FParams->Add(text.substr(start, end - start));
        start = end + 1;
    }
}

TEscapeResult TEscapeCodes::Frame(char32_t Ch) {
    if (!FInSequence) {
        if (Ch == kEsc) {
            FInSequence = true;
            FData.clear();
            FChars.clear();
            FParams->Clear();
            return erNothing;
        }
        FCharacter = Ch;
        return erChar;
    }
    utf8::Append(FData, Ch);
    FChars += Ch;
    TEscapeCode code = Judge();
    // Garbage that never reaches a final character must not grow for ever.
    if (code == ecNotCompleted && FChars.size() >= kMaxSequence) code = ecUnknown;
    if (code == ecNotCompleted) return erNothing;
    FCode = code;
    FInSequence = false;
    return erCode;
}
