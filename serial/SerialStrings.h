#pragma once
// The text forms of the settings, matched case-insensitively when read back; a text that
// matches nothing gives the form's fallback.
#include <string>
#include <string_view>

#include "serial/SerialTypes.h"

std::string BaudRateToStr(TBaudRate value);
std::string StopBitsToStr(TStopBits value);
std::string DataBitsToStr(TDataBits value);
std::string ParityToStr(TParityBits value);
std::string FlowControlToStr(TFlowControl value);
std::string DTRFlowControlToStr(TDTRFlowControl value);
std::string RTSFlowControlToStr(TRTSFlowControl value);

TBaudRate StrToBaudRate(std::string_view text);          // else br9600
TStopBits StrToStopBits(std::string_view text);          // else sbOneStopBit
TDataBits StrToDataBits(std::string_view text);          // else dbEight
TParityBits StrToParity(std::string_view text);          // else prNone
TFlowControl StrToFlowControl(std::string_view text);    // else fcCustom
TDTRFlowControl StrToDTRFlowControl(std::string_view text);  // else dtrDisable
TRTSFlowControl StrToRTSFlowControl(std::string_view text);  // else rtsDisable

// The rate in bit/s of a named rate (brCustom gives 0).
int BaudRateValue(TBaudRate value);
