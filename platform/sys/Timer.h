#pragma once
// The form library's timer: Interval in milliseconds, Enabled, OnTimer on the GUI thread.
//
// A timer whose steps have nothing to do sleeps. OnDue, when set, says how many ticks after
// the timer's last tick its next tick with work lies (1: the very next, 0: none for now).
// The timer keeps its period's grid while it sleeps and wakes at that tick; the ticks it
// slept through are run then, in a row, and before the application dispatches any event,
// as far as they only count down (OnDue says more than 1 before each), so that every
// countdown stands where a timer ticking all along would have left it when an event or a
// tick with work comes. Ticks slept through while OnDue said 0 are passed over. OnDue is
// asked again after every tick, before the event loop waits and, on the manual clock,
// whenever the clock moves. Unset, every tick has work.
//
// On the machine's clock a countdown measures only time in which the tool could listen. Time
// it could not run (the loop woke later than the wake it had armed: the process was stopped
// or starved; or a handler or a posted call held the thread) is passed over, as the event
// loop's own timers pass over the ticks they were late by: what was owed before it counts
// first, its ticks do not, and a tick with work due in it comes after it, so that an event
// that arrived meanwhile is taken first.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "platform/rtl/Classes.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned ms);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;
    std::function<unsigned()> OnDue;

    // How often it has woken: ticks run in a row count once.
    unsigned Wakes() const;

    struct Impl;

protected:
    void Loaded() override;

private:
    void Update();
    unsigned FInterval = 1000;
    bool FEnabled = true;
    std::unique_ptr<Impl> FImpl;
};

// The nearest of several steps' next ticks with work, each as OnDue counts it (0: none).
inline unsigned EarliestDue(std::initializer_list<unsigned> dues) {
    unsigned best = 0;
    for (unsigned d : dues)
        if (d != 0 && (best == 0 || d < best)) best = d;
    return best;
}
