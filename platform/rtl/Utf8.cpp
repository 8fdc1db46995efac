#include "platform/rtl/Utf8.h"

namespace utf8 {

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

size_t Length(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++n) Next(s, i);
    return n;
}

std::string_view Left(std::string_view s, size_t n) {
    size_t i = 0;
    for (size_t k = 0; k < n && i < s.size(); ++k) Next(s, i);
    return s.substr(0, i);
}

bool IsValid(std::string_view s) {
    bool ok = true;
    for (size_t i = 0; i < s.size() && ok;) NextChecked(s, i, ok);
    return ok;
}

char32_t ToUpper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 32;   // а..я
    if (c >= 0x450 && c <= 0x45F) return c - 80;   // ѐ..џ (ё, ђ, є, і, ї, ј, љ, њ, ћ, ќ, ў, џ)
    if (c == 0x491) return 0x490;                  // ґ
    return c;
}

char32_t ToLower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    if (c == 0x490) return 0x491;
    return c;
}

bool HasControl(std::string_view s) {
    for (size_t i = 0; i < s.size();)
        if (IsControl(Next(s, i))) return true;
    return false;
}

}  // namespace utf8
