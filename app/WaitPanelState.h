#pragma once
// The wait panel's counters and its bar, without the window: opening or updating a wait,
// and the one-second tick that moves the bar and ends the wait at its time-out.
#include <cstdint>

struct TWaitBar {
    int Segments = 50;
    int Percent = 0;
};

struct TWaitCounters {
    std::uint32_t Ticks = 0;  // 0 while no wait runs; 1 when a wait opens; +1 a second
    std::uint32_t Limit = 0;  // time-out in ticks
};

// total != 0: progress mode (amount of total, 20 segments, 15-tick time-out);
// total == 0: time-out mode (amount seconds, 50 segments, percentage left alone).
void OpenWait(TWaitCounters& counters, TWaitBar& bar, std::uint32_t amount, std::uint32_t total);

// One tick of the wait's timer. Returns true when the wait has just timed out.
bool TickWait(TWaitCounters& counters, TWaitBar& bar);

// The moving bar of time-out mode: 0, 10, ..., 100, 0, 10, ...
int NextWaitBarPercent(int percent);
