#pragma once
// Walking UTF-8 text one character at a time; malformed bytes read as U+FFFD, one per byte.
#include <string>
#include <string_view>

namespace utf8 {

// Decodes the character at s[i] and advances i past it.
char32_t Next(std::string_view s, size_t& i);
void Append(std::string& out, char32_t cp);
// Number of characters (malformed bytes count one each).
size_t Length(std::string_view s);
// The first n characters.
std::string_view Left(std::string_view s, size_t n);
// As Next; wellFormed is false for a malformed byte, an overlong form, a surrogate or a code
// point above U+10FFFF.
char32_t NextChecked(std::string_view s, size_t& i, bool& wellFormed);
// Every character well-formed.
bool IsValid(std::string_view s);
// A control character: C0, DEL or C1 (line breaks and tabs among them).
inline bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }
bool HasControl(std::string_view s);

// Simple case mapping for Latin, Latin-1 and Cyrillic letters; other characters unchanged.
char32_t ToUpper(char32_t c);
char32_t ToLower(char32_t c);

}  // namespace utf8
