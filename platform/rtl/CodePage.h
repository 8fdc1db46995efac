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

// A file another program saved (a number list a spreadsheet wrote, or one edited by hand) may
// hold lines of both encodings; a Windows-1251 line can be well-formed UTF-8 by accident ("ИЁ"
// would read "Ȩ", "РЁ" "Ш"). Its reader weighs each line's two readings.
enum class TTextEncoding { Utf8, Cp1251 };
// The characters of each reading of a line that a name list does not hold (a malformed UTF-8
// sequence counts as one). A name list holds Cyrillic letters (Russian, Ukrainian, Belarusian,
// Kazakh), Latin letters with their marks, ASCII and the usual punctuation (« » „ “ ” ‘ ’ – —
// … №); not other signs nor Latin Extended-B ("Ȩ"). In the Windows-1251 reading a sign of
// 0x80-0xBF other than "№" right after a letter that begins a UTF-8 character ("В".."Я",
// "а".."п") counts too: that is how UTF-8 reads there ("Р’" is "В", "Г—" "×", "в„–" "№").
struct TTextLineRare {
    int Utf8 = 0;
    int Cp1251 = 0;
    bool Ascii = true;      // no byte above 0x7F: both readings alike
    bool WellFormed = true;  // as UTF-8
};
TTextLineRare TextLineRareCharacters(std::string_view bytes);
// A line of a file read in encoding, into text as UTF-8. False for a line that is not
// well-formed UTF-8 read as UTF-8 (a stray byte of another code page): text then shows each
// malformed sequence as U+FFFD.
bool TextLineToUtf8(std::string_view bytes, TTextEncoding encoding, std::string& text);
// A file that begins with a UTF-16 byte-order mark, as UTF-8 into text (without the mark; a
// lone surrogate or an odd last byte reads U+FFFD): "UTF-16 LE" or "UTF-16 BE". nullptr,
// text untouched, for any other file.
const char* Utf16FileToUtf8(std::string_view bytes, std::string& text);
