#include "serial/SerialStrings.h"

#include <array>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr std::array<const char*, 16> kBaud = {"Custom", "110",   "300",   "600",   "1200",  "2400",
                                               "4800",   "9600",  "14400", "19200", "38400", "56000",
                                               "57600",  "115200", "128000", "256000"};
constexpr std::array<const char*, 3> kStop = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> kData = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> kParity = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<const char*, 4> kFlow = {"Hardware", "Software", "None", "Custom"};
constexpr std::array<const char*, 3> kDtr = {"Disable", "Enable", "Handshake"};
constexpr std::array<const char*, 4> kRts = {"Disable", "Enable", "Handshake", "Toggle"};

template <std::size_t N>
std::string Text(const std::array<const char*, N>& table, int value) {
    return (value >= 0 && value < static_cast<int>(N)) ? table[value] : "";
}

template <class E, std::size_t N>
E Lookup(const std::array<const char*, N>& table, std::string_view text, E fallback) {
    for (std::size_t i = 0; i < N; ++i)
        if (SameText(text, table[i])) return static_cast<E>(i);
    return fallback;
}

}  // namespace

std::string BaudRateToStr(TBaudRate v) { return Text(kBaud, v); }
std::string StopBitsToStr(TStopBits v) { return Text(kStop, v); }
std::string DataBitsToStr(TDataBits v) { return Text(kData, v); }
std::string ParityToStr(TParityBits v) { return Text(kParity, v); }
std::string FlowControlToStr(TFlowControl v) { return Text(kFlow, v); }
std::string DTRFlowControlToStr(TDTRFlowControl v) { return Text(kDtr, v); }
std::string RTSFlowControlToStr(TRTSFlowControl v) { return Text(kRts, v); }

TBaudRate StrToBaudRate(std::string_view t) { return Lookup(kBaud, t, br9600); }
TStopBits StrToStopBits(std::string_view t) { return Lookup(kStop, t, sbOneStopBit); }
TDataBits StrToDataBits(std::string_view t) { return Lookup(kData, t, dbEight); }
TParityBits StrToParity(std::string_view t) { return Lookup(kParity, t, prNone); }
TFlowControl StrToFlowControl(std::string_view t) { return Lookup(kFlow, t, fcCustom); }
TDTRFlowControl StrToDTRFlowControl(std::string_view t) { return Lookup(kDtr, t, dtrDisable); }
TRTSFlowControl StrToRTSFlowControl(std::string_view t) { return Lookup(kRts, t, rtsDisable); }

int BaudRateValue(TBaudRate v) {
    static constexpr int kRates[] = {0,     110,   300,   600,   1200,   2400,   4800,   9600,
                                     14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return (v >= brCustom && v <= br256000) ? kRates[v] : 0;
}
