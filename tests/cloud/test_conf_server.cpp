// The local configuration server end to end: a device dials in over loopback (devsim's TCP
// mode), is asked to identify every 3 s until it answers and only then served, its frames
// are dispatched with the slow-link flag however the link splits them, a second device is
// turned away while the first answers its probe (only its status does), or waits while a
// command waits on the first and is served once it has ended, a served device gone quiet is
// let go and forgotten and the one that takes its place is named, connections that never identify keep
// no controller out, and the server stops one second after the served device has gone.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "cloud/ConfServer.h"
#include "platform/net/ScktComp.h"
#include "tests/cloud/CloudRig.h"
#include "tools/devsim/DevFrame.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

int Listening() { return Form1->ConfServer->GetSocket()->GetLocalPort(); }
int Connections() { return Form1->ConfServer->GetSocket()->GetActiveConnections(); }
bool Connected() { return Connections() == 1; }

// Clicks "Open" with the port text given: "" and "0" let the system pick one.
void OpenServer(const std::string& port = "0") {
    Form1->RconfPort->SetText(port);
    testsupport::Click(Form1->Button1->GetWidget());
}

// A device dialled in to the server: a controller model, or silent (the test answers).
struct DialledIn {
    explicit DialledIn(bool controller) {
        if (controller) model = std::make_unique<devsim::DeviceModel>(sim);
        ok = sim.Dial("127.0.0.1", Listening());
    }
    ~DialledIn() {
        model.reset();
        sim.Stop();
    }
    std::size_t Requests(std::uint8_t command) const {
        std::size_t n = 0;
        for (const devsim::Frame& f : sim.Frames()) n += f.command == command;
        return n;
    }
    void Send(const devsim::Bytes& bytes) { sim.Send(bytes); }
    // The bytes have left the device, while the window reads nothing (bounded).
    bool Flushed() const {
        for (int i = 0; i < 3000 && sim.PendingOutput() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return sim.PendingOutput() == 0;
    }

    devsim::DevSim sim{""};
    std::unique_ptr<devsim::DeviceModel> model;
    bool ok = false;
};

const devsim::Bytes kIdentifyReply = devsim::BuildReply(0x00, {1, 3, 0, 0, 0x0B, 0});

bool Identified() { return g_ConfServerConnected == 1; }
bool AskedForPassword() { return Form1->MESPANEL->GetVisible() && Form1->PageControlMes->GetActivePageIndex() == 1; }

// The test answers the first identify request of a device dialled in without a model.
void AnswerIdentify(DialledIn& device) {
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(0x00) == 1; }));
    device.Send(kIdentifyReply);
    ASSERT_TRUE(WaitUntil(Identified));
}

// The test's device logs in with the password typed on the connection page, and its status
// names it by imei.
void LogIn(DialledIn& device, const std::string& imei) {
    Form1->USBPASS->SetText("1234");
    testsupport::Click(Form1->Button5);
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(CmdPassword) == 1; }));
    device.Send(devsim::BuildReply(CmdPassword, {0, 32, 0}));
    ASSERT_TRUE(WaitUntil([] { return g_AccessLevel == 32; }));
    const devsim::Bytes record = devsim::DeviceModel::StatusRecordWithImei(imei);
    devsim::Bytes status{0, static_cast<std::uint8_t>(record.size()), static_cast<std::uint8_t>(record.size() >> 8)};
    status.insert(status.end(), record.begin(), record.end());
    device.Send(devsim::BuildReply(CmdReadStatus, status));
    ASSERT_TRUE(WaitUntil([&] { return Form1->Limei->GetCaption() == "IMEI: " + imei; }));
}

// Connections of the test's own that say nothing, opened at once from one address of the
// loopback network (127.0.0.2 is another machine to the server).
struct SilentPeers {
    SilentPeers(std::size_t n, const char* from, int port) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(static_cast<std::uint16_t>(port));
        inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
        for (std::size_t k = 0; k < n; ++k) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
            ::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server);  // under way
            fds.push_back(fd);
        }
    }
    ~SilentPeers() {
        for (int fd : fds) ::close(fd);
    }
    // Those the server has closed; what it sent them (identify requests) is read and dropped.
    std::size_t Closed() {
        std::size_t closed = 0;
        for (int fd : fds) {
            char buf[256];
            ssize_t n;
            while ((n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT)) > 0) {
            }
            closed += n == 0 || (errno != EAGAIN && errno != ENOTCONN);
        }
        return closed;
    }
    std::vector<int> fds;
};

TEST(ConfServer, DeviceIsIdentifiedEveryThreeSecondsUntilItAnswers) {
    CloudRig rig("confserver-identify");
    OpenServer("");  // port 0: the system picks one
    ASSERT_TRUE(Form1->ConfServer->GetActive());
    EXPECT_EQ(Form1->Button1->Tag, 1);
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(20));
    EXPECT_EQ(Form1->ComPortDeviceCaption->GetCaption(), "Remote config: wait ...");

    DialledIn device(false);
    ASSERT_TRUE(device.ok);
    ASSERT_TRUE(WaitUntil(Connected));
    EXPECT_EQ(g_RemoteAddress, "127.0.0.1");
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(45) + ", IP:127.0.0.1");

    sys::AdvanceMs(1000);  // the next tick asks
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(0x00) == 1; }));
    sys::AdvanceMs(2000);
    testsupport::Pump(50);
    EXPECT_EQ(device.Requests(0x00), 1u);
    sys::AdvanceMs(1000);  // three seconds after the first
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(0x00) == 2; }));

    // The answer: served from now on, dispatched, the link marked.
    ASSERT_EQ(g_ConfServerLink, 0);
    ASSERT_FALSE(Identified());
    device.Send(kIdentifyReply);
    ASSERT_TRUE(WaitUntil(Identified));
    EXPECT_EQ(g_ConfServerLink, 1);
    EXPECT_EQ(Form1->ComPortDeviceCaption->GetCaption().rfind("127.0.0.1: ", 0), 0u);  // named by its address
    EXPECT_NE(Form1->ComPortDeviceCaption->GetCaption().find("127.0.0.1: "), std::string::npos);
    sys::AdvanceMs(6000);
    testsupport::Pump(50);
    EXPECT_EQ(device.Requests(0x00), 2u);

    // Requests of the tool reach the device over this link, after the server's own question.
    SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0});
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(CmdReadStatus) == 2; }));

    // The device goes while a command waits for its answer: the wait ends with it, the
    // disconnect is what the user is told, and the server stops one tick later.
    testsupport::Click(Form1->Bdef);
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(CmdDefragment) == 1; }));
    device.sim.Stop();
    ASSERT_TRUE(WaitUntil([] { return g_ConfServerStop == 1; }));
    testsupport::Pump(50);
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(57));
    EXPECT_EQ(Form1->Button1->Tag, 1);
    sys::AdvanceMs(1000);
    EXPECT_EQ(Form1->Button1->Tag, 0);
    EXPECT_FALSE(Form1->ConfServer->GetActive());
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(59));
    EXPECT_EQ(g_ConfServerLink, 0);
    EXPECT_EQ(g_ConfServerConnected, 0);
}

TEST(ConfServer, ButtonStopsTheServerAtOnce) {
    CloudRig rig("confserver-stop");
    OpenServer();
    ASSERT_TRUE(Form1->ConfServer->GetActive());
    testsupport::Click(Form1->Button1->GetWidget());
    EXPECT_FALSE(Form1->ConfServer->GetActive());
    EXPECT_EQ(Form1->Button1->Tag, 0);
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(59));
    EXPECT_EQ(Form1->Send_gprs_data(reinterpret_cast<const std::uint8_t*>("x"), 1), 0);
}

TEST(ConfServer, TwoFramesInOneBlockAreBothDispatched) {
    CloudRig rig("confserver-two-frames");
    OpenServer();
    DialledIn device(false);
    ASSERT_TRUE(WaitUntil(Connected));
    // The identify answer, a transparent-port result and a Safe City status, one after the other.
    devsim::Bytes block = kIdentifyReply;
    for (const devsim::Bytes& frame : {devsim::BuildReply(0x34, {0}),
                                       devsim::BuildReply(0x62, {0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})})
        block.insert(block.end(), frame.begin(), frame.end());
    Form1->SafeCityStat->SetCaption("x");
    Form1->SafeCityTags->SetCaption("x");
    device.Send(block);
    ASSERT_TRUE(WaitUntil([] { return Form1->SafeCityStat->GetCaption() == "Безопасный город: отключен"; }));
    EXPECT_EQ(Form1->SafeCityTags->GetCaption(), "");
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(32));
    EXPECT_EQ(g_ConfServerLink, 1);
}

// More than a 16-bit count waiting at once is all read: the frames after it still arrive.
TEST(ConfServer, ReadOfMoreThan65535BytesLeavesTheLinkWorking) {
    CloudRig rig("confserver-big-read");
    OpenServer();
    DialledIn device(false);
    ASSERT_TRUE(WaitUntil(Connected));
    devsim::Bytes block(70000, 0x00);
    block.insert(block.end(), kIdentifyReply.begin(), kIdentifyReply.end());
    device.Send(block);
    ASSERT_TRUE(device.Flushed());  // all of it waits for one read
    ASSERT_TRUE(WaitUntil(Identified));
}

// GPRS splits frames anywhere: the pieces are put together; a frame cut short for good
// holds the frames after it back for ten seconds at most.
TEST(ConfServer, FramesSplitAcrossReadsAreReassembled) {
    CloudRig rig("confserver-split");
    OpenServer();
    DialledIn device(false);
    ASSERT_TRUE(WaitUntil(Connected));
    for (std::size_t cut : {3u, 9u}) {
        device.Send(devsim::Bytes(kIdentifyReply.begin() + (cut == 3 ? 0 : 3), kIdentifyReply.begin() + cut));
        ASSERT_TRUE(WaitUntil([&] { return ConfServerHeld() == cut; }));
    }
    EXPECT_FALSE(Identified());
    device.Send(devsim::Bytes(kIdentifyReply.begin() + 9, kIdentifyReply.end()));
    ASSERT_TRUE(WaitUntil(Identified));
    EXPECT_EQ(ConfServerHeld(), 0u);

    devsim::Bytes cutShort = devsim::BuildReply(0x29, devsim::Bytes(100, 7));
    cutShort.resize(30);
    device.Send(cutShort);
    ASSERT_TRUE(WaitUntil([] { return ConfServerHeld() == 30; }));
    const devsim::Bytes after = devsim::BuildReply(0x34, {0});
    device.Send(after);
    ASSERT_TRUE(WaitUntil([&] { return ConfServerHeld() == 30 + after.size(); }));
    sys::AdvanceMs(8000);
    EXPECT_NE(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(32));
    sys::AdvanceMs(2000);
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == Form1->GetMessageA(32); }))
        << Form1->MESLABEL->GetCaption() << ", " << ConfServerHeld() << " bytes held";
    EXPECT_EQ(ConfServerHeld(), 0u);
}

// While one device is served, a second one that identifies is turned away once the first,
// not yet logged in, has answered whether it is still there; its going does not end the
// first one's session.
TEST(ConfServer, SecondDeviceIsTurnedAwayAndTheFirstKeepsItsSession) {
    CloudRig rig("confserver-second");
    OpenServer();
    DialledIn first(true);
    ASSERT_TRUE(WaitUntil(Connected));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil(Identified));

    DialledIn second(true);
    ASSERT_TRUE(WaitUntil([] { return Connections() == 2; }));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([&] { return second.Requests(0x00) == 1 && first.Requests(CmdReadStatus) == 2; }));
    first.Send(devsim::BuildReply(0x34, {0}));  // after its answer, a frame the window shows
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == Form1->GetMessageA(32); }));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([&] { return second.sim.HungUpByPeer(); }));
    EXPECT_TRUE(CloudRig::Logged(ConfServerRefusedLine("127.0.0.1")));
    sys::AdvanceMs(kConfProbeTicks * 1000);
    testsupport::Pump(50);
    EXPECT_EQ(Form1->Button1->Tag, 1);
    EXPECT_TRUE(Form1->ConfServer->GetActive());
    EXPECT_EQ(g_ConfServerConnected, 1);
    EXPECT_FALSE(first.sim.HungUpByPeer());
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(32));
    SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0});
    ASSERT_TRUE(WaitUntil([&] { return first.Requests(CmdReadStatus) == 3; }));

    // The first one resets its connection: the reset is what the user is told.
    first.sim.ResetConnection();
    ASSERT_TRUE(WaitUntil([] { return g_ConfServerStop == 1; }));
    testsupport::Pump(50);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(58));
}

// A port scan's connect-and-close and a connection that never answers are no controller:
// neither stops the server nor keeps a controller out.
TEST(ConfServer, StrayConnectionsNeitherStopTheServerNorTurnAControllerAway) {
    CloudRig rig("confserver-stray");
    OpenServer();
    {
        DialledIn scan(false);
        ASSERT_TRUE(WaitUntil(Connected));
    }
    ASSERT_TRUE(WaitUntil([] { return Connections() == 0; }));
    DialledIn quiet(false);
    ASSERT_TRUE(WaitUntil(Connected));
    DialledIn controller(true);
    ASSERT_TRUE(WaitUntil([] { return Connections() == 2; }));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil(Identified));
    // The quiet one's request crosses its paced line in its own time.
    ASSERT_TRUE(WaitUntil([&] { return quiet.Requests(0x00) >= 1; }));
    EXPECT_EQ(quiet.Requests(0x00), 1u);
    quiet.sim.Stop();
    ASSERT_TRUE(WaitUntil(Connected));
    sys::AdvanceMs(2000);
    testsupport::Pump(50);
    EXPECT_EQ(Form1->Button1->Tag, 1);
    EXPECT_TRUE(Identified());
    EXPECT_NE(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(57));
    SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0});
    ASSERT_TRUE(WaitUntil([&] { return controller.Requests(CmdReadStatus) == 2; }));
}

// A logged-in device whose link died without a close: a minute of status requests without
// an answer closes its link and tells the user; the server listens on, and the device can
// dial in again.
TEST(ConfServer, ServedDeviceSilentForAMinuteIsLetGo) {
    CloudRig rig("confserver-silent");
    OpenServer();
    DialledIn device(false);
    ASSERT_TRUE(WaitUntil(Connected));
    AnswerIdentify(device);
    LogIn(device, "861000000000001");
    ASSERT_EQ(StatusImei(g_StatusRecord), "861000000000001");
    std::ofstream(g_SettingsPath) << "[Passes]\n861000000000001=1234\n";

    for (int s = 0; s < 59; ++s) sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([&] { return device.Requests(CmdReadStatus) >= 100; }));
    EXPECT_FALSE(device.sim.HungUpByPeer());
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([&] { return device.sim.HungUpByPeer(); }));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), ConfServerLostText("127.0.0.1"));
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(g_AccessLevel, 0);
    EXPECT_FALSE(Identified());
    sys::AdvanceMs(2000);
    EXPECT_EQ(Form1->Button1->Tag, 1);
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(20));

    // Another controller dials in and asks for its password: it is not sent the first one's.
    DialledIn again(true);
    again.model->SetPromptAfterIdentify(true);
    ASSERT_TRUE(WaitUntil(Connected));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil(Identified));
    ASSERT_TRUE(WaitUntil(AskedForPassword));
    testsupport::Pump(50);
    EXPECT_EQ(again.Requests(CmdPassword), 0u);
}

// A controller dials in while the served one's link, dead without a close, is still served:
// the newcomer identifies, the old one does not answer whether it is still there, and the
// newcomer takes over; nothing more goes to the old one, and nothing names it any more.
TEST(ConfServer, ControllerTakesOverFromASilentLinkAndIsNamed) {
    CloudRig rig("confserver-takeover");
    OpenServer();
    DialledIn old(false);
    ASSERT_TRUE(WaitUntil(Connected));
    AnswerIdentify(old);
    LogIn(old, "861000000000001");
    std::ofstream(g_SettingsPath) << "[Passes]\n861000000000001=1234\n";  // not for the next one

    DialledIn again(true);
    again.model->SetIdentity({true, 3, 0x8B, 0});  // the DIN model: its caption differs
    again.model->SetStatusRecord(devsim::DeviceModel::StatusRecordWithImei("861000000000002"));
    again.model->SetPromptAfterIdentify(true);
    ASSERT_TRUE(WaitUntil([] { return Connections() == 2; }));
    // Asked its status, which names it, the old one answers nothing.
    for (int s = 0; s < 3 * kConfProbeTicks && !old.sim.HungUpByPeer(); ++s) {
        sys::AdvanceMs(1000);
        ASSERT_TRUE(WaitUntil([&] { return again.Requests(0x00) >= 1; }));
        testsupport::Pump(20);
    }
    ASSERT_TRUE(WaitUntil([&] { return old.sim.HungUpByPeer(); }));
    const std::size_t polled = old.Requests(CmdReadStatus);
    EXPECT_TRUE(CloudRig::Logged(ConfServerLostText("127.0.0.1")));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil(Identified));
    ASSERT_TRUE(WaitUntil(AskedForPassword));
    EXPECT_EQ(Form1->ComPortDeviceCaption->GetCaption(), "127.0.0.1: Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(Form1->Limei->GetCaption(), "IMEI:");
    EXPECT_EQ(again.Requests(CmdPassword), 0u);

    for (const char digit : std::string("1234"))
        testsupport::KeyClick(Form1->PassEdit->GetWidget(), Qt::Key_0 + (digit - '0'), QString(QChar(digit)));
    testsupport::KeyClick(Form1->PassEdit->GetWidget(), Qt::Key_Return, "\r");
    ASSERT_TRUE(WaitUntil([] { return g_AccessLevel == 32; }));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([] { return Form1->Limei->GetCaption() == "IMEI: 861000000000002"; }));
    EXPECT_EQ(old.Requests(CmdReadStatus), polled);
    EXPECT_FALSE(again.sim.HungUpByPeer());
}

// A window that goes takes its server's connections along: the next window's timer has no
// tick for them.
TEST(ConfServer, AWindowGoneLeavesTheNextNoTickForItsConnections) {
    std::optional<DialledIn> peer;  // outlives the window it dialled
    {
        CloudRig rig("confserver-gone");
        OpenServer();
        peer.emplace(false);
        ASSERT_TRUE(WaitUntil(Connected));
    }
    EXPECT_EQ(g_RemoteAddress, "");
    CloudRig rig("confserver-next");
    const unsigned wakes = Form1->Find_device->Wakes();
    sys::AdvanceMs(3000);
    EXPECT_EQ(Form1->Find_device->Wakes(), wakes);
}

// A peer that identified once with a forged frame, then sends a byte every 2 s or floods,
// does not answer the probe: a controller dialling in is served within 20 s.
TEST(ConfServer, ForgedIdentifyThenChatterKeepsNoControllerOut) {
    CloudRig rig("confserver-forged");
    for (const bool flood : {false, true}) {
        SCOPED_TRACE(flood);
        Form1->MiniLOG->GetLines()->Clear();
        OpenServer();
        DialledIn forged(false);
        ASSERT_TRUE(WaitUntil(Connected));
        AnswerIdentify(forged);
        forged.Send(devsim::Bytes{'S', 'L', 'M', 'X', 0xA0, 0x0F});  // a byte after it is held: read
        ASSERT_TRUE(WaitUntil([] { return ConfServerHeld() == 6; }));
        DialledIn controller(true);
        ASSERT_TRUE(WaitUntil([] { return Connections() == 2; }));
        const auto lost = [] { return CloudRig::Logged(ConfServerLostText("127.0.0.1")); };
        int s = 0;
        for (; s < 20 && !(lost() && Identified()); ++s) {
            const std::size_t held = ConfServerHeld(), more = flood ? 64 * 1024 : s % 2 == 0;
            if (!lost()) {
                forged.Send(devsim::Bytes(more, 0x55));
                // The byte is read: held behind the forged frame, or passed on once the
                // frame's time bound freed what followed it (a loaded machine answers late).
                ASSERT_TRUE(flood ? forged.Flushed()
                                  : WaitUntil([&] { return ConfServerHeld() == held + more || ConfServerHeld() == 0; }));
            }
            sys::AdvanceMs(1000);
            testsupport::Pump(20);
        }
        EXPECT_LT(s, 20);
        EXPECT_TRUE(WaitUntil([&] { return forged.sim.HungUpByPeer(); }));
        EXPECT_FALSE(controller.sim.HungUpByPeer());
        testsupport::Click(Form1->Button1->GetWidget());
    }
}

// While a configuration read waits on the served controller, a controller dialling in waits
// and the title says so; once the read has ended it is served at the next tick, though it
// answered nothing while it waited, and the one served before is let go.
TEST(ConfServer, ControllerWaitingThroughAReadIsServedOnceItEnds) {
    CloudRig rig("confserver-waited");
    OpenServer();
    DialledIn old(false);
    ASSERT_TRUE(WaitUntil(Connected));
    AnswerIdentify(old);
    LogIn(old, "861000000000001");
    testsupport::Click(Form1->Bsetting);
    ASSERT_TRUE(WaitUntil([&] { return old.Requests(CmdReadConfig) == 1; }));

    DialledIn next(true);
    next.model->SetAnswerStatus(false);
    next.model->SetPromptAfterIdentify(true);
    ASSERT_TRUE(WaitUntil([] { return Connections() == 2; }));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged(ConfServerWaitingLine("127.0.0.1")); }));
    const std::string waiting = " — ждёт другое устройство";
    EXPECT_NE(Form1->ComPortDeviceCaption->GetCaption().find(waiting), std::string::npos);
    old.Send(devsim::BuildReply(CmdReadConfig, {1}));
    ASSERT_TRUE(WaitUntil([] { return g_WaitTicks == 0; }));
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil(AskedForPassword));
    EXPECT_TRUE(WaitUntil([&] { return old.sim.HungUpByPeer(); }));
    EXPECT_TRUE(CloudRig::Logged(ConfServerHandoverLine("127.0.0.1")));
    EXPECT_EQ(Form1->ComPortDeviceCaption->GetCaption().find(waiting), std::string::npos);
    EXPECT_FALSE(next.sim.HungUpByPeer());
}

// A connection that keeps sending without ever identifying grows no younger for it: it is
// closed when its time to identify is up, as a silent one is.
TEST(ConfServer, ConnectionSendingWithoutIdentifyingIsClosedAtItsAge) {
    CloudRig rig("confserver-chatter");
    OpenServer();
    DialledIn chatter(false);
    ASSERT_TRUE(WaitUntil(Connected));
    chatter.Send(devsim::Bytes{'S', 'L', 'M', 'X', 0xA0, 0x0F});  // a frame that never ends
    for (std::size_t s = 1; s < kConfIdentifyTicks; ++s) {
        chatter.Send(devsim::Bytes{0x55});
        ASSERT_TRUE(WaitUntil([&] { return ConfServerHeld() == 6 + s; }));
        sys::AdvanceMs(1000);
    }
    EXPECT_FALSE(chatter.sim.HungUpByPeer());
    sys::AdvanceMs(1000);
    ASSERT_TRUE(WaitUntil([&] { return chatter.sim.HungUpByPeer(); }));
}

// Connections that say nothing keep no controller out, however many: four from the
// controller's own address, then 200 opened at once from another. The controller dials in
// once and is served on the first tick, never told the server is busy, and the window
// answers throughout; one address holds a few places at most, and silent ones go when
// their time to identify is up.
TEST(ConfServer, SilentConnectionsKeepNoControllerOut) {
    CloudRig rig("confserver-flood");
    double longest = 0;
    const auto answering = [&](const std::function<bool()>& pred) {
        double turn = 0;
        const bool held = cloudtest::WaitAnswering(pred, 20000, turn);
        longest = std::max(longest, turn);
        return held;
    };
    for (const auto& [n, from] : {std::pair<std::size_t, const char*>{4, "127.0.0.1"}, {200, "127.0.0.2"}}) {
        SCOPED_TRACE(n);
        OpenServer();
        SilentPeers silent(n, from, Listening());
        const std::size_t kept = std::min(n, kConfWaitingPerAddress);
        ASSERT_TRUE(answering([&] { return silent.Closed() == n - kept && Connections() == static_cast<int>(kept); })) << silent.Closed();
        DialledIn controller(true);
        ASSERT_TRUE(controller.ok);
        const std::size_t made = std::string(from) == "127.0.0.1";  // its own address's share is full
        ASSERT_TRUE(answering(
            [&] { return silent.Closed() == n - kept + made && Connections() == static_cast<int>(kept - made + 1); }));
        sys::AdvanceMs(1000);
        ASSERT_TRUE(answering(Identified));
        EXPECT_FALSE(CloudRig::Logged(ConfServerRefusedLine("127.0.0.1")));
        sys::AdvanceMs((kConfIdentifyTicks - 1) * 1000);
        ASSERT_TRUE(answering([&] { return silent.Closed() == n; }));
        EXPECT_EQ(g_ConfServerConnected, 1);
        EXPECT_FALSE(controller.sim.HungUpByPeer());
        testsupport::Click(Form1->Button1->GetWidget());  // stopped: the next round opens afresh
    }
    EXPECT_LT(longest, 1000.0);
}

}  // namespace
