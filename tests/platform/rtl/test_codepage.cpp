#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/CodePage.h"

namespace {

TEST(CodePage, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1251(utf8), all);
    for (int b = 0; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        ASSERT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << "byte " << b;
    }
}

TEST(CodePage, KnownCharactersBothWays) {
    // Hand-picked from the Windows-1251 chart.
    EXPECT_EQ(Cp1251ToUtf8("\xC0"), "А");  // U+0410
    EXPECT_EQ(Cp1251ToUtf8("\xFF"), "я");  // U+044F
    EXPECT_EQ(Cp1251ToUtf8("\xA8"), "Ё");
    EXPECT_EQ(Cp1251ToUtf8("\xB8"), "ё");
    EXPECT_EQ(Cp1251ToUtf8("\xB9"), "№");
    EXPECT_EQ(Cp1251ToUtf8("\x88"), "€");
    EXPECT_EQ(Cp1251ToUtf8("\x96"), "–");
    EXPECT_EQ(Cp1251ToUtf8("\xA0"), "\u00A0");
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\u0098");  // unassigned, kept so the byte survives
    EXPECT_EQ(Utf8ToCp1251("Прибор №1"), "\xCF\xF0\xE8\xE1\xEE\xF0 \xB9" "1");
    EXPECT_EQ(Cp1251ToUnicode(0xC1), U'Б');
    EXPECT_EQ(UnicodeToCp1251(U'ї'), 0xBF);
}

TEST(CodePage, CharactersWithoutAFormBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("é"), "?");           // Latin-1, not in the code page
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
    EXPECT_EQ(Utf8ToCp1251("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji
    EXPECT_EQ(Utf8ToCp1251("\xFF" "x"), "?x");   // malformed lead byte
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");        // truncated sequence at the end
    EXPECT_EQ(Utf8ToCp1251("\xD0x"), "?x");      // or cut short
    EXPECT_EQ(Utf8ToCp1251("\xC1\xBF"), "?");    // an overlong form
    char field[3] = {};
    EXPECT_EQ(Utf8ToCp1251("Прибор", field, 3), 3u);  // into a field: its first bytes only
    EXPECT_EQ(std::string(field, 3), "\xCF\xF0\xE8");
    EXPECT_EQ(UnicodeToCp1251(U'é'), -1);
    EXPECT_EQ(Utf8ToCp1251(""), "");
}

// Each reading of a line is weighed by the characters a name list does not hold; a line read
// as UTF-8 marks its malformed sequences, one read as Windows-1251 reads every byte.
TEST(CodePage, TextLinesWeighedInBothReadingsAndRead) {
    const auto rare = [](std::string_view bytes) {
        const TTextLineRare r = TextLineRareCharacters(bytes);
        return std::pair{r.Utf8, r.Cp1251};
    };
    // UTF-8 Cyrillic: a capital that leads a pair, then a sign ("Р’" is "В"), but "Ш" is "РЁ".
    EXPECT_EQ(rare("\xD0\x92.\xD0\xA8.\xD0\x98\xD1\x80\xD0\xB8\xD0\xBD\xD0\xB0"), std::pair(0, 5));  // "В.Ш.Ирина"
    EXPECT_EQ(rare("\xD0\x9F\xD0\xB5\xD1\x82\xF0\xD0\xBE"), std::pair(1, 4));  // "Пет", a stray byte, "о"
    EXPECT_EQ(rare("\xC3\x97 \xC3\xAB \xD2\x9A"), std::pair(1, 3));  // "×", "ë", Kazakh "Қ"
    EXPECT_EQ(rare("\x99\xC8\xE2\xE0\xED;1"), std::pair(5, 1));      // "™Иван" in Windows-1251
    // Well-formed UTF-8 by accident, but "Ȩ", "¨" and U+0379 are no name's letters; "Р№" may be "й".
    EXPECT_EQ(rare("\xC8\xA8\xC2\xA8\xCD\xB9"), std::pair(3, 0));
    EXPECT_EQ(rare("\xD0\xA8\xD0\xB9"), std::pair(0, 0));
    EXPECT_TRUE(TextLineRareCharacters("a;1").Ascii);
    EXPECT_FALSE(TextLineRareCharacters("\xD0\xA8").Ascii);

    const auto read = [](std::string_view bytes, TTextEncoding encoding, bool wellFormed) {
        std::string text;
        EXPECT_EQ(TextLineToUtf8(bytes, encoding, text), wellFormed) << bytes;
        return text;
    };
    EXPECT_EQ(read("\xD0\xA8;1", TTextEncoding::Utf8, true), "Ш;1");
    EXPECT_EQ(read("\xD0\xA8;1", TTextEncoding::Cp1251, true), "РЁ;1");
    EXPECT_EQ(read("\xD0\x98\xD0\xB2\xC8;1", TTextEncoding::Utf8, false), "Ив\uFFFD;1");
    // An overlong form and a surrogate are malformed too.
    EXPECT_EQ(read("a\xC0\x80\xED\xA0\x80\xD0\xB2", TTextEncoding::Utf8, false), "a\uFFFD\uFFFDв");
    EXPECT_EQ(read("\xC0\x80\x98", TTextEncoding::Cp1251, true), "АЂ\u0098");

    // UTF-16 after its mark, either byte order; a surrogate pair, a lone one, an odd last byte.
    std::string text = "kept";
    EXPECT_EQ(Utf16FileToUtf8("\xEF\xBB\xBFx", text), nullptr);
    EXPECT_EQ(text, "kept");
    EXPECT_STREQ(Utf16FileToUtf8(std::string("\xFF\xFE\x16\x04;\0\0\xD8\0\xDC\x3D\xD8\0\xDE\xE0\0\0\xD8\r", 19), text),
                 "UTF-16 LE");
    EXPECT_EQ(text, "Ж;\U00010000😀à\uFFFD\uFFFD");
    EXPECT_STREQ(Utf16FileToUtf8(std::string("\xFE\xFF\x04\x16\0\n", 6), text), "UTF-16 BE");
    EXPECT_EQ(text, "Ж\n");
}

}  // namespace
