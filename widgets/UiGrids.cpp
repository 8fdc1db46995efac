#include "widgets/UiGrids.h"

#include "platform/ui/ThemeServices.h"

TUiStringGrid::TUiStringGrid(TComponent* AOwner) : TStringGrid(AOwner) {
    SetDefaultRowHeight(18);
    SetDefaultColWidth(60);
    SetBounds(GetLeft(), GetTop(), 325, 125);
    SetColor(clWindow);
    FNormalColor = GetColor();
}

TUiStringGrid::~TUiStringGrid() { SetFrameController(nullptr); }

bool TUiStringGrid::UseThemes() const {
    return FFramingPreference == fpXPThemes && ThemeServices()->ThemesEnabled();
}

void TUiStringGrid::UpdateColors() {
    if (IsLoading()) return;
    FUpdatingColor = true;
    SetColor(!GetEnabled() ? FDisabledColor : Focused() ? FFocusColor : FNormalColor);
    FUpdatingColor = false;
}

void TUiStringGrid::UpdateFrame(bool viaMouse, bool inControl) {
    if (viaMouse) FOverControl = inControl;
    if (FFrameHotTrack) RepaintFrame();
    UpdateColors();
}

void TUiStringGrid::SetLineColor(TColor v) {
    if (v == FLineColor) return;
    FLineColor = v;
    Invalidate();
}

void TUiStringGrid::SetFixedLineColor(TColor v) {
    if (v == FFixedLineColor) return;
    FFixedLineColor = v;
    Invalidate();
}

void TUiStringGrid::SetDisabledColor(TColor v) {
    FDisabledColor = v;
    if (!GetEnabled()) UpdateColors();
}

void TUiStringGrid::SetFocusColor(TColor v) {
    FFocusColor = v;
    if (Focused()) UpdateColors();
}

#define UI_GRID_FRAME_SETTER(Name, Type, Field) \
    void TUiStringGrid::Set##Name(Type v) {      \
        if (v == Field) return;                  \
        Field = v;                               \
        RepaintFrame();                          \
    }
UI_GRID_FRAME_SETTER(FrameColor, TColor, FFrameColor)
UI_GRID_FRAME_SETTER(FrameHotColor, TColor, FFrameHotColor)
UI_GRID_FRAME_SETTER(FrameHotStyle, TFrameStyle, FFrameHotStyle)
UI_GRID_FRAME_SETTER(FrameSides, TSides, FFrameSides)
UI_GRID_FRAME_SETTER(FrameStyle, TFrameStyle, FFrameStyle)
#undef UI_GRID_FRAME_SETTER

void TUiStringGrid::SetFrameHotTrack(bool v) {
    if (v == FFrameHotTrack) return;
    FFrameHotTrack = v;
    if (v) {
        FFrameVisible = true;
        if (!IsLoading()) FFrameSides = AllSides;
    }
    RepaintFrame();
    Invalidate();
}

void TUiStringGrid::SetFrameVisible(bool v) {
    if (v == FFrameVisible) return;
    FFrameVisible = v;
    Invalidate();
}

void TUiStringGrid::SetFramingPreference(TFramingPreference v) {
    if (v == FFramingPreference) return;
    FFramingPreference = v;
    if (v == fpCustomFraming) RepaintFrame();
}

bool TUiStringGrid::SetFrameProperty(TUiFrameControllerProperty p, const TUiFrameController& c) {
    switch (p) {
    case fcpColor: SetColor(c.GetColor()); return true;
    case fcpFocusColor: SetFocusColor(c.GetFocusColor()); return true;
    case fcpDisabledColor: SetDisabledColor(c.GetDisabledColor()); return true;
    case fcpParentColor: SetParentColor(c.GetParentColor()); return true;
    case fcpFrameColor: SetFrameColor(c.GetFrameColor()); return true;
    case fcpFrameHotColor: SetFrameHotColor(c.GetFrameHotColor()); return true;
    case fcpFrameHotTrack: SetFrameHotTrack(c.GetFrameHotTrack()); return true;
    case fcpFrameHotStyle: SetFrameHotStyle(c.GetFrameHotStyle()); return true;
    case fcpFrameSides: SetFrameSides(c.GetFrameSides()); return true;
    case fcpFrameStyle: SetFrameStyle(c.GetFrameStyle()); return true;
    case fcpFrameVisible: SetFrameVisible(c.GetFrameVisible()); return true;
    case fcpFramingPreference: SetFramingPreference(c.GetFramingPreference()); return true;
    default: return false;  // the grid has no such property
    }
}

bool TUiStringGrid::ControlledBy(TUiFrameControllerProperty p) const {
    return FFrameController && FNotifications.Has(p);
}

bool TUiStringGrid::IsColorStored() const { return !ControlledBy(fcpColor) && GetEnabled(); }

bool TUiStringGrid::IsFocusColorStored() const {
    return !ControlledBy(fcpFocusColor) && ColorToRGB(FFocusColor) != ColorToRGB(GetColor());
}

bool TUiStringGrid::IsFrameSettingStored(TUiFrameControllerProperty p) const { return !ControlledBy(p); }

void TUiStringGrid::ColorChanged() {
    TStringGrid::ColorChanged();
    if (TEdit* e = GetEditor()) e->SetColor(GetColor());
    if (!FUpdatingColor) {
        if (FFocusColor == FNormalColor) FFocusColor = GetColor();
        FNormalColor = GetColor();
    }
    if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TUiStringGrid::ParentColorChanged() {
    TStringGrid::ParentColorChanged();
    if (GetParentColor()) {
        if (FFocusColor == FNormalColor) FFocusColor = GetColor();
        FNormalColor = GetColor();
        if (FFrameVisible && !UseThemes()) RepaintFrame();
    }
}

void TUiStringGrid::EnabledChanged() {
    TStringGrid::EnabledChanged();
    UpdateColors();
}

void TUiStringGrid::DoEnter() {
    UpdateFrame(false, true);
    TStringGrid::DoEnter();
}

void TUiStringGrid::DoExit() {
    TStringGrid::DoExit();
    UpdateFrame(false, false);
}

bool TUiStringGrid::EditorFocused() const { return GetEditor() && GetEditor()->Focused(); }

void TUiStringGrid::MouseEnter() {
    TStringGrid::MouseEnter();
    if (!EditorFocused()) UpdateFrame(true, true);
}

void TUiStringGrid::MouseLeave() {
    TStringGrid::MouseLeave();
    if (!EditorFocused()) UpdateFrame(true, false);
}

void TUiStringGrid::Resize() {
    TStringGrid::Resize();
    if (FFrameVisible && !UseThemes()) RepaintFrame();
}

TEdit* TUiStringGrid::CreateEditor() {
    TEdit* e = TStringGrid::CreateEditor();
    e->SetColor(GetColor());
    return e;
}

void TUiStringGrid::Loaded() {
    TStringGrid::Loaded();
    UpdateColors();
    UpdateFrame(false, false);
}

void TUiStringGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TUiStringGrid::DrawFrame(TCanvas* c, TFrameStyle style, TColor color, TSides sides) {
    TRect r(0, 0, GetWidth(), GetHeight());
    // Clear the two-pixel border first.
    DrawBevel(c, r, GetFixedColor(), GetColor(), 2, AllSides);
    switch (style) {
    case fsFlat: DrawSides(c, r, color, color, sides); break;
    case fsFlatBold: DrawBevel(c, r, color, color, 2, sides); break;
    default: DrawBorder(c, r, style, sides); break;
    }
}

void TUiStringGrid::PaintBorder(TCanvas* c) {
    if (GetBorderStyle() != gbsSingle) return;
    if (FFrameVisible && !UseThemes()) {
        bool hot = FFrameHotTrack && (Focused() || FOverControl);
        DrawFrame(c, hot ? FFrameHotStyle : FFrameStyle, hot ? FFrameHotColor : FFrameColor, FFrameSides);
    } else if (ThemeServices()->ThemesEnabled()) {
        DrawFrame(c, fsFlat, GetXPThemeColor(0), AllSides);
    } else {
        TStringGrid::PaintBorder(c);
    }
}

TColor TUiStringGrid::GridLineColor(TGridLineKind kind, bool vertical) const {
    if (kind != TGridLineKind::Cells) return LineShown(kind, vertical) ? FFixedLineColor : GetFixedColor();
    if (!LineShown(kind, vertical)) return GetColor();
    // A line the colour of the cells would vanish: it is drawn darker.
    if (ColorToRGB(FLineColor) == ColorToRGB(GetColor())) return DarkerColor(FLineColor, 50);
    return FLineColor;
}
