// The .fcg file, built byte by byte here and read, and written and compared.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/ConfigFile.h"
#include "support/TestSupport.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

ConfigRecord SomeRecord() {
    ConfigRecord r;
    for (std::size_t i = 0; i < kConfigRecordSize; ++i) r[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return r;
}
PhoneRecord SomeNumber(std::uint8_t k) {
    PhoneRecord p;
    for (std::size_t i = 0; i < kPhoneRecordSize; ++i) p[i] = static_cast<std::uint8_t>(k + i);
    return p;
}

// Header, record chunk at 16, number chunk at 531, records from 534.
Bytes HandFile(std::uint8_t format, std::uint8_t chunks, const std::vector<PhoneRecord>& numbers) {
    Bytes f = {'M', 'X', format, chunks, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    f.insert(f.end(), {0x01, 0x00, 0x02});
    const ConfigRecord r = SomeRecord();
    f.insert(f.end(), r.Bytes.begin(), r.Bytes.end());
    f.insert(f.end(), {0x64, static_cast<std::uint8_t>(numbers.size()), 0x00});
    for (const auto& n : numbers) f.insert(f.end(), n.Bytes.begin(), n.Bytes.end());
    return f;
}

std::size_t Entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                  std::filesystem::directory_iterator()));
}

TConfigFileRead Read(const Bytes& file, const ConfigRecord& current, TConfigFileContents& c) {
    std::istringstream in(std::string(file.begin(), file.end()));
    return ReadConfigFile(in, current, c);
}

Bytes Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

const std::vector<PhoneRecord> kThree = {SomeNumber(1), SomeNumber(2), SomeNumber(3)};

TEST(ConfigFile, BuiltBytes) {
    const Bytes built = BuildConfigFile(SomeRecord(), kThree);
    ASSERT_EQ(built.size(), 726u);
    EXPECT_EQ(built[3], 2);
    EXPECT_EQ(built[531], 0x64);
    EXPECT_EQ(built[532], 0x03);
    EXPECT_EQ(built[533], 0x00);
    EXPECT_EQ(built, HandFile(0x0B, 2, kThree));
    EXPECT_EQ(BuildConfigFile(SomeRecord(), {}).size(), 534u);
}

TEST(ConfigFile, OpensAHandBuiltFile) {
    TConfigFileContents c;
    ASSERT_EQ(Read(HandFile(0x0B, 2, kThree), ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, SomeRecord());
    ASSERT_TRUE(c.Numbers);
    EXPECT_EQ(*c.Numbers, kThree);

    // Low four bits 11 is all the format byte needs.
    EXPECT_EQ(Read(HandFile(0x1B, 2, kThree), ConfigRecord{}, c), TConfigFileRead::Opened);
}

TEST(ConfigFile, NotAConfigurationFile) {
    TConfigFileContents c;
    c.Record[0] = 0x42;
    EXPECT_EQ(Read(HandFile(0x0C, 2, kThree), ConfigRecord{}, c), TConfigFileRead::NotConfigFile);
    Bytes wrongMagic = HandFile(0x0B, 2, kThree);
    wrongMagic[1] = 'Y';
    EXPECT_EQ(Read(wrongMagic, ConfigRecord{}, c), TConfigFileRead::NotConfigFile);
    EXPECT_EQ(Read(Bytes{'M', 'X'}, ConfigRecord{}, c), TConfigFileRead::NotConfigFile);
    EXPECT_EQ(Read(Bytes{}, ConfigRecord{}, c), TConfigFileRead::NotConfigFile);
    EXPECT_EQ(c.Record[0], 0x42);  // untouched
    EXPECT_FALSE(c.Numbers);
}

TEST(ConfigFile, NoNumbersEmptiesTheBase) {
    TConfigFileContents c;
    ASSERT_EQ(Read(HandFile(0x0B, 2, {}), ConfigRecord{}, c), TConfigFileRead::Opened);
    ASSERT_TRUE(c.Numbers);
    EXPECT_TRUE(c.Numbers->empty());

    // Only the record chunk counted: the number base is not touched.
    ASSERT_EQ(Read(HandFile(0x0B, 1, kThree), ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_FALSE(c.Numbers);
}

TEST(ConfigFile, CutShort) {
    // Numbers cut inside the second record: the rest are zero records.
    Bytes f = HandFile(0x0B, 2, kThree);
    f.resize(534 + 64 + 10);
    TConfigFileContents c;
    ASSERT_EQ(Read(f, ConfigRecord{}, c), TConfigFileRead::Opened);
    ASSERT_TRUE(c.Numbers);
    ASSERT_EQ(c.Numbers->size(), 3u);
    EXPECT_EQ((*c.Numbers)[0], kThree[0]);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ((*c.Numbers)[1][i], kThree[1][i]);
    for (std::size_t i = 10; i < 64; ++i) EXPECT_EQ((*c.Numbers)[1][i], 0) << i;
    EXPECT_EQ((*c.Numbers)[2], PhoneRecord{});

    // Record cut after 100 bytes: the rest of the current record stays.
    f = HandFile(0x0B, 2, kThree);
    f.resize(19 + 100);
    ConfigRecord current;
    current.Bytes.fill(0xEE);
    ASSERT_EQ(Read(f, current, c), TConfigFileRead::Opened);
    EXPECT_EQ(std::memcmp(c.Record.data(), SomeRecord().data(), 100), 0);
    EXPECT_EQ(c.Record[100], 0xEE);
    EXPECT_EQ(c.Record[511], 0xEE);
    EXPECT_FALSE(c.Numbers);

    // More chunks announced than present.
    ASSERT_EQ(Read(HandFile(0x0B, 9, kThree), ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Numbers->size(), 3u);
}

TEST(ConfigFile, UnknownChunksAreSkippedByTheirLength) {
    Bytes f = {'M', 'X', 0x0B, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    f.insert(f.end(), {0x07, 0x04, 0x00, 0xAA, 0xBB, 0xCC, 0xDD});
    f.insert(f.end(), {0x64, 0x01, 0x00});
    const PhoneRecord n = SomeNumber(9);
    f.insert(f.end(), n.Bytes.begin(), n.Bytes.end());
    TConfigFileContents c;
    ASSERT_EQ(Read(f, ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, ConfigRecord{});
    ASSERT_TRUE(c.Numbers);
    EXPECT_EQ(*c.Numbers, std::vector<PhoneRecord>{n});
}

TEST(ConfigFile, SaveAndOpen) {
    const std::string dir = testsupport::TempDir("fcg");
    const std::string path = dir + "/configuration.fcg";
    {
        std::ofstream old(path, std::ios::binary);
        old << "old contents";
    }
    ASSERT_TRUE(SaveConfigFile(path, SomeRecord(), kThree));
    EXPECT_EQ(Slurp(path), HandFile(0x0B, 2, kThree));
    EXPECT_EQ(Entries(dir), 1u);  // no temporary file is left

    TConfigFileContents c;
    ASSERT_EQ(OpenConfigFile(path, ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, SomeRecord());
    EXPECT_EQ(*c.Numbers, kThree);

    EXPECT_EQ(OpenConfigFile(dir + "/absent.fcg", ConfigRecord{}, c), TConfigFileRead::CannotOpen);
    EXPECT_EQ(OpenConfigFile(dir, ConfigRecord{}, c), TConfigFileRead::CannotOpen);
    EXPECT_FALSE(SaveConfigFile(dir + "/no/such/folder/x.fcg", SomeRecord(), kThree));
    EXPECT_FALSE(SaveConfigFile(dir, SomeRecord(), kThree));  // a folder is in the way
    EXPECT_EQ(Entries(dir), 1u);
}

TEST(ConfigFile, OnlyARegularFileIsOpened) {
    // A FIFO would block the open for ever, a device reads as garbage: both count as missing.
    const std::string fifo = testsupport::TempDir("fcg-fifo") + "/configuration.fcg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Held open here, so that an open that does block returns and fails the test instead.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    TConfigFileContents c;
    EXPECT_EQ(OpenConfigFile(fifo, ConfigRecord{}, c), TConfigFileRead::CannotOpen);
    ::close(writer);
    EXPECT_EQ(OpenConfigFile("/dev/zero", ConfigRecord{}, c), TConfigFileRead::CannotOpen);
}

TEST(ConfigFile, CurrentPath) {
    ApplyConfigPath("a.fcg");
    ApplyConfigPath("device");
    EXPECT_EQ(g_ConfigPath, "a.fcg");
    ApplyConfigPath("default.fcg");
    EXPECT_EQ(g_ConfigPath, "default.fcg");
}

}  // namespace
