// The update server and the file server on loopback (updatesim): the queries the window
// makes, the offer panel, and downloads saved into the Downloads folder.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "FirmwareImage.h"
#include "device/LinkRig.h"
#include "firmware/FileDownload.h"
#include "firmware/FirmwareState.h"
#include "platform/net/ScktComp.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SafeFile.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "support/RealInput.h"
#include "tools/updatesim/UpdateSim.h"

namespace {

using namespace linktest;

struct ServerRig {
    explicit ServerRig(const std::string& name) : rig(name), appData(rig.Path("appdata")) {
        ok = sim.Start();
        setenv("ZENTOR_UPDATE_HOST", ("127.0.0.1:" + std::to_string(sim.UpdatePort())).c_str(), 1);
        setenv("ZENTOR_FILE_HOST", ("127.0.0.1:" + std::to_string(sim.FilePort())).c_str(), 1);
        setenv("ZENTOR_ONLINE", "1", 1);
        setenv("AppData", appData.c_str(), 1);
        ui::test::SetScripted(true);
        rig.CreateForm();
    }
    ~ServerRig() {
        sim.Stop();
        for (const char* v : {"ZENTOR_UPDATE_HOST", "ZENTOR_FILE_HOST", "ZENTOR_ONLINE", "AppData"}) unsetenv(v);
        Form1->CloseFirmwareFile();
        ui::test::SetScripted(false);
    }
    static bool OfferShown() {
        return testsupport::WaitUntil([] { return Form1->Panel32->GetVisible(); });
    }
    // The query was answered and its connection closed.
    bool AwaitQuery(std::size_t n) {
        return testsupport::WaitUntil(
            [&] { return sim.Queries().size() >= n && !Form1->GetFWClient->GetActive(); });
    }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }
    // The desktop's opener: a script on PATH that notes its arguments in Opened(), then runs
    // body.
    void FakeOpener(const std::string& body) {
        const std::string bin = rig.Path("bin");
        std::filesystem::create_directories(bin);
        std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s|' \"$@\" >> " << bin << "/args\n" << body << "\n";
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
        env.Set("PATH", (bin + ":/usr/bin:/bin").c_str());
    }
    std::string Opened() { return testsupport::ReadFileText(rig.Path("bin") + "/args"); }
    // The offer of the tool's newer version, accepted with the choice as it stands.
    bool AcceptToolOffer() {
        Form1->GetConfiguratorVersionFromServer();
        if (!OfferShown()) return false;
        testsupport::Click(Form1->Button29->GetWidget());
        return testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }, 5000);
    }

    LinkRig rig;
    testsupport::TEnvGuard env;
    std::string appData;
    updatesim::UpdateSim sim;
    bool ok = false;
};

TEST(UpdateServerWindow, ToolOfferDownloadedIntoTheDownloadsFolder) {
    ServerRig s("upd-tool");
    ASSERT_TRUE(s.ok);
    std::vector<std::uint8_t> tool(5000);
    for (std::size_t i = 0; i < tool.size(); ++i) tool[i] = static_cast<std::uint8_t>(i * 13 + 1);
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    s.sim.AddFile("Zentor_v1.0.1.exe", tool, "C:\\srv\\tool\\Zentor_v1.0.1.exe");
    s.sim.SetPieceSize(1500);

    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    EXPECT_EQ(s.sim.Queries(), std::vector<std::string>{"Get_CONFUPD:Zentor#"});
    EXPECT_EQ(Form1->Label429->GetCaption(), "Zentor_v1.0.1.exe");
    EXPECT_EQ(Form1->Label430->GetCaption(), kConfiguratorOfferQuestion);
    EXPECT_EQ(Form1->Label430->Tag, 2);
    EXPECT_EQ(Form1->UiRadioGroup1->GetItemIndex(), 1);

    Form1->UiRadioGroup1->SetItemIndex(0);  // download only
    Form1->Button29Click(Form1->Button29);
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }, 5000));
    EXPECT_EQ(s.sim.FileRequests(), std::vector<std::string>{"Zentor_v1.0.1.exe"});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return s.sim.EndTransfers() == 1; }));
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/";
    EXPECT_EQ(fwtest::ReadFile(folder + "Zentor_v1.0.1.exe"), tool);
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(35) + " Zentor_v1.0.1.exe " + Form1->GetMessageA(36) +
                                        " " + folder);
    EXPECT_EQ(Form1->Label431->GetCaption(), Form1->GetMessageA(43));
}

// What the Downloads folder holds: name and bytes of every entry, hidden ones included.
std::map<std::string, std::vector<std::uint8_t>> DownloadsHeld(const std::string& appData) {
    std::map<std::string, std::vector<std::uint8_t>> held;
    const std::filesystem::path folder = appData + "/TALIVEX/TALIVEX Zentor/Downloads";
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        held[e.path().filename().string()] = fwtest::ReadFile(e.path().string());
    return held;
}

// A size beyond any file of ours is refused at the header; a server that falls silent is
// given up 30 s after its last byte, and nothing it sent is left behind.
TEST(UpdateServerWindow, OversizedOrSilentDownloadIsEnded) {
    ServerRig s("upd-stall");
    ASSERT_TRUE(s.ok);
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    s.sim.AddFile("Zentor_v1.0.1.exe", std::vector<std::uint8_t>(5000, 0x5A));
    s.sim.SetAnnouncedSize(4294967295u);
    Form1->UiRadioGroup1->SetItemIndex(0);
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    testsupport::Click(Form1->Button29->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }));
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(13));
    EXPECT_FALSE(Form1->FilesClient->GetActive());

    s.sim.SetAnnouncedSize(0);
    s.sim.SetStallAfter(1500);
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    testsupport::Click(Form1->Button29->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([] { return Form1->UiProgressBar3->GetPercent() == 30; }));
    sys::AdvanceMs(29000);
    EXPECT_TRUE(Form1->FilesClient->GetActive());
    EXPECT_EQ(Form1->Label431->GetCaption(), Form1->GetMessageA(42));
    sys::AdvanceMs(2000);
    EXPECT_FALSE(Form1->FilesClient->GetActive());
    EXPECT_FALSE(Form1->Panel32->GetVisible());
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(4));
    EXPECT_TRUE(DownloadsHeld(s.appData).empty());

    // A server that closes the connection half way: said at once, nothing kept.
    s.sim.SetHangUpOnStall(true);
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    testsupport::Click(Form1->Button29->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }));
    EXPECT_EQ(ServerRig::Message(), kTextDownloadCut);
    EXPECT_FALSE(Form1->UiProgressBar3->GetVisible());
    EXPECT_TRUE(DownloadsHeld(s.appData).empty());
}

// A download that fails half way (a full disk) leaves the old file of that name whole.
TEST(UpdateServerWindow, FailedDownloadKeepsTheOldFile) {
    ServerRig s("upd-fulldisk");
    ASSERT_TRUE(s.ok);
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/";
    std::filesystem::create_directories(folder);
    fwtest::WriteFile(folder + "Zentor_v1.0.1.exe", {'o', 'l', 'd'});
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    s.sim.AddFile("Zentor_v1.0.1.exe", std::vector<std::uint8_t>(5000, 0x5A));
    s.sim.SetPieceSize(1000);
    SetSafeFileWriteLimitForTests(2500);
    struct TDiskFreedAgain {
        ~TDiskFreedAgain() { SetSafeFileWriteLimitForTests(-1); }
    } freed;
    Form1->UiRadioGroup1->SetItemIndex(0);
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    testsupport::Click(Form1->Button29->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }, 5000));
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(96) + " " + folder + "Zentor_v1.0.1.exe (На устройстве не осталось свободного места)");
    EXPECT_FALSE(Form1->FilesClient->GetActive());
    const std::map<std::string, std::vector<std::uint8_t>> kept = {{"Zentor_v1.0.1.exe", {'o', 'l', 'd'}}};
    EXPECT_EQ(DownloadsHeld(s.appData), kept);
}

// "Download and update" opens only the file offered, with the desktop's opener; a file the
// file server names otherwise is kept unopened, and a failed opener keeps the window.
TEST(UpdateServerWindow, OnlyTheOfferedFileIsOpened) {
    ServerRig s("upd-foreign");
    ASSERT_TRUE(s.ok);
    s.FakeOpener("exit 4");
    std::vector<std::uint8_t> tool(3000, 0x4D);
    std::copy_n("%PDF-1.7\n", 9, tool.begin());
    s.sim.SetToolReply("Zentor_v1.0.1.pdf");
    s.sim.AddFile("Zentor_v1.0.1.pdf", tool, "C:\\srv\\Zentor.pdf");
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/";
    ASSERT_TRUE(s.AcceptToolOffer());
    EXPECT_EQ(ServerRig::Message(), ForeignDownloadText("Zentor.pdf", "Zentor_v1.0.1.pdf", folder));
    EXPECT_EQ(fwtest::ReadFile(folder + "Zentor.pdf"), tool);

    s.sim.AddFile("Zentor_v1.0.1.pdf", tool);
    ASSERT_TRUE(s.AcceptToolOffer());
    ASSERT_TRUE(testsupport::WaitUntil([] { return ServerRig::Message().find("xdg-open") != std::string::npos; }));
    EXPECT_EQ(ServerRig::Message(), OpenerFailedText(folder + "Zentor_v1.0.1.pdf", 4));
    EXPECT_EQ(s.Opened(), folder + "Zentor_v1.0.1.pdf|");  // once: the foreign file was not

    // Opened: the window closes, and only then.
    bool closed = false;
    const TCloseEvent toolsClose = Form1->OnClose;
    Form1->OnClose = [&](TObject* sender, TCloseAction& action) {
        closed = true;
        toolsClose(sender, action);
    };
    s.FakeOpener("exit 0");
    ASSERT_TRUE(s.AcceptToolOffer());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return closed; }));
}

// "Download and update" hands the opener documents only: a launcher, a Java archive, a
// script or a program under a document's name is kept unopened where the user is told, and
// not executable even where an executable file of that name stood.
TEST(UpdateServerWindow, OnlyDocumentsReachTheOpener) {
    ServerRig s("upd-documents");
    ASSERT_TRUE(s.ok);
    s.FakeOpener("exit 0");
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/";
    std::filesystem::create_directories(folder);
    fwtest::WriteFile(folder + "Zentor_v1.0.1.sh", {'o', 'l', 'd'});
    std::filesystem::permissions(folder + "Zentor_v1.0.1.sh", std::filesystem::perms(0755));
    const auto bytes = [](std::string_view text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
    using namespace std::string_view_literals;
    for (const auto& [name, body] : std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
             {"Zentor_v1.0.1.desktop", bytes("[Desktop Entry]\nType=Application\nExec=sh -c id\n")},
             {"Zentor_v1.0.1.jar", bytes("PK\x03\x04\x14\0\x08\0"sv)},
             {"Zentor_v1.0.1.sh", bytes("#!/bin/sh\nid\n")},
             {"Zentor_v1.0.1.pdf", bytes("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0"sv)},
         }) {
        s.sim.SetToolReply(name);
        s.sim.AddFile(name, body);
        ASSERT_TRUE(s.AcceptToolOffer()) << name;
        EXPECT_EQ(ServerRig::Message(), KeptUnopenedText(name, folder));
        EXPECT_EQ(fwtest::ReadFile(folder + name), body);
        EXPECT_FALSE(HasExecuteBits(folder + name)) << name;
        Form1->OKMESClick(Form1->OKMES);
    }
    testsupport::Pump(50);
    EXPECT_EQ(s.Opened(), "");
}

// A file server of the test's own that names its file in the header, then holds the bytes
// until let go.
struct HeldFileServer {
    HeldFileServer(std::string header, std::size_t size) : listening(testsupport::ListenOnLoopback(1, port)) {
        thread = std::thread([this, header, size] {
            const int fd = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) return;
            char request[256];
            (void)!::read(fd, request, sizeof request);
            (void)!::write(fd, header.data(), header.size());
            while (!released) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const std::string bytes(size, 'M');
            (void)!::write(fd, bytes.data(), bytes.size());
            (void)!::read(fd, request, sizeof request);  // EndTransfer, or the close
            ::close(fd);
        });
    }
    ~HeldFileServer() {
        released = true;
        ::shutdown(listening, SHUT_RDWR);
        thread.join();
        ::close(listening);
    }
    int port = 0;
    int listening = -1;
    std::atomic<bool> released{false};
    std::thread thread;
};

// An answer of the update server that comes during a download rewrites the offer, not what
// the download asked for: a file named as that answer is not opened in place of the one asked.
TEST(UpdateServerWindow, AnOfferRewrittenDuringADownloadDoesNotChooseWhatIsOpened) {
    ServerRig s("upd-rewritten");
    ASSERT_TRUE(s.ok);
    s.FakeOpener("exit 0");
    HeldFileServer files("file#C:\\srv\\Zentor_v1.0.2.exe#3000#", 3000);
    s.env.Set("ZENTOR_FILE_HOST", ("127.0.0.1:" + std::to_string(files.port)).c_str());
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    testsupport::Click(Form1->Button29->GetWidget());
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_Download.FileName() == "Zentor_v1.0.2.exe"; }));
    s.sim.SetToolReply("Zentor_v1.0.2.exe");
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(s.AwaitQuery(2));
    ASSERT_EQ(Form1->Label429->GetCaption(), "Zentor_v1.0.2.exe");
    files.released = true;
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/";
    ASSERT_TRUE(testsupport::WaitUntil([] { return ServerRig::Message().find("Zentor_v1.0.2.exe") != std::string::npos; }));
    EXPECT_EQ(ServerRig::Message(), ForeignDownloadText("Zentor_v1.0.2.exe", "Zentor_v1.0.1.exe", folder));
    testsupport::Pump(50);
    EXPECT_EQ(s.Opened(), "");
}

// An offered name of 320 characters is saved under one the file system takes, and the user
// is told which; a failure to save says why, in the window's language.
TEST(UpdateServerWindow, ALongNameIsSavedShortenedAndTold) {
    ServerRig s("upd-long-name");
    ASSERT_TRUE(s.ok);
    const std::string lang = g_LangFilePath;
    g_LangFilePath = testsupport::ShippedLangFile();
    std::string offered = "Zentor_v1.0.1_";
    for (int i = 0; i < 302; ++i) offered += "я";
    offered += ".exe";
    const std::string wire = Utf8ToCp1251(offered), saved = DownloadSaveName(offered);
    ASSERT_EQ(wire.size(), 320u);
    s.sim.SetToolReply(wire);
    s.sim.AddFile(wire, {'n', 'e', 'w'});
    Form1->UiRadioGroup1->SetItemIndex(0);
    ASSERT_TRUE(s.AcceptToolOffer());
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/";
    EXPECT_EQ(ServerRig::Message(), "Имя файла слишком длинное для файловой системы, файл сохранён под именем " + saved +
                                        "\nФайл " + saved + " сохранен в папку " + folder);
    const std::map<std::string, std::vector<std::uint8_t>> held = {{saved, {'n', 'e', 'w'}}};
    EXPECT_EQ(DownloadsHeld(s.appData), held);

    SetSafeFileReadOnlyFolderForTests(folder.substr(0, folder.size() - 1));
    ASSERT_TRUE(s.AcceptToolOffer());
    SetSafeFileReadOnlyFolderForTests("");
    EXPECT_EQ(ServerRig::Message(), "Файл не сохранён: " + folder + saved + " (Файловая система доступна только для чтения)");
    g_LangFilePath = lang;
}

// The system's reason for a file that cannot be saved is told in Russian in the Russian window.
TEST(UpdateServerWindow, ASaveThatFailsSaysWhyInTheWindowsLanguage) {
    ServerRig s("upd-reasons");
    ASSERT_TRUE(s.ok);
    s.rig.Speak("russian");
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    s.sim.AddFile("Zentor_v1.0.1.exe", {'n', 'e', 'w'});
    Form1->UiRadioGroup1->SetItemIndex(0);
    const std::string folder = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads";
    const std::pair<int, std::string> reasons[] = {
        {ENXIO, "Нет такого устройства или адреса"}, {ENODEV, "Нет такого устройства"},
        {ETXTBSY, "Исполняемый файл занят"}, {ESTALE, "Устаревший дескриптор файла"},
        {EOVERFLOW, "Значение слишком велико для этого типа данных"}, {EXDEV, "Неверная ссылка между устройствами"}};
    for (const auto& [error, russian] : reasons) {
        SetSafeFileFailingFolderForTests(folder, error);
        ASSERT_TRUE(s.AcceptToolOffer());
        EXPECT_EQ(ServerRig::Message(), "Файл не сохранён: " + folder + "/Zentor_v1.0.1.exe (" + russian + ")");
    }
    SetSafeFileFailingFolderForTests("", 0);
}

// A name with a line break, a tab or another control character is refused at the header.
TEST(UpdateServerWindow, ControlCharactersInTheNameAreRefused) {
    ServerRig s("upd-control");
    ASSERT_TRUE(s.ok);
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    s.sim.AddFile("Zentor_v1.0.1.exe", std::vector<std::uint8_t>(100, 1), "C:\\srv\\Zentor\n\tv1.0.1.exe");
    Form1->UiRadioGroup1->SetItemIndex(0);
    ASSERT_TRUE(s.AcceptToolOffer());
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(13));
    // So is a header longer than 4096 bytes, whether it comes in one read or several.
    s.sim.AddFile("Zentor_v1.0.1.exe", {'n', 'e', 'w'}, std::string(4096, 'x') + "\\Zentor_v1.0.1.exe");
    for (const std::size_t piece : {0, 1000}) {
        s.sim.SetHeaderPieceSize(piece);
        Form1->MESLABEL->SetCaption("");
        ASSERT_TRUE(s.AcceptToolOffer());
        EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(13)) << piece;
    }
    EXPECT_TRUE(DownloadsHeld(s.appData).empty());
}

// An offer that comes while a message is shown leaves the message's button within reach.
TEST(UpdateServerWindow, AnOfferLeavesAMessageShownWithinReach) {
    ServerRig s("upd-over-message");
    ASSERT_TRUE(s.ok);
    Form1->Show();  // the panels where the window places them
    Form1->MessageShow("Сообщение");
    s.sim.SetToolReply("Zentor_v1.0.1.exe");
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    realinput::ClickThroughWindow(Form1->OKMES->GetWidget());
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    EXPECT_TRUE(Form1->Panel32->GetVisible());
}

TEST(UpdateServerWindow, NoOfferForTheSameOrAnOlderVersion) {
    ServerRig s("upd-same");
    ASSERT_TRUE(s.ok);
    s.sim.SetToolReply("Zentor_v1.0.0.exe");
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(s.AwaitQuery(1));
    testsupport::Pump(50);
    EXPECT_FALSE(Form1->Panel32->GetVisible());

    // The firmware query names the device's type; on the firmware page "no newer" is said.
    Form1->Lfw->SetCaption("FW: 37.0001.0002");
    s.sim.SetFirmwareReply("fw293.bin");  // 293 & 0xFF = 37
    Form1->SelectPage(2);
    Form1->GetfirmwareClick(Form1->Getfirmware);
    ASSERT_TRUE(s.AwaitQuery(2));
    ASSERT_TRUE(testsupport::WaitUntil([] { return Form1->MESPANEL->GetVisible(); }));
    EXPECT_EQ(s.sim.Queries().back(), "Get_FW,type=11");
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(40));
    EXPECT_FALSE(Form1->Panel32->GetVisible());
}

TEST(UpdateServerWindow, OfflineAsksNothing) {
    ServerRig s("upd-offline");
    ASSERT_TRUE(s.ok);
    setenv("ZENTOR_ONLINE", "0", 1);
    Form1->GetConfiguratorVersionFromServer();
    Form1->GetfirmwareClick(Form1->Getfirmware);
    EXPECT_FALSE(Form1->GetFWClient->GetActive());
    testsupport::Pump(100);
    EXPECT_TRUE(s.sim.Queries().empty());
}

TEST(UpdateServerWindow, MissingFileOnTheFileServer) {
    ServerRig s("upd-missing");
    ASSERT_TRUE(s.ok);
    s.sim.SetToolReply("Zentor_v2.0.0.exe");  // offered, but the file server has no such file
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    Form1->Button29Click(Form1->Button29);
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }));
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(60));
}

// A firmware offer with no device on the cable goes to the status page's update button.
TEST(UpdateServerWindow, FirmwareOfferWithoutADeviceDownloadsNothing) {
    ServerRig s("upd-nodevice");
    ASSERT_TRUE(s.ok);
    s.sim.SetFirmwareReply("fw40.bin");
    s.sim.AddFile("fw40.bin", fwtest::MakeImage(16));
    Form1->Lfw->SetCaption("FW: 39.0001.0002");
    Form1->SelectPage(1);
    Form1->GetfirmwareClick(Form1->Getfirmware);
    ASSERT_TRUE(ServerRig::OfferShown());
    EXPECT_EQ(s.sim.Queries(), std::vector<std::string>{"Get_FW,type=11"});
    Form1->Button29Click(Form1->Button29);
    EXPECT_FALSE(Form1->Panel32->GetVisible());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 2);
    EXPECT_FALSE(Form1->FilesClient->GetActive());
    testsupport::Pump(100);
    EXPECT_TRUE(s.sim.FileRequests().empty());
}

// A Downloads folder that cannot be made is reported; the file server's refusal too.
TEST(UpdateServerWindow, UnsavedDownloadAndRefusedFileServer) {
    ServerRig s("upd-unsaved");
    ASSERT_TRUE(s.ok);
    fwtest::WriteFile(s.rig.Path("plainfile"), {1});
    setenv("AppData", s.rig.Path("plainfile").c_str(), 1);  // a file where the folder should be
    s.sim.SetToolReply("Zentor_v3.0.0.exe");
    s.sim.AddFile("Zentor_v3.0.0.exe", {1, 2, 3});
    s.FakeOpener("exit 0");
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(ServerRig::OfferShown());
    Form1->Button29Click(Form1->Button29);  // download and run
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel32->GetVisible(); }));
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(96) + " " + s.rig.Path("plainfile") +
                                        "/TALIVEX/TALIVEX Zentor/Downloads/Zentor_v3.0.0.exe (Это не каталог)");
    EXPECT_EQ(s.Opened(), "");  // nothing unsaved is opened

    const int port = s.sim.FilePort();
    s.sim.Stop();
    setenv("ZENTOR_FILE_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    Form1->OKMESClick(Form1->OKMES);
    Form1->Button29Click(Form1->Button29);
    EXPECT_EQ(Form1->Label431->GetCaption(), Form1->GetMessageA(46));
    ASSERT_TRUE(testsupport::WaitUntil([] { return Form1->MESPANEL->GetVisible(); }));
    EXPECT_EQ(ServerRig::Message(), "Error download server 10061");
}

// A server that never answers is closed on the tenth one-second tick.
TEST(UpdateServerWindow, SilentServerClosedAfterTenSeconds) {
    ServerRig s("upd-silent");
    ASSERT_TRUE(s.ok);
    s.sim.SetToolReply("");
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !s.sim.Queries().empty(); }));
    EXPECT_EQ(g_UpdServerTimeout.Left(), 10);
    sys::AdvanceMs(9000);
    EXPECT_TRUE(Form1->GetFWClient->GetActive());
    sys::AdvanceMs(1000);
    EXPECT_FALSE(Form1->GetFWClient->GetActive());
    EXPECT_EQ(g_UpdServerTimeout.Left(), 0);
    EXPECT_FALSE(Form1->Panel32->GetVisible());
}

TEST(UpdateServerWindow, RefusedConnectionReportsItsCode) {
    ServerRig s("upd-refused");
    ASSERT_TRUE(s.ok);
    const int port = s.sim.UpdatePort();
    s.sim.Stop();  // nothing listens there now
    setenv("ZENTOR_UPDATE_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    Form1->GetConfiguratorVersionFromServer();
    ASSERT_TRUE(testsupport::WaitUntil([] { return Form1->MESPANEL->GetVisible(); }));
    EXPECT_EQ(ServerRig::Message(), "Update Server Error: 10061");
    EXPECT_EQ(g_UpdServerTimeout.Left(), 0);
}

// A firmware offer with the device on the cable: downloaded, opened and flashed.
TEST(UpdateServerWindow, FirmwareDownloadedAndFlashed) {
    ServerRig s("upd-flash");
    ASSERT_TRUE(s.ok);
    SimPort& device = s.rig.AddController("dev");
    ASSERT_TRUE(device.started);
    device.model->SetIdentity({false, 0x13, 0x0B, 0});
    s.rig.ListPorts({"!dev"});
    ASSERT_TRUE(s.rig.ConnectTo(device));
    ASSERT_TRUE(g_BootloaderMode);

    const fwtest::Image image = fwtest::MakeImage(2048, 0x0B, 38);
    s.sim.SetFirmwareReply("fw38.bin");
    s.sim.AddFile("fw38.bin", image, "C:\\srv\\img\\fw38.bin");
    Form1->Lfw->SetCaption("FW: 37.0001.0002");
    Form1->GetfirmwareClick(Form1->Getfirmware);
    ASSERT_TRUE(ServerRig::OfferShown());
    EXPECT_EQ(Form1->Label430->Tag, 1);
    Form1->Button29Click(Form1->Button29);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, 0x10, 1));
    const std::string saved = s.appData + "/TALIVEX/TALIVEX Zentor/Downloads/fw38.bin";
    EXPECT_EQ(fwtest::ReadFile(saved), image);
    EXPECT_FALSE(Form1->Panel32->GetVisible());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 2);
    EXPECT_EQ(Form1->Firmware_name->GetText(), saved);
    EXPECT_EQ(Form1->FWVer->GetCaption(), "Firmware version: 38");
    EXPECT_EQ(ServerRig::Message(), Form1->GetMessageA(37));
    EXPECT_EQ(g_FlashActive, 1);
}

}  // namespace
