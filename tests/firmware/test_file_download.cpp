// The file server's download fed at every split point, and the Downloads folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "firmware/FileDownload.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SafeFile.h"
#include "support/TestSupport.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Body(std::size_t n) {
    Bytes b;
    for (std::size_t i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>((i * 13) ^ (i >> 8)));
    return b;
}
Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct TTally {
    int header = 0, missing = 0, bad = 0, progress = 0, complete = 0;
    Bytes file;  // the bytes handed on as the file's
    void Add(const TFileDownload::TFeed& f, const std::uint8_t* fed) {
        header += f.HeaderRead;
        missing += f.Missing;
        bad += f.BadHeader;
        progress += f.Progress;
        complete += f.Complete;
        file.insert(file.end(), fed + f.BodyFrom, fed + f.BodyFrom + f.BodySize);
    }
};

// Feeds the stream cut at the given points.
TTally FeedCut(TFileDownload& d, const Bytes& stream, std::vector<std::size_t> cuts) {
    TTally t;
    d.Reset();
    cuts.push_back(stream.size());
    std::size_t from = 0;
    for (std::size_t c : cuts) {
        t.Add(d.Feed(stream.data() + from, c - from), stream.data() + from);
        from = c;
    }
    return t;
}

const std::string kHeader = "file#C:\\srv\\img\\fw38.bin#2048#";

TEST(FileDownload, RequestAndFolder) {
    EXPECT_EQ(FileRequest("fw38.bin"), "GetFile=fw38.bin#");
    EXPECT_EQ(FileRequest("Прошивка"), "GetFile=" + Utf8ToCp1251("Прошивка") + "#");
    EXPECT_EQ(DownloadsFolder("/home/op/.config"), "/home/op/.config/TALIVEX/TALIVEX Zentor/Downloads/");
    EXPECT_EQ(DownloadsFolder("/x/"), "/x/TALIVEX/TALIVEX Zentor/Downloads/");
    EXPECT_STREQ(kEndTransfer, "EndTransfer");
}

TEST(FileDownload, FileNames) {
    EXPECT_EQ(DownloadFileName("C:\\srv\\img\\fw38.bin"), "fw38.bin");
    EXPECT_EQ(DownloadFileName("fw38.bin"), "fw38.bin");
    EXPECT_EQ(DownloadFileName("/srv/img/Zentor_v1.5.1.0.exe"), "Zentor_v1.5.1.0.exe");
    EXPECT_EQ(DownloadFileName("C:\\srv\\\xCF\xF0.bin"), "Пр.bin");
    // Names that would leave the Downloads folder, or are no name.
    EXPECT_EQ(DownloadFileName("C:\\srv\\..\\..\\..\\.bashrc"), ".bashrc");
    EXPECT_EQ(DownloadFileName("C:\\srv\\.."), "");
    EXPECT_EQ(DownloadFileName("C:\\srv\\"), "");
    EXPECT_EQ(DownloadFileName(""), "");
    for (const char* bad : {"fw\n38.bin", "fw38.bin\r", "fw\t38.bin", "fw\x1b[2J.bin", "fw\x7f.bin", "fw\x98.bin"})
        EXPECT_EQ(DownloadFileName(std::string("C:\\srv\\") + bad), "") << bad;

    // Saved under a name the file system takes: its extension and whole characters kept.
    std::string cyrillic;
    for (int i = 0; i < 302; ++i) cyrillic += "я";
    EXPECT_EQ(DownloadSaveName("fw38.bin"), "fw38.bin");
    const std::string fits(kSafeFileNameMax, 'f');
    EXPECT_EQ(DownloadSaveName(fits), fits);
    EXPECT_EQ(DownloadSaveName("Zentor_v1.0.1_" + cyrillic + ".exe"), "Zentor_v1.0.1_" + cyrillic.substr(0, 222) + ".exe");
    EXPECT_EQ(DownloadSaveName("z" + cyrillic), "z" + cyrillic.substr(0, 238));  // 239 bytes: no half "я"
    EXPECT_EQ(DownloadSaveName("a." + cyrillic), "a." + cyrillic.substr(0, 238));  // an ending too long to keep
}

TEST(FileDownload, EverySplitPoint) {
    const Bytes body = Body(2048);
    const Bytes stream = Concat(Text(kHeader), body);
    TFileDownload d;
    for (std::size_t k = 0; k <= stream.size(); ++k) {
        const TTally t = FeedCut(d, stream, {k});
        ASSERT_EQ(t.header, 1) << k;
        ASSERT_EQ(t.complete, 1) << k;
        ASSERT_EQ(t.file, body) << k;
        ASSERT_EQ(d.Head(), std::string(body.begin(), body.end())) << k;
        ASSERT_EQ(d.FileName(), "fw38.bin");
        ASSERT_EQ(d.Size(), 2048u);
        ASSERT_FALSE(d.Receiving());
    }
    // Two cuts inside and around the header.
    for (std::size_t a = 0; a <= kHeader.size() + 2; ++a)
        for (std::size_t b = a; b <= kHeader.size() + 4; ++b) {
            const TTally t = FeedCut(d, stream, {a, b});
            ASSERT_EQ(t.complete, 1) << a << " " << b;
            ASSERT_EQ(t.file, body) << a << " " << b;
        }
    // Byte by byte.
    std::vector<std::size_t> each;
    for (std::size_t i = 1; i < stream.size(); ++i) each.push_back(i);
    const TTally t = FeedCut(d, stream, each);
    EXPECT_EQ(t.header, 1);
    EXPECT_EQ(t.progress, 2048);
    EXPECT_EQ(t.complete, 1);
    EXPECT_EQ(t.file, body);
}

TEST(FileDownload, ProgressAndTheHeaderReceive) {
    TFileDownload d;
    d.Reset();
    const Bytes h = Text(kHeader);
    TFileDownload::TFeed f = d.Feed(h.data(), h.size());
    EXPECT_TRUE(f.HeaderRead);
    EXPECT_FALSE(f.Progress);
    EXPECT_TRUE(d.Receiving());
    EXPECT_EQ(d.Percent(), 0);
    const Bytes part = Body(1000);
    f = d.Feed(part.data(), part.size());
    EXPECT_TRUE(f.Progress);
    EXPECT_FALSE(f.Complete);
    EXPECT_EQ(d.Percent(), 48);
    // The file's first bytes in the header's receive are kept.
    const Bytes both = Concat(h, Body(100));
    d.Reset();
    f = d.Feed(both.data(), both.size());
    EXPECT_TRUE(f.HeaderRead);
    EXPECT_TRUE(f.Progress);
    EXPECT_EQ(f.BodyFrom, h.size());
    EXPECT_EQ(f.BodySize, 100u);
    EXPECT_EQ(d.Received(), 100u);
}

TEST(FileDownload, OvershootIsNotKept) {
    TFileDownload d;
    const Bytes body = Body(3000);
    const Bytes stream = Concat(Text(kHeader), body);
    for (std::size_t k : {kHeader.size(), kHeader.size() + 2047, kHeader.size() + 2048, kHeader.size() + 2500}) {
        EXPECT_EQ(FeedCut(d, stream, {k}).file, Bytes(body.begin(), body.begin() + 2048)) << k;
        EXPECT_EQ(d.Percent(), 100);
    }
    // Bytes after the end change nothing.
    const Bytes more = Body(10);
    const TFileDownload::TFeed f = d.Feed(more.data(), more.size());
    EXPECT_FALSE(f.Progress || f.Complete || f.HeaderRead);
    EXPECT_EQ(f.BodySize, 0u);
    EXPECT_EQ(d.Received(), 2048u);
}

TEST(FileDownload, MissingFileAndOtherTexts) {
    TFileDownload d;
    const Bytes missing = Text("file not exists");
    for (std::size_t k = 0; k <= missing.size(); ++k) {
        const TTally t = FeedCut(d, missing, {k});
        EXPECT_EQ(t.missing, 1) << k;
        EXPECT_EQ(t.header, 0);
    }
    // Chatter before the header is ignored; the header that follows is read.
    const Bytes stream = Concat(Text("hello"), Concat(Text("file#a\\b.bin#3#"), {1, 2, 3}));
    const TTally t = FeedCut(d, stream, {5});
    EXPECT_EQ(t.complete, 1);
    EXPECT_EQ(t.file, (Bytes{1, 2, 3}));
    EXPECT_EQ(d.FileName(), "b.bin");
}

TEST(FileDownload, BadHeaders) {
    TFileDownload d;
    // A size beyond 256 MiB is refused before a byte of it is taken.
    for (const char* h : {"file#a.bin#12x#", "file#a.bin##", "file#a.bin#-5#", "file#a.bin#4294967296#",
                          "file#a.bin#99999999999#", "file#C:\\..#5#", "file##5#", "file#a.bin#4294967295#",
                          "file#a.bin#268435457#"}) {
        const TTally t = FeedCut(d, Text(h), {});
        EXPECT_EQ(t.bad, 1) << h;
        EXPECT_EQ(t.header, 0) << h;
    }
    EXPECT_EQ(FeedCut(d, Text("file#a.bin#268435456#"), {}).header, 1);
    EXPECT_EQ(d.Size(), 268435456u);
    // A size with blanks round it reads.
    EXPECT_EQ(FeedCut(d, Text("file#a.bin# 7 #"), {}).header, 1);
    EXPECT_EQ(d.Size(), 7u);
    // A header that never ends.
    std::string endless = "file#";
    endless += std::string(kMaxDownloadHeader, 'x');
    EXPECT_EQ(FeedCut(d, Text(endless), {}).bad, 1);
    // Longer than 4096 bytes is refused whether it comes whole or in pieces; 4096 is taken.
    for (const std::size_t length : {kMaxDownloadHeader, kMaxDownloadHeader + 1}) {
        const std::string h = "file#" + std::string(length - 8, 'a') + "#5#";
        for (const std::vector<std::size_t>& cuts : {std::vector<std::size_t>{}, {1000, 2000, 3000, 4000}, {4095}})
            EXPECT_EQ(FeedCut(d, Text(h), cuts).header, length == kMaxDownloadHeader) << length;
    }
}

TEST(FileDownload, EmptyFileCompletesWithItsHeader) {
    TFileDownload d;
    const TTally t = FeedCut(d, Text("file#empty.txt#0#"), {});
    EXPECT_EQ(t.header, 1);
    EXPECT_EQ(t.complete, 1);
    EXPECT_TRUE(t.file.empty());
    EXPECT_EQ(d.Percent(), 100);
}

TEST(FileDownload, SavedIntoTheDownloadsFolder) {
    const std::string appData = testsupport::TempDir("dl-appdata");
    const std::string folder = DownloadsFolder(appData);
    const Bytes body = Body(2048);
    for (const Bytes& bytes : {Body(5000), body}) {  // the second replaces the first
        TSafeFileWriter file;
        ASSERT_TRUE(OpenDownloadFile(file, folder, "fw38.bin"));
        ASSERT_TRUE(file.Write(bytes.data(), bytes.size()) && file.Commit());
        std::filesystem::permissions(folder + "fw38.bin", std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }
    EXPECT_TRUE(HasExecuteBits(folder + "fw38.bin"));  // as it was left
    TSafeFileWriter again;  // a replaced file is never executable
    ASSERT_TRUE(OpenDownloadFile(again, folder, "fw38.bin") && again.Commit());
    EXPECT_FALSE(HasExecuteBits(folder + "fw38.bin"));
    ASSERT_TRUE(OpenDownloadFile(again, folder, "fw38.bin"));
    ASSERT_TRUE(again.Write(body.data(), body.size()) && again.Commit());
    std::ifstream in(folder + "fw38.bin", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), body);
    TSafeFileWriter unnamed;
    EXPECT_FALSE(OpenDownloadFile(unnamed, folder, ""));

    setenv("AppData", appData.c_str(), 1);
    EXPECT_EQ(DownloadsFolder(), folder);
    unsetenv("AppData");
}
// Only documents, by name and first bytes alike, may reach the desktop's opener.
TEST(FileDownload, OpenableDocuments) {
    using namespace std::string_literals;
    const std::string elf = "\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0"s;
    for (const auto& [name, head] : std::vector<std::pair<std::string, std::string>>{
             {"Zentor_v1.0.1.pdf", "%PDF-1.7\n"},
             {"readme.TXT", "\xEF\xBB\xBFВерсия 1.0.1\r\n\tисправления\f\n"},
             {"empty.txt", ""},
             {"shot.png", "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s},
             {"photo.jpeg", "\xFF\xD8\xFF\xE0"},
             {"photo.jpg", "\xFF\xD8\xFF\xE1"},
             {"anim.gif", "GIF89a"},
             {"pic.bmp", "BM6\0"s},
             {"Zentor_v1.0.1.zip", "PK\x03\x04\x14\0"s},
             {"Zentor_v1.0.1.tar.gz", "\x1F\x8B\x08\0"s},
             {"Zentor_v1.0.1.tgz", "\x1F\x8B\x08\0"s},
             {"Zentor_v1.0.1.tar.xz", "\xFD" "7zXZ\0\0"s},
             {"Zentor_v1.0.1.tar.bz2", "BZh91AY"},
             {"Zentor_v1.0.1.7z", "7z\xBC\xAF\x27\x1C\0\x04"s},
         })
        EXPECT_TRUE(OpenableDocument(name, head)) << name;
    for (const auto& [name, head] : std::vector<std::pair<std::string, std::string>>{
             {"Zentor.desktop", "[Desktop Entry]\nType=Application\nExec=sh\n"},
             {"Zentor_v1.0.1.jar", "PK\x03\x04\x14\0"s},
             {"Zentor_v1.0.1.sh", "#!/bin/sh\n"},
             {"Zentor_v1.0.1.AppImage", elf},
             {"Zentor_v1.0.1.exe", "MZ\x90\0"s},
             {"Zentor_v1.0.1.deb", "!<arch>\ndebian-binary"},
             {"Zentor", "%PDF-1.7\n"},
             {"Zentor_v1.0.1.pdf", elf},
             {"Zentor_v1.0.1.zip", "%PDF-1.7\n"},
             {"notes.txt", "#!/bin/sh\nid\n"},
             {"notes.txt", "\xEF\xBB\xBF#!/bin/sh\nid\n"},
             {"notes.txt", "# notes\n[Desktop Entry]\nExec=id\n"},
             {"notes.txt", "binary\0data"s},
             {"notes.txt", elf},
         })
        EXPECT_FALSE(OpenableDocument(name, head)) << name << " " << head;
}
}  // namespace
