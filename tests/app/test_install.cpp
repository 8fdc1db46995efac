// Installing the build into a prefix of its own: the tool and its language file where the
// tool finds it, the desktop entry and its icon in the theme's sizes, the manual page, and
// the udev rule, applied as udev would to the controller's port, to the controller's USB
// device and to another serial adapter; the Debian package, as lintian reads it; and the
// tool started where there is no display.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <vector>

#include "app/LangFile.h"
#include "platform/image/Pictures.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// How a program ended: its status (-1 when it did not end by itself) and what it wrote.
struct TRunResult {
    int Status = -1;
    std::string Out, Err;
};

// Runs a program to its end, with env's NAME=VALUE entries set and bare NAMEs unset.
TRunResult RunProgram(const QString& program, const QStringList& args, const QStringList& env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : env) {
        if (kv.contains('=')) e.insert(kv.section('=', 0, 0), kv.section('=', 1));
        else e.remove(kv);
    }
    p.setProcessEnvironment(e);
    p.start(program, args);
    const bool done = p.waitForFinished(120000);
    TRunResult r;
    if (done && p.exitStatus() == QProcess::NormalExit) r.Status = p.exitCode();
    r.Out = p.readAllStandardOutput().toStdString();
    r.Err = p.readAllStandardError().toStdString();
    return r;
}

// Runs a program that must succeed; its output, or "" (and a failure) when it did not.
std::string RunTool(const QString& program, const QStringList& args, const QStringList& env = {}) {
    const TRunResult r = RunProgram(program, args, env);
    if (r.Status != 0) {
        ADD_FAILURE() << program.toStdString() << ": " << r.Out << r.Err;
        return {};
    }
    return r.Out;
}

// cmake --install of the test build; the prefix, or "" when the install failed.
std::string InstallInto(const std::string& prefix) {
    RunTool(ZENTOR_CMAKE, {"--install", ZENTOR_BUILD_DIR, "--prefix", QString::fromStdString(prefix)});
    return ::testing::Test::HasFailure() ? std::string() : prefix;
}

// The regular files under root, by their paths below it.
std::set<std::string> FilesUnder(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.insert(fs::relative(e.path(), root).string());
    return files;
}

// One key of a udev rule: its name (with an {attribute}), operator and value.
struct TRuleKey {
    std::string Name, Op, Value;
};
using TRule = std::vector<TRuleKey>;

std::vector<TRule> ParseRules(const std::string& text) {
    static const std::regex key(R"(\s*([A-Z_]+(?:\{[^}]*\})?)\s*(==|!=|\+=|:=|=)\s*"([^"]*)\"\s*)");
    std::vector<TRule> rules;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#') continue;
        TRule rule;
        std::stringstream parts(line);
        for (std::string part; std::getline(parts, part, ',');) {
            std::smatch m;
            if (!std::regex_match(part, m, key)) {
                ADD_FAILURE() << "not a udev key: " << part;
                continue;
            }
            rule.push_back({m[1], m[2], m[3]});
        }
        rules.push_back(rule);
    }
    return rules;
}

// What udev knows of a device: its subsystem, and the subsystems and attributes of it and
// of its parents.
struct TDevice {
    std::string Subsystem;
    std::set<std::string> Subsystems;
    std::map<std::string, std::string> Attrs;
};

bool Holds(const TRuleKey& k, const TDevice& d) {
    const auto any = [&](auto&& match) {
        std::stringstream alternatives(k.Value);
        for (std::string v; std::getline(alternatives, v, '|');)
            if (match(v)) return true;
        return false;
    };
    bool is;
    if (k.Name == "SUBSYSTEM") {
        is = any([&](const std::string& v) { return d.Subsystem == v; });
    } else if (k.Name == "SUBSYSTEMS") {
        is = any([&](const std::string& v) { return d.Subsystems.count(v) > 0; });
    } else if (k.Name.rfind("ATTRS{", 0) == 0) {
        const auto a = d.Attrs.find(k.Name.substr(6, k.Name.size() - 7));
        is = a != d.Attrs.end() && any([&](const std::string& v) { return a->second == v; });
    } else {
        ADD_FAILURE() << "a match this test does not know: " << k.Name;
        return false;
    }
    return k.Op == "==" ? is : !is;
}

// The assignments of every rule whose match keys all hold.
std::map<std::string, std::string> Apply(const std::vector<TRule>& rules, const TDevice& d) {
    std::map<std::string, std::string> out;
    for (const TRule& rule : rules) {
        bool all = true;
        for (const TRuleKey& k : rule)
            if (k.Op == "==" || k.Op == "!=") all = all && Holds(k, d);
        if (!all) continue;
        for (const TRuleKey& k : rule)
            if (k.Op != "==" && k.Op != "!=") out[k.Name] = k.Value;
    }
    return out;
}

}  // namespace

TEST(Install, IntoAPrefixOfItsOwn) {
    const std::string prefix = InstallInto(testsupport::TempDir("install-prefix"));
    ASSERT_FALSE(prefix.empty());
    const fs::path root(prefix);
    const fs::path tree = fs::path(__FILE__).parent_path().parent_path().parent_path();

    // The tool, and the shipped language file where the installed tool looks for it.
    EXPECT_NE(fs::status(root / "bin/zentor").permissions() & fs::perms::owner_exec, fs::perms::none);
    const std::string lang = LangFilePathFor((root / "bin").string());
    EXPECT_EQ(lang, (root / "share/zentor/lang_zent.lng").string());
    EXPECT_EQ(testsupport::ReadFileText(lang), testsupport::ReadFileText(tree / "lang/lang_zent.lng"));
    EXPECT_EQ(ReadLanguageTexts(lang, "english").Caption, "Configurator");

    // The desktop entry: both names, a category, the installed tool and its icon by its name
    // in the theme, which holds it in every size, square, transparent around the window.
    const std::string entry = testsupport::ReadFileText(root / "share/applications/zentor.desktop");
    for (const std::string& line : std::vector<std::string>{"Name=Zentor Configurator", "Name[ru]=Конфигуратор Zentor", "Categories=Utility;",
                                   "Exec=" + prefix + "/bin/zentor", "Icon=zentor"})
        EXPECT_NE(entry.find("\n" + line + "\n"), std::string::npos) << line;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string n = std::to_string(size);
        TPngImage icon;
        icon.LoadFromFile((root / ("share/icons/hicolor/" + n + "x" + n + "/apps/zentor.png")).string());
        ASSERT_EQ(icon.GetWidth(), size);
        ASSERT_EQ(icon.GetHeight(), size);
        EXPECT_EQ(icon.GetPixels().Pixel(0, 0) >> 24, 0u) << size;
        EXPECT_EQ(icon.GetPixels().Pixel(size / 2, size / 2) >> 24, 0xFFu) << size;
    }

    // The man page, and the copyright and changelog of the package, compressed as Debian
    // wants them.
    for (const char* doc : {"share/man/man1/zentor.1.gz", "share/doc/zentor/changelog.gz"})
        EXPECT_EQ(testsupport::ReadFileText(root / doc).substr(0, 2), "\x1F\x8B") << doc;
    EXPECT_NE(testsupport::ReadFileText(root / "share/doc/zentor/copyright").find("\nFiles: *\n"), std::string::npos);

    // The udev rule: ModemManager keeps off the controller; the user at the seat and the
    // dialout group get its port.
    const auto rules = ParseRules(testsupport::ReadFileText(root / "lib/udev/rules.d/60-zentor-controller.rules"));
    const std::map<std::string, std::string> controller = {{"idVendor", "0483"}, {"idProduct", "5740"}};
    const std::map<std::string, std::string> ignored = {{"ENV{ID_MM_DEVICE_IGNORE}", "1"}};
    EXPECT_EQ(Apply(rules, {"tty", {"tty", "usb"}, controller}),
              (std::map<std::string, std::string>{{"ENV{ID_MM_DEVICE_IGNORE}", "1"},
                                                  {"TAG", "uaccess"},
                                                  {"GROUP", "dialout"},
                                                  {"MODE", "0660"}}));
    EXPECT_EQ(Apply(rules, {"usb", {"usb"}, controller}), ignored);
    EXPECT_TRUE(Apply(rules, {"tty", {"tty", "usb"}, {{"idVendor", "0403"}, {"idProduct", "6001"}}}).empty());
}

// The Debian package holds under /usr what the install puts under a prefix, names the
// installed paths in its desktop entry, depends on the libraries, the font and Qt's
// translations the tool needs, recommends Qt's Wayland plugin, keeps Debian's policy as
// lintian reads it, and after installing tells udev of the rule, whether or not udev runs.
TEST(Install, DebianPackage) {
    const std::string out = testsupport::TempDir("package");
    RunTool(ZENTOR_CPACK, {"-G", "DEB", "-B", QString::fromStdString(out), "--config",
                       QString(ZENTOR_BUILD_DIR) + "/CPackConfig.cmake"});
    std::string arch = RunTool("dpkg", {"--print-architecture"});
    arch.erase(arch.find_last_not_of("\n") + 1);
    const std::string deb = out + "/zentor_1.0.0_" + arch + ".deb";
    ASSERT_TRUE(fs::is_regular_file(deb)) << deb;
    const std::string prefix = InstallInto(testsupport::TempDir("package-prefix"));
    ASSERT_FALSE(prefix.empty());
    RunTool("dpkg-deb", {"-x", QString::fromStdString(deb), QString::fromStdString(out + "/root")});
    EXPECT_EQ(FilesUnder(out + "/root/usr"), FilesUnder(prefix));
    EXPECT_NE(RunTool("dpkg-deb", {"-c", QString::fromStdString(deb)}).find(" ./usr/bin/zentor\n"), std::string::npos);
    const std::string entry = testsupport::ReadFileText(out + "/root/usr/share/applications/zentor.desktop");
    EXPECT_NE(entry.find("\nExec=/usr/bin/zentor\n"), std::string::npos) << entry;

    const std::string depends = RunTool("dpkg-deb", {"-f", QString::fromStdString(deb), "Depends"});
    for (const char* p : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6", "libjsoncpp", "libudev1",
                          "zlib1g", "libjpeg", "fonts-wine", "xdg-utils", "qt6-translations-l10n"})
        EXPECT_NE(depends.find(p), std::string::npos) << p << " in " << depends;
    EXPECT_EQ(RunTool("dpkg-deb", {"-f", QString::fromStdString(deb), "Recommends"}), "qt6-wayland\n");
    RunTool("lintian", {"--fail-on", "error,warning", QString::fromStdString(deb)});

    // postinst: udev reloads its rules and applies them to the serial ports alone; a udev that
    // does not run, or none at all, never stops the installation.
    RunTool("dpkg-deb", {"-e", QString::fromStdString(deb), QString::fromStdString(out + "/control")});
    const std::string bin = testsupport::TempDir("package-bin");
    std::ofstream(bin + "/udevadm") << "#!/bin/sh\necho \"$*\" >>" << bin << "/calls\nexit 1\n";
    fs::permissions(bin + "/udevadm", fs::perms::owner_all);
    const QString postinst = QString::fromStdString(out + "/control/postinst");
    RunTool(postinst, {"configure"}, {"PATH=" + QString::fromStdString(bin) + ":/usr/bin:/bin"});
    EXPECT_EQ(testsupport::ReadFileText(bin + "/calls"),
              "control --reload-rules\ntrigger --action=change --subsystem-match=tty\n");
    RunTool(postinst, {"configure"}, {"PATH=" + QString::fromStdString(testsupport::TempDir("package-empty"))});
}

// Started where no display can be reached, the tool says so on one line, naming where it
// looked, and ends with status 1 (not Qt's abort with its plugins' words and a core dump).
// A platform plugin missing, or one that will not load (a library it needs is broken), is
// told so instead, in Qt's words, which name the plugin.
TEST(Install, WithoutADisplayTheToolSaysSoOnOneLine) {
    const QString tool = QString(ZENTOR_BUILD_DIR) + "/zentor";
    TRunResult r = RunProgram(tool, {}, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zentor: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
    r = RunProgram(tool, {}, {"DISPLAY=:917", "WAYLAND_DISPLAY=zentor-none", "QT_QPA_PLATFORM"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zentor: no display found: cannot connect to DISPLAY=:917 or WAYLAND_DISPLAY=zentor-none\n");

    r = RunProgram(tool, {}, {"DISPLAY=:917", "QT_QPA_PLATFORM=zentor-none"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zentor: Qt cannot start: Could not find the Qt platform plugin \"zentor-none\" in \"\"\n");
    const std::string broken = testsupport::TempDir("broken-xcb-library");
    std::ofstream(broken + "/libQt6XcbQpa.so.6");  // empty: no library
    r = RunProgram(tool, {}, {"DISPLAY=:917", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb",
                              "LD_LIBRARY_PATH=" + QString::fromStdString(broken)});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zentor: Qt cannot start: Could not load the Qt platform plugin \"xcb\" in \"\" even though it "
                     "was found.\n");
}
