// The cloud session end to end against the simulated server on loopback: the login with its
// repetitions and animation, the status poll, the configuration read, tunnelled frames and
// the traffic window.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "cloud/CloudRequest.h"
#include "support/RealInput.h"
#include "config/ConfigRecord.h"
#include "tests/cloud/CloudRig.h"
#include "widgets/UiBorder.h"
#include "widgets/UiPrgres.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

// One second of Ftimer ticks.
void Second() { sys::AdvanceMs(1000); }

// A server on loopback whose backlog is full: the system drops every further connection
// request, so a connect to it neither completes nor fails.
struct UnacceptingServer {
    UnacceptingServer() : listening(testsupport::ListenOnLoopback(0, port)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        setenv("ZENTOR_CLOUD_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);  // the rig's end unsets it
    }
    ~UnacceptingServer() {
        ::close(filler);
        ::close(listening);
    }
    // Connection requests to it that the system keeps repeating (state SYN-SENT).
    int Knocking() const {
        char portHex[8];
        std::snprintf(portHex, sizeof portHex, ":%04X", port);
        std::ifstream tcp("/proc/net/tcp");
        std::string sl, local, remote, state, rest;
        int n = 0;
        while (tcp >> sl >> local >> remote >> state && std::getline(tcp, rest))
            n += remote.size() > 5 && remote.substr(remote.size() - 5) == portHex && state == "02";
        return n;
    }
    // The tool's connection to it is closed: nothing is sent should it be accepted later.
    bool GivenUp() const { return !Form1->ClientSocket->GetActive() && Knocking() == 0; }
    int port = 0, listening = -1, filler = -1;  // the port first: the listener sets it
};

TEST(CloudSession, LoginAnsweredAtTheThirdAttemptLogsInAsAdministrator) {
    CloudRig rig("cloud-login-retry");
    rig.sim.SetLoginAnswerFrom(3);
    struct UmaskZero {
        mode_t old = ::umask(0);
        ~UmaskZero() { ::umask(old); }
    } umaskZero;
    rig.Connect();
    EXPECT_TRUE(Form1->AnimateConnectionPanel->GetVisible());
    EXPECT_TRUE(Form1->AnimateTimer->GetEnabled());
    ASSERT_TRUE(rig.AwaitCount("dispauth", 1));
    ASSERT_TRUE(WaitUntil([] { return Form1->AnCh1->GetVisible(); }));
    EXPECT_FALSE(Form1->AnUnCh1->GetVisible());
    EXPECT_TRUE(CloudRig::Logged("Подключение установлено"));
    EXPECT_EQ(g_CloudSession, 0);

    const unsigned wakes = Form1->Ftimer->Wakes();
    Second();
    ASSERT_TRUE(rig.AwaitCount("dispauth", 2));
    EXPECT_TRUE(CloudRig::Logged("Повтор авторизации..."));
    EXPECT_LE(Form1->Ftimer->Wakes() - wakes, 2u);  // the retry's tick (and the scan's), no other
    Second();
    ASSERT_TRUE(rig.AwaitCount("dispauth", 3));
    ASSERT_TRUE(WaitUntil([] { return g_CloudSession == 1; }));

    EXPECT_EQ(g_SessionImei, cloudtest::kImei);
    EXPECT_EQ(g_SessionPass, cloudtest::kPass);
    EXPECT_EQ(g_AccessLevel, 32);
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Администратор");
    EXPECT_TRUE(Form1->Bsetting->GetEnabled());
    EXPECT_TRUE(Form1->BService->GetEnabled());
    EXPECT_TRUE(Form1->CloseSession->GetVisible());
    EXPECT_EQ(Form1->ActivePageIndex(), 1);
    EXPECT_EQ(g_LoginRetryTicks, 0);
    EXPECT_TRUE(Form1->AnCh2->GetVisible());
    EXPECT_TRUE(CloudRig::Logged("Ответ на авторизацию"));
    // The device and its password are remembered in a settings file only its owner reads.
    struct stat st{};
    ASSERT_EQ(::stat(g_SettingsPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // The login request carried the typed device and "high priority".
    const auto requests = rig.sim.Requests();
    EXPECT_EQ(requests[0].imei, cloudtest::kImei);
    EXPECT_EQ(requests[0].pass, cloudtest::kPass);
    EXPECT_EQ(requests[0].data.asString(), "high priority");
    EXPECT_EQ(requests[0].uid, std::to_string(g_SessionUid));

    // Both ticks shown, the panel closes 1.2 s later.
    sys::AdvanceMs(1000);
    EXPECT_TRUE(Form1->AnimateConnectionPanel->GetVisible());
    sys::AdvanceMs(200);
    EXPECT_FALSE(Form1->AnimateConnectionPanel->GetVisible());
    // No further repetitions once logged in.
    Second();
    Second();
    testsupport::Pump(50);
    EXPECT_EQ(rig.sim.Count("dispauth"), 3u);
}

TEST(CloudSession, SilentServerGetsSixLoginsThenTheFailureText) {
    CloudRig rig("cloud-login-silent");
    rig.sim.SetLoginAnswerFrom(1000);
    rig.Connect();
    ASSERT_TRUE(rig.AwaitCount("dispauth", 1));
    for (std::size_t n = 2; n <= 6; ++n) {
        Second();
        ASSERT_TRUE(rig.AwaitCount("dispauth", n)) << n;
    }
    Second();
    testsupport::Pump(100);
    EXPECT_EQ(rig.sim.Count("dispauth"), 6u);
    EXPECT_TRUE(Form1->AnUnCh2->GetVisible());
    EXPECT_EQ(Form1->AnMes->GetCaption(), LoginNoAnswerText());
    EXPECT_EQ(Form1->AnimateConnectionPanel->GetHeight(), kAnimPanelHeightText);
    EXPECT_EQ(g_CloudSession, 0);
    // The failure stays readable for 15 s.
    sys::AdvanceMs(14000);
    EXPECT_TRUE(Form1->AnimateConnectionPanel->GetVisible());
    sys::AdvanceMs(1000);
    EXPECT_FALSE(Form1->AnimateConnectionPanel->GetVisible());
    // The connection, never logged in, ends: a wait that is not its own (a transfer on the
    // cable) stays.
    ShowWaitPanel(60, 0, "Чтение настроек прибора");
    rig.sim.CloseClient();
    ASSERT_TRUE(WaitUntil([] { return !Form1->ClientSocket->GetActive(); }));
    testsupport::Pump(50);
    EXPECT_TRUE(Form1->TimerProgress->GetEnabled());
}

// The server refuses the password and closes: its word stands, the close adds none.
TEST(CloudSession, WrongPasswordIsRefused) {
    CloudRig rig("cloud-login-refused");
    rig.sim.SetCloseAfterReply("dispauth");
    rig.Connect(cloudtest::kImei, "9999");
    ASSERT_TRUE(rig.AwaitCount("dispauth", 1));
    ASSERT_TRUE(WaitUntil([] { return Form1->AnUnCh2->GetVisible(); }));
    ASSERT_TRUE(WaitUntil([] { return !Form1->ClientSocket->GetActive(); }));
    testsupport::Pump(50);
    EXPECT_EQ(Form1->AnMes->GetCaption(), "Проверьте правильность ввода пароля");
    EXPECT_FALSE(Form1->AnUnCh1->GetVisible());
    EXPECT_EQ(g_CloudSession, 0);
    EXPECT_EQ(g_LoginRetryTicks, 0);
    EXPECT_TRUE(CloudRig::Logged("Ошибка авторизации"));
}

TEST(CloudSession, ManagerLeavesTheAdministratorsButtonsDisabled) {
    CloudRig rig("cloud-login-manager");
    rig.sim.SetAccount(cloudtest::kImei, cloudtest::kPass, "manager");
    ASSERT_TRUE(rig.LogIn());
    EXPECT_EQ(g_AccessLevel, 16);
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Управляющий");
    EXPECT_TRUE(Form1->Busers->GetEnabled());
    EXPECT_FALSE(Form1->Bsetting->GetEnabled());
    EXPECT_FALSE(Form1->Bshedl->GetEnabled());
    EXPECT_FALSE(Form1->BService->GetEnabled());
}

// A window that goes during a session, or with a log request waiting for its connection,
// leaves nothing of them to the next window.
TEST(CloudSession, AWindowGoneDuringASessionLeavesNothingOfIt) {
    {
        CloudRig rig("cloud-window-gone");
        ASSERT_TRUE(rig.LogIn());
        ASSERT_NE(g_AnimStep, -1);
    }
    EXPECT_EQ(g_CloudSession, 0);
    EXPECT_EQ(g_SessionImei, "");
    EXPECT_EQ(g_StatusPollTicks, 0);
    EXPECT_EQ(g_AnimStep, -1);
    EXPECT_FALSE(g_CloudFrameSender);
    {
        CloudRig rig("cloud-window-gone-log");
        testsupport::Click(Form1->HronologyGet);  // waits for its connection
        ASSERT_FALSE(g_PendingChrono.isNull());
    }
    EXPECT_TRUE(g_PendingChrono.isNull());
}

TEST(CloudSession, UnreachableServerShowsTheFirstStageCross) {
    CloudRig rig("cloud-unreachable");
    const int port = rig.sim.Port();
    rig.sim.Stop();  // nobody listens there now
    setenv("ZENTOR_CLOUD_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    rig.Connect();
    ASSERT_TRUE(WaitUntil([] { return Form1->AnUnCh1->GetVisible(); }));
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    EXPECT_EQ(Form1->AnimateConnectionPanel->GetHeight(), kAnimPanelHeightText);
    // No login repetition replaces the server's text; the panel closes after 10 s.
    sys::AdvanceMs(9800);
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    sys::AdvanceMs(400);
    EXPECT_FALSE(Form1->AnimateConnectionPanel->GetVisible());
}

TEST(CloudSession, StatusPollShowsTheStatusReplyAndAsksSafeCityBeforeIt) {
    CloudRig rig("cloud-status");
    Json::Value status(Json::objectValue);
    status["csq"] = "17";
    status["fw"] = "32";
    status["hw"] = "11";
    status["connection"] = "1";
    status["in1"] = "1";
    status["ar"] = "1";
    status["al"] = "admin";
    status["nettime"] = "12:00";
    status["rfidCount"] = 2;
    status["rfidState"] = "2";
    status["upd"] = "1";
    status["updpercent"] = "40";
    rig.sim.SetStatus(status);
    rig.sim.SetReply("update", Json::Value());  // the update's end comes later
    ASSERT_TRUE(rig.LogIn());
    testsupport::Click(Form1->Bupd);
    ASSERT_TRUE(rig.AwaitCount("update", 1));
    for (int s = 0; s < 4; ++s) Second();
    // 0x62 goes out one second before the first "gsmst", through the session.
    ASSERT_TRUE(WaitUntil([&] { return rig.sim.FramesToDevice() >= 1; }));
    EXPECT_EQ(rig.sim.Count("gsmst"), 0u);
    Second();
    ASSERT_TRUE(rig.AwaitCount("gsmst", 1));
    ASSERT_TRUE(WaitUntil([] { return Form1->Lsig->GetCaption() == "Сигнал: 17"; }));
    EXPECT_EQ(Form1->Msig->GetValue(), 17);
    EXPECT_EQ(Form1->Lfw->GetCaption(), "FW: 32");
    EXPECT_EQ(Form1->Lserver->GetCaption(), "CloudTalivex: connected");
    EXPECT_EQ(Form1->Linput1->GetCaption(), "Вход 1: активен");
    EXPECT_EQ(Form1->Bar->GetCaption(), "Выключить");
    EXPECT_EQ(Form1->netTime->GetCaption(), "Время сети: 12:00");
    EXPECT_EQ(Form1->Limei->GetCaption(), "IMEI: " + cloudtest::kImei);
    EXPECT_TRUE(CloudRig::Logged("Запрос статуса"));
    EXPECT_TRUE(CloudRig::Logged("Ответ на запрос статуса"));
    auto* bar = dynamic_cast<TUiProgressBar*>(Form1->FindComponent("UPDPR"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->GetVisible());
    EXPECT_EQ(bar->GetPercent(), 40);
    // The update's end hides the bar.
    rig.sim.SendRaw("{\"data\":\"updated\",\"response\":\"update\"}\n\r");
    ASSERT_TRUE(WaitUntil([bar] { return !bar->GetVisible(); }));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Обновление завершено. Прибор будет перезагружен!");
    // Every five seconds after that.
    for (int s = 0; s < 5; ++s) Second();
    EXPECT_TRUE(rig.AwaitCount("gsmst", 2));
}

// The status leaves another request's wait open; when it refuses the password (changed on
// the server), the session ends with its wait, and the refusal is what stays on the screen.
TEST(CloudSession, StatusReplyLeavesAnotherRequestsWaitOpenUntilItEndsTheSession) {
    CloudRig rig("cloud-status-wait");
    ASSERT_TRUE(rig.LogIn());
    ShowWaitPanel(60, 0, "Чтение шаблонов расписания");
    rig.sim.SendRaw(cloudsim::ReplyBytes([] {
        Json::Value r(Json::objectValue);
        r["response"] = "gsmst";
        r["data"] = Json::Value(Json::objectValue);
        return r;
    }()));
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged("Ответ на запрос статуса"); }));
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    rig.sim.SendRaw("{\"data\":\"fail auth\",\"response\":\"gsmst\"}\n\r");
    ASSERT_TRUE(WaitUntil([] { return g_CloudSession == 0; }));
    testsupport::Pump(50);
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Не правильно введен пароль!");
}

TEST(CloudSession, ScheduleButtonReadsTheConfigurationThroughTheCloud) {
    CloudRig rig("cloud-gconfig");
    Json::Value config(Json::objectValue);
    config["adminpass"] = "4321";
    config["managerpass"] = "1111";
    config["apn"] = "internet.test";
    config["usein1"] = "1";
    config["outtype"] = "1";
    Json::Value shedule(Json::arrayValue);
    for (int k = 0; k < 7; ++k) {
        Json::Value day(Json::objectValue);
        day["days"] = std::to_string(k + 1);
        day["st"] = "8";
        day["et"] = "20";
        shedule.append(day);
    }
    config["shedule"] = shedule;
    rig.sim.SetConfig(config);
    ASSERT_TRUE(rig.LogIn());
    Form1->BshedlClick(Form1->Bshedl);
    EXPECT_TRUE(CloudRig::Logged("Запрос настроек расписания"));
    ASSERT_TRUE(rig.AwaitCount("gconfig", 1));
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged("Ответ на запрос параметров конфигурации"); }));
    EXPECT_EQ(g_ConfigRecord[9] | g_ConfigRecord[10] << 8, 4321);
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "4321");
    EXPECT_EQ(Form1->UserAPN->GetText(), "internet.test");
    EXPECT_TRUE(Form1->USEIN1->GetChecked());
    EXPECT_EQ(Form1->ActivePageIndex(), 7);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
}

TEST(CloudSession, TunnelledStatusFrameReachesTheDispatcher) {
    CloudRig rig("cloud-tunnel", true);
    rig.Model().SetStatusRecord(devsim::DeviceModel::StatusRecordWithImei("861111111111111", 32));
    ASSERT_TRUE(rig.LogIn());
    ASSERT_EQ(SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0}) > 0, true);
    ASSERT_TRUE(WaitUntil([&] { return rig.sim.FramesFromDevice() >= 1; }));
    ASSERT_TRUE(WaitUntil([] { return Form1->Limei->GetCaption().find("861111111111111") != std::string::npos; }));
    EXPECT_EQ(StatusImei(g_StatusRecord), "861111111111111");
}

// The user's close ends the session with its wait, and says nothing of a link lost.
TEST(CloudSession, CloseSessionEndsThePollAndShowsNotConnected) {
    CloudRig rig("cloud-close");
    ASSERT_TRUE(rig.LogIn());
    rig.sim.SetReply("defrag", Json::Value());  // never answered
    testsupport::Click(Form1->Bdef);
    ASSERT_TRUE(rig.AwaitCount("defrag", 1));
    testsupport::Click(Form1->CloseSession);
    EXPECT_EQ(g_CloudSession, 0);
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());
    EXPECT_EQ(g_StatusPollTicks, 0);
    EXPECT_EQ(g_AccessLevel, 0);
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Не подключено");
    EXPECT_EQ(Form1->ActivePageIndex(), 4);
    EXPECT_FALSE(Form1->CloseSession->GetVisible());
    ASSERT_TRUE(rig.AwaitCount("close", 1));
    ASSERT_TRUE(WaitUntil([&] { return !rig.sim.ClientConnected(); }));
    testsupport::Pump(50);
    EXPECT_FALSE(Form1->AnimateConnectionPanel->GetVisible());  // the close was asked for
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    for (int s = 0; s < 6; ++s) Second();
    testsupport::Pump(50);
    EXPECT_EQ(rig.sim.Count("gsmst"), 0u);
}

TEST(CloudSession, AResetByTheServerEndsTheSessionWithTheServersText) {
    CloudRig rig("cloud-reset");
    ASSERT_TRUE(rig.LogIn());
    for (int s = 0; s < 2; ++s) Second();  // the animation has closed
    ASSERT_FALSE(Form1->AnimateConnectionPanel->GetVisible());
    rig.sim.ResetClient();
    ASSERT_TRUE(WaitUntil([] { return g_CloudSession == 0; }));
    EXPECT_TRUE(Form1->AnimateConnectionPanel->GetVisible());
    EXPECT_TRUE(Form1->AnUnCh1->GetVisible());
    EXPECT_FALSE(Form1->AnCh2->GetVisible());
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Не подключено");
    EXPECT_EQ(Form1->ActivePageIndex(), 4);
    // It closes by itself, as after a failed connect.
    for (int s = 0; s < 10; ++s) Second();
    EXPECT_FALSE(Form1->AnimateConnectionPanel->GetVisible());
}

// The server closes its sending half: the session ends with the server's text, as after a
// reset, and the log wait it had open ends with it.
TEST(CloudSession, AServerThatClosesEndsTheSessionWithItsTextAndItsWait) {
    CloudRig rig("cloud-fin");
    ASSERT_TRUE(rig.LogIn());
    for (int s = 0; s < 2; ++s) Second();  // the animation has closed
    rig.sim.SetSilent(true);
    testsupport::Click(Form1->HronologyGet);
    ASSERT_TRUE(rig.AwaitCount("gchrono", 1));
    ASSERT_TRUE(Form1->TimerProgress->GetEnabled());
    rig.sim.HalfCloseClient();
    ASSERT_TRUE(WaitUntil([] { return g_CloudSession == 0; }));
    testsupport::Pump(50);
    EXPECT_TRUE(Form1->AnimateConnectionPanel->GetVisible());
    EXPECT_TRUE(Form1->AnUnCh1->GetVisible());
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
}

// A server that keeps the connection and answers nothing: after a minute of status
// requests the session ends with the server's text.
TEST(CloudSession, ServerSilentForAMinuteEndsTheSession) {
    CloudRig rig("cloud-silent");
    ASSERT_TRUE(rig.LogIn());
    rig.sim.SetSilent(true);
    for (int s = 0; s < 59; ++s) Second();
    ASSERT_TRUE(rig.AwaitCount("gsmst", 11));
    testsupport::Pump(50);
    EXPECT_EQ(g_CloudSession, 1);
    Second();
    EXPECT_EQ(g_CloudSession, 0);
    EXPECT_TRUE(Form1->AnUnCh1->GetVisible());
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    ASSERT_TRUE(WaitUntil([&] { return !rig.sim.ClientConnected(); }));
}

// The connection is never accepted: the ended login wait says the server is unavailable
// (not that the device is off the cloud) and the attempt ends with it.
TEST(CloudSession, ServerThatNeverAcceptsIsToldUnavailableAndGivenUp) {
    CloudRig rig("cloud-no-accept");
    UnacceptingServer server;
    rig.Connect();
    ASSERT_TRUE(WaitUntil([&] { return server.Knocking() == 1; }));
    for (int s = 0; s < 6; ++s) Second();
    EXPECT_TRUE(Form1->AnUnCh1->GetVisible());
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    EXPECT_TRUE(server.GivenUp());
}

// OK on a message ends the login's wait before its repetitions do: a connection not yet
// accepted is given up with the server's text.
TEST(CloudSession, OkDuringAnUnacceptedConnectGivesItUp) {
    CloudRig rig("cloud-no-accept-ok");
    UnacceptingServer server;
    Form1->MessageShow("Устройство отключено");
    rig.Connect();
    ASSERT_TRUE(WaitUntil([&] { return server.Knocking() == 1; }));
    Second();
    testsupport::Click(Form1->OKMES);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    EXPECT_TRUE(Form1->AnUnCh1->GetVisible());
    EXPECT_EQ(Form1->AnMes->GetCaption(), kServerUnavailableText);
    EXPECT_TRUE(server.GivenUp());
}

// The log asked for without a session opens its own connection; never accepted, the log's
// wait ends with the server's text, the request given up and the page kept.
TEST(CloudSession, LogRequestWhoseConnectionIsNeverAcceptedEndsWithItsWait) {
    CloudRig rig("cloud-no-accept-log");
    UnacceptingServer server;
    Form1->AIMEI->SetText(cloudtest::kImei);
    Form1->APASS->SetText(cloudtest::kPass);
    const int page = Form1->UiPageControl1->GetActivePageIndex();
    testsupport::Click(Form1->HronologyGet);
    ASSERT_TRUE(WaitUntil([&] { return server.Knocking() == 1; }));
    for (int s = 0; s < 59; ++s) Second();
    EXPECT_TRUE(Form1->TimerProgress->GetEnabled());
    Second();
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), kServerUnavailableText);
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_TRUE(g_PendingChrono.isNull());
    EXPECT_TRUE(server.GivenUp());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), page);
}

// The log asked for while the login's connection is still being made waits for it; that
// connection never accepted, the log's wait ends with the login's, with the server's text.
TEST(CloudSession, LogAskedForDuringAConnectEndsWithItsAttempt) {
    CloudRig rig("cloud-no-accept-login-log");
    UnacceptingServer server;
    rig.Connect();
    ASSERT_TRUE(WaitUntil([&] { return server.Knocking() == 1; }));
    testsupport::Click(Form1->HronologyGet);
    EXPECT_TRUE(Form1->TimerProgress->GetEnabled());
    for (int s = 0; s < 6; ++s) Second();
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), kServerUnavailableText);
    EXPECT_TRUE(server.GivenUp());
}

// A server that refuses the log's connection ends the log's wait at once, with its text:
// the events shown stay, and the connection panel that opens to say it too leaves the
// message's button within reach.
TEST(CloudSession, LogRequestRefusedEndsItsWaitAtOnce) {
    CloudRig rig("cloud-refused-log");
    testsupport::TEnvGuard env;
    testsupport::QuietWindowEnvironment(env);
    Form1->Show();  // the panels where the window places them
    const int port = rig.sim.Port();
    rig.sim.Stop();
    setenv("ZENTOR_CLOUD_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    Form1->HrGrid->SetRowCount(3);
    Form1->HrGrid->SetRow(1, {"1", "14.11.2023 22:13", "9000000010", "Управление выходом", "Выход 0"});
    const std::vector<TLogGridRow> shown = Form1->LogGridRows();
    testsupport::Click(Form1->HronologyGet);
    ASSERT_TRUE(WaitUntil([] { return !Form1->TimerProgress->GetEnabled(); }));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), kServerUnavailableText);
    EXPECT_TRUE(g_PendingChrono.isNull());
    EXPECT_EQ(Form1->LogGridRows(), shown);
    ASSERT_TRUE(Form1->AnimateConnectionPanel->GetVisible());
    realinput::ClickThroughWindow(Form1->OKMES->GetWidget());
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    testsupport::Click(Form1->HronologyGet);  // the read refused holds no other
    EXPECT_TRUE(Form1->TimerProgress->GetEnabled());
}

// A device frame whose data holds a whole reply, cut by the line right after it: the frame
// is taken once its rest comes, and nothing of it is handled as the server's reply. A frame
// tag cut short for good holds the replies after it back for ten seconds at most.
TEST(CloudSession, AFrameIsWaitedForWhateverItsDataLooksLike) {
    CloudRig rig("cloud-cut-frame");
    ASSERT_TRUE(rig.LogIn());
    rig.sim.SetReply("defrag", Json::Value());
    testsupport::Click(Form1->Bdef);  // a reply in the frame's data would be awaited
    ASSERT_TRUE(rig.AwaitCount("defrag", 1));
    const std::string reply = "{\"data\":\"ok\",\"response\":\"defrag\"}\n\r";
    devsim::Bytes data = {0x01};
    data.insert(data.end(), reply.begin(), reply.end());
    data.insert(data.end(), {'.', '.'});
    const devsim::Bytes frame = devsim::BuildReply(0x28, data);
    const std::string bytes(frame.begin(), frame.end());
    const std::size_t cut = bytes.find('\r') + 1;
    rig.sim.SendRaw(bytes.substr(0, cut));
    ASSERT_TRUE(WaitUntil([&] { return g_CloudReader.Held() == cut; }));
    testsupport::Pump(50);
    rig.sim.SendRaw(bytes.substr(cut));
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == "Дефрагментация завершена!"; }));
    EXPECT_FALSE(CloudRig::Logged("Ответ о выполнении дефрагментации"));

    rig.sim.SendRaw(std::string("SLMX\xF8\x0F\x55\x22", 8));
    rig.sim.SetReply("defrag", "ok");
    testsupport::Click(Form1->Bdef);
    ASSERT_TRUE(WaitUntil([] { return g_CloudReader.Held() > 8 && !Form1->ClientSocket->GetSocket()->ReceiveLength(); }));
    sys::AdvanceMs(8000);
    EXPECT_NE(Form1->MESLABEL->GetCaption(), "Дефрагментация выполнена!");
    sys::AdvanceMs(2000);
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == "Дефрагментация выполнена!"; }));
}

// Ten megabytes of false frame headers (tag, a length of 4 KB, the reply marker), then a
// reply: the window keeps answering, and the reply goes through once the clock has given
// the last headers up.
TEST(CloudSession, HeaderFloodLeavesTheWindowAnswering) {
    CloudRig rig("cloud-flood");
    ASSERT_TRUE(rig.LogIn());
    rig.sim.SetReply("defrag", Json::Value());  // the reply comes behind the flood
    testsupport::Click(Form1->Bdef);
    ASSERT_TRUE(rig.AwaitCount("defrag", 1));
    const std::string header("SLMX\xF8\x0F\x55\x22", 8);
    std::string flood;
    flood.reserve((10u << 20) + 64);
    while (flood.size() < (10u << 20)) flood += header;
    rig.sim.SendRaw(flood + "{\"data\":\"ok\",\"response\":\"defrag\"}\n\r");
    double longestMs = 0;
    EXPECT_TRUE(cloudtest::WaitAnswering([] {
        if (Form1->ClientSocket->GetSocket()->ReceiveLength() == 0) sys::AdvanceMs(1000);
        return Form1->MESLABEL->GetCaption() == "Дефрагментация выполнена!";
    }, 5000, longestMs));
    EXPECT_LT(longestMs, 500.0);
    std::printf("window's longest answer time during the flood: %.0f ms\n", longestMs);
}

TEST(CloudSession, TrafficWindowShowsOnlyWhatCrossedWhileOpen) {
    CloudRig rig("cloud-traffic");
    ASSERT_TRUE(rig.LogIn());
    Form1->Button15Click(Form1->Button15);
    EXPECT_EQ(g_TrafficLogOn, 1);
    EXPECT_TRUE(Form2->GetVisible());
    auto* memo = dynamic_cast<TMemo*>(Form2->FindComponent("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->GetLines()->Count(), 0);  // the login came before the window opened

    Form1->BdefClick(Form1->Bdef);
    ASSERT_TRUE(rig.AwaitCount("defrag", 1));
    ASSERT_TRUE(WaitUntil([&] { return memo->GetLines()->IndexOf("<<< From server <<<") >= 0; }));
    TStrings* lines = memo->GetLines();
    EXPECT_EQ(lines->Get(0), ">>> To server >>>");
    EXPECT_EQ(lines->Get(1), "PUT / HTTP/1.1");
    EXPECT_GE(lines->IndexOf("   \"command\" : \"defrag\","), 0);
    EXPECT_GE(lines->IndexOf("{\"data\":\"ok\",\"response\":\"defrag\"}"), 0);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Дефрагментация выполнена!");

    // Closed: nothing more is copied; reopened, the old lines are still there.
    TCloseAction action = caHide;
    Form2->OnClose(Form2, action);
    EXPECT_EQ(g_TrafficLogOn, 0);
    const int before = lines->Count();
    Form1->Button8Click(Form1->Button8);
    ASSERT_TRUE(rig.AwaitCount("reset", 1));
    testsupport::Pump(100);
    EXPECT_EQ(lines->Count(), before);
    Form1->Button15Click(Form1->Button15);
    EXPECT_EQ(memo->GetLines()->Count(), before);
}

TEST(CloudSession, BrokenReplyIsShownOnlyInTheTrafficWindow) {
    CloudRig rig("cloud-parse-error");
    ASSERT_TRUE(rig.LogIn());
    Form1->Button15Click(Form1->Button15);
    rig.sim.SendRaw("{\"response\" : \"gsmst\", \"data\" : }\n\r");
    auto* memo = dynamic_cast<TMemo*>(Form2->FindComponent("Memo1"));
    ASSERT_TRUE(WaitUntil([&] { return memo->GetLines()->IndexOf(">>> Error JSON parser <<<") >= 0; }));
    EXPECT_EQ(g_CloudSession, 1);
}

}  // namespace

namespace {

TEST(CloudSessionAgain, SecondClickClosesAndLogsInAgainWithTheTypedDevice) {
    CloudRig rig("cloud-relogin");
    ASSERT_TRUE(rig.LogIn());
    rig.sim.SetAccount("862000000000002", "5555", "admin");
    Form1->AIMEI->SetText("862000000000002");
    Form1->APASS->SetText("5555");
    Form1->Button5Click(Form1->Button5);
    ASSERT_TRUE(rig.AwaitCount("dispauth", 2));
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_CloudSession == 1 && g_SessionImei == "862000000000002"; }));
    const std::vector<cloudsim::Request> all = rig.sim.Requests();
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[1].command, "close");
    EXPECT_EQ(all[1].imei, cloudtest::kImei);  // the session's device, not the typed one
    EXPECT_EQ(all[2].imei, "862000000000002");
    EXPECT_EQ(g_SessionPass, "5555");
}

TEST(CloudSessionAgain, LoginWithoutAccessGrantsNoLevel) {
    CloudRig rig("cloud-no-access");
    rig.sim.SetAccount(cloudtest::kImei, cloudtest::kPass, "");
    ASSERT_TRUE(rig.LogIn());
    EXPECT_EQ(g_AccessLevel, 0);
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Не подтвержден");
    EXPECT_TRUE(Form1->Bdevice->GetEnabled());
    EXPECT_FALSE(Form1->Bsetting->GetEnabled());
    EXPECT_FALSE(Form1->Bshedl->GetEnabled());
    EXPECT_FALSE(Form1->BService->GetEnabled());
}

}  // namespace
