#pragma once
// Windows-1251, the code page of device records, CSV files, cloud JSON and server texts.
// In memory every text is UTF-8; conversion happens only at those edges.
#include <string>
#include <string_view>

// Each byte to its character; exact for all 256 bytes (0x98, unassigned in the code page,
// is kept as U+0098 so that a round trip never loses a byte).
std::string Cp1251ToUtf8(std::string_view bytes);
// Characters with no Windows-1251 form become "?"; malformed UTF-8 bytes become "?" too.
std::string Utf8ToCp1251(std::string_view text);
// One character's code point in Windows-1251, or -1 when it has none.
int UnicodeToCp1251(char32_t cp);
char32_t Cp1251ToUnicode(unsigned char b);

// The text of a file another program saved: UTF-8 when it begins with a byte-order mark
// (which is dropped) or when its bytes are well-formed UTF-8 holding non-ASCII characters;
// Windows-1251 otherwise. Malformed bytes after a mark read as U+FFFD.
std::string TextFileToUtf8(std::string_view bytes);
