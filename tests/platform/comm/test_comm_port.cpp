#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <thread>

#include "CommTestSupport.h"
#include "platform/comm/Comm.h"

namespace {

using commtest::AsText;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

std::string ReadAll(comm::THandle h) {
    char buf[256];
    std::uint32_t got = 0;
    EXPECT_TRUE(comm::ReadPort(h, buf, sizeof buf, got));
    return std::string(buf, got);
}

TEST(CommOpen, NamesThatAreNotTtyDevicesFail) {
    EXPECT_EQ(comm::OpenPort("COM1"), comm::InvalidHandle);
    EXPECT_EQ(comm::LastError(), ENOENT);
    std::string dir = testsupport::TempDir("open-fail");
    EXPECT_EQ(comm::OpenPort(dir + "/absent"), comm::InvalidHandle);
    EXPECT_EQ(comm::LastError(), ENOENT);
    std::ofstream(dir + "/plain") << "not a port";
    EXPECT_EQ(comm::OpenPort(dir + "/plain"), comm::InvalidHandle);
    EXPECT_EQ(comm::LastError(), ENOTTY);
    EXPECT_EQ(comm::OpenPort("/dev/null"), comm::InvalidHandle);  // a device, but no tty
    EXPECT_EQ(comm::LastError(), ENOTTY);
}

TEST(CommOpen, SecondOpenIsRefusedAndCloseFreesThePort) {
    devsim::DevSim sim(commtest::FreshLink("open-twice"));
    ASSERT_TRUE(sim.Start());
    comm::THandle a = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(a, comm::InvalidHandle);
    EXPECT_EQ(comm::OpenPort(sim.LinkPath()), comm::InvalidHandle);
    EXPECT_EQ(comm::LastError(), EBUSY);
    EXPECT_TRUE(comm::ClosePort(a));
    EXPECT_FALSE(comm::ClosePort(a));  // a stale handle fails, it never reaches another port
    EXPECT_EQ(comm::LastError(), EBADF);
    comm::THandle b = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(b, comm::InvalidHandle);
    EXPECT_NE(a, b);
    comm::ClosePort(b);
}

TEST(CommState, LineSettingsReadBackFromThePty) {
    devsim::DevSim sim(commtest::FreshLink("state"));
    ASSERT_TRUE(sim.Start());
    EXPECT_FALSE(sim.Line().raw);  // the simulator leaves the pty as it was made
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    EXPECT_TRUE(sim.Line().raw);  // the open alone makes the line raw

    // A pty carries rate, stop bits and flow control; it forces eight bits without parity
    // whatever is asked (the kernel's pty driver): the rest is taken, and what was not is
    // reported.
    comm::TPortState s;
    s.BaudRate = 14400;  // no standard constant: goes through termios2
    s.ByteSize = 7;
    s.Parity = comm::ODDPARITY;
    s.StopBits = comm::TWOSTOPBITS;
    EXPECT_FALSE(comm::SetPortState(h, s));
    EXPECT_EQ(comm::LastError(), EINVAL);
    devsim::LineSettings line = sim.Line();
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.baud, 14400u);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_FALSE(line.rtsCts);
    EXPECT_FALSE(line.xonXoff);
    EXPECT_TRUE(line.raw);
    comm::TPortState back;
    ASSERT_TRUE(comm::GetPortState(h, back));
    EXPECT_EQ(back.BaudRate, 14400u);
    EXPECT_EQ(back.StopBits, comm::TWOSTOPBITS);
    EXPECT_EQ(back.ByteSize, line.dataBits);

    s.BaudRate = 19200;
    s.ByteSize = 8;
    s.Parity = comm::NOPARITY;
    s.StopBits = comm::ONESTOPBIT;
    s.fOutxCtsFlow = true;
    s.fOutX = s.fInX = true;
    s.XonChar = 0x11;
    s.XoffChar = 0x13;
    ASSERT_TRUE(comm::SetPortState(h, s));
    line = sim.Line();
    EXPECT_EQ(line.baud, 19200u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_TRUE(line.rtsCts);
    EXPECT_TRUE(line.xonXoff);
    ASSERT_TRUE(comm::GetPortState(h, back));
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_TRUE(back.fOutxCtsFlow);
    EXPECT_TRUE(back.fOutX);

    s.BaudRate = 256000;
    s.fOutxCtsFlow = s.fOutX = s.fInX = false;
    ASSERT_TRUE(comm::SetPortState(h, s));
    EXPECT_EQ(sim.Line().baud, 256000u);
    EXPECT_FALSE(sim.Line().rtsCts);

    s.ByteSize = 9;
    EXPECT_FALSE(comm::SetPortState(h, s));
    EXPECT_EQ(comm::LastError(), EINVAL);
    // A pty has no modem lines: they read as off and driving them is no failure.
    std::uint32_t lines = 1;
    EXPECT_TRUE(comm::GetModemStatus(h, lines));
    EXPECT_EQ(lines, 0u);
    EXPECT_TRUE(comm::EscapeFunction(h, comm::SETDTR));
    EXPECT_TRUE(comm::EscapeFunction(h, comm::CLRRTS));
    comm::ClosePort(h);
}

TEST(CommIo, BytesQueuedBeforeTheOpenAreNotRead) {
    devsim::DevSim sim(commtest::FreshLink("stale"));
    ASSERT_TRUE(sim.Start());
    sim.Send({'s', 't', 'a', 'l', 'e'});
    // The cooked pty echoes its input: once the echo is back, the bytes sit in the line.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return AsText(sim.Received()).find("stale") != std::string::npos; }));
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    EXPECT_EQ(ReadAll(h), "");
    sim.Send({'n', 'e', 'w'});
    std::string got;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        got += ReadAll(h);
        return got.size() >= 3;
    }));
    EXPECT_EQ(got, "new");
    comm::ClosePort(h);
}

TEST(CommIo, ReadTimeoutsFollowTheSettings) {
    devsim::DevSim sim(commtest::FreshLink("timeouts"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    char buf[16];
    std::uint32_t got = 99;
    // Read interval all-ones with zero totals: returns at once.
    comm::TTimeouts t{comm::MAXDWORD, 0, 0, 0, 0};
    ASSERT_TRUE(comm::SetTimeouts(h, t));
    ASSERT_TRUE(comm::ReadPort(h, buf, sizeof buf, got));
    EXPECT_EQ(got, 0u);
    // A total constant waits that long for nothing, on the real clock.
    t = {0, 0, 40, 0, 0};
    ASSERT_TRUE(comm::SetTimeouts(h, t));
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(comm::ReadPort(h, buf, sizeof buf, got));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(got, 0u);
    EXPECT_GE(ms, 35);
    // With the count reached it returns before the time runs out.
    sim.Send({'a', 'b', 'c', 'd'});
    t = {0, 0, 2000, 0, 0};
    ASSERT_TRUE(comm::SetTimeouts(h, t));
    ASSERT_TRUE(comm::ReadPort(h, buf, 4, got));
    EXPECT_EQ(std::string(buf, got), "abcd");
    comm::ClosePort(h);
}

TEST(CommWait, OneCharacterEventPerArrivalAndNoneWhileUnread) {
    devsim::DevSim sim(commtest::FreshLink("events"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    ASSERT_TRUE(comm::SetEventMask(h, comm::EV_RXCHAR | comm::EV_RXFLAG));
    std::uint32_t mask = 0;
    sim.Send({'x', 'y'});
    ASSERT_TRUE(comm::WaitEvent(h, mask, nullptr, 2000));
    EXPECT_EQ(mask, comm::EV_RXCHAR);
    // The bytes stay unread: the wait does not fire again for them.
    ASSERT_TRUE(comm::WaitEvent(h, mask, nullptr, 30));
    EXPECT_EQ(mask, 0u);
    comm::TQueueStatus st;
    std::uint32_t errors = 0;
    ASSERT_TRUE(comm::ClearError(h, errors, &st));
    EXPECT_EQ(st.InQueue, 2u);
    EXPECT_EQ(errors, 0u);
    // The event character (0 by default) raises its own event with the bytes.
    sim.Send({0});
    ASSERT_TRUE(comm::WaitEvent(h, mask, nullptr, 2000));
    EXPECT_EQ(mask, comm::EV_RXCHAR | comm::EV_RXFLAG);
    EXPECT_EQ(ReadAll(h), std::string("xy\0", 3));
    comm::ClosePort(h);
}

TEST(CommWait, StopAndMaskChangeEndTheWait) {
    devsim::DevSim sim(commtest::FreshLink("stop"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    comm::SetEventMask(h, comm::EV_RXCHAR);
    comm::TStopSignal stop;
    std::thread waiter([&] {
        std::uint32_t mask = 1;
        EXPECT_TRUE(comm::WaitEvent(h, mask, &stop));
        EXPECT_EQ(mask, 0u);
    });
    stop.Set();
    waiter.join();
    EXPECT_TRUE(stop.IsSet());
    stop.Reset();
    EXPECT_FALSE(stop.IsSet());
    std::atomic<bool> ended{false};
    std::thread waiter2([&] {
        std::uint32_t mask = 1;
        EXPECT_TRUE(comm::WaitEvent(h, mask, &stop));
        EXPECT_EQ(mask, 0u);
        ended = true;
    });
    // A change made before the wait began is no change to that wait, so the mask keeps
    // changing until the waiter is seen to end (bounded: the stop signal is the way out).
    bool ok = testsupport::WaitUntil([&] {
        comm::SetEventMask(h, comm::EV_RXCHAR);
        return ended.load();
    });
    if (!ok) stop.Set();
    waiter2.join();
    EXPECT_TRUE(ok) << "a changed mask did not end the wait";
    comm::ClosePort(h);
}

TEST(CommWait, WriteRaisesTransmitEmptyAndReachesTheDevice) {
    devsim::DevSim sim(commtest::FreshLink("write"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    comm::SetTimeouts(h, {comm::MAXDWORD, 0, 0, 100, 1000});
    comm::SetEventMask(h, comm::EV_TXEMPTY);
    std::uint32_t done = 0;
    ASSERT_TRUE(comm::WritePort(h, "hello", 5, done));
    EXPECT_EQ(done, 5u);
    std::uint32_t mask = 0;
    ASSERT_TRUE(comm::WaitEvent(h, mask, nullptr, 2000));
    EXPECT_EQ(mask, comm::EV_TXEMPTY);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return sim.ReceivedCount() >= 5; }));
    EXPECT_EQ(AsText(sim.Received()), "hello");
    comm::ClosePort(h);
}

TEST(CommWait, HangUpFailsOnceWithoutSpinning) {
    devsim::DevSim sim(commtest::FreshLink("hangup"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    comm::SetEventMask(h, comm::EV_RXCHAR | comm::EV_TXEMPTY | comm::EV_CTS | comm::EV_ERR);
    sim.Send({'z'});
    std::uint32_t mask = 0;
    ASSERT_TRUE(comm::WaitEvent(h, mask, nullptr, 2000));
    sim.Unplug();
    double cpu = CpuSeconds();
    EXPECT_FALSE(comm::WaitEvent(h, mask, nullptr, 2000));
    EXPECT_EQ(comm::LastError(), EIO);
    EXPECT_FALSE(comm::WaitEvent(h, mask, nullptr, 2000));  // at once, every time after
    EXPECT_LT(CpuSeconds() - cpu, 0.5);
    EXPECT_EQ(ReadAll(h), "z");  // what arrived before the hang-up is still there
    char c;
    std::uint32_t got = 0;
    EXPECT_FALSE(comm::ReadPort(h, &c, 1, got));
    EXPECT_EQ(comm::LastError(), EIO);
    EXPECT_FALSE(comm::WritePort(h, "x", 1, got));
    EXPECT_TRUE(comm::ClosePort(h));
}

TEST(CommIo, PurgeClearsTheQueue) {
    devsim::DevSim sim(commtest::FreshLink("purge"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    comm::SetEventMask(h, comm::EV_RXCHAR);
    sim.Send({'1', '2', '3'});
    std::uint32_t mask = 0;
    ASSERT_TRUE(comm::WaitEvent(h, mask, nullptr, 2000));
    ASSERT_TRUE(comm::Purge(h, comm::PURGE_RXCLEAR | comm::PURGE_TXCLEAR));
    EXPECT_EQ(ReadAll(h), "");
    comm::ClosePort(h);
}

}  // namespace

namespace {

TEST(CommIo, HeldOutputTimesOutAndAnAbortEndsTheWrite) {
    devsim::DevSim sim(commtest::FreshLink("held"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    // As if XOFF had been received: nothing leaves, and the write gives up after its time.
    ASSERT_TRUE(comm::EscapeFunction(h, comm::SETXOFF));
    ASSERT_TRUE(comm::SetTimeouts(h, {comm::MAXDWORD, 0, 0, 0, 80}));
    std::uint32_t done = 99;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(comm::WritePort(h, "abc", 3, done));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(done, 0u);
    EXPECT_GE(ms, 75);
    // Without a time-out the write waits until an abort from another thread ends it.
    ASSERT_TRUE(comm::SetTimeouts(h, {comm::MAXDWORD, 0, 0, 0, 0}));
    std::atomic<bool> ended{false};
    int error = 0;
    bool result = true;
    std::thread writer([&] {
        std::uint32_t n = 0;
        result = comm::WritePort(h, "abc", 3, n);
        error = comm::LastError();
        ended = true;
    });
    // An abort made before the write began does not concern it: repeat until it ends.
    bool ok = testsupport::WaitUntil([&] {
        comm::Purge(h, comm::PURGE_TXABORT);
        return ended.load();
    });
    if (!ok) comm::ClosePort(h);  // the way out, so the test ends either way
    writer.join();
    ASSERT_TRUE(ok) << "the abort did not end the write";
    EXPECT_FALSE(result);
    EXPECT_EQ(error, ECANCELED);
    EXPECT_EQ(sim.ReceivedCount(), 0u);
    // As if XON had been received: output flows again.
    ASSERT_TRUE(comm::EscapeFunction(h, comm::SETXON));
    ASSERT_TRUE(comm::WritePort(h, "xyz", 3, done));
    EXPECT_EQ(done, 3u);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return sim.ReceivedCount() >= 3; }));
    EXPECT_EQ(AsText(sim.Received()), "xyz");
    comm::ClosePort(h);
}

}  // namespace

namespace {

TEST(CommWait, StopEndsTheWaitEvenWithoutDescriptorsToWakeThrough) {
    devsim::DevSim sim(commtest::FreshLink("no-fds"));
    ASSERT_TRUE(sim.Start());
    comm::THandle h = comm::OpenPort(sim.LinkPath());
    ASSERT_NE(h, comm::InvalidHandle);
    ASSERT_TRUE(comm::SetEventMask(h, comm::EV_RXCHAR));
    std::atomic<bool> go{false}, ended{false};
    comm::TStopSignal* stopPtr = nullptr;
    std::thread waiter([&] {  // started first: a thread is made with descriptors to spare
        while (!go) std::this_thread::yield();
        std::uint32_t mask = 1;
        EXPECT_TRUE(comm::WaitEvent(h, mask, stopPtr));
        ended = true;
    });
    // Out of descriptors: the soft limit is lowered to the lowest free number.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    int lowest = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lowest, 0);
    close(lowest);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(lowest);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    auto stop = std::make_unique<comm::TStopSignal>();
    stopPtr = stop.get();
    go = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the waiter starts without one too
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_EQ(stop->Descriptor(), -1);
    stop->Set();
    EXPECT_TRUE(stop->IsSet());
    bool ok = testsupport::WaitUntil([&] { return ended.load(); });
    if (!ok) sim.Send({'x'});  // an arrival is the way out, so the test ends either way
    waiter.join();
    EXPECT_TRUE(ok) << "the stop signal did not end the wait";
    stop->Reset();
    EXPECT_FALSE(stop->IsSet());
    comm::ClosePort(h);
}

}  // namespace
