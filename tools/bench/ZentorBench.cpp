// zentor_bench: the tool's speed and memory, each figure printed beside its target.
//   zentor_bench [--numbers N] [--events M] [--rounds R] [--slow S] [--devsim PATH] [--no-link]
// Runs the main window off-screen against devsim (a process of its own, answering at once):
// start-up, how often the idle tool wakes with nothing connected and with a listed port that
// has no device behind it, the number grid's own operations at N rows, a 65535-number
// configuration file, the action log's bytes a line and a change of its width at 200,000
// lines, a desk reader's burst of tags recorded to a file, then, logged in to a controller on
// the cable, how often the idle tool wakes, a whole read and write of N numbers and R
// configuration round trips, then a read and a write of S numbers on slow links: a
// 19200-baud cable, and a controller dialled in to the local configuration server at GPRS
// pace; last a cloud session with cloudsim (a process of its own) left open: how often the
// idle tool wakes and what 3000 lines of status requests add to its memory (the links left
// out with --no-link, the slow ones with --slow 0).
// It asserts nothing; run it through scripts/bench.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/Unit1.h"
#include "cloud/CloudSession.h"
#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "config/ConfigTransfer.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "memory/MemoryState.h"
#include "memory/NumberGridSort.h"
#include "memory/PhoneBase.h"
#include "rfid/TagCapture.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Dialogs.h"
#include "tools/bench/BenchProbe.h"
#include "tools/bench/BenchReport.h"
#include "tools/bench/BenchSim.h"
#include "tools/devsim/DevSim.h"
#include "tools/devsim/SampleContent.h"
#include "tools/readersim/HidReaderSim.h"

void SortGridByColumn(TStringGrid* grid, int column, bool numeric = false);

namespace {

using namespace bench;

// On the fast link a reply is taken as its last byte comes: the floor of a block is the
// controller's own reply time (devsim answers at once), the rest is the tool's and the line's.
constexpr double kBlockMs = 4;
constexpr double kRoundTripMs = 5;  // a configuration read or write, from the button to the page
// The tool's CPU per block, on any link.
constexpr double kBlockCpuMs = 4;
// Idle: a few seconds of the tool's own event loop; in a cloud session two status requests.
constexpr double kIdleMs = 5000;
constexpr double kCloudIdleMs = 10000;
constexpr int kCableBlock = 31;
constexpr unsigned kSlowBaud = 19200;
// Frame bytes besides the data: "SLMX", length, marker, command, CRC.
constexpr double kFrameBytes = 10;
constexpr std::size_t kFileNumbers = 65535;
// The GUI thread on a slow line: woken by a reply's pieces a few times a block, not by each.
constexpr double kSlowGuiWakeups = 50;
constexpr int kRepeats = 5;

struct TOptions {
    std::size_t Numbers = 15000;
    std::size_t Events = 300;
    int Rounds = 20;
    std::size_t Slow = 300;
    bool Link = true;
    std::string Devsim, Cloudsim;
};

std::vector<PhoneRecord> Records(const std::vector<devsim::Bytes>& sample) {
    std::vector<PhoneRecord> out(sample.size());
    for (std::size_t i = 0; i < sample.size(); ++i) std::copy_n(sample[i].begin(), kPhoneRecordSize, out[i].Bytes.begin());
    return out;
}

// The median wall time of fn over kRepeats runs; before() runs untimed ahead of each.
template <class Before, class Fn>
double MedianMs(Before before, Fn fn) {
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i) {
        before();
        const double t = WallMs();
        fn();
        ServePending();  // the repaint that follows belongs to the figure
        times.push_back(WallMs() - t);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void ShowNumbers(const std::vector<PhoneRecord>& records) {
    SetPhoneRecords(records);
    Form1->PhoneStructToGrid();
    SetPhoneRecords({});
}

void GridFigures(TReport& report, const TOptions& o, const std::string& dir) {
    const std::vector<PhoneRecord> base = Records(devsim::SampleNumbers(o.Numbers));
    const std::string n = std::to_string(o.Numbers);
    Form1->SelectPage(5);
    ServePending();

    report.Ms("grid fill, " + n + " records", MedianMs([] { Form1->ClearTableClick(nullptr); },
                                                       [&] { ShowNumbers(base); }),
              30);

    // What a number write and a configuration write start with.
    report.Ms("grid to records, " + n + " rows", MedianMs([] {}, [] { Form1->PhoneGridToStruct(); }), 30, true);
    SetPhoneRecords({});

    const std::string csv = dir + "/numbers.csv";
    report.Ms("CSV export, " + n + " rows", MedianMs([&] { ui::test::PushFileAnswer(csv); },
                                                     [] { Form1->UiButton4->Click(); }),
              50, true);
    report.Ms("CSV import, " + n + " lines", MedianMs([&] {
                  Form1->ClearTableClick(nullptr);
                  ui::test::PushFileAnswer(csv);
              }, [] { Form1->UiButton3->Click(); }),
              50);
    report.Ms("sort by name, " + n + " rows", MedianMs([] {}, [] { SortGridByColumn(Form1->PhonesGrid, colName); }),
              100, true);
    report.Ms("keyword search, " + n + " rows", MedianMs([] { Form1->N8Click(nullptr); },
                                                         [] { Form1->FindInTableKeyWord("Смирнова"); }),
              100, true);
    Form1->N8Click(nullptr);

    // A configuration file holding the largest base a file can.
    const std::string fcg = dir + "/large.fcg";
    SaveConfigFile(fcg, g_ConfigRecord, Records(devsim::SampleNumbers(kFileNumbers)));
    report.Ms(".fcg open, " + std::to_string(kFileNumbers) + " numbers",
              MedianMs([] { Form1->ClearTableClick(nullptr); }, [&] { Form1->OpenFromFile(fcg); }), 300);
    Form1->ClearTableClick(nullptr);
    ServePending();
}

// The action log of a cloud session left open: a status request and its reply every few
// seconds, all day; the log is never cleared. Heap bytes a line holds once shown.
void ActionLogFigures(TReport& report) {
    constexpr int kPairs = 10000;
    ServePending();
    const double before = HeapBytes();
    for (int i = 0; i < kPairs; ++i) {
        Form1->MiniLog("Запрос статуса", 0);
        Form1->MiniLog("Ответ на запрос статуса", 1);  // "<< " and 23 characters: 26
        if (i % 100 == 0) ServePending();
    }
    ServePending();
    report.Bytes("action-log bytes a line (26 characters)", (HeapBytes() - before) / (2 * kPairs), 350);
}

// A day and more of an open cloud session in the log, then its width changed by 20 px and
// back: the window's pause, its repaint included. The log is emptied afterwards.
void ActionLogResizeFigures(TReport& report) {
    constexpr int kLines = 200000;
    TStrings* lines = Form1->MiniLOG->GetLines();
    for (int i = lines->GetCount(); i < kLines; ++i)
        lines->Add(i % 3 == 0 ? "" : i % 3 == 1 ? "Запрос статуса" : "<< Ответ на запрос статуса");
    Form1->MiniLOG->ScrollToEnd();
    ServePending();
    const int width = Form1->MiniLOG->GetWidth();
    bool wide = false;
    report.Ms("action log, 200000 lines: width changed by 20 px", MedianMs([] {}, [&] {
                  wide = !wide;
                  Form1->MiniLOG->SetWidth(wide ? width + 20 : width);
              }),
              50);
    Form1->MiniLOG->SetWidth(width);
    lines->Clear();
    ServePending();
}

// A desk reader on USB reports one burst of 3640 tags, then 2000 reports of one tag back to
// back, while a recording runs: the GUI thread's longest pause, its answer being the window's.
void TagBurstFigures(TReport& report, const std::string& dir) {
    constexpr std::size_t kOneReport = 3640, kReports = 2000;
    readersim::THidReaderSim reader(dir + "/reader.sock");
    const bool started = reader.Start();
    setenv("ZENTOR_HID_READER", reader.Path().c_str(), 1);
    Form1->COMUSBSELECT->SetItemIndex(1);
    Form1->COMUSBSELECTClick(Form1->COMUSBSELECT);
    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    ui::test::PushFileAnswer(dir + "/tags.txt");
    Form1->StartRFIDRecClick(Form1->StartRFIDRec);
    if (!started || !ServeUntil([&] { return reader.Connected(); }, 5000)) {
        report.Failed("no simulated desk reader");
        return;
    }
    std::vector<TTid> tags(kOneReport + kReports);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        tags[i][10] = static_cast<std::uint8_t>(i >> 8);
        tags[i][11] = static_cast<std::uint8_t>(i);
    }
    const std::string done = TagCountText(static_cast<std::int32_t>(tags.size()));
    TGuiPauseProbe pauses;
    std::thread send([&] {
        reader.SendTags(std::vector<TTid>(tags.begin(), tags.begin() + kOneReport));
        for (std::size_t i = kOneReport; i < tags.size(); ++i) reader.SendTags({tags[i]});
    });
    const bool recorded = ServeUntil([&] { return Form1->RFIDSCOUNT->GetCaption() == done; }, 60000);
    send.join();
    if (recorded)
        report.Pause("desk reader burst (3640 tags, then 2000 reports): longest GUI pause", pauses.LongestMs(),
                     pauses.LongestCpuMs(), pauses.LongestAtMs(), 500);
    else
        report.Failed("desk reader burst: not every tag recorded");
    Form1->StopRFIDRecClick(nullptr);
    Form1->RFIDReaderDisConnectClick(nullptr);
}

bool Connect() {
    if (!ServeUntil([] { return g_DeviceConnected; }, 15000)) return false;
    Form1->SelectPage(4);
    Form1->USBPASS->SetText("1234");
    Form1->Button5->Click();
    return ServeUntil([] { return g_AccessLevel != 0; }, 5000);
}

// Runs a transfer from start() until done(): its wall time, or -1 when it did not end. The
// button's work runs from the event loop, as a click's does.
double TimedTransfer(const std::function<void()>& start, const std::function<bool()>& done) {
    const double wall = WallMs();
    bool started = false;
    sys::PostToGuiThread([&] {
        start();
        started = true;
    });
    if (!ServeUntil([&] { return started && done(); }, 600000)) return -1;
    return WallMs() - wall;
}

// A whole transfer of the base: wall time against its floor, CPU per block, the GUI thread's
// longest pause (the button's work counts as one).
void TransferFigures(TReport& report, const std::string& what, std::size_t blocks, const std::function<void()>& start,
                     const std::function<bool()>& done) {
    TGuiPauseProbe pauses;
    const double cpu = CpuMs();
    const double wall = TimedTransfer(start, done);
    if (wall < 0) {
        report.Failed(what + ": did not end");
        return;
    }
    TSpan span{wall, CpuMs() - cpu};
    report.Ms(what + ": time a block (" + std::to_string(blocks) + " blocks)", span.Wall / static_cast<double>(blocks),
              kBlockMs);
    report.Ms(what + ": CPU of the tool per block", span.Cpu / static_cast<double>(blocks), kBlockCpuMs);
    report.Pause(what + ": longest GUI pause", pauses.LongestMs(), pauses.LongestCpuMs(), pauses.LongestAtMs(), 50);
}

void LinkFigures(TReport& report, const TOptions& o) {
    Form1->SelectPage(5);
    ServePending();
    const std::size_t blocks = (o.Numbers + kCableBlock - 1) / kCableBlock;
    const auto rows = static_cast<int>(o.Numbers) + 2;
    TransferFigures(report, std::to_string(o.Numbers) + "-number read", blocks + 1,
                    [] { Form1->UiButton5->Click(); },
                    [rows] { return !g_PhoneRead.Reading() && Form1->PhonesGrid->GetRowCount() == rows; });
    report.MiB("resident memory, " + std::to_string(o.Numbers) + " numbers loaded", ResidentMiB(), 200, true);

    // Its blocks, then the end and the count that confirms it.
    TransferFigures(report, std::to_string(o.Numbers) + "-number write", blocks + 1,
                    [] {
                        ui::test::PushDialogAnswer(IDYES);
                        Form1->UiButton6->Click();
                    },
                    [] { return !g_PhoneWrite.Writing(); });

    // Configuration round trips: from the button to the page filled and painted.
    std::vector<double> reads, writes;
    for (int i = 0; i < o.Rounds; ++i) {
        Form1->SelectPage(4);
        ServePending();
        double t = WallMs();
        Form1->Bsetting->Click();
        if (!ServeUntil([] { return Form1->UiPageControl1->GetActivePageIndex() == kSettingsPage &&
                                    !Form1->MESPANEL->GetVisible(); }, 5000))
            break;
        reads.push_back(WallMs() - t);
        Form1->MESLABEL->SetCaption("");
        ServePending();
        t = WallMs();
        Form1->Button6->Click();
        if (!ServeUntil([] { return Form1->MESLABEL->GetCaption() == "Конфигурация записана"; }, 5000)) break;
        writes.push_back(WallMs() - t);
        Form1->OKMESClick(nullptr);
    }
    report.RoundTrips("configuration read", reads, kRoundTripMs);
    report.RoundTrips("configuration write", writes, kRoundTripMs);
}

// The tool left to its own event loop: how often its threads wake, and its share of a core.
void IdleFigures(TReport& report, const std::string& what, double targetWakeups, double targetPercent,
                 double ms = kIdleMs) {
    ServeUntil([] { return false; }, 1000);  // what was under way settles first
    const double wakeups = Wakeups(), cpu = CpuMs(), wall = WallMs();
    ServeUntil([] { return false; }, ms);
    const double seconds = (WallMs() - wall) / 1000;
    report.Idle(what, (Wakeups() - wakeups) / seconds, (CpuMs() - cpu) / (10 * seconds), targetWakeups, targetPercent);
}

// With the machine's own ports, as a user's laptop lists them without a controller; then the
// controller's pty is listed, before it exists.
void NothingConnected(TReport& report, const std::string& link) {
    const int ports = Form1->ENUMPORTS->GetItems()->Count();
    IdleFigures(report, "idle, nothing connected (" + std::to_string(ports) + " system ports)", 5, 0.3);
    setenv("ZENTOR_PORTS", (link + "=STMicroelectronics Virtual COM Port (bench)").c_str(), 1);
    IdleFigures(report, "idle, a listed port with no device", 5, 0.3);
}

// A session logged in to cloudsim (a process of its own, its device behind it) and left
// open: how often the idle tool wakes, then the resident memory that 1000 status requests
// add, each with its reply: 3000 lines of the log (its own bytes included).
void CloudPart(TReport& report, const TOptions& o) {
    TSimProcess cloud;
    const int port = FreePort();
    const bool listening = port > 0 && cloud.Start(o.Cloudsim, {std::to_string(port)}, "") &&
                           ServeUntil([port] { return Listening(port); }, 5000);
    setenv("ZENTOR_CLOUD_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    Form1->SelectPage(4);
    Form1->AIMEI->SetText("862000000000001");
    Form1->APASS->SetText("1234");
    Form1->Button5->SetFocus();  // as a click on it does
    Form1->Button5->Click();
    if (!listening || !ServeUntil([] { return g_CloudSession != 0; }, 10000)) {
        report.Failed("no cloud session with cloudsim (" + o.Cloudsim + ")");
        return;
    }
    ServeUntil([] { return false; }, 2000);  // the login's animation closes
    IdleFigures(report, "idle, cloud session open", 5, 0, kCloudIdleMs);

    TStrings* lines = Form1->MiniLOG->GetLines();
    const double resident = ResidentMiB(true);
    int requests = 0;
    for (; requests < 1000 && g_CloudSession; ++requests) {
        const int before = lines->GetCount();
        g_StatusPollTicks = 1;
        Form1->CloudStatusStep();
        if (!ServeUntil([&] { return lines->GetCount() >= before + 3; }, 5000)) break;
    }
    if (requests == 1000)
        report.MiB("cloud session, 3000 status lines: resident memory added", ResidentMiB(true) - resident, 1);
    else
        report.Failed("cloud session: status request " + std::to_string(requests + 1) + " unanswered");
    Form1->CloseSessionClick(nullptr);
    ServeUntil([] { return !g_CloudSession; }, 5000);
}

// devsim's controller, its login and its log, then the figures on the link.
void LinkPart(TReport& report, const TOptions& o, TSimProcess& sim, const std::string& link) {
    const std::vector<std::string> args = {"--link", link, "--pace", "0", "--no-prompt", "--numbers",
                                           std::to_string(o.Numbers), "--events", std::to_string(o.Events)};
    if (!sim.Start(o.Devsim, args, link) || !Connect()) {
        report.Failed("no simulated controller (" + o.Devsim + ")");
        return;
    }
    // The device hands over its log after the login; the figures start once it is in.
    const int logRows = static_cast<int>(o.Events) + 2;
    ServeUntil([&] { return o.Events == 0 || (!g_LogRead.Reading() && Form1->HrGrid->GetRowCount() == logRows); },
               60000);
    IdleFigures(report, "idle, logged in on the cable", 25, 0);
    LinkFigures(report, o);
}

// A read and a write of n numbers on a slow line: wall time against the time their bytes
// need on it, and block requests (repeats included) per block; the line is never idle for
// long nor asked twice for a block.
// cpuTarget: the tool's CPU a block (0: shown without a target).
void SlowFigures(TReport& report, const std::string& line, std::size_t n, unsigned baud, double cpuTarget) {
    const double blocks = static_cast<double>((n + kCableBlock - 1) / kCableBlock);
    const double msPerByte = 10000.0 / baud;
    // Requests: the count (1 data byte), blocks (3); replies: the count (3), blocks (5 + records).
    const double readBytes = kFrameBytes * (2 + 2 * blocks) + 1 + 3 + blocks * (3 + 5) + 64.0 * n;
    // Requests: blocks (5 + records), the end (1), the count that confirms it (1); replies: 2 data
    // bytes each, the count's 3.
    const double writeBytes = kFrameBytes * (2 * blocks + 4) + blocks * 5 + 64.0 * n + 1 + 1 + 2 * (blocks + 1) + 3;
    const std::string what = std::to_string(n) + "-number ";
    Form1->SelectPage(5);
    ServePending();
    const int rows = static_cast<int>(n) + 2;
    double cpu = CpuMs(), guiWakeups = ThreadWakeups();
    double ms = TimedTransfer([] { Form1->UiButton5->Click(); },
                              [rows] { return !g_PhoneRead.Running() && Form1->PhonesGrid->GetRowCount() == rows; });
    if (ms < 0) {
        report.Failed(what + "read, " + line + ": did not end");
        return;
    }
    report.Ratio(what + "read, " + line + ": wall time / line", ms, readBytes * msPerByte, 1.1);
    // The line's pieces are gathered before the window hears of them.
    report.Wakeups(what + "read, " + line + ": GUI-thread wakeups a second", (ThreadWakeups() - guiWakeups) * 1000 / ms,
                   kSlowGuiWakeups, true);
    report.PerBlock(what + "read, " + line + ": requests per block", g_PhoneRead.BlockRequests(), blocks, 1.1);
    const auto cpuFigure = [&](const std::string& figure, double cpuMs) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f ms", cpuMs);
        if (cpuTarget > 0) report.Ms(figure, cpuMs, cpuTarget);
        else report.Note(figure, text);
    };
    cpuFigure(what + "read, " + line + ": CPU of the tool per block", (CpuMs() - cpu) / blocks);
    cpu = CpuMs();
    ms = TimedTransfer([] {
        ui::test::PushDialogAnswer(IDYES);
        Form1->UiButton6->Click();
    }, [] { return !g_PhoneWrite.Writing(); });
    if (ms < 0) {
        report.Failed(what + "write, " + line + ": did not end");
        return;
    }
    report.Ratio(what + "write, " + line + ": wall time / line", ms, writeBytes * msPerByte, 1.1);
    report.PerBlock(what + "write, " + line + ": requests per block", g_PhoneWrite.BlockRequests(), blocks, 1.1);
    cpuFigure(what + "write, " + line + ": CPU of the tool per block", (CpuMs() - cpu) / blocks);
}

// The slow links: the fast controller leaves, a 19200-baud one comes on the same port; then
// it leaves too and one dials in to the local configuration server at GPRS pace.
void SlowPart(TReport& report, const TOptions& o, TSimProcess& sim, const std::string& link) {
    const std::string n = std::to_string(o.Slow);
    const auto leave = [&sim] {
        sim.Stop();
        return ServeUntil([] { return !g_DeviceConnected; }, 5000);
    };
    if (!leave() ||
        !sim.Start(o.Devsim, {"--link", link, "--pace", std::to_string(kSlowBaud), "--no-prompt", "--numbers", n}, link) ||
        !Connect()) {
        report.Failed("no controller on a 19200-baud line");
        return;
    }
    SlowFigures(report, "19200-baud cable", o.Slow, kSlowBaud, kBlockCpuMs);
    if (!leave()) {
        report.Failed("the 19200-baud controller did not leave");
        return;
    }
    Form1->RconfPort->SetText("0");
    Form1->Button1->Click();
    const std::string server = "127.0.0.1:" + std::to_string(Form1->ConfServer->GetSocket()->GetLocalPort());
    if (!Form1->ConfServer->GetActive() || !sim.Start(o.Devsim, {"--dial", server, "--no-prompt", "--numbers", n}, "") ||
        !Connect()) {
        report.Failed("no controller dialled in to the local configuration server");
        return;
    }
    // The tool's CPU on this link is shown without a target.
    SlowFigures(report, "local server at GPRS pace", o.Slow, devsim::kGprsPaceBaud, 0);
}

TOptions ParseOptions(int argc, char** argv) {
    TOptions o;
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    o.Devsim = PeerBeside(exe, "devsim");
    o.Cloudsim = PeerBeside(exe, "cloudsim");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--no-link") o.Link = false;
        else if (i + 1 == argc) break;
        else if (a == "--numbers") o.Numbers = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--events") o.Events = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--rounds") o.Rounds = std::atoi(argv[++i]);
        else if (a == "--slow") o.Slow = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--devsim") o.Devsim = argv[++i];
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const double started = WallMs();
    const TOptions o = ParseOptions(argc, argv);
    char dirTemplate[] = "/tmp/zentor-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) {
        std::perror("zentor_bench: no temporary folder");
        return 1;
    }
    const std::string dir = dirTemplate;
    const std::string link = dir + "/tty";
    // Off-screen, no network, private settings, the machine's own ports.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ZENTOR_NEWS_URL", "about:blank", 1);
    setenv("ZENTOR_ONLINE", "0", 1);
    setenv("AppData", (dir + "/appdata").c_str(), 1);
    unsetenv("ZENTOR_PORTS");
    if (!getenv("XDG_RUNTIME_DIR")) {
        const std::string runtime = dir + "/runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }

    TReport report;
    // The Qt application ends with main, before Qt's own globals go.
    TApplicationScope scope;
    Application->Initialize();
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Form1->Show();
    ServePending();
    report.Ms("start-up to first paint (from main)", WallMs() - started, 1000, true);
    ui::test::SetScripted(true);

    NothingConnected(report, link);
    GridFigures(report, o, dir);
    ActionLogFigures(report);
    ActionLogResizeFigures(report);
    TagBurstFigures(report, dir);

    TSimProcess sim;
    if (o.Link) LinkPart(report, o, sim, link);
    if (o.Link && o.Slow > 0) SlowPart(report, o, sim, link);
    if (o.Link) {
        sim.Stop();  // the cloud path is taken without a controller
        ServeUntil([] { return !g_DeviceConnected; }, 5000);
        CloudPart(report, o);
    }
    report.Print();
    sim.Stop();
    delete Form2;
    Form2 = nullptr;
    delete Form1;
    Form1 = nullptr;
    std::filesystem::remove_all(dir);
    return 0;
}
