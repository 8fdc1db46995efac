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

// How a line of a file another program saved was read.
enum class TTextLine { Utf8, Cp1251, BrokenUtf8 };
// One line of a file another program saved (a number file a spreadsheet wrote), read by
// itself, so that one stray byte spoils no other line: as UTF-8 when its bytes are
// well-formed UTF-8 (ASCII is both); as BrokenUtf8 when they are UTF-8 but for a few bytes
// that are not (fewer than its well-formed characters beyond ASCII), as when a byte of
// another code page strays into a UTF-8 file, each such byte then read as U+FFFD; as
// Windows-1251 otherwise. text receives the line in UTF-8.
TTextLine TextLineToUtf8(std::string_view bytes, std::string& text);
