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
    EXPECT_EQ(UnicodeToCp1251(U'é'), -1);
    EXPECT_EQ(Utf8ToCp1251(""), "");
}

// As a spreadsheet saves "CSV UTF-8" (with a byte-order mark or without) or Windows-1251.
TEST(CodePage, TextFilesAreReadInTheEncodingTheyWereSavedIn) {
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBF\xD0\x98\xD0\xB2;1"), "Ив;1");
    EXPECT_EQ(TextFileToUtf8("\xD0\x98\xD0\xB2;1"), "Ив;1");
    EXPECT_EQ(TextFileToUtf8("\xC8\xE2;1"), "Ив;1");
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBF"), "");
    EXPECT_EQ(TextFileToUtf8("a;1"), "a;1");
    // Not UTF-8 unless every sequence is well-formed: an overlong form, a surrogate, a lone
    // continuation byte. After a mark each reads as U+FFFD.
    EXPECT_EQ(TextFileToUtf8("\xC0\x80"), "АЂ");
    EXPECT_EQ(TextFileToUtf8("\xED\xA0\x80"), "н\u00A0Ђ");
    EXPECT_EQ(TextFileToUtf8("\xD0\xB2\xB2"), "РІІ");
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBF" "a\xC0\x80\xED\xA0\x80\xB2"), "a\uFFFD\uFFFD\uFFFD");
}

}  // namespace
