#pragma once
// Helpers shared by the tests: bounded waits on real I/O that keep the GUI thread serving.
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

class QWidget;
class TControl;

namespace testsupport {

// Serves the GUI thread (hand-overs and Qt events) until pred() holds or timeoutMs of wall
// time have passed. Returns pred()'s last value. Only for waits on real I/O.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 3000);

// Serves the GUI thread for a short while of wall time (lets real I/O settle).
void Pump(int ms);

// For a peer at a slow line's real pace: moves the manual clock along with the wall clock,
// 10 ms at a time and never ahead of it, serving the GUI thread before every step, until
// done() holds. Returns the clock time that took, or -1 once limitMs of it have passed.
// With caughtUp, a step waits (up to a second) while it says the tool has not yet taken what
// its peer sent: on a loaded machine the clock does not run past a tool that waits for its
// turn to read. Wall time the loop came back late by, or held for, the clock passes over, as
// the machine's clock does for the tool's timers: it is time the tool could not run.
long long RunClockAlong(const std::function<bool()>& done, long long limitMs,
                        const std::function<bool()>& caughtUp = {});

// The machine's clock, for what is made after this and until it goes.
struct TMachineClock {
    TMachineClock();
    ~TMachineClock();
};

// Runs the event loop, waiting for events as the tool's does, until done() holds or timeoutMs
// of wall time have passed. Returns done()'s last value.
bool WaitInLoop(const std::function<bool()>& done, int timeoutMs);

// Stops this whole process, as Ctrl+Z does; another process runs the shell command meanwhile
// (if any) once it is stopped and resumes it ms later, as fg does.
void StopThisProcess(int ms, const std::string& meanwhile = {});

// A left click in the middle of the widget, as the mouse gives it: press, then release.
void Click(QWidget* widget);
// The same, in the middle of the control's widget.
void Click(TControl* control);

// A key pressed and released on the widget, as the window system delivers it.
void KeyClick(QWidget* widget, int qtKey, const QString& text = {});

// The first accessibility action of the widget's interface (what a screen reader's "click" runs),
// or the named one.
void AccessibleAction(QWidget* widget, const QString& action = {});

// Sets environment variables for one test and puts the old values back.
class TEnvGuard {
public:
    TEnvGuard() = default;
    TEnvGuard(const TEnvGuard&) = delete;
    TEnvGuard& operator=(const TEnvGuard&) = delete;
    ~TEnvGuard();
    void Set(const char* name, const char* value);  // nullptr unsets

private:
    std::map<std::string, std::pair<bool, std::string>> FSaved;
};

// The main window shown in a test reaches out to nothing: no news page, no internet, no
// serial ports.
void QuietWindowEnvironment(TEnvGuard& env);

// A file's bytes as they stand; empty when it cannot be read.
std::string ReadFileText(const std::string& path);

// The language file as the tool ships it (in the source tree).
std::string ShippedLangFile();

// A fresh private folder under the test's temporary root.
std::string TempDir(const std::string& name);

// A TCP socket listening on a free loopback port with this backlog; its port in port. The
// caller closes it.
int ListenOnLoopback(int backlog, int& port);

// A part of a test that runs in a process of its own, to be killed: the test program started
// with ZENTOR_TEST_CHILD=<name> runs it instead of its tests, and ends with its result.
class TChildRole {
public:
    TChildRole(const char* name, int (*run)());
};
int RunChildRole(const std::string& name);  // -1 for a name no role has

// This test program started in a child role, with extra environment ("NAME=value"); its
// temporary folders lie under this test's own. It is killed at the latest when this ends.
class TChildProcess {
public:
    TChildProcess(const std::string& role, const std::vector<std::string>& env);
    // Another program (argv[0] its path), started the same way; what it writes on its standard
    // error is read as its output too. The signals start with their default action.
    TChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env);
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;
    pid_t Pid() const { return FPid; }
    // The next line the child printed, waiting at most timeoutMs; false at its end or time-out.
    bool ReadLine(std::string& line, int timeoutMs = 10000);
    // Waits at most timeoutMs for its end: its exit status, 128 + the signal that ended it, or
    // -1 when it runs on.
    int Wait(int timeoutMs = 10000);
    // SIGKILL, then its end; true when the kill ended it.
    bool Kill();
    // Stops reading it: its next write to its output finds a pipe without a reader.
    void CloseOutput();

private:
    void Start(std::vector<std::string> argv, std::vector<std::string> vars, bool program);
    pid_t FPid = -1;
    int FOut = -1;
    std::string FBuffer;
};

}  // namespace testsupport
