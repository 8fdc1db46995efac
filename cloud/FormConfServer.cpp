// The local configuration server: devices dial in over GPRS, are identified and their
// frames dispatched like those from the cable. Which connection is served, asked, turned
// away or closed is TConfLinks' to say (cloud/ConfLinks.h); this carries it out.
#include "cloud/ConfServer.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "config/StatusRecord.h"
#include "device/DeviceType.h"
#include "device/LinkPeers.h"
#include "device/ReplyDecode.h"
#include "memory/MemoryState.h"
#include "memory/PhotoState.h"

namespace {
constexpr int kIncoming = 1;

TConfLinks g_ConfLinks;
// What each connection sends, put together into frames. Shared, so that a connection
// dropped by one of its own frames outlives the read feeding it.
std::map<TCustomWinSocket*, std::shared_ptr<TCloudStreamReader>> g_ConfReaders;

TCustomWinSocket* SocketOf(TConfLink link) { return static_cast<TCustomWinSocket*>(link); }

// The tool has asked the served controller something and waits for it: its status while
// logged in, a transfer, a firmware update. Before the login nothing is asked of it.
bool AwaitingServed() { return g_AccessLevel != 0 || g_BusyTransfer || g_FlashActive; }

// A transfer or a wait runs with the served controller: another one does not cut it.
bool TransferRuns() {
    return g_BusyTransfer || g_FlashActive || g_WaitTicks != 0 || BlockTransferRuns() || PhotoFetchRuns();
}

// An identify reply of a controller in its working firmware or its bootloader.
bool IdentifiesAsController(const std::uint8_t* frame, std::size_t available) {
    TDeviceReply reply;
    if (!VerifyReplyFrame(frame, available, reply) || reply.Command != CmdIdentify) return false;
    const auto id = DecodeIdentifyReply(reply);
    if (!id) return false;
    if (id->Mode == kIdentifyBootloader) return true;
    return id->Mode == kIdentifyWorking && IsAcceptedDeviceType(id->DeviceType);
}

// The IMEI a status reply names, else empty.
std::string ImeiOfStatusReply(const std::uint8_t* frame, std::size_t available) {
    TDeviceReply reply;
    if (!VerifyReplyFrame(frame, available, reply) || reply.Command != CmdReadStatus) return {};
    const auto status = DecodeStatusReply(reply);
    if (!status || status->Result != 0 || status->Record == nullptr) return {};
    StatusRecord record{};
    ApplyStatusRecordBytes(record, status->Record, status->RecordSize);
    return StatusImei(record);
}

void SendRequest(TConfLink link, std::uint8_t command, const std::vector<std::uint8_t>& data = {}) {
    const std::vector<std::uint8_t> frame = BuildRequestFrame(command, data);
    SocketOf(link)->SendBuf(frame.data(), static_cast<int>(frame.size()));
}
void SendIdentify(TConfLink link) { SendRequest(link, CmdIdentify); }
// Its status names the IMEI it was served under, or the one a claimant dialled in with.
void SendStatusRequest(TConfLink link) { SendRequest(link, CmdReadStatus, {0}); }

// The title names the served controller; while another waits for its transfer, it says so.
constexpr const char* kClaimantWaitingNote = " — ждёт другое устройство";

// The served controller has gone: the link is let go once, whichever way it ended. A
// closed or reset link stops the server as the button would; a lost one leaves it
// listening for the controller to dial in again.
void EndServedLink(bool stopServer) {
    // Before the controller is forgotten: what was cut short is told from its transfers.
    if (Form1) Form1->EndTransfersOnLostLink(TLink::ConfServer);
    if (Form1) Form1->ForgetServedController();
    if (stopServer) g_ConfServerStop = 1;
}
}  // namespace

std::string ConfServerRefusedLine(const std::string& address) {
    return "Подключение отклонено: сервер занят, IP:" + address;
}

std::string ConfServerWaitingLine(const std::string& address) {
    return "Другое устройство ждёт окончания обмена, IP:" + address;
}

std::string ConfServerHandoverLine(const std::string& address) {
    return "Обмен завершён, обслуживается ждавшее устройство; закрыто соединение IP:" + address;
}

std::string ConfServerLostText(const std::string& address) {
    return "Устройство не отвечает, соединение закрыто, IP:" + address;
}

void ForgetConfServerConnections() {
    g_ConfLinks.Clear();
    g_ConfReaders.clear();
}

std::size_t ConfServerHeld() {
    std::size_t held = 0;
    for (auto& [socket, reader] : g_ConfReaders) held += reader->Held();
    return held;
}

void TForm1::Button1Click(TObject*) {
    if (Button1->Tag == 0) {
        // A port that cannot be opened raises here and reaches the general error display.
        ConfServer->SetPort(UserStrToInt(RconfPort->GetText()));
        ForgetConfServerConnections();
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
    auto reader = std::make_shared<TCloudStreamReader>();
    reader->OnFrame = [this, Socket](const std::uint8_t* frame, std::size_t available) {
        ConfServerFrame(Socket, frame, available);
    };
    g_ConfReaders[Socket] = reader;
    // A newcomer is always asked; one that has waited longer without identifying goes.
    if (TConfLink room = g_ConfLinks.Connect(Socket, Socket->GetRemoteAddress())) SocketOf(room)->Close();
    if (g_ConfLinks.Served() == nullptr) {
        g_RemoteAddress = Socket->GetRemoteAddress();
        ConfServState->SetCaption(GetMessageA(45) + ", IP:" + g_RemoteAddress);
    }
}

void TForm1::ConfServerFrame(TCustomWinSocket* socket, const std::uint8_t* frame, std::size_t available) {
    const TConfLink served = g_ConfLinks.Served();
    switch (g_ConfLinks.Frame(socket, IdentifiesAsController(frame, available), ImeiOfStatusReply(frame, available),
                              TransferRuns())) {
        case TConfFrame::Ignore:
            return;
        case TConfFrame::Probe:
            SendStatusRequest(served);
            return;
        case TConfFrame::Hold:
            HoldClaimant(socket);
            return;
        case TConfFrame::Handover: {
            // Nothing runs with the one served so far: it is let go without a word on the panel,
            // which still shows how its transfer ended.
            TCustomWinSocket* before = SocketOf(served);
            MiniLog(ConfServerHandoverLine(before->GetRemoteAddress()), kIncoming);
            EndServedLink(false);
            before->Close();
            [[fallthrough]];
        }
        case TConfFrame::Serve:
            g_RemoteAddress = socket->GetRemoteAddress();
            ConfServState->SetCaption(GetMessageA(45) + ", IP:" + g_RemoteAddress);
            g_ConfServerConnected = 1;
            g_ConfServerLink = 1;
            Read_Data(frame, available);
            // The IMEI it is served under; a bootloader is asked nothing it does not know.
            if (g_WorkingMode) SendStatusRequest(socket);
            return;
        case TConfFrame::Answer:
            if (g_AccessLevel == 0) return;  // before its login the window asks nothing of it
            break;
        case TConfFrame::Dispatch:
            break;
    }
    g_ConfServerLink = 1;
    Read_Data(frame, available);
}

void TForm1::HoldClaimant(TCustomWinSocket* socket) {
    MiniLog(ConfServerWaitingLine(socket->GetRemoteAddress()), kIncoming);
    ShowClaimantsWaiting();
    // Its status names it: one naming the served controller's IMEI gets no turn of its own.
    SendStatusRequest(socket);
}

void TForm1::ShowClaimantsWaiting() {
    const std::string shown = ComPortDeviceCaption->GetCaption();
    std::string caption = shown.substr(0, shown.find(kClaimantWaitingNote));
    if (g_ConfLinks.Served() != nullptr && g_ConfLinks.Held() != 0) caption += kClaimantWaitingNote;
    if (caption != shown) SetDeviceCaption(caption);
}

void TForm1::ServedLinkLost(TCustomWinSocket* socket) {
    const std::string text = ConfServerLostText(socket->GetRemoteAddress());
    EndServedLink(false);
    socket->Close();
    MiniLog(text, kIncoming);
    MessageShow(text);
}

void TForm1::ForgetServedController() {
    g_ConfServerConnected = 0;
    g_ConfServerLink = 0;
    ForgetDevice();
    // Nothing the window shows may name it once another controller can take its place.
    Limei->SetCaption("IMEI:");
    if (ConfServer->GetActive()) {
        ConfServState->SetCaption(GetMessageA(20));
        SetDeviceCaption("Remote config: wait ...");
    }
}

void TForm1::ConfServerClientDisconnect(TObject*, TCustomWinSocket* Socket) {
    g_ConfReaders.erase(Socket);
    if (!g_ConfLinks.Gone(Socket)) {
        if (g_ConfLinks.Served() == nullptr && ConfServer->GetActive()) ConfServState->SetCaption(GetMessageA(20));
        return;
    }
    EndServedLink(true);
    MessageShow(GetMessageA(57));
}

void TForm1::ConfServerClientError(TObject*, TCustomWinSocket* Socket, TErrorEvent, int& ErrorCode) {
    // A reset is followed by the disconnect, which must not hide the reset's message.
    if (ErrorCode == seConnectionReset && g_ConfLinks.Served() == Socket) {
        g_ConfLinks.Gone(Socket);
        EndServedLink(true);
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
    const auto it = g_ConfReaders.find(Socket);
    if (it == g_ConfReaders.end() || bytes.empty()) return;
    const std::shared_ptr<TCloudStreamReader> reader = it->second;
    if (g_ConfLinks.Heard(Socket)) LinkBytesArrived(TLink::ConfServer);
    reader->Feed(bytes);
    // A frame still arriving is read once it is whole, not piece by piece.
    Socket->SetReceiveThreshold(static_cast<int>(reader->Wanted()));
}

void TForm1::ConfServerLinkStep() {
    if (!ConfServer->GetActive()) {
        ForgetConfServerConnections();  // what a closed server's connections left
        return;
    }
    // A frame cut short for good holds what its connection sends after it for a while only.
    // A frame so freed may close connections: each reader is ticked only while it is theirs.
    const std::vector<std::pair<TCustomWinSocket*, std::shared_ptr<TCloudStreamReader>>> readers(
        g_ConfReaders.begin(), g_ConfReaders.end());
    for (const auto& [socket, reader] : readers) {
        const auto it = g_ConfReaders.find(socket);
        if (it != g_ConfReaders.end() && it->second == reader) reader->Tick();
    }
    const TConfTick tick = g_ConfLinks.Tick(AwaitingServed(), TransferRuns());
    if (tick.Lost != nullptr) ServedLinkLost(SocketOf(tick.Lost));
    for (TConfLink link : tick.TurnAway) {
        // Its going must not end the session of the controller being served.
        MiniLog(ConfServerRefusedLine(SocketOf(link)->GetRemoteAddress()), kIncoming);
        SocketOf(link)->Close();
    }
    for (TConfLink link : tick.Hold) HoldClaimant(SocketOf(link));
    for (TConfLink link : tick.Close) SocketOf(link)->Close();  // no controller, or not in time
    for (TConfLink link : tick.Ask) SendIdentify(link);
    ShowClaimantsWaiting();
}

// Each tick while connections wait or one is served; a closed server's leftovers go at once.
// Asked from the window's construction on (a slow start owes the timer a tick), so the server
// is looked at only once it has readers.
unsigned TForm1::ConfServerLinkDue() const {
    const bool links = g_ConfLinks.Served() != nullptr || g_ConfLinks.Waiting() != 0;
    return links || (!g_ConfReaders.empty() && !ConfServer->GetActive()) ? 1 : 0;
}

void TForm1::ConfServerStopStep() {
    if (!g_ConfServerStop) return;
    g_ConfServerStop = 0;
    StopConfigServer();
}

unsigned TForm1::ConfServerStopDue() const { return g_ConfServerStop ? 1 : 0; }

void TForm1::StopConfigServer() {
    ConfServer->Close();
    ForgetConfServerConnections();
    ShowClaimantsWaiting();  // nobody waits any more
    Button1->Tag = 0;
    ConfServState->SetCaption(GetMessageA(59));
    g_ConfServerLink = 0;
    g_ConfServerConnected = 0;
}

int TForm1::Send_gprs_data(const std::uint8_t* data, int n) {
    if (!ConfServer->GetActive()) return 0;
    TCustomWinSocket* served = SocketOf(g_ConfLinks.Served());
    if (served == nullptr || !served->GetConnected()) return 0;
    return served->SendBuf(data, n);
}
