// The cloud session: the connect button's cloud path, the socket's events, the login and its
// repetitions, what a login switches on, the status poll and the end of the session.
#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "cloud/CloudRequest.h"
#include "cloud/CloudTraffic.h"
#include "cloud/ConfServer.h"
#include "device/LinkPeers.h"
#include "memory/MemoryState.h"
#include "platform/rtl/CodePage.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Hosts.h"

std::string g_SessionImei;
std::string g_SessionPass;
std::uint16_t g_StatusPollTicks = 0;
std::int32_t g_LoginRetryTicks = 0;
std::int32_t g_LoginRetries = 0;
std::uint8_t g_TrafficLogOn = 0;
std::int32_t g_AnimStep = -1;
std::int32_t g_AnimTicks = 0;
std::uint8_t g_ConfServerStop = 0;
std::uint8_t g_CloudEndKnown = 0;
std::string g_CloudEndWhy;
std::int32_t g_CloudSilenceTicks = 0;
TSyncState g_SyncState;
TCloudStreamReader g_CloudReader;

namespace {

// Set while a connection the server never accepted is closed: that close ends no session.
bool closingUnaccepted = false;

}  // namespace

void ResetCloudState() {
    g_SessionImei.clear();
    g_SessionPass.clear();
    g_StatusPollTicks = 0;
    g_LoginRetryTicks = g_LoginRetries = 0;
    g_TrafficLogOn = 0;
    g_AnimStep = -1;
    g_AnimTicks = 0;
    g_ConfServerStop = 0;
    g_CloudEndKnown = 0;
    g_CloudEndWhy.clear();
    g_CloudSilenceTicks = 0;
    g_SyncState = {};
    g_CloudReader.Reset();
    g_PendingChrono = Json::Value();
    ForgetConfServerConnections();
}

std::string LoginNoAnswerText() {
    return std::string("Прибор не подключен к облачному сервису. Убедитесь, что на SIM карте "
                       "положительный баланс, тариф на SIM карте для «Умных устройств», на прибор "
                       "подано внешнее питание и в настройках установлена галочка ") +
           "\"Использовать облачный сервис\"" + ". Подробнее можно узнать на сайте " +
           sys::kMakerWebSite + " в разделе " + "\"Поддержка\"";
}

bool SendCloudRequest(TCustomWinSocket* socket, const Json::Value& request) {
    if (!socket || !socket->GetConnected()) return false;
    const std::string bytes = CloudRequestBytes(g_SessionUid, request);
    socket->SendBuf(bytes.data(), static_cast<int>(bytes.size()));
    if (g_TrafficLogOn) AddTrafficLines(TrafficRequestLines(CloudRequestText(g_SessionUid, request)));
    return true;
}

bool SendJsonCommand(const std::string& imei, const std::string& pass, const std::string& command,
                     const std::string& data, TCustomWinSocket* socket) {
    return SendCloudRequest(socket, JsonCommand(imei, pass, command, data));
}

void AwaitCloudReply(TAsk what, std::int64_t waitSeconds) {
    g_AskedReplies.Ask(what, TLink::Cloud, sys::ListenMs(), 1000 * waitSeconds);
}

TCustomWinSocket* TForm1::CloudSocket() {
    if (!ClientSocket || !ClientSocket->GetActive()) return nullptr;
    TCustomWinSocket* socket = ClientSocket->GetSocket();
    return socket->GetConnected() ? socket : nullptr;
}

void TForm1::SendLogin(TCustomWinSocket* socket) {
    SendCloudRequest(socket, DispAuthRequest(AIMEI->GetText(), APASS->GetText()));
}

void TForm1::Button5CloudClick() {
    if (TCustomWinSocket* socket = CloudSocket()) {
        SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Close, "", socket);
        sys::Sleep(200);
        CloudEndSaid(kTextSessionClosed);
        ClientSocket->Close();
    }
    MiniLog("Подключение к обл.серверу", 0);
    const sys::THostPort host = sys::CloudServer();
    ClientSocket->SetHost(host.host);
    ClientSocket->SetPort(host.port);
    g_CloudReader.Reset();
    CloudEndSaid({});
    ClientSocket->Open();
    g_LoginRetryTicks = kLoginRetryTicks;
    g_LoginRetries = kLoginRetries;
    StartAnimate();
}

void CloudEndSaid(const std::string& why) {
    g_CloudEndKnown = why.empty() ? 0 : 1;
    g_CloudEndWhy = why;
}

void TForm1::CloseClientSocket() {
    CloudEndSaid(kTextSessionClosed);
    ClientSocket->Close();
}

void TForm1::ClientSocketConnect(TObject*, TCustomWinSocket* Socket) {
    g_CloudReader.Reset();
    SetStateAnimate(1, true, "");
    MiniLog("Подключение установлено", 1);
    SendLogin(Socket);
    MiniLog("Авторизация...", 0);
    if (!g_PendingChrono.isNull()) {
        SendCloudRequest(Socket, g_PendingChrono);
        g_PendingChrono = Json::Value();
    }
}

void TForm1::ClientSocketDisconnect(TObject*, TCustomWinSocket*) {
    if (closingUnaccepted) return;
    g_CloudReader.EndOfStream();  // the replies behind a frame cut short by the end, first
    // An end the tool did not ask for (the server's close, or half-close) is the server
    // gone, as a reset is.
    if (!g_CloudEndKnown) ShowCloudServerUnavailable();
    ButtonEnabledRemote(false);
}

void TForm1::ClientSocketError(TObject*, TCustomWinSocket*, TErrorEvent, int& ErrorCode) {
    ErrorCode = 0;
    ShowCloudServerUnavailable();
}

void TForm1::ShowCloudServerUnavailable() {
    g_CloudEndKnown = 1;  // the disconnect that may follow says it no second time
    // Nothing asked on this connection is answered now; a failed connect has no disconnect.
    g_AskedReplies.LinkLost(TLink::Cloud);
    // A log asked for on this connection is not coming: its wait ends with the reason.
    if (!g_PendingChrono.isNull() && TimerProgress->GetEnabled()) HideWaitPanel(kServerUnavailableText);
    g_PendingChrono = Json::Value();
    // No login can follow: the repetitions would end in the device's failure text and hide
    // the server's.
    g_LoginRetryTicks = 0;
    // The end of a session finds the animation closed: it opens again to show it, and
    // closes by itself as after a failed connect.
    if (!AnimateConnectionPanel->GetVisible()) StartAnimate();
    SetStateAnimate(1, false, kServerUnavailableText);
}

void TForm1::AbandonCloudConnection() {
    ShowCloudServerUnavailable();
    ClientSocket->Close();
    if (g_CloudSession) ButtonEnabledRemote(false);
}

bool TForm1::DropUnacceptedCloudConnection() {
    if (!ClientSocket->GetActive() || ClientSocket->GetSocket()->GetConnected()) return false;
    g_CloudEndKnown = 1;
    g_LoginRetryTicks = 0;
    closingUnaccepted = true;
    ClientSocket->Close();
    closingUnaccepted = false;
    return true;
}

void TForm1::CloudLoginWaitEnded() {
    // Until the server has accepted the connection, the wait's end is the server
    // unavailable, and the attempt ends with it, so that no session starts later behind the
    // user's back.
    if (DropUnacceptedCloudConnection()) ShowCloudServerUnavailable();
}

bool TForm1::GiveUpCloudLogConnection() {
    if (g_PendingChrono.isNull() || !DropUnacceptedCloudConnection()) return false;
    g_PendingChrono = Json::Value();
    return true;
}

void TForm1::CloudLoginRetryStep() {
    if (g_LoginRetryTicks == 0) return;
    if (--g_LoginRetryTicks != 0) return;
    if (g_LoginRetries != 0) {
        --g_LoginRetries;
        g_LoginRetryTicks = kLoginRetryTicks;
        if (!g_CloudSession) {
            if (TCustomWinSocket* socket = CloudSocket()) {
                SendLogin(socket);
                MiniLog("Повтор авторизации...", 0);
            }
        }
    } else if (!ClientSocket->GetSocket()->GetConnected()) {
        CloudLoginWaitEnded();
    } else {
        SetStateAnimate(2, false, LoginNoAnswerText());
    }
}

unsigned TForm1::CloudLoginRetryDue() const { return static_cast<unsigned>(std::max(0, g_LoginRetryTicks)); }

void TForm1::ButtonEnabledRemote(bool on) {
    const bool sessionWasOn = g_CloudSession != 0;
    if (!on) EndTransfersOnLostLink(TLink::Cloud, g_CloudEndWhy);
    Bdevice->SetEnabled(on);
    Busers->SetEnabled(on);
    Blog->SetEnabled(on);
    const bool admin = on && g_AccessLevel == 32;
    Bsetting->SetEnabled(admin);
    Bshedl->SetEnabled(admin);
    BService->SetEnabled(admin);
    g_CloudSession = on ? 1 : 0;
    g_StatusPollTicks = on ? kCloudStatusTicks : 0;
    g_CloudSilenceTicks = 0;
    if (on) {
        Find_Device_Stop();
        SelectPage(1);
        UserAuthOK();
    } else {
        SelectPage(4);
    }
    CloseSession->SetVisible(on);
    if (!on) {
        LACCESS->SetCaption("Не подключено");
        if (sessionWasOn) {
            g_PhoneWrite.Stop();
            g_SyncState = {};  // a round of this session is never acknowledged now
        }
        CloseSessionWaits(sessionWasOn);
    }
    g_LoginRetryTicks = 0;
}

void TForm1::CloseSessionWaits(bool session) {
    // Without a session only the log asked for on its connection waits on it: another wait
    // (on the cable) is not this connection's to end.
    if (session ? TimerProgress->GetEnabled() : CloudLogWaits()) EndWait();
}

void TForm1::CloudStatusStep() {
    g_CloudReader.Tick();
    if (!g_CloudSession) return;
    if (++g_CloudSilenceTicks >= kCloudSilenceTicks) {
        AbandonCloudConnection();  // a minute of status requests and not a word back
        return;
    }
    if (g_StatusPollTicks != 0 && --g_StatusPollTicks == 0) {
        g_StatusPollTicks = kCloudStatusTicks;
        SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Status, "", CloudSocket());
        MiniLog("Запрос статуса", 0);
    }
    if (g_StatusPollTicks == 1) SendCommand(CmdSafeCityStatus);
}

// The reader's clock matters only while it holds bytes; in a session, the tick that gives
// the server up and the ticks of the 0x62 command and the status request.
unsigned TForm1::CloudStatusDue() const {
    const unsigned reader = g_CloudReader.Held() != 0 ? 1 : 0;
    if (!g_CloudSession) return reader;
    const unsigned silence = static_cast<unsigned>(std::max(1, kCloudSilenceTicks - g_CloudSilenceTicks));
    const unsigned status = g_StatusPollTicks == 0 ? 0 : g_StatusPollTicks <= 2 ? 1 : g_StatusPollTicks - 1u;
    return EarliestDue({reader, silence, status});
}

void TForm1::CloseSessionClick(TObject*) {
    if (!g_WorkingMode) SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Close, "", CloudSocket());
    CloudEndSaid(kTextSessionClosed);  // the server ends the connection as asked
    SelectPage(4);
    ButtonEnabledRemote(false);
    ButtonEnabled(false);
    g_AccessLevel = 0;
    ClearTableClick(this);
    StopPhoneTransfers();
    if (auto* memo = dynamic_cast<TMemo*>(FindComponent("RemLOG"))) {
        memo->Clear();
        memo->GetLines()->Add("Логирование");
        memo->SetVisible(false);
    }
    StopAnimate();
}
