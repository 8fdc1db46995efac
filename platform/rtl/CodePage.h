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
// The same into out, at most size bytes (the first of them); how many were written.
std::size_t Utf8ToCp1251(std::string_view text, char* out, std::size_t size);
// One character's code point in Windows-1251, or -1 when it has none.
int UnicodeToCp1251(char32_t cp);
char32_t Cp1251ToUnicode(unsigned char b);

// A file another program saved (a number list a spreadsheet wrote) is read in one encoding,
// decided for the whole file: a Windows-1251 line can be well-formed UTF-8 by accident ("ИЁ"
// would read "Ȩ", "РЁ" "Ш").
enum class TTextEncoding { Utf8, Cp1251 };
// What one line tells of its file's encoding: which reading gives fewer characters a name
// list rarely holds (a malformed UTF-8 sequence counts as one). A name list holds Cyrillic
// and Latin letters, digits and the usual punctuation, not signs or Latin Extended-B ("Ȩ").
// > 0 for UTF-8, < 0 for Windows-1251, 0 when the line says nothing (ASCII, or both alike).
int TextLineEncodingVote(std::string_view bytes);
// A line of a file read in encoding, into text as UTF-8. False for a line of a UTF-8 file
// that is not well-formed (a stray byte of another code page): text then shows each
// malformed sequence as U+FFFD.
bool TextLineToUtf8(std::string_view bytes, TTextEncoding encoding, std::string& text);
