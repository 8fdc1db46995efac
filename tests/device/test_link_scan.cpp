// Finding the controller end to end: the port scan over several ports, identify in both
// modes, unplugging and plugging in again, a failed write, an empty port list.
#include <gtest/gtest.h>

#include <cerrno>

#include "LinkRig.h"
#include "platform/comm/Comm.h"

namespace {

using namespace linktest;

const Bytes kIdentifyRequest = {0x53, 0x4C, 0x4D, 0x58, 0x02, 0x00, 0xAA, 0x00, 0x7F, 0x10};

TEST(LinkScan, PortsInOrderSilentOneSecondUnopenablePassedAtOnce) {
    LinkRig rig("scan-order");
    SimPort& silent = rig.AddSilent("a_silent");
    SimPort& device = rig.AddController("c_device");
    ASSERT_TRUE(silent.started && device.started);
    rig.ListPorts({"a_silent", "b_missing", "!c_device"});
    rig.CreateForm();
    const std::string a = rig.Path("a_silent"), b = rig.Path("b_missing"), c = rig.Path("c_device");

    Form1->Find_Device();
    EXPECT_EQ(g_PortName, a);
    EXPECT_EQ(LinkRig::Caption(), a + ": Find device");
    ASSERT_EQ(Form1->ENUMPORTS->GetItems()->Count(), 3);

    sys::AdvanceMs(100);  // the first port is opened and probed
    ASSERT_TRUE(testsupport::WaitUntil([&] { return silent.sim.ReceivedCount() >= 10; }));
    EXPECT_EQ(silent.sim.Received(), kIdentifyRequest);
    EXPECT_TRUE(Form1->ComPort->GetConnected());
    EXPECT_EQ(Form1->ComPort->GetPort(), a);
    // The line as the cable needs it: 19200 8N1, raw, no flow control.
    devsim::LineSettings line = silent.sim.Line();
    EXPECT_EQ(line.baud, 19200u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_TRUE(line.raw);
    EXPECT_FALSE(line.rtsCts);
    EXPECT_FALSE(line.xonXoff);

    const unsigned wakes = Form1->Ftimer->Wakes();
    sys::AdvanceMs(900);  // one second for the silent port, slept through
    EXPECT_EQ(Form1->Ftimer->Wakes(), wakes);
    EXPECT_TRUE(Form1->ComPort->GetConnected());
    EXPECT_EQ(device.sim.ReceivedCount(), 0u);
    sys::AdvanceMs(100);  // closed; the missing port fails at once, the device is next
    EXPECT_FALSE(Form1->ComPort->GetConnected());
    EXPECT_EQ(g_PortName, c);
    EXPECT_EQ(LinkRig::Caption(), c + ": Find device");
    EXPECT_EQ(g_ScanIndex, 2);
    EXPECT_EQ(g_ScanTicks, 0);

    sys::AdvanceMs(100);  // the device is probed on the following tick
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 1));
    EXPECT_EQ(device.sim.Received(), kIdentifyRequest);
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_TRUE(g_WorkingMode);
    EXPECT_FALSE(g_BootloaderMode);
    EXPECT_EQ(g_ScanActive, 0);
    EXPECT_EQ(g_ScanTicks, 0);
    EXPECT_EQ(LinkRig::Caption(), c + ": Ключ \"Бранник IP\" DAZU");
    EXPECT_TRUE(Form1->LABOX->GetEnabled());
    EXPECT_FALSE(Form1->RABOX->GetEnabled());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 4);
    // The port that answered stays open, and the scan does not move on.
    sys::AdvanceMs(2000);
    EXPECT_TRUE(Form1->ComPort->GetConnected());
    EXPECT_EQ(Form1->ComPort->GetPort(), c);
    EXPECT_EQ(silent.Requests(devsim::kCmdIdentify), 1u);
}

// A port that is there but held by another opener (another copy of the tool) is told once
// with its reason and remedy in the window's language, however many passes fail on it, and
// the scan goes on.
TEST(LinkScan, APortHeldByAnotherOpenerIsToldOnceAndPassedOver) {
    LinkRig rig("scan-held");
    SimPort& held = rig.AddSilent("a_held");
    SimPort& silent = rig.AddSilent("b_silent");
    ASSERT_TRUE(held.started && silent.started);
    rig.ListPorts({"a_held", "b_silent"});
    const std::string a = rig.Path("a_held");
    const comm::THandle other = comm::OpenPort(a);
    ASSERT_NE(other, comm::InvalidHandle);
    rig.CreateForm();
    rig.Speak("english");

    Form1->Find_Device();
    sys::AdvanceMs(100);  // the held port fails at once, the next one is opened on the next tick
    EXPECT_EQ(LinkRig::Caption(), rig.Path("b_silent") + ": Find device");
    const std::string told = "Port " + a + " cannot be opened: Device or resource busy (16). The port is held by "
                             "another program (another copy of Zentor, a terminal, ModemManager): close it. To "
                             "see which one, run sudo fuser -v " + a + ".";
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), told);
    for (std::size_t pass = 1; pass <= 3; ++pass) {  // each pass tries the held port again
        sys::AdvanceMs(100);
        ASSERT_TRUE(LinkRig::AwaitRequests(silent, devsim::kCmdIdentify, pass));
        sys::AdvanceMs(1000);
        EXPECT_EQ(LinkRig::Caption(), rig.Path("b_silent") + ": Find device");
    }
    TStrings* log = Form1->MiniLOG->GetLines();
    int lines = 0;
    for (int i = 0; i < log->Count(); ++i) lines += (*log)[i].find(a) != std::string::npos;
    EXPECT_EQ(lines, 1);
    EXPECT_GE(log->IndexOf("<< " + told), 0);
    EXPECT_EQ(g_ScanActive, 1);
    comm::ClosePort(other);
}

TEST(LinkScan, AfterTheLastPortANewPassReadsTheListAgain) {
    LinkRig rig("scan-pass");
    SimPort& silent = rig.AddSilent("a_silent");
    ASSERT_TRUE(silent.started);
    rig.ListPorts({"a_silent"});
    rig.CreateForm();
    const std::string a = rig.Path("a_silent"), b = rig.Path("b_device");
    // Each probe is let through before the clock moves on: a pty drops what its reader has
    // not taken yet when the port is closed and opened again at once.
    Form1->Find_Device();
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(silent, devsim::kCmdIdentify, 1));
    sys::AdvanceMs(1000);  // no answer: the pass ends and the next begins at once
    EXPECT_EQ(LinkRig::Caption(), a + ": Find device");
    EXPECT_EQ(g_ScanActive, 1);
    EXPECT_EQ(g_ScanIndex, 0);
    EXPECT_EQ(g_ScanTicks, 10);
    ASSERT_TRUE(LinkRig::AwaitRequests(silent, devsim::kCmdIdentify, 2));

    // A controller listed meanwhile is in the list the next pass reads.
    SimPort& device = rig.AddController("b_device");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"a_silent", "!b_device"});
    sys::AdvanceMs(1000);
    EXPECT_EQ(Form1->ENUMPORTS->GetItems()->Count(), 2);
    ASSERT_TRUE(LinkRig::AwaitRequests(silent, devsim::kCmdIdentify, 3));
    sys::AdvanceMs(1000);  // the silent port's second is up: the next port is probed at once
    EXPECT_EQ(LinkRig::Caption(), b + ": Find device");
    EXPECT_EQ(Form1->ComPort->GetPort(), b);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 1));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_EQ(Form1->ComPort->GetPort(), b);
    EXPECT_EQ(silent.Requests(devsim::kCmdIdentify), 3u);
}

TEST(LinkScan, NoPortsListedIsNoFailure) {
    LinkRig rig("scan-empty");
    setenv("ZENTOR_PORTS", "", 1);
    rig.CreateForm();
    Form1->Find_Device();
    EXPECT_EQ(LinkRig::Caption(), "Find device");
    sys::AdvanceMs(3000);
    EXPECT_EQ(g_ScanActive, 1);
    EXPECT_FALSE(Form1->ComPort->GetConnected());
    EXPECT_EQ(LinkRig::Caption(), "Find device");
    // A port that appears later is found by the next listing.
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"!dev"});
    sys::AdvanceMs(1000);
    EXPECT_EQ(g_PortName, rig.Path("dev"));
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 1));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_DeviceConnected);
}

// A listed port with no device behind it is tried once a second, not on every tick; a
// controller that then appears there is announced and probed at once.
TEST(LinkScan, AListedPortWithoutADeviceIsTriedOnceASecond) {
    LinkRig rig("scan-absent");
    rig.ListPorts({"!dev"});
    rig.CreateForm(true);
    Form1->Find_Device();
    sys::AdvanceMs(100);  // not there: the pass ends, the next one waits its second
    const unsigned wakes = Form1->Ftimer->Wakes();
    sys::AdvanceMs(3000);
    EXPECT_EQ(Form1->Ftimer->Wakes() - wakes, 3u);
    EXPECT_EQ(LinkRig::Caption(), rig.Path("dev") + ": Find device");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_ScanResting == 0; }));
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 1));
}

TEST(LinkScan, IdentifyInBootloaderMode) {
    LinkRig rig("scan-boot");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    device.model->SetIdentity({false, 7, 0x8B, 16});
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    ASSERT_TRUE(rig.ConnectTo(device));
    EXPECT_TRUE(g_BootloaderMode);
    EXPECT_FALSE(g_WorkingMode);
    EXPECT_EQ(g_DeviceType, 0x8B);
    EXPECT_EQ(g_DeviceCapacity, 650);
    EXPECT_EQ(g_ScanActive, 0);
    EXPECT_TRUE(Form1->ComPort->GetConnected());
    EXPECT_FALSE(Form1->LABOX->GetEnabled());
    // No status poll for a device in its bootloader, even with a level.
    g_AccessLevel = 32;
    sys::AdvanceMs(1000);
    EXPECT_EQ(device.Requests(devsim::kCmdReadStatus), 0u);
}

TEST(LinkScan, IdentifyModelsAndTheSmallModelsControls) {
    LinkRig rig("scan-models");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    device.model->SetIdentity({true, 1, 0x8B, 16});
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    Form1->CON_EN1->SetChecked(true);
    Form1->NTPEN->SetChecked(true);
    ASSERT_TRUE(rig.ConnectTo(device));
    EXPECT_EQ(LinkRig::Caption(), rig.Path("dev") + ": Ключ \"Бранник\" DAZU 650");
    EXPECT_FALSE(Form1->CON_EN1->GetChecked());
    EXPECT_FALSE(Form1->CON_EN1->GetEnabled());
    EXPECT_FALSE(Form1->CON_ADR1->GetEnabled());
    EXPECT_FALSE(Form1->NTPEN->GetChecked());
    EXPECT_FALSE(Form1->NTPEN->GetEnabled());

    // The large DIN model gives the controls back.
    Form1->ClosePortConnection();
    device.model->SetIdentity({true, 1, 0x8B, 0});
    ASSERT_TRUE(rig.ConnectTo(device));
    EXPECT_EQ(LinkRig::Caption(), rig.Path("dev") + ": Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(g_DeviceCapacity, 15000);
    EXPECT_TRUE(Form1->CON_EN1->GetEnabled());
    EXPECT_TRUE(Form1->CON_ADR1->GetEnabled());
    EXPECT_TRUE(Form1->NTPEN->GetEnabled());
}

TEST(LinkScan, ForeignTypeIsRefusedAndTheScanGoesOn) {
    LinkRig rig("scan-foreign");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    device.model->SetIdentity({true, 1, 0x0C, 16});
    rig.ListPorts({"!dev"});
    rig.CreateForm();
    Form1->Find_Device();
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 1));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_FALSE(g_DeviceConnected);
    EXPECT_EQ(g_DeviceType, 0x0C);  // stored all the same, with the capacity
    EXPECT_EQ(g_DeviceCapacity, 650);
    EXPECT_EQ(g_ScanActive, 1);
    EXPECT_EQ(LinkRig::Caption(), rig.Path("dev") + ": Find device");
}

TEST(LinkScan, UnplugTakesTheLinkDownAndPluggingInFindsItAgain) {
    LinkRig rig("scan-unplug");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"!dev"});
    rig.CreateForm(true);
    ASSERT_TRUE(rig.ConnectTo(device));
    ApplyStatusRecordBytes(g_StatusRecord, devsim::DeviceModel::StatusRecordWithImei("860000000000001").data(), 513);
    g_AccessLevel = 32;
    Form1->ButtonEnabled(true);

    device.sim.Unplug();
    ASSERT_TRUE(testsupport::WaitUntil([] { return !g_DeviceConnected; }));
    EXPECT_FALSE(Form1->ComPort->GetConnected());
    EXPECT_EQ(LinkRig::Caption(), rig.Path("dev") + ": Not connected");
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 4);
    EXPECT_FALSE(Form1->LABOX->GetEnabled());
    EXPECT_TRUE(Form1->RABOX->GetEnabled());
    EXPECT_TRUE(Form1->UiGroupBox21->GetEnabled());
    EXPECT_FALSE(Form1->Bdevice->GetEnabled());
    EXPECT_EQ(g_AccessLevel, 0);
    EXPECT_EQ(Form1->LACCESS->GetCaption(), "Не подключено");
    EXPECT_EQ(StatusImei(g_StatusRecord), "");  // the next device gets no stored password
    EXPECT_EQ(g_ScanActive, 0);  // no scan until something is plugged in

    ASSERT_TRUE(device.sim.Replug());
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_ScanActive != 0; }));
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 2));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_TRUE(g_WorkingMode);
}

// A listed entry without a name has no maker's text, yet its arrival starts a scan.
TEST(LinkScan, ABareListedEntryIsFoundAgainAfterEveryReplug) {
    LinkRig rig("scan-bare");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"dev"});
    rig.CreateForm(true);
    ASSERT_TRUE(rig.ConnectTo(device));
    for (std::size_t replug = 1; replug <= 10; ++replug) {
        device.sim.Unplug();
        ASSERT_TRUE(testsupport::WaitUntil([] { return !g_DeviceConnected; })) << replug;
        ASSERT_TRUE(device.sim.Replug());
        ASSERT_TRUE(testsupport::WaitUntil([] { return g_ScanActive != 0; })) << replug;
        ASSERT_TRUE(rig.ScanUntilConnected(device)) << replug;
    }
}

TEST(LinkScan, ResetLeavesTheBusAndComesBack) {
    LinkRig rig("scan-reset");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    device.model->SetReplugDelayMs(200);
    rig.ListPorts({"!dev"});
    rig.CreateForm(true);
    ASSERT_TRUE(rig.ConnectTo(device));

    Form1->ResetDevice(0);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdReset, 1));
    EXPECT_EQ(device.sim.Frames().back().data, Bytes{0});
    ASSERT_TRUE(LinkRig::Deliver(11));
    EXPECT_FALSE(Form1->ComPort->GetConnected());  // the reply closes the port
    EXPECT_FALSE(g_WorkingMode);
    EXPECT_TRUE(g_DeviceConnected);  // until the device leaves the bus
    EXPECT_FALSE(Form1->LABOX->GetEnabled());
    EXPECT_TRUE(Form1->RABOX->GetEnabled());

    ASSERT_TRUE(testsupport::WaitUntil([] { return !g_DeviceConnected; }));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return device.model->ResetDone() && g_ScanActive; }));
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 2));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_TRUE(g_WorkingMode);
}

TEST(LinkScan, TheOtherControllersNoticesLeaveTheLinkAlone) {
    LinkRig rig("scan-two");
    SimPort& first = rig.AddController("a_dev");
    SimPort& second = rig.AddController("b_dev");
    ASSERT_TRUE(first.started && second.started);
    rig.ListPorts({"!a_dev", "!b_dev"});
    rig.CreateForm(true);
    // Connected to the second: the first is silent for this test.
    first.sim.ClearHandlers();
    ASSERT_TRUE(rig.ConnectTo(second));
    EXPECT_EQ(g_PortName, rig.Path("b_dev"));

    first.sim.Unplug();
    testsupport::Pump(200);  // the removal notice is served
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_TRUE(Form1->ComPort->GetConnected());
    ASSERT_TRUE(first.sim.Replug());
    testsupport::Pump(200);
    EXPECT_TRUE(g_DeviceConnected);
    EXPECT_EQ(g_ScanActive, 0);

    second.sim.Unplug();
    ASSERT_TRUE(testsupport::WaitUntil([] { return !g_DeviceConnected; }));
}

TEST(LinkScan, AFailedWriteTakesTheLinkDownAndScansAgain) {
    LinkRig rig("scan-write");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"!dev"});
    rig.UseManualNotices();  // no notice will tell the tool
    rig.CreateForm(true);
    ASSERT_TRUE(rig.ConnectTo(device));
    ASSERT_TRUE(Form1->ComPort->GetConnected());

    device.sim.Unplug();
    testsupport::Pump(100);
    EXPECT_TRUE(g_DeviceConnected);
    const std::uint8_t zero = 0;
    EXPECT_LT(SendCommand(0x22, &zero, 1), 0);
    EXPECT_FALSE(g_DeviceConnected);
    EXPECT_FALSE(Form1->ComPort->GetConnected());
    EXPECT_EQ(g_ScanActive, 1);
    EXPECT_EQ(LinkRig::Caption(), rig.Path("dev") + ": Find device");

    ASSERT_TRUE(device.sim.Replug());
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdIdentify, 2));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_DeviceConnected);
}

TEST(LinkScan, AFailedWriteDuringACloudSessionStartsNoScan) {
    LinkRig rig("scan-write-cloud");
    SimPort& device = rig.AddController("dev");
    ASSERT_TRUE(device.started);
    rig.ListPorts({"!dev"});
    rig.UseManualNotices();
    rig.CreateForm(true);
    ASSERT_TRUE(rig.ConnectTo(device));
    device.sim.Unplug();
    testsupport::Pump(100);
    g_CloudSession = 1;
    const std::uint8_t zero = 0;
    EXPECT_LT(Form1->SendToPort(&zero, 1), 0);
    EXPECT_FALSE(g_DeviceConnected);
    EXPECT_EQ(g_ScanActive, 0);
}

}  // namespace
