// The program settings file: defaults, odd values, a missing folder, a file that cannot be
// written, and other sections kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "app/FormSettings.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SysUtils.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

}  // namespace

TEST(SettingsFile, PathUnderAppData) {
    EXPECT_EQ(SettingsPathIn("/home/u/.config"), "/home/u/.config/TALIVEX/TALIVEX Zentor/config.ini");
    EXPECT_EQ(SettingsPathIn("/home/u/.config/"), "/home/u/.config/TALIVEX/TALIVEX Zentor/config.ini");
}

TEST(SettingsFile, MissingFileGivesDefaultsAndCreatesNothing) {
    const std::string dir = testsupport::TempDir("settings-missing");
    const std::string path = SettingsPathIn(dir);
    const TFormSettings s = ReadFormSettingsFile(path);
    EXPECT_EQ(s.Language, "russian");
    EXPECT_EQ(s.ComPort, "COM1");
    EXPECT_EQ(s.ConfigPath, "default");
    EXPECT_FALSE(fs::exists(fs::path(path).parent_path()));
}

TEST(SettingsFile, SessionWritesTheThreeKeysInOrderIntoANewFolder) {
    const std::string dir = testsupport::TempDir("settings-new");
    const std::string path = SettingsPathIn(dir);
    TFormSettings s = ReadFormSettingsFile(path);
    s.ComPort = "/dev/ttyACM3";  // the last port the search tried
    const mode_t umask = ::umask(0);
    WriteFormSettingsFile(path, s);
    ::umask(umask);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // it keeps passwords, whatever the umask
    const std::string text = testsupport::ReadFileText(path);
    const auto lang = text.find("Language=russian");
    const auto port = text.find("ComPort=/dev/ttyACM3");
    const auto conf = text.find("File_configuration=default");
    ASSERT_NE(text.find("[Settings]"), std::string::npos) << text;
    ASSERT_NE(lang, std::string::npos) << text;
    ASSERT_NE(port, std::string::npos) << text;
    ASSERT_NE(conf, std::string::npos) << text;
    EXPECT_LT(lang, port);
    EXPECT_LT(port, conf);
    const TFormSettings back = ReadFormSettingsFile(path);
    EXPECT_EQ(back.ComPort, "/dev/ttyACM3");
}

TEST(SettingsFile, OddValuesAreKeptAsTheyStandAndOtherSectionsSurvive) {
    const std::string dir = testsupport::TempDir("settings-odd");
    const std::string path = SettingsPathIn(dir);
    fs::create_directories(fs::path(path).parent_path());
    WriteAll(path,
             "[Passes]\r\n861234567890123=1234\r\n"
             "[Settings]\r\nLanguage=English\r\nComPort=\r\nFile_configuration=/tmp/a b/конфиг.fcg\r\n"
             "[Devices]\r\nCount=1\r\nd0=861234567890123\r\n");
    TFormSettings s = ReadFormSettingsFile(path);
    EXPECT_EQ(s.Language, "English");  // not "english": Russian texts, written back unchanged
    EXPECT_EQ(s.ComPort, "");          // present but empty is not missing
    EXPECT_EQ(s.ConfigPath, "/tmp/a b/конфиг.fcg");
    WriteFormSettingsFile(path, s);
    const std::string text = testsupport::ReadFileText(path);
    EXPECT_NE(text.find("Language=English"), std::string::npos) << text;
    EXPECT_NE(text.find("861234567890123=1234"), std::string::npos) << text;
    EXPECT_NE(text.find("d0=861234567890123"), std::string::npos) << text;
}

// Tests run as root, which reads and writes every file: the layer's seams stand in for an
// unreadable file and a read-only folder.
TEST(SettingsFile, UnreadableFileGivesDefaultsAndIsNotWrittenOver) {
    const std::string dir = testsupport::TempDir("settings-unreadable");
    const std::string path = SettingsPathIn(dir);
    fs::create_directories(fs::path(path).parent_path());
    const std::string old = "[Settings]\nLanguage=english\n[Devices]\nCount=1\nd0=1\n1=secret\n";
    WriteAll(path, old);
    SetSafeFileUnreadableForTests(path);
    std::string error;
    const TFormSettings s = ReadFormSettingsFile(path, &error);
    EXPECT_EQ(s.Language, "russian");
    EXPECT_EQ(error, "Unable to read " + path + ": Permission denied");
    EXPECT_THROW(WriteFormSettingsFile(path, s), Exception);
    SetSafeFileUnreadableForTests("");
    EXPECT_EQ(testsupport::ReadFileText(path), old);
    ReadFormSettingsFile(path, &error);
    EXPECT_EQ(error, "");
}

TEST(SettingsFile, UnwritableFolderRaisesAndKeepsTheOldFile) {
    const std::string dir = testsupport::TempDir("settings-readonly");
    const std::string path = SettingsPathIn(dir);
    const fs::path folder = fs::path(path).parent_path();
    fs::create_directories(folder);
    WriteAll(path, "[Settings]\nLanguage=english\n");
    SetSafeFileReadOnlyFolderForTests(folder.string());
    TFormSettings s;
    try {
        WriteFormSettingsFile(path, s);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + path + ": Read-only file system");
    }
    SetSafeFileReadOnlyFolderForTests("");
    EXPECT_EQ(testsupport::ReadFileText(path), "[Settings]\nLanguage=english\n");
}

TEST(SettingsFile, FolderThatCannotBeCreatedRaises) {
    const std::string dir = testsupport::TempDir("settings-blocked");
    // A file where the folder should be: the reason is the folder's, not the file's.
    WriteAll(dir + "/TALIVEX", "x");
    try {
        WriteFormSettingsFile(SettingsPathIn(dir), TFormSettings{});
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + SettingsPathIn(dir) + ": Not a directory");
    }
    // A folder where the file should be.
    const std::string path = SettingsPathIn(dir + "/x");
    fs::create_directories(path);
    try {
        WriteFormSettingsFile(path, TFormSettings{});
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + path + ": Not a regular file");
    }
}
