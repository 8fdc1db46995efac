// What the link under the transfers does to them: bytes arriving keep their countdowns
// waiting, a lost link ends them all; a button never starts a transfer beside another one;
// and a close that would cut a number write short asks.
#include <string>
#include <vector>

#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "device/AskedReplies.h"
#include "device/DeviceLink.h"
#include "memory/MemoryState.h"
#include "memory/PhotoState.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Dialogs.h"

namespace {

constexpr const char* kTextLinkLost = "Связь с устройством потеряна.//\\ The link to the device was lost.";

}  // namespace

void TForm1::LinkBytesArrived(TLink link) {
    if (!LinkCarriesRequests(link)) return;
    g_PhoneRead.Heard();
    g_PhoneWrite.Heard();
    g_LogRead.Heard();
    FirmwareLinkHeard();
}

void TForm1::EndTransfersOnLostLink(TLink lost, const std::string& why) {
    g_AskedReplies.LinkLost(lost);
    if (!LinkCarriesRequests(lost)) return;
    std::vector<std::string> cut;
    if (g_PhoneRead.Running()) {
        cut.push_back(PhonesReadCutText(g_PhoneRead.GetNextIndex(), g_PhoneRead.Reading() ? g_PhoneRead.GetCount() : 0));
        g_PhoneRead.Stop();
        g_PhoneReadRows.Clear();  // the grid keeps what it showed before the read
    }
    if (g_PhoneWrite.Writing()) {
        cut.push_back(g_PhoneWrite.CutText());
        g_PhoneWrite.Stop();
        SetPhoneRecords({});
    }
    if (g_LogRead.Reading()) {
        cut.push_back(LogReadCutText(g_LogRead.GetNextIndex(), g_LogRead.GetCount()));
        g_LogRead.Stop();
    }
    const std::string config = CutConfigTransfer();
    if (!config.empty()) cut.push_back(config);
    if (PhotoFetchRuns()) {
        cut.push_back(kTextPhotoCut);
        ResetPhotoState();
    }
    const std::string firmware = CutFirmwareUpdate();
    if (!firmware.empty()) cut.push_back(firmware);
    if (cut.empty()) {
        // Nothing to tell: the link's own notice says it has gone. A wait on the cable or the
        // local server ends with it; the cloud session's end closes the cloud's.
        if (lost != TLink::Cloud && TimerProgress->GetEnabled() && !CloudLogWaits()) EndWait();
        return;
    }
    ++g_TransferEnds;
    EndWait();
    SetPercentProgress(-1, "");
    LogBar->SetVisible(false);
    std::string text = ReadLangStr(why.empty() ? kTextLinkLost : why);
    for (const std::string& line : cut) text += "\r\n" + ReadLangStr(line);
    ShowAfterHandler(text);
}

void TForm1::ShowAfterHandler(const std::string& text) {
    const std::weak_ptr<bool> alive = FAlive;
    sys::PostToGuiThread([this, alive, text] {
        if (alive.lock()) MessageShow(text);
    });
}

bool TForm1::AnotherTransferRuns(TTransfer carriesOn) {
    const TTransfer running = RunningTransfer();
    if (running == TTransfer::None || running == carriesOn) return false;
    MessageShow(GetMessageA(RunningTransferMessage(running)));
    return true;
}

void TForm1::FormCloseQuery(TObject* /*Sender*/, bool& CanClose) {
    if (!g_PhoneWrite.Writing()) return;
    const std::string question =
        ReadLangStr(PhonesWriteCloseQuestion(g_PhoneWrite.GetWriteIndex(), g_PhoneWrite.GetCount()));
    if (!FClosingWithoutQuestions &&
        MessageBox(question, "Информация", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        CanClose = false;
        return;
    }
    // Nothing more goes to the device while the window closes.
    g_PhoneWrite.Stop();
    SetPhoneRecords({});
}
