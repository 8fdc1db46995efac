// The update server's queries at start-up and from the firmware page, the offer panel and
// the download from the file server.
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "firmware/FirmwareState.h"
#include "platform/net/ScktComp.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Hosts.h"
#include "platform/sys/Online.h"
#include "platform/sys/Shell.h"
#include "platform/sys/Version.h"

namespace {
constexpr int kMsgDownloadKept = 35;
constexpr int kMsgDownloadKeptIn = 36;
constexpr int kMsgDownloadFlashing = 37;
// The offer panel's choices.
constexpr int kChoiceDownload = 0;

// What the download asked for: a reply of the update server that comes meanwhile rewrites
// the offer panel, not what this file is taken for.
struct TAskedFile {
    std::string Name;
    int Kind = 0;  // kUpdRequestFirmware or kUpdRequestConfigurator
};
TAskedFile g_AskedFile;
}  // namespace

bool TForm1::GetConnectToInternet() { return sys::IsOnline(); }

void TForm1::GetFirmwareVersionFromServer() {
    if (!GetConnectToInternet()) return;
    g_UpdRequestKind = kUpdRequestFirmware;
    const sys::THostPort server = sys::UpdateServer();
    ConnectToServer(server.host, server.port);
}

void TForm1::GetConfiguratorVersionFromServer() {
    if (!GetConnectToInternet()) return;
    g_UpdRequestKind = kUpdRequestConfigurator;
    const sys::THostPort server = sys::UpdateServer();
    ConnectToServer(server.host, server.port);
}

void TForm1::GetfirmwareClick(TObject*) { GetFirmwareVersionFromServer(); }

void TForm1::ConnectToServer(const std::string& host, int port) {
    if (GetFWClient->GetActive()) GetFWClient->Close();
    GetFWClient->SetHost(host);
    GetFWClient->SetPort(port);
    GetFWClient->Open();
}

void TForm1::CloseClientConnection() { GetFWClient->Close(); }

int TForm1::SendToServer(const void* bytes, int n) {
    TClientWinSocket* socket = GetFWClient->GetSocket();
    if (!socket->GetConnected()) return 0;
    return socket->SendBuf(bytes, n);
}

int TForm1::SendTextToServer(const std::string& text) {
    const std::string wire = Utf8ToCp1251(text);
    return SendToServer(wire.data(), static_cast<int>(wire.size()));
}

void TForm1::GetFWClientConnect(TObject*, TCustomWinSocket*) {
    sys::Sleep(100);
    if (g_UpdRequestKind == kUpdRequestFirmware) SendTextToServer(FirmwareQuery(g_DeviceType));
    else if (g_UpdRequestKind == kUpdRequestConfigurator) SendTextToServer(ConfiguratorQuery());
    g_UpdServerTimeout.Start();
}

void TForm1::GetFWClientRead(TObject*, TCustomWinSocket* Socket) {
    std::vector<std::uint8_t> buf(kUpdReplyMax);
    const int n = Socket->ReceiveBuf(buf.data(), static_cast<int>(buf.size()));
    const std::string reply = UpdateReplyText(buf.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
    Label429->SetCaption(reply);
    if (g_UpdRequestKind == kUpdRequestFirmware) {
        Label430->SetCaption(kFirmwareOfferQuestion);
        Label430->Tag = kUpdRequestFirmware;
        CloseClientConnection();
        if (CompareBuildFW(Lfw ? Lfw->GetCaption() : std::string(), reply)) ShowOfferPanel();
        else if (UiPageControl1->GetActivePageIndex() == 2) MessageShow(GetMessageA(kMsgLatestFirmware));
    } else if (g_UpdRequestKind == kUpdRequestConfigurator) {
        Label430->SetCaption(kConfiguratorOfferQuestion);
        Label430->Tag = kUpdRequestConfigurator;
        CloseClientConnection();
        if (ConfiguratorOffered(reply, g_ProgramVersion)) ShowOfferPanel();
    }
}

void TForm1::GetFWClientDisconnect(TObject*, TCustomWinSocket*) { g_UpdServerTimeout.Stop(); }

void TForm1::GetFWClientError(TObject*, TCustomWinSocket*, int& ErrorCode) {
    const int code = ErrorCode;
    ErrorCode = 0;
    g_UpdServerTimeout.Stop();
    CloseClientConnection();
    MessageShow(UpdateServerErrorText(code));
}

void TForm1::UpdateServerTimeoutStep() {
    if (g_UpdServerTimeout.Tick()) CloseClientConnection();
    if (g_DownloadSilence.Expired(sys::ListenMs())) DownloadFailed(GetMessageA(kMsgDownloadStalled));
}

unsigned TForm1::UpdateServerTimeoutDue() const {
    return EarliestDue({g_UpdServerTimeout.Left(), g_DownloadSilence.Running() ? 1u : 0u});
}

void TForm1::ShowOfferPanel() {
    UiProgressBar3->SetVisible(false);
    Label431->SetCaption("");
    Panel32->SetVisible(true);
    Panel32->BringToFront();
    // A message shown meanwhile stays over the offer, its button within reach.
    if (MESPANEL->GetVisible()) MESPANEL->BringToFront();
}

void TForm1::Image4Click(TObject*) { Panel32->SetVisible(false); }

void TForm1::Button29Click(TObject*) {
    if (Label430->Tag == kUpdRequestFirmware && !g_DeviceConnected) {
        // No device on the cable: the cloud asks the device to update itself.
        BupdClick(Bupd);
        Panel32->SetVisible(false);
        return;
    }
    if (FilesClient->GetActive()) FilesClient->Close();
    const sys::THostPort server = sys::FileServer();
    FilesClient->SetHost(server.host);
    FilesClient->SetPort(server.port);
    FilesClient->Open();
    Label431->SetCaption(GetMessageA(kMsgDownloadConnecting));
}

void TForm1::FilesClientConnect(TObject*, TCustomWinSocket* Socket) {
    g_Download.Reset();
    g_DownloadFile.Abandon();
    g_DownloadSilence.Start(sys::ListenMs());
    Label431->SetCaption(GetMessageA(kMsgDownloadConnected));
    g_AskedFile = {Label429->GetCaption(), Label430->Tag};
    Socket->SendText(FileRequest(g_AskedFile.Name));
}

void TForm1::FilesClientRead(TObject*, TCustomWinSocket* Socket) {
    const std::string bytes = Socket->ReceiveText();
    if (bytes.empty() || !g_DownloadSilence.Running()) return;
    g_DownloadSilence.Heard(sys::ListenMs());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const TFileDownload::TFeed feed = g_Download.Feed(data, bytes.size());
    if (feed.Missing || feed.BadHeader) {
        DownloadFailed(GetMessageA(feed.Missing ? kMsgDownloadMissing : kMsgDownloadBadHeader));
        return;
    }
    // The old file of that name stays as it is until the new one is whole.
    const std::string folder = DownloadsFolder();
    const std::string name = DownloadSaveName(g_Download.FileName());
    std::string error;
    if (feed.HeaderRead && !OpenDownloadFile(g_DownloadFile, folder, name, &error)) {
        DownloadFailed(FileNotSavedText(folder + name, error));
        return;
    }
    if (feed.BodySize > 0 && !g_DownloadFile.Write(data + feed.BodyFrom, feed.BodySize)) {
        DownloadFailed(FileNotSavedText(folder + name, g_DownloadFile.Error()));
        return;
    }
    if (feed.HeaderRead)
        Label431->SetCaption(GetMessageA(kMsgDownloadSize) + " " + std::to_string(g_Download.Size()));
    if (feed.Progress) {
        Label431->SetCaption(GetMessageA(kMsgDownloading));
        UiProgressBar3->SetVisible(true);
        UiProgressBar3->SetPercent(g_Download.Percent());
    }
    if (feed.Complete) {
        Socket->SendText(kEndTransfer);
        DownloadComplete();
    }
}

// Ends a download that cannot go on: the connection is closed and a file begun is dropped.
void TForm1::DownloadFailed(const std::string& message) {
    g_DownloadSilence.Stop();
    g_DownloadFile.Abandon();
    g_Download.Reset();
    FilesClient->Close();
    UiProgressBar3->SetVisible(false);
    Label431->SetCaption("");
    Panel32->SetVisible(false);
    MessageShow(message);
}

void TForm1::DownloadComplete() {
    g_DownloadSilence.Stop();
    sys::Sleep(100);
    const std::string folder = DownloadsFolder();
    const std::string offered = g_Download.FileName();
    const std::string name = DownloadSaveName(offered);
    const std::string path = folder + name;
    if (!g_DownloadFile.Commit()) {
        // Nothing is flashed or run from a file that is not there.
        DownloadFailed(FileNotSavedText(path, g_DownloadFile.Error()));
        return;
    }
    // A name the file system would not take was shortened: the user learns the one used.
    const std::string told = name == offered ? "" : GetMessageA(kMsgDownloadNameShortened) + " " + name + "\n";
    const bool document = OpenableDocument(name, g_Download.Head()) && !HasExecuteBits(path);
    g_Download.Reset();
    FilesClient->Close();
    Label431->SetCaption(GetMessageA(kMsgDownloadDone));
    if (UiRadioGroup1->GetItemIndex() == kChoiceDownload) {
        MessageShow(told + GetMessageA(kMsgDownloadKept) + " " + name + " " + GetMessageA(kMsgDownloadKeptIn) + " " +
                    folder);
    } else if (offered != g_AskedFile.Name) {
        MessageShow(told + ForeignDownloadText(name, g_AskedFile.Name, folder));
    } else if (g_AskedFile.Kind == kUpdRequestFirmware) {
        Panel32->SetVisible(false);
        SelectPage(2);
        // A file this device does not take is reported and not flashed; nor is one that comes
        // while another transfer runs (it stays in the folder).
        if (!AnotherTransferRuns() && OpenFWFileSTM(path)) {
            Program_flashClick(Program_flash);
            MessageShow(told + GetMessageA(kMsgDownloadFlashing));
        }
    } else if (!document) {
        MessageShow(told + KeptUnopenedText(name, folder));  // a desktop might run it
    } else {
        if (!told.empty()) MessageShow(told);
        OpenDownloadedFile(path);
    }
    Panel32->SetVisible(false);
}

void TForm1::OpenDownloadedFile(const std::string& path) {
    DownloadOpener->Open(path, [this, path](sys::TShellOutcome outcome, int exitCode) {
        if (outcome == sys::TShellOutcome::Opened) Close();
        else if (outcome == sys::TShellOutcome::CannotStart) MessageShow(OpenerMissingText(path));
        else MessageShow(OpenerFailedText(path, exitCode));
    });
}

std::string TForm1::GetVer(const std::string& path) {
    const std::string version = sys::FileVersion(path);
    return version.empty() ? "неизвестно" : version;
}

void TForm1::FilesClientError(TObject*, TCustomWinSocket*, int& ErrorCode) {
    const int code = ErrorCode;
    ErrorCode = 0;
    // The connection is gone: no byte is waited for any more, nothing half-done is kept.
    DownloadFailed(DownloadServerErrorText(code));
}

void TForm1::FilesClientDisconnect(TObject*, TCustomWinSocket*) {
    // Closed by the server before the file was whole (a local close stops the wait first).
    if (g_DownloadSilence.Running()) DownloadFailed(kTextDownloadCut);
}
