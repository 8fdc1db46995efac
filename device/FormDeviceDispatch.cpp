// The reply dispatcher: every frame a device sends, from any link, comes in here.
#include "app/Unit1.h"
#include "device/AskedReplies.h"
#include "device/DeviceType.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"

void TForm1::Read_Data(const std::uint8_t* frame, std::size_t available) {
    TDeviceReply reply;
    if (!VerifyReplyFrame(frame, available, reply)) return;
    if (!ReplyAwaited(reply)) return;
    switch (reply.Command) {
        case CmdIdentify: Reply_Identify(reply); break;
        case CmdReset: Reply_Reset(reply); break;
        case CmdFwStart:
        case CmdFwSize:
        case CmdFwHeader:
        case CmdFwBlock:
        case CmdFwFinish: Reply_Bootloader(reply); break;
        case CmdReadConfig: Reply_ReadConfig(reply); break;
        case CmdWriteConfig: Reply_WriteConfig(reply); break;
        case CmdReadStatus: Reply_Status(reply); break;
        case CmdPassword: Reply_Password(reply); break;
        case CmdDefragment: Reply_Defragment(reply); break;
        case CmdDiagnosticReport: Reply_Diagnostics(reply); break;
        case CmdAddNumbers:
        case CmdDeleteNumbers: Reply_NumbersEdit(reply); break;
        case CmdReadNumbers:
        case CmdWriteNumbers: Reply_NumbersMemory(reply); break;
        case CmdReadEventLog: Reply_EventLog(reply); break;
        case CmdFactoryReset: Reply_FactoryReset(reply); break;
        case CmdCameraPhoto:
        case CmdServerPhoto:
        case CmdEventPhoto: Reply_Photo(reply); break;
        case CmdTransparentPort: Reply_TransparentPort(reply); break;
        case CmdEventNotice: Reply_EventNotice(reply); break;
        case CmdReaderParamGet:
        case CmdReaderParamSet: Reply_ReaderParams(reply); break;
        case CmdSafeCityTest:
        case CmdSafeCityStatus: Reply_SafeCity(reply); break;
        case CmdRemoteFwBlock: Reply_RemoteFwBlock(reply); break;
        case CmdErrorReply: Reply_Error(reply); break;
        default: break;  // 0xA0 and 0xD0 are ignored, every other code dropped
    }
}

// A reply that answers a request is handled only while the tool awaits it; else it is noted.
bool TForm1::ReplyAwaited(const TDeviceReply& reply) {
    const auto ask = AskOfDeviceCommand(reply.Command);
    if (!ask || g_AskedReplies.Answer(*ask, sys::ListenMs())) return true;
    MiniLog(UnaskedDeviceReplyLine(reply.Command), 1);
    return false;
}

void TForm1::Reply_Identify(const TDeviceReply& reply) {
    auto id = DecodeIdentifyReply(reply);
    if (!id) return;
    if (id->Mode == kIdentifyBootloader) {
        g_DeviceConnected = true;
        g_BootloaderMode = true;
        Find_Device_Stop();
        g_DeviceCapacity = id->Capacity;
        Bootloader_version(id->BootloaderVersion, id->DeviceType);
        g_DeviceType = id->DeviceType;
        return;
    }
    if (id->Mode != kIdentifyWorking) return;
    g_DeviceType = id->DeviceType;
    g_DeviceCapacity = id->Capacity;
    if (!TypeConnectedDevice(g_DeviceType, g_DeviceCapacity)) return;
    LABOX->SetEnabled(true);
    RABOX->SetEnabled(!LABOX->GetEnabled());
    g_WorkingMode = true;
    g_DeviceConnected = true;
    g_BootloaderMode = false;
    Find_Device_Stop();
    CloseFirmwareFile();
    SelectPage(4);
    ShowCloudControlsForCapacity(g_DeviceCapacity);
}

void TForm1::Reply_Reset(const TDeviceReply&) {
    ClosePort();
    g_WorkingMode = false;
    g_BootloaderMode = false;
    LABOX->SetEnabled(false);
    RABOX->SetEnabled(!LABOX->GetEnabled());
}

void TForm1::Reply_Password(const TDeviceReply& reply) {
    auto pw = DecodePasswordReply(reply);
    if (!pw) return;
    if (auto kind = PasswordKindForVerdict(pw->Verdict)) GetPassword(*kind, pw->Which);
    g_AccessLevel = pw->AccessLevel;
    if (pw->Verdict == 0) {
        ButtonEnabled(true);
        SelectPage(1);
    }
}

void TForm1::Reply_Error(const TDeviceReply& reply) {
    auto code = DecodeResultByte(reply);
    if (!code || !ErrorReplyIsShown(*code)) return;
    MessageShow(ErrorCodeToText(*code, [this](int n) { return GetMessageA(n); }));
}

// The small model has no cloud service and no time server.
void TForm1::ShowCloudControlsForCapacity(std::uint16_t capacity) {
    const bool large = capacity != kSmallCapacity;
    if (CON_EN1) {
        if (!large) CON_EN1->SetChecked(false);
        CON_EN1->SetEnabled(large);
    }
    if (CON_ADR1) CON_ADR1->SetEnabled(large);
    if (NTPEN) {
        if (!large) NTPEN->SetChecked(false);
        NTPEN->SetEnabled(large);
    }
}
