// The canvas draws its shapes pixel by pixel by the window system's rules (so tests can check
// every pixel); ellipses, wide pens and glyphs go through QPainter with the same clip.
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstring>

#include "platform/ui/CanvasInternal.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/PixelOps.h"
#include "platform/ui/Raster.h"


namespace {

struct SavedState {
    TFont font;
    TPen pen;
    TBrush brush;
    TPoint origin;
    TCopyMode copyMode;
    unsigned textAlign;
    bool hasClip;
    QRegion clip;
};

// Dash patterns of one-pixel pens (on, off, on, off ...).
const std::vector<int>& DashPattern(TPenStyle s) {
    static const std::vector<int> solid, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (s) {
        case psDash: return dash;
        case psDot: return dot;
        case psDashDot: return dashDot;
        case psDashDotDot: return dashDotDot;
        default: return solid;
    }
}

}  // namespace

// Writes pixels into the target within the target's bounds and the clip.
struct CanvasOps {
    TCanvas& c;
    QImage* img;
    std::vector<QRect> rects;  // device clip rectangles
    int ox, oy;

    explicit CanvasOps(TCanvas& canvas) : c(canvas), img(canvas.FTarget), ox(canvas.FOrigin.x), oy(canvas.FOrigin.y) {
        if (!img || img->isNull()) {
            img = nullptr;
            return;
        }
        QRect bounds(0, 0, img->width(), img->height());
        if (c.FClip) {
            for (const QRect& r : c.FClip->region) {
                QRect i = r & bounds;
                if (!i.isEmpty()) rects.push_back(i);
            }
        } else {
            rects.push_back(bounds);
        }
    }
    bool Ok() const { return img != nullptr; }
    std::uint32_t* Row(int y) { return reinterpret_cast<std::uint32_t*>(img->scanLine(y)); }

    // Logical span x0..x1-1 on row y.
    template <class F>
    void Span(int y, int x0, int x1, F&& f) {
        if (!img) return;
        y += oy;
        x0 += ox;
        x1 += ox;
        for (const QRect& r : rects) {
            if (y < r.top() || y > r.bottom()) continue;
            int a = std::max(x0, r.left()), b = std::min(x1, r.right() + 1);
            if (a >= b) continue;
            std::uint32_t* row = Row(y);
            for (int x = a; x < b; ++x) row[x] = f(x - ox, y - oy, row[x]);
        }
    }
    void SpanColor(int y, int x0, int x1, std::uint32_t color, TPenMode mode) {
        if (mode == pmCopy && img) {
            y += oy;
            for (const QRect& r : rects) {
                if (y < r.top() || y > r.bottom()) continue;
                const int a = std::max(x0 + ox, r.left()), b = std::min(x1 + ox, r.right() + 1);
                if (a < b) std::fill(Row(y) + a, Row(y) + b, color);
            }
        } else
            Span(y, x0, x1, [color, mode](int, int, std::uint32_t d) { return ui::px::Rop2(mode, color, d); });
    }
    // Logical column x, rows y0..y1-1.
    void ColumnColor(int x, int y0, int y1, std::uint32_t color, TPenMode mode) {
        if (!img) return;
        x += ox;
        for (const QRect& r : rects) {
            if (x < r.left() || x > r.right()) continue;
            for (int y = std::max(y0 + oy, r.top()), end = std::min(y1 + oy, r.bottom() + 1); y < end; ++y) {
                std::uint32_t& p = Row(y)[x];
                p = mode == pmCopy ? color : ui::px::Rop2(mode, color, p);
            }
        }
    }
    bool Inside(int x, int y) const {  // device coordinates
        for (const QRect& r : rects)
            if (r.contains(x, y)) return true;
        return false;
    }
    void Plot(int x, int y, std::uint32_t color, TPenMode mode) {
        int dx = x + ox, dy = y + oy;
        if (!img || !Inside(dx, dy)) return;
        std::uint32_t& p = Row(dy)[dx];
        p = mode == pmCopy ? color : ui::px::Rop2(mode, color, p);
    }

    // The brush over a span: solid, or a hatch drawn over what is there.
    void BrushSpan(int y, int x0, int x1) {
        TBrush& b = c.FBrush;
        if (b.GetStyle() == bsClear) return;
        std::uint32_t col = ui::px::FromColor(b.GetColor());
        TPenMode mode = c.FPen.GetMode();
        if (b.GetStyle() == bsSolid) {
            SpanColor(y, x0, x1, col, mode);
            return;
        }
        TBrushStyle st = b.GetStyle();
        Span(y, x0, x1, [&](int x, int yy, std::uint32_t d) {
            int dx = (x + ox) & 7, dy = (yy + oy) & 7;
            bool on = false;
            switch (st) {
                case bsHorizontal: on = dy == 7; break;
                case bsVertical: on = dx == 7; break;
                case bsFDiagonal: on = dx == dy; break;
                case bsBDiagonal: on = dx == 7 - dy; break;
                case bsCross: on = dx == 7 || dy == 7; break;
                case bsDiagCross: on = dx == dy || dx == 7 - dy; break;
                default: break;
            }
            return on ? ui::px::Rop2(mode, col, d) : d;
        });
    }

    // A one-pixel pen line, end point left out.
    void PenLine(int x0, int y0, int x1, int y1) {
        TPen& pen = c.FPen;
        if (pen.GetStyle() == psClear) return;
        std::uint32_t col = ui::px::FromColor(pen.GetColor());
        TPenMode mode = pen.GetMode();
        const std::vector<int>& pat = DashPattern(pen.GetStyle());
        if (pen.GetWidth() > 1 && pat.empty() && mode == pmCopy) {
            WideLine(x0, y0, x1, y1);
            return;
        }
        if (pat.empty() && (x0 == x1 || y0 == y1)) {
            // Straight and solid: the pixels the scan would plot, end point left out, as a run.
            if (x0 == x1 && y0 == y1) return;
            if (y0 == y1)
                SpanColor(y0, std::min(x0, x1 + 1), std::max(x0 + 1, x1), col, mode);
            else
                ColumnColor(x0, std::min(y0, y1 + 1), std::max(y0 + 1, y1), col, mode);
            return;
        }
        int step = 0;
        ui::raster::ScanLine(x0, y0, x1, y1, [&](int x, int y) {
            bool on = true;
            if (!pat.empty()) {
                int total = 0;
                for (int v : pat) total += v;
                int pos = step % total;
                for (size_t i = 0; i < pat.size(); ++i) {
                    if (pos < pat[i]) {
                        on = (i % 2) == 0;
                        break;
                    }
                    pos -= pat[i];
                }
            }
            ++step;
            if (on) Plot(x, y, col, mode);
        });
    }

    void SetupPainter(QPainter& p) {
        if (c.FClip) p.setClipRegion(c.FClip->region);
        p.translate(ox, oy);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
    }

    void WideLine(int x0, int y0, int x1, int y1) {
        QPainter p(img);
        SetupPainter(p);
        QPen qp(QColor::fromRgb(ui::px::FromColor(c.FPen.GetColor())));
        qp.setWidth(c.FPen.GetWidth());
        qp.setCapStyle(Qt::RoundCap);
        qp.setJoinStyle(Qt::RoundJoin);
        p.setPen(qp);
        p.drawLine(x0, y0, x1, y1);
    }
};

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::SetTarget(QImage* image) { FTarget = image; }
int TCanvas::GetWidth() const { return FTarget ? FTarget->width() : 0; }
int TCanvas::GetHeight() const { return FTarget ? FTarget->height() : 0; }

void TCanvas::MoveTo(int x, int y) { FPenPos = TPoint(x, y); }

void TCanvas::LineTo(int x, int y) {
    CanvasOps ops(*this);
    if (ops.Ok()) ops.PenLine(FPenPos.x, FPenPos.y, x, y);
    FPenPos = TPoint(x, y);
}

void TCanvas::Polyline(const TPoint* pts, int count) {
    if (!pts || count < 1) return;
    MoveTo(pts[0].x, pts[0].y);
    for (int i = 1; i < count; ++i) LineTo(pts[i].x, pts[i].y);
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    bool pen = FPen.GetStyle() != psClear;
    if (!pen) {
        // A null pen makes the shape one pixel smaller to the right and bottom.
        for (int y = t; y < b - 1; ++y) ops.BrushSpan(y, l, r - 1);
        return;
    }
    int w = std::max(1, FPen.GetWidth());
    for (int y = t + w; y < b - w; ++y) ops.BrushSpan(y, l + w, r - w);
    if (FPen.GetStyle() == psSolid || FPen.GetStyle() == psInsideFrame || w > 1) {
        std::uint32_t col = ui::px::FromColor(FPen.GetColor());
        TPenMode mode = FPen.GetMode();
        for (int i = 0; i < w; ++i) {
            int L = l + i, T = t + i, R = r - i, B = b - i;
            if (R <= L || B <= T) break;
            ops.SpanColor(T, L, R, col, mode);
            if (B - 1 > T) ops.SpanColor(B - 1, L, R, col, mode);
            for (int y = T + 1; y < B - 1; ++y) {
                ops.SpanColor(y, L, L + 1, col, mode);
                if (R - 1 > L) ops.SpanColor(y, R - 1, R, col, mode);
            }
        }
    } else {
        ops.PenLine(l, t, r - 1, t);
        ops.PenLine(r - 1, t, r - 1, b - 1);
        ops.PenLine(r - 1, b - 1, l, b - 1);
        ops.PenLine(l, b - 1, l, t);
    }
}

void TCanvas::FillRect(const TRect& rc) {
    int l = std::min(rc.Left, rc.Right), r = std::max(rc.Left, rc.Right);
    int t = std::min(rc.Top, rc.Bottom), b = std::max(rc.Top, rc.Bottom);
    CanvasOps ops(*this);
    if (!ops.Ok() || FBrush.GetStyle() == bsClear) return;
    TPen saved;
    saved.Assign(FPen);
    TPenMode mode = FPen.GetMode();
    FPen.SetMode(pmCopy);  // FillRect ignores the pen's mix
    for (int y = t; y < b; ++y) ops.BrushSpan(y, l, r);
    FPen.SetMode(mode);
}

void TCanvas::FrameRect(const TRect& rc) {
    int l = std::min(rc.Left, rc.Right), r = std::max(rc.Left, rc.Right);
    int t = std::min(rc.Top, rc.Bottom), b = std::max(rc.Top, rc.Bottom);
    if (r <= l || b <= t || FBrush.GetStyle() == bsClear) return;
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    std::uint32_t col = ui::px::FromColor(FBrush.GetColor());
    ops.SpanColor(t, l, r, col, pmCopy);
    ops.SpanColor(b - 1, l, r, col, pmCopy);
    for (int y = t + 1; y < b - 1; ++y) {
        ops.SpanColor(y, l, l + 1, col, pmCopy);
        ops.SpanColor(y, r - 1, r, col, pmCopy);
    }
}

void TCanvas::Polygon(const TPoint* pts, int count) {
    if (!pts || count < 2) return;
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    if (count >= 3)
        ui::raster::ScanPolygon(pts, count, false, [&](int y, int x0, int x1) { ops.BrushSpan(y, x0, x1); });
    if (FPen.GetStyle() != psClear) {
        for (int i = 0; i < count; ++i) {
            TPoint a = pts[i], b = pts[(i + 1) % count];
            ops.PenLine(a.x, a.y, b.x, b.y);
        }
    }
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    bool pen = FPen.GetStyle() != psClear;
    // Inside first, then the outline: the pixels of the ellipse that have no inner neighbour.
    int pw = pen ? std::max(1, FPen.GetWidth()) : 0;
    int R = pen ? r : r - 1, B = pen ? b : b - 1;
    std::vector<std::pair<int, int>> spans(std::max(0, B - t), {0, 0});
    ui::raster::ScanEllipse(l, t, R, B, [&](int y, int x0, int x1) { spans[y - t] = {x0, x1}; });
    std::vector<std::pair<int, int>> inner(spans.size(), {0, 0});
    if (pen) ui::raster::ScanEllipse(l + pw, t + pw, R - pw, B - pw, [&](int y, int x0, int x1) { inner[y - t] = {x0, x1}; });
    std::uint32_t col = ui::px::FromColor(FPen.GetColor());
    for (size_t i = 0; i < spans.size(); ++i) {
        int y = t + int(i);
        auto [x0, x1] = spans[i];
        if (x1 <= x0) continue;
        if (!pen) {
            ops.BrushSpan(y, x0, x1);
            continue;
        }
        auto [i0, i1] = inner[i];
        if (i1 > i0) {
            ops.BrushSpan(y, i0, i1);
            ops.SpanColor(y, x0, i0, col, FPen.GetMode());
            ops.SpanColor(y, i1, x1, col, FPen.GetMode());
        } else {
            ops.SpanColor(y, x0, x1, col, FPen.GetMode());
        }
    }
}

void TCanvas::RoundRect(int l, int t, int r, int b, int cw, int ch) {
    TRegion outer = TRegion::FromRoundRect(l, t, r, b, cw, ch);
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    if (FPen.GetStyle() == psClear) {
        FillRegion(outer);
        return;
    }
    TRegion inner = TRegion::FromRoundRect(l + 1, t + 1, r - 1, b - 1, std::max(0, cw - 2), std::max(0, ch - 2));
    TRegion ring;
    ring.Combine(outer, inner, RGN_DIFF);
    FillRegion(inner);
    std::uint32_t col = ui::px::FromColor(FPen.GetColor());
    for (const TRect& rc : ring.GetRects())
        for (int y = rc.Top; y < rc.Bottom; ++y) ops.SpanColor(y, rc.Left, rc.Right, col, FPen.GetMode());
}

void TCanvas::FillRegion(const TRegion& region) {
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    for (const TRect& rc : region.GetRects())
        for (int y = rc.Top; y < rc.Bottom; ++y) ops.BrushSpan(y, rc.Left, rc.Right);
}

void TCanvas::FrameRegion(const TRegion& region, TColor color, int w, int h) {
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    // The region's pixels that lie within w columns or h rows of a pixel outside it.
    TRegion inner = region;
    for (int dx = -w; dx <= w; ++dx)
        for (int dy = -h; dy <= h; ++dy) {
            if (dx == 0 && dy == 0) continue;
            TRegion moved = region;
            moved.Offset(dx, dy);
            inner.Combine(inner, moved, RGN_AND);
        }
    TRegion ring;
    ring.Combine(region, inner, RGN_DIFF);
    std::uint32_t col = ui::px::FromColor(color);
    for (const TRect& rc : ring.GetRects())
        for (int y = rc.Top; y < rc.Bottom; ++y) ops.SpanColor(y, rc.Left, rc.Right, col, pmCopy);
}

void TCanvas::DrawFocusRect(const TRect& rc) {
    CanvasOps ops(*this);
    if (!ops.Ok() || rc.IsEmpty()) return;
    auto inv = [&](int x, int y) {
        if (((x + y) & 1) == 0) ops.Plot(x, y, 0xFFFFFF, pmXor);
    };
    for (int x = rc.Left; x < rc.Right; ++x) {
        inv(x, rc.Top);
        if (rc.Bottom - 1 > rc.Top) inv(x, rc.Bottom - 1);
    }
    for (int y = rc.Top + 1; y < rc.Bottom - 1; ++y) {
        inv(rc.Left, y);
        if (rc.Right - 1 > rc.Left) inv(rc.Right - 1, y);
    }
}

void TCanvas::GradientFill(const TRect& rc, TColor start, TColor stop, TGradientFillMode mode) {
    int l = std::min(rc.Left, rc.Right), r = std::max(rc.Left, rc.Right);
    int t = std::min(rc.Top, rc.Bottom), b = std::max(rc.Top, rc.Bottom);
    CanvasOps ops(*this);
    if (!ops.Ok() || r <= l || b <= t) return;
    TColor c0 = ColorToRGB(start), c1 = ColorToRGB(stop);
    // Channels as 16-bit values; position p of n takes (c0 * (n - p) + c1 * p) / n.
    auto at = [&](int p, int n) {
        auto ch = [&](int a, int z) { return ((a << 8) * (n - p) + (z << 8) * p) / n / 256; };
        return ui::px::FromColor(RGB(ch(GetRValue(c0), GetRValue(c1)), ch(GetGValue(c0), GetGValue(c1)),
                                     ch(GetBValue(c0), GetBValue(c1))));
    };
    if (mode == GRADIENT_FILL_RECT_H) {
        int n = r - l;
        std::vector<std::uint32_t> cols(n);
        for (int i = 0; i < n; ++i) cols[i] = at(i, n);
        for (int y = t; y < b; ++y)
            ops.Span(y, l, r, [&](int x, int, std::uint32_t) { return cols[x - l]; });
    } else {
        int n = b - t;
        for (int y = t; y < b; ++y) ops.SpanColor(y, l, r, at(y - t, n), pmCopy);
    }
}

// Whether the device pixel lies in the target and the clip (checked without the clip's
// rectangles being gathered: pixel loops call these).
bool TCanvas::Reaches(int dx, int dy) const {
    return FTarget && FTarget->rect().contains(dx, dy) && (!FClip || FClip->region.contains(QPoint(dx, dy)));
}

TColor TCanvas::GetPixel(int x, int y) const {
    const int dx = x + FOrigin.x, dy = y + FOrigin.y;
    if (!Reaches(dx, dy)) return -1;
    return ui::px::ToColor(reinterpret_cast<const std::uint32_t*>(FTarget->constScanLine(dy))[dx]);
}

void TCanvas::SetPixel(int x, int y, TColor c) {
    const int dx = x + FOrigin.x, dy = y + FOrigin.y;
    if (Reaches(dx, dy)) reinterpret_cast<std::uint32_t*>(FTarget->scanLine(dy))[dx] = ui::px::FromColor(c);
}

// ---- copies ----------------------------------------------------------------------------

namespace {

// The source pixels of a copy, taken before anything is written (source and target may be
// the same image). Outside the source's image a pixel reads as black.
struct SourceBlock {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    bool alpha = false;
};

SourceBlock ReadSource(const QImage* img, int sx, int sy, int sw, int sh, int dw, int dh) {
    SourceBlock s;
    s.w = dw;
    s.h = dh;
    s.px.assign(size_t(std::max(dw, 0)) * std::max(dh, 0), 0xFF000000u);
    if (!img || img->isNull() || sw == 0 || sh == 0) return s;
    for (int y = 0; y < dh; ++y) {
        int syy = sy + int((long long)y * sh / dh);
        if (sh < 0) syy = sy + int((long long)y * sh / dh) - 1;
        if (syy < 0 || syy >= img->height()) continue;
        const auto* row = reinterpret_cast<const std::uint32_t*>(img->constScanLine(syy));
        for (int x = 0; x < dw; ++x) {
            int sxx = sx + int((long long)x * sw / dw);
            if (sw < 0) sxx -= 1;
            if (sxx < 0 || sxx >= img->width()) continue;
            s.px[size_t(y) * dw + x] = row[sxx];
        }
    }
    return s;
}

}  // namespace

void TCanvas::BitBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, TCopyMode rop) {
    StretchBlt(x, y, w, h, source, sx, sy, w, h, rop);
}

void TCanvas::StretchBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, int sw, int sh,
                         TCopyMode rop) {
    if (w < 0) {  // a negative width mirrors
        x += w;
        w = -w;
        sx += sw;
        sw = -sw;
    }
    if (h < 0) {
        y += h;
        h = -h;
        sy += sh;
        sh = -sh;
    }
    if (w == 0 || h == 0) return;
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    SourceBlock src = ReadSource(source.FTarget, sx + source.FOrigin.x, sy + source.FOrigin.y, sw, sh, w, h);
    std::uint32_t pat = ui::px::FromColor(FBrush.GetColor());
    for (int j = 0; j < h; ++j)
        ops.Span(y + j, x, x + w, [&](int px, int, std::uint32_t d) {
            std::uint32_t s = src.px[size_t(j) * w + (px - x)];
            return ui::px::Rop3(rop, pat & 0xFFFFFF, s & 0xFFFFFF, d & 0xFFFFFF);
        });
}

void TCanvas::TransparentBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, int sw, int sh,
                             TColor maskColor) {
    if (w <= 0 || h <= 0) return;
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    SourceBlock src = ReadSource(source.FTarget, sx + source.FOrigin.x, sy + source.FOrigin.y, sw, sh, w, h);
    std::uint32_t key = ui::px::FromColor(maskColor) & 0xFFFFFF;
    for (int j = 0; j < h; ++j)
        ops.Span(y + j, x, x + w, [&](int px, int, std::uint32_t d) {
            std::uint32_t s = src.px[size_t(j) * w + (px - x)];
            return (s & 0xFFFFFF) == key ? d : (0xFF000000u | s);
        });
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& src) {
    StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), source, src.Left, src.Top, src.Width(),
               src.Height(), FCopyMode);
}

void TCanvas::Draw(int x, int y, const TBitmap& bmp) {
    StretchDraw(Bounds(x, y, bmp.GetWidth(), bmp.GetHeight()), bmp);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bmp) {
    int w = dest.Width(), h = dest.Height();
    if (w <= 0 || h <= 0 || bmp.GetEmpty()) return;
    CanvasOps ops(*this);
    if (!ops.Ok()) return;
    const bool keyed = bmp.GetTransparent();
    const bool alpha = bmp.GetAlphaFormat() != afIgnored;
    const QImage& image = bmp.GetImage();
    if (!keyed && w == image.width() && h == image.height() && &image != FTarget) {
        // One to one: the image over a black fill behind the destination, so that the result
        // is opaque with the colour bits as they are. Done here rather than by the paint
        // engine, which hands large blends to a thread pool.
        if (image.format() == QImage::Format_ARGB32_Premultiplied &&
            FTarget->format() == QImage::Format_ARGB32_Premultiplied) {
            for (int j = 0; j < h; ++j) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(j));
                ops.Span(dest.Top + j, dest.Left, dest.Left + w, [&](int px, int, std::uint32_t d) {
                    const std::uint32_t s = row[px - dest.Left];
                    return alpha ? ui::px::SourceOver(s, 0xFF000000u | d) : 0xFF000000u | s;
                });
            }
            return;
        }
        QPainter p(FTarget);
        ops.SetupPainter(p);
        const QRect target(dest.Left, dest.Top, w, h);
        if (alpha) {
            p.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            p.fillRect(target, QColor(0, 0, 0));
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            p.drawImage(target.topLeft(), image);
        } else {
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(target.topLeft(), image);
            p.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            p.fillRect(target, QColor(0, 0, 0));
        }
        return;
    }
    SourceBlock src = ReadSource(&bmp.GetImage(), 0, 0, bmp.GetWidth(), bmp.GetHeight(), w, h);
    std::uint32_t key = keyed ? (ui::px::FromColor(bmp.GetTransparentColor()) & 0xFFFFFF) : 0;
    for (int j = 0; j < h; ++j)
        ops.Span(dest.Top + j, dest.Left, dest.Left + w, [&](int px, int, std::uint32_t d) {
            std::uint32_t s = src.px[size_t(j) * w + (px - dest.Left)];
            if (keyed && (s & 0xFFFFFF) == key) return d;
            if (!alpha) return 0xFF000000u | s;
            // Premultiplied source over the destination.
            unsigned a = s >> 24;
            if (a == 255) return s;
            auto mix = [&](int shift) {
                unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                return std::min(255u, sc + dc * (255 - a) / 255) << shift;
            };
            return 0xFF000000u | mix(16) | mix(8) | mix(0);
        });
}

// ---- clipping and state ----------------------------------------------------------------

void TCanvas::SelectClipRegion(const TRegion* region) {
    if (!region) {
        FClip.reset();
        return;
    }
    if (!FClip) FClip = std::make_unique<Clip>();
    FClip->region = region->GetImpl().region;
}

bool TCanvas::GetClipRegion(TRegion& region) const {
    if (!FClip) return false;
    region.GetImpl().region = FClip->region;
    return true;
}

void TCanvas::IntersectClipRect(int l, int t, int r, int b) {
    QRect rc(l + FOrigin.x, t + FOrigin.y, std::max(0, r - l), std::max(0, b - t));
    if (!FClip) {
        FClip = std::make_unique<Clip>();
        FClip->region = QRegion(0, 0, GetWidth(), GetHeight());
    }
    FClip->region &= QRegion(rc);
}

void TCanvas::ExcludeClipRect(int l, int t, int r, int b) {
    QRect rc(l + FOrigin.x, t + FOrigin.y, std::max(0, r - l), std::max(0, b - t));
    if (!FClip) {
        FClip = std::make_unique<Clip>();
        FClip->region = QRegion(0, 0, GetWidth(), GetHeight());
    }
    FClip->region -= QRegion(rc);
}

TRect TCanvas::GetClipRect() const {
    QRect r = FClip ? FClip->region.boundingRect() & QRect(0, 0, GetWidth(), GetHeight())
                    : QRect(0, 0, GetWidth(), GetHeight());
    if (r.isEmpty()) return TRect();
    return TRect(r.left() - FOrigin.x, r.top() - FOrigin.y, r.left() + r.width() - FOrigin.x,
                 r.top() + r.height() - FOrigin.y);
}

int TCanvas::SaveState() {
    auto s = std::make_shared<SavedState>();
    s->font.Assign(FFont);
    s->pen.Assign(FPen);
    s->brush.Assign(FBrush);
    s->origin = FOrigin;
    s->copyMode = FCopyMode;
    s->textAlign = FTextAlign;
    s->hasClip = FClip != nullptr;
    if (FClip) s->clip = FClip->region;
    FSaved.push_back(s);
    return static_cast<int>(FSaved.size());
}

void TCanvas::RestoreState(int id) {
    if (FSaved.empty()) return;
    size_t keep = id < 0 ? FSaved.size() - 1 : size_t(std::max(id - 1, 0));
    if (keep >= FSaved.size()) return;
    auto s = std::static_pointer_cast<SavedState>(FSaved[keep]);
    FSaved.resize(keep);
    FFont.Assign(s->font);
    FPen.Assign(s->pen);
    FBrush.Assign(s->brush);
    FOrigin = s->origin;
    FCopyMode = s->copyMode;
    FTextAlign = s->textAlign;
    if (s->hasClip) {
        if (!FClip) FClip = std::make_unique<Clip>();
        FClip->region = s->clip;
    } else {
        FClip.reset();
    }
}
