// The desk reader's frames and CRC against bytes worked out by hand, and the receiver fed
// in pieces.
#include <gtest/gtest.h>

#include "rfid/ReaderFrame.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

// The CRC the textbook way: the unreflected polynomial 0x1021 shifted out MSB first, on
// bit-reversed input, the register reversed at the end. Shares nothing with the tool's loop.
std::uint16_t BitSerialCrc(const Bytes& data) {
    std::uint16_t reg = 0xFFFF;  // the preset reads the same reversed
    for (std::uint8_t byte : data) {
        for (int bit = 0; bit < 8; ++bit) {  // LSB of the byte first
            const bool in = ((byte >> bit) & 1) != 0;
            const bool top = (reg & 0x8000) != 0;
            reg = static_cast<std::uint16_t>(reg << 1);
            if (in != top) reg ^= 0x1021;
        }
    }
    std::uint16_t out = 0;
    for (int i = 0; i < 16; ++i)
        if (reg & (1u << i)) out |= static_cast<std::uint16_t>(1u << (15 - i));
    return out;
}

Bytes WithCrc(Bytes f) {
    const std::uint16_t c = BitSerialCrc(f);
    f.push_back(static_cast<std::uint8_t>(c));
    f.push_back(static_cast<std::uint8_t>(c >> 8));
    return f;
}

const Bytes kTid = {0xE2, 0x80, 0x11, 0x05, 0x20, 0x00, 0x7A, 0x3C, 0x9F, 0x1D, 0x4E, 0xB6};
Bytes TagReply() {
    Bytes f = {0x11, 0x00, 0x02, 0x00};
    f.insert(f.end(), kTid.begin(), kTid.end());
    return WithCrc(f);
}

std::optional<TReaderReply> Parse(const Bytes& b) {
    const auto f = ParseReaderFrame(b.data(), b.size());
    if (!f) return std::nullopt;
    return DecodeReaderReply(*f);
}

TEST(ReaderCrc, MatchesTheBitSerialFormAndTheCatalogueCheck) {
    const Bytes check = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(BitSerialCrc(check), 0x6F91);  // CRC-16/MCRF4XX check value
    EXPECT_EQ(RfidCrc16(check.data(), check.size()), 0x6F91);
    EXPECT_EQ(RfidCrc16(nullptr, 0), 0xFFFF);
    Bytes ramp;
    for (int i = 0; i < 300; ++i) {
        ramp.push_back(static_cast<std::uint8_t>(i * 37 + 11));
        ASSERT_EQ(RfidCrc16(ramp.data(), ramp.size()), BitSerialCrc(ramp)) << i;
    }
}

TEST(ReaderFrame, RequestsByteForByte) {
    EXPECT_EQ(ReaderInformationRequest(), (Bytes{0x04, 0x00, 0x21, 0xD9, 0x6A}));
    EXPECT_EQ(ReaderInformationRequest(), WithCrc({0x04, 0x00, 0x21}));
    const Bytes tid = {0x0E, 0x00, 0x02, 0x00, 0x02, 0x00, 0x06, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x87, 0x68};
    EXPECT_EQ(TidReadRequest(), tid);
    EXPECT_EQ(TidReadRequest(), WithCrc(Bytes(tid.begin(), tid.end() - 2)));
    EXPECT_EQ(BuildReaderFrame(7, 0x33, {1, 2}), WithCrc({0x06, 0x07, 0x33, 0x01, 0x02}));
    EXPECT_TRUE(BuildReaderFrame(0, 1, Bytes(252, 0)).empty());  // Len would pass 255
    EXPECT_EQ(BuildReaderFrame(0, 1, Bytes(251, 0)).size(), 256u);
}

TEST(ReaderFrame, RepliesTheToolActsOn) {
    const auto tag = Parse(TagReply());
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->Kind, TReaderReplyKind::Tag);
    EXPECT_EQ(Bytes(tag->Tid.begin(), tag->Tid.end()), kTid);

    const auto none = Parse({0x05, 0x00, 0x02, 0x01, 0x4F, 0x4F});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Kind, TReaderReplyKind::NoTag);

    // Information reply with any status and content.
    for (std::uint8_t status : {0x00, 0xFE}) {
        const auto info = Parse(WithCrc({0x08, 0x00, 0x21, status, 0x03, 0x01, 0x22}));
        ASSERT_TRUE(info);
        EXPECT_EQ(info->Kind, TReaderReplyKind::Present);
    }
    const auto other = Parse(WithCrc({0x05, 0x00, 0x01, 0x00}));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Kind, TReaderReplyKind::Ignored);

    // The frame is the first Len + 1 bytes; what follows does not matter.
    Bytes trailing = TagReply();
    trailing.insert(trailing.end(), {0xAA, 0xBB});
    ASSERT_TRUE(Parse(trailing));
}

TEST(ReaderFrame, DroppedFrames) {
    Bytes bad = TagReply();
    bad[17] ^= 0x01;
    EXPECT_FALSE(Parse(bad));
    bad = TagReply();
    bad[9] ^= 0x80;
    EXPECT_FALSE(Parse(bad));
    const Bytes whole = TagReply();
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(Parse(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)))) << n;
    // Len too small to hold Adr, Cmd and the CRC.
    for (std::uint8_t len = 0; len < 4; ++len) EXPECT_FALSE(Parse({len, 0xFF, 0xFF, 0xFF, 0xFF}));
    // Len 4: a frame without status; a TID read without it says nothing.
    const auto bare = Parse(WithCrc({0x04, 0x00, 0x02}));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->Kind, TReaderReplyKind::Ignored);
    // A success whose TID is cut short is not shown from bytes past the frame.
    const auto cut = Parse(WithCrc({0x09, 0x00, 0x02, 0x00, 0xE2, 0x80, 0x11, 0x05}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->Kind, TReaderReplyKind::Ignored);
}

TEST(ReaderReceiver, ReplySplitAnywhereAndTwoInOneRead) {
    const Bytes whole = TagReply();
    for (std::size_t k = 1; k < whole.size(); ++k) {
        TReaderReceiver rx;
        EXPECT_TRUE(rx.Feed(whole.data(), k).empty()) << k;
        const auto r = rx.Feed(whole.data() + k, whole.size() - k);
        ASSERT_EQ(r.size(), 1u) << k;
        EXPECT_EQ(r[0].Kind, TReaderReplyKind::Tag);
        EXPECT_EQ(rx.Pending(), 0u);
    }
    // Byte by byte, then two replies in one read.
    TReaderReceiver rx;
    std::size_t got = 0;
    for (std::uint8_t b : whole) got += rx.Feed(&b, 1).size();
    EXPECT_EQ(got, 1u);
    Bytes two = {0x05, 0x00, 0x02, 0x01, 0x4F, 0x4F};
    two.insert(two.end(), whole.begin(), whole.end());
    const auto r = rx.Feed(two.data(), two.size());
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].Kind, TReaderReplyKind::NoTag);
    EXPECT_EQ(r[1].Kind, TReaderReplyKind::Tag);
}

// Each good reply arrives in a read of its own after the damage; every one must be read
// as it arrives.
void ExpectEveryReplyRead(TReaderReceiver& rx, const Bytes& damage, const char* what) {
    const Bytes good = TagReply();
    Bytes first = damage;
    first.insert(first.end(), good.begin(), good.end());
    EXPECT_EQ(rx.Feed(first.data(), first.size()).size(), 1u) << what;
    for (int i = 0; i < 15; ++i) EXPECT_EQ(rx.Feed(good.data(), good.size()).size(), 1u) << what << " " << i;
    EXPECT_EQ(rx.Pending(), 0u) << what;
}

TEST(ReaderReceiver, StrayBytesAndDamagedRepliesCostAtMostThemselves) {
    for (std::uint8_t stray : {0x00, 0x02, 0x04, 0x11, 0x30, 0xFF}) {
        TReaderReceiver rx;
        ExpectEveryReplyRead(rx, {stray}, "stray byte");
        // A stray byte alone in its read is waited on, then passed over.
        TReaderReceiver alone;
        EXPECT_TRUE(alone.Feed(&stray, 1).empty());
        ExpectEveryReplyRead(alone, {}, "stray byte alone");
    }
    Bytes badCrc = TagReply();
    badCrc[17] ^= 0x01;
    Bytes longer = TagReply();
    longer[0] = 0x40;
    Bytes shorter = TagReply();
    shorter[0] = 0x08;
    for (const Bytes& bad : {badCrc, longer, shorter}) {
        TReaderReceiver rx;
        ExpectEveryReplyRead(rx, bad, "damaged reply");
        // The damaged reply in a read of its own.
        TReaderReceiver alone;
        EXPECT_TRUE(alone.Feed(bad.data(), bad.size()).empty());
        ExpectEveryReplyRead(alone, {}, "damaged reply alone");
    }
    // A flood keeps no more than the start of one frame.
    TReaderReceiver rx;
    const Bytes flood(2000, 0xFF);
    EXPECT_TRUE(rx.Feed(flood.data(), flood.size()).empty());
    EXPECT_LT(rx.Pending(), 256u);
    ExpectEveryReplyRead(rx, {}, "after a flood");
}
}  // namespace
