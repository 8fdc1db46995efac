// The reader vendor's library stand-in against the simulated reader: listing, opening,
// the reports its callback gets on the library's thread, and removing the callback while a
// call runs.
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/hid/CFHidApi.h"
#include "platform/hid/HidWire.h"
#include "support/TestSupport.h"
#include "tools/readersim/HidReaderSim.h"

using testsupport::WaitUntil;

namespace {

struct Report {
    std::int32_t kind;
    std::int32_t count;
    std::vector<std::uint8_t> bytes;  // the records the count says, read by their L bytes
    std::thread::id thread;
};

std::mutex g_Lock;
std::vector<Report> g_Reports;

void Record(std::int32_t kind, std::int32_t count, std::uint8_t* data) {
    Report r{kind, count, {}, std::this_thread::get_id()};
    if (kind == 2) {
        std::size_t at = 0;
        for (std::int32_t i = 0; i < count; ++i) at += data[at] + 1u;
        r.bytes.assign(data, data + at);
    }
    std::lock_guard<std::mutex> g(g_Lock);
    g_Reports.push_back(std::move(r));
}

std::size_t ReportCount() {
    std::lock_guard<std::mutex> g(g_Lock);
    return g_Reports.size();
}

TTid Tid(std::uint8_t first) {
    TTid t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<std::uint8_t>(first + i);
    return t;
}

class HidReader : public ::testing::Test {
protected:
    void SetUp() override {
        std::lock_guard<std::mutex> g(g_Lock);
        g_Reports.clear();
        ASSERT_TRUE(sim.Start());
        setenv("ZENTOR_HID_READER", path.c_str(), 1);
    }
    void TearDown() override {
        CFHid_SetCallback(nullptr);
        CFHid_CloseDevice();
        unsetenv("ZENTOR_HID_READER");
    }
    std::string path = testsupport::TempDir("hid") + "/reader.sock";
    readersim::THidReaderSim sim{path};
};

}  // namespace

TEST(HidReaderAbsent, ListsNoneAndOpensNothing) {
    unsetenv("ZENTOR_HID_READER");
    EXPECT_EQ(CFHid_GetUsbCount(), 0);
    char buf[512];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(CFHid_GetUsbInfo(0, buf), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(CFHid_OpenDevice(0), 0);
    EXPECT_EQ(CFHid_SetDeviceOneParam(0, 10, 1), 0);
    // A path that is not a socket lists nothing either.
    std::string file = testsupport::TempDir("hid-absent") + "/plain";
    FILE* f = fopen(file.c_str(), "w");
    fclose(f);
    setenv("ZENTOR_HID_READER", file.c_str(), 1);
    EXPECT_EQ(CFHid_GetUsbCount(), 0);
    EXPECT_EQ(CFHid_OpenDevice(0), 0);
    unsetenv("ZENTOR_HID_READER");
    EXPECT_EQ(CFHid_GetUsbInfo(0, nullptr), 0);
}

TEST_F(HidReader, ListsTheSimulatedReaderAndPassesItsSettings) {
    ASSERT_EQ(CFHid_GetUsbCount(), 1);
    char buf[512];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_NE(CFHid_GetUsbInfo(0, buf), 0);
    EXPECT_EQ(std::string(buf), "USB RFID desk reader (" + path + ")");
    EXPECT_EQ(CFHid_GetUsbInfo(1, buf), 0);
    EXPECT_EQ(buf[0], '\0');

    EXPECT_EQ(CFHid_OpenDevice(1), 0);
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));
    for (int i = 0; i < 3; ++i) EXPECT_NE(CFHid_SetDeviceOneParam(0, 10, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.Params().size() == 3; }));
    for (const auto& p : sim.Params()) EXPECT_EQ(p, (std::array<std::int32_t, 3>{0, 10, 1}));

    CFHid_CloseDevice();
    ASSERT_TRUE(WaitUntil([&] { return !sim.Connected(); }));
    EXPECT_EQ(CFHid_SetDeviceOneParam(0, 10, 1), 0);
    // Opening again is a fresh open of the reader.
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected() && sim.Opens() == 2; }));
}

TEST_F(HidReader, ReportsReachTheCallbackOnTheLibrarysThread) {
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    CFHid_SetCallback(Record);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));

    ASSERT_TRUE(sim.SendTags({Tid(0xE2), Tid(0x10)}));
    ASSERT_TRUE(WaitUntil([] { return ReportCount() == 1; }));
    ASSERT_TRUE(sim.SendReport(1, 0, {}));
    ASSERT_TRUE(sim.SendReport(2, 0, {}));
    ASSERT_TRUE(WaitUntil([] { return ReportCount() == 3; }));

    std::lock_guard<std::mutex> g(g_Lock);
    const Report& r = g_Reports[0];
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.count, 2);
    EXPECT_NE(r.thread, std::this_thread::get_id());
    // Two records of L = 17: the second starts at offset 18, its tag bytes at 21.
    ASSERT_EQ(r.bytes.size(), 36u);
    EXPECT_EQ(r.bytes[0], 17);
    EXPECT_EQ(r.bytes[18], 17);
    EXPECT_EQ(r.bytes[3], 0xE2);
    EXPECT_EQ(r.bytes[14], 0xE2 + 11);
    EXPECT_EQ(r.bytes[21], 0x10);
    EXPECT_EQ(r.bytes[32], 0x10 + 11);
    EXPECT_EQ(g_Reports[1].kind, 1);
    EXPECT_EQ(g_Reports[2].kind, 2);
    EXPECT_EQ(g_Reports[2].count, 0);
}

TEST_F(HidReader, ReportsWhoseRecordsDoNotFitAreNotPassedOn) {
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    CFHid_SetCallback(Record);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));
    auto one = readersim::HidTagRecord(Tid(1));
    ASSERT_TRUE(sim.SendReport(2, 2, one));                        // count says two, one is there
    ASSERT_TRUE(sim.SendReport(2, 1, {5, 0, 0, 1, 2, 3}));          // too short for a tag
    ASSERT_TRUE(sim.SendReport(2, -1, one));
    ASSERT_TRUE(sim.SendReport(2, 1, one));                         // the stream is still in step
    ASSERT_TRUE(WaitUntil([] { return ReportCount() == 1; }));
    testsupport::Pump(30);
    std::lock_guard<std::mutex> g(g_Lock);
    ASSERT_EQ(g_Reports.size(), 1u);
    EXPECT_EQ(g_Reports[0].bytes, one);
}

// The loss comes before the window has set its callback (it opens the reader first): it is
// reported when the callback comes.
TEST_F(HidReader, AStreamOutOfStepDropsTheReaderAndReportsItLost) {
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));
    ASSERT_TRUE(sim.SendRaw({'X', 0, 0, 0, 0}));
    ASSERT_TRUE(WaitUntil([&] { return !sim.Connected(); }));
    testsupport::Pump(30);
    CFHid_SetCallback(Record);
    ASSERT_TRUE(WaitUntil([] { return ReportCount() == 1; }));
    std::lock_guard<std::mutex> g(g_Lock);
    EXPECT_EQ(g_Reports[0].kind, CFHID_READER_LOST);
    EXPECT_EQ(g_Reports[0].count, 0);
}

namespace {
// Whether anything arrived at a socket, without waiting.
bool HasInput(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}
}  // namespace

TEST_F(HidReader, AReaderThatGoesAwayIsReportedOnceAndItsDescriptorIsNotReused) {
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    CFHid_SetCallback(Record);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));
    sim.Unplug();
    ASSERT_TRUE(WaitUntil([] { return ReportCount() == 1; }));
    // Sockets of others opened now take the lowest free numbers: a descriptor the library
    // had let go of would be among them.
    std::vector<std::array<int, 2>> others(8);
    for (auto& pair : others) ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()), 0);
    EXPECT_EQ(CFHid_SetDeviceOneParam(0, 10, 1), 0);
    CFHid_SetCallback(nullptr);
    CFHid_CloseDevice();
    for (auto& pair : others) {
        EXPECT_FALSE(HasInput(pair[0]));
        EXPECT_FALSE(HasInput(pair[1]));
        // Neither end was shut down by the library.
        ASSERT_EQ(::send(pair[0], "x", 1, MSG_NOSIGNAL), 1);
        EXPECT_TRUE(HasInput(pair[1]));
        ::close(pair[0]);
        ::close(pair[1]);
    }
    std::lock_guard<std::mutex> g(g_Lock);
    ASSERT_EQ(g_Reports.size(), 1u);
    EXPECT_EQ(g_Reports[0].kind, CFHID_READER_LOST);
}

namespace {
std::mutex g_GateLock;
std::condition_variable g_Gate;
bool g_Entered = false;
bool g_Release = false;
std::atomic<int> g_Calls{0};

void Blocking(std::int32_t, std::int32_t, std::uint8_t*) {
    std::unique_lock<std::mutex> g(g_GateLock);
    g_Entered = true;
    g_Gate.notify_all();
    g_Gate.wait(g, [] { return g_Release; });
    ++g_Calls;
}
}  // namespace

TEST_F(HidReader, RemovingTheCallbackWaitsForARunningCall) {
    g_Entered = g_Release = false;
    g_Calls = 0;
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    CFHid_SetCallback(Blocking);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));
    ASSERT_TRUE(sim.SendTags({Tid(7)}));
    ASSERT_TRUE(WaitUntil([] {
        std::lock_guard<std::mutex> g(g_GateLock);
        return g_Entered;
    }));
    std::atomic<bool> removed{false};
    std::thread remover([&] {
        CFHid_SetCallback(nullptr);
        removed = true;
    });
    testsupport::Pump(50);
    EXPECT_FALSE(removed) << "returned while the callback still ran";
    {
        std::lock_guard<std::mutex> g(g_GateLock);
        g_Release = true;
    }
    g_Gate.notify_all();
    ASSERT_TRUE(WaitUntil([&] { return removed.load(); }));
    remover.join();
    EXPECT_EQ(g_Calls, 1);
    // Removed: later reports reach nobody.
    ASSERT_TRUE(sim.SendTags({Tid(8)}));
    testsupport::Pump(30);
    EXPECT_EQ(g_Calls, 1);
}

namespace {
std::atomic<int> g_SelfClosed{0};
void ClosesItself(std::int32_t, std::int32_t, std::uint8_t*) {
    CFHid_SetCallback(nullptr);
    CFHid_CloseDevice();
    ++g_SelfClosed;
}
}  // namespace

TEST_F(HidReader, TheCallbackMayRemoveItselfAndClose) {
    g_SelfClosed = 0;
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    CFHid_SetCallback(ClosesItself);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected(); }));
    ASSERT_TRUE(sim.SendTags({Tid(9)}));
    ASSERT_TRUE(WaitUntil([] { return g_SelfClosed == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return !sim.Connected(); }));
    ASSERT_NE(CFHid_OpenDevice(0), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.Connected() && sim.Opens() == 2; }));
}

TEST(HidWire, MessagesLaidOutByHand) {
    hidwire::TReport r{2, 1, {0xAA, 0xBB}};
    EXPECT_EQ(hidwire::EncodeReport(r),
              (std::vector<std::uint8_t>{'R', 10, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0xAA, 0xBB}));
    EXPECT_EQ(hidwire::EncodeParam(0, 10, -1),
              (std::vector<std::uint8_t>{'P', 12, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    const std::uint8_t big[] = {'R', 0x01, 0x00, 0x01, 0x00};  // 65537 bytes: too long
    EXPECT_FALSE(hidwire::PayloadLength(big));
    auto tag = readersim::HidTagRecord(Tid(0));
    ASSERT_EQ(tag.size(), 18u);
    EXPECT_EQ(tag[0], 17);
    EXPECT_EQ(tag[3], 0);
    EXPECT_EQ(tag[14], 11);
}
