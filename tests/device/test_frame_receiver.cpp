// Cutting what is read into frames, a frame cut between reads, and when the port is read again
// and cleared.
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
    std::vector<std::size_t> offsets;  // of the length field
    std::vector<std::size_t> available;
    std::vector<std::uint8_t> commands;  // of the frames that verify
};

// Offers what the bursts complete, one burst after the other.
Collected Scan(TFrameReceiver& r, std::initializer_list<Bytes> bursts) {
    Collected c;
    for (const Bytes& burst : bursts)
        r.Take(burst.data(), burst.size(), [&](const std::uint8_t* f, std::size_t avail) {
            c.offsets.push_back(burst.size() - avail);  // within the burst, when nothing was kept
            c.available.push_back(avail);
            TDeviceReply reply;
            if (VerifyReplyFrame(f, avail, reply)) c.commands.push_back(reply.Command);
        });
    return c;
}
Collected Scan(const Bytes& burst) {
    TFrameReceiver r;
    return Scan(r, {burst});
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

// A pause inside a reply: whatever the cut, each frame is taken once, whole; bytes that can
// never be a frame are not kept.
TEST(FrameReceiver, AFrameCutBetweenBurstsIsTakenWholeOnce) {
    const Bytes stream = Join({{0x53, 0x4C, 0x4D, 0x58, 0xFF, 0x7F}, kIdentify, {0xEE, 0x53}, kPassword});
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        TFrameReceiver r;
        const Collected c = Scan(r, {Bytes(stream.begin(), stream.begin() + cut), Bytes(stream.begin() + cut, stream.end())});
        EXPECT_EQ(c.commands, (Bytes{0x00, 0x25})) << "cut at " << cut;
        EXPECT_EQ(c.offsets.size(), 3u) << "cut at " << cut;
        EXPECT_EQ(r.Held(), 0u);
    }
    // An echoed request (marker 0xAA) and a length no reply has are not kept.
    const std::vector<std::uint8_t> request = BuildRequestFrame(0x22, {0});
    TFrameReceiver r;
    Scan(r, {Bytes(request.begin(), request.end() - 1)});
    EXPECT_EQ(r.Held(), 0u);
}

// The rest of a frame that comes after a second of quiet is not joined to its start.
TEST(FrameReceiver, AKeptFrameGoesAfterASecondOfQuiet) {
    TFrameReceiver r;
    Scan(r, {Bytes(kIdentify.begin(), kIdentify.end() - 1)});
    EXPECT_EQ(r.Held(), kIdentify.size() - 1);
    for (std::uint16_t t = 1; t < kHeldFrameTicks; ++t) r.Tick();
    EXPECT_EQ(r.TicksToWork(), 1u);
    EXPECT_EQ(r.Held(), kIdentify.size() - 1);
    r.Tick();
    EXPECT_EQ(r.Held(), 0u);
    EXPECT_TRUE(Scan(r, {Bytes{kIdentify.back()}, kPassword}).commands == Bytes{0x25});
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

TEST(FrameReceiver, TagAtTheVeryEndWaitsForTheNextBurst) {
    TFrameReceiver r;
    Collected c = Scan(r, {Bytes{0x01, 0x53, 0x4C, 0x4D, 0x58}});
    EXPECT_TRUE(c.offsets.empty());
    EXPECT_EQ(r.Held(), 4u);
    r.Reset();
    c = Scan(r, {Bytes{0x53, 0x4C, 0x4D}, Bytes{0x59}, Bytes{}});
    EXPECT_TRUE(c.offsets.empty());
    EXPECT_EQ(r.Held(), 0u);
}

// The ticks until the quiet read, or none; whether it clears the port's queue.
std::vector<TRxTick> Quiet(TFrameReceiver& r) {
    std::vector<TRxTick> ticks;
    for (int i = 0; i < kRxSilenceTicks; ++i) ticks.push_back(r.Tick());
    return ticks;
}

// Bytes that end in no whole frame are read once more after 5 quiet ticks; that read clears
// the queue only while no reply is awaited. What ends in a whole frame leaves nothing to do.
TEST(FrameReceiver, TheQuietReadClearsThePortOnlyWhenNoReplyIsAwaited) {
    TFrameReceiver r;
    Scan(r, {kIdentify});
    EXPECT_EQ(r.TicksToWork(), 0u);
    Scan(r, {{0x00, 0xEE}});
    EXPECT_EQ(r.TicksToWork(), 5u);
    r.Tick();
    Scan(r, {{0x00}});  // more bytes restart the wait
    std::vector<TRxTick> ticks = Quiet(r);
    EXPECT_FALSE(ticks[3].Read);
    EXPECT_TRUE(ticks[4].Read && ticks[4].Purge);
    EXPECT_EQ(r.TicksToWork(), 0u);

    // Two requests out: after one reply the other's first bytes may be on their way.
    r.RequestSent();
    r.RequestSent();
    Scan(r, {Join({kIdentify, {0xEE}})});
    ticks = Quiet(r);
    EXPECT_TRUE(ticks[4].Read && !ticks[4].Purge);
    Scan(r, {Join({kPassword, {0xEE}})});
    ticks = Quiet(r);
    EXPECT_TRUE(ticks[4].Read && ticks[4].Purge);
    // A new port awaits nothing of the old one's.
    r.RequestSent();
    r.Reset();
    Scan(r, {{0xEE}});
    EXPECT_TRUE(Quiet(r)[4].Purge);
}

}  // namespace
