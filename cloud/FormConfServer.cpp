// The local configuration server: devices dial in over GPRS, are identified and their
// frames dispatched like those from the cable.
#include <cstring>
#include <vector>

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "device/LinkPeers.h"

// The remote firmware transfer's watchdog (firmware/): a device gone ends it.
extern int g_FwTimeout;

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
    g_RemoteAddress = Socket->GetRemoteAddress();
    ConfServState->SetCaption(GetMessageA(45) + ", IP:" + g_RemoteAddress);
    g_ConfServerConnected = 1;
    g_IdentifyRetry = 1;
}

void TForm1::ConfServerClientDisconnect(TObject*, TCustomWinSocket*) {
    MessageShow(GetMessageA(57));
    g_ConfServerStop = 1;
    g_FwTimeout = 0;
}

void TForm1::ConfServerClientError(TObject*, TCustomWinSocket*, TErrorEvent, int& ErrorCode) {
    if (ErrorCode == seConnectionReset) {
        MessageShow(GetMessageA(58));
        g_ConfServerStop = 1;
    }
    ErrorCode = 0;
}

void TForm1::ConfServerClientRead(TObject*, TCustomWinSocket* Socket) {
    if (!Socket->GetConnected()) return;
    const int n = Socket->ReceiveLength() & 0xFFFF;
    if (n <= 0) return;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(n) + 32, 0);
    const int got = Socket->ReceiveBuf(block.data(), n);
    if (got <= 0) return;
    for (int i = 0; i + 4 <= got; ++i) {
        if (std::memcmp(block.data() + i, "SLMX", 4) != 0) continue;
        g_ConfServerLink = 1;
        Read_Data(block.data() + i + 4, static_cast<std::size_t>(got - i - 4));
    }
}

void TForm1::ConfServerStopStep() {
    if (!g_ConfServerStop) return;
    g_ConfServerStop = 0;
    StopConfigServer();
}

void TForm1::StopConfigServer() {
    ConfServer->Close();
    Button1->Tag = 0;
    ConfServState->SetCaption(GetMessageA(59));
    g_ConfServerLink = 0;
    g_ConfServerConnected = 0;
    g_IdentifyRetry = 0;
}

int TForm1::Send_gprs_data(const std::uint8_t* data, int n) {
    if (!ConfServer->GetActive()) return 0;
    TServerWinSocket* server = ConfServer->GetSocket();
    for (int i = 0; i < server->GetActiveConnections(); ++i) {
        TCustomWinSocket* client = server->GetConnections(i);
        if (client && client->GetConnected()) return client->SendBuf(data, n);
    }
    return 0;
}
