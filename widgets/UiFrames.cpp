#include "widgets/UiFrames.h"

namespace {

void Line(TCanvas* c, int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

TRect Shrink(TRect r, TSides sides, int by) {
    if (sides.Has(sdLeft)) r.Left += by;
    if (sides.Has(sdTop)) r.Top += by;
    if (sides.Has(sdRight)) r.Right -= by;
    if (sides.Has(sdBottom)) r.Bottom -= by;
    return r;
}

// Groove and bump: a light and a dark line, two pixels, with the corners mitred.
TRect DrawEtched(TCanvas* c, const TRect& b, TColor ul, TColor lr, TSides sides) {
    auto pixel = [c](int x, int y, TColor col) { c->SetPixel(x, y, col); };
    bool l = sides.Has(sdLeft), t = sides.Has(sdTop), r = sides.Has(sdRight), bt = sides.Has(sdBottom);
    if (r)
        pixel(b.Right - 1, b.Top, lr);
    else if (t)
        pixel(b.Right - 1, b.Top, ul);
    if (bt)
        pixel(b.Left, b.Bottom - 1, lr);
    else if (l)
        pixel(b.Left, b.Bottom - 1, ul);
    if (t && !l) pixel(b.Left, b.Top + 1, lr);
    if (l && !t) pixel(b.Left + 1, b.Top, lr);
    if (bt && !r) pixel(b.Right - 1, b.Bottom - 2, ul);
    if (r && !bt) pixel(b.Right - 2, b.Bottom - 1, ul);
    TRect inner(b.Left + 1, b.Top + 1, b.Right, b.Bottom);
    DrawSides(c, inner, lr, lr, sides);
    TRect outer(b.Left, b.Top, b.Right - 1, b.Bottom - 1);
    DrawSides(c, outer, ul, ul, sides);
    return Shrink(b, sides, 2);
}

TRect Ring(TCanvas* c, const TRect& r, TColor color, TSides sides) {
    return DrawSides(c, r, color, color, sides);
}

// The flat-rounded style with its rings: the parent's colour shows at the cut corners.
TRect DrawFlatRounded(TCanvas* c, const TRect& r, TColor flat, TColor firstRing,
                      TColor secondRing, TSides sides) {
    if (firstRing != clNone) {
        TRect in = Ring(c, r, firstRing, sides);
        if (secondRing != clNone) Ring(c, in, secondRing, sides);
    } else if (secondRing != clNone) {
        Ring(c, Shrink(r, sides, 1), secondRing, sides);
    }
    return DrawRoundedFrame(c, r, flat, sides);
}

}  // namespace

TRect DrawSides(TCanvas* c, const TRect& b, TColor ul, TColor lr, TSides sides) {
    if (ul != clNone) {
        c->GetPen()->SetColor(ul);
        if (sides.Has(sdLeft)) Line(c, b.Left, b.Top, b.Left, b.Bottom);
        if (sides.Has(sdTop)) Line(c, b.Left, b.Top, b.Right, b.Top);
    }
    if (lr != clNone) {
        c->GetPen()->SetColor(lr);
        if (sides.Has(sdRight)) Line(c, b.Right - 1, b.Top, b.Right - 1, b.Bottom);
        if (sides.Has(sdBottom)) Line(c, b.Left, b.Bottom - 1, b.Right, b.Bottom - 1);
    }
    return Shrink(b, sides, 1);
}

TRect DrawBevel(TCanvas* c, const TRect& b, TColor ul, TColor lr, int width, TSides sides) {
    if (width <= 0) return b;
    c->GetPen()->SetWidth(1);
    TRect r = b;
    for (int i = 0; i < width; ++i) r = DrawSides(c, r, ul, lr, sides);
    return r;
}

TRect DrawCtl3DBorder(TCanvas* c, const TRect& b, bool lowered, TSides sides) {
    const TEdgeColors& e = Ctl3DColors[lowered ? 1 : 0];
    TRect r = DrawSides(c, b, e.OuterUL, e.OuterLR, sides);
    return DrawSides(c, r, e.InnerUL, e.InnerLR, sides);
}

TRect DrawButtonBorder(TCanvas* c, const TRect& b, bool down, TSides sides) {
    const TEdgeColors& e = BtnColors[down ? 1 : 0];
    TRect r = DrawSides(c, b, e.OuterUL, e.OuterLR, sides);
    return DrawSides(c, r, e.InnerUL, e.InnerLR, sides);
}

TRect DrawColorButtonBorder(TCanvas* c, const TRect& b, TColor color, TSides sides, bool down) {
    TRect r;
    if (down) {
        TColor d100 = DarkerColor(color, 100), d50 = DarkerColor(color, 50);
        r = DrawSides(c, b, d100, d100, sides);
        return DrawSides(c, r, d50, d50, sides);
    }
    r = DrawSides(c, b, LighterColor(color, 100), DarkerColor(color, 100), sides);
    return DrawSides(c, r, LighterColor(color, 40), DarkerColor(color, 50), sides);
}

TRect DrawColorButtonBorder(TCanvas* c, const TRect& b, TColor color, bool down) {
    return DrawColorButtonBorder(c, b, color, AllSides, down);
}

TRect DrawBorder(TCanvas* c, const TRect& b, TFrameStyle style, TSides sides) {
    if (style > fsFlatBold) style = fsFlat;  // the rounded style has no system-colour form
    const TFrameColors& col = FrameStyleColors[style];
    switch (style) {
    case fsNone: return b;
    case fsFlat:
    case fsStatus:
    case fsPopup: return DrawSides(c, b, col.UpperLeft, col.LowerRight, sides);
    case fsFlatBold: return DrawBevel(c, b, col.UpperLeft, col.LowerRight, 2, sides);
    case fsLowered:
    case fsRaised: return DrawCtl3DBorder(c, b, style == fsLowered, sides);
    case fsButtonDown:
    case fsButtonUp: return DrawButtonBorder(c, b, style == fsButtonDown, sides);
    case fsGroove:
    case fsBump: return DrawEtched(c, b, col.UpperLeft, col.LowerRight, sides);
    default: return b;
    }
}

TRect DrawColorBorder(TCanvas* c, const TRect& b, TColor color, TSides sides, TFrameStyle style) {
    auto D = [color](int n) { return DarkerColor(color, std::uint8_t(n)); };
    auto L = [color](int n) { return LighterColor(color, std::uint8_t(n)); };
    TRect r;
    switch (style) {
    case fsNone: return b;
    case fsFlat: return DrawSides(c, b, D(50), D(50), sides);
    case fsStatus: return DrawSides(c, b, D(50), L(100), sides);
    case fsPopup: return DrawSides(c, b, L(100), D(50), sides);
    case fsLowered:
        r = DrawSides(c, b, D(50), L(100), sides);
        return DrawSides(c, r, D(100), L(50), sides);
    case fsRaised:
        r = DrawSides(c, b, L(50), D(100), sides);
        return DrawSides(c, r, L(100), D(50), sides);
    case fsButtonDown:
    case fsButtonUp: return DrawColorButtonBorder(c, b, color, sides, style == fsButtonDown);
    case fsGroove: return DrawEtched(c, b, D(50), L(100), sides);
    case fsBump: return DrawEtched(c, b, L(100), D(50), sides);
    case fsFlatBold:
        r = DrawSides(c, b, D(50), D(50), sides);
        return DrawSides(c, r, D(50), D(50), sides);
    default: return b;
    }
}

TRect DrawColorBorder(TCanvas* c, const TRect& b, TColor color, TFrameStyle style) {
    return DrawColorBorder(c, b, color, AllSides, style);
}

TRect DrawBox(TCanvas* c, const TRect& b, TColor lineColor) {
    return DrawSides(c, b, lineColor, lineColor, AllSides);
}

TRect DrawDottedRect(TCanvas* c, const TRect& b) {
    for (int x = b.Left + 1; x < b.Right - 1; x += 2) {
        c->SetPixel(x, b.Top, clBlack);
        c->SetPixel(x, b.Bottom - 1, clBlack);
    }
    for (int y = b.Top + 1; y < b.Bottom - 1; y += 2) {
        c->SetPixel(b.Left, y, clBlack);
        c->SetPixel(b.Right - 1, y, clBlack);
    }
    return TRect(b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1);
}

TRect DrawRoundedFrame(TCanvas* c, const TRect& b, TColor color, TSides sides) {
    bool l = sides.Has(sdLeft), t = sides.Has(sdTop), r = sides.Has(sdRight), bt = sides.Has(sdBottom);
    c->GetPen()->SetColor(color);
    if (l) Line(c, b.Left, b.Top + (t ? 2 : 0), b.Left, b.Bottom - (bt ? 2 : 0));
    if (t) Line(c, b.Left + (l ? 2 : 0), b.Top, b.Right - (r ? 2 : 0), b.Top);
    if (r) Line(c, b.Right - 1, b.Top + (t ? 2 : 0), b.Right - 1, b.Bottom - (bt ? 2 : 0));
    if (bt) Line(c, b.Left + (l ? 2 : 0), b.Bottom - 1, b.Right - (r ? 2 : 0), b.Bottom - 1);
    if (l && t) c->SetPixel(b.Left + 1, b.Top + 1, color);
    if (r && t) c->SetPixel(b.Right - 2, b.Top + 1, color);
    if (r && bt) c->SetPixel(b.Right - 2, b.Bottom - 2, color);
    if (l && bt) c->SetPixel(b.Left + 1, b.Bottom - 2, color);
    return Shrink(b, sides, 2);
}

TRect DrawInnerOuterBorders(TCanvas* c, const TRect& bounds, const TUiBorderSettings& s,
                            TColor fillColor, TColor parentBackColor, bool transparent,
                            bool innerFlatLines) {
    TColor flat = AdjustColor(s.FlatColor, s.FlatColorAdjustment);
    TSides sides = s.BorderSides;
    TRect r = bounds;
    switch (s.BorderOuter) {
    case fsFlat: r = DrawBevel(c, r, flat, flat, 1, sides); break;
    case fsFlatBold: r = DrawBevel(c, r, flat, flat, 2, sides); break;
    case fsFlatRounded:
        if (!transparent) {
            bool plain = s.BorderWidth < 1 && s.BorderInner == fsNone;
            r = DrawFlatRounded(c, r, flat, parentBackColor, plain ? fillColor : s.BorderColor, sides);
        } else {
            bool band = s.BorderWidth > 0 || s.BorderInner != fsNone;
            r = DrawFlatRounded(c, r, flat, clNone, band ? s.BorderColor : clNone, sides);
        }
        break;
    case fsPopup: r = DrawBevel(c, r, s.BorderHighlight, s.BorderShadow, s.BevelWidth, sides); break;
    case fsStatus: r = DrawBevel(c, r, s.BorderShadow, s.BorderHighlight, s.BevelWidth, sides); break;
    default: r = DrawBorder(c, r, s.BorderOuter, sides); break;
    }
    if (s.BorderWidth > 0) r = DrawBevel(c, r, s.BorderColor, s.BorderColor, s.BorderWidth, AllSides);
    switch (s.BorderInner) {
    case fsFlat:
        if (innerFlatLines) {
            c->GetPen()->SetColor(flat);
            Line(c, r.Left, r.Top, r.Right - 1, r.Top);
            Line(c, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
            Line(c, r.Right - 1, r.Bottom - 1, r.Left, r.Bottom - 1);
            Line(c, r.Left, r.Bottom - 1, r.Left, r.Top);
            r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        } else {
            r = DrawBevel(c, r, flat, flat, 1, sides);
        }
        break;
    case fsFlatBold: r = DrawBevel(c, r, flat, flat, 2, sides); break;
    case fsFlatRounded:
        r = transparent ? DrawFlatRounded(c, r, flat, s.BorderColor, clNone, sides)
                        : DrawFlatRounded(c, r, flat, s.BorderColor, fillColor, sides);
        break;
    case fsPopup: r = DrawBevel(c, r, s.BorderHighlight, s.BorderShadow, s.BevelWidth, sides); break;
    case fsStatus: r = DrawBevel(c, r, s.BorderShadow, s.BorderHighlight, s.BevelWidth, sides); break;
    default: r = DrawBorder(c, r, s.BorderInner, sides); break;
    }
    return r;
}

TRect BorderClientRect(const TRect& bounds, const TUiBorderSettings& s) {
    TRect r(bounds.Left + s.BorderWidth, bounds.Top + s.BorderWidth, bounds.Right - s.BorderWidth,
            bounds.Bottom - s.BorderWidth);
    r = Shrink(r, s.BorderSides, FrameStyleWidth(s.BorderOuter, s.BevelWidth));
    r = Shrink(r, s.BorderSides, FrameStyleWidth(s.BorderInner, s.BevelWidth));
    if (r.Bottom < r.Top || r.Right < r.Left) return TRect(0, 0, 0, 0);
    return r;
}
