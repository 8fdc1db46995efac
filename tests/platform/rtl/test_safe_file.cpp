#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "platform/rtl/SafeFile.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::size_t Entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(SafeFile, TwoWritersUseTheirOwnTemporaryFilesAndKeepTheMode) {
    const std::string dir = testsupport::TempDir("safe-two");
    const std::string path = dir + "/numbers.csv";
    ASSERT_TRUE(WriteFileSafely(path, "old"));
    ::chmod(path.c_str(), 0600);
    TSafeFileWriter a, b;
    ASSERT_TRUE(a.Open(path));
    ASSERT_TRUE(b.Open(path));
    EXPECT_NE(a.Path(), "");
    ASSERT_TRUE(a.Write("first"));
    ASSERT_TRUE(b.Write("second"));
    EXPECT_EQ(testsupport::ReadFileText(path), "old");
    EXPECT_EQ(Entries(dir), 3u);
    ASSERT_TRUE(a.Commit());
    ASSERT_TRUE(b.Commit());
    EXPECT_EQ(testsupport::ReadFileText(path), "second");
    EXPECT_EQ(Entries(dir), 1u);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SafeFile, AFullDiskOrAnAbandonedWriteLeavesTheOldFile) {
    const std::string dir = testsupport::TempDir("safe-full");
    const std::string path = dir + "/log.txt";
    ASSERT_TRUE(WriteFileSafely(path, "old contents"));
    SetSafeFileWriteLimitForTests(4);
    std::string error;
    EXPECT_FALSE(WriteFileSafely(path, "new contents", &error));
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(error, "No space left on device");
    {
        TSafeFileWriter w;
        ASSERT_TRUE(w.Open(path));
        ASSERT_TRUE(w.Write("half"));
    }  // never committed
    EXPECT_EQ(testsupport::ReadFileText(path), "old contents");
    EXPECT_EQ(Entries(dir), 1u);
    EXPECT_FALSE(WriteFileSafely(dir + "/no/such/folder/x", "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WriteFileSafely(dir, "x"));  // a folder is in the way
}

TEST(SafeFile, AReadOnlyFolderOrALinkedFile) {
    const std::string dir = testsupport::TempDir("safe-readonly");
    const std::string path = dir + "/numbers.csv";
    ASSERT_TRUE(WriteFileSafely(path, "old"));
    SetSafeFileReadOnlyFolderForTests(dir + "/");
    std::string error;
    EXPECT_FALSE(WriteFileSafely(path, "new", &error));
    SetSafeFileReadOnlyFolderForTests("");
    EXPECT_EQ(error, "Read-only file system");
    EXPECT_EQ(testsupport::ReadFileText(path), "old");
    // A link is kept: the file it names is replaced.
    const std::string link = dir + "/link.csv";
    fs::create_symlink(path, link);
    ASSERT_TRUE(WriteFileSafely(link, "through the link"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testsupport::ReadFileText(path), "through the link");
    // A relative link to a file not there yet: the file is made where it points.
    const std::string dangling = dir + "/later.csv";
    fs::create_symlink("made-later.csv", dangling);
    ASSERT_TRUE(WriteFileSafely(dangling, "first"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(testsupport::ReadFileText(dir + "/made-later.csv"), "first");
    EXPECT_EQ(Entries(dir), 4u);  // two files, two links, no temporary file left
}

TEST(SafeFile, AFailedLineIsCutOffAndTheLinesBeforeItCommitted) {
    const std::string dir = testsupport::TempDir("safe-cut");
    TSafeFileWriter w;
    ASSERT_TRUE(w.Open(dir + "/tags.txt"));
    ASSERT_TRUE(w.Write("line 1\r\n"));
    SetSafeFileWriteLimitForTests(12);
    EXPECT_FALSE(w.Write("line 2\r\n"));
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(w.Written(), 12u);
    ASSERT_TRUE(w.CutBackTo(8));
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ(testsupport::ReadFileText(dir + "/tags.txt"), "line 1\r\n");
}

TEST(SafeFile, OnlyRegularFilesAreReadAndAMissingFileIsNotAnError) {
    const std::string dir = testsupport::TempDir("safe-read");
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string bytes = "kept", error = "x";
    EXPECT_EQ(ProbeInputFile(fifo), TInputFile::NotRegular);
    EXPECT_FALSE(ReadRegularFile(fifo, bytes, &error));  // returns at once, never blocks
    EXPECT_EQ(ProbeInputFile(dir), TInputFile::NotRegular);
    EXPECT_EQ(ProbeInputFile("/dev/null"), TInputFile::NotRegular);
    EXPECT_EQ(ProbeInputFile(dir + "/absent"), TInputFile::Missing);
    EXPECT_FALSE(ReadRegularFile(dir + "/absent", bytes, &error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(bytes, "kept");
    ASSERT_TRUE(WriteFileSafely(dir + "/f", std::string("a\0b", 3)));
    ASSERT_TRUE(ReadRegularFile(dir + "/f", bytes, &error));
    EXPECT_EQ(bytes, std::string("a\0b", 3));
    // A file that exists but cannot be read is an error, not an empty text.
    SetSafeFileUnreadableForTests(dir + "/f");
    EXPECT_EQ(ProbeInputFile(dir + "/f"), TInputFile::Unreadable);
    bytes = "kept";
    EXPECT_FALSE(ReadRegularFile(dir + "/f", bytes, &error));
    SetSafeFileUnreadableForTests("");
    EXPECT_EQ(error, "Permission denied");
    EXPECT_EQ(bytes, "kept");
    // The stream reads and seeks only in a regular file.
    TRegularFileStream in;
    EXPECT_EQ(in.Open(fifo), TInputFile::NotRegular);
    EXPECT_FALSE(in.good());
    ASSERT_EQ(in.Open(dir + "/f"), TInputFile::Regular);
    in.seekg(2);
    EXPECT_EQ(in.get(), 'b');
    in.seekg(0);
    char two[2] = {};
    in.read(two, 2);
    EXPECT_EQ(std::string(two, 2), std::string("a\0", 2));
}

}  // namespace
