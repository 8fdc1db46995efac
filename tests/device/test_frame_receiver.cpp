// Cutting bursts into frames and the receive-silence countdown.
#include <gtest/gtest.h>

#include <string>

#include "device/DeviceFrame.h"
#include "device/FrameReceiver.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

// Replies worked out by hand: identify (working, DIN model), password accepted at 32.
const Bytes kIdentify = {0x53, 0x4C, 0x4D, 0x58, 0x08, 0x00, 0x55, 0x00, 0x01, 0x05,
                         0x00, 0x00, 0x8B, 0x00, 0x2E, 0x29};
const Bytes kPassword = {0x53, 0x4C, 0x4D, 0x58, 0x05, 0x00, 0x55, 0x25, 0x00, 0x20, 0x00, 0x3A, 0xC0};

struct Collected {
    std::vector<std::size_t> offsets;  // of the length field within the burst
    std::vector<std::size_t> available;
    std::vector<std::uint8_t> commands;  // of the frames that verify
};

Collected Scan(const Bytes& burst) {
    Collected c;
    ScanBurstForFrames(burst.data(), burst.size(), [&](const std::uint8_t* f, std::size_t avail) {
        c.offsets.push_back(static_cast<std::size_t>(f - burst.data()));
        c.available.push_back(avail);
        TDeviceReply r;
        if (VerifyReplyFrame(f, avail, r)) c.commands.push_back(r.Command);
    });
    return c;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(FrameReceiver, TwoFramesAndGarbageInOneBurst) {
    const Bytes burst = Join({{0x00, 0x53, 0x4C}, kIdentify, {0xEE, 0x53}, kPassword, {0x58, 0x01}});
    const Collected c = Scan(burst);
    ASSERT_EQ(c.offsets.size(), 2u);
    EXPECT_EQ(c.offsets[0], 3u + 4u);
    EXPECT_EQ(c.available[0], burst.size() - 7);
    EXPECT_EQ(c.offsets[1], 3u + 16u + 2u + 4u);
    EXPECT_EQ(c.commands, (Bytes{0x00, 0x25}));
}

TEST(FrameReceiver, CutFrameIsDropped) {
    const Bytes burst(kIdentify.begin(), kIdentify.end() - 1);
    const Collected c = Scan(burst);
    ASSERT_EQ(c.offsets.size(), 1u);
    EXPECT_EQ(c.available[0], burst.size() - 4);
    EXPECT_TRUE(c.commands.empty());
}

TEST(FrameReceiver, TagInsideDataIsTriedToo) {
    // A password reply carried inside the data of an unknown 0x40 frame.
    Bytes outer = {0x53, 0x4C, 0x4D, 0x58, 0x00, 0x00, 0x55, 0x40};
    outer.insert(outer.end(), kPassword.begin(), kPassword.end());
    const std::uint16_t L = static_cast<std::uint16_t>(2 + kPassword.size());
    outer[4] = static_cast<std::uint8_t>(L);
    const std::uint16_t crc = CalcCRC16(outer.data() + 6, L);
    outer.push_back(static_cast<std::uint8_t>(crc));
    outer.push_back(static_cast<std::uint8_t>(crc >> 8));
    const Collected c = Scan(outer);
    ASSERT_EQ(c.offsets.size(), 2u);
    EXPECT_EQ(c.commands, (Bytes{0x40, 0x25}));
}

TEST(FrameReceiver, TagAtTheVeryEnd) {
    // A tag in the last four bytes is offered with nothing after it; one in the last three
    // is never compared.
    Collected c = Scan(Bytes{0x01, 0x53, 0x4C, 0x4D, 0x58});
    ASSERT_EQ(c.offsets.size(), 1u);
    EXPECT_EQ(c.available[0], 0u);
    EXPECT_TRUE(c.commands.empty());
    c = Scan(Bytes{0x53, 0x4C, 0x4D});
    EXPECT_TRUE(c.offsets.empty());
    c = Scan(Bytes{});
    EXPECT_TRUE(c.offsets.empty());
}

TEST(FrameReceiver, SilenceCountdown) {
    std::uint8_t ticks = 0;
    EXPECT_FALSE(RxSilenceTick(ticks));
    RxCharReceived(ticks);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(RxSilenceTick(ticks));
    RxCharReceived(ticks);  // more characters restart the wait
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(RxSilenceTick(ticks));
    EXPECT_TRUE(RxSilenceTick(ticks));
    EXPECT_FALSE(RxSilenceTick(ticks));
    EXPECT_EQ(ticks, 0);
}

}  // namespace
