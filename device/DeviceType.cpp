#include "device/DeviceType.h"

std::string TypeDeviceToString(std::uint8_t type, std::uint16_t capacity) {
    if (capacity == kSmallCapacity) return "Ключ \"Бранник\" DAZU 650";
    if ((type & 0x80) == 0) return "Ключ \"Бранник IP\" DAZU";
    return "Ключ \"Бранник IP\" DIN";
}
