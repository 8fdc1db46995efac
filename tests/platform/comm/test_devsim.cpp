// The simulated device itself: frames it builds and finds, and its life cycle.
#include <gtest/gtest.h>

#include <thread>

#include "CommTestSupport.h"
#include "platform/comm/Comm.h"

namespace {

TEST(DevSim, UnplugAndReplugFromTwoThreadsAtOnce) {
    devsim::DevSim sim(commtest::FreshLink("devsim-threads"));
    ASSERT_TRUE(sim.Start());
    auto cycle = [&] {
        for (int i = 0; i < 40; ++i) {
            sim.Unplug();
            sim.Replug();
        }
    };
    std::thread a(cycle), b(cycle);
    a.join();
    b.join();
    ASSERT_TRUE(sim.Running());
    sim.SetReply(0x00, {0x01});
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    devsim::Bytes request = devsim::BuildRequest(0x00, {});
    std::uint32_t done = 0;
    ASSERT_TRUE(comm::SetTimeouts(h, {comm::MAXDWORD, 0, 0, 100, 1000}));
    ASSERT_TRUE(comm::WritePort(h, request.data(), static_cast<std::uint32_t>(request.size()), done));
    devsim::Bytes got;
    const devsim::Bytes reply = devsim::BuildReply(0x00, {0x01});
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        std::uint8_t buf[64];
        std::uint32_t n = 0;
        comm::ReadPort(h, buf, sizeof buf, n);
        got.insert(got.end(), buf, buf + n);
        return got.size() >= reply.size();
    }));
    EXPECT_EQ(got, reply);
    comm::ClosePort(h);
}

}  // namespace

namespace {

using devsim::Bytes;

// Identify request, by hand: "SLMX", length 2, marker 0xAA, command 0, CRC 0x107F low first.
const Bytes kIdentify = {'S', 'L', 'M', 'X', 0x02, 0x00, 0xAA, 0x00, 0x7F, 0x10};

std::vector<devsim::Frame> FeedAll(devsim::FrameScanner& s, const Bytes& b) {
    return s.Feed(b.data(), b.size());
}

TEST(DevFrame, BuildsFramesByteExact) {
    EXPECT_EQ(devsim::BuildRequest(0x00, {}), kIdentify);
    EXPECT_EQ(devsim::Crc16Modbus(nullptr, 0), 0xFFFF);
    const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(devsim::Crc16Modbus(check, 9), 0x4B37);  // the CRC's check value
    // A reply never gets the padding byte, even at a multiple of 8 bytes.
    Bytes reply = devsim::BuildReply(0x22, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(reply.size(), 16u);
    EXPECT_EQ(devsim::BuildRequest(0x22, {1, 2, 3, 4, 5, 6}).size(), 17u);
}

TEST(DevFrame, ScannerFindsRequestsAmidNoise) {
    devsim::FrameScanner s;
    // Byte by byte: the frame appears with its last byte.
    for (std::size_t i = 0; i + 1 < kIdentify.size(); ++i) EXPECT_TRUE(s.Feed(&kIdentify[i], 1).empty());
    auto f = s.Feed(&kIdentify.back(), 1);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].command, 0x00);
    EXPECT_TRUE(f[0].data.empty());
    // Noise, a reply (its own echo), a frame with a bad CRC, then a good request.
    Bytes stream = {'x', 'S', 'L', 'M'};
    Bytes reply = devsim::BuildReply(0x00, {1});
    stream.insert(stream.end(), reply.begin(), reply.end());
    Bytes bad = kIdentify;
    bad[8] ^= 0xFF;
    stream.insert(stream.end(), bad.begin(), bad.end());
    Bytes status = devsim::BuildRequest(0x22, {0});
    stream.insert(stream.end(), status.begin(), status.end());
    f = FeedAll(s, stream);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].command, 0x22);
    EXPECT_EQ(f[0].data, Bytes{0});
}

TEST(DevFrame, AFalseTagDoesNotHoldBackTheRequestsAfterIt) {
    devsim::FrameScanner s;
    // "SLMX" with a length of 4096 that never comes, then a whole request.
    Bytes stream = {'S', 'L', 'M', 'X', 0x00, 0x10, 0xAA, 0x00};
    stream.insert(stream.end(), kIdentify.begin(), kIdentify.end());
    auto f = FeedAll(s, stream);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].command, 0x00);
    // A request cut short still waits for its rest.
    Bytes status = devsim::BuildRequest(0x22, {0});
    EXPECT_TRUE(s.Feed(status.data(), 7).empty());
    f = s.Feed(status.data() + 7, status.size() - 7);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].command, 0x22);
}

}  // namespace
