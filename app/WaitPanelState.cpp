#include "app/WaitPanelState.h"

void OpenWait(TWaitCounters& counters, TWaitBar& bar, std::uint32_t amount, std::uint32_t total) {
    if (total != 0) {
        bar.Segments = 20;
        // 64-bit product: a large transfer must not wrap the percentage.
        const std::uint64_t percent = static_cast<std::uint64_t>(amount) * 100u / total;
        bar.Percent = percent > 100 ? 100 : static_cast<int>(percent);
        counters.Limit = 15;
    } else {
        counters.Limit = amount;
        bar.Segments = 50;
    }
    counters.Ticks = 1;
}

int NextWaitBarPercent(int percent) { return percent + 1 <= 100 ? percent + 10 : 0; }

bool TickWait(TWaitCounters& counters, TWaitBar& bar) {
    if (bar.Segments == 50) bar.Percent = NextWaitBarPercent(bar.Percent);
    if (counters.Ticks != 0) ++counters.Ticks;
    return counters.Ticks > counters.Limit;
}
