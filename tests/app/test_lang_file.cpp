// The language file: where it is found, messages, header texts, captions and the operator
// list, a missing file, and the shipped file itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/LangFile.h"
#include "support/TestSupport.h"

namespace {

std::string MakeLangFile(const std::string& name, const std::string& text) {
    const std::string dir = testsupport::TempDir(name);
    const std::string path = LangFilePathIn(dir);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

// Beside the executable first, as built; else in an installed tool's share/zentor/.
TEST(LangFile, FoundBesideTheExecutableOrInTheInstalledDataFolder) {
    namespace fs = std::filesystem;
    const fs::path root = testsupport::TempDir("lang-lookup");
    const fs::path bin = root / "bin", installed = root / "share/zentor/lang_zent.lng";
    fs::create_directories(bin);
    EXPECT_EQ(LangFilePathFor(bin.string()), (bin / "lang_zent.lng").string());  // none: defaults
    fs::create_directories(installed.parent_path());
    std::ofstream(installed) << "[Header]\n";
    EXPECT_EQ(LangFilePathFor(bin.string()), installed.string());
    fs::create_directory(bin / "lang_zent.lng");  // a folder is no language file
    EXPECT_EQ(LangFilePathFor(bin.string()), installed.string());
    fs::remove(bin / "lang_zent.lng");
    std::ofstream(bin / "lang_zent.lng") << "[Header]\n";
    EXPECT_EQ(LangFilePathFor(bin.string()), (bin / "lang_zent.lng").string());
}

TEST(LangFile, MissingFileGivesDefaults) {
    const std::string path = LangFilePathIn(testsupport::TempDir("lang-missing"));
    EXPECT_EQ(ReadLangMessage(path, 4, "russian"), "Message4");
    EXPECT_EQ(ReadLangMessage(path, 4, "english"), "Message4");
    EXPECT_EQ(ReadLangDiagnostic(path, 7, "english"), "Code7");
    const TLanguageTexts t = ReadLanguageTexts(path, "english");
    EXPECT_EQ(t.Caption, "Конфигуратор");
    EXPECT_EQ(t.LangHint, "English");
    EXPECT_EQ(t.CloseHint, "Закрыть");
    EXPECT_EQ(t.MinimizeHint, "Свернуть");
    ASSERT_EQ(t.CaptionsBefore.size(), 8u);
    ASSERT_EQ(t.CaptionsAfter.size(), 4u);
    for (const auto& c : t.CaptionsBefore) EXPECT_EQ(c.second, "") << c.first;
    for (const auto& c : t.CaptionsAfter) EXPECT_EQ(c.second, "") << c.first;
    EXPECT_TRUE(t.Operators.empty());
    EXPECT_EQ(t.CaptionsBefore.front().first, "Label63");
    EXPECT_EQ(t.CaptionsBefore.back().first, "Label3");
    EXPECT_EQ(t.CaptionsAfter.front().first, "CallFromAll");
    EXPECT_EQ(t.CaptionsAfter.back().first, "SMSTOUNREG");
}

TEST(LangFile, MessagesWithAndWithoutEntries) {
    const std::string path = MakeLangFile("lang-messages",
                                          "[Messages]\nM4=Нет ответа//\\ No answer\nM5=Только\nM6=\n");
    EXPECT_EQ(ReadLangMessage(path, 4, "russian"), "Нет ответа");
    EXPECT_EQ(ReadLangMessage(path, 4, "english"), "No answer");
    EXPECT_EQ(ReadLangMessage(path, 5, "english"), "Только");
    EXPECT_EQ(ReadLangMessage(path, 6, "english"), "");       // present but empty
    EXPECT_EQ(ReadLangMessage(path, 7, "english"), "Message7");  // no entry
    EXPECT_EQ(ReadLangMessage(path, 0, "russian"), "Message0");
    EXPECT_EQ(ReadLangMessage(path, -3, "russian"), "Message-3");
}

TEST(LangFile, OperatorListCounts) {
    std::string path = MakeLangFile("lang-ops", "[OpList]\nCount=3\nOp0=А//\\ A\nOp1=Б//\\ B\n");
    TLanguageTexts t = ReadLanguageTexts(path, "english");
    EXPECT_EQ(t.Operators, (std::vector<std::string>{"A", "B", ""}));
    path = MakeLangFile("lang-ops0", "[OpList]\nCount=0\nOp0=А\n");
    EXPECT_TRUE(ReadLanguageTexts(path, "english").Operators.empty());
    path = MakeLangFile("lang-opsneg", "[OpList]\nCount=-2\n");
    EXPECT_TRUE(ReadLanguageTexts(path, "english").Operators.empty());
    path = MakeLangFile("lang-opsbad", "[OpList]\nCount=много\n");
    EXPECT_TRUE(ReadLanguageTexts(path, "english").Operators.empty());
}

// The file shipped beside the executable: every value carries both languages, every
// message the tool shows has an entry, and the operator list is the record's order.
TEST(LangFile, ShippedFile) {
    // This source sits in <tree>/tests/app.
    const std::filesystem::path tree =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    const std::string path = (tree / "lang" / "lang_zent.lng").string();
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const std::set<int> used = {2,  3,  4,  9,  10, 12, 13, 18, 20, 22, 24, 27, 28, 29, 30, 31,
                                32, 33, 35, 36, 37, 39, 40, 42, 43, 45, 46, 47, 51, 54, 55, 57,
                                58, 59, 60, 65, 66, 67, 68, 69, 70, 73, 74, 75, 76, 77, 78, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99};
    for (int n : used) {
        const std::string ru = ReadLangMessage(path, n, "russian");
        const std::string en = ReadLangMessage(path, n, "english");
        EXPECT_NE(ru, "Message" + std::to_string(n));
        EXPECT_FALSE(ru.empty()) << n;
        EXPECT_FALSE(en.empty()) << n;
        EXPECT_NE(ru, en) << n;
    }
    const TLanguageTexts ru = ReadLanguageTexts(path, "russian");
    const TLanguageTexts en = ReadLanguageTexts(path, "english");
    EXPECT_EQ(ru.Operators, (std::vector<std::string>{"Автоматически, данные с СИМ карты", "Билайн",
                                                      "Мегафон", "МТС", "Теле2", "Другой"}));
    EXPECT_EQ(en.Operators.size(), 6u);
    EXPECT_EQ(ru.Caption, "Конфигуратор");
    EXPECT_EQ(en.Caption, "Configurator");
    EXPECT_EQ(ru.LangHint, "English");
    for (std::size_t i = 0; i < ru.CaptionsBefore.size(); ++i) {
        EXPECT_FALSE(ru.CaptionsBefore[i].second.empty()) << ru.CaptionsBefore[i].first;
        EXPECT_FALSE(en.CaptionsBefore[i].second.empty()) << en.CaptionsBefore[i].first;
    }
    for (std::size_t i = 0; i < ru.CaptionsAfter.size(); ++i) {
        EXPECT_FALSE(ru.CaptionsAfter[i].second.empty()) << ru.CaptionsAfter[i].first;
        EXPECT_FALSE(en.CaptionsAfter[i].second.empty()) << en.CaptionsAfter[i].first;
    }
}
