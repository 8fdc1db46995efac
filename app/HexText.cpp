#include "app/HexText.h"

std::string BytesToHex(const std::uint8_t* bytes, std::uint16_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (bytes == nullptr) return text;
    text.reserve(count * 2u);
    for (std::uint16_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}
