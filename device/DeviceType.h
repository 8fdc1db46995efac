#pragma once
// The controller models: which identify answers are accepted and how a model is named.
#include <cstdint>
#include <string>

inline constexpr std::uint8_t kDefaultDeviceType = 11;
inline constexpr std::uint16_t kLargeCapacity = 15000;
inline constexpr std::uint16_t kSmallCapacity = 650;

// A type is one of ours when its low seven bits are 11; bit 7 marks the DIN-rail model.
inline bool IsAcceptedDeviceType(std::uint8_t type) { return (type & 0x7F) == 11; }
// The identify reply's capacity flag: 16 is the small model.
inline std::uint16_t DeviceCapacityFromFlag(std::uint8_t flag) {
    return flag == 16 ? kSmallCapacity : kLargeCapacity;
}
// The model text of the title bar and the status page (UTF-8).
std::string TypeDeviceToString(std::uint8_t type, std::uint16_t capacity);
