// Transfers over a slow line and a lost one, with a simulated controller on a pty or dialled
// in to the local configuration server, each at its line's real pace: whole reads and writes
// finish close to the time their bytes need (on the cable the bench judges that), a
// controller pausing inside a reply costs no block, a block on its way (or delayed by a GPRS
// round trip) is never asked for twice, a duplicated log block is not reported, a copied count reply starts no read, the status poll
// waits, a peer naming the served controller dialling in waits for the transfer and is turned away; a write
// clicked during a read starts nothing; a read whose blocks bring no records ends; an unplug ends a transfer at
// once and the next controller hears nothing before its login; a close asks first.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "device/DeviceLink.h"
#include "device/LinkRig.h"
#include "memory/MemoryState.h"
#include "memory/PhoneBase.h"
#include "platform/comm/Comm.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Signals.h"
#include "platform/ui/Dialogs.h"
#include "support/RealInput.h"
#include "tools/devsim/LinkRelay.h"
#include "tools/devsim/MemoryModel.h"
#include "tools/devsim/SampleContent.h"

namespace {

using namespace linktest;
using devsim::MemoryModel;
using testsupport::RunClockAlong;

constexpr unsigned kSlowBaud = 19200;
constexpr std::size_t kNumbers = 300, kEvents = 200;
constexpr std::size_t kNumberBlock = 31, kLogBlock = 10;

std::size_t Blocks(std::size_t records, std::size_t block) { return (records + block - 1) / block; }
// The replies of a read of records in blocks of records of size bytes, its count first.
std::size_t ReadReplyBytes(std::size_t records, std::size_t block, std::size_t size) {
    return FrameBytes(3) + Blocks(records, block) * FrameBytes(5) + records * size;
}

std::size_t Count(const devsim::DevSim& sim, std::uint8_t command, std::uint8_t first) {
    std::size_t n = 0;
    for (const devsim::Frame& f : sim.Frames()) n += f.command == command && !f.data.empty() && f.data[0] == first;
    return n;
}

// No status request reached the device between the first and the last frame of command.
bool NoStatusDuring(const devsim::DevSim& sim, std::uint8_t command) {
    const std::vector<devsim::Frame> frames = sim.Frames();
    std::size_t first = frames.size(), last = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (frames[i].command == command) first = std::min(first, i), last = i;
    for (std::size_t i = first; i < last; ++i)
        if (frames[i].command == devsim::kCmdReadStatus) return false;
    return true;
}

struct TPaceBound {
    double Ratio = 1.5, PlusMs = 3000, PerBlock = 1.3;
};
// A transfer's clock time against the time its bytes need on the line (10 bits a byte), and
// its block requests (repeats included) against its blocks. Ratio 0: the time is not judged.
void ExpectPaced(const std::string& what, long long tookMs, std::size_t lineBytes, unsigned baud, std::size_t requests,
                 std::size_t blocks, TPaceBound bound = {}) {
    const double floorMs = static_cast<double>(lineBytes) * 10000.0 / baud;
    ASSERT_GE(tookMs, 0) << what << " did not end";
    if (bound.Ratio > 0) {
        EXPECT_LE(static_cast<double>(tookMs), bound.Ratio * floorMs + bound.PlusMs)
            << what << ", the line needs " << floorMs << " ms";
    }
    EXPECT_LE(static_cast<double>(requests), bound.PerBlock * static_cast<double>(blocks)) << what;
}

// The controller stops sending for 100 ms every 2 s of wall time, as one busy with its own
// work does; called at every step of the clock.
std::function<void()> PausingEvery2s(devsim::DevSim& sim) {
    const auto start = std::chrono::steady_clock::now();
    return [&sim, start, paused = false]() mutable {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const bool pause = ms.count() % 2000 >= 1900;
        if (pause != paused) sim.PauseOutput(paused = pause);
    };
}

std::string Message() { return Form1->MESLABEL->GetCaption(); }

// The password typed and the connect button clicked; the device's answer at its pace.
bool LogIn() {
    Form1->USBPASS->SetText("");
    QTest::keyClicks(Form1->USBPASS->GetWidget(), "1234");
    testsupport::Click(Form1->Button5);
    return RunClockAlong([] { return g_AccessLevel == 32; }, 5000) >= 0;
}

// The user reads the controller's numbers (meanwhile runs at every step of the clock): the
// clock's time until the read ended.
long long ReadNumbers(devsim::DevSim& sim, const std::function<void()>& meanwhile = [] {},
                      const std::function<bool()>& caughtUp = {}) {
    sim.ClearRecord();
    testsupport::Click(Form1->UiButton5);
    const long long took = RunClockAlong([&] {
        meanwhile();
        return !g_PhoneRead.Running();
    }, 60000, caughtUp);
    EXPECT_EQ(Message(), "Чтение памяти номеров завершено");
    return took;
}

// The user writes the grid to the controller, whose base is emptied first.
long long WriteNumbers(devsim::DevSim& sim, MemoryModel& memory, const std::function<bool()>& caughtUp = {}) {
    memory.SetNumbers({});
    sim.ClearRecord();
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton6);
    const long long took = RunClockAlong([&] { return !g_PhoneWrite.Writing() && memory.WriteEndCount() == 1; }, 60000, caughtUp);
    EXPECT_EQ(Message(), "Запись памяти номеров завершена");
    return took;
}

// The controller announces its log of these events and the tool reads it.
long long ReadLog(devsim::DevSim& sim, MemoryModel& memory, const std::vector<devsim::Bytes>& events,
                  const std::function<void()>& meanwhile = [] {}, const std::function<bool()>& caughtUp = {}) {
    memory.SetLog(events);
    sim.ClearRecord();
    memory.AnnounceLog();
    bool started = false;
    const long long took = RunClockAlong([&] {
        meanwhile();
        started = started || g_LogRead.Reading();
        return started && !g_LogRead.Reading();
    }, 60000, caughtUp);
    EXPECT_EQ(Message(), "Чтение хронологии завершено");
    EXPECT_EQ(Form1->HrGrid->GetRowCount(), static_cast<int>(events.size()) + 2);
    return took;
}

// A read of 300 numbers from a controller that pauses inside its replies, a write of them,
// and a read of 200 events one of whose blocks comes twice, each started as the user starts
// it, at the line's pace. With caughtUp the clock waits for the tool to take what the line
// brought (RunClockAlong), so that the time says nothing of the pace: that figure is the
// bench's (scripts/bench), and only the requests are judged here.
void WholeExchange(devsim::DevSim& sim, MemoryModel& memory, unsigned baud, const std::function<bool()>& caughtUp = {}) {
    const auto bound = [&](TPaceBound b) {
        if (caughtUp) b.Ratio = 0;
        return b;
    };
    const std::vector<devsim::Bytes> base = devsim::SampleNumbers(kNumbers);
    memory.SetNumbers(base);
    long long took = ReadNumbers(sim, PausingEvery2s(sim), caughtUp);
    sim.PauseOutput(false);
    EXPECT_EQ(Form1->PhonesGrid->GetRowCount(), static_cast<int>(kNumbers) + 2);
    ExpectPaced("read", took, sim.ReceivedCount() + ReadReplyBytes(kNumbers, kNumberBlock, 64), baud,
                Count(sim, devsim::kCmdReadNumbers, 0x01), Blocks(kNumbers, kNumberBlock), bound({1.1, 0, 1.1}));
    EXPECT_TRUE(NoStatusDuring(sim, devsim::kCmdReadNumbers));

    took = WriteNumbers(sim, memory, caughtUp);
    EXPECT_EQ(memory.Numbers(), base);
    // The device's replies: the blocks' and the end's acknowledgements, and its count.
    const std::size_t replies = (Blocks(kNumbers, kNumberBlock) + 1) * FrameBytes(2) + FrameBytes(3);
    ExpectPaced("write", took, sim.ReceivedCount() + replies, baud, Count(sim, devsim::kCmdWriteNumbers, 0x00),
                Blocks(kNumbers, kNumberBlock), bound({}));
    EXPECT_TRUE(NoStatusDuring(sim, devsim::kCmdWriteNumbers));

    memory.DuplicateLogReplies(1);
    const std::string outOfOrder = Form1->GetMessageA(39);
    bool reported = false;
    took = ReadLog(sim, memory, devsim::SampleLog(kEvents, base).Records,
                   [&] { reported = reported || Message() == outOfOrder; }, caughtUp);
    EXPECT_FALSE(reported);
    ExpectPaced("log read", took,
                sim.ReceivedCount() + ReadReplyBytes(kEvents, kLogBlock, 32) + FrameBytes(5 + kLogBlock * 32), baud,
                Count(sim, devsim::kCmdReadEventLog, 0x01), Blocks(kEvents, kLogBlock), bound({}));
    EXPECT_TRUE(NoStatusDuring(sim, devsim::kCmdReadEventLog));
}

// A controller on a pty whose line runs at 19200 baud both ways, connected and logged in.
struct SlowPty {
    explicit SlowPty(const std::string& name, bool notices = false) : rig(name), device(rig.AddController("dev")) {
        memory = std::make_unique<MemoryModel>(*device.model, device.sim);
        device.sim.SetPacing(kSlowBaud);
        device.sim.SetInputPacing(kSlowBaud);
        SetPhoneRecords({});
        StopPhoneTransfers();
        g_LogRead.Stop();
        ui::test::ClearDialogs();
        rig.ListPorts({"!dev"});
        rig.CreateForm(notices);
        ok = device.started && rig.ConnectTo(device);
        device.sim.HoldOutput(false);  // the line's own pace from here on
        ok = ok && LogIn();
    }
    ~SlowPty() {
        StopPhoneTransfers();
        g_LogRead.Stop();
    }

    // The controller is unplugged, and the tool has taken the link down.
    bool Unplug() {
        device.sim.Unplug();
        return testsupport::WaitUntil([] { return !g_DeviceConnected; });
    }
    // A different controller is plugged in on the same port: it asks for its own password,
    // which nobody types. True once it has been found and four seconds have passed.
    bool PlugInAnother(const std::vector<devsim::Bytes>& numbers) {
        device.model->SetStatusRecord(devsim::DeviceModel::StatusRecordWithImei("860000000000777"));
        device.model->SetPromptAfterIdentify(true);
        memory->SetNumbers(numbers);
        device.sim.ClearRecord();
        if (!device.sim.Replug()) return false;
        const auto asked = [] {
            return g_DeviceConnected && Form1->MESPANEL->GetVisible() && Form1->PageControlMes->GetActivePageIndex() == 1;
        };
        if (RunClockAlong(asked, 10000) < 0) return false;
        return RunClockAlong([] { return false; }, 4000) == -1;
    }
    // Only identify requests reached the port since the plug-in.
    bool HeardOnlyIdentify() const {
        for (const devsim::Frame& f : device.sim.Frames())
            if (f.command != devsim::kCmdIdentify) return false;
        return true;
    }

    LinkRig rig;
    SimPort& device;
    std::unique_ptr<MemoryModel> memory;
    bool ok = false;
};

TEST(LinkTransfers, WholeTransfersAtTheLinePaceOfA19200BaudCable) {
    SlowPty c("slow-pty");
    ASSERT_TRUE(c.ok);
    // What the line brought longer ago than the port's gathering must be taken before the
    // clock goes on.
    devsim::DevSim& sim = c.device.sim;
    const std::uint64_t sent = sim.SentCount(), taken = g_RxFrames.Taken();
    WholeExchange(sim, *c.memory, kSlowBaud, [&] {
        return g_RxFrames.Taken() - taken + sent >= sim.SentBefore(comm::kReceiveGatherMs + 100);
    });
}

// A controller dialled in to the local configuration server at GPRS pace, served and logged
// in; through a relay when the test makes the link's faults.
struct GprsLink {
    explicit GprsLink(const std::string& name, bool relayed = false) : rig(name), model(modem), memory(model, modem) {
        rig.ListPorts({});
        rig.CreateForm();
        SetPhoneRecords({});
        StopPhoneTransfers();
        g_LogRead.Stop();
        ui::test::ClearDialogs();
        Form1->RconfPort->SetText("0");
        testsupport::Click(Form1->Button1);
        modem.SetPacing(devsim::kGprsPaceBaud);
        modem.SetInputPacing(devsim::kGprsPaceBaud);
        int port = Form1->ConfServer->GetSocket()->GetLocalPort();
        if (relayed) {
            relay = std::make_unique<devsim::LinkRelay>("127.0.0.1", port);
            if (!relay->Start()) return;
            port = relay->Port();
        }
        // Asked to identify on the server's next tick, and served once it has answered.
        ok = modem.Dial("127.0.0.1", port) &&
             RunClockAlong([] { return g_ConfServerConnected == 1 && g_DeviceConnected; }, 5000) >= 0 && LogIn();
    }
    ~GprsLink() {
        StopPhoneTransfers();
        g_LogRead.Stop();
    }

    LinkRig rig;
    devsim::DevSim modem{""};
    devsim::DeviceModel model;
    MemoryModel memory;
    std::unique_ptr<devsim::LinkRelay> relay;
    bool ok = false;
};

TEST(LinkTransfers, WholeTransfersAtGprsPaceThroughTheLocalServer) {
    GprsLink c("slow-gprs");
    ASSERT_TRUE(c.ok);
    devsim::DevSim& modem = c.modem;
    WholeExchange(modem, c.memory, devsim::kGprsPaceBaud);
    // Once the transfers are over the status is asked for again.
    modem.ClearRecord();
    RunClockAlong([&] { return Count(modem, devsim::kCmdReadStatus, 0) > 0; }, 2000);
    EXPECT_GT(Count(modem, devsim::kCmdReadStatus, 0), 0u);

    // A configuration read whose device hangs up ends at once, and says what it leaves.
    testsupport::Click(Form1->Bsetting);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return modem.FrameCount() > 0 && modem.Frames().back().command == 0x20; }));
    modem.Stop();
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_WaitTicks == 0 && Message().find("\r\n") != std::string::npos; }));
    EXPECT_EQ(Message(), "Связь с устройством потеряна.\r\nЧтение конфигурации прервано. Настройки на экране остались прежними.");
}

// The grid holds these records, as a read or a file leaves it.
void GridHolds(const std::vector<devsim::Bytes>& records) {
    std::vector<PhoneRecord> base(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        std::copy(records[i].begin(), records[i].end(), base[i].Bytes.begin());
    SetPhoneRecords(base);
    Form1->PhoneStructToGrid();
    SetPhoneRecords({});
}

// A write of the grid started as the user starts it, at the line's pace until the block from
// record `at` is on its way. Then the controller's replies stall for stallMs of the clock
// (meanwhile runs at its start, for less than 6 s of it): that block goes again every 6 s,
// the controller, which still hears the tool, acknowledges every copy, and the
// acknowledgements all come once the stall ends.
bool WriteIntoAStall(GprsLink& c, std::uint32_t at, std::int64_t stallMs = 20000,
                     const std::function<bool()>& meanwhile = {}) {
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton6);
    if (RunClockAlong([at] { return g_PhoneWrite.GetWriteIndex() >= at; }, 30000) < 0) return false;
    c.relay->Hold(devsim::LinkRelay::ToTool);
    std::size_t copies = 1;
    const auto acknowledged = [&c, &copies] {
        const auto held = [&] { return c.relay->Held(devsim::LinkRelay::ToTool, devsim::kCmdWriteNumbers); };
        return testsupport::WaitUntil([&] { return held() == copies; }, 10000);
    };
    // The pace of the copies does not matter here: they reach the controller at once.
    if (!acknowledged()) return false;
    c.modem.SetInputPacing(0);
    const std::int64_t end = sys::TickMs() + stallMs;
    if (meanwhile && !meanwhile()) return false;
    while (sys::TickMs() < end) {
        const std::uint32_t sent = g_PhoneWrite.BlockRequests();
        sys::AdvanceMs(10);
        if (g_PhoneWrite.BlockRequests() != sent && (++copies, !acknowledged())) return false;
    }
    c.modem.SetInputPacing(devsim::kGprsPaceBaud);
    c.relay->Release(devsim::LinkRelay::ToTool);
    return copies == static_cast<std::size_t>(1 + (stallMs - 1) / (kPhonesWriteTimeoutRemote * 10));
}

TEST(LinkTransfers, ANumberWriteThroughAStalledGprsLinkClaimsOnlyWhatTheControllerHolds) {
    GprsLink c("stalled-gprs", true);
    ASSERT_TRUE(c.ok);
    constexpr std::size_t kBase = 155;  // five blocks; the stall comes at 40 %
    const std::vector<devsim::Bytes> base = devsim::SampleNumbers(kBase);
    GridHolds(base);
    const std::string done = "Запись памяти номеров завершена";

    // Completed only once the controller holds every record.
    ASSERT_TRUE(WriteIntoAStall(c, 62));
    bool early = false;
    RunClockAlong([&] {
        early = early || (Message() == done && c.memory.Numbers() != base);
        return !g_PhoneWrite.Writing();
    }, 30000);
    EXPECT_FALSE(early);
    EXPECT_EQ(Message(), done);
    EXPECT_TRUE(c.memory.Numbers() == base);
    EXPECT_EQ(c.memory.WriteEndCount(), 1);

    // The same stall, and the link is cut as the block from record 124 goes: never completed,
    // and the controller holds what the tool says.
    c.relay->SetRule(devsim::LinkRelay::ToDevice, [](const devsim::Frame& f) {
        const bool cut = f.command == devsim::kCmdWriteNumbers && f.data.size() > 5 && f.data[0] == 0x00 &&
                         (f.data[1] | f.data[2] << 8) >= 124;
        return cut ? devsim::RelayAct::Cut : devsim::RelayAct::Pass;
    });
    ASSERT_TRUE(WriteIntoAStall(c, 62));
    bool completed = false;
    RunClockAlong([&] {
        completed = completed || Message() == done;
        return !g_PhoneWrite.Writing() && Message().rfind("Связь", 0) == 0;
    }, 30000);
    EXPECT_FALSE(completed);
    EXPECT_EQ(Message(), "Связь с устройством потеряна.\r\nЗапись памяти номеров прервана (записано 124 из 155). "
                         "Устройство стёрло свою базу перед записью и теперь может хранить только часть номеров: "
                         "запишите базу снова.");
    EXPECT_EQ(c.memory.Numbers().size(), 124u);
    EXPECT_TRUE(c.memory.Numbers() == std::vector<devsim::Bytes>(base.begin(), base.begin() + 124));
}

// A peer naming the served controller's IMEI dials in and identifies during an 8 s stall of
// that controller's replies in a write of 300 numbers: it waits, asked its status, and the
// write completes with the controller holding the grid; once the write has ended the
// controller answers the probe, and the peer is turned away without moving the window off
// the page the user is on.
TEST(LinkTransfers, APeerNamingTheServedImeiWaitsForANumberWriteThroughAStalledGprsLink) {
    GprsLink c("claimed-gprs", true);
    ASSERT_TRUE(c.ok);
    const std::vector<devsim::Bytes> base = devsim::SampleNumbers(kNumbers);
    GridHolds(base);
    devsim::DevSim other{""};
    devsim::DeviceModel model(other);
    model.SetStatusRecord(devsim::DeviceModel::StatusRecordWithImei("860000000000001"));  // the served one's
    auto* server = Form1->ConfServer->GetSocket();
    ASSERT_GE(RunClockAlong([] { return Form1->Limei->GetCaption() == "IMEI: 860000000000001"; }, 3000), 0);
    const int page = Form1->ActivePageIndex();
    ASSERT_TRUE(WriteIntoAStall(c, 124, 8000, [&] {
        if (!other.Dial("127.0.0.1", server->GetLocalPort()) ||
            !testsupport::WaitUntil([&] { return server->GetActiveConnections() == 2; }))
            return false;
        sys::AdvanceMs(1000);  // asked to identify
        return testsupport::WaitUntil([&] { return Count(other, devsim::kCmdReadStatus, 0) == 1; });
    }));
    RunClockAlong([] { return !g_PhoneWrite.Writing(); }, 30000);
    EXPECT_EQ(Message(), "Запись памяти номеров завершена");
    EXPECT_TRUE(c.memory.Numbers() == base);
    EXPECT_GE(RunClockAlong([&] { return other.HungUpByPeer(); }, 10000), 0);
    EXPECT_FALSE(c.modem.HungUpByPeer());
    EXPECT_EQ(g_ConfServerConnected, 1);
    EXPECT_EQ(Form1->ActivePageIndex(), page);
    EXPECT_EQ(Message(), "Запись памяти номеров завершена");
}

// The controller's count replies come twice, as a relay that repeats a frame makes them: the
// copy after a write starts no read and leaves the write's result shown; a read started next
// takes its own count, and the copy of that asks for nothing more. The relay passes the
// controller's frames whole: read blocks of 7 records cross it well within the countdown
// after which a block is asked for again.
TEST(LinkTransfers, ACountReplyCopiedOnAGprsLinkStartsNoRead) {
    GprsLink c("copied-count", true);
    ASSERT_TRUE(c.ok);
    constexpr std::size_t kBase = 40, kBlock = 7;
    c.memory.SetReadBlockSize(kBlock);
    c.relay->SetRule(devsim::LinkRelay::ToTool, [](const devsim::Frame& f) {
        const bool count = f.command == devsim::kCmdReadNumbers && f.data.size() == 3 && f.data[0] == 0x00;
        return count ? devsim::RelayAct::Twice : devsim::RelayAct::Pass;
    });
    GridHolds(devsim::SampleNumbers(kBase));
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton6);
    ASSERT_GE(RunClockAlong([] { return !g_PhoneWrite.Writing(); }, 20000), 0);
    RunClockAlong([] { return g_PhoneRead.Running(); }, 1000);
    EXPECT_EQ(Message(), "Запись памяти номеров завершена");
    EXPECT_FALSE(g_PhoneRead.Running());

    c.modem.ClearRecord();
    testsupport::Click(Form1->UiButton5);
    ASSERT_GE(RunClockAlong([] { return !g_PhoneRead.Running(); }, 20000), 0);
    RunClockAlong([] { return g_PhoneRead.Running(); }, 1000);
    EXPECT_EQ(Message(), "Чтение памяти номеров завершено");
    EXPECT_EQ(Count(c.modem, devsim::kCmdReadNumbers, 0x01), Blocks(kBase, kBlock));
    EXPECT_EQ(Form1->PhonesGrid->GetRowCount(), static_cast<int>(kBase) + 2);
}

// The controller's replies come a second after it sent them, as the round trip of a GPRS
// link makes them: a read of numbers, a write of them and a log read through the local server
// complete, each block asked for or sent once.
TEST(LinkTransfers, TransfersOverTheRoundTripOfAGprsLinkAskForEachBlockOnce) {
    GprsLink c("round-trip-gprs", true);
    ASSERT_TRUE(c.ok);
    c.relay->Lag(devsim::LinkRelay::ToTool, 1000);
    constexpr std::size_t kBase = 40, kLog = 20;
    const std::vector<devsim::Bytes> base = devsim::SampleNumbers(kBase);
    c.memory.SetNumbers(base);
    ReadNumbers(c.modem);
    EXPECT_EQ(Count(c.modem, devsim::kCmdReadNumbers, 0x00), 1u);
    EXPECT_EQ(Count(c.modem, devsim::kCmdReadNumbers, 0x01), Blocks(kBase, kNumberBlock));

    WriteNumbers(c.modem, c.memory);
    EXPECT_TRUE(c.memory.Numbers() == base);
    EXPECT_EQ(Count(c.modem, devsim::kCmdWriteNumbers, 0x00), Blocks(kBase, kNumberBlock));

    ReadLog(c.modem, c.memory, devsim::SampleLog(kLog, base).Records);
    EXPECT_EQ(Count(c.modem, devsim::kCmdReadEventLog, 0x01), Blocks(kLog, kLogBlock));
}

// Lets the controller's replies go one at a time, each once the tool has asked for it, until done.
bool StepRepliesUntil(devsim::DevSim& sim, const std::function<bool()>& done) {
    sim.SetPacing(0);
    sim.SetInputPacing(0);
    sim.HoldOutput(true);
    while (!done()) {
        const std::size_t asked = sim.FrameCount();
        if (!testsupport::WaitUntil([&] { return sim.PendingOutput() > 0; })) return false;
        sim.ReleaseOutput(sim.PendingOutput());
        if (!testsupport::WaitUntil([&] { return sim.FrameCount() > asked || done(); })) return false;
    }
    return true;
}

// "Записать" clicked at a third of a read of 600 numbers, the grid still empty (the write would
// erase the controller's base): nothing is asked or sent, the user is told, the read completes.
void WriteClickedAtAThirdOfARead(devsim::DevSim& sim, MemoryModel& memory) {
    const std::vector<devsim::Bytes> base = devsim::SampleNumbers(600);
    memory.SetNumbers(base);
    QTest::mouseClick(Form1->UiButton5->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(StepRepliesUntil(sim, [] { return g_PhoneRead.GetNextIndex() >= 200; }));
    ui::test::PushDialogAnswer(IDYES);  // were the user asked
    QTest::mouseClick(Form1->UiButton6->GetWidget(), Qt::LeftButton);
    EXPECT_TRUE(ui::test::ShownDialogs().empty());
    EXPECT_EQ(Message(), Form1->GetMessageA(102));
    ui::test::ClearDialogs();
    sim.HoldOutput(false);
    ASSERT_GE(RunClockAlong([] { return !g_PhoneRead.Running(); }, 20000), 0);
    EXPECT_EQ(Message(), "Чтение памяти номеров завершено");
    EXPECT_EQ(Form1->PhonesGrid->GetRowCount(), 602);
    EXPECT_TRUE(memory.EraseCount() == 0 && memory.Numbers() == base);
}

TEST(LinkTransfers, AWriteClickedDuringANumberReadOnTheCableStartsNothing) {
    SlowPty c("write-mid-read");
    ASSERT_TRUE(c.ok);
    WriteClickedAtAThirdOfARead(c.device.sim, *c.memory);
}

TEST(LinkTransfers, AWriteClickedDuringANumberReadThroughTheLocalServerStartsNothing) {
    GprsLink c("write-mid-read-gprs");
    ASSERT_TRUE(c.ok);
    WriteClickedAtAThirdOfARead(c.modem, c.memory);
}

// The grid as the user left it: two numbers typed in earlier.
std::vector<TPhoneGridRow> GridBefore() {
    Form1->PhonesGrid->SetCells(1, 1, "9111111111");
    Form1->PhonesGrid->SetCells(1, 2, "9222222222");
    return Form1->PhoneGridRows();
}

TEST(LinkTransfers, AnUnplugMidReadEndsItAndTheNextControllerHearsNothingBeforeItsLogin) {
    SlowPty c("lost-read", true);
    ASSERT_TRUE(c.ok);
    const std::vector<TPhoneGridRow> before = GridBefore();
    c.memory->SetNumbers(devsim::SampleNumbers(kNumbers));
    testsupport::Click(Form1->UiButton5);
    ASSERT_GE(RunClockAlong([] { return g_PhoneRead.Reading() && g_PhoneRead.GetNextIndex() >= 62; }, 20000), 0);
    const int got = g_PhoneRead.GetNextIndex();
    ASSERT_TRUE(c.Unplug());
    ASSERT_TRUE(testsupport::WaitUntil([] { return Message().rfind("Связь", 0) == 0; }));
    EXPECT_EQ(Message(), "Связь с устройством потеряна.\r\nЧтение памяти номеров прервано (получено " +
                             std::to_string(got) + " из 300). Таблица номеров осталась прежней.");
    EXPECT_FALSE(g_PhoneRead.Running());
    EXPECT_FALSE(Form1->ProcPanel->GetVisible());
    EXPECT_EQ(Form1->PhoneGridRows(), before);

    ASSERT_TRUE(c.PlugInAnother(devsim::SampleNumbers(40)));
    EXPECT_TRUE(c.HeardOnlyIdentify());
    EXPECT_EQ(Form1->PhoneGridRows(), before);
    EXPECT_EQ(Message(), "Связь с устройством потеряна.\r\nЧтение памяти номеров прервано (получено " +
                             std::to_string(got) + " из 300). Таблица номеров осталась прежней.");
}

// A controller holding 217 of the 600 records it announces: its blocks from record 217 on bring
// none, asked again as lost ones are, and the read ends as a silent one does.
TEST(LinkTransfers, AReadWhoseBlocksBringNoRecordsEnds) {
    SlowPty c("empty-blocks");
    ASSERT_TRUE(c.ok);
    const std::vector<TPhoneGridRow> before = GridBefore();
    const std::vector<devsim::Bytes> base = devsim::SampleNumbers(600);
    c.memory->SetNumbers(base);
    testsupport::Click(Form1->UiButton5);
    ASSERT_TRUE(StepRepliesUntil(c.device.sim, [] { return g_PhoneRead.Reading(); }));
    c.memory->SetNumbers({base.begin(), base.begin() + 217});
    c.device.sim.HoldOutput(false);
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_PhoneRead.GetNextIndex() == 217; }));
    const std::int64_t progress = sys::TickMs();
    for (; g_PhoneRead.Running() && sys::TickMs() - progress < 30000; testsupport::Pump(5)) sys::AdvanceMs(100);
    EXPECT_LE(sys::TickMs() - progress, 20000);
    EXPECT_EQ(Message(), Form1->GetMessageA(4) + "\r\nЧтение памяти номеров прервано (получено 217 из 600). "
                                                 "Таблица номеров осталась прежней.");
    EXPECT_EQ(Form1->PhoneGridRows(), before);
}

TEST(LinkTransfers, AnUnplugMidWriteEndsItAndTheNextControllerHearsNothingBeforeItsLogin) {
    SlowPty c("lost-write", true);
    ASSERT_TRUE(c.ok);
    GridHolds(devsim::SampleNumbers(kNumbers));
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton6);
    ASSERT_GE(RunClockAlong([] { return g_PhoneWrite.Writing() && g_PhoneWrite.GetWriteIndex() >= 62; }, 20000), 0);
    const unsigned written = g_PhoneWrite.GetWriteIndex();
    ASSERT_TRUE(c.Unplug());
    const std::string told = "Связь с устройством потеряна.\r\nЗапись памяти номеров прервана (записано " +
                             std::to_string(written) +
                             " из 300). Устройство стёрло свою базу перед записью и теперь может хранить только "
                             "часть номеров: запишите базу снова.";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Message() == told; }));
    EXPECT_FALSE(g_PhoneWrite.Writing());
    EXPECT_FALSE(Form1->ProcPanel->GetVisible());

    const std::vector<devsim::Bytes> theirs = devsim::SampleNumbers(40);
    ASSERT_TRUE(c.PlugInAnother(theirs));
    EXPECT_TRUE(c.HeardOnlyIdentify());
    EXPECT_EQ(c.memory->Numbers(), theirs);
    EXPECT_EQ(Message(), told);
}

// The window connected to the controller and writing its 100 numbers back to it, the first
// block acknowledged and the second asked.
void StartNumberWrite(LinkRig& rig, SimPort& device, MemoryModel& memory) {
    SetPhoneRecords({});
    StopPhoneTransfers();
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    ASSERT_TRUE(device.started && rig.ConnectTo(device));
    memory.SetNumbers(devsim::SampleNumbers(100));
    testsupport::Click(Form1->UiButton5);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdReadNumbers, 1) && LinkRig::Deliver(FrameBytes(3)));
    for (std::size_t k = 2; k <= 5; ++k)
        ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdReadNumbers, k) &&
                    LinkRig::Deliver(FrameBytes(5 + (k == 5 ? 7 : 31) * 64)));
    ui::test::ClearDialogs();
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton6);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdWriteNumbers, 1) && LinkRig::Deliver(FrameBytes(2)));
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdWriteNumbers, 2));
}

// Closing the window while a write runs asks first; "no" goes on writing, "yes" closes and
// sends nothing more.
TEST(LinkTransfers, ClosingDuringANumberWriteAsksFirst) {
    LinkRig rig("close-write");
    SimPort& device = rig.AddController("dev");
    MemoryModel memory(*device.model, device.sim);
    ASSERT_NO_FATAL_FAILURE(StartNumberWrite(rig, device, memory));

    ui::test::PushDialogAnswer(IDNO);
    testsupport::Click(Form1->CloseImage);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 2u);
    const ui::test::TShownDialog& asked = ui::test::ShownDialogs().back();
    EXPECT_EQ(asked.text, "Идёт запись номерной базы в устройство (записано 31 из 100). Устройство стёрло свою базу "
                          "перед записью: если закрыть программу сейчас, в нём останется только часть номеров. "
                          "Закрыть программу?");
    EXPECT_EQ(asked.caption, "Информация");
    EXPECT_TRUE(g_PhoneWrite.Writing());
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(2)));
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdWriteNumbers, 3));

    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->CloseImage);
    EXPECT_EQ(ui::test::ShownDialogs().size(), 3u);
    EXPECT_FALSE(g_PhoneWrite.Writing());
    testsupport::Pump(50);
    sys::AdvanceMs(10000);
    testsupport::Pump(50);
    EXPECT_EQ(device.Requests(devsim::kCmdWriteNumbers), 3u);
}

// A logout's SIGTERM that comes while the close's own question is up: the box goes, the
// window closes without asking again, the write ends as "yes" ends it, the settings are saved.
TEST(LinkTransfers, AnEndSignalDuringANumberWriteClosesWithoutQuestions) {
    LinkRig rig("signal-write");
    SimPort& device = rig.AddController("dev");
    MemoryModel memory(*device.model, device.sim);
    ASSERT_NO_FATAL_FAILURE(StartNumberWrite(rig, device, memory));
    const std::string settings = g_SettingsPath;
    std::filesystem::remove(settings);
    const sys::TEndSignals endSignals(CloseMainFormOnEndSignal);
    ui::test::SetScripted(false);
    QStringList buttons;
    realinput::OnNextBox(buttons, [](QWidget*) { ::kill(::getpid(), SIGTERM); });
    testsupport::Click(Form1->CloseImage);
    ui::test::SetScripted(true);
    EXPECT_EQ(buttons.size(), 2);  // the question was up
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->GetVisible(); }));
    EXPECT_FALSE(g_PhoneWrite.Writing());
    EXPECT_NE(testsupport::ReadFileText(settings).find("[Settings]"), std::string::npos);
    testsupport::Pump(50);
    sys::AdvanceMs(10000);
    testsupport::Pump(50);
    EXPECT_EQ(device.Requests(devsim::kCmdWriteNumbers), 2u);
}

}  // namespace
