// Tag texts, the USB-HID report records and the tag record file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "rfid/TagCapture.h"
#include "support/TestSupport.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

const TTid kTid = {0xE2, 0x80, 0x11, 0x05, 0x20, 0x00, 0x7A, 0x3C, 0x9F, 0x1D, 0x4E, 0xB6};

TTid TidOf(std::uint8_t first) {
    TTid t;
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<std::uint8_t>(first + i);
    return t;
}

// A record: L, two unused bytes, the TID, then L - 14 more bytes.
void PutRecord(Bytes& b, std::uint8_t l, const TTid& tid) {
    b.push_back(l);
    b.push_back(0xC0);
    b.push_back(0xDE);
    b.insert(b.end(), tid.begin(), tid.end());
    for (int i = 14; i < l; ++i) b.push_back(0x77);
}

TEST(TagCapture, Texts) {
    EXPECT_EQ(TagLabelText(kTid), "RFID: E280110520007A3C9F1D4EB6");
    EXPECT_EQ(RfidTagNumber(kTid), "3C9F1D4EB6");
    EXPECT_EQ(RfidTagNumber(TidOf(0xF5)), "FCFDFEFF00");
    EXPECT_EQ(TagRecordLine("3C9F1D4EB6"), "3C9F1D4EB6\r\n");
    EXPECT_EQ(TagRecordLine("3C9F1D4EB6 and more"), "3C9F1D4EB6\r\n");
    EXPECT_EQ(TagRecordLine("12"), "12\r\n");
    EXPECT_EQ(TagCountText(3), "Count: 3");
}

TEST(HidReport, RecordsBackToBack) {
    Bytes b;
    PutRecord(b, 17, TidOf(0x10));
    PutRecord(b, 17, TidOf(0x40));
    ASSERT_EQ(b.size(), 36u);
    ASSERT_EQ(b[18], 17);  // the second record starts at 18
    const auto tags = ParseHidTagReport(2, 2, b.data(), b.size());
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0], TidOf(0x10));
    EXPECT_EQ(tags[1], TidOf(0x40));
    // Records of different lengths.
    Bytes mixed;
    PutRecord(mixed, 14, TidOf(1));
    PutRecord(mixed, 20, TidOf(2));
    PutRecord(mixed, 15, TidOf(3));
    const auto three = ParseHidTagReport(2, 3, mixed.data(), mixed.size());
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[2], TidOf(3));
}

TEST(HidReport, IgnoredReports) {
    Bytes b;
    PutRecord(b, 17, kTid);
    EXPECT_TRUE(ParseHidTagReport(2, 0, b.data(), b.size()).empty());
    EXPECT_TRUE(ParseHidTagReport(1, 1, b.data(), b.size()).empty());
    EXPECT_TRUE(ParseHidTagReport(0, 1, b.data(), b.size()).empty());
    EXPECT_TRUE(ParseHidTagReport(3, 1, b.data(), b.size()).empty());
    EXPECT_TRUE(ParseHidTagReport(2, -1, b.data(), b.size()).empty());
    EXPECT_TRUE(ParseHidTagReport(2, 1, nullptr, 0).empty());
}

TEST(HidReport, NeverReadsPastTheReport) {
    Bytes b;
    PutRecord(b, 17, TidOf(1));
    PutRecord(b, 17, TidOf(2));
    // A count larger than the records given, and a report cut inside its second record.
    EXPECT_EQ(ParseHidTagReport(2, 5, b.data(), b.size()).size(), 2u);
    EXPECT_EQ(ParseHidTagReport(2, 2, b.data(), 18 + 10).size(), 1u);
    // A record whose L leaves no room for a TID is stepped over, not read.
    Bytes shortRec = {0x03, 1, 2, 3};
    PutRecord(shortRec, 14, TidOf(9));
    const auto tags = ParseHidTagReport(2, 2, shortRec.data(), shortRec.size());
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0], TidOf(9));
    // Every cut of a two-record report takes only whole records, never more.
    for (std::size_t n = 0; n <= b.size(); ++n) {
        const std::size_t expect = n >= 33 ? 2 : (n >= 15 ? 1 : 0);
        EXPECT_EQ(ParseHidTagReport(2, 2, b.data(), n).size(), expect) << n;
    }
}

TEST(TagRecordFile, ThreeTagsThenStop) {
    const std::string path = testsupport::TempDir("tags") + "/tags.txt";
    TTagRecordFile file;
    EXPECT_FALSE(file.IsOpen());
    file.Write({"0000000000"});  // not recording: nothing
    ASSERT_TRUE(file.Create(path));
    EXPECT_EQ(file.Count(), 0);
    // A burst of two in one write, then the same tag again: another line.
    const std::uint64_t appends = SafeFileAppendsForTests();
    file.Write({RfidTagNumber(TidOf(0)), RfidTagNumber(TidOf(1))});
    file.Write({RfidTagNumber(TidOf(1))});
    EXPECT_EQ(SafeFileAppendsForTests() - appends, 2u);
    EXPECT_EQ(file.Count(), 3);
    file.Close();
    file.Write({RfidTagNumber(TidOf(5))});
    EXPECT_EQ(file.Count(), 3);
    EXPECT_EQ(testsupport::ReadFileText(path), "0708090A0B\r\n08090A0B0C\r\n08090A0B0C\r\n");

    // Starting again on the same file empties it and counts from 0.
    ASSERT_TRUE(file.Create(path));
    EXPECT_EQ(file.Count(), 0);
    file.Write({"ABCDEF0123"});
    file.Close();
    EXPECT_EQ(testsupport::ReadFileText(path), "ABCDEF0123\r\n");
}

// Reports from the library's thread ask the GUI thread once for all that waits.
TEST(TagBurst, ReportsWaitingAreTakenTogetherInOrder) {
    Bytes one, two;
    PutRecord(one, 17, TidOf(1));
    PutRecord(two, 17, TidOf(2));
    PutRecord(two, 17, TidOf(3));
    TTagBurst burst;
    EXPECT_FALSE(burst.Add(1, 1, one.data(), one.size()));  // no tags: nothing to take
    EXPECT_TRUE(burst.Add(2, 1, one.data(), one.size()));
    EXPECT_FALSE(burst.Add(2, 2, two.data(), two.size()));
    EXPECT_EQ(burst.Take(), (std::vector<TTid>{TidOf(1), TidOf(2), TidOf(3)}));
    EXPECT_TRUE(burst.Take().empty());
    EXPECT_TRUE(burst.Add(2, 1, one.data(), one.size()));
}

TEST(TagRecordFile, CannotCreate) {
    TTagRecordFile file;
    EXPECT_FALSE(file.Create(testsupport::TempDir("tags-no") + "/missing/folder/t.txt"));
    EXPECT_FALSE(file.IsOpen());
}
}  // namespace
