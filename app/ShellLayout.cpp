#include "app/ShellLayout.h"

#include <cmath>

int CentredOffset(int window, int panel) { return (window - panel) / 2; }

int AnimationPanelLeft(int windowWidth) { return windowWidth * 312 / 1024; }

int AnimationPanelTop(int windowHeight) { return windowHeight * 372 / 672; }

int ProgressStripWidth(int titleWidth, int iconsWidth, int percent) {
    return (titleWidth - iconsWidth - 1) * percent / 100 + 1;
}

int NewsPanelTop(int windowHeight) { return windowHeight * 171 / 672; }

int NewsPanelHeight(int windowHeight) { return windowHeight * 400 / 672; }

int ScaleGridValue(int value, int gridWidth) {
    const long double k = 1.0L / 861.0L;
    const long double product = static_cast<long double>(value) * gridWidth * k;
    return static_cast<int>(std::trunc(product));
}

std::int32_t SessionUidFromDateTime(double dateTimeDays) {
    const long double scaled = std::trunc(static_cast<long double>(dateTimeDays) * 10000.0L);
    // Low 32 bits of the integer part; the identifier is a signed 32-bit value.
    const auto whole = static_cast<std::int64_t>(scaled);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}

double DateTimeFromLocalSeconds(double localSeconds) { return localSeconds / 86400.0 + 25569.0; }
