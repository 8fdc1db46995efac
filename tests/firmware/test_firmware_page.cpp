// The firmware page end to end: a simulated controller on a pty restarted into its
// bootloader and written block by block, the watchdog on the manual clock, files the page
// refuses, and the transfer to a device dialled in to the local configuration server.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>

#include "FirmwareImage.h"
#include "device/LinkRig.h"
#include "firmware/FirmwareState.h"
#include "config/ConfigTransfer.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/BootloaderModel.h"

namespace {

using namespace linktest;
using fwtest::Image;

// "SLMX", length, marker, command, d0, CRC.
constexpr std::size_t kResultReply = 11;

struct FirmwareRig {
    explicit FirmwareRig(const std::string& name, bool bootloader = false)
        : rig(name), device(rig.AddController("dev")), boot(*device.model) {
        ui::test::SetScripted(true);
        ui::test::ClearDialogs();
        device.model->SetReplugDelayMs(200);
        if (bootloader) device.model->SetIdentity({false, 0x23, 0x0B, 0});
        rig.ListPorts({"!dev"});
        rig.CreateForm(true);
        ok = device.started && rig.ConnectTo(device);
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

    sys::AdvanceMs(3900);
    EXPECT_EQ(g_FlashActive, 1);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    sys::AdvanceMs(1100);
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_EQ(g_BusyTransfer, 0);
    EXPECT_EQ(g_FwTimeout, 0);
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(FirmwareRig::Message(), Form1->GetMessageA(10));
    // Abandoned, not closed: the button waits for the page or a file.
    EXPECT_TRUE(g_FirmwareUpdate.IsOpen());
    EXPECT_FALSE(Form1->Program_flash->GetEnabled());
    EXPECT_EQ(f.device.Requests(devsim::kCmdFwFinish), 0u);
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

// Through the local configuration server the whole file goes as 0xD1 blocks of 512, to a
// device that dialled in over a link that splits every frame it sends into small pieces.
TEST(FirmwarePage, RemoteTransferInBlocksOf512) {
    LinkRig rig("fw-remote");
    rig.CreateForm();
    ui::test::SetScripted(true);
    Form1->RconfPort->SetText("0");
    testsupport::Click(Form1->Button1->GetWidget());
    devsim::DevSim modem("");
    devsim::DeviceModel model(modem);
    std::atomic<int> result{0};
    model.AddHandler(0xD1, [&result](const devsim::Frame&) {
        if (result < 0) return Bytes{};  // no answer
        return devsim::BuildReply(0xD1, {static_cast<std::uint8_t>(result.load())});
    });
    modem.SetPacing(2400);
    ASSERT_TRUE(modem.Dial("127.0.0.1", Form1->ConfServer->GetSocket()->GetLocalPort()));
    ASSERT_TRUE(testsupport::WaitUntil([] { return Form1->ConfServer->GetSocket()->GetActiveConnections() == 1; }));
    sys::AdvanceMs(1000);  // identified first
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_ConfServerConnected == 1; }));
    const auto blocks = [&modem] {
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : modem.Frames())
            if (f.command == 0xD1) out.push_back(f);
        return out;
    };

    const Image image = fwtest::MakeImage(788);  // 1300 bytes
    fwtest::WriteFile(rig.Path("fw.bin"), image);
    ASSERT_TRUE(Form1->OpenFWFileSTM(rig.Path("fw.bin")));
    testsupport::Click(Form1->Program_flash->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([] { return Form1->MESLABEL->GetCaption() == Form1->GetMessageA(55); }));
    const std::vector<devsim::Frame> sent = blocks();
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

    // A rejected block is reported without a prefix; the watchdog ends it 20 s later.
    result = 7;
    ASSERT_TRUE(Form1->OpenFWFileSTM(rig.Path("fw.bin")));
    testsupport::Click(Form1->Program_flash->GetWidget());
    const std::string rejected = ErrorCodeToText(7, [](int n) { return Form1->GetMessageA(n); });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Form1->MESLABEL->GetCaption() == rejected; }));
    EXPECT_EQ(g_FwTimeout, 20);
    sys::AdvanceMs(21000);
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(10));
    EXPECT_EQ(blocks().size(), 4u);

    // The device hangs up in the middle: the update ends at once and says what that leaves;
    // no watchdog runs on.
    result = -1;
    ASSERT_TRUE(Form1->OpenFWFileSTM(rig.Path("fw.bin")));
    testsupport::Click(Form1->Program_flash->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return blocks().size() == 5; }));
    modem.Stop();
    const std::string cut = "Связь с устройством потеряна.\r\nОбновление прошивки прервано (передано 512 из 1300 байт): "
                            "устройство получило не весь файл прошивки. Повторите обновление, когда устройство снова "
                            "подключится.";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Form1->MESLABEL->GetCaption() == cut; }))
        << Form1->MESLABEL->GetCaption();
    EXPECT_EQ(g_FlashActive, 0);
    EXPECT_EQ(g_FwTimeout, 0);
    sys::AdvanceMs(21000);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), cut);
    Form1->CloseFirmwareFile();
    ui::test::SetScripted(false);
}

}  // namespace
