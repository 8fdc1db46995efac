#pragma once
// The signals that end a run from outside: SIGTERM (a desktop logout, a service stop), SIGHUP
// (its terminal closed) and SIGINT (Ctrl+C). Their default action kills the process on the
// spot, so what the window keeps until it closes would be lost.
#include <functional>
#include <memory>

namespace sys {

// While one lives, each of the three signals calls onSignal on the GUI thread, from the event
// loop: the signal itself only writes a byte to a pipe the loop watches, which is all a signal
// handler may safely do. The GUI thread's event dispatcher must exist (the application is
// initialised). A signal ignored when it starts stays ignored (nohup). One at a time; its end
// gives the signals their old action back.
class TEndSignals {
public:
    explicit TEndSignals(std::function<void()> onSignal);
    ~TEndSignals();
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

    struct TState;

private:
    std::unique_ptr<TState> F;
};

// A write to a pipe whose reader has gone (`zentor 2>&1 | tee log` once its terminal has
// closed) fails with EPIPE instead of killing the run: SIGPIPE is caught and does nothing
// (caught rather than ignored, so that the programs the tool starts get the default). Called
// first in main, before anything writes; a run started ignoring SIGPIPE keeps ignoring it.
void CatchBrokenPipe();

}  // namespace sys
