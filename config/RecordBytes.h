#pragma once
// Little-endian integers and fixed-width texts inside device records. Texts are UTF-8 in
// memory and Windows-1251 in the record; a field holds at most its width less one byte
// and a NUL, and is read within its width whether a NUL is there or not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void SetU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void SetU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The text up to the first NUL within width bytes, as UTF-8.
std::string GetFieldText(const std::uint8_t* field, std::size_t width);
// Writes text (UTF-8) as Windows-1251, cut to width - 1 bytes, the rest of the field zero.
void SetFieldText(std::uint8_t* field, std::size_t width, std::string_view text);
