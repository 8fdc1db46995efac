#pragma once
// Single parameters of the readers wired to the device, read with 0x50 and written with
// 0x51. The address and the value are the low 8 bits of what the edits hold.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceFrame.h"

struct TReaderParam {
    const char* Item;    // the list's text
    std::uint8_t Code;   // the parameter code sent
};
// In the order of the parameter list.
inline constexpr std::array<TReaderParam, 5> kReaderParams = {{
    {"Адрес", 0x03},
    {"Мощность", 0x05},
    {"Скорость", 0x07},
    {"РЧ диапазон", 0x3F},
    {"Обл. чтения", 0x0A},
}};

inline constexpr const char* kReaderParamRead = "Параметр считан!";
inline constexpr const char* kReaderParamSet = "Значение параметра установлено!";
inline constexpr const char* kReaderParamNotSet = "Ошибка записи параметра!";

// The byte a field sends is the number it shows: a number outside 0..255 (a paste or the
// accessibility interface put it there, past the key-release guard) sends nothing, and the
// user is told the range (message 94). An empty field is 0; text that is no number raises
// EConvertError.
inline constexpr int kMsgReaderParamRange = 94;
std::optional<std::uint8_t> ReaderParamByte(const std::string& fieldText);

// Request data; nothing when no parameter is selected (index outside the list).
std::optional<std::vector<std::uint8_t>> ReaderParamGetData(int address, int paramIndex);
std::optional<std::vector<std::uint8_t>> ReaderParamSetData(int address, int paramIndex, int value);

// 0x50: the value is d1 (d0 is not looked at). Nothing for a reply without d1.
std::optional<std::uint8_t> DecodeReaderParamGetReply(const TDeviceReply& reply);
// 0x51: d0 nonzero means the value was set; the reverse of the usual result byte.
std::optional<bool> DecodeReaderParamSetReply(const TDeviceReply& reply);
