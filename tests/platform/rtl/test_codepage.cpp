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

// Lines of a file as a spreadsheet saves "CSV UTF-8" or Windows-1251, each read by itself.
TEST(CodePage, TextLinesAreReadInTheEncodingTheyWereSavedIn) {
    const auto read = [](std::string_view bytes, TTextLine code) {
        std::string text;
        EXPECT_EQ(TextLineToUtf8(bytes, text), code) << bytes;
        return text;
    };
    EXPECT_EQ(read("\xD0\x98\xD0\xB2;1", TTextLine::Utf8), "Ив;1");
    EXPECT_EQ(read("\xC8\xE2;1", TTextLine::Cp1251), "Ив;1");
    EXPECT_EQ(read("a;1", TTextLine::Utf8), "a;1");
    EXPECT_EQ(read("", TTextLine::Utf8), "");
    // Not UTF-8 unless every sequence is well-formed: an overlong form, a surrogate, a lone
    // continuation byte; "ё" of Windows-1251 after "П" happens to be a well-formed pair.
    EXPECT_EQ(read("\xC0\x80", TTextLine::Cp1251), "АЂ");
    EXPECT_EQ(read("\xED\xA0\x80", TTextLine::Cp1251), "н\u00A0Ђ");
    EXPECT_EQ(read("\xD0\xB2\xB2", TTextLine::Cp1251), "РІІ");
    EXPECT_EQ(read("\xCF\xB8\xF2\xF0", TTextLine::Cp1251), "Пётр");
    // UTF-8 with a stray byte keeps its letters; the stray byte and a bad sequence show as U+FFFD.
    EXPECT_EQ(read("\xD0\x98\xD0\xB2\xC8;1", TTextLine::BrokenUtf8), "Ив\uFFFD;1");
    EXPECT_EQ(read("a\xC0\x80\xD0\x98\xD0\xB2\xD0\xB2", TTextLine::BrokenUtf8), "a\uFFFDИвв");
}

}  // namespace
