// The ".fcg" file built byte by byte here and compared with what the tool writes and reads.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "memory/PhoneRecord.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

ConfigRecord PatternRecord(std::uint8_t seed) {
    ConfigRecord r;
    for (std::size_t i = 0; i < kConfigRecordSize; ++i) r[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return r;
}
PhoneRecord PatternNumber(std::uint8_t seed) {
    PhoneRecord p;
    for (std::size_t i = 0; i < kPhoneRecordSize; ++i) p[i] = static_cast<std::uint8_t>(seed + i);
    return p;
}

void Append(Bytes& to, std::initializer_list<std::uint8_t> bytes) { to.insert(to.end(), bytes); }
void Append(Bytes& to, const std::uint8_t* p, std::size_t n) { to.insert(to.end(), p, p + n); }

Bytes Header(std::uint8_t format, std::uint8_t chunks) {
    Bytes b = {'M', 'X', format, chunks};
    b.resize(16, 0);
    return b;
}

// The file of the layout table: header, record chunk at 16, number chunk at 531.
Bytes HandFile(const ConfigRecord& record, const std::vector<PhoneRecord>& numbers) {
    Bytes f = Header(0x0B, 2);
    Append(f, {0x01, 0x00, 0x02});
    Append(f, record.data(), 512);
    Append(f, {0x64, static_cast<std::uint8_t>(numbers.size()), static_cast<std::uint8_t>(numbers.size() >> 8)});
    for (const PhoneRecord& p : numbers) Append(f, p.data(), 64);
    return f;
}

TConfigFileRead Read(const Bytes& file, const ConfigRecord& current, TConfigFileContents& out) {
    std::istringstream in(std::string(file.begin(), file.end()));
    return ReadConfigFile(in, current, out);
}

const std::vector<PhoneRecord> kThree = {PatternNumber(0x10), PatternNumber(0x50), PatternNumber(0x90)};

TEST(ReviewConfigFile, WrittenFileMatchesTheLayoutByteForByte) {
    const Bytes built = BuildConfigFile(PatternRecord(3), kThree);
    const Bytes hand = HandFile(PatternRecord(3), kThree);
    ASSERT_EQ(built.size(), 726u);
    EXPECT_EQ(built, hand);
    EXPECT_EQ(built[3], 2);
    EXPECT_EQ(Bytes(built.begin() + 531, built.begin() + 534), (Bytes{0x64, 0x03, 0x00}));
    EXPECT_EQ(Bytes(built.begin() + 16, built.begin() + 19), (Bytes{0x01, 0x00, 0x02}));

    const Bytes empty = BuildConfigFile(PatternRecord(3), {});
    EXPECT_EQ(empty.size(), 534u);
    EXPECT_EQ(empty, HandFile(PatternRecord(3), {}));

    // A count above 255 uses the high byte.
    std::vector<PhoneRecord> many(300, PatternNumber(1));
    const Bytes big = BuildConfigFile(PatternRecord(0), many);
    EXPECT_EQ(big.size(), 534u + 300 * 64);
    EXPECT_EQ(Bytes(big.begin() + 531, big.begin() + 534), (Bytes{0x64, 0x2C, 0x01}));
}

TEST(ReviewConfigFile, SavedFileOnDiskAndNoTemporaryLeft) {
    const std::string folder = testsupport::TempDir("review-fcg-save");
    const std::string path = folder + "/site.fcg";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(5000, 'x');  // an older, longer file is replaced whole
    }
    ASSERT_TRUE(SaveConfigFile(path, PatternRecord(9), kThree));
    std::ifstream in(path, std::ios::binary);
    const Bytes disk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(disk, HandFile(PatternRecord(9), kThree));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"site.fcg"});

    EXPECT_FALSE(SaveConfigFile(folder + "/no/such/folder/x.fcg", PatternRecord(9), kThree));
}

TEST(ReviewConfigFile, HandFileReadsBackRecordAndNumbers) {
    TConfigFileContents c;
    ASSERT_EQ(Read(HandFile(PatternRecord(5), kThree), PatternRecord(0xEE), c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, PatternRecord(5));
    ASSERT_TRUE(c.Numbers);
    EXPECT_EQ(*c.Numbers, kThree);
}

TEST(ReviewConfigFile, FormatByteNeedsOnlyItsLowFourBits) {
    for (std::uint8_t format : {0x0B, 0x1B, 0xFB}) {
        Bytes f = HandFile(PatternRecord(5), kThree);
        f[2] = format;
        TConfigFileContents c;
        EXPECT_EQ(Read(f, ConfigRecord{}, c), TConfigFileRead::Opened) << int(format);
        EXPECT_EQ(c.Record, PatternRecord(5));
    }
    const std::pair<std::size_t, std::uint8_t> spoilt[] = {{2, 0x0C}, {2, 0x0A}, {2, 0xB0}, {0, 'm'}, {1, 'Z'}};
    for (auto [at, value] : spoilt) {
        Bytes f = HandFile(PatternRecord(5), kThree);
        f[at] = value;
        TConfigFileContents c;
        c.Record = PatternRecord(0x42);
        c.Numbers = std::vector<PhoneRecord>{PatternNumber(7)};
        EXPECT_EQ(Read(f, PatternRecord(1), c), TConfigFileRead::NotConfigFile) << at << "=" << int(value);
        EXPECT_EQ(c.Record, PatternRecord(0x42)) << "nothing is to change";
        EXPECT_EQ(c.Numbers->size(), 1u);
    }
    TConfigFileContents c;
    EXPECT_EQ(Read(Bytes{}, ConfigRecord{}, c), TConfigFileRead::NotConfigFile);
}

TEST(ReviewConfigFile, ChunksAreReadAsManyAsTheHeaderSays) {
    // One chunk: the numbers after it stay unread.
    Bytes f = HandFile(PatternRecord(5), kThree);
    f[3] = 1;
    TConfigFileContents c;
    ASSERT_EQ(Read(f, PatternRecord(1), c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, PatternRecord(5));
    EXPECT_FALSE(c.Numbers);

    // None: the current record stays.
    f[3] = 0;
    ASSERT_EQ(Read(f, PatternRecord(1), c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, PatternRecord(1));
    EXPECT_FALSE(c.Numbers);

    // More than the file holds: the two that are there.
    f[3] = 9;
    ASSERT_EQ(Read(f, PatternRecord(1), c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, PatternRecord(5));
    EXPECT_EQ(c.Numbers, kThree);
}

TEST(ReviewConfigFile, ChunksInAnyOrderAndUnknownOnesSkippedByTheirLength) {
    Bytes f = Header(0x0B, 3);
    Append(f, {0x64, 0x01, 0x00});
    Append(f, PatternNumber(0x33).data(), 64);
    Append(f, {0x07, 0x05, 0x00, 1, 2, 3, 4, 5});  // unknown type, 5 bytes
    Append(f, {0x01, 0x00, 0x02});
    Append(f, PatternRecord(8).data(), 512);
    TConfigFileContents c;
    ASSERT_EQ(Read(f, ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, PatternRecord(8));
    EXPECT_EQ(c.Numbers, std::vector<PhoneRecord>{PatternNumber(0x33)});
}

TEST(ReviewConfigFile, RecordChunkReads512BytesAndMovesOnByItsLengthField) {
    // A record chunk whose length field says 256: the record is the 512 bytes after its
    // header all the same, and the next chunk starts 3 + 256 bytes on.
    Bytes f = Header(0x0B, 2);
    Append(f, {0x01, 0x00, 0x01});
    Append(f, PatternRecord(4).data(), 256);
    Append(f, {0x64, 0x01, 0x00});
    Append(f, PatternNumber(0x21).data(), 64);
    f.resize(19 + 512 + 10, 0xCC);
    TConfigFileContents c;
    ASSERT_EQ(Read(f, ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(0, std::memcmp(c.Record.data(), f.data() + 19, 512));
    EXPECT_EQ(c.Numbers, std::vector<PhoneRecord>{PatternNumber(0x21)});
}

TEST(ReviewConfigFile, ShortChunksAndEmptyNumberChunk) {
    // No numbers: the number base is emptied.
    TConfigFileContents c;
    ASSERT_EQ(Read(HandFile(PatternRecord(5), {}), ConfigRecord{}, c), TConfigFileRead::Opened);
    ASSERT_TRUE(c.Numbers);
    EXPECT_TRUE(c.Numbers->empty());

    // A number chunk cut short: three records, the missing bytes zero.
    Bytes f = HandFile(PatternRecord(5), kThree);
    f.resize(534 + 64 + 20);
    ASSERT_EQ(Read(f, ConfigRecord{}, c), TConfigFileRead::Opened);
    ASSERT_TRUE(c.Numbers);
    ASSERT_EQ(c.Numbers->size(), 3u);
    EXPECT_EQ((*c.Numbers)[0], kThree[0]);
    for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ((*c.Numbers)[1][i], i < 20 ? kThree[1][i] : 0) << i;
    EXPECT_EQ((*c.Numbers)[2], PhoneRecord{});

    // A record chunk cut short: the rest of the current record stays.
    Bytes g = HandFile(PatternRecord(5), kThree);
    g.resize(19 + 100);
    ASSERT_EQ(Read(g, PatternRecord(0x77), c), TConfigFileRead::Opened);
    for (std::size_t i = 0; i < 512; ++i) EXPECT_EQ(c.Record[i], i < 100 ? PatternRecord(5)[i] : PatternRecord(0x77)[i]) << i;
    EXPECT_FALSE(c.Numbers);
}

TEST(ReviewConfigFile, OpeningFromDiskAndThePathRule) {
    const std::string folder = testsupport::TempDir("review-fcg-open");
    TConfigFileContents c;
    EXPECT_EQ(OpenConfigFile(folder + "/absent.fcg", ConfigRecord{}, c), TConfigFileRead::CannotOpen);
    EXPECT_EQ(OpenConfigFile(folder, ConfigRecord{}, c), TConfigFileRead::CannotOpen);
    const std::string path = folder + "/a.fcg";
    ASSERT_TRUE(SaveConfigFile(path, PatternRecord(2), kThree));
    ASSERT_EQ(OpenConfigFile(path, ConfigRecord{}, c), TConfigFileRead::Opened);
    EXPECT_EQ(c.Record, PatternRecord(2));
    EXPECT_EQ(c.Numbers, kThree);

    const std::string before = g_ConfigPath;
    ApplyConfigPath("default.fcg");
    EXPECT_EQ(g_ConfigPath, "default.fcg");
    ApplyConfigPath("device");
    EXPECT_EQ(g_ConfigPath, "default.fcg");
    ApplyConfigPath(path);
    EXPECT_EQ(g_ConfigPath, path);
    g_ConfigPath = before;
}

// Files of random chunks after a good header: read to the end without harm, the record
// always whole and a number chunk always a whole number of records.
TEST(ReviewConfigFile, RandomChunksNeverHarm) {
    std::uint32_t seed = 777;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(seed >> 16);
    };
    for (int round = 0; round < 2000; ++round) {
        Bytes f = Header(0x0B, next());
        const std::size_t size = 16 + (static_cast<std::size_t>(next()) << 3) + next();
        while (f.size() < size) {
            const std::uint8_t kind = next() % 3;
            if (kind == 0) Append(f, {0x01, next(), next()});
            else if (kind == 1) Append(f, {0x64, next(), static_cast<std::uint8_t>(next() % 2)});
            else Append(f, {next(), next(), next(), next()});
        }
        TConfigFileContents c;
        ASSERT_EQ(Read(f, PatternRecord(1), c), TConfigFileRead::Opened);
        if (c.Numbers) {
            for (const PhoneRecord& p : *c.Numbers) ASSERT_EQ(p.Bytes.size(), 64u);
        }
    }
}

}  // namespace
