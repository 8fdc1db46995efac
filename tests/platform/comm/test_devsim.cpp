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
