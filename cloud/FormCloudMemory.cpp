// The cloud paths of the number base and the event log: their buttons call these through
// the hooks of memory/, installed when the window is built.
#include "app/Unit1.h"
#include "cloud/CloudReplyData.h"
#include "cloud/CloudRequest.h"
#include "memory/MemoryState.h"
#include "platform/sys/Hosts.h"

Json::Value g_PendingChrono;

void TForm1::InstallMemoryHooks() {
    g_CloudClearChrono = [] {
        if (Form1) SendJsonCommand(Form1->AIMEI->GetText(), Form1->APASS->GetText(), cloudcmd::ClearChrono, "",
                                   Form1->CloudSocket());
    };
    g_CloudChronoRequest = [](TDateTime start, TDateTime end, int operation, const std::string& number) {
        if (Form1) Form1->GetChronoFromServer(ChronoDateText(start), ChronoDateText(end), operation, number);
    };
    g_CloudNumberQuery = [](const std::string& keyword) {
        if (Form1) SendJsonCommand(Form1->AIMEI->GetText(), Form1->APASS->GetText(), cloudcmd::NumberInfo, keyword,
                                   Form1->CloudSocket());
    };
    g_CloudSessionImei = [] { return g_CloudSession ? g_SessionImei : std::string(); };
}

void TForm1::GetChronoFromServer(const std::string& sdate, const std::string& edate, int operation,
                                 const std::string& number) {
    const Json::Value request = ChronoRequest(AIMEI->GetText(), APASS->GetText(), sdate, edate, operation, number);
    // Sent now or once the connection opens: its first block is awaited as long as the read's wait.
    AwaitCloudReply(TAsk::CloudLog, kCloudLogReadWaitSeconds);
    // The log can be asked for without a session: the connection logs in as it opens, and
    // the request waits for the connection instead of being dropped on a socket still
    // connecting.
    if (!ClientSocket->GetActive()) {
        const sys::THostPort host = sys::CloudServer();
        ClientSocket->SetHost(host.host);
        ClientSocket->SetPort(host.port);
        g_CloudReader.Reset();
        g_PendingChrono = request;
        CloudEndSaid({});
        ClientSocket->Open();
        return;
    }
    // A connection still being made (a login under way) takes the request when it opens.
    if (CloudSocket() == nullptr) {
        g_PendingChrono = request;
        return;
    }
    SendCloudRequest(CloudSocket(), request);
}
