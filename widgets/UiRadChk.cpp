#include "widgets/UiRadChk.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/ClassicGlyphs.h"
#include "platform/ui/ThemeServices.h"

// ---- TUiCustomGlyphButton ------------------------------------------------------------------

TUiCustomGlyphButton::TUiCustomGlyphButton(TComponent* AOwner)
    : TUiCustomButton(AOwner), FCustomGlyphs(std::make_unique<TBitmap>()) {
    FCustomGlyphs->SetSize(0, 0);
    FCustomGlyphs->OnChange = [this](TObject*) {
        FBackgroundStale = true;
        Invalidate();
    };
    SetColor(clBtnFace);
}

TUiCustomGlyphButton::~TUiCustomGlyphButton() { SetFrameController(nullptr); }

bool TUiCustomGlyphButton::CaptionRight() const {
    bool rtl = UseRightToLeftAlignment();
    return (FAlignment == taRightJustify && !rtl) || (FAlignment == taLeftJustify && rtl);
}

unsigned TUiCustomGlyphButton::CaptionFlags() const {
    unsigned flags = (UseRightToLeftAlignment() ? DT_RIGHT : DT_LEFT) | DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    return flags;
}

TRect TUiCustomGlyphButton::GlyphRect() const {
    int h = GetHeight();
    int top = GetAlignmentVertical() == avTop      ? 2
              : GetAlignmentVertical() == avCenter ? (h - FGlyphHeight) / 2
                                                   : h - FGlyphHeight - 2;
    int left = CaptionRight() ? 0 : GetWidth() - FGlyphWidth;
    return Bounds(left, top, FGlyphWidth, FGlyphHeight);
}

void TUiCustomGlyphButton::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TUiCustomGlyphButton::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    if (v) AdjustBounds();
}

void TUiCustomGlyphButton::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}

void TUiCustomGlyphButton::AdjustBounds() {
    if (!FAutoSize || FAdjusting || IsLoading()) return;
    FAdjusting = true;
    TBitmap probe(1, 1);
    TCanvas* c = probe.GetCanvas();
    c->SetFont(*GetFont());
    TRect r(0, 0, std::max(GetWidth() - FGlyphWidth - 4, 2), 0);
    std::string text = RemoveAccelerators(GetCaption());
    DrawString(c, text.empty() ? " " : text, r, CaptionFlags() | DT_CALCRECT);
    int w = r.Width() + 2 + FGlyphWidth + 4;
    int h = std::max(FGlyphHeight + 2, r.Height() + 2);
    int left = CaptionRight() ? GetLeft() : GetLeft() + GetWidth() - w;
    SetBounds(left, GetTop(), w, h);
    FAdjusting = false;
}

void TUiCustomGlyphButton::UpdateGlyphSize() {
    if (FUseCustomGlyphs && FCustomGlyphImages && FCustomGlyphImages->GetCount() > 0) {
        FGlyphWidth = FCustomGlyphImages->GetWidth();
        FGlyphHeight = FCustomGlyphImages->GetHeight();
    } else if (FUseCustomGlyphs && !FCustomGlyphs->GetEmpty()) {
        FGlyphWidth = FCustomGlyphs->GetWidth() / std::max(FImageCount, 1);
        FGlyphHeight = FCustomGlyphs->GetHeight();
    } else {
        FGlyphWidth = FDefaultGlyphWidth;
        FGlyphHeight = FDefaultGlyphHeight;
    }
}

void TUiCustomGlyphButton::SetUseCustomGlyphs(bool v) {
    if (v == FUseCustomGlyphs) return;
    FUseCustomGlyphs = v;
    UpdateGlyphSize();
    // Re-measure around the new glyph.
    SetAutoSize(!FAutoSize);
    SetAutoSize(!FAutoSize);
    Invalidate();
}

void TUiCustomGlyphButton::SetCustomGlyphs(const TBitmap* v) {
    if (v)
        FCustomGlyphs->Assign(*v);
    else
        FCustomGlyphs->SetSize(0, 0);
    if (!FCustomGlyphs->GetEmpty()) {
        if (FUseCustomGlyphs) UpdateGlyphSize(), AdjustBounds();
        SetUseCustomGlyphs(true);
    }
    Invalidate();
}

void TUiCustomGlyphButton::SetCustomGlyphImages(TImageList* v) {
    if (v == FCustomGlyphImages) return;
    if (FCustomGlyphImages) RemoveFreeNotification(FCustomGlyphImages);
    FCustomGlyphImages = v;
    if (v) {
        FreeNotification(v);
        if (v->GetCount() > 0 && v->GetWidth() > 0 && v->GetHeight() > 0) {
            if (FUseCustomGlyphs) UpdateGlyphSize(), AdjustBounds();
            SetUseCustomGlyphs(true);
        }
    }
    Invalidate();
}

void TUiCustomGlyphButton::Notification(TComponent* AComponent, TOperation Operation) {
    TUiCustomButton::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FCustomGlyphImages) {
        FCustomGlyphImages = nullptr;
        UpdateGlyphSize();
    }
    if (AComponent == FFrameController) FFrameController = nullptr;
}

void TUiCustomGlyphButton::FrameControllerChanged() {
    TUiFrameController* c = FFrameController;
    if (!c || !c->GetFrameVisible()) return;
    SetHotTrack(true);
    const TUiFrameControllerNotifications& n = FNotifications;
    if (n.Has(fcpColor)) FFillColor = c->GetColor();
    if (n.Has(fcpFrameColor)) FFrameColor = c->GetFrameColor();
    if (n.Has(fcpFocusColor)) FFocusColor = c->GetFocusColor();
    if (n.Has(fcpDisabledColor)) FDisabledColor = c->GetDisabledColor();
    if (n.Has(fcpReadOnlyColor)) FReadOnlyColor = c->GetReadOnlyColor();
    if (n.Has(fcpReadOnlyColorOnFocus)) FReadOnlyColorOnFocus = c->GetReadOnlyColorOnFocus();
    if (n.Has(fcpFrameHotTrack)) FHotTrackStyle = c->GetFrameHotTrack() ? htsFrame : htsInterior;
    if (n.Has(fcpFrameHotColor) && FHotTrackStyle == htsFrame) SetHotTrackColor(c->GetFrameHotColor());
    Invalidate();
}

void TUiCustomGlyphButton::DefineProperties(TUiFiler& filer) {
    filer.DefineBoolean("Flat", [this](bool v) { SetHotTrack(v); });
}

void TUiCustomGlyphButton::Loaded() {
    TUiCustomButton::Loaded();
    // A control taller than one line of its font wraps its caption.
    if (GetHeight() > GetFontLineHeight(*GetFont())) FWordWrap = true;
    AdjustBounds();
}

void TUiCustomGlyphButton::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN && FTabOnEnter) {
        Key = 0;
        if (TCustomForm* form = GetParentForm()) form->SelectNext(this, true);
        return;
    }
    TUiCustomButton::KeyDown(Key, Shift);
}

void TUiCustomGlyphButton::MouseEnter() {
    FMouseInside = true;
    TUiCustomButton::MouseEnter();
    Invalidate();
}

void TUiCustomGlyphButton::MouseLeave() {
    FMouseInside = false;
    TUiCustomButton::MouseLeave();
    Invalidate();
}

void TUiCustomGlyphButton::FontChanged() {
    TUiCustomButton::FontChanged();
    AdjustBounds();
}

void TUiCustomGlyphButton::TextChanged() {
    TUiCustomButton::TextChanged();
    AdjustBounds();
}

void TUiCustomGlyphButton::ColorChanged() {
    TUiCustomButton::ColorChanged();
    FBackgroundStale = true;
}

void TUiCustomGlyphButton::EnabledChanged() {
    TUiCustomButton::EnabledChanged();
    FBackgroundStale = true;
}

void TUiCustomGlyphButton::Resize() {
    TUiCustomButton::Resize();
    FBackgroundStale = true;
}

int TUiCustomGlyphButton::VisualState() const {
    if (!GetEnabled()) return gvsDisabled;
    if (FPressed) return gvsDown;
    if (FMouseInside || FMouseInControl) return gvsHot;
    return gvsNormal;
}

void TUiCustomGlyphButton::HotColors(TColor& start, TColor& stop) const {
    if (GetHotTrackColorType() == htctActual) {
        stop = GetHotTrackColor();
        start = BlendColors(clWhite, GetHotTrackColor(), 190);
    } else {
        start = ComplementaryColor(GetHotTrackColor(), 180);
        stop = DarkerColor(start, 30);
    }
}

TUiGlyphColors TUiCustomGlyphButton::GlyphColors() const {
    TUiGlyphColors g;
    g.HotTrackStyle = FHotTrackStyle;
    g.FrameColor = FFrameColor;
    g.HighlightColor = GetHighlightColor();
    g.FillColor = FFillColor;
    g.FocusColor = FFocusColor;
    g.DisabledColor = FDisabledColor;
    HotColors(g.HotStartColor, g.HotStopColor);
    g.ReadOnly = FReadOnly;
    g.ReadOnlyColorOnFocus = FReadOnlyColorOnFocus;
    g.ReadOnlyColor = FReadOnlyColor;
    return g;
}

bool TUiCustomGlyphButton::DrawCustomGlyph(TCanvas* c, const TRect& rect, int index) {
    if (!FUseCustomGlyphs) return false;
    if (FCustomGlyphImages && FCustomGlyphImages->GetCount() > 0) {
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(FTransparentColor);
        c->FillRect(rect);
        FCustomGlyphImages->Draw(c, rect.Left, rect.Top, index, GetEnabled());
        return true;
    }
    if (!FCustomGlyphs->GetEmpty()) {
        TRect src = Bounds(index * FGlyphWidth, 0, FGlyphWidth, FGlyphHeight);
        StretchDrawMasked(c, *FCustomGlyphs, rect, FTransparentColor, src);
        return true;
    }
    return false;
}

void TUiCustomGlyphButton::FireClick() {
    if (!FClicksDisabled) TUiCustomButton::Click();
}

void TUiCustomGlyphButton::Paint() {
    if (IsDestroying()) return;
    int w = GetClientWidth(), h = GetClientHeight();
    if (w <= 0 || h <= 0) return;
    TBitmap bmp(w, h);
    TCanvas* c = bmp.GetCanvas();
    c->SetFont(*GetFont());
    if (FTransparent) {
        DrawParentImage(this, c);
    } else {
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(TRect(0, 0, w, h));
    }
    FBackgroundStale = false;
    DrawGlyph(c, GlyphRect());
    TRect r(1, 1, w - 1, h - 1);
    if (CaptionRight())
        r.Left += FGlyphWidth + 4;
    else
        r.Right -= FGlyphWidth;
    c->GetBrush()->SetColor(GetColor());
    DrawCaption(c, r, CaptionFlags());
    if (Focused() && FocusCuesShown() && !GetCaption().empty()) {
        TRect text = r;
        c->SetFont(*GetFont());
        DrawString(c, RemoveAccelerators(GetCaption()), text, CaptionFlags() | DT_CALCRECT);
        DrawDottedRect(c, TRect(text.Left - 1, text.Top - 1, text.Right + 1, text.Bottom + 1));
    }
    GetCanvas()->Draw(0, 0, bmp);
}

// ---- TUiRadioButton --------------------------------------------------------------------------

TUiRadioButton::TUiRadioButton(TComponent* AOwner) : TUiCustomGlyphButton(AOwner) {
    FImageCount = 6;
    SetAlignmentVertical(avTop);
    SetTabStop(false);
}

void TUiRadioButton::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    SetTabStop(v);
    Invalidate();
    if (!v) return;
    if (TWinControl* parent = GetParent())
        for (int i = 0; i < parent->GetControlCount(); ++i)
            if (auto* r = dynamic_cast<TUiRadioButton*>(parent->GetControl(i)); r && r != this) r->SetChecked(false);
    FireClick();
}

void TUiRadioButton::SetReadOnly(bool v) {
    TUiCustomGlyphButton::SetReadOnly(v);
    if (TWinControl* parent = GetParent())
        for (int i = 0; i < parent->GetControlCount(); ++i)
            if (auto* r = dynamic_cast<TUiRadioButton*>(parent->GetControl(i)); r && r != this && r->GetReadOnly() != v)
                r->TUiCustomGlyphButton::SetReadOnly(v);
}

void TUiRadioButton::Toggle() {
    if (!FChecked && !GetReadOnly()) SetChecked(true);
}

void TUiRadioButton::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_DOWN && Shift.Empty() && CanFocus()) {
        FireClick();
        Key = 0;
        return;
    }
    TUiCustomGlyphButton::KeyDown(Key, Shift);
}

void TUiRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // A button takes no plain clicks from the layer: its double click is raised here, after
    // the press.
    TControlGuard alive(this);
    TUiCustomGlyphButton::MouseDown(Button, Shift, X, Y);
    if (alive.Alive() && Button == mbLeft && Shift.Contains(ssDouble)) DblClick();
}

void TUiRadioButton::DoEnter() {
    TUiCustomGlyphButton::DoEnter();
    // Keyboard navigation selects.
    if (!FMouseInside && !FMouseInControl && !GetReadOnly()) SetChecked(true);
}

bool TUiRadioButton::DialogChar(char Key) {
    char accel = CaptionAccelerator(GetCaption());
    if (accel && std::toupper(static_cast<unsigned char>(Key)) == accel && CanFocus()) {
        SetFocus();
        return true;
    }
    return TControl::DialogChar(Key);
}

TAccessibleInfo TUiRadioButton::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::RadioButton;
    info.Name = RemoveAccelerators(GetCaption());
    info.Checkable = true;
    info.Checked = FChecked;
    info.Enabled = GetEnabled();
    info.Action = TAccessibleAction::Toggle;
    return info;
}

void TUiRadioButton::DrawGlyph(TCanvas* c, const TRect& rect) {
    bool enabled = GetEnabled();
    int index = !enabled ? (FChecked ? 5 : 4) : FChecked ? (FPressed ? 3 : 1) : (FPressed ? 2 : 0);
    if (GetCustomGlyphImages() && GetCustomGlyphImages()->GetCount() > 6 && GetHotTrack() && FMouseInside &&
        enabled && !FPressed)
        index = FChecked ? 7 : 6;
    if (DrawCustomGlyph(c, rect, index)) return;
    if (UsingXPThemes()) {
        int state = (FChecked ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL) +
                    (!enabled ? 3 : FPressed ? 2 : FMouseInside ? 1 : 0);
        ThemeServices()->DrawElement(*c, {TThemeClass::Button, BP_RADIOBUTTON, state}, rect);
        return;
    }
    if (GetHotTrack()) {
        TColor outside = GetColor();
        if (FTransparent) outside = c->GetPixel(rect.Left, rect.Top);
        DrawRadioGlyph(c, rect, FChecked, VisualState(), Focused(), GlyphColors(), outside, false);
        if (FTransparent) {
            // Soften the circle against what lies behind it.
            static const int kHalf[16][2] = {{4, 0}, {8, 0}, {2, 1}, {10, 1}, {1, 2}, {11, 2}, {0, 4}, {12, 4},
                                             {0, 8}, {12, 8}, {1, 10}, {11, 10}, {2, 11}, {10, 11}, {4, 12}, {8, 12}};
            static const int kLight[8][2] = {{3, 0}, {9, 0}, {0, 3}, {12, 3}, {0, 9}, {12, 9}, {3, 12}, {9, 12}};
            for (auto& p : kHalf) {
                int x = rect.Left + p[0], y = rect.Top + p[1];
                c->SetPixel(x, y, BlendColors(GetFrameColor(), c->GetPixel(x, y), 128));
            }
            for (auto& p : kLight) {
                int x = rect.Left + p[0], y = rect.Top + p[1];
                c->SetPixel(x, y, BlendColors(GetFrameColor(), c->GetPixel(x, y), 40));
            }
        }
        return;
    }
    TClassicGlyphState s;
    s.Checked = FChecked;
    s.Pushed = FPressed;
    s.Inactive = !enabled;
    DrawClassicRadio(*c, rect, s);
}

// ---- TUiCustomCheckBox -----------------------------------------------------------------------

TUiCustomCheckBox::TUiCustomCheckBox(TComponent* AOwner) : TUiCustomGlyphButton(AOwner) {
    FImageCount = 9;
    SetAlignmentVertical(avTop);
}

void TUiCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == FState) return;
    FState = v;
    Invalidate();
    FireClick();
}

void TUiCustomCheckBox::Toggle() {
    if (GetReadOnly() && FMouseInside) return;
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TUiCustomCheckBox::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        if (!GetReadOnly()) {
            FSpaceDown = true;
            FPressed = true;
            Invalidate();
        }
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE && FPressed) {
        FSpaceDown = false;
        FPressed = false;
        Invalidate();
    }
    TUiCustomGlyphButton::KeyDown(Key, Shift);
}

void TUiCustomCheckBox::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        FPressed = false;
        if (FSpaceDown) {
            FSpaceDown = false;
            Toggle();
        }
        Invalidate();
        Key = 0;
        return;
    }
    TUiCustomGlyphButton::KeyUp(Key, Shift);
}

void TUiCustomCheckBox::DoExit() {
    TUiCustomGlyphButton::DoExit();
    FSpaceDown = false;
    FPressed = false;
}

bool TUiCustomCheckBox::DialogChar(char Key) {
    char accel = CaptionAccelerator(GetCaption());
    if (accel && std::toupper(static_cast<unsigned char>(Key)) == accel && CanFocus()) {
        SetFocus();
        if (Focused() && !GetReadOnly()) Toggle();
        return true;
    }
    return TControl::DialogChar(Key);
}

TAccessibleInfo TUiCustomCheckBox::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::CheckBox;
    info.Name = RemoveAccelerators(GetCaption());
    info.Checkable = true;
    info.Checked = FState == cbChecked;
    if (FState == cbGrayed) info.Value = "mixed";
    info.Enabled = GetEnabled();
    info.Action = TAccessibleAction::Toggle;
    return info;
}

void TUiCustomCheckBox::DrawGlyph(TCanvas* c, const TRect& rect) {
    bool enabled = GetEnabled();
    int base = FState == cbChecked ? 1 : FState == cbGrayed ? 2 : 0;
    int index = !enabled ? 6 + base : FPressed ? 3 + base : base;
    TImageList* images = GetCustomGlyphImages();
    if (images && images->GetCount() > 9 && enabled && !FPressed && FMouseInside &&
        (GetHotTrack() || FState == cbGrayed))
        index = 9 + base;
    if (DrawCustomGlyph(c, rect, index)) return;
    if (UsingXPThemes()) {
        int first = FState == cbChecked ? CBS_CHECKEDNORMAL : FState == cbGrayed ? CBS_MIXEDNORMAL : CBS_UNCHECKEDNORMAL;
        int state = first + (!enabled ? 3 : FPressed ? 2 : FMouseInside ? 1 : 0);
        if (!FTransparent) {
            c->GetBrush()->SetColor(GetColor());
            c->FillRect(rect);
        }
        ThemeServices()->DrawElement(*c, {TThemeClass::Button, BP_CHECKBOX, state}, rect);
        return;
    }
    if (GetHotTrack()) {
        DrawCheckBoxGlyph(c, rect, FState, VisualState(), Focused(), GlyphColors());
        return;
    }
    TClassicGlyphState s;
    s.Checked = FState == cbChecked;
    s.Mixed = FState == cbGrayed;
    s.Pushed = FPressed;
    s.Inactive = !enabled;
    DrawClassicCheckBox(*c, rect, s);
}

// ---- TUiCheckedActionLink --------------------------------------------------------------------

void TUiCheckedActionLink::SetChecked(bool checked) {
    if (!FClient) return;
    bool was = FClient->GetClicksDisabled();
    FClient->SetClicksDisabled(true);
    FClient->SetChecked(checked);
    FClient->SetClicksDisabled(was);
}

bool TUiCheckedActionLink::IsCheckedLinked(bool actionChecked) const {
    return FClient && FClient->GetChecked() == actionChecked;
}
