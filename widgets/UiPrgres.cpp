#include "widgets/UiPrgres.h"

#include <algorithm>

#include "platform/ui/ThemeServices.h"
#include "widgets/UiBarLayout.h"
#include "widgets/UiPanel.h"

TUiCustomProgressBar::TUiCustomProgressBar(TComponent* AOwner) : TGraphicControl(AOwner) {
    FBorder.BorderOuter = fsLowered;
    FBorder.BorderInner = fsNone;
    SetControlStyle(GetControlStyle() + TControlStyle{csOpaque});
    GetFont()->SetColor(FBarColor);
    SetBounds(GetLeft(), GetTop(), 200, 24);
}

TUiCustomProgressBar::~TUiCustomProgressBar() { SetFrameController(nullptr); }

void TUiCustomProgressBar::SetBounds(int left, int top, int width, int height) {
    TGraphicControl::SetBounds(left, top, width, height);
    SetOrientation(GetHeight() > GetWidth() ? orVertical : orHorizontal);
}

TAccessibleInfo TUiCustomProgressBar::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::ProgressBar;
    info.Name = AccessibleFallbackName();
    info.Value = FShowParts ? std::to_string(FPartsComplete) + " / " + std::to_string(FTotalParts)
                            : std::to_string(FPercent) + "%";
    info.Enabled = GetEnabled();
    info.Ranged = true;
    info.Maximum = FShowParts ? FTotalParts : 100;
    info.Current = FShowParts ? FPartsComplete : FPercent;
    return info;
}

void TUiCustomProgressBar::SetBarColor(TColor v) {
    if (v == FBarColor) return;
    FBarColor = v;
    GetFont()->SetColor(v);
    Repaint();
}

void TUiCustomProgressBar::SetBarStyle(TBarStyle v) {
    if (v == FBarStyle) return;
    FBarStyle = v;
    FShowPercent = v != bsLED;
    FInteriorOffset = v == bsLED ? 1 : 0;
    Repaint();
}

void TUiCustomProgressBar::SetPercent(int v) {
    v = std::max(v, 0);  // held as an unsigned 16-bit value
    v = std::min(v, 0xFFFF);
    if (v == FPercent) return;
    FPercent = v;
    if (OnChange) OnChange(this, v);
    Repaint();
}

void TUiCustomProgressBar::SetPartsComplete(std::uint32_t v) {
    if (v == FPartsComplete) return;
    FPartsComplete = std::min(v, FTotalParts);
    if (!IsLoading() && FTotalParts != 0) SetPercent(PartsPercent(FPartsComplete, FTotalParts));
}

void TUiCustomProgressBar::SetTotalParts(std::uint32_t v) {
    if (v == FTotalParts) return;
    FTotalParts = v;
    if (!IsLoading()) {
        FPartsComplete = 0;
        SetPercent(0);
    }
}

void TUiCustomProgressBar::SetThemeAware(bool v) {
    if (v == FThemeAware) return;
    FThemeAware = v;
    Invalidate();
}

void TUiCustomProgressBar::FrameControllerChanged() {
    TUiFrameController* c = FFrameController;
    if (!c || !c->GetFrameVisible()) return;
    if (FNotifications.Has(fcpFrameStyle)) FBorder.BorderOuter = c->GetFrameStyle();
    if (FNotifications.Has(fcpFrameColor)) {
        FBorder.FlatColor = c->GetFrameColor();
        FBorder.FlatColorAdjustment = 0;
    }
    if (FNotifications.Has(fcpColor)) FBackColor = c->GetColor();
    if (FNotifications.Has(fcpParentColor)) SetParentColor(c->GetParentColor());
    Invalidate();
}

void TUiCustomProgressBar::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TUiCustomProgressBar::Paint() {
    int w = GetWidth(), h = GetHeight();
    if (w <= 0 || h <= 0) return;
    TBitmap bmp(w, h);
    TCanvas* c = bmp.GetCanvas();
    c->SetFont(*GetFont());
    TRect interior = GetClientRect();
    auto* statusBar = dynamic_cast<TUiStatusBar*>(GetParent());
    bool themed = FThemeAware && ThemeServices()->ThemesEnabled() &&
                  (!statusBar || statusBar->GetVisualStyle() == vsWinXP);
    auto shrink = [](TRect r, int dx, int dy) { return TRect(r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy); };
    int after = FBarStyle == bsLED ? FInteriorOffset + 1 : FInteriorOffset + 3;
    TThemedDetails track{TThemeClass::Progress, FOrientation == orVertical ? PP_BARVERT : PP_BAR, 1};
    if (themed && !statusBar) {
        ThemeServices()->DrawElement(*c, track, interior);
        interior = shrink(interior, after, after);
    } else if (themed) {
        DrawParentImage(this, c);
        ThemeServices()->DrawElement(*c, {TThemeClass::Status, SP_PANE, 0}, interior);
        interior = FInteriorOffset ? shrink(interior, 2 + FInteriorOffset, 1 + FInteriorOffset) : shrink(interior, 3, 2);
        ThemeServices()->DrawElement(*c, track, interior);
        interior = shrink(interior, after, after);
    } else {
        c->GetBrush()->SetColor(FBorder.BorderColor);
        c->FillRect(TRect(0, 0, w, h));
        TUiBorderSettings b = FBorder;
        b.BorderSides = AllSides;
        b.BorderHighlight = clBtnHighlight;
        b.BorderShadow = clBtnShadow;
        TColor parent = GetParent() ? GetParent()->GetColor() : clBtnFace;
        interior = DrawInnerOuterBorders(c, interior, b, FBackColor, parent, false);
        if (FInteriorOffset > 0) {
            // An outline of the offset's width in the back colour, inside the interior.
            c->GetBrush()->SetColor(FBackColor);
            for (int i = 0; i < FInteriorOffset; ++i) interior = DrawBox(c, interior, FBackColor);
        }
    }
    switch (FBarStyle) {
    case bsTraditional:
        DrawPercentBar(c, interior, FOrientation, FTotalParts, FPartsComplete, FShowParts, false,
                       FShowPercent, FPercent, FBackColor, FBarColor);
        break;
    case bsGradient:
        DrawGradientPercentBar(c, interior, FOrientation, FTotalParts, FPartsComplete, FShowParts, false,
                               FShowPercent, FPercent, FBackColor, FBarColor, FGradientDirection,
                               FBackColorStop, FBarColorStop);
        break;
    case bsLED:
        DrawSegmentBar(c, interior, FOrientation, false, FThemeAware, FPercent, FNumSegments, FBackColor,
                       FBarColor);
        break;
    }
    GetCanvas()->Draw(0, 0, bmp);
}
