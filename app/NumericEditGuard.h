#pragma once
// Numbers typed into edits, and the key-release guard of the numeric settings edits, whose
// maximum length doubles as their largest value.
#include <cstdint>
#include <string>

// Empty text is 0; otherwise the class library's integer conversion (EConvertError on text
// that is not an integer).
std::int32_t UserStrToInt(const std::string& text);

struct TEditGuardResult {
    bool SetText = false;   // the edit's text becomes Text
    std::string Text;
    bool ClearKey = false;  // the released key is set to 0
    bool SelectText = false;  // Text is selected, so that the digits typed next replace it
};

// Raises EConvertError for text that is not an integer; the edit then keeps its text.
TEditGuardResult EditKeyUpRule(const std::string& text, int maxLength);
