#pragma once
// The component's error codes 1 to 24, their fixed texts, and its exception.
#include <array>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "serial/SerialTypes.h"

// The texts indexed by code (index 0 is unused).
extern const std::array<std::string, 25> ComErrorMessages;

inline int SerialErrorCode(TSerialExceptions kind) { return static_cast<int>(kind) + 1; }
inline TSerialExceptions SerialErrorKind(int code) { return static_cast<TSerialExceptions>(code - 1); }
// The code's text; "" for a code outside 1 to 24.
const std::string& ComErrorMessage(int code);

class ESerialPort : public Exception {
public:
    // The code's text followed by " (Error: <WinCode>)".
    ESerialPort(int ACode, int AWinCode);
    // The code's text alone; WinCode is -1.
    explicit ESerialPort(int ACode);

    int GetWinCode() const { return FWinCode; }
    int GetCode() const { return FCode; }

private:
    int FWinCode = -1;
    int FCode = 0;
};

// "<Ok>" for no errors, else "<ComError:" and the names joined by "," and ">".
std::string ComErrorsToStr(TSerialErrors errors);
