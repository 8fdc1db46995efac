// Trapezoid geometry of the segmented meter, against points worked out by hand.
#include <gtest/gtest.h>

#include "widgets/UiTrapezoid.h"

TEST(UiTrapezoid, ShortSideOnTopOrBottom) {
    TTrapezoid t;
    // Width 100, short side 20 centred at offset 40.
    GetTrapezoidPoints(t, Rect(10, 5, 110, 35), 20, 0, 0, 1);
    EXPECT_EQ(t, (TTrapezoid{50, 5, 70, 5, 110, 35, 10, 35}));
    GetTrapezoidPoints(t, Rect(10, 5, 110, 35), 20, 1, 0, 1);
    EXPECT_EQ(t, (TTrapezoid{10, 5, 110, 5, 70, 35, 50, 35}));
    GetTrapezoidPoints(t, Rect(0, 0, 100, 30), 20, 1, 1, 0);
    EXPECT_EQ(t, (TTrapezoid{0, 0, 20, 0, 100, 30, 0, 30}));
    GetTrapezoidPoints(t, Rect(0, 0, 100, 30), 20, 0, 1, 2);
    EXPECT_EQ(t, (TTrapezoid{0, 0, 100, 0, 100, 30, 80, 30}));
    // A size beyond the width is cut to it.
    GetTrapezoidPoints(t, Rect(0, 0, 15, 30), 20, 0, 0, 1);
    EXPECT_EQ(t, (TTrapezoid{0, 0, 15, 0, 15, 30, 0, 30}));
}

TEST(UiTrapezoid, ShortSideLeftOrRight) {
    TTrapezoid t;
    // Height 30, short side 6 centred at offset 12.
    GetTrapezoidPoints(t, Rect(0, 0, 150, 30), 6, 0, 3, 1);
    EXPECT_EQ(t, (TTrapezoid{0, 0, 150, 12, 150, 18, 0, 30}));
    GetTrapezoidPoints(t, Rect(0, 0, 150, 30), 6, 0, 2, 1);
    EXPECT_EQ(t, (TTrapezoid{0, 12, 150, 0, 150, 30, 0, 18}));
    GetTrapezoidPoints(t, Rect(0, 0, 150, 30), 6, 1, 2, 0);
    EXPECT_EQ(t, (TTrapezoid{0, 0, 150, 0, 150, 6, 0, 30}));
}

TEST(UiTrapezoid, LineCrossingRoundsToNearest) {
    TPoint p;
    // Line (0,0)-(10,30) at y = 10: x = 10 - 10/30*20 = 3.33 -> 3.
    LineCrossing({0, 0}, {10, 30}, {99, 10}, p, 0);
    EXPECT_EQ(p, Point(3, 10));
    // At y = 20: 6.67 -> 7.
    LineCrossing({0, 0}, {10, 30}, {0, 20}, p, 1);
    EXPECT_EQ(p, Point(7, 20));
    // Along x: line (0,12)-(150,0) at x = 75: y = 0 - (-12/150)*75 = 6.
    LineCrossing({0, 12}, {150, 0}, {75, 0}, p, 3);
    EXPECT_EQ(p, Point(75, 6));
    // A line parallel to the crossing axis gives its end point, not a division by zero.
    LineCrossing({0, 5}, {10, 5}, {3, 5}, p, 0);
    EXPECT_EQ(p, Point(10, 5));
}

TEST(UiTrapezoid, ClipAndInflate) {
    TTrapezoid t{0, 12, 150, 0, 150, 30, 0, 18}, out;
    // Crossing at x = 0 and x = 75 (orientation 2): top line y 12 -> 6, bottom 18 -> 24.
    ClipTrapezoidToRect(t, Rect(0, 0, 75, 30), 2, out);
    EXPECT_EQ(out, (TTrapezoid{0, 12, 75, 6, 75, 24, 0, 18}));
    TTrapezoid v{40, 0, 60, 0, 100, 40, 0, 40};
    ClipTrapezoidToRect(v, Rect(0, 20, 100, 40), 0, out);
    EXPECT_EQ(out, (TTrapezoid{20, 20, 80, 20, 100, 40, 0, 40}));
    InflateTrapezoid(v, -2);
    EXPECT_EQ(v, (TTrapezoid{42, 2, 58, 2, 98, 38, 2, 38}));
}
