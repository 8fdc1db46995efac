// Canvas pixel rules, checked by reading pixels back.
#include <gtest/gtest.h>

#include "platform/ui/ClassicGlyphs.h"
#include "platform/ui/Graphics.h"

namespace {

// Every pixel of the bitmap that is not white, as "x,y" listing helpers would be noisy;
// counting and bounding is enough for the rules.
TRect PaintedBox(TBitmap& b, TColor background = clWhite) {
    int l = 1 << 30, t = 1 << 30, r = -1, bo = -1;
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x)
            if (b.GetPixel(x, y) != background) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x + 1);
                bo = std::max(bo, y + 1);
            }
    return r < 0 ? TRect() : TRect(l, t, r, bo);
}

int CountColor(TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x) n += b.GetPixel(x, y) == c;
    return n;
}

}  // namespace

TEST(SysColors, FixedClassicTable) {
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x00F0F0F0);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x00A0A0A0);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0x00FFFFFF);
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), 0x00696969);
    EXPECT_EQ(ColorToRGB(cl3DLight), 0x00E3E3E3);
    EXPECT_EQ(ColorToRGB(clWindow), 0x00FFFFFF);
    EXPECT_EQ(ColorToRGB(clWindowText), 0);
    EXPECT_EQ(ColorToRGB(clHighlight), 0x00D77800);
    EXPECT_EQ(ColorToRGB(clHighlightText), 0x00FFFFFF);
    EXPECT_EQ(ColorToRGB(clGrayText), 0x006D6D6D);
    EXPECT_EQ(ColorToRGB(clBtnText), 0);
    EXPECT_EQ(ColorToRGB(clInfoBk), 0x00E1FFFF);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0x00F0F0F0);
    EXPECT_EQ(GetSysColor(31), 0);
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456);
    EXPECT_EQ(clNone, 0x1FFFFFFF);
}

TEST(Canvas, LineLeavesOutItsEndPoint) {
    TBitmap b(20, 20);
    TCanvas* c = b.GetCanvas();
    c->GetPen()->SetColor(clBlack);
    c->MoveTo(2, 5);
    c->LineTo(12, 5);
    EXPECT_EQ(b.GetPixel(2, 5), clBlack);
    EXPECT_EQ(b.GetPixel(11, 5), clBlack);
    EXPECT_EQ(b.GetPixel(12, 5), clWhite);
    EXPECT_EQ(CountColor(b, clBlack), 10);
    // Vertical and diagonal: the same rule; the pen position moves to the end point.
    c->LineTo(12, 9);
    EXPECT_EQ(b.GetPixel(12, 5), clBlack);
    EXPECT_EQ(b.GetPixel(12, 8), clBlack);
    EXPECT_EQ(b.GetPixel(12, 9), clWhite);
    c->MoveTo(0, 10);
    c->LineTo(5, 15);
    EXPECT_EQ(b.GetPixel(4, 14), clBlack);
    EXPECT_EQ(b.GetPixel(5, 15), clWhite);
    EXPECT_EQ(c->GetPenPos(), TPoint(5, 15));
}

TEST(Canvas, RectangleFillRectFrameRectExtents) {
    TBitmap b(20, 20);
    TCanvas* c = b.GetCanvas();
    c->GetPen()->SetColor(clRed);
    c->GetBrush()->SetColor(clBlue);
    c->Rectangle(2, 3, 8, 10);
    EXPECT_EQ(PaintedBox(b), TRect(2, 3, 8, 10));
    EXPECT_EQ(b.GetPixel(2, 3), clRed);
    EXPECT_EQ(b.GetPixel(7, 9), clRed);
    EXPECT_EQ(b.GetPixel(3, 4), clBlue);
    EXPECT_EQ(b.GetPixel(6, 8), clBlue);
    EXPECT_EQ(CountColor(b, clBlue), 4 * 5);

    TBitmap f(20, 20);
    f.GetCanvas()->GetBrush()->SetColor(clGreen);
    f.GetCanvas()->FillRect(TRect(1, 1, 5, 4));
    EXPECT_EQ(PaintedBox(f), TRect(1, 1, 5, 4));
    EXPECT_EQ(CountColor(f, clGreen), 12);
    f.GetCanvas()->GetBrush()->SetColor(clRed);
    f.GetCanvas()->FrameRect(TRect(10, 10, 15, 13));
    EXPECT_EQ(CountColor(f, clRed), 5 + 5 + 1 + 1);
    EXPECT_EQ(f.GetPixel(12, 11), clWhite);

    // A clear pen leaves the right column and the bottom row out, as the window system does.
    TBitmap n(20, 20);
    n.GetCanvas()->GetPen()->SetStyle(psClear);
    n.GetCanvas()->GetBrush()->SetColor(clBlack);
    n.GetCanvas()->Rectangle(0, 0, 5, 5);
    EXPECT_EQ(PaintedBox(n), TRect(0, 0, 4, 4));
}

TEST(Canvas, PolygonAndRegionLeaveOutRightAndBottom) {
    TBitmap b(20, 20);
    TCanvas* c = b.GetCanvas();
    c->GetPen()->SetStyle(psClear);
    c->GetBrush()->SetColor(clBlack);
    TPoint square[] = {{2, 2}, {8, 2}, {8, 6}, {2, 6}};
    c->Polygon(square, 4);
    EXPECT_EQ(PaintedBox(b), TRect(2, 2, 8, 6));
    EXPECT_EQ(CountColor(b, clBlack), 24);

    // A triangle whose slanted side runs through pixel centres: those centres count as
    // outside (a right edge), so the rows hold 9, 8, ... 1 pixels.
    TBitmap t(20, 20);
    t.GetCanvas()->GetPen()->SetStyle(psClear);
    t.GetCanvas()->GetBrush()->SetColor(clBlack);
    TPoint tri[] = {{0, 0}, {10, 0}, {0, 10}};
    t.GetCanvas()->Polygon(tri, 3);
    EXPECT_EQ(t.GetPixel(0, 0), clBlack);
    EXPECT_EQ(t.GetPixel(8, 0), clBlack);
    EXPECT_EQ(t.GetPixel(9, 0), clWhite);
    EXPECT_EQ(t.GetPixel(0, 8), clBlack);
    EXPECT_EQ(t.GetPixel(0, 9), clWhite);
    EXPECT_EQ(t.GetPixel(8, 1), clWhite);
    EXPECT_EQ(CountColor(t, clBlack), 45);

    TRegion r = TRegion::FromPolygon(square, 4);
    EXPECT_EQ(r.GetBox(), TRect(2, 2, 8, 6));
    EXPECT_TRUE(r.Contains(7, 5));
    EXPECT_FALSE(r.Contains(8, 5));
    EXPECT_FALSE(r.Contains(7, 6));
    TRegion rr = TRegion::FromRect(2, 2, 8, 6);
    EXPECT_TRUE(r == rr);
}

TEST(Canvas, OutlinedPolygonCoversItsEdges) {
    TBitmap b(20, 20);
    TCanvas* c = b.GetCanvas();
    c->GetPen()->SetColor(clRed);
    c->GetBrush()->SetColor(clBlue);
    TPoint square[] = {{2, 2}, {8, 2}, {8, 6}, {2, 6}};
    c->Polygon(square, 4);
    EXPECT_EQ(PaintedBox(b), TRect(2, 2, 9, 7));
    EXPECT_EQ(b.GetPixel(8, 6), clRed);
    EXPECT_EQ(b.GetPixel(5, 4), clBlue);
}

TEST(Canvas, XorCopyInsideImagesAndPenXor) {
    TBitmap src(4, 4), dst(4, 4);
    src.GetCanvas()->GetBrush()->SetColor(0x000F0F0F);
    src.GetCanvas()->FillRect(TRect(0, 0, 4, 4));
    dst.GetCanvas()->GetBrush()->SetColor(0x00F0F000);
    dst.GetCanvas()->FillRect(TRect(0, 0, 4, 4));
    dst.GetCanvas()->SetCopyMode(cmSrcInvert);
    dst.GetCanvas()->CopyRect(TRect(0, 0, 2, 2), *src.GetCanvas(), TRect(0, 0, 2, 2));
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00FFFF0F);
    EXPECT_EQ(dst.GetPixel(2, 2), 0x00F0F000);
    // Twice restores.
    dst.GetCanvas()->CopyRect(TRect(0, 0, 2, 2), *src.GetCanvas(), TRect(0, 0, 2, 2));
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00F0F000);
    // Within one image, overlapping: the source is read before writing.
    TBitmap self(4, 1);
    for (int x = 0; x < 4; ++x) self.SetPixel(x, 0, RGB(x, 0, 0));
    self.GetCanvas()->BitBlt(1, 0, 3, 1, *self.GetCanvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(self.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(self.GetPixel(3, 0), RGB(2, 0, 0));

    TBitmap p(10, 1);
    p.GetCanvas()->GetPen()->SetMode(pmXor);
    p.GetCanvas()->GetPen()->SetColor(clWhite);
    p.GetCanvas()->MoveTo(0, 0);
    p.GetCanvas()->LineTo(5, 0);
    EXPECT_EQ(p.GetPixel(0, 0), clBlack);
    EXPECT_EQ(p.GetPixel(5, 0), clWhite);
}

TEST(Canvas, ClipRegionsRectangularPolygonAndCombined) {
    TBitmap b(20, 20);
    TCanvas* c = b.GetCanvas();
    TRegion clip = TRegion::FromRect(5, 5, 10, 10);
    c->SelectClipRegion(&clip);
    c->GetBrush()->SetColor(clBlack);
    c->FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(PaintedBox(b), TRect(5, 5, 10, 10));
    EXPECT_EQ(c->GetPixel(0, 0), -1);
    c->SelectClipRegion(nullptr);
    EXPECT_EQ(c->GetPixel(0, 0), clWhite);

    TBitmap d(20, 20);
    TPoint tri[] = {{0, 0}, {10, 0}, {0, 10}};
    TRegion a = TRegion::FromPolygon(tri, 3), sq = TRegion::FromRect(0, 0, 4, 4), diff;
    diff.Combine(a, sq, RGN_DIFF);
    d.GetCanvas()->SelectClipRegion(&diff);
    d.GetCanvas()->GetBrush()->SetColor(clBlack);
    d.GetCanvas()->FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(CountColor(d, clBlack), 45 - 16);
    EXPECT_EQ(d.GetPixel(3, 3), clWhite);
    EXPECT_EQ(d.GetPixel(4, 0), clBlack);

    // Exclusion and origin.
    TBitmap e(10, 10);
    e.GetCanvas()->ExcludeClipRect(0, 0, 5, 10);
    e.GetCanvas()->SetOrigin(2, 0);
    e.GetCanvas()->GetBrush()->SetColor(clBlack);
    e.GetCanvas()->FillRect(TRect(0, 0, 4, 1));  // device 2..5: only 5 stays
    EXPECT_EQ(CountColor(e, clBlack), 1);
    EXPECT_EQ(e.GetPixel(5, 0), clBlack);
}

TEST(Canvas, GradientFillEndColours) {
    TBitmap b(11, 3);
    b.GetCanvas()->GradientFill(TRect(0, 0, 11, 3), RGB(0, 0, 0), RGB(220, 110, 0), GRADIENT_FILL_RECT_H);
    EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 0, 0));
    // Position p of n takes (c0 * (n - p) + c1 * p) / n on 16-bit channels.
    EXPECT_EQ(b.GetPixel(10, 2), RGB(200, 100, 0));
    EXPECT_EQ(b.GetPixel(5, 1), RGB(100, 50, 0));
    TBitmap v(2, 4);
    v.GetCanvas()->GradientFill(TRect(0, 0, 2, 4), clWhite, clBlack, GRADIENT_FILL_RECT_V);
    EXPECT_EQ(v.GetPixel(1, 0), clWhite);
    EXPECT_EQ(v.GetPixel(0, 3), RGB(63, 63, 63));
    EXPECT_EQ(v.GetPixel(0, 1), v.GetPixel(1, 1));
}

TEST(Canvas, DrawHonoursTransparentColour) {
    TBitmap sprite(3, 3);
    sprite.GetCanvas()->GetBrush()->SetColor(clLime);
    sprite.GetCanvas()->FillRect(TRect(0, 0, 3, 3));
    sprite.SetPixel(1, 1, clRed);
    sprite.SetTransparent(true);  // the bottom-left pixel's colour
    TBitmap b(5, 5);
    b.GetCanvas()->Draw(1, 1, sprite);
    EXPECT_EQ(CountColor(b, clRed), 1);
    EXPECT_EQ(b.GetPixel(2, 2), clRed);
    EXPECT_EQ(CountColor(b, clLime), 0);
    sprite.SetTransparent(false);
    b.GetCanvas()->StretchDraw(TRect(0, 0, 5, 5), sprite);
    EXPECT_EQ(b.GetPixel(0, 0), clLime);
    EXPECT_EQ(b.GetPixel(2, 2), clRed);
}

TEST(Canvas, DrawBlendsPremultipliedPixelsOverTheDestination) {
    TBitmap sprite(3, 1), b(4, 1);
    auto* px = reinterpret_cast<std::uint32_t*>(sprite.ScanLine(0));
    px[0] = 0x80640000;  // red 100 at alpha 128, premultiplied
    px[1] = 0;           // transparent
    px[2] = 0xFF102030;  // opaque
    sprite.SetAlphaFormat(afPremultiplied);
    b.GetCanvas()->Draw(1, 0, sprite);
    // Over white: 100 + 255 * 127 / 255 rounded, and 127 for green and blue.
    EXPECT_EQ(b.GetPixel(1, 0), RGB(227, 127, 127));
    EXPECT_EQ(b.GetPixel(2, 0), clWhite);
    EXPECT_EQ(b.GetPixel(3, 0), RGB(0x10, 0x20, 0x30));
    // Without the alpha format the colour bits are copied as they are.
    sprite.SetAlphaFormat(afIgnored);
    b.GetCanvas()->Draw(0, 0, sprite);
    EXPECT_EQ(b.GetPixel(0, 0), RGB(100, 0, 0));
    EXPECT_EQ(b.GetPixel(1, 0), clBlack);
}

// A classic scroll button's arrow: a triangle around the button's centre, its tip
// the way it points, a pixel further right and down on a button held down; grey where the bar
// cannot scroll.
TEST(ClassicGlyphs, ScrollArrowsPointTheirWay) {
    const TPoint tips[] = {{8, 6}, {8, 9}, {6, 8}, {9, 8}};  // up, down, left, right
    for (int direction = 0; direction < 4; ++direction)
        for (const int pushed : {0, 1}) {
            TBitmap b(16, 16);
            DrawClassicScrollArrow(*b.GetCanvas(), TRect(0, 0, 16, 16), direction, !pushed, pushed);
            const TColor color = ColorToRGB(pushed ? clGrayText : clBtnText);
            const bool vertical = direction < 2;
            EXPECT_EQ(PaintedBox(b), vertical ? TRect(5 + pushed, 6 + pushed, 12 + pushed, 10 + pushed)
                                              : TRect(6 + pushed, 5 + pushed, 10 + pushed, 12 + pushed));
            const TPoint tip{tips[direction].x + pushed, tips[direction].y + pushed};
            EXPECT_EQ(b.GetPixel(tip.x, tip.y), color) << direction;
            EXPECT_EQ(b.GetPixel(tip.x - vertical, tip.y - !vertical), clWhite) << direction;
        }
}
