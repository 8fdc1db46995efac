// The language rule: separator, filler character, values without a separator, the title.
#include <gtest/gtest.h>

#include "app/LangText.h"

namespace {
const std::string kRu = "russian";
const std::string kEn = "english";
}  // namespace

TEST(LangRule, SeparatorAndFiller) {
    const std::string v = "Да//\\ Yes";
    EXPECT_EQ(ReadLangStr(v, kRu), "Да");
    EXPECT_EQ(ReadLangStr(v, kEn), "Yes");
    // Without the filler the first English letter is taken as the filler.
    EXPECT_EQ(ReadLangStr("Да//\\Yes", kEn), "es");
    EXPECT_EQ(ReadLangStr("Да//\\Yes", kRu), "Да");
}

TEST(LangRule, FillerIsOneCharacterNotOneByte) {
    // A Cyrillic filler is two bytes in UTF-8; the English half must not start mid-character.
    EXPECT_EQ(ReadLangStr("Да//\\ЖYes", kEn), "Yes");
    EXPECT_EQ(ReadLangStr("Да//\\—Yes", kEn), "Yes");
}

TEST(LangRule, ValuesWithoutSeparatorOrHalves) {
    EXPECT_EQ(ReadLangStr("Да", kRu), "Да");
    EXPECT_EQ(ReadLangStr("Да", kEn), "Да");
    EXPECT_EQ(ReadLangStr("", kEn), "");
    EXPECT_EQ(ReadLangStr("//\\ Yes", kRu), "");
    EXPECT_EQ(ReadLangStr("//\\ Yes", kEn), "Yes");
    // Ending right after the separator, or one character after it: no English text.
    EXPECT_EQ(ReadLangStr("Да//\\", kEn), "");
    EXPECT_EQ(ReadLangStr("Да//\\ ", kEn), "");
    EXPECT_EQ(ReadLangStr("Да//\\Ж", kEn), "");
    // Only the first separator splits.
    EXPECT_EQ(ReadLangStr("a//\\ b//\\ c", kEn), "b//\\ c");
    EXPECT_EQ(ReadLangStr("a//\\ b//\\ c", kRu), "a");
}

TEST(LangRule, OnlyExactEnglishSelectsEnglish) {
    EXPECT_TRUE(IsEnglishLanguage("english"));
    EXPECT_FALSE(IsEnglishLanguage("English"));
    EXPECT_FALSE(IsEnglishLanguage(""));
    EXPECT_EQ(ReadLangStr("Да//\\ Yes", "English"), "Да");
    EXPECT_EQ(ToggledLanguage("english"), "russian");
    EXPECT_EQ(ToggledLanguage("English"), "english");
    EXPECT_EQ(ToggledLanguage("russian"), "english");
}

TEST(LangRule, MessageKeysAndTitle) {
    EXPECT_EQ(LangMessageKey(4), "M4");
    EXPECT_EQ(LangMessageDefault(4), "Message4");
    EXPECT_EQ(LangMessageDefault(-1), "Message-1");
    EXPECT_EQ(FormTitleText("Конфигуратор", "1.5.0.0"),
              "Конфигуратор Zeze ZUR \"Бранник IP\"  v.1.5.0");
    EXPECT_EQ(FormTitleText("X", "1"), "X Zeze ZUR \"Бранник IP\"  v.");
}
