#include "widgets/UiGlyphs.h"

#include <vector>

#include "platform/ui/ThemeServices.h"
#include "widgets/UiColors.h"
#include "widgets/UiFrames.h"
#include "widgets/UiGrafx.h"

namespace {

// The rectangle's centre; for an even height one pixel higher.
TPoint Centre(const TRect& r) {
    int cy = (r.Top + r.Bottom) / 2;
    if (r.Height() % 2 == 0) --cy;
    return {(r.Left + r.Right) / 2, cy};
}

void FillPolygon(TCanvas* c, const std::vector<TPoint>& pts, TColor color) {
    int id = c->SaveState();
    c->GetPen()->SetStyle(psClear);
    c->GetBrush()->SetColor(color);
    c->GetBrush()->SetStyle(bsSolid);
    c->Polygon(pts);
    c->RestoreState(id);
}

// A colour the theme gives a part, or the fallback.
TColor ThemedSample(TThemeClass cls, int part, TColor fallback) {
    TColor c;
    if (ThemeServices()->GetThemeColor({cls, part, 1}, TMT_TEXTCOLOR, c)) return c;
    return fallback;
}

// Turns a point given for "up" into the same point for another direction around (cx, cy).
TPoint Turn(int dx, int dy, int direction, TPoint c) {
    switch (direction) {
    case 1: return {c.x - dx, c.y - dy};  // down
    case 2: return {c.x + dy, c.y - dx};  // left
    case 3: return {c.x - dy, c.y + dx};  // right
    default: return {c.x + dx, c.y + dy};
    }
}

}  // namespace

void DrawScrollArrow(TCanvas* c, const TRect& r, int style, bool enabled, TColor arrowColor,
                     int direction) {
    TColor color;
    if (style == 1) {
        color = ThemedSample(TThemeClass::ComboBox, CP_DROPDOWNBUTTON, cl3DDkShadow);
        if (ColorsTooClose(color, clWindow)) color = cl3DDkShadow;
    } else if (style == 2) {
        color = ThemedSample(TThemeClass::Spin, SPNP_UP, cl3DDkShadow);
    } else {
        color = arrowColor == clNone ? clBlack : arrowColor;
        if (ColorsTooClose(c->GetBrush()->GetColor(), color)) color = cl3DDkShadow;
    }
    if (!enabled) color = clBtnShadow;
    TPoint ct = Centre(r);
    int cx = ct.x, cy = ct.y;
    std::vector<TPoint> pts;
    if (style == 1) {
        // A notched arrowhead, drawn for "up" and turned.
        TPoint base{cx, cy + 4};
        if (direction >= 2) base = {cx + 2, cy};
        const int up[6][2] = {{0, -5}, {4, 0}, {1, 0}, {0, -2}, {-1, 0}, {-4, 0}};
        for (auto& p : up) pts.push_back(Turn(p[0], p[1], direction, base));
    } else if (style == 2) {
        switch (direction) {
        case 0: pts = {{cx, cy - 3}, {cx + 3, cy + 1}, {cx - 3, cy + 1}}; break;
        case 1: cy += 2, pts = {{cx, cy}, {cx - 2, cy - 3}, {cx + 3, cy - 3}}; break;
        case 2: cx -= 3, pts = {{cx + 1, cy}, {cx + 4, cy - 3}, {cx + 4, cy + 3}}; break;
        default: cx -= 1, pts = {{cx + 3, cy}, {cx, cy + 3}, {cx, cy - 3}}; break;
        }
    } else {
        switch (direction) {
        case 0: pts = {{cx, cy - 5}, {cx + 4, cy}, {cx - 4, cy}}; break;
        case 1: pts = {{cx, cy + 1}, {cx - 3, cy - 3}, {cx + 4, cy - 3}}; break;
        case 2: cx -= 2, pts = {{cx, cy}, {cx + 4, cy - 4}, {cx + 4, cy + 4}}; break;
        default: cx -= 2, pts = {{cx + 4, cy}, {cx, cy + 4}, {cx, cy - 4}}; break;
        }
    }
    FillPolygon(c, pts, color);
}

void DrawCloseCross(TCanvas* c, const TRect& r, TColor color, bool enabled, bool themed) {
    if (themed) color = ThemedSample(TThemeClass::Window, 0, color);
    if (!enabled) color = clBtnShadow;
    TPoint ct = Centre(r);
    int cx = ct.x, cy = ct.y;
    std::vector<TPoint> pts;
    if (r.Height() >= 11 && r.Width() >= 9) {
        pts = {{cx, cy - 1},     {cx + 2, cy - 3}, {cx + 5, cy - 3}, {cx + 2, cy},
               {cx + 5, cy + 4}, {cx + 2, cy + 3}, {cx, cy + 1},     {cx - 2, cy + 4},
               {cx - 4, cy + 3}, {cx - 1, cy},     {cx - 4, cy - 3}, {cx - 1, cy - 3}};
    } else {
        // Arms three pixels long.
        pts = {{cx, cy - 1},     {cx + 2, cy - 3}, {cx + 3, cy - 2}, {cx + 1, cy},
               {cx + 3, cy + 2}, {cx + 2, cy + 3}, {cx, cy + 1},     {cx - 2, cy + 3},
               {cx - 3, cy + 2}, {cx - 1, cy},     {cx - 3, cy - 2}, {cx - 2, cy - 3},
               {cx, cy - 1}};
    }
    FillPolygon(c, pts, color);
}

void DrawGradientRing(TCanvas* c, const TRect& r, TGradientDirection direction, TColor start,
                      TColor stop) {
    if (!HighColorDisplay) return;
    int id = c->SaveState();
    c->ExcludeClipRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    PaintGradient(c, r, direction, 1, start, stop);
    c->RestoreState(id);
}

TColor GlyphFillColor(const TUiGlyphColors& g, int visualState, bool focused) {
    switch (visualState) {
    case gvsDown: return DarkerColor(g.FocusColor, 20);
    case gvsDisabled: return g.DisabledColor;
    default:
        if (focused) return g.ReadOnly && g.ReadOnlyColorOnFocus ? g.ReadOnlyColor : g.FocusColor;
        return g.ReadOnly ? g.ReadOnlyColor : g.FillColor;
    }
}

void DrawCheckBoxGlyph(TCanvas* c, const TRect& rect, TCheckBoxState state, int visualState,
                       bool focused, const TUiGlyphColors& g) {
    bool hot = visualState == gvsHot;
    TRect r = DrawBox(c, rect, hot && g.HotTrackStyle == htsFrame ? g.HotStartColor : g.FrameColor);
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(GlyphFillColor(g, visualState, focused));
    c->FillRect(r);
    TColor mark = visualState == gvsDisabled ? clBtnShadow : g.HighlightColor;
    if (state == cbChecked) {
        static const int kMark[21][2] = {{3, 5}, {3, 6}, {3, 7}, {4, 6}, {4, 7}, {4, 8}, {5, 7},
                                         {5, 8}, {5, 9}, {6, 6}, {6, 7}, {6, 8}, {7, 5}, {7, 6},
                                         {7, 7}, {8, 4}, {8, 5}, {8, 6}, {9, 3}, {9, 4}, {9, 5}};
        TColor m = ColorToRGB(mark);
        for (auto& p : kMark) c->SetPixel(r.Left - 1 + p[0], r.Top - 1 + p[1], m);
    } else if (state == cbGrayed) {
        c->GetBrush()->SetColor(mark);
        c->FillRect(TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2));
    }
    if (hot) {
        if (g.HotTrackStyle == htsInterior)
            DrawGradientRing(c, r, gdDiagonalDown, g.HotStartColor, g.HotStopColor);
        else
            DrawBox(c, r, g.HotStartColor);
    }
}

void DrawRadioGlyph(TCanvas* c, const TRect& rect, bool checked, int visualState, bool focused,
                    const TUiGlyphColors& g, TColor color, bool transparent) {
    int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    TColor fill = ColorToRGB(GlyphFillColor(g, visualState, focused));
    TColor outside = transparent ? TColor(0x808080) : ColorToRGB(color);
    bool hot = visualState == gvsHot;
    TColor ring = ColorToRGB(hot && g.HotTrackStyle == htsFrame ? g.HotStopColor : g.FrameColor);
    TColor straight = HighColorDisplay ? LighterColor(ring, 10) : ring;
    TUiRaster px(w, h, fill);
    // Every cell is set in all four quadrants by symmetry.
    auto mirror = [&](int x, int y, TColor col) {
        px.SetPixel(x, y, col);
        px.SetPixel(12 - x, y, col);
        px.SetPixel(x, 12 - y, col);
        px.SetPixel(12 - x, 12 - y, col);
    };
    auto both = [&](int x, int y, TColor col) {  // a cell and its transpose
        mirror(x, y, col);
        mirror(y, x, col);
    };
    // Corners outside the circle.
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {1, 1}}) both(x, y, outside);
    // The soft rim between the ring and the corners.
    TColor rimFar = BlendColors(ring, outside, 40), rimNear = BlendColors(ring, outside, 110);
    for (int x = 3; x <= 6; ++x) both(x, 0, x == 3 ? rimFar : rimNear);
    both(3, 1, rimNear);
    both(2, 1, rimFar);
    both(2, 2, rimFar);
    // The ring.
    for (int x = 5; x <= 6; ++x) both(x, 1, straight);
    both(4, 1, ring);
    both(3, 2, ring);
    // A hot interior: a round gradient in the middle.
    if (hot && HighColorDisplay && g.HotTrackStyle == htsInterior) {
        TUiRaster grad = GradientRaster(w, h, gdDiagonalDown, 1, g.HotStartColor, g.HotStopColor);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double dx = x + 0.5 - 6.5, dy = y + 0.5 - 6.5;
                bool inEllipse = dx * dx + dy * dy <= 2.5 * 2.5 + 0.5;
                bool inCross = (x >= 5 && x < 8 && y >= 3 && y < 10) || (x >= 3 && x < 10 && y >= 5 && y < 8);
                if (inEllipse || inCross) px.SetPixel(x, y, grad.Pixel(x, y));
            }
    }
    if (checked) {
        TColor m = ColorToRGB(visualState == gvsDisabled ? clBtnShadow : g.HighlightColor);
        TColor soft = HighColorDisplay ? BlendColors(m, px.Pixel(4, 4), 153) : m;
        px.FillRect(5, 5, 8, 8, m);
        for (auto [x, y] : {std::pair{6, 4}, {4, 6}, {8, 6}, {6, 8}}) px.SetPixel(x, y, m);
        for (auto [x, y] : {std::pair{5, 4}, {7, 4}, {4, 5}, {8, 5}, {4, 7}, {8, 7}, {5, 8}, {7, 8}})
            px.SetPixel(x, y, soft);
    }
    DrawRaster(c, rect.Left, rect.Top, px);
}
