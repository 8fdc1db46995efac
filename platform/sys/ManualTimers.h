#pragma once
// Internal: the timers that run on the manual clock.
#include <cstdint>
#include <functional>

class TTimer;

namespace sys::detail {

void RegisterManualTimer(TTimer* timer, std::uint64_t seq, std::int64_t due);
void UnregisterManualTimer(TTimer* timer);
// Fires due timers one by one up to target; setNow moves the clock to each due time.
void FireManualTimersUntil(std::int64_t target, const std::function<void(std::int64_t)>& setNow);

}  // namespace sys::detail
