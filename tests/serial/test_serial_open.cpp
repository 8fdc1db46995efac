// Opening, closing and settings of the component on a real pty.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

#include "SerialTestSupport.h"
#include "platform/sys/GuiThread.h"

namespace {

using serialtest::Rig;

// The open of a name that is no port fails with code 1 and the system error in the text.
void ExpectOpenFails(const std::string& name, int systemError) {
    TSerialPort port(nullptr);
    port.SetPort(name);
    std::vector<std::string> fired;
    port.OnBeforeOpen = [&](TObject*) { fired.push_back("before"); };
    port.OnAfterOpen = [&](TObject*) { fired.push_back("after"); };
    port.OnCTSChange = [&](TObject*, bool) { fired.push_back("cts"); };
    try {
        port.Open();
        ADD_FAILURE() << name << " opened";
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 1);
        EXPECT_EQ(e.GetWinCode(), systemError);
        EXPECT_EQ(e.Message, "Unable to open com port (Error: " + std::to_string(systemError) + ")");
    }
    EXPECT_FALSE(port.GetConnected());
    EXPECT_EQ(fired, std::vector<std::string>{"before"});
}

TEST(SerialOpen, NamesThatAreNoPortsFailWithCodeOne) {
    ExpectOpenFails("COM1", ENOENT);
    std::string dir = testsupport::TempDir("serial-open");
    ExpectOpenFails(dir + "/absent", ENOENT);
    std::ofstream(dir + "/plain") << "text";
    ExpectOpenFails(dir + "/plain", ENOTTY);
}

TEST(SerialOpen, FailedOpenTakenByTheHandlerStartsNothing) {
    TSerialPort port(nullptr);
    port.SetPort("COM1");
    int reports = 0;
    TSerialExceptions kind{};
    std::string text;
    std::int64_t winError = 0;
    port.OnException = [&](TObject*, TSerialExceptions k, const std::string& m, std::int64_t w,
                           const std::string& wm) {
        ++reports;
        kind = k;
        text = m;
        winError = w;
        EXPECT_FALSE(wm.empty());  // the system's own text for ENOENT
    };
    bool afterOpen = false;
    port.OnAfterOpen = [&](TObject*) { afterOpen = true; };
    port.Open();
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(kind, CE_OpenFailed);
    EXPECT_EQ(text, "Unable to open com port");
    EXPECT_EQ(winError, ENOENT);
    EXPECT_FALSE(port.GetConnected());
    EXPECT_FALSE(port.GetThreadCreated());
    EXPECT_FALSE(afterOpen);
}

TEST(SerialOpen, SecondPortOnTheSameDeviceIsRefused) {
    Rig rig("open-twice");
    ASSERT_TRUE(rig.started);
    rig.port->Open();
    TSerialPort other(nullptr);
    other.SetPort(rig.sim.LinkPath());
    try {
        other.Open();
        ADD_FAILURE() << "opened twice";
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 1);
        EXPECT_EQ(e.GetWinCode(), EBUSY);
    }
    rig.port->Close();
    other.Open();  // free again once closed
    EXPECT_TRUE(other.GetConnected());
}

TEST(SerialOpen, OpenAndCloseFireInOrder) {
    Rig rig("order");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    std::vector<std::string> fired;
    port.OnBeforeOpen = [&](TObject*) { fired.push_back("beforeOpen"); };
    port.OnAfterOpen = [&](TObject*) { fired.push_back("afterOpen"); };
    port.OnCTSChange = [&](TObject*, bool on) { fired.push_back(on ? "cts+" : "cts-"); };
    port.OnDSRChange = [&](TObject*, bool on) { fired.push_back(on ? "dsr+" : "dsr-"); };
    port.OnRLSDChange = [&](TObject*, bool on) { fired.push_back(on ? "rlsd+" : "rlsd-"); };
    port.OnBeforeClose = [&](TObject*) { fired.push_back("beforeClose"); };
    port.OnAfterClose = [&](TObject*) { fired.push_back("afterClose"); };
    TSerialLink link;
    link.OnConn = [&](TObject*, bool on) { fired.push_back(on ? "link+" : "link-"); };
    port.RegisterLink(&link);
    port.Open();
    port.Close();
    // A pty has no modem lines: they report off.
    EXPECT_EQ(fired, (std::vector<std::string>{"beforeOpen", "link+", "afterOpen", "cts-", "dsr-", "rlsd-",
                                               "cts-", "dsr-", "rlsd-", "beforeClose", "link-", "afterClose"}));
    port.UnRegisterLink(&link);
}

TEST(SerialOpen, LineSettingsReachThePty) {
    Rig rig("settings");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetStopBits(sbTwoStopBits);
    port.Open();
    devsim::LineSettings line = rig.sim.Line();
    EXPECT_EQ(line.baud, 19200u);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_TRUE(line.raw);
    EXPECT_FALSE(line.rtsCts);
    // A setter on an open port applies at once.
    port.SetBaudRate(br57600);
    EXPECT_EQ(rig.sim.Line().baud, 57600u);
    port.SetCustomBaudRate(250000);  // only stored while the rate is not custom
    EXPECT_EQ(rig.sim.Line().baud, 57600u);
    port.SetBaudRate(brCustom);
    EXPECT_EQ(rig.sim.Line().baud, 250000u);
    port.GetFlowControl()->SetFlowControl(fcHardware);
    EXPECT_TRUE(rig.sim.Line().rtsCts);
    port.GetFlowControl()->SetFlowControl(fcSoftware);
    EXPECT_FALSE(rig.sim.Line().rtsCts);
    EXPECT_TRUE(rig.sim.Line().xonXoff);
    // What no line can take is reported as code 7 with the system error, and the line keeps
    // what it had: rate 0, a negative rate, 1.5 stop bits with eight data bits.
    auto refused = [&](const char* what, const std::function<void()>& set) {
        try {
            set();
            ADD_FAILURE() << what << " taken";
        } catch (const ESerialPort& e) {
            EXPECT_EQ(e.GetCode(), 7) << what;
            EXPECT_EQ(e.GetWinCode(), EINVAL) << what;
        }
        EXPECT_EQ(rig.sim.Line().baud, 250000u) << what;
        EXPECT_EQ(rig.sim.Line().stopBits, 2) << what;
    };
    refused("rate 0", [&] { port.SetCustomBaudRate(0); });
    refused("rate -1", [&] { port.SetCustomBaudRate(-1); });
    port.SetCustomBaudRate(250000);
    refused("1.5 stop bits", [&] { port.SetStopBits(sbOne5StopBits); });
    port.Close();
}

// Records the order in which settings groups are applied.
class SpyPort : public TSerialPort {
public:
    using TSerialPort::TSerialPort;
    std::vector<std::string> applied;
    void ApplyDCB() override {
        if (GetConnected()) applied.push_back("dcb");
        TSerialPort::ApplyDCB();
    }
    void ApplyTimeouts() override {
        if (GetConnected()) applied.push_back("timeouts");
        TSerialPort::ApplyTimeouts();
    }
    void ApplyBuffer() override {
        if (GetConnected()) applied.push_back("buffer");
        TSerialPort::ApplyBuffer();
    }
};

TEST(SerialOpen, BatchedSettingsApplyOnceInOrder) {
    devsim::DevSim sim(serialtest::FreshLink("batch"));
    ASSERT_TRUE(sim.Start());
    SpyPort port(nullptr);
    port.SetPort(sim.LinkPath());
    port.Open();
    EXPECT_EQ(port.applied, (std::vector<std::string>{"buffer", "dcb", "timeouts"}));
    port.applied.clear();
    port.BeginUpdate();
    port.SetBaudRate(br38400);
    port.SetStopBits(sbTwoStopBits);
    port.GetTimeouts()->SetReadTotalC(50);
    EXPECT_EQ(sim.Line().baud, 9600u);  // nothing reached the line yet
    port.EndUpdate();
    EXPECT_EQ(sim.Line().baud, 38400u);
    // The setters called the apply steps, which held back; EndUpdate applied all once.
    EXPECT_EQ(port.applied, (std::vector<std::string>{"dcb", "dcb", "timeouts", "buffer", "dcb", "timeouts"}));
    port.Close();
}

TEST(SerialOpen, RefusedChangesWhileOpen) {
    Rig rig("refused");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.Open();
    try {
        port.SetSyncMethod(smNone);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 14);
    }
    EXPECT_EQ(port.GetSyncMethod(), smThreadSync);
    // The same port name does not reopen.
    comm::THandle h = port.GetHandle();
    port.SetPort(rig.sim.LinkPath());
    EXPECT_EQ(port.GetHandle(), h);
    // Waiting in the caller's thread is refused while the event thread exists.
    TSerialEvents ev{evRxChar};
    try {
        port.WaitForEvent(ev, nullptr, 0);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 20);
    }
    TSerialLink link;
    port.RegisterLink(&link);
    try {
        port.RegisterLink(&link);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 18);
    }
    port.UnRegisterLink(&link);
    port.Close();
}

TEST(SerialIo, UnopenedPortAndNegativeCounts) {
    TSerialPort port(nullptr);
    char buf[4];
    try {
        port.Read(buf, 4);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 24);
        EXPECT_EQ(e.Message, "Port Not Open");
    }
    try {
        port.Write(buf, 4);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 24);
    }
    // A negative count is refused, never read as a huge one.
    try {
        port.Read(buf, -1);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 3);
    }
    int reports = 0;
    port.OnException = [&](TObject*, TSerialExceptions k, const std::string&, std::int64_t, const std::string&) {
        EXPECT_EQ(k, CE_WriteFailed);
        ++reports;
    };
    EXPECT_EQ(port.Write(buf, -5), 0);
    EXPECT_EQ(reports, 1);
}

TEST(SerialIo, ReadsReturnWhatWaitsAndWritesReachTheDevice) {
    Rig rig("io");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEvents({});  // no event thread: reads are done by hand
    port.Open();
    EXPECT_FALSE(port.GetThreadCreated());
    char buf[100];
    EXPECT_EQ(port.Read(buf, 100), 0);  // nothing waiting: at once
    rig.sim.Send({'1', '2', '3', '4', '5', '6', '7'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return port.InputCount() == 7; }));
    EXPECT_EQ(port.Read(buf, 100), 7);
    EXPECT_EQ(std::string(buf, 7), "1234567");
    EXPECT_EQ(port.WriteStr("AT\r"), 3);
    EXPECT_EQ(port.WriteUnicodeString("Ж"), 1);  // one byte in Windows-1251
    ASSERT_TRUE(testsupport::WaitUntil([&] { return rig.sim.ReceivedCount() >= 4; }));
    EXPECT_EQ(serialtest::AsText(rig.sim.Received()), "AT\r\xC6");
    rig.sim.Send({0xC6, 0xE8});
    std::string text;
    ASSERT_TRUE(testsupport::WaitUntil([&] { return port.InputCount() == 2; }));
    EXPECT_EQ(port.ReadUnicodeString(text, 10), 2);
    EXPECT_EQ(text, "Жи");
    // Links see what is written.
    TSerialLink link;
    std::string sent;
    int txOn = 0;
    link.OnTxBuf = [&](TObject*, const void* b, int n) { sent.append(static_cast<const char*>(b), n); };
    link.OnTx = [&](TObject*, bool on) { txOn += on; };
    port.RegisterLink(&link);
    port.WriteStr("xyz");
    EXPECT_EQ(sent, "xyz");
    EXPECT_EQ(txOn, 1);
    port.UnRegisterLink(&link);
    port.ClearBuffer(true, true);
    port.SetDTR(true);  // a pty has no modem lines: no failure
    port.SetRTS(false);
    port.SetBreak(false);
    EXPECT_TRUE(port.LastErrors().Empty());
    EXPECT_TRUE(port.Signals().Empty());
    port.Close();
}

TEST(SerialOpen, EnumListsTheListedPortsSortedEachOnce) {
    TStringList ports;
    ports.Add("stale");
    // No port found leaves the caller's list as it was.
    setenv("ZENTOR_PORTS", "", 1);
    EnumSerialPorts(ports);
    EXPECT_EQ(ports.ToVector(), std::vector<std::string>{"stale"});
    setenv("ZENTOR_PORTS", "/tmp/b;/tmp/A=Sim;/tmp/c;/tmp/b=Again", 1);
    EnumSerialPorts(ports);
    unsetenv("ZENTOR_PORTS");
    EXPECT_EQ(ports.ToVector(), (std::vector<std::string>{"/tmp/A", "/tmp/b", "/tmp/c"}));
}

}  // namespace

namespace {

TEST(SerialOpen, ConnectedFromTheFormStreamOpensWhenLoaded) {
    Rig rig("loaded");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.BeginLoading();
    port.SetConnected(true);
    EXPECT_FALSE(port.GetConnected());  // only remembered while loading
    port.EndLoading();
    EXPECT_TRUE(port.GetConnected());
    port.SetConnected(false);
    EXPECT_FALSE(port.GetConnected());

    // A port that cannot open goes to the application's handler and stays closed.
    int shown = 0;
    sys::SetExceptionHandler([&](std::exception_ptr) { ++shown; });
    TSerialPort absent(nullptr);
    absent.SetPort("COM1");
    absent.BeginLoading();
    absent.SetConnected(true);
    absent.EndLoading();
    sys::SetExceptionHandler(nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(absent.GetConnected());
}

TEST(SerialIo, WaitForEventInTheCallersThread) {
    Rig rig("wait-event");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEvents({});
    port.Open();
    TSerialEvents ev{evRxChar, evTxEmpty};
    port.WaitForEvent(ev, nullptr, 20);
    EXPECT_TRUE(ev.Empty());  // the time ran out
    // A byte that was waiting before the call is no arrival of this wait.
    rig.sim.Send({'o'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return port.InputCount() == 1; }));
    ev = {evRxChar};
    port.WaitForEvent(ev, nullptr, 30);
    EXPECT_TRUE(ev.Empty());
    // One that comes while it waits is; the device sends until the wait has seen one.
    std::atomic<bool> seen{false};
    std::thread device([&] {
        for (int i = 0; i < 500 && !seen; ++i) {
            rig.sim.Send({'w'});
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    ev = {evRxChar};
    port.WaitForEvent(ev, nullptr, 5000);
    seen = true;
    device.join();
    EXPECT_EQ(ev, TSerialEvents{evRxChar});
    comm::TStopSignal stop;
    stop.Set();
    ev = {evRxChar};
    port.WaitForEvent(ev, &stop, 2000);
    EXPECT_TRUE(ev.Empty());  // the stop signal ends the wait at once
    port.Close();
}

}  // namespace

namespace {

TEST(SerialIo, MissingBufferIsRefusedNotDereferenced) {
    Rig rig("no-buffer");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEvents({});
    port.Open();
    rig.sim.Send({'a', 'b', 'c', 'd'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return port.InputCount() == 4; }));
    try {
        port.Read(nullptr, 4);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 3);
        EXPECT_EQ(e.GetWinCode(), EFAULT);
    }
    try {
        port.Write(nullptr, 4);
        ADD_FAILURE();
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 2);
        EXPECT_EQ(e.GetWinCode(), EFAULT);
    }
    EXPECT_EQ(port.Read(nullptr, 0), 0);
    EXPECT_EQ(port.Write(nullptr, 0), 0);
    // The waiting bytes are untouched.
    char buf[8];
    EXPECT_EQ(port.Read(buf, 8), 4);
    EXPECT_EQ(std::string(buf, 4), "abcd");
    EXPECT_EQ(rig.sim.ReceivedCount(), 0u);
    port.Close();
}

}  // namespace

namespace {

TEST(SerialIo, FailedWriteTakenByTheHandlerIsNotPassedToTheLinks) {
    Rig rig("write-fails");
    ASSERT_TRUE(rig.started);
    TSerialPort& port = *rig.port;
    port.SetEvents({});
    port.Open();
    std::vector<int> reported;
    port.OnException = [&](TObject*, TSerialExceptions k, const std::string&, std::int64_t w, const std::string&) {
        reported.push_back(SerialErrorCode(k));
        EXPECT_EQ(w, EIO);
    };
    TSerialLink link;
    int txBuf = 0;
    link.OnTxBuf = [&](TObject*, const void*, int) { ++txBuf; };
    port.RegisterLink(&link);
    rig.sim.Unplug();  // the device has gone: the write fails
    EXPECT_EQ(port.WriteStr("lost"), 0);
    EXPECT_EQ(reported, std::vector<int>{2});
    EXPECT_EQ(txBuf, 0);
    port.UnRegisterLink(&link);
    port.Close();
}

}  // namespace

namespace {

// Close discards only what the driver still holds (a line held back by flow control): a pty
// holds nothing once a write is done, and its flush would take from the far side the last
// command still on its way there.
TEST(SerialOpen, CloseLetsTheLastCommandReachTheFarSide) {
    for (int round = 0; round < 40; ++round) {
        int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        const std::string path = ptsname(master);
        TSerialPort port(nullptr);
        port.SetPort(path);
        port.SetEvents({});
        port.Open();
        ASSERT_EQ(port.Write("probe", 5), 5);
        port.Close();
        std::string got;
        testsupport::WaitUntil([&] {
            char buf[64];
            ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
            return got.size() >= 5;
        }, 500);
        EXPECT_EQ(got, "probe") << "round " << round;
        close(master);
    }
}

}  // namespace
