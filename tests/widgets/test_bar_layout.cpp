// Level arithmetic of the meter and the progress bar.
#include <gtest/gtest.h>

#include "widgets/UiBarLayout.h"

TEST(UiBarLayout, MeterBarFromTheWidthNotTheFarEdge) {
    // Client (10, 3, 110, 23): half of Max - Min gives half of the 100-pixel width.
    EXPECT_EQ(MeterBarRect(Rect(10, 3, 110, 23), dirRight, 50, 100), Rect(10, 3, 60, 23));
    EXPECT_EQ(MeterBarRect(Rect(10, 3, 110, 23), dirLeft, 25, 100), Rect(85, 3, 110, 23));
    EXPECT_EQ(MeterBarRect(Rect(10, 4, 110, 24), dirUp, 1, 4), Rect(10, 19, 110, 24));
    EXPECT_EQ(MeterBarRect(Rect(10, 4, 110, 24), dirDown, 3, 4), Rect(10, 4, 110, 19));
    EXPECT_EQ(MeterBarRect(Rect(10, 3, 110, 23), dirRight, 0, 100), Rect(10, 3, 10, 23));
    EXPECT_EQ(MeterBarRect(Rect(10, 3, 110, 23), dirRight, 100, 100), Rect(10, 3, 110, 23));
}

TEST(UiBarLayout, MeterSegments) {
    EXPECT_EQ(MeterLitSegments(15, 16, 31), 7);   // 15 * 16 div 31
    EXPECT_EQ(MeterLitSegments(15, 31, 31), 15);
    EXPECT_EQ(MeterLitSegments(15, 0, 31), 0);
    EXPECT_EQ(MeterLitSegments(15, 5, 0), 0);
    // 146 pixels, 15 segments, spacing 2: (146 - 13 * 2) div 15 = 8.
    EXPECT_EQ(MeterSegmentSize(146, 15, 2), 8);
}

TEST(UiBarLayout, ProgressSegments) {
    TSegmentBarLayout a = SegmentBarLayout(80, 20);
    EXPECT_EQ(a.Count, 10);
    EXPECT_EQ(a.Size, 8);
    TSegmentBarLayout b = SegmentBarLayout(60, 20);
    EXPECT_EQ(b.Count, 10);
    EXPECT_EQ(b.Size, 6);
    TSegmentBarLayout c = SegmentBarLayout(200, 20);
    EXPECT_EQ(c.Count, 20);
    EXPECT_EQ(c.Size, 10);
    EXPECT_EQ(c.Margin, 0);
    EXPECT_EQ(SegmentBarLayout(205, 20).Margin, 2);
    // 7 asked on 100: s = 14, 2 pixels left (< s): 7 segments, margin 1.
    TSegmentBarLayout d = SegmentBarLayout(100, 7);
    EXPECT_EQ(d.Count, 7);
    EXPECT_EQ(d.Margin, 1);
    // 3 asked on 100: s = 33, grows by 1 / 33 = 0.
    EXPECT_EQ(SegmentBarLayout(100, 3).Count, 3);
    // Too short for any segment: nothing, not a division by zero.
    EXPECT_EQ(SegmentBarLayout(5, 20).Count, 0);
    EXPECT_EQ(SegmentBarLit(25, 20), 5);
    EXPECT_EQ(SegmentBarLit(150, 20), 20);
}

TEST(UiBarLayout, PercentagesRoundHalvesToEven) {
    EXPECT_EQ(PartsPercent(1, 8), 12);
    EXPECT_EQ(PartsPercent(3, 8), 38);
    EXPECT_EQ(PartsPercent(5, 5), 100);
    EXPECT_EQ(PercentBarFill(200, 25), 50);
    EXPECT_EQ(PercentBarFill(10, 25), 2);   // 2.5 -> 2
    EXPECT_EQ(PercentBarFill(10, 35), 4);   // 3.5 -> 4
    EXPECT_EQ(PercentBarFill(10, 150), 10);
    EXPECT_EQ(PercentBarFill(10, 0), 0);
}
