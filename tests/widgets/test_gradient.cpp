// Gradient band arithmetic: 16.16 channels, steps truncated toward zero.
#include <gtest/gtest.h>

#include "widgets/UiColors.h"
#include "widgets/UiGradient.h"

namespace {
TColor Grey(int v) { return RGB(v, v, v); }

bool RowIsOneColour(const TUiRaster& r, int y) {
    for (int x = 1; x < r.Width(); ++x)
        if (r.Pixel(x, y) != r.Pixel(0, y)) return false;
    return true;
}
}  // namespace

TEST(UiGradient, HorizontalCentreRows) {
    // 9 rows, start white, stop black. Pass one: split 4 down to 0 in 5 steps of
    // (255 << 16) / 5 from black; pass two: 8 down to 5 in 4 steps of -(255 << 16) / 4 from white.
    TUiRaster r = GradientRaster(30, 9, gdHorizontalCenter, 1, clWhite, clBlack);
    ASSERT_EQ(r.Width(), 30);
    ASSERT_EQ(r.Height(), 9);
    const int expected[9] = {204, 153, 102, 51, 0, 63, 127, 191, 255};
    for (int y = 0; y < 9; ++y) {
        EXPECT_EQ(r.Pixel(0, y), Grey(expected[y])) << "row " << y;
        EXPECT_TRUE(RowIsOneColour(r, y)) << "row " << y;
    }
}

TEST(UiGradient, VerticalCentreColumns) {
    TUiRaster r = GradientRaster(9, 20, gdVerticalCenter, 1, clWhite, clBlack);
    EXPECT_EQ(r.Pixel(4, 0), clBlack);
    EXPECT_EQ(r.Pixel(4, 19), clBlack);
    EXPECT_EQ(r.Pixel(8, 13), clWhite);
    EXPECT_EQ(r.Pixel(0, 7), Grey(204));
    EXPECT_EQ(r.Pixel(5, 11), Grey(63));
}

TEST(UiGradient, EndDirectionsRunFromStartToStop) {
    TUiRaster rows = GradientRaster(4, 10, gdHorizontalEnd, 1, clBlack, clWhite);
    EXPECT_EQ(rows.Pixel(0, 0), clBlack);
    EXPECT_EQ(rows.Pixel(3, 5), Grey(127));  // 255 * 5 / 10 truncated
    EXPECT_EQ(rows.Pixel(2, 9), Grey(229));
    TUiRaster cols = GradientRaster(10, 4, gdVerticalEnd, 1, clBlack, clWhite);
    EXPECT_EQ(cols.Pixel(0, 3), clBlack);
    EXPECT_EQ(cols.Pixel(5, 0), Grey(127));
}

TEST(UiGradient, EmptyAndNegativeSizes) {
    EXPECT_EQ(GradientRaster(0, 10, gdSquareBox, 1, clWhite, clBlack).Width(), 0);
    EXPECT_EQ(GradientRaster(10, 0, gdDiagonalUp, 1, clWhite, clBlack).Height(), 0);
    TUiRaster neg = GradientRaster(-12, 9, gdHorizontalCenter, 1, clWhite, clBlack);
    EXPECT_EQ(neg.Width(), 12);
    EXPECT_EQ(neg.Pixel(11, 4), clBlack);
}

TEST(UiGradient, EqualColoursOrTinyBoxesFillWithTheStartColour) {
    TUiRaster diag = GradientRaster(7, 5, gdDiagonalDown, 1, clRed, clRed);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(diag.Pixel(x, y), clRed);
    TUiRaster box = GradientRaster(4, 30, gdBigSquareBox, 1, clWhite, clBlack);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(box.Pixel(x, y), clWhite);
}

TEST(UiGradient, BoxesAreMirroredWithTheStopColourInside) {
    TUiRaster r = GradientRaster(11, 9, gdSquareBox, 1, clWhite, clBlack);
    EXPECT_EQ(r.Pixel(5, 4), clBlack);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 11; ++x) {
            EXPECT_EQ(r.Pixel(x, y), r.Pixel(10 - x, y));
            EXPECT_EQ(r.Pixel(x, y), r.Pixel(x, 8 - y));
        }
    // From the centre toward the corner the colour only gets lighter.
    for (int x = 5; x > 0; --x)
        EXPECT_LE(GetRValue(r.Pixel(x, 4)), GetRValue(r.Pixel(x - 1, 4)));
    EXPECT_GT(GetRValue(r.Pixel(0, 0)), 150);
}

TEST(UiGradient, DiagonalRunsCornerToCorner) {
    TUiRaster up = GradientRaster(20, 20, gdDiagonalUp, 1, clWhite, clBlack);
    EXPECT_GT(GetRValue(up.Pixel(0, 0)), 230);
    EXPECT_LT(GetRValue(up.Pixel(19, 19)), 25);
    EXPECT_EQ(up.Pixel(19, 0), up.Pixel(0, 19));
    TUiRaster down = GradientRaster(20, 20, gdDiagonalDown, 1, clWhite, clBlack);
    EXPECT_LT(GetRValue(down.Pixel(19, 0)), 25);
    EXPECT_GT(GetRValue(down.Pixel(0, 19)), 230);
}
