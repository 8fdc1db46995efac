// The local configuration server: devices dial in over GPRS, are identified and their
// frames dispatched like those from the cable.
//
// A connection is served only once it has answered the identify request as a controller;
// until then nothing it sends reaches the window, and its going changes nothing. One
// controller is served at a time; a served link whose controller has gone quiet (a GPRS
// link that died without a close) is let go, so that the controller can dial in again:
// when another controller identifies, the served one is asked to identify too, and loses
// its place only if it does not answer.
#include "cloud/ConfServer.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "device/DeviceType.h"
#include "device/LinkPeers.h"
#include "device/ReplyDecode.h"

namespace {
constexpr int kIncoming = 1;

// One connection: a candidate until it identifies as a controller, then the one served.
struct TConfClient {
    TCloudStreamReader Reader;
    bool Served = false;
    // A candidate: Find_device ticks to its next identify request and since it connected
    // (bytes do not make it younger); it has identified while another was served.
    int IdentifyTicks = 1;
    int Age = 0;
    bool Identified = false;
    // The served one: ticks without a byte while the tool was waiting on it; ticks left for
    // the answer to the identify request a candidate's identify made (0: none asked), and
    // whether a byte came since; that answer is no news to the window.
    int AwaitedSilence = 0;
    int ProbeTicks = 0;
    bool ProbeHeard = false;
    bool ProbeReplyDue = false;
};

// Shared, so that a client dropped by one of its own frames outlives the read feeding it.
std::map<TCustomWinSocket*, std::shared_ptr<TConfClient>> g_ConfClients;

TConfClient* ClientOf(TCustomWinSocket* socket) {
    const auto it = g_ConfClients.find(socket);
    return it == g_ConfClients.end() ? nullptr : it->second.get();
}

TCustomWinSocket* ServedClient() {
    for (auto& [socket, client] : g_ConfClients)
        if (client->Served) return socket;
    return nullptr;
}

// The tool has asked the served controller something and waits for it: its status while
// logged in, a transfer, a firmware update. Before the login nothing is asked of it.
bool AwaitingServed() { return g_AccessLevel != 0 || g_BusyTransfer || g_FlashActive; }

// An identify reply of a controller in its working firmware or its bootloader.
bool IdentifiesAsController(const std::uint8_t* frame, std::size_t available) {
    TDeviceReply reply;
    if (!VerifyReplyFrame(frame, available, reply) || reply.Command != CmdIdentify) return false;
    const auto id = DecodeIdentifyReply(reply);
    if (!id) return false;
    if (id->Mode == kIdentifyBootloader) return true;
    return id->Mode == kIdentifyWorking && IsAcceptedDeviceType(id->DeviceType);
}

void SendIdentify(TCustomWinSocket* socket) {
    const std::vector<std::uint8_t> identify = BuildRequestFrame(CmdIdentify, nullptr, 0);
    socket->SendBuf(identify.data(), static_cast<int>(identify.size()));
}

// A candidate wants the served controller's place: is that one still there?
void Probe(TCustomWinSocket* served) {
    TConfClient* client = ClientOf(served);
    if (client->ProbeTicks != 0) return;  // asked already
    client->ProbeTicks = kConfProbeTicks;
    client->ProbeHeard = false;
    client->ProbeReplyDue = true;
    SendIdentify(served);
}

// The served controller has gone: the link is let go once, whichever way it ended. A
// closed or reset link stops the server as the button would; a lost one leaves it
// listening for the controller to dial in again.
void EndServedLink(TCustomWinSocket* socket, bool stopServer) {
    // Before the controller is forgotten: what was cut short is told from its transfers.
    if (Form1) Form1->EndTransfersOnLostLink(TLink::ConfServer);
    if (TConfClient* client = ClientOf(socket)) client->Served = false;
    if (Form1) Form1->ForgetServedController();
    if (stopServer) g_ConfServerStop = 1;
}
}  // namespace

std::string ConfServerRefusedLine(const std::string& address) {
    return "Подключение отклонено: сервер занят, IP:" + address;
}

std::string ConfServerLostText(const std::string& address) {
    return "Устройство не отвечает, соединение закрыто, IP:" + address;
}

std::size_t ConfServerHeld() {
    std::size_t held = 0;
    for (auto& [socket, client] : g_ConfClients) held += client->Reader.Held();
    return held;
}

void TForm1::Button1Click(TObject*) {
    if (Button1->Tag == 0) {
        // A port that cannot be opened raises here and reaches the general error display.
        ConfServer->SetPort(UserStrToInt(RconfPort->GetText()));
        g_ConfClients.clear();
        g_ConfServerStop = 0;  // a stop the last link asked for is not this server's
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
    const auto candidates = std::count_if(g_ConfClients.begin(), g_ConfClients.end(),
                                          [](const auto& entry) { return !entry.second->Served; });
    // Connections that never identify age out: until then they must not pile up.
    if (candidates >= kConfMaxCandidates) {
        MiniLog(ConfServerRefusedLine(Socket->GetRemoteAddress()), kIncoming);
        Socket->Close();
        return;
    }
    auto client = std::make_shared<TConfClient>();
    client->Reader.OnFrame = [this, Socket](const std::uint8_t* frame, std::size_t available) {
        ConfServerFrame(Socket, frame, available);
    };
    g_ConfClients[Socket] = client;
    if (ServedClient() == nullptr) {
        g_RemoteAddress = Socket->GetRemoteAddress();
        ConfServState->SetCaption(GetMessageA(45) + ", IP:" + g_RemoteAddress);
    }
}

void TForm1::ConfServerFrame(TCustomWinSocket* socket, const std::uint8_t* frame, std::size_t available) {
    TConfClient* client = ClientOf(socket);
    if (client == nullptr) return;  // closed by an earlier frame of the same read
    if (client->Served) {
        if (client->ProbeReplyDue && IdentifiesAsController(frame, available)) {
            client->ProbeReplyDue = false;
            return;
        }
    } else {
        if (!IdentifiesAsController(frame, available)) return;
        if (TCustomWinSocket* served = ServedClient()) {
            client->Identified = true;
            Probe(served);
            return;
        }
        client->Served = true;
        g_RemoteAddress = socket->GetRemoteAddress();
        ConfServState->SetCaption(GetMessageA(45) + ", IP:" + g_RemoteAddress);
        g_ConfServerConnected = 1;
    }
    g_ConfServerLink = 1;
    Read_Data(frame, available);
}

void TForm1::ServedLinkLost(TCustomWinSocket* socket) {
    const std::string text = ConfServerLostText(socket->GetRemoteAddress());
    EndServedLink(socket, false);
    socket->Close();
    MiniLog(text, kIncoming);
    MessageShow(text);
}

void TForm1::ForgetServedController() {
    g_ConfServerConnected = 0;
    g_ConfServerLink = 0;
    ForgetDevice();
    if (ConfServer->GetActive()) {
        ConfServState->SetCaption(GetMessageA(20));
        SetDeviceCaption("Remote config: wait ...");
    }
}

void TForm1::ConfServerClientDisconnect(TObject*, TCustomWinSocket* Socket) {
    TConfClient* client = ClientOf(Socket);
    const bool served = client != nullptr && client->Served;
    g_ConfClients.erase(Socket);
    if (!served) {
        if (ServedClient() == nullptr && ConfServer->GetActive()) ConfServState->SetCaption(GetMessageA(20));
        return;
    }
    EndServedLink(Socket, true);
    MessageShow(GetMessageA(57));
}

void TForm1::ConfServerClientError(TObject*, TCustomWinSocket* Socket, TErrorEvent, int& ErrorCode) {
    // A reset is followed by the disconnect, which must not hide the reset's message.
    const TConfClient* client = ClientOf(Socket);
    if (ErrorCode == seConnectionReset && client != nullptr && client->Served) {
        EndServedLink(Socket, true);
        MessageShow(GetMessageA(58));
    }
    ErrorCode = 0;
}

void TForm1::ConfServerClientRead(TObject*, TCustomWinSocket* Socket) {
    if (!Socket->GetConnected()) return;
    // A slice at a time: a flood is read over several turns of the event loop, which
    // answers the user in between; the reader joins what is cut between slices.
    std::string bytes(std::min(Socket->ReceiveLength(), kStreamReadSlice), '\0');
    bytes.resize(static_cast<std::size_t>(std::max(0, Socket->ReceiveBuf(bytes.data(), static_cast<int>(bytes.size())))));
    const auto it = g_ConfClients.find(Socket);
    if (it == g_ConfClients.end() || bytes.empty()) return;
    const std::shared_ptr<TConfClient> client = it->second;
    if (client->Served) {
        client->AwaitedSilence = 0;
        client->ProbeHeard = true;
        LinkBytesArrived(TLink::ConfServer);
    }
    client->Reader.Feed(bytes);
}

void TForm1::ConfServerLinkStep() {
    if (!ConfServer->GetActive()) {
        g_ConfClients.clear();  // what a closed server's connections left
        return;
    }
    std::vector<TCustomWinSocket*> sockets;
    for (auto& [socket, client] : g_ConfClients) sockets.push_back(socket);
    for (TCustomWinSocket* socket : sockets) {
        TConfClient* client = ClientOf(socket);
        if (client == nullptr) continue;
        if (client->Served) {
            if (AwaitingServed()) ++client->AwaitedSilence;
            if (client->AwaitedSilence >= kConfLinkLostTicks) ServedLinkLost(socket);
            else if (client->ProbeTicks != 0) ConfServerProbeStep(socket);
            continue;
        }
        if (++client->Age >= kConfLinkLostTicks) {
            socket->Close();  // not a controller, or not one to serve
            continue;
        }
        if (--client->IdentifyTicks == 0) {
            client->IdentifyTicks = kIdentifyRetrySeconds;
            SendIdentify(socket);
        }
    }
}

void TForm1::ConfServerProbeStep(TCustomWinSocket* served) {
    TConfClient* client = ClientOf(served);
    const bool heard = client->ProbeHeard;
    if (!heard && --client->ProbeTicks != 0) return;
    client->ProbeTicks = 0;
    if (!heard) ServedLinkLost(served);
    std::vector<TCustomWinSocket*> waiting;
    for (auto& [socket, candidate] : g_ConfClients)
        if (!candidate->Served && candidate->Identified) waiting.push_back(socket);
    for (TCustomWinSocket* socket : waiting) {
        if (heard) {
            // Its going must not end the session of the controller being served.
            MiniLog(ConfServerRefusedLine(socket->GetRemoteAddress()), kIncoming);
            socket->Close();
        } else {
            ClientOf(socket)->IdentifyTicks = 1;  // asked again at once: the first to answer is served
        }
    }
}

void TForm1::ConfServerStopStep() {
    if (!g_ConfServerStop) return;
    g_ConfServerStop = 0;
    StopConfigServer();
}

void TForm1::StopConfigServer() {
    ConfServer->Close();
    g_ConfClients.clear();
    Button1->Tag = 0;
    ConfServState->SetCaption(GetMessageA(59));
    g_ConfServerLink = 0;
    g_ConfServerConnected = 0;
}

int TForm1::Send_gprs_data(const std::uint8_t* data, int n) {
    if (!ConfServer->GetActive()) return 0;
    TCustomWinSocket* served = ServedClient();
    if (served == nullptr || !served->GetConnected()) return 0;
    return served->SendBuf(data, n);
}
