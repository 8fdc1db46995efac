// The local configuration server: devices dial in over GPRS, are identified and their
// frames dispatched like those from the cable.
#include "cloud/ConfServer.h"

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "device/LinkPeers.h"

// The remote firmware transfer's watchdog (firmware/): a device gone ends it.
extern int g_FwTimeout;

TCloudStreamReader g_ConfServerReader;

namespace {
constexpr int kIncoming = 1;
// Marks the one connection served (in its Data); any other is closed as it comes.
char g_ServedMark;

bool IsServed(const TCustomWinSocket* socket) { return socket != nullptr && socket->Data == &g_ServedMark; }

TCustomWinSocket* ServedClient(TServerSocket* server) {
    TServerWinSocket* listening = server->GetSocket();
    for (int i = 0; i < listening->GetActiveConnections(); ++i) {
        TCustomWinSocket* client = listening->GetConnections(i);
        if (IsServed(client)) return client;
    }
    return nullptr;
}
}  // namespace

std::string ConfServerRefusedLine(const std::string& address) {
    return "Подключение отклонено: сервер занят, IP:" + address;
}

void TForm1::Button1Click(TObject*) {
    if (Button1->Tag == 0) {
        // A port that cannot be opened raises here and reaches the general error display.
        ConfServer->SetPort(UserStrToInt(RconfPort->GetText()));
        ConfServer->Open();
        if (ConfServer->GetActive()) {
            Button1->Tag = 1;
            ConfServState->SetCaption(GetMessageA(20));
            SetDeviceCaption("Remote config: wait ...");
        }
    } else {
        ConfServer->Close();
        StopConfigServer();
    }
}

void TForm1::ConfServerClientConnect(TObject*, TCustomWinSocket* Socket) {
    TCustomWinSocket* served = ServedClient(ConfServer);
    if (served != nullptr && served != Socket) {
        // Its disconnect must not end the session of the device being served.
        MiniLog(ConfServerRefusedLine(Socket->GetRemoteAddress()), kIncoming);
        Socket->Close();
        return;
    }
    Socket->Data = &g_ServedMark;
    g_ConfServerReader.Reset();
    g_ConfServerReader.OnFrame = [this](const std::uint8_t* frame, std::size_t available) {
        g_ConfServerLink = 1;
        Read_Data(frame, available);
    };
    g_RemoteAddress = Socket->GetRemoteAddress();
    ConfServState->SetCaption(GetMessageA(45) + ", IP:" + g_RemoteAddress);
    g_ConfServerConnected = 1;
    g_IdentifyRetry = 1;
}

namespace {
// The served device has gone: the link is let go once, whichever way it ended.
void EndServedLink(TCustomWinSocket* socket) {
    if (Form1) Form1->EndTransfersOnLostLink(TLink::ConfServer);
    socket->Data = nullptr;
    g_ConfServerReader.Reset();
    g_ConfServerStop = 1;
    g_FwTimeout = 0;
}
}  // namespace

void TForm1::ConfServerClientDisconnect(TObject*, TCustomWinSocket* Socket) {
    if (!IsServed(Socket)) return;
    EndServedLink(Socket);
    MessageShow(GetMessageA(57));
}

void TForm1::ConfServerClientError(TObject*, TCustomWinSocket* Socket, TErrorEvent, int& ErrorCode) {
    // A reset is followed by the disconnect, which must not hide the reset's message.
    if (ErrorCode == seConnectionReset && IsServed(Socket)) {
        EndServedLink(Socket);
        MessageShow(GetMessageA(58));
    }
    ErrorCode = 0;
}

void TForm1::ConfServerClientRead(TObject*, TCustomWinSocket* Socket) {
    if (!Socket->GetConnected()) return;
    // Everything waiting, whatever its size: what is left behind would be read as the
    // start of the next block.
    const std::string bytes = Socket->ReceiveText();
    if (!IsServed(Socket)) return;
    LinkBytesArrived(TLink::ConfServer);
    g_ConfServerReader.Feed(bytes);
}

void TForm1::ConfServerStopStep() {
    if (!g_ConfServerStop) return;
    g_ConfServerStop = 0;
    StopConfigServer();
}

void TForm1::StopConfigServer() {
    ConfServer->Close();
    g_ConfServerReader.Reset();
    Button1->Tag = 0;
    ConfServState->SetCaption(GetMessageA(59));
    g_ConfServerLink = 0;
    g_ConfServerConnected = 0;
    g_IdentifyRetry = 0;
}

int TForm1::Send_gprs_data(const std::uint8_t* data, int n) {
    if (!ConfServer->GetActive()) return 0;
    TCustomWinSocket* served = ServedClient(ConfServer);
    if (served == nullptr || !served->GetConnected()) return 0;
    return served->SendBuf(data, n);
}
