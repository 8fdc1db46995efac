// Colour arithmetic against values worked out by hand from the HSL rules (0..240 scale,
// hue divided by 239 on the way back, halves rounded to even).
#include <gtest/gtest.h>

#include "widgets/UiColors.h"

TEST(UiColors, HslOfGreysAndPrimaries) {
    for (TColor grey : {TColor(0x000000), TColor(0xFFFFFF), TColor(0x808080), clBtnFace}) {
        TUiHSL hsl = ColorToHSL(grey);
        EXPECT_EQ(hsl.H, 0);
        EXPECT_EQ(hsl.S, 0);
    }
    TUiHSL red = ColorToHSL(0x0000FF);
    EXPECT_EQ(red.H, 0);
    EXPECT_EQ(red.S, 240);
    EXPECT_EQ(red.L, 120);
    EXPECT_EQ(ColorHue(0xFF0000), 160);  // blue: (4 + 0) / 6 * 240
    // clBtnFace is 240,240,240: L = 240/255 * 240 = 225.88 -> 226.
    EXPECT_EQ(ColorToHSL(clBtnFace).L, 226);
    // 0x00149BF0 (r 240, g 155, b 20): H = (135/220)/6*240 = 24.55 -> 25;
    // L = 130/255*240 = 122.35 -> 122; S = (220/255)/(2 - 260/255)*240 = 211.2 -> 211.
    TUiHSL hot = ColorToHSL(0x00149BF0);
    EXPECT_EQ(hot.H, 25);
    EXPECT_EQ(hot.S, 211);
    EXPECT_EQ(hot.L, 122);
}

TEST(UiColors, HslBackToColour) {
    EXPECT_EQ(HSLtoColor(0, 0, 240), clWhite);
    EXPECT_EQ(HSLtoColor(0, 0, 0), clBlack);
    // Hue 239 is a full turn: sextant 6, ordered (m2, t, m1) with f = 0: pure red.
    EXPECT_EQ(HSLtoColor(239, 240, 120), TColor(0x0000FF));
    // Because of the 239, hue 160 lands just past the sextant boundary: f = 0.0167, and red
    // gets t = 0.0167 * 255 = 4.3 -> 4; green's hue 80 gives blue 0.0084 * 255 -> 2.
    EXPECT_EQ(HSLtoColor(160, 240, 120), RGB(4, 0, 255));
    EXPECT_EQ(HSLtoColor(80, 240, 120), RGB(0, 255, 2));
    // Greys and red (hue 0) survive the round trip.
    for (TColor c : {TColor(0x000000), TColor(0xFFFFFF), TColor(0x0000FF), TColor(0xC0C0C0),
                     TColor(0x808080), TColor(0x404040)}) {
        TUiHSL hsl = ColorToHSL(c);
        EXPECT_EQ(HSLtoColor(hsl.H, hsl.S, hsl.L), c) << std::hex << c;
    }
    // A luminance above 240 clips every channel at full intensity.
    EXPECT_EQ(HSLtoColor(0, 0, 255), clWhite);
}

TEST(UiColors, DarkerLighterAdjust) {
    // Face L 226: 216 -> 0.9 * 255 = 229.5 -> 230 (even); 206 -> 218.875 -> 219; 186 -> 198.
    EXPECT_EQ(DarkerColor(clBtnFace, 10), RGB(230, 230, 230));
    EXPECT_EQ(DarkerColor(clBtnFace, 20), RGB(219, 219, 219));
    EXPECT_EQ(DarkerColor(clBtnFace, 40), RGB(198, 198, 198));
    // Silver L 181: +30 = 211 -> 224.19 -> 224; -10 = 171 -> 181.69 -> 182.
    EXPECT_EQ(LighterColor(clSilver, 30), RGB(224, 224, 224));
    EXPECT_EQ(DarkerColor(clSilver, 10), RGB(182, 182, 182));
    // Shadow 160: L 151 + 30 = 181 -> 192.31 -> 192.
    EXPECT_EQ(LighterColor(clBtnShadow, 30), RGB(192, 192, 192));
    // 226 + 100 clips L at 255, then every channel at 255.
    EXPECT_EQ(LighterColor(clBtnFace, 100), clWhite);
    EXPECT_EQ(DarkerColor(clBtnFace, 255), clBlack);
    // Blue lightened by 30: L 150, m2 1.0, m1 0.25, sextant 4, f = 0.0167 -> (67, 64, 255).
    EXPECT_EQ(AdjustColor(clBlue, 30), RGB(67, 64, 255));
    EXPECT_EQ(AdjustColor(clBlue, -30), DarkerColor(clBlue, 30));
    // Adjustment 0 hands back the colour as given, even a system colour.
    EXPECT_EQ(AdjustColor(clBtnShadow, 0), clBtnShadow);
}

TEST(UiColors, BlendXorCloseComplement) {
    // w = 190/255: 255w + 240(1-w) = 251.18; 255w + 155(1-w) = 229.51; 255w + 20(1-w) = 195.1.
    EXPECT_EQ(BlendColors(clWhite, 0x00149BF0, 190), RGB(251, 230, 195));
    EXPECT_EQ(BlendColors(clRed, clBlue, 255), clRed);
    EXPECT_EQ(BlendColors(clRed, clBlue, 0), clBlue);
    EXPECT_EQ(BlendColors(clBtnFace, clBlack, 128), RGB(120, 120, 120));  // 240*128/255 = 120.47
    EXPECT_EQ(XorColors(clBtnFace, clWhite), RGB(15, 15, 15));
    EXPECT_TRUE(ColorsTooClose(clBtnFace, clWhite));    // H 0/0, L 226/240
    EXPECT_FALSE(ColorsTooClose(clBtnFace, clBlack));   // L 226/0
    EXPECT_FALSE(ColorsTooClose(clRed, clBlue));        // H 0/160
    EXPECT_TRUE(ColorsTooClose(clBlack, RGB(40, 40, 40)));  // H 0/0, L 0/38
    EXPECT_FALSE(ColorsTooClose(clBlack, RGB(0, 0, 40)));   // H 0/160
}

TEST(UiColors, SystemColoursResolveFromTheFixedTable) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(160, 160, 160));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(0, 120, 215));
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), RGB(105, 105, 105));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
}

TEST(UiColors, ClassicSchemeColoursWithThemesOff) {
    TColor start, stop, frame;
    GetXPGradientColors(true, start, stop);
    EXPECT_EQ(start, clWindow);
    EXPECT_EQ(stop, RGB(230, 230, 230));
    EXPECT_EQ(GetXPFrameColor(true), RGB(192, 192, 192));
    GetXPButtonColors(true, start, stop, frame);
    EXPECT_EQ(start, RGB(219, 219, 219));
    EXPECT_EQ(stop, clWindow);
    EXPECT_EQ(frame, RGB(198, 198, 198));
    EXPECT_EQ(GetXPThemeColor(0), clBtnFace);
}
