// The frame painters, pixel by pixel on a white bitmap.
#include <gtest/gtest.h>

#include "WidgetTestUtil.h"
#include "widgets/UiFrames.h"

using wt::Px;
using wt::Rgb;

TEST(UiFrames, DrawSidesLeavesLinesEndsOutAndShrinks) {
    auto b = wt::Canvas(10, 10);
    TRect r = DrawSides(b->GetCanvas(), TRect(0, 0, 10, 10), clRed, clBlue);
    EXPECT_EQ(r, TRect(1, 1, 9, 9));
    EXPECT_EQ(Px(*b, 0, 0), clRed);
    EXPECT_EQ(Px(*b, 0, 8), clRed);
    EXPECT_EQ(Px(*b, 8, 0), clRed);
    EXPECT_EQ(Px(*b, 9, 0), clBlue);  // the right side is drawn after the top
    EXPECT_EQ(Px(*b, 0, 9), clBlue);
    EXPECT_EQ(Px(*b, 9, 9), clBlue);
    EXPECT_EQ(Px(*b, 5, 5), clWhite);
    // clNone draws nothing but still shrinks; an empty set changes nothing.
    auto c = wt::Canvas(10, 10);
    EXPECT_EQ(DrawSides(c->GetCanvas(), TRect(0, 0, 10, 10), clNone, clBlue, TSides{sdLeft, sdRight}),
              TRect(1, 0, 9, 10));
    EXPECT_EQ(Px(*c, 0, 5), clWhite);
    EXPECT_EQ(Px(*c, 9, 5), clBlue);
    EXPECT_EQ(DrawSides(c->GetCanvas(), TRect(2, 2, 8, 8), clRed, clRed, TSides{}), TRect(2, 2, 8, 8));
    EXPECT_EQ(Px(*c, 2, 2), clWhite);
}

TEST(UiFrames, BevelsAndThreeDEdges) {
    auto b = wt::Canvas(12, 12);
    EXPECT_EQ(DrawBevel(b->GetCanvas(), TRect(0, 0, 12, 12), clRed, clBlue, 0), TRect(0, 0, 12, 12));
    EXPECT_EQ(DrawBevel(b->GetCanvas(), TRect(0, 0, 12, 12), clRed, clBlue, 3), TRect(3, 3, 9, 9));
    EXPECT_EQ(Px(*b, 2, 5), clRed);
    EXPECT_EQ(Px(*b, 9, 5), clBlue);
    auto l = wt::Canvas(12, 12);
    EXPECT_EQ(DrawCtl3DBorder(l->GetCanvas(), TRect(0, 0, 12, 12), true), TRect(2, 2, 10, 10));
    EXPECT_EQ(Px(*l, 0, 5), Rgb(clBtnShadow));
    EXPECT_EQ(Px(*l, 1, 5), Rgb(cl3DDkShadow));
    EXPECT_EQ(Px(*l, 11, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(*l, 10, 5), Rgb(cl3DLight));
    auto u = wt::Canvas(12, 12);
    DrawButtonBorder(u->GetCanvas(), TRect(0, 0, 12, 12), false);
    EXPECT_EQ(Px(*u, 0, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(*u, 11, 5), Rgb(cl3DDkShadow));
    EXPECT_EQ(Px(*u, 10, 5), Rgb(clBtnShadow));
}

TEST(UiFrames, StylesInSystemColours) {
    auto b = wt::Canvas(20, 20);
    EXPECT_EQ(DrawBorder(b->GetCanvas(), TRect(0, 0, 20, 20), fsNone), TRect(0, 0, 20, 20));
    EXPECT_EQ(Px(*b, 0, 0), clWhite);
    EXPECT_EQ(DrawBorder(b->GetCanvas(), TRect(0, 0, 20, 20), fsFlat), TRect(1, 1, 19, 19));
    EXPECT_EQ(Px(*b, 0, 5), Rgb(cl3DDkShadow));
    // Groove: the dark line outside, the light one inside, two pixels on each side.
    auto g = wt::Canvas(20, 20);
    EXPECT_EQ(DrawBorder(g->GetCanvas(), TRect(0, 0, 20, 20), fsGroove), TRect(2, 2, 18, 18));
    EXPECT_EQ(Px(*g, 0, 10), Rgb(clBtnShadow));
    EXPECT_EQ(Px(*g, 1, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(*g, 10, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Px(*g, 10, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(*g, 18, 10), Rgb(clBtnShadow));
    EXPECT_EQ(Px(*g, 19, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(*g, 19, 0), Rgb(clBtnHighlight));  // the mitred corner
    auto bump = wt::Canvas(20, 20);
    DrawBorder(bump->GetCanvas(), TRect(0, 0, 20, 20), fsBump);
    EXPECT_EQ(Px(*bump, 0, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(*bump, 1, 10), Rgb(clBtnShadow));
    auto bold = wt::Canvas(20, 20);
    EXPECT_EQ(DrawBorder(bold->GetCanvas(), TRect(0, 0, 20, 20), fsFlatBold, TSides{sdTop}), TRect(0, 2, 20, 20));
    EXPECT_EQ(Px(*bold, 10, 1), Rgb(clBtnShadow));
    EXPECT_EQ(Px(*bold, 0, 10), clWhite);
}

TEST(UiFrames, StylesInShadesOfOneColour) {
    auto b = wt::Canvas(20, 20);
    TRect r = DrawColorBorder(b->GetCanvas(), TRect(0, 0, 20, 20), clSilver, fsLowered);
    EXPECT_EQ(r, TRect(2, 2, 18, 18));
    EXPECT_EQ(Px(*b, 0, 10), DarkerColor(clSilver, 50));
    EXPECT_EQ(Px(*b, 19, 10), LighterColor(clSilver, 100));
    EXPECT_EQ(Px(*b, 1, 10), DarkerColor(clSilver, 100));
    EXPECT_EQ(Px(*b, 18, 10), LighterColor(clSilver, 50));
    auto up = wt::Canvas(20, 20);
    DrawColorButtonBorder(up->GetCanvas(), TRect(0, 0, 20, 20), clSilver, false);
    EXPECT_EQ(Px(*up, 0, 10), LighterColor(clSilver, 100));
    EXPECT_EQ(Px(*up, 1, 10), LighterColor(clSilver, 40));
    EXPECT_EQ(Px(*up, 19, 10), DarkerColor(clSilver, 100));
    EXPECT_EQ(Px(*up, 18, 10), DarkerColor(clSilver, 50));
}

TEST(UiFrames, BoxDotsAndRoundedFrame) {
    auto b = wt::Canvas(10, 8);
    EXPECT_EQ(DrawDottedRect(b->GetCanvas(), TRect(0, 0, 10, 8)), TRect(1, 1, 9, 7));
    EXPECT_EQ(Px(*b, 0, 0), clWhite);
    EXPECT_EQ(Px(*b, 1, 0), clBlack);
    EXPECT_EQ(Px(*b, 2, 0), clWhite);
    EXPECT_EQ(Px(*b, 7, 0), clBlack);
    EXPECT_EQ(Px(*b, 9, 0), clWhite);
    EXPECT_EQ(Px(*b, 0, 1), clBlack);
    EXPECT_EQ(Px(*b, 9, 5), clBlack);
    auto r = wt::Canvas(10, 10);
    EXPECT_EQ(DrawRoundedFrame(r->GetCanvas(), TRect(0, 0, 10, 10), clRed), TRect(2, 2, 8, 8));
    EXPECT_EQ(Px(*r, 0, 0), clWhite);
    EXPECT_EQ(Px(*r, 0, 1), clWhite);
    EXPECT_EQ(Px(*r, 1, 1), clRed);
    EXPECT_EQ(Px(*r, 0, 2), clRed);
    EXPECT_EQ(Px(*r, 2, 0), clRed);
    EXPECT_EQ(Px(*r, 8, 8), clRed);
    EXPECT_EQ(Px(*r, 9, 9), clWhite);
}

TEST(UiFrames, InnerOuterBordersAndClientRect) {
    TUiBorderSettings s;
    s.BorderOuter = fsRaised;
    s.BorderWidth = 2;
    s.BorderInner = fsFlat;
    s.BorderColor = clYellow;
    s.FlatColor = clBlue;
    s.FlatColorAdjustment = 30;
    auto b = wt::Canvas(30, 30);
    TRect r = DrawInnerOuterBorders(b->GetCanvas(), TRect(0, 0, 30, 30), s, clWhite, clBtnFace, false);
    EXPECT_EQ(r, TRect(5, 5, 25, 25));
    EXPECT_EQ(r, BorderClientRect(TRect(0, 0, 30, 30), s));
    EXPECT_EQ(Px(*b, 2, 15), clYellow);
    EXPECT_EQ(Px(*b, 4, 15), RGB(67, 64, 255));  // blue lightened by 30
    s.BorderSides = TSides{sdTop};
    EXPECT_EQ(BorderClientRect(TRect(0, 0, 30, 30), s), TRect(2, 5, 28, 28));
    s.BorderWidth = 20;
    EXPECT_EQ(BorderClientRect(TRect(0, 0, 30, 30), s), TRect(0, 0, 0, 0));
}
