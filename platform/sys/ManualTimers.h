#pragma once
// Internal: the timers on the manual clock.
#include <cstdint>
#include <functional>

namespace sys::detail {

// Runs the timers' ticks up to target in order of time and, at equal times, of creation;
// setNow moves the clock to each tick with work.
void FireManualTimersUntil(std::int64_t target, const std::function<void(std::int64_t)>& setNow);

}  // namespace sys::detail
