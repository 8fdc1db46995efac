#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <random>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/rtl/SafeFile.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::size_t Entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

unsigned Mode(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
    return names;
}

// Runs body in a child process (another running tool); returns once the child called the
// function body is given, -1 when it did not.
pid_t StartChild(const std::function<void(const std::function<void()>& ready)>& body) {
    int pipe[2];
    if (::pipe(pipe) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        body([&] {
            if (::write(pipe[1], "+", 1) != 1) ::_exit(1);
        });
        ::_exit(0);
    }
    ::close(pipe[1]);
    char byte = 0;
    pollfd wait{pipe[0], POLLIN, 0};
    const bool ready = child > 0 && ::poll(&wait, 1, 10000) == 1 && ::read(pipe[0], &byte, 1) == 1;
    ::close(pipe[0]);
    if (ready || child < 0) return ready ? child : -1;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

// SIGKILL; true when that ended it.
bool Kill(pid_t child) {
    int status = 0;
    return ::kill(child, SIGKILL) == 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
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
    EXPECT_EQ(Mode(path), 0600u);
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

TEST(SafeFile, AnAppendedFileStartsEmptyAndEndsAfterItsLastWholeLine) {
    const std::string dir = testsupport::TempDir("safe-append");
    const std::string path = dir + "/tags.txt";
    ASSERT_TRUE(WriteFileSafely(path, "an old recording\r\n"));
    ::chmod(path.c_str(), 0640);
    TAppendFile f;
    ASSERT_TRUE(f.Create(path));
    EXPECT_EQ(testsupport::ReadFileText(path), "");
    EXPECT_EQ(Mode(path), 0640u);
    ASSERT_TRUE(f.Append("line 1\r\n"));
    EXPECT_EQ(testsupport::ReadFileText(path), "line 1\r\n");  // there before the next line
    SetSafeFileWriteLimitForTests(12);
    EXPECT_FALSE(f.Append("line 2\r\n"));
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(f.Error(), "No space left on device");
    EXPECT_EQ(testsupport::ReadFileText(path), "line 1\r\n");
    ASSERT_TRUE(f.Append("line 3\r\n"));
    EXPECT_EQ(testsupport::ReadFileText(path), "line 1\r\nline 3\r\n");
    EXPECT_EQ(Entries(dir), 1u);
}

TEST(SafeFile, ANewFileFollowsTheUmaskAndAnOwnerOnlyFileIsAlways0600) {
    const std::string dir = testsupport::TempDir("safe-umask");
    const mode_t saved = ::umask(077);
    EXPECT_TRUE(WriteFileSafely(dir + "/a", "x"));
    ::umask(027);
    EXPECT_TRUE(WriteFileSafely(dir + "/b", "x"));
    TAppendFile tags;
    EXPECT_TRUE(tags.Create(dir + "/c"));
    ::umask(0);
    EXPECT_TRUE(WriteFileSafely(dir + "/d", "x"));
    EXPECT_TRUE(WriteFileSafely(dir + "/e", "x", nullptr, TFileAccess::OwnerOnly));
    ::chmod((dir + "/d").c_str(), 0644);
    EXPECT_TRUE(WriteFileSafely(dir + "/d", "y", nullptr, TFileAccess::OwnerOnly));
    ::umask(saved);
    EXPECT_EQ(Mode(dir + "/a"), 0600u);
    EXPECT_EQ(Mode(dir + "/b"), 0640u);
    EXPECT_EQ(Mode(dir + "/c"), 0640u);
    EXPECT_EQ(Mode(dir + "/e"), 0600u);
    EXPECT_EQ(Mode(dir + "/d"), 0600u);  // an old file readable by all is narrowed
}

// The writer runs in a child process killed with SIGKILL at a random moment; round after
// round the file is the old or the new one, whole, and a temporary it left goes at the next
// write of that file. An appended file holds whole lines only.
TEST(SafeFile, AWriterKilledAtAnyMomentLeavesWholeFilesAndItsTemporaryGoesAtTheNextWrite) {
    const std::string dir = testsupport::TempDir("safe-kill");
    const std::string path = dir + "/numbers.csv", tags = dir + "/tags.txt";
    const std::string a(30000, 'a'), b(50000, 'b');
    ASSERT_TRUE(WriteFileSafely(path, a));
    ASSERT_TRUE(TAppendFile().Create(tags));
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> moment(0, 5000);
    int leftovers = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = StartChild([&](const std::function<void()>& ready) {
            TAppendFile lines;
            if (!lines.Create(tags)) return;
            for (int i = 0;; ++i) {
                char line[24];
                std::snprintf(line, sizeof line, "%010d\r\n", i);
                lines.Append(line);
                WriteFileSafely(path, i % 2 ? a : b);
                if (i == 0) ready();
            }
        });
        ASSERT_GT(child, 0) << round;
        ::usleep(static_cast<useconds_t>(moment(random)));
        ASSERT_TRUE(Kill(child)) << round;
        const std::string now = testsupport::ReadFileText(path);
        ASSERT_TRUE(now == a || now == b) << round << ": " << now.size() << " bytes";
        const std::string lines = testsupport::ReadFileText(tags);
        ASSERT_EQ(lines.size() % 12, 0u) << round;
        for (std::size_t i = 0; i < lines.size(); i += 12) {
            char line[24];
            std::snprintf(line, sizeof line, "%010zu\r\n", i / 12);
            ASSERT_EQ(lines.substr(i, 12), line) << round;
        }
        leftovers += static_cast<int>(Entries(dir)) - 2;
        // The next writes of the files take what the killed ones left.
        ASSERT_TRUE(WriteFileSafely(path, now)) << round;
        ASSERT_TRUE(TAppendFile().Create(tags)) << round;
        ASSERT_EQ(Entries(dir), 2u) << round;
    }
    EXPECT_GT(leftovers, 0);  // some kills did come halfway through a write
}

TEST(SafeFile, ALiveTemporaryAndTheUsersOwnFilesAreNeverTakenForLeftovers) {
    const std::string dir = testsupport::TempDir("safe-leftovers");
    const std::string path = dir + "/config.ini";
    ASSERT_TRUE(WriteFileSafely(path, "old"));
    std::set<std::string> kept = {".config.ini.bak", "config.ini.Ab12Cd", ".other.ini", ".config.ini.Ab12C-",
                                  ".config.ini.zentor-Ab1"};
    for (const auto& name : kept) ASSERT_TRUE(WriteFileSafely(dir + "/" + name, "the user's"));
    fs::create_directory(dir + "/.config.ini.Ab12Cd");
    fs::create_symlink(path, dir + "/.config.ini.Xy34Zw");
    kept.insert({"config.ini", ".config.ini.Ab12Cd", ".config.ini.Xy34Zw"});
    // Another running copy of the tool, writing the same file.
    const pid_t other = StartChild([&](const std::function<void()>& ready) {
        TSafeFileWriter live;
        if (!live.Open(path) || !live.Write("new")) return;
        ready();
        for (;;) ::pause();
    });
    ASSERT_GT(other, 0);
    std::ofstream(dir + "/.config.ini.zentor-Qq11Rr") << "left by a killed run";
    // Unmarked: the user's own, however much it looks like a temporary.
    for (const char* name : {".notes.backup", ".image.jpg.Qq11Rr"}) {
        std::ofstream(dir + "/" + name) << name;
        kept.insert(name);
    }
    EXPECT_EQ(RemoveLeftoverTemporariesIn(dir), 1u);
    // Another program's temporary beside the file (rsync's: unmarked, unlocked) is its own.
    std::ofstream(dir + "/.config.ini.Rs9876") << "rsync's";
    ASSERT_TRUE(WriteFileSafely(path, "newer"));  // passes the live one by too
    EXPECT_TRUE(fs::exists(dir + "/.config.ini.Rs9876"));
    fs::remove(dir + "/.config.ini.Rs9876");
    EXPECT_EQ(Names(dir).size(), kept.size() + 1);
    // Once its writer is gone it is a leftover.
    ASSERT_TRUE(Kill(other));
    EXPECT_EQ(RemoveLeftoverTemporariesIn(dir), 1u);
    EXPECT_EQ(Names(dir), kept);
    EXPECT_EQ(testsupport::ReadFileText(path), "newer");
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
