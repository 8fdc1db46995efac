#pragma once
// Pure arithmetic of the level displays: the meter's bar and LED segments, the progress bar's
// LED segments, filled length and parts percentage.
#include <cstdint>

#include "platform/rtl/Types.h"

enum TDirection : std::uint8_t { dirUp, dirDown, dirLeft, dirRight };

// The meter's bar inside the client rectangle for Value - Min = k of Max - Min = n. The bar's
// length is its share of the rectangle's width (or height), measured from the growing edge.
TRect MeterBarRect(const TRect& client, TDirection direction, int k, int n);

// Lit LED segments: count * k div n (0 when n <= 0), never negative.
int MeterLitSegments(int count, int k, int n);
// Length of one LED segment along the growth axis: (length - (count - 2) * spacing) div count.
int MeterSegmentSize(int length, int count, int spacing);

// The LED layout of a progress bar of `length` pixels asked for `segments` segments.
struct TSegmentBarLayout {
    int Count = 0;   // segments drawn
    int Size = 0;    // pixels per segment
    int Margin = 0;  // back-colour margin at each end
};
TSegmentBarLayout SegmentBarLayout(int length, int segments);
// trunc(percent * count / 100), at most count.
int SegmentBarLit(int percent, int count);

// The filled length of a bar: round(length * percent / 100), halves to even; the whole
// length from 100 on.
int PercentBarFill(int length, int percent);
// round(parts / total * 100), halves to even; total must not be 0.
int PartsPercent(std::uint32_t parts, std::uint32_t total);
