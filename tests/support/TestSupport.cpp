#include "support/TestSupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <csignal>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Controls.h"

namespace testsupport {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        sys::ServeGuiCalls();
        QCoreApplication::processEvents();
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Pump(int ms) {
    WaitUntil([] { return false; }, ms);
}

long long RunClockAlong(const std::function<bool()>& done, long long limitMs, const std::function<bool()>& caughtUp) {
    const auto start = std::chrono::steady_clock::now();
    long long clock = 0, waitedSince = -1, passedOver = 0;
    for (;;) {
        sys::ServeGuiCalls();
        QCoreApplication::processEvents();
        if (done()) return clock;
        if (clock >= limitMs) return -1;
        const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const bool waiting = caughtUp && !caughtUp();
        if (!waiting) waitedSince = -1;
        else if (waitedSince < 0) waitedSince = real.count();
        const bool hold = waiting && real.count() - waitedSince < 1000;
        // More than 40 ms late for its step: the tool could not run either.
        if (!hold && real.count() - passedOver > clock + 50) passedOver = real.count() - clock - 10;
        if (!hold && clock + 10 <= real.count() - passedOver) {
            sys::AdvanceMs(10);
            clock += 10;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

TMachineClock::TMachineClock() { sys::UseManualClock(false); }
TMachineClock::~TMachineClock() { sys::UseManualClock(true); }

bool WaitInLoop(const std::function<bool()>& done, int timeoutMs) {
    bool over = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&over] { over = true; });
    guard.start(timeoutMs);
    while (!done() && !over) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

void StopThisProcess(int ms, const std::string& meanwhile) {
    const std::string pid = std::to_string(::getpid());
    const std::string stopped = "until grep -q 'State:.*T' /proc/" + pid + "/status; do sleep 0.01; done; ";
    TChildProcess resumer({"/bin/sh", "-c",
                           stopped + "sleep " + std::to_string(ms / 1000.0) + "; " +
                               (meanwhile.empty() ? ":" : meanwhile) + "; kill -CONT " + pid},
                          {});
    ::kill(::getpid(), SIGSTOP);
    resumer.Wait(10000);
}

void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void Click(TControl* control) {
    if (QWidget* w = control ? control->GetWidget() : nullptr) Click(w);
}

void KeyClick(QWidget* widget, int qtKey, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

void AccessibleAction(QWidget* widget, const QString& action) {
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(widget);
    QAccessibleActionInterface* act = acc ? acc->actionInterface() : nullptr;
    ASSERT_NE(act, nullptr);
    ASSERT_FALSE(act->actionNames().isEmpty());
    const QString name = action.isEmpty() ? act->actionNames().front() : action;
    ASSERT_TRUE(act->actionNames().contains(name)) << name.toStdString();
    act->doAction(name);
}

TEnvGuard::~TEnvGuard() {
    for (auto& [name, old] : FSaved) {
        if (old.first) setenv(name.c_str(), old.second.c_str(), 1);
        else unsetenv(name.c_str());
    }
}

void TEnvGuard::Set(const char* name, const char* value) {
    if (!FSaved.count(name)) {
        const char* v = std::getenv(name);
        FSaved[name] = {v != nullptr, v ? v : ""};
    }
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

void QuietWindowEnvironment(TEnvGuard& env) {
    env.Set("ZENTOR_NEWS_URL", "about:blank");
    env.Set("ZENTOR_ONLINE", "0");
    env.Set("ZENTOR_PORTS", "");
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ShippedLangFile() {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "lang" / "lang_zent.lng").string();
}

namespace {
std::map<std::string, int (*)()>& ChildRoles() {
    static std::map<std::string, int (*)()> roles;
    return roles;
}
}  // namespace

TChildRole::TChildRole(const char* name, int (*run)()) { ChildRoles()[name] = run; }

int RunChildRole(const std::string& name) {
    const auto it = ChildRoles().find(name);
    return it == ChildRoles().end() ? -1 : it->second();
}

TChildProcess::TChildProcess(const std::string& role, const std::vector<std::string>& env) {
    std::vector<std::string> vars = {"ZENTOR_TEST_CHILD=" + role, "TMPDIR=" + TempDir("child-" + role)};
    vars.insert(vars.end(), env.begin(), env.end());
    Start({"/proc/self/exe"}, std::move(vars), false);
}

TChildProcess::TChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<std::string> vars = {"TMPDIR=" + TempDir("child-program")};
    vars.insert(vars.end(), env.begin(), env.end());
    Start(argv, std::move(vars), true);
}

void TChildProcess::Start(std::vector<std::string> args, std::vector<std::string> vars, bool program) {
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        const bool replaced = std::any_of(vars.begin(), vars.end(), [&](const std::string& v) {
            return entry.substr(0, entry.find('=') + 1) == v.substr(0, v.find('=') + 1);
        });
        if (!replaced) vars.emplace_back(entry);
    }
    std::vector<char*> envp, argv;
    for (auto& v : vars) envp.push_back(v.data());
    envp.push_back(nullptr);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (program) posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    // A shell's background job would inherit SIGINT and SIGHUP ignored.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    if (posix_spawn(&FPid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0) FPid = -1;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    FOut = out[0];
}

int TChildProcess::Wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (int status = 0; FPid > 0;) {
        const pid_t done = ::waitpid(FPid, &status, WNOHANG);
        if (done == FPid) {
            FPid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (done < 0 || std::chrono::steady_clock::now() >= end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

TChildProcess::~TChildProcess() {
    Kill();
    if (FOut >= 0) ::close(FOut);
}

bool TChildProcess::ReadLine(std::string& line, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto nl = FBuffer.find('\n');
        if (nl != std::string::npos) {
            line = FBuffer.substr(0, nl);
            FBuffer.erase(0, nl + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd wait{FOut, POLLIN, 0};
        if (FOut < 0 || left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) != 1) return false;
        char buf[256];
        const ssize_t n = ::read(FOut, buf, sizeof buf);
        if (n <= 0) return false;
        FBuffer.append(buf, static_cast<std::size_t>(n));
    }
}

bool TChildProcess::Kill() {
    if (FPid <= 0) return false;
    ::kill(FPid, SIGKILL);
    int status = 0;
    const bool killed = ::waitpid(FPid, &status, 0) == FPid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    FPid = -1;
    return killed;
}

void TChildProcess::CloseOutput() {
    if (FOut >= 0) ::close(FOut);
    FOut = -1;
}

std::string TempDir(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("zentor-test-" + std::to_string(getpid())) / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string();
}

int ListenOnLoopback(int backlog, int& port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ADD_FAILURE() << "no loopback listener";
        port = 0;
        return fd;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

}  // namespace testsupport
