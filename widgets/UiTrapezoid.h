#pragma once
// Geometry of the four-cornered shape the segmented meter fits its bar and segments into.
#include "platform/rtl/Types.h"

// P0 top left, P1 top right, P2 bottom right, P3 bottom left.
struct TTrapezoid {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    friend bool operator==(const TTrapezoid&, const TTrapezoid&) = default;
};

// direction 0 or 1, orientation 0..3 (0, 1 horizontal; 2, 3 vertical), alignment 0 start,
// 1 centre, 2 end.
void GetTrapezoidPoints(TTrapezoid& trap, const TRect& rect, int size, int direction,
                        int orientation, int alignment);
void ClipTrapezoidToRect(const TTrapezoid& trap, const TRect& rect, int orientation,
                         TTrapezoid& result);
// The point of line AB at the given point's y (orientations 0, 1) or x (2, 3).
void LineCrossing(TPoint a, TPoint b, TPoint given, TPoint& result, int orientation);
void InflateTrapezoid(TTrapezoid& trap, int distance);
