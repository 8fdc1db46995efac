// The built tool run as a desktop runs it, off-screen with a home folder of the test's own:
// ended by the signals of a logout, a closed terminal and Ctrl+C (also with its output piped
// to a reader that went with the terminal, and started under nohup), killed while it writes
// its settings, refused its home folder, and cleaning up after a killed run at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The settings folder under a home without AppData or XDG_CONFIG_HOME.
std::string SettingsFolderIn(const std::string& home) { return home + "/.config/TALIVEX/TALIVEX Zentor"; }

// The signals of a process that /proc lists under key ("SigCgt:" caught, "SigIgn:" ignored).
unsigned long long Signals(pid_t pid, const char* key) {
    const std::string text = testsupport::ReadFileText("/proc/" + std::to_string(pid) + "/status");
    const auto at = text.find(key);
    return at == std::string::npos ? 0 : std::stoull(text.substr(at + std::strlen(key)), nullptr, 16);
}
constexpr unsigned long long Bit(int sig) { return 1ULL << (sig - 1); }

// The tool started in the home folder, reaching out to nothing, once it handles the end
// signals it was not started ignoring (before that, one would kill it on the spot); null when
// it never comes to. prefix runs it through another program (setpriv, prlimit, nohup); env
// ("NAME=value") replaces its off-screen environment's values.
std::unique_ptr<testsupport::TChildProcess> StartTool(const std::string& home, std::vector<std::string> prefix = {},
                                                      const std::vector<std::string>& env = {}) {
    prefix.push_back(ZENTOR_EXE);
    std::vector<std::string> vars = {"HOME=" + home,          "AppData=",         "XDG_CONFIG_HOME=",
                                     "QT_QPA_PLATFORM=offscreen", "ZENTOR_NEWS_URL=about:blank", "ZENTOR_ONLINE=0",
                                     "ZENTOR_PORTS="};
    for (const std::string& v : env) {
        const auto same = [&](const std::string& d) { return d.substr(0, d.find('=')) == v.substr(0, v.find('=')); };
        std::erase_if(vars, same);
        vars.push_back(v);
    }
    auto tool = std::make_unique<testsupport::TChildProcess>(prefix, vars);
    const bool ready = tool->Pid() > 0 && testsupport::WaitUntil(
        [&] {
            const unsigned long long handled = Signals(tool->Pid(), "SigCgt:") | Signals(tool->Pid(), "SigIgn:");
            return std::all_of(std::begin(kEndSignals), std::end(kEndSignals),
                               [&](int sig) { return (handled & Bit(sig)) != 0; });
        },
        20000);
    if (!ready) return nullptr;
    return tool;
}

// A home folder the tool cannot write (its settings' close then says why on its standard
// error), and what runs it there: tests may run as root, whom file modes do not stop, and the
// tool then runs without the powers that pass over them.
std::vector<std::string> ReadOnlyHome(const std::string& home) {
    fs::permissions(home, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    if (::geteuid() != 0) return {};
    return {"/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"};
}

// The settings file, its lines ended by "\n".
std::string SettingsOf(const std::string& home) {
    std::string text = testsupport::ReadFileText(SettingsFolderIn(home) + "/config.ini");
    std::erase(text, '\r');
    return text;
}

TEST(ToolProcess, EndSignalsCloseTheWindowWhichSavesTheSettings) {
    for (int sig : kEndSignals) {
        const std::string home = testsupport::TempDir("tool-signal-" + std::to_string(sig));
        const auto tool = StartTool(home);
        ASSERT_TRUE(tool);
        ASSERT_EQ(::kill(tool->Pid(), sig), 0);
        EXPECT_EQ(tool->Wait(20000), 0) << "signal " << sig;
        EXPECT_NE(SettingsOf(home).find("[Settings]\nLanguage=russian\nComPort=COM1\n"), std::string::npos)
            << "signal " << sig << ": " << SettingsOf(home);
    }
}

// At start the tool removes in its own folders only the temporaries it marked and no running
// writer holds; the user's own hidden files stay as they were, whatever their names.
TEST(ToolProcess, StartRemovesOnlyItsOwnUnheldLeftovers) {
    const std::string home = testsupport::TempDir("tool-leftovers");
    const std::string settings = SettingsFolderIn(home), downloads = settings + "/Downloads";
    fs::create_directories(downloads);
    std::map<std::string, std::string> users;
    for (const std::string& folder : {settings, downloads})
        for (const char* name : {".notes.backup", ".config.ini.backup", ".report.pdf.edited"}) {
            users[folder + "/" + name] = folder + name + std::string("\0\r\n\xFF", 4);
            std::ofstream(folder + "/" + name, std::ios::binary) << users[folder + "/" + name];
        }
    const std::vector<std::string> left = {settings + "/.config.ini.zentor-Ab12Cd", downloads + "/.fw.bin.zentor-Qq11Rr"};
    for (const std::string& path : left) std::ofstream(path) << "left by a killed run";
    // Another running copy of the tool still writes this one.
    const std::string held = downloads + "/.zentor.deb.zentor-Xy34Zw";
    std::ofstream(held) << "being downloaded";
    const int lock = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);

    const auto tool = StartTool(home);
    ASSERT_TRUE(tool);
    ASSERT_EQ(::kill(tool->Pid(), SIGTERM), 0);
    EXPECT_EQ(tool->Wait(20000), 0);
    ::close(lock);
    for (const auto& [path, bytes] : users) EXPECT_EQ(testsupport::ReadFileText(path), bytes) << path;
    for (const std::string& path : left) EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(testsupport::ReadFileText(held), "being downloaded");
}

// A run killed in the middle of the settings' write (a logout's SIGTERM, then the session
// manager's SIGKILL) leaves the old file whole. The kernel ends it inside the write, at the
// byte the file-size limit sets (SIGXFSZ), as a kill coming then would.
TEST(ToolProcess, KilledWhileWritingTheSettingsLeavesTheOldFileWhole) {
    const std::string home = testsupport::TempDir("tool-killed");
    const std::string folder = SettingsFolderIn(home);
    fs::create_directories(folder);
    std::string old = "[Passes]\n";
    for (long imei = 860000000000000; old.size() < 65536; ++imei) old += std::to_string(imei) + "=1234\n";
    std::ofstream(folder + "/config.ini", std::ios::binary) << old;
    const auto tool = StartTool(home, {"/usr/bin/prlimit", "--fsize=16384", "--core=0", "--"});
    ASSERT_TRUE(tool);
    ASSERT_EQ(::kill(tool->Pid(), SIGTERM), 0);
    EXPECT_EQ(tool->Wait(20000), 128 + SIGXFSZ);
    EXPECT_TRUE(testsupport::ReadFileText(folder + "/config.ini") == old) << "the old settings file was changed";
    std::size_t partial = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind(".config.ini.zentor-", 0) == 0) partial = fs::file_size(e.path());
    EXPECT_EQ(partial, 16384u);  // where the write was cut
}

// With a home that cannot be written and no settings folder yet, the close tells why the
// folder could not be made.
TEST(ToolProcess, AHomeThatCannotBeWrittenIsToldWithItsReason) {
    const std::string home = testsupport::TempDir("tool-readonly-home");
    const auto tool = StartTool(home, ReadOnlyHome(home));
    ASSERT_TRUE(tool);
    ASSERT_EQ(::kill(tool->Pid(), SIGTERM), 0);
    const std::string told =
        "zentor: Unable to write to " + SettingsFolderIn(home) + "/config.ini: Permission denied";
    std::string line, said;
    while (line != told && tool->ReadLine(line, 20000)) said += line + "\n";
    EXPECT_EQ(line, told) << said;
    EXPECT_EQ(tool->Wait(20000), 0);
    fs::permissions(home, fs::perms::owner_write, fs::perm_options::add);
}

// zentor 2>&1 | tee log, and the terminal closes: tee goes with it, and what the close then
// writes (here: why the settings could not be written) meets a pipe nobody reads. The write
// fails; the run still ends as a closed terminal ends it.
TEST(ToolProcess, AClosedTerminalsPipeWithoutReaderIsNoKill) {
    const std::string home = testsupport::TempDir("tool-broken-pipe");
    const auto tool = StartTool(home, ReadOnlyHome(home));
    ASSERT_TRUE(tool);
    tool->CloseOutput();
    ASSERT_EQ(::kill(tool->Pid(), SIGHUP), 0);
    EXPECT_EQ(tool->Wait(20000), 0);  // not 128 + SIGPIPE
    fs::permissions(home, fs::perms::owner_write, fs::perm_options::add);
}

// Started under nohup, with SIGHUP ignored, the run keeps ignoring it, so that its terminal
// closing leaves it running; the other end signals still close it.
TEST(ToolProcess, ARunStartedUnderNohupKeepsIgnoringItsTerminalsHangUp) {
    const std::string home = testsupport::TempDir("tool-nohup");
    const auto tool = StartTool(home, {"/usr/bin/nohup"});
    ASSERT_TRUE(tool);
    EXPECT_NE(Signals(tool->Pid(), "SigIgn:") & Bit(SIGHUP), 0u);
    EXPECT_EQ(Signals(tool->Pid(), "SigCgt:") & Bit(SIGHUP), 0u);
    ASSERT_EQ(::kill(tool->Pid(), SIGTERM), 0);
    EXPECT_EQ(tool->Wait(20000), 0);
}

// In a Wayland session (here weston's headless compositor) whose display is the only one the
// tool is given, it starts on Wayland itself (qt6-wayland), and closes as it does on X.
TEST(ToolProcess, StartsAndClosesInAWaylandSession) {
    const std::string home = testsupport::TempDir("tool-wayland"), runtime = testsupport::TempDir("tool-wayland-run");
    fs::permissions(runtime, fs::perms::owner_all);
    const std::string log = runtime + "/weston.log";
    testsupport::TChildProcess weston({"/usr/bin/weston", "--backend=headless-backend.so", "--socket=zentor-test",
                                       "--shell=kiosk-shell.so", "--idle-time=0", "--no-config", "--log=" + log},
                                      {"XDG_RUNTIME_DIR=" + runtime});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return fs::exists(runtime + "/zentor-test"); }, 20000))
        << testsupport::ReadFileText(log);
    const auto tool = StartTool(home, {}, {"XDG_RUNTIME_DIR=" + runtime, "WAYLAND_DISPLAY=zentor-test", "DISPLAY=",
                                           "QT_QPA_PLATFORM="});
    ASSERT_TRUE(tool) << testsupport::ReadFileText(log);
    ASSERT_EQ(::kill(tool->Pid(), SIGTERM), 0);
    EXPECT_EQ(tool->Wait(20000), 0);
    EXPECT_NE(SettingsOf(home).find("[Settings]\nLanguage=russian\n"), std::string::npos) << SettingsOf(home);
}

}  // namespace
