#include "widgets/UiButton.h"

#include <cctype>
#include <functional>

#include "platform/ui/ThemeServices.h"

// ---- TUiCustomButton ---------------------------------------------------------------------

TUiCustomButton::TUiCustomButton(TComponent* AOwner) : TCustomControl(AOwner) {
    // Clicks come from the press logic below, not from the plain mouse-up.
    TControlStyle style = GetControlStyle();
    style.Exclude(csClickEvents);
    style.Include(csCaptureMouse);
    style.Include(csOpaque);
    style.Include(csDoubleClicks);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 115, 17);
    SetTabStop(true);
}

// The window's keyboard cues; systems before Windows 2000 always show them.
bool TUiCustomButton::FocusCuesShown() const { return !RunningAtLeast(4) || !(QueryUIState() & UISF_HIDEFOCUS); }
bool TUiCustomButton::AcceleratorsShown() const { return !RunningAtLeast(4) || !(QueryUIState() & UISF_HIDEACCEL); }

TUiCustomButton::~TUiCustomButton() = default;

bool TUiCustomButton::UsingXPThemes() const { return FThemeAware && ThemeServices()->ThemesEnabled(); }

void TUiCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !GetEnabled()) return;
    SetFocus();
    if (Focused()) {
        FPressed = true;
        FTracking = true;
        Invalidate();
    }
}

void TUiCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FTracking) return;
    // The bottom row counts as inside while tracking, as the original does.
    bool inside = X >= 0 && X < GetClientWidth() && Y >= 0 && Y <= GetClientHeight();
    if (inside != FPressed) {
        FPressed = inside;
        Invalidate();
    }
}

void TUiCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FTracking && Button == mbLeft) {
        FTracking = false;
        FPressed = false;
        if (GetClientRect().Contains(TPoint(X, Y))) Click();
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TUiCustomButton::MouseEnter() {
    FMouseInControl = true;
    if (FHotTrack || UsingXPThemes()) Invalidate();
    TCustomControl::MouseEnter();
}

void TUiCustomButton::MouseLeave() {
    FMouseInControl = false;
    if (FHotTrack || UsingXPThemes()) Invalidate();
    TCustomControl::MouseLeave();
}

void TUiCustomButton::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    // Using the keyboard on a control shows the focus cues.
    ChangeUIState(UIS_CLEAR, UISF_HIDEFOCUS);
    if (Key == VK_SPACE && !Shift.Contains(ssAlt)) {
        FKeyPressed = true;
        FPressed = true;
        Invalidate();
    } else if (Key == VK_RETURN || Key == VK_ESCAPE) {
        if (UiDispatchDialogKey(GetParentForm() ? static_cast<TWinControl*>(GetParentForm()) : GetParent(),
                                Key, Shift))
            Key = 0;
    }
}

void TUiCustomButton::KeyUp(Word& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    if (Key != VK_SPACE) return;
    FPressed = false;
    if (FKeyPressed) {
        FKeyPressed = false;
        Click();
    }
    Invalidate();
}

namespace {
// Focus moving to or from a push button changes which button acts as the default one.
void InvalidateFormButtons(TControl* from) {
    TCustomForm* form = from->GetParentForm();
    if (!form) return;
    std::function<void(TWinControl*)> walk = [&](TWinControl* p) {
        for (int i = 0; i < p->GetControlCount(); ++i) {
            TControl* c = p->GetControl(i);
            if (dynamic_cast<TUiButton*>(c)) c->Invalidate();
            if (auto* w = dynamic_cast<TWinControl*>(c)) walk(w);
        }
    };
    walk(form);
}
}  // namespace

void TUiCustomButton::DoEnter() {
    TCustomControl::DoEnter();
    Invalidate();
    if (dynamic_cast<TUiButton*>(this)) InvalidateFormButtons(this);
}

void TUiCustomButton::DoExit() {
    TCustomControl::DoExit();
    if (IsDestroying()) return;
    FKeyPressed = false;
    FPressed = false;
    Invalidate();
    if (dynamic_cast<TUiButton*>(this)) InvalidateFormButtons(this);
}

bool TUiCustomButton::DialogKey(Word, TShiftState) { return false; }

bool TUiCustomButton::DialogChar(char Key) {
    char accel = CaptionAccelerator(GetCaption());
    if (accel && std::toupper(static_cast<unsigned char>(Key)) == accel && CanTakeFocus()) {
        ChangeUIState(UIS_CLEAR, UISF_HIDEACCEL);
        Click();
        return true;
    }
    return TCustomControl::DialogChar(Key);
}

void TUiCustomButton::EnabledChanged() {
    if (!GetEnabled() && Focused()) {
        // A disabled control gives up the focus.
        if (TCustomForm* form = GetParentForm()) form->SetActiveControl(nullptr);
    }
    TCustomControl::EnabledChanged();
    Invalidate();
}

void TUiCustomButton::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

void TUiCustomButton::PaintParentImage(TCanvas* canvas) { DrawParentImage(this, canvas); }

void TUiCustomButton::DrawCaption(TCanvas* c, TRect r, unsigned flags) {
    c->GetBrush()->SetStyle(bsClear);
    c->SetFont(*GetFont());
    const bool accel = AcceleratorsShown();
    std::string text = accel ? GetCaption() : RemoveAccelerators(GetCaption());
    TRect calc = r;
    int h = DrawString(c, text, calc, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
    switch (FAlignmentVertical) {
    case avTop: r.Bottom = r.Top + h; break;
    case avCenter:
        r.Top = (r.Top + r.Bottom - h) / 2;
        r.Bottom = r.Top + h;
        break;
    case avBottom: r.Top = r.Bottom - h - 1; break;
    }
    if (!accel) flags |= DT_NOPREFIX;
    auto draw = [&](TRect at, TColor color) {
        c->GetFont()->SetColor(color);
        DrawString(c, text, at, flags);
    };
    auto offset = [](TRect at, int dx, int dy) {
        return TRect(at.Left + dx, at.Top + dy, at.Right + dx, at.Bottom + dy);
    };
    if (!GetEnabled()) {
        draw(r, ColorsTooClose(GetColor(), clGrayText) ? cl3DDkShadow : clGrayText);
        return;
    }
    if (FTextStyle == tsRaised || FTextStyle == tsRecessed) {
        bool raised = FTextStyle == tsRaised;
        TColor a = raised ? FTextHighlightColor : FTextShadowColor;
        TColor b = raised ? FTextShadowColor : FTextHighlightColor;
        if (!(FLightTextStyle && raised)) draw(offset(r, 1, 1), b);
        if (!(FLightTextStyle && !raised)) draw(offset(r, -1, -1), a);
    } else if (FTextStyle == tsShadow) {
        int d = FTextShadowDepth;
        draw((flags & DT_RIGHT) ? offset(r, 0, d) : offset(r, d, d), FTextShadowColor);
        if (flags & DT_RIGHT) r = offset(r, -d, 0);
    }
    draw(r, GetFont()->GetColor());
}

// ---- TUiButton -----------------------------------------------------------------------------

TUiButton::TUiButton(TComponent* AOwner) : TUiCustomButton(AOwner) {
    SetBounds(GetLeft(), GetTop(), 75, 25);
    SetColor(clBtnFace);
}

TUiButton::~TUiButton() = default;

void TUiButton::SetHotTrack(bool v) {
    if (v == FHotTrack) return;
    FHotTrack = v;
    FTransparent = v;
    Invalidate();
}

void TUiButton::SetDefault(bool v) {
    if (v == FDefault) return;
    FDefault = v;
    Invalidate();
}

bool TUiButton::IsActive() const {
    TCustomForm* form = GetParentForm();
    TWinControl* focused = form ? form->GetActiveControl() : nullptr;
    if (dynamic_cast<TUiButton*>(focused)) return focused == this;
    return FDefault;
}

void TUiButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    BroadcastGroup();
}

void TUiButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    BroadcastGroup();
}

void TUiButton::SetDown(bool v) {
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    if (FDown && !FAllowAllUp) return;  // the down button of a group stays down
    FDown = v;
    FState = v ? 3 : 0;
    Invalidate();
    if (v) BroadcastGroup();
}

void TUiButton::BroadcastGroup() {
    TWinControl* parent = GetParent();
    if (!parent || FGroupIndex == 0) return;
    for (int i = 0; i < parent->GetControlCount(); ++i)
        if (auto* b = dynamic_cast<TUiButton*>(parent->GetControl(i)); b && b != this) b->GroupChanged(this);
}

void TUiButton::GroupChanged(TUiButton* sender) {
    if (!sender || sender == this || sender->FGroupIndex != FGroupIndex) return;
    if (sender->FDown && FDown) {
        FDown = false;
        FState = 0;
        Invalidate();
    }
    FAllowAllUp = sender->FAllowAllUp;
}

void TUiButton::Click() {
    if (FGroupIndex != 0)
        SetDown(!FDown);
    else
        Invalidate();
    FClicking = true;
    struct TReset {
        bool& flag;
        ~TReset() { flag = false; }
    } reset{FClicking};
    if (FModalResult != mrNone)
        if (TCustomForm* form = GetParentForm()) form->SetModalResult(FModalResult);
    TUiCustomButton::Click();
}

// The abstract base click raises OnClick.
void TUiCustomButton::Click() { TCustomControl::Click(); }

bool TUiButton::DialogKey(Word key, TShiftState shift) {
    if (shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
    if (!((key == VK_RETURN && IsActive()) || (key == VK_ESCAPE && FCancel))) return false;
    if (!CanTakeFocus()) return false;
    FEnterClicking = key == VK_RETURN && !FDropDownOnEnter;
    Click();
    FEnterClicking = false;
    return true;
}

void TUiButton::DefineProperties(TUiFiler& filer) {
    filer.DefineBoolean("FrameFlat", [this](bool v) { SetHotTrack(v); });
}

TAccessibleInfo TUiButton::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::PushButton;
    info.Name = RemoveAccelerators(GetCaption());
    info.Enabled = GetEnabled();
    // A grouped button stays down: it toggles.
    info.Action = FGroupIndex != 0 ? TAccessibleAction::Toggle : TAccessibleAction::Press;
    info.Checkable = FGroupIndex != 0;
    info.Checked = FDown;
    return info;
}

TRect TUiButton::GetCaptionRect() const {
    TRect r = GetContentRect();
    r = TRect(r.Left + 5, r.Top + 5, r.Right - 5, r.Bottom - 5);
    if (!FHotTrack && !UsingXPThemes()) {
        bool shifted = (FGroupIndex != 0 && DownLook()) || (FGroupIndex == 0 && FPressed);
        if (shifted) r = TRect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
    }
    return r;
}

void TUiButton::PrepareCaption(TCanvas* c) {
    TAlignment a = FAlignment;
    if (UseRightToLeftAlignment()) a = a == taLeftJustify ? taRightJustify : a == taRightJustify ? taLeftJustify : a;
    unsigned flags = a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER;
    flags |= DT_WORDBREAK | DT_EXPANDTABS;
    DrawCaption(c, GetCaptionRect(), flags);
}

void TUiButton::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    bool downLook = DownLook();
    bool defaulted = FGroupIndex == 0 && (IsActive() || Focused()) && !FPressed;
    int inset = FHotTrack || UsingXPThemes() ? 3 : 4;
    TRect focus(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
    if (FGroupIndex != 0 && downLook) focus = TRect(focus.Left + 1, focus.Top + 1, focus.Right + 1, focus.Bottom + 1);

    if (FTransparent) PaintParentImage(c);
    if (UsingXPThemes()) {
        int state = !GetEnabled() ? PBS_DISABLED
                    : downLook    ? PBS_PRESSED
                    : FMouseInControl ? PBS_HOT
                    : defaulted   ? PBS_DEFAULTED
                                  : PBS_NORMAL;
        ThemeServices()->DrawParentBackground(*c, r);
        ThemeServices()->DrawElement(*c, {TThemeClass::Button, BP_PUSHBUTTON, state}, r);
    } else if (FHotTrack) {
        PaintHotTrack(c, r, downLook, defaulted);
    } else {
        PaintClassic(c, r, downLook, defaulted);
    }
    c->SetFont(*GetFont());
    c->GetBrush()->SetColor(GetColor());
    PrepareCaption(c);
    if (FocusCuesShown() && Focused() && FShowFocusRect) DrawDottedRect(c, focus);
}

void TUiButton::PaintHotTrack(TCanvas* c, TRect r, bool downLook, bool defaulted) {
    bool enabled = GetEnabled();
    TColor parent = GetParent() ? GetParent()->GetColor() : clBtnFace;
    TColor ul = enabled ? DarkerColor(parent, 20) : parent;
    TColor lr = enabled ? LighterColor(parent, 20) : parent;
    auto line = [c](int x1, int y1, int x2, int y2) {
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    c->GetPen()->SetWidth(1);
    // The outer ring in shades of the parent's colour, its corners cut.
    c->GetPen()->SetColor(ul);
    line(r.Left, r.Top + 2, r.Left, r.Bottom - 2);
    line(r.Left + 2, r.Top, r.Right - 2, r.Top);
    c->GetPen()->SetColor(lr);
    line(r.Right - 1, r.Top + 2, r.Right - 1, r.Bottom - 2);
    line(r.Left + 2, r.Bottom - 1, r.Right - 2, r.Bottom - 1);
    c->SetPixel(r.Left + 1, r.Top + 1, ColorToRGB(ul));
    c->SetPixel(r.Right - 2, r.Top + 1, ColorToRGB(ul));
    c->SetPixel(r.Left + 1, r.Bottom - 2, ColorToRGB(ul));
    c->SetPixel(r.Right - 2, r.Bottom - 2, ColorToRGB(lr));
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    // The frame without its corner pixels.
    TColor frame = enabled ? FFrameColor
                           : (GetColor() == clBtnFace ? LighterColor(clBtnShadow, 30) : DarkerColor(GetColor(), 80));
    c->GetPen()->SetColor(frame);
    line(r.Left + 1, r.Top, r.Right - 1, r.Top);
    line(r.Left, r.Top + 1, r.Left, r.Bottom - 1);
    line(r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    line(r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    // The face.
    c->GetBrush()->SetStyle(bsSolid);
    TColor color = GetColor();
    if (!enabled) {
        c->GetBrush()->SetColor(color);
        c->FillRect(r);
    } else if (downLook) {
        c->GetBrush()->SetColor(DarkerColor(color, 10));
        c->FillRect(r);
    } else {
        c->GetPen()->SetColor(DarkerColor(color, 20));
        line(r.Left, r.Bottom - 2, r.Right, r.Bottom - 2);
        c->GetPen()->SetColor(DarkerColor(color, 30));
        line(r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
        TRect face(r.Left, r.Top, r.Right, r.Bottom - 2);
        if (HighColorDisplay) {
            PaintGradient(c, face, gdHorizontalEnd, 1, DarkerColor(color, 10), LighterColor(color, 30));
        } else {
            c->GetBrush()->SetColor(color);
            c->FillRect(face);
        }
    }
    if (!enabled || downLook) return;
    if (FMouseInControl) {
        TColor s, e;
        if (GetHotTrackColorType() == htctComplement) {
            s = ComplementaryColor(GetHotTrackColor(), 180);
            e = DarkerColor(s, 30);
        } else {
            s = BlendColors(clWhite, GetHotTrackColor(), 190);
            e = GetHotTrackColor();
        }
        DrawGradientRing(c, r, gdHorizontalEnd, s, e);
    } else if (defaulted) {
        TColor h = GetHighlightColor();
        if (ColorsTooClose(h, clBtnFace)) h = DarkerColor(h, 30);
        TColor l = LighterColor(color, 30);
        DrawGradientRing(c, r, gdHorizontalEnd, BlendColors(h, l, 60), BlendColors(h, l, 160));
    }
}

void TUiButton::PaintClassic(TCanvas* c, TRect r, bool downLook, bool defaulted) {
    if (FGroupIndex == 0 && (defaulted || FClicking)) r = DrawSides(c, r, clWindowFrame, clWindowFrame);
    TColor color = GetColor();
    if (color == clBtnFace) {
        if (FGroupIndex == 0)
            r = DrawButtonBorder(c, r, FPressed);
        else
            r = DrawBorder(c, r, downLook ? fsLowered : fsButtonUp);
    } else {
        if (FGroupIndex == 0)
            r = DrawColorButtonBorder(c, r, color, FPressed);
        else if (downLook)
            r = DrawColorBorder(c, r, color, fsLowered);
        else
            r = DrawColorButtonBorder(c, r, color, false);
    }
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(color);
    c->FillRect(r);
    if (FGroupIndex != 0 && FState == 3 && FShowDownPattern) PaintDownPattern(c, r);
}

void TUiButton::PaintDownPattern(TCanvas* c, const TRect& r) {
    TColor color = ColorToRGB(GetColor());
    TColor dots = color == 0xC0C0C0 ? TColor(0x808080) : TColor(0xC0C0C0);
    TUiRaster pattern(r.Width(), r.Height());
    for (int y = 0; y < pattern.Height(); ++y)
        for (int x = 0; x < pattern.Width(); ++x)
            pattern.SetPixel(x, y, ((x + r.Left) % 2) == ((y + r.Top) % 2) ? dots : color);
    DrawRaster(c, r.Left, r.Top, pattern);
}

bool UiDispatchDialogKey(TWinControl* root, Word key, TShiftState shift) {
    if (!root || (key != VK_RETURN && key != VK_ESCAPE)) return false;
    std::function<bool(TWinControl*)> walk = [&](TWinControl* p) {
        for (int i = 0; i < p->GetControlCount(); ++i) {
            TControl* c = p->GetControl(i);
            if (!c->GetVisible() || !c->GetEnabled()) continue;
            if (auto* b = dynamic_cast<TUiCustomButton*>(c); b && b->DialogKey(key, shift)) return true;
            if (auto* w = dynamic_cast<TWinControl*>(c); w && walk(w)) return true;
        }
        return false;
    };
    return walk(root);
}
