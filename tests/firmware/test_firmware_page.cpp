// The firmware page end to end: a simulated controller on a pty restarted into its
// bootloader and written block by block, the watchdog on the manual clock, files the page
// refuses, and the transfer to a device dialled in to the local configuration server.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "FirmwareImage.h"
#include "device/LinkRig.h"
#include "firmware/FirmwareState.h"
#include "config/ConfigTransfer.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/BootloaderModel.h"
#include "tools/devsim/LinkRelay.h"

namespace {

using namespace linktest;
using fwtest::Image;

// "SLMX", length, marker, command, d0, CRC.
constexpr std::size_t kResultReply = 11;

struct FirmwareRig {
    explicit FirmwareRig(const std::string& name, bool bootloader = false, bool machineClock = false)
        : clock(machineClock ? new testsupport::TMachineClock : nullptr), rig(name), device(rig.AddController("dev")),
          boot(*device.model) {
        ui::test::SetScripted(true);
        ui::test::ClearDialogs();
        device.model->SetReplugDelayMs(200);
        if (bootloader) device.model->SetIdentity({false, 0x23, 0x0B, 0});
        rig.ListPorts({"!dev"});
        rig.CreateForm(true);
        if (!clock) {
            ok = device.started && rig.ConnectTo(device);
            return;
        }
        // Found by the scan at its own pace.
        device.sim.HoldOutput(false);
        Form1->Find_Device();
        ok = device.started && testsupport::WaitInLoop([] { return g_DeviceConnected; }, 10000);
        device.sim.HoldOutput(true);
    }
    ~FirmwareRig() {
        Form1->CloseFirmwareFile();
        ui::test::ClearDialogs();
        ui::test::SetScripted(false);
    }

    std::string File(const std::string& name, const Image& bytes) const {
        const std::string path = rig.Path(name);
        fwtest::WriteFile(path, bytes);
        return path;
    }
    bool Open(const std::string& path) {
        ui::test::PushFileAnswer(path);
        Form1->Open_fwClick(Form1->Open_fw);
        return Form1->Program_flash->GetEnabled();
    }
    // Waits for the next request of this command and answers it with the model's reply.
    bool Step(std::uint8_t command) {
        const std::size_t before = seen[command]++;
        return LinkRig::AwaitRequests(device, command, before + 1) && LinkRig::Deliver(kResultReply);
    }
    std::vector<devsim::Frame> FramesOf(std::uint8_t command) const {
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : device.sim.Frames())
            if (f.command == command) out.push_back(f);
        return out;
    }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }

    std::unique_ptr<testsupport::TMachineClock> clock;
    LinkRig rig;
    SimPort& device;
    devsim::BootloaderModel boot;
    std::map<std::uint8_t, std::size_t> seen;
    bool ok = false;
};

TEST(FirmwarePage, WholeUpdateThroughTheBootloaderByteExact) {
    FirmwareRig f("fw-whole");
    ASSERT_TRUE(f.ok);
    ASSERT_TRUE(g_WorkingMode);
    const Image image = fwtest::MakeImage(2500);
    ASSERT_TRUE(f.Open(f.File("fw37.bin", image)));
    EXPECT_EQ(Form1->FWVer->GetCaption(), "Firmware version: 37");
    EXPECT_EQ(Form1->FWSize->GetCaption(), "Firmware size: 3012 byte(s)");
    EXPECT_EQ(Form1->FWCRC->GetCaption(), "Firmware CRC: 0x1A2B");
    EXPECT_EQ(Form1->FWbuild->GetCaption(), "Firmware build: 2015.0007.03");
    EXPECT_EQ(Form1->Firmware_name->GetText(), f.rig.Path("fw37.bin"));
    EXPECT_EQ(ui::test::ShownDialogs().back().kind, "open");

    // Working mode: the device is restarted into its bootloader first.
    Form1->Program_flashClick(Form1->Program_flash);
    EXPECT_FALSE(Form1->Program_flash->GetEnabled());
    EXPECT_EQ(g_FlashActive, 1);
    ASSERT_TRUE(LinkRig::AwaitRequests(f.device, devsim::kCmdReset, 1));
    EXPECT_EQ(f.FramesOf(devsim::kCmdReset).back().data, Bytes{1});
    ASSERT_TRUE(LinkRig::Deliver(kResultReply));
    ASSERT_TRUE(testsupport::WaitUntil([] { return !g_DeviceConnected; }));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return f.device.model->ResetDone() && g_ScanActive; }));
    sys::AdvanceMs(100);
    ASSERT_TRUE(LinkRig::AwaitRequests(f.device, devsim::kCmdIdentify, 2));
    ASSERT_TRUE(LinkRig::Deliver(16));
    EXPECT_TRUE(g_BootloaderMode);
    EXPECT_EQ(Form1->BootVer->GetCaption(), "Bootloader version: v0.3");
    EXPECT_EQ(LinkRig::Caption(), f.rig.Path("dev") + ": Bootloader version: v0.3");
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 2);

    // The bootloader's identify started the update.
    ASSERT_TRUE(f.Step(devsim::kCmdFwStart));
    ASSERT_TRUE(f.Step(devsim::kCmdFwSize));
    ASSERT_TRUE(f.Step(devsim::kCmdFwHeader));
    ASSERT_TRUE(f.Step(devsim::kCmdFwBlock));
    EXPECT_EQ(Form1->Progress_flash->GetPercent(), 81);  // its reply sent the second: 2048 of 2500
    testsupport::Click(Form1->UiButton5);  // meanwhile no number is read
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(107));
    ui::test::PushFileAnswer(f.File("fw38.bin", fwtest::MakeImage(600)));  // were the user asked
    Form1->MESLABEL->SetCaption("");
    testsupport::Click(Form1->Open_fw);  // nor another image opened
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(107));
    EXPECT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(g_FwTimeout, 5);
    ASSERT_TRUE(f.Step(devsim::kCmdFwBlock));
    ASSERT_TRUE(f.Step(devsim::kCmdFwBlock));
    ASSERT_TRUE(f.Step(devsim::kCmdFwFinish));

    EXPECT_EQ(f.FramesOf(devsim::kCmdFwStart).back().data, Bytes{});
    EXPECT_EQ(f.FramesOf(devsim::kCmdFwSize).back().data, (Bytes{0xC4, 0x0B, 0x00, 0x00}));
    const Bytes header = f.FramesOf(devsim::kCmdFwHeader).back().data;
    ASSERT_EQ(header.size(), 514u);
    EXPECT_EQ(header[0], 0x00);
    EXPECT_EQ(header[1], 0x02);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 512, header.begin() + 2));
    const auto blocks = f.FramesOf(devsim::kCmdFwBlock);
    ASSERT_EQ(blocks.size(), 3u);
    const Bytes heads[] = {{0x00, 0x00, 0x00, 0x00, 0x00, 0x04},
                           {0x00, 0x04, 0x00, 0x00, 0x00, 0x04},
                           {0x00, 0x08, 0x00, 0x00, 0xC4, 0x01}};
    const std::size_t sizes[] = {1024, 1024, 452};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(blocks[i].data.size(), 6 + sizes[i]);
        EXPECT_EQ(Bytes(blocks[i].data.begin(), blocks[i].data.begin() + 6), heads[i]);
    }
    EXPECT_TRUE(f.boot.Finished());
    EXPECT_EQ(f.boot.Written(), image);

    // Finished: message 9, a normal restart, the port closed and the file closed.
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(9));
    EXPECT_EQ(Form1->Progress_flash->GetPercent(), 100);
    // The pty may drop what was written just before the tool closed its side, so the
    // restart request is checked only when it got through.
    if (testsupport::WaitUntil([&] { return f.device.Requests(devsim::kCmdReset) >= 2; }, 1000)) {
        EXPECT_EQ(f.FramesOf(devsim::kCmdReset).back().data, Bytes{0});
    }
    EXPECT_FALSE(Form1->ComPort->GetConnected());
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_FALSE(g_FirmwareUpdate.IsOpen());
    EXPECT_FALSE(g_BootloaderMode);
}

TEST(FirmwarePage, WatchdogEndsAnUpdateWhoseRepliesStop) {
    FirmwareRig f("fw-watchdog", true);
    ASSERT_TRUE(f.ok);
    ASSERT_TRUE(g_BootloaderMode);
    EXPECT_EQ(Form1->BootVer->GetCaption(), "Bootloader version: v2.3");
    EXPECT_EQ(g_BootloaderOnly, 0);  // version 2.x, but type 0x0B
    f.boot.SetSilentAfterBlocks(1);
    ASSERT_TRUE(f.Open(f.File("fw.bin", fwtest::MakeImage(3000))));
    g_BusyTransfer = 1;

    // In the bootloader already: 0x10 goes at once.
    Form1->Program_flashClick(Form1->Program_flash);
    ASSERT_TRUE(f.Step(devsim::kCmdFwStart));
    ASSERT_TRUE(f.Step(devsim::kCmdFwSize));
    ASSERT_TRUE(f.Step(devsim::kCmdFwHeader));
    ASSERT_TRUE(f.Step(devsim::kCmdFwBlock));
    ASSERT_TRUE(LinkRig::AwaitRequests(f.device, devsim::kCmdFwBlock, 2));
    EXPECT_EQ(g_FwOffset, 2048u);
    EXPECT_EQ(g_FwTimeout, 5);

    const unsigned wakes = Form1->Find_device->Wakes();
    sys::AdvanceMs(3900);
    EXPECT_EQ(g_FlashActive, 1);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    sys::AdvanceMs(1100);
    EXPECT_EQ(Form1->Find_device->Wakes() - wakes, 1u);  // the watchdog's own second, no other
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_EQ(g_BusyTransfer, 0);
    EXPECT_EQ(g_FwTimeout, 0);
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(FirmwareRig::Message(),
              Form1->GetMessageA(10) +
                  "\r\nУстройство подтвердило приём 1024 из 3000 байт файла прошивки: обновление не завершено.");
    EXPECT_FALSE(Form1->Progress_flash->GetVisible());
    // Abandoned, not closed: the button waits for the page or a file.
    EXPECT_TRUE(g_FirmwareUpdate.IsOpen());
    EXPECT_FALSE(Form1->Program_flash->GetEnabled());
    EXPECT_EQ(f.device.Requests(devsim::kCmdFwFinish), 0u);
}

// On the machine's clock, the tool stopped (Ctrl+Z, then fg) for longer than the watchdog
// right after a block went, the controller's reply waiting in the port: the update completes
// byte-exact, each block sent once.
TEST(FirmwarePage, AStopAfterABlockCostsNothingOnTheMachinesClock) {
    FirmwareRig f("fw-stop", true, true);
    ASSERT_TRUE(f.ok);
    const Image image = fwtest::MakeImage(2500);
    ASSERT_TRUE(f.Open(f.File("fw.bin", image)));
    std::thread stop([&] {
        for (int i = 0; i < 10000 && f.device.Requests(devsim::kCmdFwBlock) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        f.device.sim.ReleaseOutput(kResultReply);
        while (f.device.sim.ReleasedPending() > 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
        testsupport::StopThisProcess(6500);
        f.device.sim.HoldOutput(false);
    });
    testsupport::Click(Form1->Program_flash->GetWidget());
    for (std::uint8_t step : {devsim::kCmdFwStart, devsim::kCmdFwSize, devsim::kCmdFwHeader}) ASSERT_TRUE(f.Step(step));
    EXPECT_TRUE(testsupport::WaitInLoop([] { return g_FlashActive == 0; }, 30000));
    stop.join();
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(9));
    EXPECT_EQ(f.boot.Written(), image);
    EXPECT_EQ(f.device.Requests(devsim::kCmdFwBlock), 3u);
}

// A controller that falls silent still ends it, 5 s after the last block.
TEST(FirmwarePage, ASilentControllerEndsTheUpdateAfter5sOnTheMachinesClock) {
    FirmwareRig f("fw-silent", true, true);
    ASSERT_TRUE(f.ok);
    f.boot.SetSilentAfterBlocks(1);
    f.device.sim.HoldOutput(false);
    ASSERT_TRUE(f.Open(f.File("fw.bin", fwtest::MakeImage(3000))));
    testsupport::Click(Form1->Program_flash->GetWidget());
    std::int64_t sent = -1;
    EXPECT_TRUE(testsupport::WaitInLoop([&] {
        if (sent < 0 && g_FirmwareUpdate.Offset() == 2048) sent = sys::TickMs();
        return g_FlashActive == 0;
    }, 30000));
    EXPECT_GE(sys::TickMs() - sent, 4000);
    EXPECT_EQ(FirmwareRig::Message(),
              Form1->GetMessageA(10) +
                  "\r\nУстройство подтвердило приём 1024 из 3000 байт файла прошивки: обновление не завершено.");
}

// Unplugged during the flash: the update ends at once and says how far it got.
TEST(FirmwarePage, AnUnplugMidFlashSaysHowFarItGot) {
    FirmwareRig f("fw-unplug", true);
    ASSERT_TRUE(f.ok);
    ASSERT_TRUE(f.Open(f.File("fw.bin", fwtest::MakeImage(3000))));
    testsupport::Click(Form1->Program_flash->GetWidget());
    ASSERT_TRUE(f.Step(devsim::kCmdFwStart));
    ASSERT_TRUE(f.Step(devsim::kCmdFwSize));
    ASSERT_TRUE(f.Step(devsim::kCmdFwHeader));
    ASSERT_TRUE(f.Step(devsim::kCmdFwBlock));
    ASSERT_TRUE(LinkRig::AwaitRequests(f.device, devsim::kCmdFwBlock, 2));
    f.device.sim.Unplug();
    const std::string cut = "Связь с устройством потеряна.\r\nОбновление прошивки прервано (устройство подтвердило "
                            "приём 1024 из 3000 байт). Повторите обновление, когда устройство снова подключится.";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FirmwareRig::Message() == cut; })) << FirmwareRig::Message();
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_FALSE(Form1->Progress_flash->GetVisible());
    sys::AdvanceMs(6000);
    EXPECT_EQ(FirmwareRig::Message(), cut);
}

TEST(FirmwarePage, RejectedStepShowsItsCommandAndCode) {
    FirmwareRig f("fw-reject", true);
    ASSERT_TRUE(f.ok);
    f.boot.SetResult(devsim::kCmdFwHeader, 5);
    ASSERT_TRUE(f.Open(f.File("fw.bin", fwtest::MakeImage(100))));
    Form1->Program_flashClick(Form1->Program_flash);
    ASSERT_TRUE(f.Step(devsim::kCmdFwStart));
    ASSERT_TRUE(f.Step(devsim::kCmdFwSize));
    ASSERT_TRUE(f.Step(devsim::kCmdFwHeader));
    EXPECT_EQ(FirmwareRig::Message(),
              "0x13 " + ErrorCodeToText(5, [](int n) { return Form1->GetMessageA(n); }));
    testsupport::Pump(50);
    sys::AdvanceMs(10000);
    EXPECT_EQ(f.device.Requests(devsim::kCmdFwBlock), 0u);
    // No watchdog before the first block: the next identification starts again.
    EXPECT_EQ(g_FlashActive, 1);
}

TEST(FirmwarePage, FilesTheDeviceDoesNotTakeAreRefused) {
    FirmwareRig f("fw-refuse");
    ASSERT_TRUE(f.ok);
    Image notFirmware = fwtest::MakeImage(64);
    notFirmware[3] = 'X';
    EXPECT_FALSE(f.Open(f.File("a.bin", notFirmware)));
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(13));
    EXPECT_EQ(Form1->FWVer->GetCaption(), "");
    EXPECT_FALSE(g_FirmwareUpdate.IsOpen());

    EXPECT_FALSE(f.Open(f.File("b.bin", fwtest::MakeImage(64, 0x0C))));
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(12));

    // A header promising more body than the file holds is no image either.
    Image cut = fwtest::MakeImage(64);
    cut.resize(300);
    EXPECT_FALSE(f.Open(f.File("c.bin", cut)));
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(13));
    // Nor is one with an empty body: flashed, it would leave the device without firmware.
    Form1->OKMESClick(Form1->OKMES);
    EXPECT_FALSE(f.Open(f.File("e.bin", fwtest::MakeImage(0))));
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(13));

    // Low four bits decide: 0x1B fits the 0x0B device. A later refusal keeps it.
    ASSERT_TRUE(f.Open(f.File("d.bin", fwtest::MakeImage(64, 0x1B, 41))));
    EXPECT_EQ(Form1->FWVer->GetCaption(), "Firmware version: 41");
    f.Open(f.File("a.bin", notFirmware));
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(13));
    EXPECT_EQ(Form1->FWVer->GetCaption(), "Firmware version: 41");
    EXPECT_TRUE(Form1->Program_flash->GetEnabled());
    EXPECT_EQ(g_FwSize, 64u);

    // A cancelled dialog changes nothing; showing the page empties it.
    ui::test::PushFileAnswer("");
    Form1->Open_fwClick(Form1->Open_fw);
    EXPECT_EQ(Form1->FWVer->GetCaption(), "Firmware version: 41");
    Form1->SelectPage(4);
    Form1->SelectPage(2);
    EXPECT_EQ(Form1->FWVer->GetCaption(), "");
    EXPECT_FALSE(Form1->Program_flash->GetEnabled());
    EXPECT_FALSE(Form1->Progress_flash->GetVisible());
}

// A controller dialled in to the local configuration server through a relay of the test's,
// its output paced and split into small pieces. It answers each 0xD1 block with `result`, the
// block that ends the file with `last` (no answer while negative).
struct RemoteRig {
    explicit RemoteRig(const std::string& name) : rig(name), model(modem) {
        rig.CreateForm();
        ui::test::SetScripted(true);
        Form1->RconfPort->SetText("0");
        testsupport::Click(Form1->Button1->GetWidget());
        model.AddHandler(0xD1, [this](const devsim::Frame& f) {
            const std::uint32_t end = (f.data[0] | f.data[1] << 8 | f.data[2] << 16) + (f.data[4] | f.data[5] << 8);
            const int answer = end >= whole ? last.load() : result.load();
            if (answer < 0) return Bytes{};
            return devsim::BuildReply(0xD1, {static_cast<std::uint8_t>(answer)});
        });
        modem.SetPacing(2400);
        relay = std::make_unique<devsim::LinkRelay>("127.0.0.1", Form1->ConfServer->GetSocket()->GetLocalPort());
        ok = relay->Start() && modem.Dial("127.0.0.1", relay->Port()) &&
             testsupport::WaitUntil([] { return Form1->ConfServer->GetSocket()->GetActiveConnections() == 1; });
        sys::AdvanceMs(1000);  // identified first
        ok = ok && testsupport::WaitUntil([] { return g_ConfServerConnected == 1; });
    }
    ~RemoteRig() {
        Form1->CloseFirmwareFile();
        ui::test::SetScripted(false);
    }
    // The image opened and the update started with the program button.
    bool Program(const Image& image) {
        whole = static_cast<std::uint32_t>(image.size());
        fwtest::WriteFile(rig.Path("fw.bin"), image);
        if (!Form1->OpenFWFileSTM(rig.Path("fw.bin"))) return false;
        testsupport::Click(Form1->Program_flash->GetWidget());
        return true;
    }
    std::vector<devsim::Frame> Blocks() const {
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : modem.Frames())
            if (f.command == 0xD1) out.push_back(f);
        return out;
    }

    LinkRig rig;
    devsim::DevSim modem{""};
    devsim::DeviceModel model;
    std::unique_ptr<devsim::LinkRelay> relay;
    std::atomic<int> result{0}, last{0};
    std::atomic<std::uint32_t> whole{0};
    bool ok = false;
};

// Through the local configuration server the whole file goes as 0xD1 blocks of 512.
TEST(FirmwarePage, RemoteTransferInBlocksOf512) {
    RemoteRig r("fw-remote");
    ASSERT_TRUE(r.ok);
    const Image image = fwtest::MakeImage(788);  // 1300 bytes
    ASSERT_TRUE(r.Program(image));
    ASSERT_GE(testsupport::RunClockAlong([] { return FirmwareRig::Message() == Form1->GetMessageA(55); }, 10000), 0);
    const std::vector<devsim::Frame> sent = r.Blocks();
    ASSERT_EQ(sent.size(), 3u);
    const std::uint32_t offsets[] = {0, 512, 1024};
    const std::uint16_t sizes[] = {512, 512, 276};
    for (int i = 0; i < 3; ++i) {
        Bytes head = {static_cast<std::uint8_t>(offsets[i]), static_cast<std::uint8_t>(offsets[i] >> 8), 0, 0,
                      static_cast<std::uint8_t>(sizes[i]), static_cast<std::uint8_t>(sizes[i] >> 8)};
        head.insert(head.end(), image.begin() + offsets[i], image.begin() + offsets[i] + sizes[i]);
        EXPECT_EQ(sent[i].data, head) << i;
    }
    EXPECT_EQ(Form1->Progress_flash->GetPercent(), 100);
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_FALSE(g_FirmwareUpdate.IsOpen());

    // A rejected block is reported without a prefix; the watchdog ends it 20 s later and
    // says how far it got.
    r.result = 7;
    ASSERT_TRUE(r.Program(image));
    const std::string rejected = ErrorCodeToText(7, [](int n) { return Form1->GetMessageA(n); });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FirmwareRig::Message() == rejected; }));
    EXPECT_EQ(g_FwTimeout, 20);
    sys::AdvanceMs(21000);
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_EQ(FirmwareRig::Message(),
              Form1->GetMessageA(10) +
                  "\r\nУстройство подтвердило приём 0 из 1300 байт файла прошивки: обновление не завершено.");
    EXPECT_FALSE(Form1->Progress_flash->GetVisible());
    EXPECT_EQ(r.Blocks().size(), 4u);

    // The device hangs up in the middle: the update ends at once and says what that leaves;
    // no watchdog runs on.
    r.result = -1;
    ASSERT_TRUE(r.Program(image));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return r.Blocks().size() == 5; }));
    r.modem.Stop();
    const std::string cut = "Связь с устройством потеряна.\r\nОбновление прошивки прервано (устройство подтвердило "
                            "приём 0 из 1300 байт). Повторите обновление, когда устройство снова подключится.";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FirmwareRig::Message() == cut; })) << FirmwareRig::Message();
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_EQ(g_FwTimeout, 0);
    sys::AdvanceMs(21000);
    EXPECT_EQ(FirmwareRig::Message(), cut);
}

// One acknowledgement comes twice on the way, and the device refuses the last block: one
// block at most is ever in flight, the refusal is shown and no success is.
TEST(FirmwarePage, RemoteTransferWithACopiedAcknowledgementShowsTheRefusedLastBlock) {
    RemoteRig r("fw-copied-ack");
    ASSERT_TRUE(r.ok);
    auto inFlight = std::make_shared<std::atomic<int>>(0);
    auto most = std::make_shared<std::atomic<int>>(0);
    r.relay->SetRule(devsim::LinkRelay::ToDevice, [inFlight, most](const devsim::Frame& f) {
        if (f.command == 0xD1) *most = std::max(most->load(), ++*inFlight);
        return devsim::RelayAct::Pass;
    });
    r.relay->SetRule(devsim::LinkRelay::ToTool, [inFlight, copied = false](const devsim::Frame& f) mutable {
        if (f.command != 0xD1) return devsim::RelayAct::Pass;
        --*inFlight;
        if (copied) return devsim::RelayAct::Pass;
        copied = true;
        return devsim::RelayAct::Twice;
    });
    r.last = 3;
    ASSERT_TRUE(r.Program(fwtest::MakeImage(2000)));  // five blocks
    const std::string refused = ErrorCodeToText(3, [](int n) { return Form1->GetMessageA(n); });
    bool success = false;
    ASSERT_GE(testsupport::RunClockAlong([&] {
        const std::string m = FirmwareRig::Message();
        success = success || m == Form1->GetMessageA(55) || m == Form1->GetMessageA(9);
        return m == refused;
    }, 10000), 0);
    EXPECT_FALSE(success);
    EXPECT_EQ(r.Blocks().size(), 5u);
    EXPECT_EQ(most->load(), 1);
}

// The device's acknowledgement of the last block is lost: the watchdog ends the update and
// counts only the bytes the device confirmed.
TEST(FirmwarePage, RemoteTransferWhoseLastAcknowledgementIsLostCountsOnlyConfirmedBytes) {
    RemoteRig r("fw-acks-stop");
    ASSERT_TRUE(r.ok);
    r.relay->SetRule(devsim::LinkRelay::ToTool, [passed = 0](const devsim::Frame& f) mutable {
        return f.command == 0xD1 && ++passed > 3 ? devsim::RelayAct::Drop : devsim::RelayAct::Pass;
    });
    ASSERT_TRUE(r.Program(fwtest::MakeImage(1536)));  // 2048 bytes, four blocks
    ASSERT_GE(testsupport::RunClockAlong([&] { return r.Blocks().size() == 4; }, 5000), 0);
    sys::AdvanceMs(20000);
    EXPECT_EQ(FirmwareRig::Message(),
              Form1->GetMessageA(10) +
                  "\r\nУстройство подтвердило приём 1536 из 2048 байт файла прошивки: обновление не завершено.");
    EXPECT_FALSE(Form1->Progress_flash->GetVisible());
    EXPECT_EQ(g_FlashActive, 0);
}

}  // namespace
