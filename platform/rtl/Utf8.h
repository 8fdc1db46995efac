#pragma once
// Walking UTF-8 text one character at a time; malformed bytes read as U+FFFD, one per byte.
#include <string>
#include <string_view>

namespace utf8 {

// Decodes the character at s[i] and advances i past it. Inline: every text conversion walks
// its text with it.
inline char32_t Next(std::string_view s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t len;
    char32_t cp;
    if (c < 0x80) { ++i; return c; }
    if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
    else { ++i; return 0xFFFD; }
    if (i + len > s.size()) { ++i; return 0xFFFD; }
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += len;
    return cp;
}
void Append(std::string& out, char32_t cp);
// Number of characters (malformed bytes count one each).
size_t Length(std::string_view s);
// The first n characters.
std::string_view Left(std::string_view s, size_t n);
// As Next; wellFormed is false for a malformed byte, an overlong form, a surrogate or a code
// point above U+10FFFF.
inline char32_t NextChecked(std::string_view s, size_t& i, bool& wellFormed) {
    const size_t at = i;
    const char32_t cp = Next(s, i);
    const size_t len = i - at;
    // The shortest form only: 2 bytes from U+0080, 3 from U+0800, 4 from U+10000.
    wellFormed = !(cp == 0xFFFD && len == 1) && !(len == 2 && cp < 0x80) && !(len == 3 && cp < 0x800) &&
                 !(len == 4 && cp < 0x10000) && !(cp >= 0xD800 && cp <= 0xDFFF) && cp <= 0x10FFFF;
    return cp;
}
// Every character well-formed.
bool IsValid(std::string_view s);
// A control character: C0, DEL or C1 (line breaks and tabs among them).
inline bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }
bool HasControl(std::string_view s);

// Simple case mapping for Latin, Latin-1 and Cyrillic letters; other characters unchanged.
char32_t ToUpper(char32_t c);
char32_t ToLower(char32_t c);

}  // namespace utf8
