// A connected controller end to end: request bytes, the password flows and the buttons per
// level, the status poll, bursts and gaps, error replies.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <fstream>

#include "LinkRig.h"
#include "platform/rtl/SysUtils.h"

namespace {

using namespace linktest;

const Bytes kPassword1234 = {0x53, 0x4C, 0x4D, 0x58, 0x04, 0x00, 0xAA, 0x25, 0xD2, 0x04, 0x6D, 0x54};
const Bytes kPassword4321 = {0x53, 0x4C, 0x4D, 0x58, 0x04, 0x00, 0xAA, 0x25, 0xE1, 0x10, 0x79, 0xAB};
const Bytes kPassword0 = {0x53, 0x4C, 0x4D, 0x58, 0x04, 0x00, 0xAA, 0x25, 0x00, 0x00, 0x30, 0x37};
const Bytes kStatusRequest = {0x53, 0x4C, 0x4D, 0x58, 0x03, 0x00, 0xAA, 0x22, 0x00, 0x49, 0x40};
// 6 data bytes make a 16-byte frame: one byte more follows the CRC.
const Bytes kSixBytes = {0x53, 0x4C, 0x4D, 0x58, 0x08, 0x00, 0xAA, 0x2A, 0x01, 0x02,
                         0x03, 0x04, 0x05, 0x06, 0xFB, 0x08, 0x00};
constexpr std::size_t kPasswordReply = 13;  // 0x25 with verdict, level and which
constexpr std::size_t kIdentifyReply = 16;

// A rig with one controller connected on the cable (no password yet).
struct Connected {
    explicit Connected(const std::string& name, bool prompt = false, std::uint8_t which = 0)
        : rig(name), device(rig.AddController("dev")) {
        device.model->SetAnswerStatus(false);  // status replies belong to the status page
        device.model->SetPromptAfterIdentify(prompt, which);
        rig.ListPorts({"!dev"});
        rig.CreateForm();
        ok = device.started && rig.ConnectTo(device, kIdentifyReply + (prompt ? kPasswordReply : 0));
    }
    // What the device received from now on.
    void Forget() { device.sim.ClearRecord(); }
    bool AwaitBytes(std::size_t n) {
        return testsupport::WaitUntil([&] { return device.sim.ReceivedCount() >= n; });
    }
    // Types the password into the cable box, presses connect and lets the reply in.
    bool Login(const std::string& typed) {
        std::size_t before = device.Requests(devsim::kCmdPassword);
        Form1->USBPASS->SetText(typed);
        Form1->Button5Click(Form1->Button5);
        return LinkRig::AwaitRequests(device, devsim::kCmdPassword, before + 1) && LinkRig::Deliver(kPasswordReply);
    }
    LinkRig rig;
    SimPort& device;
    bool ok = false;
};

bool OverlayShowsPage(int page) {
    return Form1->MESPANEL->GetVisible() && Form1->PageControlMes->GetActivePageIndex() == page;
}

TEST(LinkSession, RequestBytesOnTheWire) {
    Connected c("session-bytes");
    ASSERT_TRUE(c.ok);
    c.Forget();
    Form1->USBPASS->SetText("1234");
    Form1->Button5Click(Form1->Button5);
    ASSERT_TRUE(c.AwaitBytes(kPassword1234.size()));
    EXPECT_EQ(c.device.sim.Received(), kPassword1234);

    c.Forget();
    Form1->USBPASS->SetText("");  // an empty field sends 0
    Form1->Button5Click(Form1->Button5);
    ASSERT_TRUE(c.AwaitBytes(kPassword0.size()));
    EXPECT_EQ(c.device.sim.Received(), kPassword0);

    c.Forget();
    const std::uint8_t six[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(SendCommand(0x2A, six, 6), 17);
    ASSERT_TRUE(c.AwaitBytes(kSixBytes.size()));
    EXPECT_EQ(c.device.sim.Received(), kSixBytes);

    // Oversized data is never sent.
    c.Forget();
    std::vector<std::uint8_t> huge(65534, 0);
    EXPECT_LT(SendCommand(0x2A, huge), 0);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.sim.ReceivedCount(), 0u);
}

TEST(LinkSession, CloudSessionTakesTheRequests) {
    Connected c("session-cloud");
    ASSERT_TRUE(c.ok);
    c.Forget();
    g_CloudSession = 1;
    const std::uint8_t zero = 0;
    EXPECT_EQ(SendCommand(0x22, &zero, 1), -1);  // no socket connected
    Bytes tunnelled;
    g_CloudFrameSender = [&](const std::uint8_t* p, int n) {
        tunnelled.assign(p, p + n);
        return n;
    };
    EXPECT_EQ(SendCommand(0x22, &zero, 1), 11);
    EXPECT_EQ(tunnelled, kStatusRequest);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.sim.ReceivedCount(), 0u);
    // Without a session and with the port closed nothing is sent, silently.
    g_CloudSession = 0;
    Form1->ClosePort();
    EXPECT_EQ(SendCommand(0x22, &zero, 1), 0);
}

TEST(LinkSession, DeviceAsksForTheAdministratorPassword) {
    Connected c("session-ask", true, 2);
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(OverlayShowsPage(1));
    EXPECT_EQ(Form1->Label20->GetCaption(), "Введите пароль \"Администратора\"");
    EXPECT_EQ(Form1->PassEdit->GetText(), "");
    EXPECT_EQ(g_AccessLevel, 0);

    c.Forget();
    Form1->PassEdit->SetText("1234");
    Form1->PassButOKClick(Form1->PassButOK);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(g_TypedPassword, 1234);
    ASSERT_TRUE(c.AwaitBytes(kPassword1234.size()));
    EXPECT_EQ(c.device.sim.Received(), kPassword1234);
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));
    EXPECT_EQ(g_AccessLevel, 32);
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 1);
    for (TControl* b : {static_cast<TControl*>(Form1->Bdevice), static_cast<TControl*>(Form1->Busers),
                        static_cast<TControl*>(Form1->Blog), static_cast<TControl*>(Form1->Bsetting),
                        static_cast<TControl*>(Form1->Bshedl), static_cast<TControl*>(Form1->BService)})
        EXPECT_TRUE(b->GetEnabled()) << b->GetName();
}

TEST(LinkSession, PlainPromptEnterKeyAndATextThatIsNoNumber) {
    Connected c("session-prompt", true, 0);
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(OverlayShowsPage(1));
    EXPECT_EQ(Form1->Label20->GetCaption(), "Введите пароль");

    c.Forget();
    Form1->PassEdit->SetText("12a");
    EXPECT_THROW(Form1->PassButOKClick(Form1->PassButOK), EConvertError);
    EXPECT_TRUE(OverlayShowsPage(1));  // stays open, nothing sent
    // Nor is a number beyond the password's 16 bits, typed or pasted: it is refused as the
    // settings refuse one.
    c.rig.Speak("russian");
    Form1->PassEdit->SetText("");
    QTest::keyClicks(Form1->PassEdit->GetWidget(), "70000");
    QGuiApplication::clipboard()->setText("70000");
    QTest::keyClick(Form1->USBPASS->GetWidget(), Qt::Key_V, Qt::ControlModifier);
    ui::test::ClearDialogs();
    QTest::keyClick(Form1->PassEdit->GetWidget(), Qt::Key_Return);
    testsupport::Click(Form1->Button5);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 2u);
    for (const auto& box : ui::test::ShownDialogs()) EXPECT_EQ(box.text, "«Пароль»: допустимые значения от 0 до 65535.");
    EXPECT_TRUE(OverlayShowsPage(1));
    char other = 'x';
    Form1->PassEditKeyPress(Form1->PassEdit, other);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.sim.ReceivedCount(), 0u);

    Form1->PassEdit->SetText("1111");
    char enter = '\r';
    Form1->PassEditKeyPress(Form1->PassEdit, enter);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    ASSERT_TRUE(LinkRig::AwaitRequests(c.device, devsim::kCmdPassword, 1));
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));
    EXPECT_EQ(g_AccessLevel, 16);
}

TEST(LinkSession, ButtonsPerLevelAndAWrongPassword) {
    Connected c("session-levels");
    ASSERT_TRUE(c.ok);
    ASSERT_TRUE(c.Login("1111"));
    EXPECT_EQ(g_AccessLevel, 16);
    EXPECT_TRUE(Form1->Bdevice->GetEnabled());
    EXPECT_TRUE(Form1->Busers->GetEnabled());
    EXPECT_TRUE(Form1->Blog->GetEnabled());
    EXPECT_FALSE(Form1->Bsetting->GetEnabled());
    EXPECT_FALSE(Form1->Bshedl->GetEnabled());
    EXPECT_FALSE(Form1->BService->GetEnabled());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 1);

    Form1->ButtonEnabled(false);
    Form1->SelectPage(4);
    ASSERT_TRUE(c.Login("999"));
    EXPECT_EQ(g_AccessLevel, 0);  // stored as sent
    EXPECT_TRUE(OverlayShowsPage(0));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(22));
    EXPECT_FALSE(Form1->Bdevice->GetEnabled());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 4);
}

TEST(LinkSession, StoredPasswordIsSentWithoutAsking) {
    Connected c("session-stored");
    ASSERT_TRUE(c.ok);
    const std::string saved = g_SettingsPath;
    g_SettingsPath = testsupport::TempDir("session-stored-ini") + "/config.ini";
    std::ofstream(g_SettingsPath) << "[Passes]\n860000000000001=4321\n860000000000002=66770\n"
                                     "860000000000003=65536\n";
    auto useImei = [](const std::string& imei) {
        Bytes record = devsim::DeviceModel::StatusRecordWithImei(imei);
        ApplyStatusRecordBytes(g_StatusRecord, record.data(), record.size());
    };

    useImei("860000000000001");
    c.Forget();
    c.device.model->AskPassword(0);
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    ASSERT_TRUE(c.AwaitBytes(kPassword4321.size()));
    EXPECT_EQ(c.device.sim.Received(), kPassword4321);
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));  // 4321 is no password of this device
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(22));
    Form1->MESPANEL->SetVisible(false);

    useImei("860000000000002");  // 66770: its low 16 bits are 1234
    c.Forget();
    c.device.model->AskPassword(0);
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));
    ASSERT_TRUE(c.AwaitBytes(kPassword1234.size()));
    EXPECT_EQ(c.device.sim.Received(), kPassword1234);
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));
    EXPECT_EQ(g_AccessLevel, 32);

    useImei("860000000000003");  // 65536: low 16 bits 0, so the user is asked
    c.device.model->AskPassword(0);
    ASSERT_TRUE(LinkRig::Deliver(kPasswordReply));
    EXPECT_TRUE(OverlayShowsPage(1));
    g_SettingsPath = saved;
}

TEST(LinkSession, StatusPollEvery50TicksOnlyWithALevel) {
    Connected c("session-poll");
    ASSERT_TRUE(c.ok);
    sys::AdvanceMs(2000);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadStatus), 0u);

    ASSERT_TRUE(c.Login("1234"));
    sys::AdvanceMs(500);  // the first request within 50 ticks of the grant
    ASSERT_TRUE(LinkRig::AwaitRequests(c.device, devsim::kCmdReadStatus, 1));
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadStatus), 1u);
    // Timer1 sleeps between the requests: it wakes for each, its ticks between counted off.
    const unsigned wakes = Form1->Timer1->Wakes();
    sys::AdvanceMs(2000);
    EXPECT_EQ(Form1->Timer1->Wakes() - wakes, 4u);
    ASSERT_TRUE(LinkRig::AwaitRequests(c.device, devsim::kCmdReadStatus, 5));
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadStatus), 5u);
    for (const devsim::Frame& f : c.device.sim.Frames()) {
        if (f.command != devsim::kCmdReadStatus) continue;
        EXPECT_EQ(f.data, Bytes{0});
    }

    // A reply granting no level stops it.
    ASSERT_TRUE(c.Login("5"));
    testsupport::Pump(20);
    std::size_t before = c.device.Requests(devsim::kCmdReadStatus);
    sys::AdvanceMs(2000);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadStatus), before);

    // And the link going down stops it for good.
    ASSERT_TRUE(c.Login("1234"));
    Form1->ClosePortConnection();
    EXPECT_FALSE(g_WorkingMode);
    EXPECT_EQ(g_AccessLevel, 0);
    testsupport::Pump(20);
    before = c.device.Requests(devsim::kCmdReadStatus);
    sys::AdvanceMs(2000);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadStatus), before);
}

TEST(LinkSession, BusyTransferOnTheLocalServerPausesThePoll) {
    Connected c("session-busy");
    ASSERT_TRUE(c.ok);
    ASSERT_TRUE(c.Login("1234"));
    g_ConfServerLink = 1;
    g_FlashActive = 1;
    testsupport::Pump(20);
    c.Forget();
    sys::AdvanceMs(2000);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadStatus), 0u);
    EXPECT_EQ(g_KeepAliveTicks, 0);
    g_FlashActive = 0;
    sys::AdvanceMs(10);  // the very next tick asks
    ASSERT_TRUE(LinkRig::AwaitRequests(c.device, devsim::kCmdReadStatus, 1));
    EXPECT_EQ(g_KeepAliveTicks, 50);
}

TEST(LinkSession, TwoFramesAndGarbageInOneBurst) {
    LinkRig rig("session-burst");
    SimPort& device = rig.AddSilent("dev");
    ASSERT_TRUE(device.started);
    device.sim.SetPacing(19200);
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    ASSERT_TRUE(Form1->OpenPort(rig.Path("dev")));
    g_PortName = rig.Path("dev");
    Bytes burst = {0x00, 0x53, 0x4C, 0x4D};
    Bytes identify = devsim::BuildReply(0x00, {1, 3, 0, 0, 0x0B, 0});
    Bytes ask = devsim::BuildReply(0x25, {4, 0, 2});
    Bytes echo = devsim::BuildRequest(0x00, {});  // a request marker is never a reply
    burst.insert(burst.end(), identify.begin(), identify.end());
    burst.insert(burst.end(), {0x53, 0x4C, 0x4D, 0x58, 0xFF});
    burst.insert(burst.end(), echo.begin(), echo.end());
    burst.insert(burst.end(), ask.begin(), ask.end());
    burst.insert(burst.end(), {0x58, 0x01});
    device.sim.Send(burst);
    ASSERT_TRUE(LinkRig::Deliver(burst.size()));
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_TRUE(g_WorkingMode);
    EXPECT_TRUE(OverlayShowsPage(1));  // the prompt came after the identify
    EXPECT_EQ(Form1->Label20->GetCaption(), "Введите пароль \"Администратора\"");
    EXPECT_TRUE(std::all_of(g_RxBuffer.begin(), g_RxBuffer.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(LinkSession, AnIdentifyWithoutDataIsDropped) {
    LinkRig rig("session-short");
    SimPort& device = rig.AddSilent("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    ASSERT_TRUE(Form1->OpenPort(rig.Path("dev")));
    const Bytes shortIdentify = devsim::BuildReply(0x00, {});
    device.sim.Send(shortIdentify);
    ASSERT_TRUE(LinkRig::Deliver(shortIdentify.size()));
    EXPECT_FALSE(g_DeviceConnected);
    EXPECT_FALSE(g_BootloaderMode);  // no data is not mode 0
}

// A pause inside a reply ends the burst mid-frame: the frame is kept until its rest comes,
// unless a second of quiet has passed.
TEST(LinkSession, AFrameCutByAPauseIsTakenWhenItsRestComes) {
    LinkRig rig("session-gap");
    SimPort& device = rig.AddSilent("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    ASSERT_TRUE(Form1->OpenPort(rig.Path("dev")));
    const auto sendCut = [&](const Bytes& frame, int quietMs) {
        device.sim.Send(Bytes(frame.begin(), frame.begin() + 8));
        if (!LinkRig::AwaitRx(8)) return false;
        sys::AdvanceMs(quietMs);
        device.sim.Send(Bytes(frame.begin() + 8, frame.end()));
        return LinkRig::Deliver(frame.size() - 8);
    };
    ASSERT_TRUE(sendCut(devsim::BuildReply(0x00, {1, 3, 0, 0, 0x0B, 0}), 50));
    EXPECT_TRUE(g_DeviceConnected);
    ASSERT_TRUE(sendCut(devsim::BuildReply(0x25, {1, 32, 0}), 50 + 1000));
    EXPECT_EQ(g_AccessLevel, 0);

    // A frame goes on as its last byte comes, with no tick.
    device.sim.Send(devsim::BuildReply(0x25, {1, 16, 0}));
    ASSERT_TRUE(LinkRig::AwaitRx(13));
    EXPECT_EQ(g_AccessLevel, 16);
}

TEST(LinkSession, UnsolicitedErrorFrames) {
    Connected c("session-error");
    ASSERT_TRUE(c.ok);
    c.device.model->SendError(254);
    ASSERT_TRUE(LinkRig::Deliver(11));
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    c.device.model->SendError(7);
    ASSERT_TRUE(LinkRig::Deliver(11));
    EXPECT_TRUE(OverlayShowsPage(0));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(66));
    c.device.model->SendError(12);
    ASSERT_TRUE(LinkRig::Deliver(11));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Error: 12");
}

TEST(LinkSession, TakingDownALinkThatWasNeverUp) {
    LinkRig rig("session-down");
    rig.ListPorts({});
    rig.CreateForm();
    Form1->ComPortDeviceCaption->SetCaption("keep");
    Form1->SelectPage(0);
    Form1->LABOX->SetEnabled(true);
    g_BootloaderMode = true;
    g_DeviceType = 0x8B;
    g_DeviceCapacity = 650;
    g_AccessLevel = 16;
    Form1->ClosePortConnection();
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Не подключено");
    EXPECT_FALSE(g_BootloaderMode);
    EXPECT_EQ(g_DeviceType, 11);
    EXPECT_EQ(g_DeviceCapacity, 15000);
    EXPECT_EQ(g_AccessLevel, 0);
    EXPECT_EQ(LinkRig::Caption(), "keep");
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 0);
    EXPECT_TRUE(Form1->LABOX->GetEnabled());
}

}  // namespace
