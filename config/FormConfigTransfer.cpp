// Reading and writing the configuration record on the device.
#include <algorithm>

#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "config/ConfigRecord.h"
#include "config/ConfigTransfer.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"

namespace {

// The wait of a configuration request; a device on the local configuration server answers
// over GPRS and pauses the status poll until it has.
void WaitForConfigReply(TForm1& form, int message) {
    const std::string text = form.GetMessageA(message);
    g_ConfigWaitMessage = message;
    ShowWaitPanel(kConfigWaitSeconds, 0, text);
    form.MessageShow(text);
    if (g_ConfServerLink) {
        g_BusyTransfer = 1;
        ShowWaitPanel(kConfServerWaitSeconds, 0, text);
    }
}

}  // namespace

void TForm1::ReadFromDevice() {
    const std::uint8_t data[1] = {0};
    SendCommand(CmdReadConfig, data, sizeof data);
    WaitForConfigReply(*this, kMsgReadingConfig);
}

// A number edit that does not convert stops here, before anything is sent.
void TForm1::LoadToDevice() {
    ReadConfigFromObjects();
    const auto data = ConfigWriteRequestData(g_ConfigRecord);
    std::copy(data.begin(), data.end(), g_TxBuffer.begin());
    SendCommand(CmdWriteConfig, g_TxBuffer.data(), data.size());
    WaitForConfigReply(*this, kMsgWritingConfig);
}

std::string CutConfigTransfer() {
    TForm1* form = Form1;
    if (!form || g_WaitTicks == 0 || g_ConfigWaitMessage == 0) return {};
    // The wait still open is this transfer's only while it shows this transfer's text.
    if (form->Lprocess->GetCaption() != form->GetMessageA(g_ConfigWaitMessage)) return {};
    const bool writing = g_ConfigWaitMessage == kMsgWritingConfig;
    g_ConfigWaitMessage = 0;
    return writing ? kTextConfigWriteCut : kTextConfigReadCut;
}
