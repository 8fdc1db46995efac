#include "widgets/UiBorder.h"

#include <algorithm>

TUiBorder::TUiBorder(TComponent* AOwner) : TGraphicControl(AOwner) {
    FBorder.BorderOuter = fsGroove;
    SetCaption("");
    SetBounds(GetLeft(), GetTop(), 50, 50);
}

TUiBorder::~TUiBorder() { SetFrameController(nullptr); }

TRect TUiBorder::GetClientRect() const {
    return BorderClientRect(TGraphicControl::GetClientRect(), FBorder);
}

TAccessibleInfo TUiBorder::GetAccessibleInfo() const {
    TAccessibleInfo info = TGraphicControl::GetAccessibleInfo();
    info.Role = TAccessibleRole::Pane;
    info.Name = GetCaption();
    info.Enabled = GetEnabled();
    return info;
}

void TUiBorder::SetBevelWidth(int v) { Store(FBorder.BevelWidth, std::max(v, 1)); }
void TUiBorder::SetBorderColor(TColor v) { Store(FBorder.BorderColor, v); }
void TUiBorder::SetBorderHighlight(TColor v) { Store(FBorder.BorderHighlight, v); }
void TUiBorder::SetBorderInner(TFrameStyleEx v) { Store(FBorder.BorderInner, v); }
void TUiBorder::SetBorderOuter(TFrameStyleEx v) { Store(FBorder.BorderOuter, v); }
void TUiBorder::SetBorderShadow(TColor v) { Store(FBorder.BorderShadow, v); }
void TUiBorder::SetBorderSides(TSides v) { Store(FBorder.BorderSides, v); }
void TUiBorder::SetBorderWidth(int v) { Store(FBorder.BorderWidth, std::max(v, 0)); }

void TUiBorder::SetFlatColor(TColor v) {
    if (v == FBorder.FlatColor) return;
    FBorder.FlatColor = v;
    Invalidate();
}

void TUiBorder::SetFlatColorAdjustment(int v) {
    if (v == FBorder.FlatColorAdjustment) return;
    FBorder.FlatColorAdjustment = v;
    Invalidate();
}

void TUiBorder::SetFrameController(TUiFrameController* v) { ChangeFrameController(this, FFrameController, v); }

void TUiBorder::FrameControllerChanged() {
    TUiFrameController* c = FFrameController;
    if (!c || !c->GetFrameVisible()) return;
    ApplyControllerFrame(*this, FBorder, *c, FNotifications);
    Invalidate();
}

void TUiBorder::MouseEnter() { TGraphicControl::MouseEnter(); }

void TUiBorder::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

TColor TUiBorder::ParentBackColor() const {
    return GetParent() ? GetParent()->GetColor() : clBtnFace;
}

void TUiBorder::PaintBorder(TCanvas* canvas) {
    DrawInnerOuterBorders(canvas, TRect(0, 0, GetWidth(), GetHeight()), FBorder,
                          FlatRoundedFillColor(), ParentBackColor(), !IsOpaque(), false);
}

void TUiBorder::Paint() { PaintBorder(GetCanvas()); }

// ---- Meter -------------------------------------------------------------------------------

TUiMeter::TUiMeter(TComponent* AOwner) : TUiBorder(AOwner), FBitmap(std::make_unique<TBitmap>()) {
    FBorder.BorderOuter = fsStatus;
    FBitmap->OnChange = [this](TObject*) { Repaint(); };
    SetBounds(GetLeft(), GetTop(), 150, 30);
    SetColor(clWindow);
    SetParentColor(true);
    SetParentFont(true);
    SetControlStyle(GetControlStyle() + TControlStyle{csOpaque, csFramed});
}

TUiMeter::~TUiMeter() = default;

TAccessibleInfo TUiMeter::GetAccessibleInfo() const {
    TAccessibleInfo info = TUiBorder::GetAccessibleInfo();
    // A level meter: screen readers read a value from the progress bar's role only.
    info.Role = TAccessibleRole::ProgressBar;
    info.Name = AccessibleFallbackName();
    info.Value = std::to_string(FValue);
    info.Ranged = true;
    info.Minimum = FMin;
    info.Maximum = FMax;
    info.Current = FValue;
    return info;
}

void TUiMeter::SetMin(int v) {
    if (v == FMin) return;
    FMin = v == FMax ? FMax - 1 : v;
    Repaint();
}

void TUiMeter::SetMax(int v) {
    if (v == FMax) return;
    FMax = v == FMin ? FMin + 1 : v;
    Repaint();
}

void TUiMeter::SetValue(int v) { Store(FValue, std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax))); }

void TUiMeter::SetBitmap(const TBitmap* v) {
    if (v)
        FBitmap->Assign(*v);
    else
        FBitmap->SetSize(0, 0);
    Repaint();
}

int TUiMeter::GetPercent() const {
    if (FMax == FMin) return 0;
    return int((long long)(FValue - FMin) * 100 / (FMax - FMin));
}

void TUiMeter::SetSegSpacing(int v) { Store(FSegSpacing, std::clamp(v, 0, 255)); }

int TUiMeter::GetSegCount(int index) const { return index >= 0 && index < 3 ? FSegCount[index] : 0; }

void TUiMeter::SetSegCount(int index, int v) {
    if (index < 0 || index >= 3) return;
    // The total is held in one byte: a count that would pass 255 is cut.
    int others = FSegCount[0] + FSegCount[1] + FSegCount[2] - FSegCount[index];
    Store(FSegCount[index], std::clamp(v, 0, 255 - others));
}

TColor TUiMeter::GetSegColor(int index) const { return index >= 0 && index < 3 ? FSegColor[index] : clNone; }

void TUiMeter::SetSegColor(int index, TColor v) {
    if (index >= 0 && index < 3) Store(FSegColor[index], v);
}

void TUiMeter::Paint() {
    if (GetWidth() < 4 || GetHeight() < 4) return;
    TCanvas* canvas = GetCanvas();
    bool rect = FMeterShape == msRectangular;
    if (rect) PaintBorder(canvas);
    TRect client = GetClientRect();
    TRect work = rect ? client : TRect(0, 0, GetWidth(), GetHeight());
    if (work.IsEmpty()) return;
    TBitmap bmp(work.Width(), work.Height());
    TCanvas* c = bmp.GetCanvas();
    c->SetFont(*GetFont());
    c->GetBrush()->SetColor(rect ? FBackColor : clBtnFace);
    c->FillRect(TRect(0, 0, work.Width(), work.Height()));
    FBorderInset = 0;
    if (FBorder.BorderOuter == fsLowered || FBorder.BorderOuter == fsRaised) {
        if (!rect) {
            TTrapezoid t;
            GetTrapezoidPoints(t, work, FTrapezoidMin, FTrapezoidDir, FDirection, FTrapezoidShape);
            if (FBackColor != clBtnFace) {
                c->GetPen()->SetColor(FBackColor);
                c->GetBrush()->SetColor(FBackColor);
                PolygonTrapezoid(c, t);
            }
            DrawTrapezoidBevel(c, t, FBorder.BorderOuter == fsRaised, FBorder.BevelWidth);
        }
        FBorderInset = FBorder.BevelWidth;
        int b = FBorder.BevelWidth;
        work = TRect(work.Left + b, work.Top + b, work.Right - b, work.Bottom - b);
    }
    if (rect)
        work = TRect(work.Left - client.Left - 1, work.Top - client.Top - 1, work.Right - client.Left,
                     work.Bottom - client.Top);
    if (FMeterType == mtLED)
        PaintSegments(c, work, FBorderInset);
    else
        PaintBar(c, work, FBorderInset);
    if (rect)
        canvas->Draw(client.Left, client.Top, bmp);
    else
        canvas->Draw(0, 0, bmp);
}

void TUiMeter::PaintBar(TCanvas* c, const TRect& work, int inset) {
    bool trap = FMeterShape == msTrapezoidal;
    int k = FValue - FMin, n = FMax - FMin;
    TRect bar = MeterBarRect(work, FDirection, k, n);
    TTrapezoid clipped;
    if (trap) {
        if (FTrapezoidDir == tdSmallToLarge) {
            TTrapezoid whole;
            GetTrapezoidPoints(whole, work, FTrapezoidMin - 2 * inset, FTrapezoidDir, FDirection,
                               FTrapezoidShape);
            ClipTrapezoidToRect(whole, bar, FDirection, clipped);
        } else {
            GetTrapezoidPoints(clipped, bar, FTrapezoidMin - 2 * inset, FTrapezoidDir, FDirection,
                               FTrapezoidShape);
        }
    }
    if (FBitmap->GetWidth() > 0 && FBitmap->GetHeight() > 0) {
        int id = c->SaveState();
        if (trap && k > 0) {
            TPoint pts[4] = {{clipped.x0, clipped.y0}, {clipped.x1, clipped.y1},
                             {clipped.x2, clipped.y2}, {clipped.x3, clipped.y3}};
            TRegion region = TRegion::FromPolygon(pts, 4);
            c->SelectClipRegion(&region);
        }
        if (!trap || k > 0) TileBitmap(c, *FBitmap, bar);
        c->RestoreState(id);
    } else {
        c->GetBrush()->SetStyle(FBrushStyle);
        c->GetBrush()->SetColor(FBarColor);
        c->GetPen()->SetColor(FBarColor);
        if (!trap) {
            if (FBrushStyle == bsSolid)
                c->FillRect(bar);
            else
                c->Rectangle(bar);
        } else if (k > 0) {
            PolygonTrapezoid(c, clipped);
        }
        c->GetBrush()->SetStyle(bsSolid);
    }
    if (FMeterType == mtBar3D && 2 * FBorder.BevelWidth < bar.Width() &&
        2 * FBorder.BevelWidth < bar.Height()) {
        if (trap)
            DrawTrapezoidBevel(c, clipped, true, FBorder.BevelWidth);
        else
            DrawBevel(c, bar, clBtnHighlight, clBtnShadow, FBorder.BevelWidth, AllSides);
    }
    if (FShowPercent) {
        std::string text = std::to_string(GetPercent()) + "%";
        c->GetBrush()->SetStyle(bsClear);
        TSize size = c->TextExtent(text);
        TRect area = GetClientRect();
        int x = (area.Width() - size.cx) / 2, y = (area.Height() - size.cy) / 2;
        if (trap) x += area.Left, y += area.Top;
        c->TextOut(x, y, text);
    }
}

void TUiMeter::PaintSegments(TCanvas* c, const TRect& area, int inset) {
    int total = FSegCount[0] + FSegCount[1] + FSegCount[2];
    if (total <= 0) return;
    bool trap = FMeterShape == msTrapezoidal;
    int lit = MeterLitSegments(total, FValue - FMin, FMax - FMin);
    TTrapezoid t;
    if (trap) {
        GetTrapezoidPoints(t, area, FTrapezoidMin - 2 * inset, FTrapezoidDir, FDirection, FTrapezoidShape);
        InflateTrapezoid(t, -FSegSpacing);
    }
    TRect work(area.Left + FSegSpacing + 1, area.Top + FSegSpacing, area.Right - FSegSpacing - 1,
               area.Bottom - FSegSpacing);
    c->GetPen()->SetStyle(psSolid);
    c->GetPen()->SetWidth(1);
    c->GetPen()->SetColor(clBlack);
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(FSegColor[0]);
    bool vertical = FDirection == dirUp || FDirection == dirDown;
    int length = vertical ? work.Height() : work.Width();
    int s = MeterSegmentSize(length, total, FSegSpacing);
    int step = s + FSegSpacing;
    int x = work.Left, y = work.Top;
    switch (FDirection) {
    case dirUp: y = work.Bottom - s; break;
    case dirLeft: x = work.Right - s; break;
    default: break;
    }
    int w = vertical ? work.Width() : s, h = vertical ? s : work.Height();
    int band = 0, inBand = 0;
    bool off = false;
    for (int i = 0; i < total; ++i) {
        if (i >= lit) {
            if (!off) c->GetBrush()->SetColor(FSegOffColor), off = true;
        } else {
            // A band with no segments is skipped.
            bool changed = false;
            while (band < 3 && FSegCount[band] <= inBand) ++band, inBand = 0, changed = true;
            if (changed && band < 3) c->GetBrush()->SetColor(FSegColor[band]);
        }
        TRect seg(x, y + 1, x + w, y + h);
        if (!trap) {
            c->FillRect(seg);
        } else {
            TTrapezoid part;
            ClipTrapezoidToRect(t, TRect(x, y, x + w, y + h), FDirection, part);
            PolygonTrapezoid(c, part);
        }
        switch (FDirection) {
        case dirUp: y -= step; break;
        case dirDown: y += step; break;
        case dirLeft: x -= step; break;
        case dirRight: x += step; break;
        }
        ++inBand;
    }
}
