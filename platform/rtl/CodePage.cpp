#include "platform/rtl/CodePage.h"

#include <array>

#include "platform/rtl/Utf8.h"

namespace {
// Upper half of Windows-1251; the lower half is ASCII.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Encoding looks a character up directly by its code point: the code page draws beyond ASCII
// on Latin-1 and Cyrillic (below U+0500) and on punctuation (U+2000 to U+212F). 0 = no form.
constexpr char32_t kLowBlockEnd = 0x500;
constexpr char32_t kPunctuationFrom = 0x2000;
constexpr char32_t kPunctuationEnd = 0x2130;
struct TEncodeTables {
    std::array<unsigned char, kLowBlockEnd> Low{};
    std::array<unsigned char, kPunctuationEnd - kPunctuationFrom> Punctuation{};
};
constexpr TEncodeTables kEncode = [] {
    TEncodeTables t;
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        const char32_t cp = kHigh[i];
        const auto b = static_cast<unsigned char>(0x80 + i);
        if (cp < kLowBlockEnd) t.Low[cp] = b;
        else t.Punctuation[cp - kPunctuationFrom] = b;  // out of range: no constant, no build
    }
    return t;
}();

// The letters a name list holds beyond ASCII: Cyrillic (Russian, Ukrainian, Belarusian,
// Kazakh) and Latin with their marks (Latin-1 and Extended-A).
bool IsNameLetter(char32_t c) {
    if (c >= 0x410 && c <= 0x44F) return true;                    // А..я
    if (c >= 0xC0 && c <= 0x17F) return c != 0xD7 && c != 0xF7;  // À..ſ, less × and ÷
    switch (c) {
        case 0x401: case 0x451: case 0x404: case 0x454: case 0x406: case 0x456:  // Ё ё Є є І і
        case 0x407: case 0x457: case 0x40E: case 0x45E: case 0x490: case 0x491:  // Ї ї Ў ў Ґ ґ
        case 0x4D8: case 0x4D9: case 0x492: case 0x493: case 0x49A: case 0x49B:  // Ә ә Ғ ғ Қ қ
        case 0x4A2: case 0x4A3: case 0x4E8: case 0x4E9: case 0x4B0: case 0x4B1:  // Ң ң Ө ө Ұ ұ
        case 0x4AE: case 0x4AF: case 0x4BA: case 0x4BB:                          // Ү ү Һ һ
            return true;
        default:
            return false;
    }
}

// ... and its usual punctuation.
bool IsNameCharacter(char32_t c) {
    switch (c) {
        case 0x2116: case 0xAB: case 0xBB: case 0x2013: case 0x2014:                   // № « » – —
        case 0x2018: case 0x2019: case 0x201C: case 0x201D: case 0x201E: case 0x2026:  // ‘ ’ “ ” „ …
            return true;
        default:
            return IsNameLetter(c);
    }
}

// Writes cp (below U+10000) as UTF-8 at p; the end.
char* PutUtf8(char* p, char32_t cp) {
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | (cp >> 6));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *p++ = static_cast<char>(0xE0 | (cp >> 12));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return p;
}

// Appends the bytes' characters to out, which keeps its room from line to line.
void AppendCp1251AsUtf8(std::string& out, std::string_view bytes) {
    const std::size_t from = out.size();
    out.resize(from + bytes.size() * 3);
    char* p = out.data() + from;
    for (unsigned char b : bytes) p = PutUtf8(p, b < 0x80 ? b : kHigh[b - 0x80]);
    out.resize(static_cast<std::size_t>(p - out.data()));
}

}  // namespace

char32_t Cp1251ToUnicode(unsigned char b) { return b < 0x80 ? b : kHigh[b - 0x80]; }

int UnicodeToCp1251(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    unsigned char b = 0;
    if (cp < kLowBlockEnd) b = kEncode.Low[cp];
    else if (cp >= kPunctuationFrom && cp < kPunctuationEnd) b = kEncode.Punctuation[cp - kPunctuationFrom];
    return b == 0 ? -1 : b;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    AppendCp1251AsUtf8(out, bytes);
    return out;
}

std::string Utf8ToCp1251(std::string_view text) {
    std::string out(text.size(), '\0');
    out.resize(Utf8ToCp1251(text, out.data(), out.size()));
    return out;
}

std::size_t Utf8ToCp1251(std::string_view text, char* out, std::size_t size) {
    char* p = out;
    char* const end = out + size;
    for (std::size_t i = 0; i < text.size() && p != end;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
            ++i;
            continue;
        }
        int b = -1;
        if (c >= 0xC2 && c < 0xE0 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            // Two bytes, the form of every Cyrillic letter: well-formed from 0xC2 on.
            b = UnicodeToCp1251(static_cast<char32_t>(((c & 0x1F) << 6) | (text[i + 1] & 0x3F)));
            i += 2;
        } else {
            bool ok = true;
            const char32_t cp = utf8::NextChecked(text, i, ok);
            if (ok) b = UnicodeToCp1251(cp);
        }
        *p++ = b < 0 ? '?' : static_cast<char>(b);
    }
    return static_cast<std::size_t>(p - out);
}

TTextLineRare TextLineRareCharacters(std::string_view bytes) {
    TTextLineRare rare;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        rare.Ascii = false;
        bool ok = true;
        const char32_t cp = utf8::NextChecked(bytes, i, ok);
        rare.WellFormed &= ok;
        rare.Utf8 += !ok || !IsNameCharacter(cp);
    }
    if (rare.Ascii) return rare;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) continue;
        const char32_t c = Cp1251ToUnicode(b);
        const auto before = i > 0 ? static_cast<unsigned char>(bytes[i - 1]) : 0;
        const bool pairSign = b <= 0xBF && b != 0xB9 && before >= 0xC2 && before <= 0xEF && !IsNameLetter(c);
        rare.Cp1251 += pairSign || !IsNameCharacter(c);
    }
    return rare;
}

bool TextLineToUtf8(std::string_view bytes, TTextEncoding encoding, std::string& text) {
    if (encoding == TTextEncoding::Cp1251) {
        text.clear();
        AppendCp1251AsUtf8(text, bytes);
        return true;
    }
    if (utf8::IsValid(bytes)) {
        text.assign(bytes);
        return true;
    }
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t at = i;
        bool ok = true;
        utf8::NextChecked(bytes, i, ok);
        if (ok) text.append(bytes.substr(at, i - at));
        else utf8::Append(text, 0xFFFD);
    }
    return false;
}

const char* Utf16FileToUtf8(std::string_view bytes, std::string& text) {
    const bool little = bytes.starts_with("\xFF\xFE"), big = bytes.starts_with("\xFE\xFF");
    if (!little && !big) return nullptr;
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        return little ? first | second << 8 : first << 8 | second;
    };
    text.clear();
    text.reserve(bytes.size());
    std::size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        utf8::Append(text, c);
    }
    if (i < bytes.size()) utf8::Append(text, 0xFFFD);
    return little ? "UTF-16 LE" : "UTF-16 BE";
}
