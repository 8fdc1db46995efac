#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/StringList.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<std::string> Lines(const TStrings& s) { return s.ToVector(); }

TEST(IniFile, MissingFileReadsDefaultsAndIsNotCreated) {
    std::string path = testsupport::TempDir("ini-missing") + "/config.ini";
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Settings", "Language", "russian"), "russian");
    EXPECT_EQ(ini.ReadInteger("Devices", "Count", 0), 0);
    EXPECT_FALSE(ini.SectionExists("Settings"));
    EXPECT_FALSE(ini.ValueExists("Settings", "Language"));
    TStringList keys;
    keys.Add("stale");
    ini.ReadSection("Group", keys);
    EXPECT_EQ(keys.Count(), 0);
    ini.DeleteKey("Group", "x");
    ini.EraseSection("Group");
    EXPECT_FALSE(fs::exists(path));
}

TEST(IniFile, WritesCreateTheFileInCrLfWithSectionsInOrder) {
    std::string path = testsupport::TempDir("ini-write") + "/config.ini";
    TIniFile ini(path);
    ini.WriteString("Settings", "Language", "russian");
    ini.WriteString("Settings", "ComPort", "/dev/ttyACM0");
    ini.WriteInteger("Devices", "Count", 1);
    ini.WriteString("Settings", "File_configuration", "default");
    ini.WriteString("Group", "860000000000001", "");
    EXPECT_EQ(testsupport::ReadFileText(path),
              "[Settings]\r\nLanguage=russian\r\nComPort=/dev/ttyACM0\r\nFile_configuration=default\r\n"
              "\r\n[Devices]\r\nCount=1\r\n"
              "\r\n[Group]\r\n860000000000001=\r\n");
    ini.WriteString("settings", "LANGUAGE", "english");  // names match in any case
    EXPECT_EQ(testsupport::ReadFileText(path).substr(0, 30), "[Settings]\r\nLanguage=english\r\n");
    EXPECT_EQ(ini.ReadString("Group", "860000000000001", "dflt"), "");  // present but empty
    EXPECT_TRUE(ini.ValueExists("Group", "860000000000001"));
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator()), 1);
}

TEST(IniFile, OddInputIsReadAsThePrivateProfileReadsIt) {
    std::string path = testsupport::TempDir("ini-odd") + "/lang.lng";
    WriteAll(path,
             "orphan=before any section\n"
             "[Header]\r\n"
             "  Caption =  Конфигуратор//\\ Configurator  \r\n"
             "; Lang=commented out\n"
             "Lang\n"
             "Close=Закрыть\n"
             "close=second copy\n"
             "[ Messages ]\n"
             "M1=\"  quoted  \"\n"
             "M2='half\n"
             "m3=\n"
             "[ДАННЫЕ]\n"
             "Ключ=значение\n"
             "[Header]\n"
             "Minimize=Свернуть\n"
             "Last=no newline");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Header", "Caption", ""), "Конфигуратор//\\ Configurator");
    EXPECT_EQ(ini.ReadString("header", "CLOSE", ""), "Закрыть");  // the first of duplicates
    EXPECT_EQ(ini.ReadString("Header", "Lang", "English"), "English");  // no "=": no key
    EXPECT_EQ(ini.ReadString("Header", "; Lang", "none"), "none");
    EXPECT_EQ(ini.ReadString("Header", "orphan", "none"), "none");
    EXPECT_EQ(ini.ReadString("Messages", "M1", ""), "  quoted  ");
    EXPECT_EQ(ini.ReadString("Messages", "M2", ""), "'half");
    EXPECT_EQ(ini.ReadString("Messages", "M3", "Message3"), "");
    EXPECT_EQ(ini.ReadString("Messages", "M4", "Message4"), "Message4");
    EXPECT_EQ(ini.ReadString("данные", "КЛЮЧ", ""), "значение");
    // A section that appears twice is read as one.
    EXPECT_EQ(ini.ReadString("Header", "Minimize", ""), "Свернуть");
    EXPECT_EQ(ini.ReadString("Header", "Last", ""), "no newline");
    EXPECT_EQ(ini.ReadString("Missing", "Caption", "d"), "d");

    TStringList list;
    ini.ReadSection("HEADER", list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Caption", "Close", "Minimize", "Last"}));
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Header", "Messages", "ДАННЫЕ"}));
    ini.ReadSectionValues("Messages", list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"M1=  quoted  ", "M2='half", "m3="}));
    EXPECT_TRUE(ini.SectionExists("messages"));
}

TEST(IniFile, IntegersAndBooleans) {
    std::string path = testsupport::TempDir("ini-int") + "/a.ini";
    WriteAll(path, "[OpList]\nCount= 3 \nHex=0x1F\nDollar=$10\nBad=3a\nNeg=-2\nB=1\nZ=0\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("OpList", "Count", 0), 3);
    EXPECT_EQ(ini.ReadInteger("OpList", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("OpList", "Dollar", 0), 16);
    EXPECT_EQ(ini.ReadInteger("OpList", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("OpList", "Neg", 0), -2);
    EXPECT_TRUE(ini.ReadBool("OpList", "B", false));
    EXPECT_FALSE(ini.ReadBool("OpList", "Z", true));
    EXPECT_TRUE(ini.ReadBool("OpList", "Bad", true));
    ini.WriteBool("OpList", "B", false);
    EXPECT_EQ(ini.ReadString("OpList", "B", ""), "0");
}

TEST(IniFile, EditsTouchOnlyTheirOwnLines) {
    std::string path = testsupport::TempDir("ini-edit") + "/config.ini";
    WriteAll(path,
             "; settings of the tool\n"
             "[Devices]\n"
             "Count = 2\n"
             "d0=111\n"
             "d1=222\n"
             "111=pass\n"
             "111=shadowed\n"
             "\n"
             "[Group]\n"
             "111=\n"
             "333=\n");
    TIniFile ini(path);
    ini.WriteInteger("Devices", "count", 3);
    ini.WriteString("Devices", "d2", "333");
    ini.WriteString("Devices", "111", "new");
    EXPECT_EQ(testsupport::ReadFileText(path),
              "; settings of the tool\n[Devices]\nCount=3\nd0=111\nd1=222\n111=new\n"
              "111=shadowed\nd2=333\n\n[Group]\n111=\n333=\n");
    ini.DeleteKey("Devices", "111");  // duplicates go too, so the key is really gone
    EXPECT_FALSE(ini.ValueExists("Devices", "111"));
    ini.DeleteKey("Group", "999");    // absent: nothing changes
    ini.EraseSection("group");
    EXPECT_EQ(testsupport::ReadFileText(path), "; settings of the tool\n[Devices]\nCount=3\nd0=111\nd1=222\nd2=333\n\n");
    // An empty section does not count as existing.
    WriteAll(path, "[Empty]\n[Full]\na=1\n");
    EXPECT_FALSE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.SectionExists("Full"));
}

TEST(IniFile, LineBreaksInAValueCannotInjectKeys) {
    std::string path = testsupport::TempDir("ini-inject") + "/config.ini";
    TIniFile ini(path);
    ini.WriteString("Descriptions", "111", "gate\r\n[Passes]\r\n111=0000");
    EXPECT_EQ(ini.ReadString("Descriptions", "111", ""), "gate  [Passes]  111=0000");
    EXPECT_FALSE(ini.SectionExists("Passes"));
}

TEST(IniFile, EveryReadSeesTheFileAsItIsNow) {
    std::string path = testsupport::TempDir("ini-fresh") + "/config.ini";
    TIniFile ini(path);
    ini.WriteString("Settings", "ComPort", "a");
    WriteAll(path, "[Settings]\nComPort=b\n");
    EXPECT_EQ(ini.ReadString("Settings", "ComPort", ""), "b");
    // The file is not held open between calls, so it can be replaced or removed.
    fs::remove(path);
    EXPECT_EQ(ini.ReadString("Settings", "ComPort", "gone"), "gone");
}

TEST(IniFile, FailedSaveRaisesAndLeavesTheOldFile) {
    std::string dir = testsupport::TempDir("ini-fail");
    // The settings folder does not exist: nothing is created, the library's error is raised.
    std::string missing = dir + "/TALIVEX/TALIVEX Zentor/config.ini";
    TIniFile nowhere(missing);
    try {
        nowhere.WriteString("Settings", "Language", "russian");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + missing + ": No such file or directory");
    }
    EXPECT_FALSE(fs::exists(dir + "/TALIVEX"));

    // The disk is full: the old file stays whole and no temporary file is left behind.
    std::string path = dir + "/config.ini";
    std::string old = "[Settings]\r\nLanguage=english\r\n[Devices]\r\nCount=0\r\n";
    WriteAll(path, old);
    TIniFile ini(path);
    SetSafeFileWriteLimitForTests(5);
    EXPECT_THROW(ini.WriteString("Settings", "Language", "russian"), EIniFileException);
    EXPECT_THROW(ini.EraseSection("Settings"), EIniFileException);
    EXPECT_NO_THROW(ini.DeleteKey("Settings", "Language"));
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(testsupport::ReadFileText(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    ini.WriteString("Settings", "Language", "russian");
    EXPECT_EQ(ini.ReadString("Settings", "Language", ""), "russian");

    // The path itself is a folder.
    TIniFile folder(dir);
    EXPECT_THROW(folder.WriteString("a", "b", "c"), EIniFileException);
}

TEST(IniFile, AnUnreadableFileReadsAsDefaultsAndIsNeverWrittenOver) {
    std::string path = testsupport::TempDir("ini-unreadable") + "/config.ini";
    const std::string old = "[Devices]\r\nCount=1\r\nd0=111\r\n111=secret\r\n";
    WriteAll(path, old);
    SetSafeFileUnreadableForTests(path);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Devices", "Count", 0), 0);
    EXPECT_THROW(ini.WriteString("Devices", "Count", "2"), EIniFileException);
    ini.DeleteKey("Devices", "111");
    TMemIniFile mem(path);
    EXPECT_EQ(mem.ReadError(), "Unable to read " + path + ": Permission denied");
    mem.WriteString("Settings", "Language", "russian");
    try {
        mem.UpdateFile();
        ADD_FAILURE() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, mem.ReadError());
    }
    SetSafeFileUnreadableForTests("");
    EXPECT_EQ(testsupport::ReadFileText(path), old);
}

TEST(IniFile, MemoryFileReadsOnceAndWritesOnceWhenChanged) {
    std::string path = testsupport::TempDir("ini-mem") + "/config.ini";
    std::string text = "[Devices]\r\nCount=5000\r\n";
    for (int i = 0; i < 5000; ++i) text += "d" + std::to_string(i) + "=86" + std::to_string(i) + "\r\n";
    WriteAll(path, text);
    TMemIniFile ini(path);
    fs::remove(path);  // everything below is answered from memory
    for (int i = 0; i < 5000; i += 999)
        EXPECT_EQ(ini.ReadString("DEVICES", "D" + std::to_string(i), ""), "86" + std::to_string(i));
    const auto commits = SafeFileCommitsForTests();
    ini.UpdateFile();
    EXPECT_FALSE(fs::exists(path));
    ini.WriteInteger("Devices", "Count", 5000);  // the same value changes nothing
    ini.UpdateFile();
    EXPECT_EQ(SafeFileCommitsForTests(), commits);
    ini.WriteString("Devices", "d5000", "865000");
    ini.WriteInteger("Devices", "Count", 5001);
    ini.UpdateFile();
    EXPECT_EQ(SafeFileCommitsForTests(), commits + 1);
    EXPECT_EQ(testsupport::ReadFileText(path), text.replace(text.find("5000"), 4, "5001") + "d5000=865000\r\n");
}

TEST(IniFile, Utf8MarkAndLineEndsAreKept) {
    std::string path = testsupport::TempDir("ini-bom") + "/lang.lng";
    WriteAll(path, "\xEF\xBB\xBF[Header]\nCaption=Да\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Header", "Caption", ""), "Да");
    ini.WriteString("Header", "Close", "X");
    EXPECT_EQ(testsupport::ReadFileText(path), "\xEF\xBB\xBF[Header]\nCaption=Да\nClose=X\n");
    // Lone CR line ends stay single: the file keeps its size, its new lines take its end.
    const std::string cr = "[Settings]\rLanguage=english\r\r\r\r[Devices]\rCount=0\r";
    WriteAll(path, cr);
    ini.WriteString("Settings", "Language", "russian");
    EXPECT_EQ(testsupport::ReadFileText(path), "[Settings]\rLanguage=russian\r\r\r\r[Devices]\rCount=0\r");
    ini.WriteString("Group", "1", "");
    EXPECT_EQ(testsupport::ReadFileText(path), "[Settings]\rLanguage=russian\r\r\r\r[Devices]\rCount=0\r\r[Group]\r1=\r");
}

}  // namespace
