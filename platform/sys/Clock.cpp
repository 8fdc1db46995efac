#include "platform/sys/Clock.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

#include "platform/sys/ManualTimers.h"

namespace sys {
namespace {
struct ManualState {
    std::mutex lock;
    bool manual = false;
    std::int64_t tickMs = 0;
    double wallSeconds = 0;  // at tickMs == wallBaseTick
    std::int64_t wallBaseTick = 0;
};
ManualState& State() {
    static ManualState s;
    return s;
}
}  // namespace

std::int64_t TickMs() {
    ManualState& s = State();
    {
        std::lock_guard<std::mutex> g(s.lock);
        if (s.manual) return s.tickMs;
    }
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

double LocalWallSeconds() {
    ManualState& s = State();
    {
        std::lock_guard<std::mutex> g(s.lock);
        if (s.manual) return s.wallSeconds + (s.tickMs - s.wallBaseTick) / 1000.0;
    }
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    double frac = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000 / 1e6;
    std::tm local{};
    localtime_r(&t, &local);
    // Local broken-down time read back as if it were UTC: no zone conversion.
    return static_cast<double>(timegm(&local)) + frac;
}

void UseManualClock(bool manual) {
    ManualState& s = State();
    std::lock_guard<std::mutex> g(s.lock);
    if (manual && !s.manual) {
        s.tickMs = 0;
        s.wallBaseTick = 0;
        s.wallSeconds = 1767225600;  // 2026-01-01 00:00:00, until a test sets its own
    }
    s.manual = manual;
}

bool IsManualClock() {
    ManualState& s = State();
    std::lock_guard<std::mutex> g(s.lock);
    return s.manual;
}

void SetManualWallSeconds(double localSeconds) {
    ManualState& s = State();
    std::lock_guard<std::mutex> g(s.lock);
    s.wallSeconds = localSeconds;
    s.wallBaseTick = s.tickMs;
}

void AdvanceMs(std::int64_t ms) {
    std::int64_t target;
    {
        ManualState& s = State();
        std::lock_guard<std::mutex> g(s.lock);
        if (!s.manual || ms < 0) return;
        target = s.tickMs + ms;
    }
    detail::FireManualTimersUntil(target, [](std::int64_t t) {
        ManualState& s = State();
        std::lock_guard<std::mutex> g(s.lock);
        s.tickMs = t;
    });
    ManualState& s = State();
    std::lock_guard<std::mutex> g(s.lock);
    s.tickMs = target;
}

void Sleep(unsigned ms) {
    if (IsManualClock()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace sys
