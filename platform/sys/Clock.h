#pragma once
// The one source of time for the tool. Real mode follows the machine's clocks; manual mode
// (tests) stands still until the test advances it, firing due timers in a fixed order.
#include <cstdint>

namespace sys {

// Milliseconds on a monotonic scale (manual mode: starts at 0).
std::int64_t TickMs();
// TickMs less the time the tool could not run (a stop of the process, a stall of the GUI
// thread), as the timers pass it over: what a wait for a peer's answer measures, so that an
// answer waiting when the tool runs again is still in time. Manual mode: TickMs.
std::int64_t ListenMs();

// The local wall clock as Unix seconds counted as if local time were UTC, with the fraction.
double LocalWallSeconds();

void UseManualClock(bool manual);
bool IsManualClock();
// Manual mode: sets the wall clock (local seconds as if UTC) without moving the tick scale.
void SetManualWallSeconds(double localSeconds);
// Manual mode: moves time forward, firing every timer that falls due on the way, in order
// of due time and, at equal due times, in the order the timers were created.
void AdvanceMs(std::int64_t ms);

// Real mode: blocks the calling thread. Manual mode: returns at once.
void Sleep(unsigned ms);

}  // namespace sys
