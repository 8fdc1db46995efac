#include "serial/SerialErrors.h"

const std::array<std::string, 25> ComErrorMessages = {
    "",
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
    "Port Not Open",
};

const std::string& ComErrorMessage(int code) {
    return (code >= 1 && code <= 24) ? ComErrorMessages[code] : ComErrorMessages[0];
}

ESerialPort::ESerialPort(int ACode, int AWinCode)
    : Exception(ComErrorMessage(ACode) + " (Error: " + std::to_string(AWinCode) + ")"),
      FWinCode(AWinCode),
      FCode(ACode) {}

ESerialPort::ESerialPort(int ACode) : Exception(ComErrorMessage(ACode)), FCode(ACode) {}

std::string ComErrorsToStr(TSerialErrors errors) {
    static const char* const kNames[] = {"Frame", "Parity", "Overrun", "Break",
                                         "IO",    "Mode",   "RxOver",  "TxFull"};
    if (errors.Empty()) return "<Ok>";
    std::string s = "<ComError:";
    bool first = true;
    for (int e = ceFrame; e <= ceTxFull; ++e) {
        if (!errors.Contains(static_cast<TSerialError>(e))) continue;
        if (!first) s += ",";
        s += kNames[e];
        first = false;
    }
    return s + ">";
}
