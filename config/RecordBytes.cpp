#include "config/RecordBytes.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/CodePage.h"

std::string GetFieldText(const std::uint8_t* field, std::size_t width) {
    const auto* begin = reinterpret_cast<const char*>(field);
    const auto* nul = static_cast<const char*>(std::memchr(begin, 0, width));
    const std::size_t len = nul ? static_cast<std::size_t>(nul - begin) : width;
    return Cp1251ToUtf8(std::string_view(begin, len));
}

void SetFieldText(std::uint8_t* field, std::size_t width, std::string_view text) {
    if (width == 0) return;
    std::memset(field, 0, width);
    Utf8ToCp1251(text, reinterpret_cast<char*>(field), width - 1);
}
