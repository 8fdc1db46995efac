#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Hosts.h"
#include "platform/sys/HotKeys.h"
#include "platform/sys/Now.h"
#include "platform/sys/Online.h"
#include "platform/sys/Shell.h"
#include "platform/sys/Version.h"
#include "support/TestSupport.h"

namespace {

using EnvGuard = testsupport::TEnvGuard;

TEST(Folders, AppDataFollowsAppDataThenXdgThenHome) {
    EnvGuard env;
    env.Set("HOME", "/home/op");
    env.Set("AppData", "/srv/appdata/");
    env.Set("XDG_CONFIG_HOME", "/xdg/config");
    EXPECT_EQ(sys::AppDataFolder(), "/srv/appdata");
    env.Set("AppData", nullptr);
    EXPECT_EQ(sys::AppDataFolder(), "/xdg/config");
    env.Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(sys::AppDataFolder(), "/home/op/.config");
    env.Set("XDG_CONFIG_HOME", "relative/ignored");  // the XDG rule: only absolute paths count
    EXPECT_EQ(sys::AppDataFolder(), "/home/op/.config");
    EXPECT_EQ(sys::GetEnv("ZENTOR_SURELY_UNSET_VARIABLE"), "");
}

TEST(Folders, DocumentsFromUserDirsElseHomeDocuments) {
    EnvGuard env;
    std::string home = testsupport::TempDir("home");
    env.Set("HOME", home.c_str());
    env.Set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Documents");
    std::filesystem::create_directories(home + "/.config");
    {
        std::ofstream out(home + "/.config/user-dirs.dirs");
        out << "# written by xdg-user-dirs-update\n"
               "XDG_DESKTOP_DIR=\"$HOME/Рабочий стол\"\n"
               "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n";
    }
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Документы");
    // The file is looked for in XDG_CONFIG_HOME when that is set.
    std::string xdg = testsupport::TempDir("xdg");
    env.Set("XDG_CONFIG_HOME", xdg.c_str());
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Documents");
    {
        std::ofstream out(xdg + "/user-dirs.dirs");
        out << "XDG_DOCUMENTS_DIR=\"/data/docs/\"\n";
    }
    EXPECT_EQ(sys::DocumentsFolder(), "/data/docs");
}

TEST(Folders, UserDirsLinesThatNameNoFolder) {
    using sys::detail::DocumentsFromUserDirs;
    EXPECT_EQ(DocumentsFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/a \\\"b\\\"\"\n", "/h"), "/h/a \"b\"");
    EXPECT_EQ(DocumentsFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/\"", "/h"), "/h");
    EXPECT_EQ(DocumentsFromUserDirs("XDG_DOCUMENTS_DIR=\"docs\"", "/h"), "");  // relative
    EXPECT_EQ(DocumentsFromUserDirs("XDG_DOCUMENTS_DIR=$HOME/docs", "/h"), "");  // unquoted
    EXPECT_EQ(DocumentsFromUserDirs("#XDG_DOCUMENTS_DIR=\"/x\"", "/h"), "");
    EXPECT_EQ(DocumentsFromUserDirs("XDG_DOCUMENTS_DIR=\"/unterminated", "/h"), "");
    EXPECT_EQ(DocumentsFromUserDirs("", "/h"), "");
}

TEST(Folders, ExecutableAndItsVersion) {
    std::string exe = sys::ExePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(std::filesystem::exists(exe));
    EXPECT_EQ(sys::ExeFolder(), std::filesystem::path(exe).parent_path().string());
    EXPECT_NE(exe.find("test_platform_sys"), std::string::npos);
    auto v = sys::ExeVersion();
    EXPECT_EQ(sys::ExeVersionText(), std::to_string(v[0]) + "." + std::to_string(v[1]) + "." +
                                         std::to_string(v[2]) + "." + std::to_string(v[3]));
    EXPECT_GE(v[0], 1);
    EXPECT_EQ(sys::FileVersion(exe), sys::ExeVersionText());
    EXPECT_EQ(sys::FileVersion("/bin/sh"), "");
    EXPECT_EQ(sys::FileVersion("/no/such/file"), "");
}

TEST(Online, DefaultRouteInTheRoutingTable) {
    const char* header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    std::string withDefault = std::string(header) +
                              "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                              "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
    std::string localOnly = std::string(header) + "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
    std::string downDefault = std::string(header) + "eth0\t00000000\t0102A8C0\t0002\t0\t0\t100\t00000000\t0\t0\t0\n";
    EXPECT_TRUE(sys::detail::HasDefaultRoute(withDefault));
    EXPECT_FALSE(sys::detail::HasDefaultRoute(localOnly));
    EXPECT_FALSE(sys::detail::HasDefaultRoute(downDefault));
    EXPECT_FALSE(sys::detail::HasDefaultRoute(header));
    EXPECT_FALSE(sys::detail::HasDefaultRoute(""));
    EXPECT_FALSE(sys::detail::HasDefaultRoute("garbage\nmore garbage\n"));
}

TEST(Online, EnvironmentOverrides) {
    EnvGuard env;
    env.Set("ZENTOR_ONLINE", "1");
    EXPECT_TRUE(sys::IsOnline());
    env.Set("ZENTOR_ONLINE", "0");
    EXPECT_FALSE(sys::IsOnline());
}

TEST(HotKeys, RecordedNeverGrabbed) {
    int window = 0;
    EXPECT_TRUE(sys::RegisterHotKey(&window, 125, sys::MOD_ALT, 'E'));
    EXPECT_TRUE(sys::RegisterHotKey(&window, 126, sys::MOD_ALT, 'H'));
    EXPECT_TRUE(sys::RegisterHotKey(&window, 127, sys::MOD_ALT, 'S'));
    EXPECT_FALSE(sys::RegisterHotKey(&window, 128, sys::MOD_ALT, 'E'));  // combination taken
    auto keys = sys::RegisteredHotKeys();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].id, 125);
    EXPECT_EQ(keys[1].key, static_cast<unsigned>('H'));
    EXPECT_EQ(keys[2].modifiers, static_cast<unsigned>(sys::MOD_ALT));
    for (int id : {125, 126, 127}) EXPECT_TRUE(sys::UnregisterHotKey(&window, id));
    EXPECT_FALSE(sys::UnregisterHotKey(&window, 125));
    EXPECT_TRUE(sys::RegisteredHotKeys().empty());
}

// The desktop's opener gets the path as one argument; its verdict is waited for, and one
// still at work after a while is taken as showing the file.
TEST(Shell, TheOpenersVerdictIsWaitedFor) {
    EnvGuard env;
    const std::string bin = testsupport::TempDir("opener-bin");
    const auto opener = [&](const std::string& body) {
        std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s|' \"$@\" >> " << bin << "/args\n" << body << "\n";
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
    };
    env.Set("PATH", (bin + ":/usr/bin:/bin").c_str());
    sys::TShellOpener shell(nullptr);
    std::vector<std::pair<sys::TShellOutcome, int>> told;
    const auto open = [&](const std::string& path) {
        shell.Open(path, [&](sys::TShellOutcome outcome, int code) { told.emplace_back(outcome, code); });
        EXPECT_TRUE(told.empty());  // always after Open has returned
    };
    const auto verdict = [&] {
        EXPECT_TRUE(testsupport::WaitUntil([&] { return !told.empty(); }, 5000));
        return told.empty() ? std::make_pair(sys::TShellOutcome::Opened, -2) : told.back();
    };

    opener("exit 0");
    open("/home/op/Downloads/Zentor v1.5.exe");
    EXPECT_EQ(verdict(), std::make_pair(sys::TShellOutcome::Opened, 0));
    told.clear();
    opener("exit 4");
    open("-x.exe");
    EXPECT_EQ(verdict(), std::make_pair(sys::TShellOutcome::Failed, 4));
    EXPECT_EQ(testsupport::ReadFileText(bin + "/args"), "/home/op/Downloads/Zentor v1.5.exe|./-x.exe|");

    told.clear();
    opener("echo $$ > " + bin + "/pid; exec sleep 60");
    open("/home/op/Downloads/fw38.bin");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !testsupport::ReadFileText(bin + "/pid").empty(); }));
    sys::AdvanceMs(sys::kShellOpenWaitMs - 1);
    EXPECT_TRUE(told.empty());
    sys::AdvanceMs(1);
    EXPECT_EQ(verdict(), std::make_pair(sys::TShellOutcome::Opened, 0));
    kill(std::stoi(testsupport::ReadFileText(bin + "/pid")), SIGKILL);

    told.clear();
    env.Set("PATH", testsupport::TempDir("opener-none").c_str());
    open("/home/op/Downloads/fw38.bin");
    EXPECT_EQ(verdict().first, sys::TShellOutcome::CannotStart);
}

TEST(Hosts, DefaultsAndOverrides) {
    EnvGuard env;
    for (const char* v : {"ZENTOR_CLOUD_HOST", "ZENTOR_UPDATE_HOST", "ZENTOR_FILE_HOST", "ZENTOR_NEWS_URL"})
        env.Set(v, nullptr);
    EXPECT_EQ(sys::CloudServer(), (sys::THostPort{sys::kCloudServerHost, 10951}));
    EXPECT_EQ(sys::UpdateServer(), (sys::THostPort{sys::kUpdateServerHost, 10500}));
    EXPECT_EQ(sys::FileServer(), (sys::THostPort{sys::kFileServerHost, 10500}));
    EXPECT_EQ(sys::NewsUrl(), sys::kNewsUrl);
    EXPECT_NE(sys::NewsUrl().find("/news"), std::string::npos);

    env.Set("ZENTOR_CLOUD_HOST", "127.0.0.1:40001");
    env.Set("ZENTOR_UPDATE_HOST", "localhost");
    env.Set("ZENTOR_FILE_HOST", "[::1]:40003");
    env.Set("ZENTOR_NEWS_URL", "http://127.0.0.1:40004/news");
    EXPECT_EQ(sys::CloudServer(), (sys::THostPort{"127.0.0.1", 40001}));
    EXPECT_EQ(sys::UpdateServer(), (sys::THostPort{"localhost", 10500}));
    EXPECT_EQ(sys::FileServer(), (sys::THostPort{"::1", 40003}));
    EXPECT_EQ(sys::NewsUrl(), "http://127.0.0.1:40004/news");
    // The defaults written into a device do not follow the tool's own overrides.
    EXPECT_STREQ(sys::kDeviceServerHost, "cloud.talivex.example");
    EXPECT_EQ(sys::kDeviceServerPort, 10950);
    EXPECT_EQ(sys::kTimeServerPort, 123);

    sys::THostPort def{"d", 7};
    EXPECT_EQ(sys::ParseHostPort("h:0", def), (sys::THostPort{"h", 7}));
    EXPECT_EQ(sys::ParseHostPort("h:70000", def), (sys::THostPort{"h", 7}));
    EXPECT_EQ(sys::ParseHostPort("h:abc", def), (sys::THostPort{"h", 7}));
    EXPECT_EQ(sys::ParseHostPort(":5", def), def);
    EXPECT_EQ(sys::ParseHostPort("fe80::1", def), (sys::THostPort{"fe80::1", 7}));
    EXPECT_EQ(sys::ParseHostPort("[::1", def), def);
}

TEST(Now, FollowsTheManualClockWithoutZone) {
    EnvGuard env;
    env.Set("TZ", "Asia/Vladivostok");
    tzset();
    sys::SetManualWallSeconds(1700000000);
    EXPECT_EQ(FormatDateTime("dd.MM.yyyy hh:mm:ss", sys::Now()), "14.11.2023 22:13:20");
    EXPECT_EQ(sys::Date(), EncodeDate(2023, 11, 14));
    sys::AdvanceMs(1500);
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", sys::Now()), "22:13:21.500");
    EXPECT_NEAR(sys::Time(), EncodeTime(22, 13, 21, 500), 1e-8);
    env.Set("TZ", nullptr);
    tzset();
}

}  // namespace
