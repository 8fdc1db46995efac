#include "platform/ui/ClassicGlyphs.h"

#include <cmath>

namespace {
// The check mark, 7 x 7.
constexpr const char* kMark[7] = {"......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."};
}  // namespace

void DrawClassicCheckBox(TCanvas& c, const TRect& rect, const TClassicGlyphState& s) {
    int l = rect.Left, t = rect.Top;
    auto line = [&](int x1, int y1, int x2, int y2, TColor col) {
        c.GetPen()->SetColor(col);
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    int id = c.SaveState();
    c.GetPen()->SetWidth(1);
    c.GetPen()->SetStyle(psSolid);
    // Sunken frame: shadow and dark shadow above and left, highlight and light below and right.
    line(l, t + 12, l, t, clBtnShadow);
    line(l, t, l + 12, t, clBtnShadow);
    line(l + 1, t + 11, l + 1, t + 1, cl3DDkShadow);
    line(l + 1, t + 1, l + 11, t + 1, cl3DDkShadow);
    line(l + 12, t, l + 12, t + 13, clBtnHighlight);
    line(l, t + 12, l + 12, t + 12, clBtnHighlight);
    line(l + 11, t + 1, l + 11, t + 12, cl3DLight);
    line(l + 1, t + 11, l + 11, t + 11, cl3DLight);
    c.GetBrush()->SetStyle(bsSolid);
    c.GetBrush()->SetColor(s.Pushed || s.Inactive || s.Mixed ? clBtnFace : clWindow);
    c.FillRect(TRect(l + 2, t + 2, l + 11, t + 11));
    if (s.Checked || s.Mixed) {
        TColor mark = s.Inactive || s.Mixed ? ColorToRGB(clBtnShadow) : ColorToRGB(clWindowText);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
                if (kMark[y][x] == 'X') c.SetPixel(l + 3 + x, t + 3 + y, mark);
    }
    c.RestoreState(id);
}

void DrawClassicRadio(TCanvas& c, const TRect& rect, const TClassicGlyphState& s, bool transparent) {
    int l = rect.Left, t = rect.Top;
    TColor fill = ColorToRGB(s.Pushed || s.Inactive ? clBtnFace : clWindow);
    TColor dot = ColorToRGB(s.Inactive ? clBtnShadow : clWindowText);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            double dx = x + 0.5 - 6, dy = y + 0.5 - 6;
            double d = std::sqrt(dx * dx + dy * dy);
            bool upperLeft = dx + dy < 0;
            TColor col;
            if (d > 6.2) {
                if (transparent) continue;
                col = ColorToRGB(clBtnFace);
            } else if (d > 5.0) {
                col = ColorToRGB(upperLeft ? clBtnShadow : clBtnHighlight);
            } else if (d > 4.0) {
                col = ColorToRGB(upperLeft ? cl3DDkShadow : cl3DLight);
            } else {
                col = s.Checked && d < 2.0 ? dot : fill;
            }
            c.SetPixel(l + x, t + y, col);
        }
}

void DrawClassicEdge(TCanvas& c, const TRect& r, TColor ul, TColor lr) {
    c.GetPen()->SetColor(ul);
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right, r.Top);
    c.GetPen()->SetColor(lr);
    c.MoveTo(r.Right - 1, r.Top);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left - 1, r.Bottom - 1);
}

void DrawClassicScrollBox(TCanvas& c, const TRect& r, bool pushed) {
    c.GetBrush()->SetStyle(bsSolid);
    c.GetBrush()->SetColor(clBtnFace);
    c.FillRect(r);
    if (pushed) {
        DrawClassicEdge(c, r, clBtnShadow, clBtnShadow);
        return;
    }
    DrawClassicEdge(c, r, cl3DLight, cl3DDkShadow);
    DrawClassicEdge(c, TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), clBtnHighlight, clBtnShadow);
}

void DrawClassicScrollArrow(TCanvas& c, const TRect& r, int direction, bool enabled, bool pushed) {
    const int cx = (r.Left + r.Right) / 2 + pushed, cy = (r.Top + r.Bottom) / 2 + pushed;
    const TColor color = ColorToRGB(enabled ? clBtnText : clGrayText);
    for (int i = 0; i < 4; ++i)
        for (int j = -i; j <= i; ++j) {
            switch (direction) {
            case 0: c.SetPixel(cx + j, cy - 2 + i, color); break;
            case 1: c.SetPixel(cx + j, cy + 1 - i, color); break;
            case 2: c.SetPixel(cx - 2 + i, cy + j, color); break;
            default: c.SetPixel(cx + 1 - i, cy + j, color); break;
            }
        }
}
