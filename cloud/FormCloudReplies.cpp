// What arrives on the cloud connection: tunnelled device frames go to the dispatcher of the
// cable, JSON replies to ParseJSONCommandFromServer and from there to their handlers.
#include <algorithm>
#include <vector>

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "cloud/CloudJsonRead.h"
#include "cloud/CloudReplyData.h"
#include "cloud/CloudRequest.h"
#include "cloud/CloudTraffic.h"
#include "config/ConfigRecord.h"
#include "config/ConfigTransfer.h"
#include "config/StatusRecord.h"
#include "memory/MemoryState.h"
#include "platform/rtl/CodePage.h"
#include "platform/sys/Clock.h"
#include "widgets/UiPrgres.h"

namespace {

template <class T>
T* Named(TForm1* form, const char* name) {
    return dynamic_cast<T*>(form->FindComponent(name));
}

}  // namespace

void TForm1::ClientSocketRead(TObject*, TCustomWinSocket* Socket) {
    // A slice at a time: a flood is read over several turns of the event loop, which
    // answers the user in between; the reader joins what is cut between slices.
    const int n = std::min(Socket->ReceiveLength(), kStreamReadSlice);
    if (n <= 0) return;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(n));
    const int got = Socket->ReceiveBuf(block.data(), n);
    if (got <= 0) return;
    block.resize(static_cast<std::size_t>(got));
    g_CloudSilenceTicks = 0;
    LinkBytesArrived(TLink::Cloud);
    g_CloudReader.OnFrame = [this](const std::uint8_t* frame, std::size_t available) {
        Read_Data(frame, available);
    };
    // The connection as it is when a reply is read: one held back may be read after it ended.
    g_CloudReader.OnReply = [this](const std::string& text, bool cut) {
        ParseJSONCommandFromServer(text, cut, CloudSocket());
    };
    g_CloudReader.Feed(block.data(), block.size());
    if (g_TrafficLogOn)
        AddTrafficLines(TrafficReceivedLines(ReceivedBlockText(block.data(), block.size())));
    else
        sys::Sleep(50);
}

void TForm1::ParseJSONCommandFromServer(const std::string& text, bool cut, TCustomWinSocket* socket) {
    Json::Value root;
    std::string errors;
    if (!ParseCloudReplyText(text, cut, root, errors)) {
        if (g_TrafficLogOn) AddTrafficLines(TrafficParseErrorLines(errors, Cp1251ToUtf8(text)));
        return;
    }
    const TCloudReply reply = ReadCloudReply(root);
    if (reply.Kind == TCloudReplyKind::None) return;
    // An answer that fits no round out changes nothing, the wait or message shown included.
    if (reply.Kind == TCloudReplyKind::SyncAck) return CloudSyncAck(reply.Response, reply.Data);
    if (!CloudReplyAwaited(reply)) return;
    if (reply.ClosesWait) HideWaitPanel(kNoText);
    if (!reply.ResponseLine.empty()) MiniLog(reply.ResponseLine, 1);
    switch (reply.Kind) {
        case TCloudReplyKind::Status: CloudStatusReply(reply.Data); break;
        case TCloudReplyKind::NumberInfo: CloudNumberReply(reply.Data); break;
        case TCloudReplyKind::Config: CloudConfigReply(reply.Data); break;
        case TCloudReplyKind::Chrono: CloudChronoReply(reply.Data, socket); break;
        case TCloudReplyKind::StatusWord: CloudStatusWord(reply, socket); break;
        default: break;
    }
}

bool TForm1::CloudReplyAwaited(const TCloudReply& reply) {
    bool awaited = true;
    if (reply.Response == cloudcmd::DispAuth)
        awaited = !g_CloudSession;  // the login's repetitions answered after it
    else if (const auto ask = AskOfCloudResponse(reply.Response))
        awaited = g_AskedReplies.Answer(*ask, sys::ListenMs());
    if (!awaited) MiniLog(UnaskedReplyLine(reply.Response), 1);
    return awaited;
}

void TForm1::CloudStatusWord(const TCloudReply& reply, TCustomWinSocket* socket) {
    const TCloudStatusEffect e = CloudStatusEffect(reply.Response, reply.Status);
    if (e.LogIn) {
        g_SessionImei = AIMEI->GetText();
        g_SessionPass = APASS->GetText();
        const TCloudAccess access = CloudAccessFromWord(JsonText(reply.Root, "access"));
        LACCESS->SetCaption(access.Caption);
        g_AccessLevel = access.Level;
        ButtonEnabledRemote(true);
        MiniLog(e.IncomingLine, 1);
        if (g_GroupList && g_GroupList->Count() > 0) SendGroupSync(g_SessionImei, g_SessionPass, socket);
        SetStateAnimate(2, true, "");
        return;
    }
    if (e.ExplainsEnd) CloudEndSaid(e.Message.empty() ? kTextSessionClosed : e.Message);
    if (!e.LoginFailText.empty()) SetStateAnimate(2, false, e.LoginFailText);
    if (!e.Message.empty()) MessageShow(e.Message);
    if (e.EndSession) ButtonEnabledRemote(false);
    if (!e.IncomingLine.empty()) MiniLog(e.IncomingLine, 1);
    if (e.NoLogRows && !g_CloudLogRows.empty()) {
        g_CloudLogRows.clear();  // the read is answered: nothing to show
        ClearLogs();
    }
    if (e.HideUpdateBar) {
        if (auto* bar = Named<TControl>(this, "UPDPR")) bar->SetVisible(false);
    }
}

void TForm1::CloudStatusReply(const Json::Value& data) {
    MiniLog("Ответ на запрос статуса", 1);
    const TCloudStatusView v = ReadCloudStatus(data, AIMEI->GetText());
    netTime->SetVisible(false);
    Limei->SetCaption(v.Imei);
    Lsig->SetCaption(v.Signal);
    Msig->SetMax(31);
    Msig->SetValue(v.SignalLevel);
    Lfw->SetCaption(v.Fw);
    g_DeviceFwVersion = v.FwVersion;
    if (auto* name = Named<TEdit>(this, "aName")) name->SetMaxLength(v.NameMaxLength);
    g_DeviceType = v.DeviceType;
    Lhw->SetCaption(v.Hw);
    Lgsm->SetCaption(v.Gsm);
    Lgprs->SetCaption(v.Gprs);
    Lserver->SetCaption(v.Server);
    Lmem->SetCaption(v.Memory);
    Linput1->SetCaption(v.Input1);
    Linput2->SetCaption(v.Input2);
    Lout_->SetCaption(v.Output);
    Lar->SetCaption(v.AutoReg);
    Bar->SetCaption(v.AutoRegButton);
    LACCESS->SetCaption(v.Access);
    if (auto* bar = Named<TUiProgressBar>(this, "UPDPR")) {
        bar->SetPercent(v.UpdateVisible ? v.UpdatePercent : 0);
        bar->SetVisible(v.UpdateVisible);
    }
    if (v.HasNetTime) {
        netTime->SetCaption(v.NetTime);
        netTime->SetVisible(true);
    }
    if (v.HasBalance) {
        Balance->SetCaption(v.Balance);
        Balance->SetVisible(true);
    }
    SetRFIDState(RFID1ST, v.Rfid1State);
    SetRFIDState(RFID2ST, v.Rfid2State);
    GSMBER->SetCaption(v.Ber);
}

void TForm1::CloudNumberReply(const Json::Value& data) {
    MiniLog("Ответ на запрос параметров номера", 1);
    MessageShow(CloudNumberInfoText(data));
}

void TForm1::CloudConfigReply(const Json::Value& data) {
    MiniLog("Ответ на запрос параметров конфигурации", 1);
    ApplyCloudConfig(data, g_ConfigRecord);
    Read_config();
    SelectPage(g_ConfigPage);
}

void TForm1::CloudChronoReply(const Json::Value& data, TCustomWinSocket* socket) {
    MiniLog("Ответ на запрос журнала", 1);
    const std::vector<TCloudLogRow> block = ReadCloudLogRows(data);
    // Gathered apart until the last block: a read that fails leaves the grid as it was.
    std::vector<TLogGridRow>& rows = g_CloudLogRows;
    if (rows.empty()) {
        rows.assign(1, TLogGridRow{});
        g_LogNextRow = 1;
    }
    MergeCloudLogRows(rows, g_LogNextRow, block);
    const bool last = CloudLogBlockIsLast(JsonSize(data));
    const int shown = g_LogNextRow - 1;
    if (last) {
        auto* reverse = Named<TCheckBox>(this, "ReversLog");
        if (reverse && reverse->GetChecked()) ReverseCloudLogRows(rows);
        ShowLogRows(rows);
        rows.clear();
        MessageShow(kCloudLogDoneText);
    } else {
        ShowWaitPanel(kCloudLogWaitSeconds, 0, kCloudLogWaitText);
    }
    // After the last block the server sends nothing more: a block then is nobody's.
    if (SendCloudRequest(socket, NextBlockRequest(g_SessionImei, g_SessionPass, shown)) && !last)
        AwaitCloudReply(TAsk::CloudLog, kCloudLogWaitSeconds);
}
