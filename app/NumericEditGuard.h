#pragma once
// Numbers typed into edits, and the key-release guard of the numeric settings edits, whose
// maximum length doubles as their largest value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/SysUtils.h"

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

// The values a little-endian integer slot of a device record holds.
struct TSlotRange {
    std::int64_t Low = 0;
    std::int64_t High = 0;
};
TSlotRange SlotRange(std::size_t width, bool isSigned);

// A number an edit shows that the record slot it goes to cannot hold: nothing is sent or
// saved rather than the number cut to the slot. Field names the edit; Digits is the most a
// text slot of digits (a PIN) holds, 0 for an integer slot of the range Low..High.
class EFieldRange : public EConvertError {
public:
    EFieldRange(std::string field, TSlotRange range, std::size_t digits = 0);
    std::string Field;
    TSlotRange Range;
    std::size_t Digits;
};

// The one check of a number shown in an edit against its integer slot: the value as it
// stands, or EFieldRange naming field.
std::int64_t SlotValue(const std::string& field, std::int64_t value, std::size_t width, bool isSigned);
