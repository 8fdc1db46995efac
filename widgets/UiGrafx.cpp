#include "widgets/UiGrafx.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "widgets/UiColors.h"

void DrawRaster(TCanvas* canvas, int x, int y, const TUiRaster& raster) {
    if (raster.Width() == 0 || raster.Height() == 0) return;
    std::vector<std::uint8_t> rgba(size_t(raster.Width()) * raster.Height() * 4);
    size_t i = 0;
    for (TColor c : raster.Pixels()) {
        rgba[i++] = std::uint8_t(GetRValue(c));
        rgba[i++] = std::uint8_t(GetGValue(c));
        rgba[i++] = std::uint8_t(GetBValue(c));
        rgba[i++] = 255;
    }
    TBitmap bmp;
    bmp.LoadFromRGBA(raster.Width(), raster.Height(), rgba.data());
    canvas->Draw(x, y, bmp);
}

void PaintGradient(TCanvas* canvas, const TRect& rect, TGradientDirection direction,
                   std::uint8_t minBandWidth, TColor startColor, TColor stopColor) {
    int w = std::abs(rect.Right - rect.Left), h = std::abs(rect.Bottom - rect.Top);
    if (w == 0 || h == 0) return;
    if (direction == gdHorizontalEnd || direction == gdVerticalEnd) {
        canvas->GradientFill(Bounds(rect.Left, rect.Top, w, h), startColor, stopColor,
                             direction == gdHorizontalEnd ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    DrawRaster(canvas, rect.Left, rect.Top,
               GradientRaster(w, h, direction, minBandWidth, startColor, stopColor));
}

void StretchDrawMasked(TCanvas* dest, TBitmap& source, const TRect& destRect,
                       TColor transparentColor, const TRect& sourceRect) {
    int w = destRect.Width(), h = destRect.Height();
    if (w <= 0 || h <= 0) return;
    TBitmap colour(w, h);
    colour.GetCanvas()->StretchBlt(0, 0, w, h, *source.GetCanvas(), sourceRect.Left, sourceRect.Top,
                                   sourceRect.Width(), sourceRect.Height(), SRCCOPY);
    dest->TransparentBlt(destRect.Left, destRect.Top, w, h, *colour.GetCanvas(), 0, 0, w, h,
                         ColorToRGB(transparentColor));
}

void FlipBitmapVertical(TBitmap& bitmap) {
    int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    TBitmap flipped(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) flipped.SetPixel(x, h - 1 - y, bitmap.GetPixel(x, y));
    bitmap.Assign(flipped);
}

void TileBitmap(TCanvas* canvas, TBitmap& bitmap, const TRect& rect) {
    int bw = bitmap.GetWidth(), bh = bitmap.GetHeight();
    if (bw <= 0 || bh <= 0) return;
    for (int y = rect.Top; y < rect.Bottom; y += bh)
        for (int x = rect.Left; x < rect.Right; x += bw) {
            int cw = std::min(bw, rect.Right - x), ch = std::min(bh, rect.Bottom - y);
            canvas->CopyRect(Bounds(x, y, cw, ch), *bitmap.GetCanvas(), TRect(0, 0, cw, ch));
        }
}

void DrawTrapezoidBevel(TCanvas* canvas, const TTrapezoid& t, bool raised, int count) {
    TPen saved;
    saved.Assign(*canvas->GetPen());
    canvas->GetPen()->SetWidth(1);
    TColor first = raised ? clBtnHighlight : clBtnShadow, second = raised ? clBtnShadow : clBtnHighlight;
    for (int i = 0; i < count; ++i) {
        canvas->GetPen()->SetColor(first);
        canvas->MoveTo(t.x1 - i - 1, t.y1 + i);
        canvas->LineTo(t.x2 - i - 1, t.y2 - i - 1);
        canvas->LineTo(t.x3 + i, t.y3 - i - 1);
        canvas->GetPen()->SetColor(second);
        canvas->LineTo(t.x0 + i, t.y0 + i);
        canvas->LineTo(t.x1 - i - 1, t.y1 + i);
    }
    canvas->GetPen()->Assign(saved);
}

void PolygonTrapezoid(TCanvas* canvas, const TTrapezoid& t) {
    TPoint pts[4] = {{t.x0, t.y0}, {t.x1 - 1, t.y1}, {t.x2 - 1, t.y2 - 1}, {t.x3, t.y3 - 1}};
    canvas->Polygon(pts, 4);
}

void DrawParentImage(TControl* control, TCanvas* canvas, bool invalidateParent) {
    TWinControl* parent = control ? control->GetParent() : nullptr;
    if (!parent) return;
    int id = canvas->SaveState();
    canvas->IntersectClipRect(0, 0, control->GetWidth(), control->GetHeight());
    // Only the part the canvas lets through is asked of the parent.
    const TRect need = canvas->GetClipRect();
    const int left = control->GetLeft(), top = control->GetTop();
    if (!need.IsEmpty())
        parent->PaintBackgroundTo(*canvas, -left, -top,
                                  TRect(need.Left + left, need.Top + top, need.Right + left, need.Bottom + top));
    canvas->RestoreState(id);
    if (invalidateParent && !dynamic_cast<TCustomControl*>(parent)) parent->Invalidate();
}
