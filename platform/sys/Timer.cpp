#include "platform/sys/Timer.h"

#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "platform/sys/ManualTimers.h"

namespace {
struct ManualEntry {
    TTimer* timer;
    std::uint64_t seq;
    std::int64_t due;
};
std::vector<ManualEntry>& Manual() {
    static std::vector<ManualEntry> entries;
    return entries;
}
std::uint64_t g_NextSeq = 0;

void Fire(TTimer* t) {
    if (!t->OnTimer) return;
    // A copy: the handler may free the timer (and with it OnTimer) while it runs.
    TNotifyEvent handler = t->OnTimer;
    try {
        handler(t);
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
}
}  // namespace

struct TTimer::Impl {
    std::uint64_t seq = g_NextSeq++;
    QTimer* qt = nullptr;  // real clock only
    ~Impl() { delete qt; }
};

namespace sys::detail {

void RegisterManualTimer(TTimer* timer, std::uint64_t seq, std::int64_t due) {
    UnregisterManualTimer(timer);
    Manual().push_back({timer, seq, due});
}

void UnregisterManualTimer(TTimer* timer) {
    auto& m = Manual();
    m.erase(std::remove_if(m.begin(), m.end(), [&](const ManualEntry& e) { return e.timer == timer; }),
            m.end());
}

void FireManualTimersUntil(std::int64_t target, const std::function<void(std::int64_t)>& setNow) {
    for (;;) {
        auto& m = Manual();
        auto best = m.end();
        for (auto it = m.begin(); it != m.end(); ++it) {
            if (it->due > target) continue;
            if (best == m.end() || it->due < best->due || (it->due == best->due && it->seq < best->seq))
                best = it;
        }
        if (best == m.end()) return;
        TTimer* t = best->timer;
        setNow(best->due);
        best->due += std::max<unsigned>(1, t->GetInterval());
        Fire(t);
    }
}

}  // namespace sys::detail

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<Impl>()) { Update(); }

TTimer::~TTimer() {
    sys::detail::UnregisterManualTimer(this);
}

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
    sys::detail::UnregisterManualTimer(this);
    if (FImpl->qt) FImpl->qt->stop();
    if (!FEnabled || FInterval == 0 || IsLoading()) return;
    if (sys::IsManualClock()) {
        sys::detail::RegisterManualTimer(this, FImpl->seq, sys::TickMs() + FInterval);
        return;
    }
    if (!FImpl->qt) {
        FImpl->qt = new QTimer();
        FImpl->qt->setTimerType(Qt::PreciseTimer);
        QObject::connect(FImpl->qt, &QTimer::timeout, [this] { Fire(this); });
    }
    FImpl->qt->start(static_cast<int>(FInterval));
}
