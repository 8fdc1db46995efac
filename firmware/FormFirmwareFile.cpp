// The firmware page: the image file, the update on the cable through the bootloader and
// through the local configuration server, and the per-block watchdog.
#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "firmware/FirmwareState.h"
#include "platform/rtl/Streams.h"

namespace {

void SyncCounters() {
    g_FwOffset = g_FirmwareUpdate.Offset();
    g_FwTimeout = g_FirmwareUpdate.TimeoutSeconds();
    g_FlashActive = g_FirmwareUpdate.Active() ? 1 : 0;
}

}  // namespace

bool TForm1::OpenFWFileSTM(const std::string& path) {
    TOpenedFirmware opened = OpenFirmwareFile(path, g_DeviceType, g_BootloaderOnly != 0);
    if (!opened.Opened) return false;
    if (opened.Check != TFirmwareCheck::Accepted) {
        // The image kept from an earlier open stays the one that is flashed.
        MessageShow(GetMessageA(FirmwareCheckMessage(opened.Check)));
        return false;
    }
    g_FirmwareUpdate.Load(opened.Header, std::move(opened.File));
    g_FwSize = opened.Header.BodySize();
    SyncCounters();

    const TFirmwareLabels labels = FirmwareLabelsFor(opened.Header, g_DeviceCapacity);
    FWVer->SetCaption(labels.Version);
    FWHARDVER->SetCaption(labels.Hardware);
    FWSize->SetCaption(labels.Size);
    FWCRC->SetCaption(labels.Crc);
    FWbuild->SetCaption(labels.Build);
    BootVer->SetVisible(true);
    Progress_flash->SetVisible(true);
    Program_flash->SetEnabled(true);
    Firmware_name->SetText(path);
    return true;
}

void TForm1::CloseFirmwareFile() {
    g_FirmwareUpdate.Close();
    SyncCounters();
}

void TForm1::Open_fwClick(TObject*) {
    // A new image would end the update that flashes the open one.
    if (RunningTransfer() == TTransfer::Firmware) {
        MessageShow(GetMessageA(RunningTransferMessage(TTransfer::Firmware)));
        return;
    }
    OpenFirmwareDialog->SetFileName("*.bin");
    if (!OpenFirmwareDialog->Execute()) return;
    OpenFWFileSTM(OpenFirmwareDialog->GetFileName());
}

void TForm1::TabSheet9Show(TObject*) {
    if (g_FlashActive) return;
    Program_flash->SetEnabled(false);
    Firmware_name->SetText("");
    for (TLabel* label : {FWSize, FWCRC, FWVer, FWHARDVER, FWbuild}) label->SetCaption("");
    Progress_flash->SetPercent(0);
    Progress_flash->SetVisible(false);
    BootVer->SetVisible(false);
}

void TForm1::Program_flashClick(TObject*) {
    // The bootloader's identification carries on the update it was restarted for.
    if (AnotherTransferRuns(TTransfer::Firmware)) return;
    Program_flash->SetEnabled(false);
    const TFwRoute route = g_ConfServerLink ? TFwRoute::ConfServer
                           : g_BootloaderMode ? TFwRoute::CableBootloader
                                              : TFwRoute::CableWorking;
    FirmwareAction(g_FirmwareUpdate.Program(route));
}

void TForm1::RebootinBootClick(TObject*) { ResetDevice(1); }

void TForm1::Bootloader_version(std::uint8_t version, std::uint8_t type) {
    const std::string text = BootloaderVersionText(version);
    BootVer->SetCaption(text);
    SetDeviceCaption(g_PortName + ": " + text);
    SelectPage(2);
    g_BootloaderOnly = IsBootloaderOnly(version, type) ? 1 : 0;
    g_BootloaderMode = true;
    if (g_FlashActive) Program_flashClick(Program_flash);
}

void TForm1::Reply_Bootloader(const TDeviceReply& reply) {
    const auto result = DecodeResultByte(reply);
    if (!result) return;
    FirmwareAction(g_FirmwareUpdate.OnReply(reply.Command, *result));
}

void TForm1::Reply_RemoteFwBlock(const TDeviceReply& reply) {
    const auto result = DecodeResultByte(reply);
    if (!result) return;
    FirmwareAction(g_FirmwareUpdate.OnReply(reply.Command, *result));
}

std::string TForm1::CutFirmwareUpdate() {
    if (!g_FirmwareUpdate.Transferring()) return {};
    const std::string text = FirmwareCutText(g_FirmwareUpdate.Confirmed(), g_FirmwareUpdate.Whole());
    g_FirmwareUpdate.Abandon();
    SyncCounters();
    Progress_flash->SetVisible(false);
    return text;
}

void TForm1::FirmwareWatchdogStep() { FirmwareAction(g_FirmwareUpdate.Tick()); }

void TForm1::FirmwareQuietStep() { FirmwareAction(g_FirmwareUpdate.QuietTick()); }

unsigned TForm1::FirmwareWatchdogDue() const { return g_FirmwareUpdate.WatchdogDue(); }

unsigned TForm1::FirmwareQuietDue() const { return g_FirmwareUpdate.QuietDue(); }

void TForm1::FirmwareLinkHeard() { g_FirmwareUpdate.Heard(); }

// An update that ends unfinished says how far it got, and its progress goes.
void TForm1::ShowFirmwareUnfinished(int message) {
    Progress_flash->SetVisible(false);
    MessageShow(GetMessageA(message) + "\r\n" +
                ReadLangStr(FirmwareConfirmedText(g_FirmwareUpdate.Confirmed(), g_FirmwareUpdate.Whole())));
}

// Carries out what the update asked for and shows what it reports.
void TForm1::FirmwareAction(const TFwAction& action) {
    g_FwTimeout = g_FirmwareUpdate.TimeoutSeconds();
    // An idle tick leaves the flags as others set them.
    if (action.Kind == TFwActionKind::None) return;
    SyncCounters();
    switch (action.Kind) {
        case TFwActionKind::None:
            return;
        case TFwActionKind::Send:
            SendCommand(action.Command, action.Data);
            if (action.Command == CmdFwBlock || action.Command == CmdRemoteFwBlock)
                Progress_flash->SetPercent(g_FirmwareUpdate.Percent());
            return;
        case TFwActionKind::RestartIntoBootloader:
            ResetDevice(1);
            return;
        case TFwActionKind::Finished:
            Progress_flash->SetPercent(100);
            if (g_ConfServerLink) {
                HideWaitPanel(GetMessageA(kMsgFirmwareDone));
                MessageShow(GetMessageA(kMsgFirmwareSent));
                return;
            }
            MessageShow(GetMessageA(kMsgFirmwareDone));
            ResetDevice(0);
            Reply_Reset(TDeviceReply{});  // the port is closed as for the reset reply
            return;
        case TFwActionKind::Rejected:
            MessageShow(action.Prefix +
                        ErrorCodeToText(action.Result, [this](int n) { return GetMessageA(n); }));
            return;
        case TFwActionKind::TimedOut:
            g_BusyTransfer = 0;
            ShowFirmwareUnfinished(kMsgFirmwareTimedOut);
            return;
        case TFwActionKind::NoFile:
            MessageShow(GetMessageA(kMsgFirmwareNotOpen));
            return;
        case TFwActionKind::ReadFailed:
            ShowFirmwareUnfinished(kMsgFirmwareNotFirmware);
            return;
    }
}
