// Port events through the event thread, on a real pty served by the simulated device.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "SerialTestSupport.h"
#include "platform/comm/DeviceNotices.h"
#include "platform/sys/GuiThread.h"

namespace {

using serialtest::AsText;
using serialtest::Rig;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Lets real I/O reach the event thread without serving the GUI thread.
void LetIoSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

struct ExceptionCounter {
    int count = 0;
    ExceptionCounter() {
        sys::SetExceptionHandler([this](std::exception_ptr) { ++count; });
    }
    ~ExceptionCounter() { sys::SetExceptionHandler(nullptr); }
};

TEST(SerialEvents, OneCharacterEventPerArrivalNothingMoreWhileUnread) {
    Rig rig("burst");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    std::vector<int> counts;
    port.OnRxChar = [&](TObject* sender, int count) {
        EXPECT_EQ(sender, &port);
        counts.push_back(count);  // announces only; the bytes stay unread
    };
    port.Open();
    const std::string pieces[] = {"SLMX", "\x02\x00", "\x55\x00", "\x7f\x10"};
    int total = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        rig.sim.Send(devsim::Bytes(pieces[i].begin(), pieces[i].end()));
        total += static_cast<int>(pieces[i].size());
        ASSERT_TRUE(testsupport::WaitUntil([&] { return counts.size() == i + 1; })) << i;
        testsupport::Pump(20);  // the pieces are 20 ms apart; no further event meanwhile
        ASSERT_EQ(counts.size(), i + 1);
        EXPECT_EQ(counts.back(), total);  // the count is what waits, all unread
    }
    char buf[64];
    EXPECT_EQ(port.Read(buf, 64), total);
    port.Close();
}

// 400 bytes at 19200 baud come in some 200 pieces over 200 ms: a reader that waits for all
// of them hears of them a few times, not once a piece, and last when all are in.
TEST(SerialEvents, AReceiveThresholdGathersASlowLinesPieces) {
    Rig rig("threshold");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    std::vector<int> counts;
    port.OnRxChar = [&](TObject*, int count) { counts.push_back(count); };
    port.Open();
    port.SetReceiveThreshold(400);
    rig.sim.SetPacing(19200);
    rig.sim.Send(devsim::Bytes(400, 'x'));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !counts.empty() && counts.back() == 400; }));
    EXPECT_LE(counts.size(), 4u);
    port.Close();
}

TEST(SerialEvents, BytesQueuedBeforeTheOpenAreNotRead) {
    Rig rig("stale");
    ASSERT_TRUE(rig.started);
    rig.sim.Send({'o', 'l', 'd'});
    // The pty is still cooked and echoes: once the echo is back, the bytes wait in the line.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return AsText(rig.sim.Received()).find("old") != std::string::npos; }));
    TSerialPort& port = *rig.port;
    std::string got;
    port.OnRxChar = [&](TObject*, int count) {
        std::string s;
        port.ReadStr(s, count);
        got += s;
    };
    port.Open();
    testsupport::Pump(30);
    EXPECT_EQ(got, "");
    rig.sim.Send({'n', 'e', 'w'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return got.size() >= 3; }));
    EXPECT_EQ(got, "new");
    port.Close();
}

TEST(SerialEvents, AfterCloseUnreadBytesAreGone) {
    Rig rig("reopen");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    int events = 0;
    port.OnRxChar = [&](TObject*, int) { ++events; };
    port.Open();
    rig.sim.Send({'a', 'b'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return events == 1; }));
    port.Close();
    port.Open();
    EXPECT_EQ(port.InputCount(), 0);
    port.Close();
}

TEST(SerialEvents, RequestAndScriptedReplyByteExact) {
    Rig rig("exchange");
    ASSERT_TRUE(rig.started);
    rig.sim.SetPacing(19200);
    rig.sim.SetReply(0x00, {0x01, 0x0B});
    TSerialPort& port = *rig.port;
    devsim::Bytes got;
    port.OnRxChar = [&](TObject*, int count) {
        std::vector<std::uint8_t> b(count);
        b.resize(port.Read(b.data(), count));
        got.insert(got.end(), b.begin(), b.end());
    };
    port.Open();
    // Identify request: "SLMX", length 2, marker 0xAA, command 0x00, CRC 0x107F low first.
    const devsim::Bytes request = {'S', 'L', 'M', 'X', 0x02, 0x00, 0xAA, 0x00, 0x7F, 0x10};
    EXPECT_EQ(devsim::BuildRequest(0x00, {}), request);
    EXPECT_EQ(port.Write(request.data(), static_cast<int>(request.size())), 10);
    const devsim::Bytes reply = {'S', 'L', 'M', 'X', 0x04, 0x00, 0x55, 0x00, 0x01, 0x0B, 0x51, 0xBF};
    ASSERT_TRUE(testsupport::WaitUntil([&] { return got.size() >= reply.size(); }));
    EXPECT_EQ(got, reply);
    ASSERT_EQ(rig.sim.FrameCount(), 1u);
    EXPECT_EQ(rig.sim.Frames()[0].command, 0x00);
    EXPECT_EQ(rig.sim.Received(), request);

    // A request of 16 bytes gets its padding byte; the simulator still finds it.
    const devsim::Bytes padded = {'S', 'L', 'M', 'X', 0x08, 0x00, 0xAA, 0x21, 1, 2, 3, 4, 5, 6, 0x41, 0xC8, 0x00};
    EXPECT_EQ(devsim::BuildRequest(0x21, {1, 2, 3, 4, 5, 6}), padded);
    port.Write(padded.data(), static_cast<int>(padded.size()));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return rig.sim.FrameCount() == 2; }));
    EXPECT_EQ(rig.sim.Frames()[1].data, (devsim::Bytes{1, 2, 3, 4, 5, 6}));
    port.Close();
}

TEST(SerialEvents, RawBytesEventPassesWhatWasRead) {
    Rig rig("rxbuf");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    TSerialLink link;
    std::string viaLink, viaPort;
    int rxChar = 0;
    link.OnRxBuf = [&](TObject*, const void* b, int n) { viaLink.append(static_cast<const char*>(b), n); };
    port.OnRxBuf = [&](TObject*, const void* b, int n) { viaPort.append(static_cast<const char*>(b), n); };
    port.OnRxChar = [&](TObject*, int) { ++rxChar; };
    port.RegisterLink(&link);
    EXPECT_FALSE(port.GetTriggersOnRxChar());
    try {
        port.SetTriggersOnRxChar(true);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 22);
    }
    port.Open();
    rig.sim.Send({'h', 'e', 'l', 'l', 'o'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return viaLink.size() >= 5; }));
    EXPECT_EQ(viaLink, "hello");
    EXPECT_EQ(viaPort, "hello");
    EXPECT_EQ(rxChar, 0);  // the bytes were taken, so no character event
    port.Close();
    port.UnRegisterLink(&link);
}

TEST(SerialEvents, CloseFromInsideTheCharacterHandler) {
    for (TSyncMethod sync : {smThreadSync, smWindowSync, smNone}) {
        Rig rig("close-inside", sync);
        ASSERT_TRUE(rig.started);
        TSerialPort& port = *rig.port;
        std::atomic<int> calls{0};
        port.OnRxChar = [&](TObject*, int) {
            ++calls;
            port.Close();
        };
        port.Open();
        rig.sim.Send({'x'});
        ASSERT_TRUE(testsupport::WaitUntil([&] { return calls == 1 && !port.GetConnected(); })) << sync;
        testsupport::Pump(20);
        EXPECT_EQ(calls, 1);
        // The port was really released: it opens again and works.
        int events = 0;
        port.OnRxChar = [&](TObject*, int) { ++events; };
        port.Open();
        rig.sim.Send({'y'});
        ASSERT_TRUE(testsupport::WaitUntil([&] { return events == 1; })) << sync;
        port.Close();
    }
}

TEST(SerialEvents, PortFreedInsideItsOwnHandler) {
    for (TSyncMethod sync : {smThreadSync, smWindowSync, smNone}) {
        Rig rig("free-inside", sync);
        ASSERT_TRUE(rig.started);
        TSerialPort* port = rig.port.release();
        std::atomic<bool> freed{false};
        port->OnRxChar = [&](TObject*, int) {
            delete port;
            freed = true;
        };
        port->Open();
        rig.sim.Send({'x'});
        ASSERT_TRUE(testsupport::WaitUntil([&] { return freed.load(); })) << sync;
        testsupport::Pump(20);
    }
}

TEST(SerialEvents, CloseWhileAHandOverWaitsDoesNotBlock) {
    Rig rig("pending");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    int calls = 0;
    port.OnRxChar = [&](TObject*, int) { ++calls; };
    port.Open();
    rig.sim.Send({'p'});
    LetIoSettle();  // the event thread now waits in its hand-over, unserved
    port.Close();   // serves it while waiting for the thread; the handler is not called
    EXPECT_FALSE(port.GetConnected());
    EXPECT_EQ(calls, 0);
}

TEST(SerialEvents, LateWindowMessageForAClosedPortCallsNothing) {
    Rig rig("late", smWindowSync);
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    int calls = 0;
    port.OnRxChar = [&](TObject*, int) { ++calls; };
    port.Open();
    rig.sim.Send({'l'});
    LetIoSettle();  // the message is queued for the GUI thread
    port.Close();
    testsupport::Pump(20);
    EXPECT_EQ(calls, 0);
    // Open again: messages reach the handlers on the GUI thread.
    port.Open();
    rig.sim.Send({'m'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return calls == 1; }));
    port.Close();
}

TEST(SerialEvents, HandlerExceptionGoesToTheGuiHandlerAndEndsTheThread) {
    ExceptionCounter shown;
    Rig rig("throws");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    int calls = 0;
    port.OnRxChar = [&](TObject*, int) {
        ++calls;
        throw std::runtime_error("handler");
    };
    port.Open();
    rig.sim.Send({'1'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return shown.count == 1; }));
    rig.sim.Send({'2'});
    testsupport::Pump(50);
    EXPECT_EQ(calls, 1);  // no further event until the port is opened again
    port.Close();
    port.Open();
    rig.sim.Send({'3'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return calls == 2; }));
    port.OnRxChar = nullptr;
    port.Close();
    EXPECT_EQ(shown.count, 2);
}

TEST(SerialEvents, HangUpEndsInOneRemovalWithoutSpinning) {
    Rig rig("hangup");
    ASSERT_TRUE(rig.started);
    auto notices = comm::CreateSystemNoticeSource({{rig.sim.LinkPath(), "Sim"}}, false);
    int removals = 0, arrivals = 0;
    ASSERT_TRUE(notices->Start([&](const comm::TDeviceChange& c) {
        (c.Kind == comm::TDeviceChangeKind::Removal ? removals : arrivals)++;
    }));
    TSerialPort& port = *rig.port;
    int rxChar = 0;
    port.OnRxChar = [&](TObject*, int) { ++rxChar; };
    port.Open();
    rig.sim.Unplug();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return removals == 1; }));
    double cpu = CpuSeconds();
    testsupport::Pump(200);
    EXPECT_LT(CpuSeconds() - cpu, 0.1);  // no thread spins on the dead line
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(arrivals, 0);
    EXPECT_EQ(rxChar, 0);
    // Writing to the gone device fails with code 2; closing still works.
    try {
        port.WriteStr("x");
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 2);
    }
    port.Close();
    EXPECT_FALSE(port.GetConnected());
    notices->Stop();
}

}  // namespace

namespace {

TEST(SerialEvents, RawBytesEventNeverPassesMoreThanWasRead) {
    Rig rig("rxbuf-count");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetDiscardNull(true);
    port.SetTriggersOnRxChar(false);
    std::vector<int> counts;
    std::string bytes;
    port.OnRxBuf = [&](TObject*, const void* b, int n) {
        counts.push_back(n);
        bytes.append(static_cast<const char*>(b), n);
    };
    port.Open();
    rig.sim.Send({'a', 'b'});
    LetIoSettle();  // the event thread holds "ab" and waits in its hand-over
    rig.sim.Send({0, 0, 0});
    LetIoSettle();  // three NULs wait in the line: counted as waiting, dropped when read
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !counts.empty(); }));
    testsupport::Pump(20);
    EXPECT_EQ(counts, std::vector<int>{2});
    EXPECT_EQ(bytes, "ab");
    port.Close();
}

TEST(SerialOpen, HandleWhoseCloseFailsIsNotKept) {
    Rig rig("close-fails");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.Open();
    // Someone closed the handle under the component: its own close of it now fails.
    ASSERT_TRUE(comm::ClosePort(port.GetHandle()));
    port.Close();
    EXPECT_EQ(port.GetHandle(), comm::InvalidHandle);
    EXPECT_FALSE(port.GetConnected());
    port.Open();
    EXPECT_TRUE(port.GetConnected());
    EXPECT_NE(port.GetHandle(), comm::InvalidHandle);
    port.Close();
}

}  // namespace

namespace {

// Waits on real I/O while the GUI thread stays busy (serves nothing).
bool WaitWithoutServing(const std::function<bool()>& pred, int timeoutMs = 3000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(SerialEvents, WindowMessagesDoNotPileUpWhileTheGuiThreadIsBusy) {
    Rig rig("window-busy", smWindowSync);
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    std::vector<int> counts;
    port.OnRxChar = [&](TObject*, int count) { counts.push_back(count); };  // reads nothing
    port.Open();
    // Eight arrivals while the GUI thread is busy: the event thread sends its first message
    // and waits for the window procedure to take it; the rest wait in the line.
    for (int i = 0; i < 8; ++i) {
        rig.sim.Send({static_cast<std::uint8_t>('a' + i)});
        ASSERT_TRUE(WaitWithoutServing([&] { return port.InputCount() == i + 1; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the thread may take it
    }
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !counts.empty() && counts.back() == 8; }));
    testsupport::Pump(50);
    // The first message, then one for everything that arrived meanwhile; a message per
    // arrival would be eight.
    EXPECT_LE(counts.size(), 2u);
    EXPECT_EQ(counts.back(), 8);
    port.Close();
}

}  // namespace

namespace {

TEST(SerialEvents, TheThreadWaitsOnlyForTheChosenEvents) {
    Rig rig("mask");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.Open();  // the device link's events: character and event character
    std::uint32_t mask = 0;
    ASSERT_TRUE(comm::GetEventMask(port.GetHandle(), mask));
    EXPECT_EQ(mask, 0x0003u);
    port.Close();

    // No events: no thread, so no character event however many bytes arrive.
    port.SetEvents({});
    int rxChar = 0;
    port.OnRxChar = [&](TObject*, int) { ++rxChar; };
    port.Open();
    EXPECT_FALSE(port.GetThreadCreated());
    ASSERT_TRUE(comm::GetEventMask(port.GetHandle(), mask));
    EXPECT_EQ(mask, 0u);
    rig.sim.Send({'q', 'r'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return port.InputCount() == 2; }));
    testsupport::Pump(20);
    EXPECT_EQ(rxChar, 0);
    port.Close();
}

TEST(SerialEvents, EventCharacterFollowsTheCharacterEventInOnePass) {
    Rig rig("rxflag");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEventChar(u'\n');
    std::vector<std::string> fired;
    TSerialLink link;
    link.OnRxFlag = [&](TObject*) { fired.push_back("link-flag"); };
    link.OnRx = [&](TObject*, bool on) { fired.push_back(on ? "link-rx+" : "link-rx-"); };
    port.RegisterLink(&link);
    port.OnRxChar = [&](TObject*, int count) { fired.push_back("char " + std::to_string(count)); };
    port.OnRxFlag = [&](TObject*) { fired.push_back("flag"); };
    port.Open();
    rig.sim.Send({'o', 'k', '\n'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return fired.size() >= 4; }));
    testsupport::Pump(20);
    EXPECT_EQ(fired, (std::vector<std::string>{"link-rx+", "char 3", "link-flag", "flag"}));
    port.Close();
    port.UnRegisterLink(&link);
}

TEST(SerialEvents, TransmitEmptyAfterAWrite) {
    Rig rig("txempty");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEvents({evTxEmpty});
    std::vector<std::string> fired;
    TSerialLink link;
    link.OnTx = [&](TObject*, bool on) { fired.push_back(on ? "link-tx+" : "link-tx-"); };
    link.OnTxEmpty = [&](TObject*) { fired.push_back("link-empty"); };
    link.OnTxBuf = [&](TObject*, const void*, int n) { fired.push_back("link-buf " + std::to_string(n)); };
    port.RegisterLink(&link);
    port.OnTxEmpty = [&](TObject*) { fired.push_back("empty"); };
    port.Open();
    EXPECT_EQ(port.WriteStr("ping"), 4);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return fired.size() >= 5; }));
    testsupport::Pump(20);
    EXPECT_EQ(fired, (std::vector<std::string>{"link-tx+", "link-buf 4", "link-tx-", "link-empty", "empty"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return rig.sim.ReceivedCount() >= 4; }));
    EXPECT_EQ(AsText(rig.sim.Received()), "ping");
    port.Close();
    port.UnRegisterLink(&link);
}

}  // namespace

namespace {

TEST(SerialEvents, WindowHandOverShowsAHandlerExceptionAndGoesOn) {
    ExceptionCounter shown;
    Rig rig("throws-window", smWindowSync);
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    int calls = 0;
    port.OnRxChar = [&](TObject*, int count) {
        ++calls;
        std::vector<char> b(count);
        port.Read(b.data(), count);
        throw std::runtime_error("handler");
    };
    port.Open();
    rig.sim.Send({'1'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return calls == 1 && shown.count == 1; }));
    rig.sim.Send({'2'});  // the thread went on
    ASSERT_TRUE(testsupport::WaitUntil([&] { return calls == 2 && shown.count == 2; }));
    port.OnRxChar = nullptr;
    port.Close();
}

}  // namespace

namespace {

TEST(SerialEvents, ABlockingReadEndsWhenTheEventThreadQueuedItsByte) {
    Rig rig("read-wake");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEvents({evRxChar});
    port.GetTimeouts()->SetReadInterval(0);  // no time-out: the read waits for its byte
    port.Open();
    const comm::THandle handle = port.GetHandle();
    // The event thread and the read both watch the line; whichever takes a byte, the read
    // ends. Each round sends one byte once the read is under way (the short pause only lets
    // it get to its wait); a read still waiting after two seconds slept through its byte and
    // is aborted, so the test ends either way.
    constexpr int kRounds = 60;
    std::atomic<int> started{0}, ended{0};
    std::atomic<bool> stuck{false}, finished{false};
    std::thread device([&] {
        for (int i = 0; i < kRounds && !finished; ++i) {
            while (started.load() <= i && !finished) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            rig.sim.Send({static_cast<std::uint8_t>('a' + i % 26)});
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (ended.load() <= i && !finished && std::chrono::steady_clock::now() < limit)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (ended.load() <= i && !finished) {
                stuck = true;
                comm::Purge(handle, comm::PURGE_RXABORT);
                return;
            }
        }
    });
    std::string got;
    for (int i = 0; i < kRounds && !stuck; ++i) {
        started = i + 1;
        char c = 0;
        int n = 0;
        try {
            n = port.Read(&c, 1);
        } catch (const ESerialPort&) {
        }
        ended = i + 1;
        if (n != 1) break;
        got += c;
        sys::ServeGuiCalls();  // the event thread's hand-over of the same byte
    }
    finished = true;
    device.join();
    EXPECT_FALSE(stuck) << "a read slept through a byte the event thread had queued";
    EXPECT_EQ(got.size(), static_cast<std::size_t>(kRounds));
    port.Close();
}

}  // namespace
