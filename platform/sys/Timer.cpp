#include "platform/sys/Timer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "platform/sys/ManualTimers.h"

namespace {
std::uint64_t g_NextSeq = 0;
// A stretch longer than this between two turns of the event loop (a handler or a posted call
// ran on, the process was stopped), or by which the loop woke after the wake it had armed, is
// time in which the tool could not run. With a 10 ms tick, a countdown restarted by an event
// runs out no earlier than its length less 50 ms after it.
constexpr std::int64_t kLateMs = 40;
// All the time so passed over.
std::int64_t g_NotRunMs = 0;
}  // namespace

struct TTimer::Impl {
    explicit Impl(TTimer* owner) : Owner(owner) {}
    ~Impl() { delete Waker; }

    TTimer* Owner;
    std::uint64_t Seq = g_NextSeq++;
    std::int64_t Last = 0;         // the tick of its grid run last, or passed over
    std::int64_t Due = -1;         // its next tick with work; -1: none
    std::uint64_t Generation = 0;  // a new period or a stop
    std::int64_t Deferred = -1;    // its tick with work, put after time the tool could not run
    bool InHandler = false;
    unsigned WakeCount = 0;
    std::shared_ptr<char> Alive = std::make_shared<char>();
    QTimer* Waker = nullptr;  // real clock only: wakes it at Due
    std::int64_t ArmedFor = -1;

    std::int64_t Interval() const { return std::max<unsigned>(1, Owner->GetInterval()); }
    unsigned Ask() const { return Owner->OnDue ? Owner->OnDue() : 1; }
    // The last tick of the grid at or before t.
    std::int64_t Grid(std::int64_t t) const { return t <= Last ? Last : Last + (t - Last) / Interval() * Interval(); }

    // Runs the tick at t; false when the handler stopped, restarted or freed the timer.
    bool RunTick(std::int64_t t) {
        Last = t;
        if (!Owner->OnTimer) return true;
        const std::weak_ptr<char> watch = Alive;
        const std::uint64_t generation = Generation;
        // A copy: the handler may free the timer (and with it OnTimer) while it runs.
        const TNotifyEvent handler = Owner->OnTimer;
        InHandler = true;
        try {
            handler(Owner);
        } catch (...) {
            sys::HandleException(std::current_exception());
        }
        if (watch.expired()) return false;
        InHandler = false;
        return Generation == generation;
    }

    // When its next tick with work lies, from where it stands.
    void Settle(std::int64_t now) {
        const unsigned k = Ask();
        if (k == 0) Last = Grid(now);
        Due = k == 0 ? -1 : Last + static_cast<std::int64_t>(k) * Interval();
    }

    // Runs the ticks up to upto (before it unless inclusive) that only count down; passes
    // over those it has nothing for. False when a handler stopped, restarted or freed it.
    bool CatchUp(std::int64_t upto, bool inclusive) {
        if (InHandler) return false;
        const std::int64_t end = inclusive ? upto : upto - 1;
        for (;;) {
            if (Last + Interval() > end) return true;
            const unsigned k = Ask();
            if (k == 0) {
                Last = Grid(end);
                Due = -1;
                return true;
            }
            if (k == 1) {
                Due = Last + Interval();
                return true;
            }
            if (!RunTick(Last + Interval())) return false;
        }
    }

    // The tool could not run in (from, to]: what it owed before counts first, the ticks in
    // there are passed over, and its tick with work, due in there or before, goes after it,
    // so that what arrived meanwhile is taken before a countdown runs out. Once: put off, that
    // tick runs when it comes, however late.
    void PassOver(std::int64_t from, std::int64_t to) {
        if (!CatchUp(from, true) || Last + Interval() > to) return;
        const unsigned k = Ask();
        const bool keep = k == 1 && Last + Interval() == Deferred;
        Last = Grid(to) - (keep ? Interval() : 0);
        if (k == 1) Deferred = Last + Interval();
    }

    // Its time has come: the ticks that only count down, then the one with work. Late, it
    // passes over the ticks it was late by, as a timer of the event loop does.
    void Wake(std::int64_t now) {
        if (InHandler) return;
        ++WakeCount;
        for (;;) {
            const unsigned k = Ask();
            if (k == 0) {
                Last = Grid(now);
                break;
            }
            const std::int64_t next = Last + Interval();
            if (next > now) break;  // its work moved on meanwhile
            if (!RunTick(next)) return;
            if (k == 1) {
                Last = Grid(now);
                break;
            }
        }
        Settle(now);
    }

    void Arm(std::int64_t now);
};

namespace {

// The enabled timers, in order of creation.
std::vector<TTimer::Impl*>& Running() {
    static std::vector<TTimer::Impl*> timers;
    return timers;
}

void Register(TTimer::Impl* t) {
    auto& r = Running();
    r.insert(std::upper_bound(r.begin(), r.end(), t, [](auto* a, auto* b) { return a->Seq < b->Seq; }), t);
}

void Unregister(TTimer::Impl* t) { std::erase(Running(), t); }

// Calls fn for each enabled timer that is still there when its turn comes (a handler run by
// fn may free or stop others).
template <class Fn>
void ForEachRunning(Fn fn) {
    std::vector<std::pair<TTimer::Impl*, std::weak_ptr<char>>> now;
    for (TTimer::Impl* t : Running()) now.emplace_back(t, t->Alive);
    for (auto& [t, alive] : now)
        if (!alive.expired() && std::find(Running().begin(), Running().end(), t) != Running().end()) fn(t);
}

bool AnyOwed(std::int64_t upto) {
    for (TTimer::Impl* t : Running())
        if (t->Last + t->Interval() <= upto && !t->InHandler) return true;
    return false;
}

void CatchUpAll(std::int64_t now) {
    if (!AnyOwed(now)) return;
    ForEachRunning([now](TTimer::Impl* t) { t->CatchUp(now, true); });
}

// Runs no handler (OnDue only looks), so the list stays as it is meanwhile. The earliest
// tick with work; -1 none.
std::int64_t SettleAll(std::int64_t now, bool arm) {
    std::int64_t first = -1;
    for (TTimer::Impl* t : Running()) {
        if (t->InHandler) continue;
        t->Settle(now);
        if (arm) t->Arm(now);
        if (t->Due >= 0 && (first < 0 || t->Due < first)) first = t->Due;
    }
    return first;
}

// The event loop on the real clock. The tool listens while the loop waits, up to the wake it
// armed, and while its turns follow close on each other; the rest is time it could not run.
struct TLoopTurn {
    std::int64_t At = -1;    // its last turn; -1 none yet
    std::int64_t Wake = -1;  // waiting since At: the earliest tick with work it would wake for
    bool Waiting = false;
};

TLoopTurn& LastTurn() {
    static TLoopTurn turn;
    return turn;
}

// A turn of the loop: what the tool could not run since the last one is passed over. Woken
// later than the wake it had armed, it was stopped or starved while it waited; a turn that
// went on was a handler or a posted call holding the thread.
void Turn(std::int64_t now) {
    const TLoopTurn last = std::exchange(LastTurn(), {now, -1, false});
    const std::int64_t from = last.Waiting ? last.Wake : last.At;
    if (from < 0 || now - from <= kLateMs || sys::IsManualClock()) return;
    g_NotRunMs += now - from;
    ForEachRunning([from, now](TTimer::Impl* t) { t->PassOver(from, now); });
}

// Before every event the timers count off the ticks that passed; before the loop waits each
// is woken for its next tick with work.
class TLoopHook : public QObject {
public:
    bool eventFilter(QObject*, QEvent*) override {
        const std::int64_t now = sys::TickMs();
        Turn(now);
        CatchUpAll(now);
        return false;
    }
};

void HookEventLoop() {
    static QPointer<TLoopHook> hook;
    QCoreApplication* app = QCoreApplication::instance();
    if (hook || !app || !sys::IsGuiThread()) return;
    hook = new TLoopHook();
    hook->setParent(app);
    app->installEventFilter(hook);
    QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
    if (!loop) return;
    QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, hook, [] {
        const std::int64_t now = sys::TickMs();
        Turn(now);
        const std::int64_t wake = SettleAll(now, true);
        LastTurn() = {now, wake, true};
    });
    QObject::connect(loop, &QAbstractEventDispatcher::awake, hook, [] { Turn(sys::TickMs()); });
}

}  // namespace

void TTimer::Impl::Arm(std::int64_t now) {
    // On the manual clock only the test moves time: a waker on the machine's clock would let
    // wall time in.
    if (Due < 0 || sys::IsManualClock()) {
        if (Waker) Waker->stop();
        ArmedFor = -1;
        return;
    }
    if (Waker && Waker->isActive() && ArmedFor == Due) return;
    if (!Waker) {
        Waker = new QTimer();
        Waker->setSingleShot(true);
        Waker->setTimerType(Qt::PreciseTimer);
        QObject::connect(Waker, &QTimer::timeout, [this] {
            const std::weak_ptr<char> watch = Alive;
            ArmedFor = -1;
            Wake(sys::TickMs());
            if (!watch.expired() && std::find(Running().begin(), Running().end(), this) != Running().end())
                Arm(sys::TickMs());
        });
    }
    Waker->start(static_cast<int>(std::clamp<std::int64_t>(Due - now, 0, 1 << 30)));
    ArmedFor = Due;
}

std::int64_t sys::ListenMs() { return TickMs() - g_NotRunMs; }

namespace sys::detail {

void FireManualTimersUntil(std::int64_t target, const std::function<void(std::int64_t)>& setNow) {
    const std::int64_t start = sys::TickMs();
    SettleAll(start, false);
    for (;;) {
        TTimer::Impl* best = nullptr;
        for (TTimer::Impl* t : Running())
            if (t->Due >= 0 && t->Due <= target && !t->InHandler &&
                (!best || t->Due < best->Due || (t->Due == best->Due && t->Seq < best->Seq)))
                best = t;
        if (!best) break;
        const std::int64_t at = std::max(best->Due, start);
        setNow(at);
        // What the others counted before this tick counts first; at the same time, those
        // created earlier go first.
        const std::weak_ptr<char> watch = best->Alive;
        ForEachRunning([&](TTimer::Impl* t) {
            if (t != best) t->CatchUp(at, t->Seq < best->Seq);
        });
        if (watch.expired()) continue;
        best->Wake(at);
        SettleAll(at, false);
    }
    setNow(target);
    CatchUpAll(target);
    SettleAll(target, false);
}

}  // namespace sys::detail

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<Impl>(this)) { Update(); }

TTimer::~TTimer() { Unregister(FImpl.get()); }

unsigned TTimer::Wakes() const { return FImpl->WakeCount; }

void TTimer::SetInterval(unsigned ms) {
    if (ms == FInterval) return;
    FInterval = ms;
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    Update();
}

void TTimer::Loaded() { Update(); }

// Restarts the period, as the form library does on any change.
void TTimer::Update() {
    Unregister(FImpl.get());
    ++FImpl->Generation;
    FImpl->Due = -1;
    if (FImpl->Waker) FImpl->Waker->stop();
    FImpl->ArmedFor = -1;
    if (!FEnabled || FInterval == 0 || IsLoading()) return;
    const std::int64_t now = sys::TickMs();
    FImpl->Last = now;
    Register(FImpl.get());
    FImpl->Settle(now);
    if (sys::IsManualClock()) return;
    HookEventLoop();
    FImpl->Arm(now);
}
