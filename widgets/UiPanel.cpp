#include "widgets/UiPanel.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/ui/ClassicGlyphs.h"
#include "platform/ui/ThemeServices.h"

namespace {
TRect ShrinkSides(TRect r, TSides sides, int by) {
    if (sides.Has(sdLeft)) r.Left += by;
    if (sides.Has(sdTop)) r.Top += by;
    if (sides.Has(sdRight)) r.Right -= by;
    if (sides.Has(sdBottom)) r.Bottom -= by;
    return r;
}

void Line(TCanvas* c, int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}
}  // namespace

// ---- TUiCustomPanel -------------------------------------------------------------------------

TUiCustomPanel::TUiCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FBorder.BorderOuter = fsRaised;
    FBorder.BorderInner = fsNone;
    TControlStyle style = GetControlStyle();
    style.Include(csAcceptsControls);
    style.Include(csOpaque);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 185, 41);
    SetColor(clBtnFace);
}

TUiCustomPanel::~TUiCustomPanel() { SetFrameController(nullptr); }

void TUiCustomPanel::AdjustClientRect(TRect& rect) const {
    TCustomControl::AdjustClientRect(rect);
    rect = BorderClientRect(rect, FBorder);
}

TAccessibleInfo TUiCustomPanel::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Pane;
    info.Name = RemoveAccelerators(GetCaption());
    info.Enabled = GetEnabled();
    return info;
}

void TUiCustomPanel::SetBounds(int left, int top, int width, int height) {
    // A panel at the right or bottom edge keeps that edge when it changes size.
    if (GetAlign() == alRight && width != GetWidth()) left = GetLeft() + GetWidth() - width;
    if (GetAlign() == alBottom && height != GetHeight()) top = GetTop() + GetHeight() - height;
    bool resized = width != GetWidth() || height != GetHeight();
    TCustomControl::SetBounds(left, top, width, height);
    if (resized) Invalidate();
}

void TUiCustomPanel::SetBevelWidth(int v) {
    StoreAndRepaint(FBorder.BevelWidth, std::max(v, 1));
    Realign();
}

void TUiCustomPanel::SetBorderWidth(int v) {
    StoreAndRepaint(FBorder.BorderWidth, std::max(v, 0));
    Realign();
}

void TUiCustomPanel::FrameChanged() {
    Invalidate();
    Realign();
}

void TUiCustomPanel::SetBorderInner(TFrameStyleEx v) {
    if (v == FBorder.BorderInner) return;
    FBorder.BorderInner = v;
    FrameChanged();
}

void TUiCustomPanel::SetBorderOuter(TFrameStyleEx v) {
    if (v == FBorder.BorderOuter) return;
    FBorder.BorderOuter = v;
    FrameChanged();
}

void TUiCustomPanel::SetBorderSides(TSides v) {
    if (v == FBorder.BorderSides) return;
    FBorder.BorderSides = v;
    FrameChanged();
}

void TUiCustomPanel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Invalidate();
}

void TUiCustomPanel::SetFrameController(TUiFrameController* v) { ChangeFrameController(this, FFrameController, v); }

void TUiCustomPanel::FrameControllerChanged() {
    TUiFrameController* c = FFrameController;
    if (!c || !c->GetFrameVisible()) return;
    if (auto* box = dynamic_cast<TUiCustomGroupBox*>(this); box && box->GetGroupStyle() != gsCustom) return;
    ApplyControllerFrame(*this, FBorder, *c, FNotifications);
    Invalidate();
    Realign();
}

void TUiCustomPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FFrameController) FFrameController = nullptr;
    FEnabledStates.erase(AComponent);
}

void TUiCustomPanel::EnableControls(bool enable) {
    for (int i = 0; i < GetControlCount(); ++i) {
        TControl* child = GetControl(i);
        if (enable) {
            auto it = FEnabledStates.find(child);
            child->SetEnabled(it == FEnabledStates.end() || it->second);
        } else {
            // Keep the state from before the first of overlapping disables.
            if (FEnabledStates.emplace(child, child->GetEnabled()).second) FreeNotification(child);
            child->SetEnabled(false);
        }
    }
    if (enable) {
        for (auto& entry : FEnabledStates) RemoveFreeNotification(entry.first);
        FEnabledStates.clear();
    }
}

TUiPanelDockManager* TUiCustomPanel::GetDockManager() {
    if (!FDockManager) FDockManager = std::make_unique<TUiPanelDockManager>(this);
    return FDockManager.get();
}

void TUiCustomPanel::EnabledChanged() {
    TCustomControl::EnabledChanged();
    Invalidate();
    EnableControls(GetEnabled());
}

void TUiCustomPanel::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

TColor TUiCustomPanel::ParentBackColor() const { return GetParent() ? GetParent()->GetColor() : clBtnFace; }

TRect TUiCustomPanel::PaintPanelFrame(TCanvas* c) {
    TUiBorderSettings border = FBorder;
    if (FVisualStyle == vsGradient && FGradientColorStyle != gcsCustom) {
        border.FlatColor = GetXPFrameColor(FGradientColorStyle == gcsMSOffice);
        border.FlatColorAdjustment = 0;
    }
    TRect all(0, 0, GetWidth(), GetHeight());
    TRect inner = DrawInnerOuterBorders(c, all, border, GetColor(), ParentBackColor(), FTransparent);
    if (FTransparent) return inner;
    bool roundedOuter = border.BorderOuter == fsFlatRounded && border.BorderInner == fsNone &&
                        border.BorderWidth == 0;
    bool rounded = roundedOuter || border.BorderInner == fsFlatRounded;
    TRect fill = rounded ? ShrinkSides(inner, border.BorderSides, -1) : inner;
    if (FVisualStyle == vsGradient) {
        TColor start = FGradientColorStart, stop = FGradientColorStop;
        if (FGradientColorStyle != gcsCustom) GetXPGradientColors(FGradientColorStyle == gcsMSOffice, start, stop);
        PaintGradient(c, fill, FGradientDirection, 1, start, stop);
    } else {
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(fill);
    }
    if (rounded) {
        // The fill reached the rounded frame; its corners take the frame colour again.
        TColor flat = ColorToRGB(AdjustColor(border.FlatColor, border.FlatColorAdjustment));
        TSides s = border.BorderSides;
        if (s.Has(sdLeft) && s.Has(sdTop)) c->SetPixel(fill.Left, fill.Top, flat);
        if (s.Has(sdRight) && s.Has(sdTop)) c->SetPixel(fill.Right - 1, fill.Top, flat);
        if (s.Has(sdRight) && s.Has(sdBottom)) c->SetPixel(fill.Right - 1, fill.Bottom - 1, flat);
        if (s.Has(sdLeft) && s.Has(sdBottom)) c->SetPixel(fill.Left, fill.Bottom - 1, flat);
    }
    return inner;
}

void TUiCustomPanel::PaintGrid(TCanvas* c, const TRect& in) {
    if (!FGridShow || FGridXSpacing == 0 || FGridYSpacing == 0) return;
    TColor color = ColorToRGB(FGridColor);
    int cols = GetWidth() / FGridXSpacing, rows = GetHeight() / FGridYSpacing;
    int id = c->SaveState();
    c->IntersectClipRect(in.Left, in.Top, in.Right, in.Bottom);
    if (FGridStyle == 0) {
        for (int i = 1; i <= cols; ++i)
            for (int j = 1; j <= rows; ++j)
                c->SetPixel(in.Left - 1 + FGridXSpacing * i, in.Top - 1 + FGridYSpacing * j, color);
    } else {
        bool dotted = FGridStyle == 1;
        for (int i = 1; i <= cols; ++i) {
            int x = in.Left - 1 + FGridXSpacing * i;
            for (int y = in.Top + (dotted ? 1 : 0); y < in.Bottom; y += dotted ? 2 : 1) c->SetPixel(x, y, color);
        }
        for (int j = 1; j <= rows; ++j) {
            int y = in.Top - 1 + FGridYSpacing * j;
            for (int x = in.Left + (dotted ? 1 : 0); x < in.Right; x += dotted ? 2 : 1) c->SetPixel(x, y, color);
        }
    }
    c->RestoreState(id);
}

void TUiCustomPanel::PaintCaption(TCanvas* c, const TRect& interior) {
    std::string text = GetCaption();
    if (text.empty()) return;
    TRect r(interior.Left + FMarginHorizontal, interior.Top + FMarginVertical,
            interior.Right - FMarginHorizontal, interior.Bottom - FMarginVertical);
    c->SetFont(*GetFont());
    c->GetBrush()->SetStyle(bsClear);
    unsigned flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0u);
    flags |= FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    TRect calc = r;
    int h = DrawString(c, text, calc, flags | DT_CALCRECT);
    switch (FAlignmentVertical) {
    case avTop: r.Bottom = r.Top + h; break;
    case avCenter:
        r.Top = (r.Top + r.Bottom - h) / 2;
        r.Bottom = r.Top + h;
        break;
    case avBottom:
        r.Top = std::max(r.Top, r.Bottom - h - 1);
        r.Bottom = r.Top + h;
        break;
    }
    if (!GetEnabled()) c->GetFont()->SetColor(clGrayText);
    DrawString(c, text, r, flags);
}

void TUiCustomPanel::Paint() {
    TCanvas* c = GetCanvas();
    if (FTransparent) DrawParentImage(this, c);
    TRect interior = PaintPanelFrame(c);
    PaintGrid(c, interior);
    PaintCaption(c, interior);
    if (OnPaint) OnPaint(this);
}

// ---- TUiCustomGroupBox ------------------------------------------------------------------------

TUiCustomGroupBox::TUiCustomGroupBox(TComponent* AOwner) : TUiCustomPanel(AOwner) {
    FBorder.BorderOuter = fsNone;
    FBorder.BorderInner = fsNone;
    SetAlignment(taLeftJustify);
    SetBounds(GetLeft(), GetTop(), GetWidth(), 105);
    FCaptionFont.Assign(*GetFont());
    FCaptionFont.OnChange = [this](TObject*) {
        if (!FCopyingFont) FCaptionFontChanged = true;
        Invalidate();
    };
}

TUiCustomGroupBox::~TUiCustomGroupBox() = default;

void TUiCustomGroupBox::AdjustClientRect(TRect& rect) const {
    TUiCustomPanel::AdjustClientRect(rect);
    TBitmap probe(1, 1);
    probe.GetCanvas()->SetFont(*GetFont());
    int h = probe.GetCanvas()->TextHeight("Yy");
    int bw = FBorder.BorderWidth;
    switch (FGroupStyle) {
    case gsStandard:
    case gsFlat: {
        rect.Top += h / 2 - 1 >= bw ? h - bw : h / 2 - 1;
        int by = FGroupStyle == gsStandard ? 2 : 1;
        rect = TRect(rect.Left + by, rect.Top + by, rect.Right - by, rect.Bottom - by);
        break;
    }
    case gsCustom:
        if (!GetCaption().empty()) rect.Top += h;
        rect = TRect(rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2);
        break;
    case gsTopLine: rect.Top += h; break;
    case gsBanner: rect.Top += FBannerHeight ? FBannerHeight : h + 8; break;
    case gsUnderline: rect.Top += h + 4; break;
    }
}

TAccessibleInfo TUiCustomGroupBox::GetAccessibleInfo() const {
    TAccessibleInfo info = TUiCustomPanel::GetAccessibleInfo();
    info.Role = TAccessibleRole::Grouping;
    if (FShowCheckBox) {
        info.Checkable = true;
        info.Checked = FChecked;
        info.Action = TAccessibleAction::Toggle;
    }
    return info;
}

void TUiCustomGroupBox::AccessiblePress() {
    if (FShowCheckBox && GetEnabled()) SetChecked(!FChecked);
}

void TUiCustomGroupBox::SetGroupStyle(TUiGroupBoxStyle v) {
    if (v == FGroupStyle) return;
    FGroupStyle = v;
    Invalidate();
    Realign();
}

void TUiCustomGroupBox::SetBannerHeight(int v) {
    if (v == FBannerHeight) return;
    FBannerHeight = v;
    Invalidate();
    Realign();
}

void TUiCustomGroupBox::SetCaptionFont(const TFont& f) {
    FCaptionFont.Assign(f);
    FCaptionFontChanged = true;
}

void TUiCustomGroupBox::FontChanged() {
    TUiCustomPanel::FontChanged();
    // The caption font follows the font until it is changed on its own.
    if (!FCaptionFontChanged) {
        FCopyingFont = true;
        FCaptionFont.Assign(*GetFont());
        FCopyingFont = false;
    }
    Realign();
}

void TUiCustomGroupBox::SetEnableControlsOnCheck(bool v) {
    if (v == FEnableControlsOnCheck) return;
    FEnableControlsOnCheck = v;
    if (v && FShowCheckBox) EnableControls(FChecked);
}

void TUiCustomGroupBox::SetShowCheckBox(bool v) {
    if (v == FShowCheckBox) return;
    FShowCheckBox = v;
    SetTabStop(v);
    if (v && FEnableControlsOnCheck && !FChecked) EnableControls(false);
    Invalidate();
}

void TUiCustomGroupBox::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    if (FShowCheckBox && FEnableControlsOnCheck) EnableControls(v);
    Invalidate();
    if (OnCheckBoxClick) OnCheckBoxClick(this);
}

TRect TUiCustomGroupBox::ComputeCaptionRect(TCanvas* c) const {
    std::string text = RemoveAccelerators(GetCaption());
    c->SetFont(FCaptionFont);
    int h = c->TextHeight("Pp");
    if (text.empty() && !FShowCheckBox) return TRect();
    TSize size = c->TextExtent(text);
    int w = size.cx + (FShowCheckBox ? FCheckBoxSize + 4 : 0);
    int height = h;
    int cw = GetWidth();
    bool rtl = UseRightToLeftAlignment();
    switch (FGroupStyle) {
    case gsStandard:
    case gsFlat: return rtl ? TRect(cw - w - 8, 0, cw - 8, height) : TRect(8, 0, 8 + w, height);
    case gsTopLine: return rtl ? TRect(cw - w - 4, 0, cw, height) : TRect(0, 0, w + 4, height);
    case gsBanner: return TRect(0, 0, cw, FBannerHeight ? FBannerHeight : height + 6);
    case gsUnderline: return TRect(0, 0, cw, height + 2);
    default: return TRect(0, 0, w, height);
    }
}

void TUiCustomGroupBox::PaintGroupFrame(TCanvas* c, TColor flat, int h) {
    TRect f(0, h / 2 - 1, GetWidth(), GetHeight());
    c->GetPen()->SetWidth(1);
    switch (FGroupStyle) {
    case gsStandard:
        switch (FBorder.BorderOuter) {
        case fsNone: DrawBorder(c, f, fsGroove); break;
        case fsFlat: DrawBox(c, f, flat); break;
        case fsFlatBold: DrawBevel(c, f, flat, flat, 2); break;
        default: DrawBorder(c, f, FBorder.BorderOuter); break;
        }
        break;
    case gsTopLine:
        switch (FBorder.BorderOuter) {
        case fsFlat:
        case fsFlatBold:
            c->GetPen()->SetColor(flat);
            Line(c, f.Left + 2, f.Top, f.Right - 2, f.Top);
            if (FBorder.BorderOuter == fsFlatBold) Line(c, f.Left + 2, f.Top + 1, f.Right - 2, f.Top + 1);
            break;
        case fsNone: DrawBorder(c, f, fsGroove, TSides{sdTop}); break;
        default: DrawBorder(c, f, FBorder.BorderOuter, TSides{sdTop}); break;
        }
        break;
    case gsFlat: {
        c->GetPen()->SetColor(flat);
        Line(c, f.Left, f.Top + 2, f.Left, f.Bottom - 2);
        Line(c, f.Left + 2, f.Top, f.Right - 2, f.Top);
        Line(c, f.Right - 1, f.Top + 2, f.Right - 1, f.Bottom - 2);
        Line(c, f.Left + 2, f.Bottom - 1, f.Right - 2, f.Bottom - 1);
        TColor px = ColorToRGB(flat);
        c->SetPixel(f.Left + 1, f.Top + 1, px);
        c->SetPixel(f.Right - 2, f.Top + 1, px);
        c->SetPixel(f.Right - 2, f.Bottom - 2, px);
        c->SetPixel(f.Left + 1, f.Bottom - 2, px);
        break;
    }
    case gsBanner: {
        TColor start, stop, frame;
        GetXPButtonColors(FGradientColorStyle == gcsMSOffice, start, stop, frame);
        if (FGradientColorStyle == gcsCustom) {
            frame = flat;
            start = FGradientColorStart;
            stop = FGradientColorStop;
        }
        TRect r = FCaptionRect;
        if (r.IsEmpty()) break;
        c->GetPen()->SetColor(frame);
        Line(c, r.Left + 1, r.Top, r.Right - 1, r.Top);
        Line(c, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
        Line(c, r.Left, r.Top + 1, r.Left, r.Bottom - 1);
        Line(c, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        PaintGradient(c, TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), gdHorizontalEnd, 1, start, stop);
        break;
    }
    case gsUnderline:
        c->GetPen()->SetColor(flat);
        Line(c, FCaptionRect.Left, FCaptionRect.Bottom - 1, FCaptionRect.Right, FCaptionRect.Bottom - 1);
        break;
    default: break;
    }
}

void TUiCustomGroupBox::PaintCaptionCheckBox(TCanvas* c, const TRect& box) {
    if (ThemeServices()->ThemesEnabled() && FVisualStyle == vsWinXP) {
        int state = FChecked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
        state += !GetEnabled() ? 3 : FPressed ? 2 : FHot ? 1 : 0;
        ThemeServices()->DrawElement(*c, {TThemeClass::Button, BP_CHECKBOX, state}, box);
        return;
    }
    TClassicGlyphState s;
    s.Checked = FChecked;
    s.Pushed = FPressed;
    s.Inactive = !GetEnabled();
    DrawClassicCheckBox(*c, box, s);
}

void TUiCustomGroupBox::Paint() {
    if (FGroupStyle == gsCustom) {
        TUiCustomPanel::Paint();
        return;
    }
    TCanvas* c = GetCanvas();
    c->SetFont(FCaptionFont);
    int h = c->TextHeight("Pp");
    FCaptionRect = ComputeCaptionRect(c);
    bool themed = FVisualStyle == vsWinXP && ThemeServices()->ThemesEnabled() &&
                  (FGroupStyle == gsStandard || FGroupStyle == gsFlat);
    TColor flat = AdjustColor(FBorder.FlatColor, FBorder.FlatColorAdjustment);
    if (themed) {
        if (!FTransparent) DrawParentImage(this, c);
        ThemeServices()->DrawElement(*c, {TThemeClass::Button, BP_GROUPBOX, GetEnabled() ? GBS_NORMAL : GBS_DISABLED},
                                     TRect(0, h / 2 - 1, GetWidth(), GetHeight()));
    } else {
        int id = c->SaveState();
        if (FTransparent) {
            DrawParentImage(this, c);
            if (FGroupStyle != gsBanner && !FCaptionRect.IsEmpty())
                c->ExcludeClipRect(FCaptionRect.Left, FCaptionRect.Top, FCaptionRect.Right, FCaptionRect.Bottom);
        } else {
            c->GetBrush()->SetStyle(bsSolid);
            c->GetBrush()->SetColor(GetColor());
            c->FillRect(TRect(0, 0, GetWidth(), GetHeight()));
        }
        PaintGroupFrame(c, flat, h);
        c->RestoreState(id);
    }
    // The caption cuts the frame line behind it.
    TRect cap = FCaptionRect;
    if (!cap.IsEmpty()) {
        if (!FTransparent && FGroupStyle != gsBanner) {
            c->GetBrush()->SetStyle(bsSolid);
            c->GetBrush()->SetColor(GetColor());
            c->FillRect(cap);
        }
        if (FGroupStyle == gsBanner) cap = TRect(cap.Left + 4, cap.Top + 1, cap.Right - 4, cap.Bottom - 1);
        c->GetBrush()->SetStyle(bsClear);
        c->SetFont(FCaptionFont);
        if (!GetEnabled()) c->GetFont()->SetColor(clGrayText);
        bool rtl = UseRightToLeftAlignment();
        if (FShowCheckBox) {
            int top = cap.Top + (cap.Height() - FCheckBoxSize) / 2;
            int left = rtl ? cap.Right - FCheckBoxSize : cap.Left;
            PaintCaptionCheckBox(c, Bounds(left, top, FCheckBoxSize, FCheckBoxSize));
            if (rtl)
                cap.Right -= FCheckBoxSize + 4;
            else
                cap.Left += FCheckBoxSize + 4;
        }
        TAlignment a = GetAlignment();
        if (rtl) a = a == taLeftJustify ? taRightJustify : a == taRightJustify ? taLeftJustify : a;
        unsigned flags = DT_SINGLELINE | DT_VCENTER |
                         (a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER);
        if (themed && GetEnabled()) {
            ThemeServices()->DrawText(*c, {TThemeClass::Button, BP_GROUPBOX, GBS_NORMAL}, GetCaption(), cap, flags);
        } else {
            DrawString(c, GetCaption(), cap, flags);
        }
        if (FShowCheckBox && Focused()) DrawDottedRect(c, FCaptionRect);
    }
    if (OnPaint) OnPaint(this);
}

void TUiCustomGroupBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TUiCustomPanel::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !GetEnabled() || !FShowCheckBox || !FCaptionRect.Contains(TPoint(X, Y))) return;
    SetFocus();
    FTracking = true;
    FPressed = true;
    Invalidate();
}

void TUiCustomGroupBox::MouseMove(TShiftState Shift, int X, int Y) {
    TUiCustomPanel::MouseMove(Shift, X, Y);
    bool hot = FCaptionRect.Contains(TPoint(X, Y));
    if (hot != FHot) {
        FHot = hot;
        Invalidate();
    }
    if (FTracking) {
        bool inside = TRect(0, 0, GetWidth(), GetHeight()).Contains(TPoint(X, Y));
        if (inside != FPressed) {
            FPressed = inside;
            Invalidate();
        }
    }
}

void TUiCustomGroupBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FTracking && Button == mbLeft) {
        FTracking = false;
        FPressed = false;
        if (FCaptionRect.Contains(TPoint(X, Y))) SetChecked(!FChecked);
        Invalidate();
    }
    TUiCustomPanel::MouseUp(Button, Shift, X, Y);
}

void TUiCustomGroupBox::KeyDown(Word& Key, TShiftState Shift) {
    TUiCustomPanel::KeyDown(Key, Shift);
    if (Key == VK_SPACE && FShowCheckBox) {
        FSpaceDown = true;
        FPressed = true;
        Invalidate();
    }
}

void TUiCustomGroupBox::KeyUp(Word& Key, TShiftState Shift) {
    TUiCustomPanel::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        FPressed = false;
        SetChecked(!FChecked);
        Invalidate();
    }
}

bool TUiCustomGroupBox::DialogChar(char Key) {
    char accel = CaptionAccelerator(GetCaption());
    if (accel && std::toupper(static_cast<unsigned char>(Key)) == accel) {
        // The group's accelerator moves the focus to its first child that takes it.
        for (int i = 0; i < GetControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(GetControl(i)); w && w->CanFocus()) {
                w->SetFocus();
                return true;
            }
    }
    return TUiCustomPanel::DialogChar(Key);
}

// ---- TUiStatusBar ---------------------------------------------------------------------------

TUiStatusBar::TUiStatusBar(TComponent* AOwner) : TUiCustomPanel(AOwner) {
    FBorder.BorderOuter = fsNone;
    FBorder.BorderInner = fsNone;
    FBorder.BorderSides = AllSides;
    FBorder.BorderWidth = 0;
    SetAlign(alBottom);
    SetBounds(GetLeft(), GetTop(), GetWidth(), 19);
}

void TUiStatusBar::SetAutoStyle(bool v) { StoreAndRepaint(FAutoStyle, v); }

void TUiStatusBar::SetBorderInner(TFrameStyleEx v) {
    FAutoStyle = false;
    TUiCustomPanel::SetBorderInner(v);
}

void TUiStatusBar::SetBorderOuter(TFrameStyleEx v) {
    FAutoStyle = false;
    TUiCustomPanel::SetBorderOuter(v);
}

void TUiStatusBar::SetBorderSides(TSides v) {
    FAutoStyle = false;
    TUiCustomPanel::SetBorderSides(v);
}

void TUiStatusBar::SetSimpleStatus(bool v) {
    if (v == FSimpleStatus) return;
    FSimpleStatus = v;
    if (v) {
        for (int i = 0; i < GetControlCount(); ++i) {
            TControl* c = GetControl(i);
            FHiddenBySimple[c] = c->GetVisible();
            c->SetVisible(false);
        }
    } else {
        for (int i = 0; i < GetControlCount(); ++i) {
            TControl* c = GetControl(i);
            auto it = FHiddenBySimple.find(c);
            c->SetVisible(it == FHiddenBySimple.end() || it->second);
        }
        FHiddenBySimple.clear();
    }
    Invalidate();
}

bool TUiStatusBar::SizeGripVisible() const {
    if (!FShowSizeGrip) return false;
    TCustomForm* form = GetParentForm();
    if (!form) return false;
    TFormBorderStyle b = form->GetBorderStyle();
    return (b == bsSizeable || b == bsSizeToolWin) && form->GetWindowState() != wsMaximized;
}

TRect TUiStatusBar::SizeGripRect() const { return TRect(GetWidth() - 13, 0, GetWidth(), GetHeight()); }

void TUiStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TUiCustomPanel::MouseDown(Button, Shift, X, Y);
    // The window system sizes the form from its corner; the grip only shows where.
    if (Button == mbLeft && SizeGripVisible() && SizeGripRect().Contains(TPoint(X, Y))) SetMouseCapture(false);
}

void TUiStatusBar::Resize() {
    TUiCustomPanel::Resize();
    int w = GetWidth();
    if (FAutoScalePanes && w >= 50) {
        if (FFirstResize) {
            FFirstResize = false;
        } else if (FPrevWidth > 0 && w != FPrevWidth) {
            DisableAlign();
            for (int i = 0; i < GetControlCount(); ++i) {
                TControl* c = GetControl(i);
                int nw = static_cast<int>(std::lround(double(c->GetWidth()) * w / FPrevWidth));
                c->SetWidth(nw);
            }
            EnableAlign();
        }
    }
    FPrevWidth = w;
}

void TUiStatusBar::PaintGrip(TCanvas* c) {
    TColor hl = clBtnHighlight, sh = clBtnShadow;
    if (FVisualStyle == vsGradient) {
        TColor start, stop, frame;
        GetXPButtonColors(FGradientColorStyle == gcsMSOffice, start, stop, frame);
        hl = stop;
        sh = frame;
    }
    if (FVisualStyle == vsWinXP && ThemeServices()->ThemesEnabled()) {
        ThemeServices()->DrawElement(*c, {TThemeClass::Status, SP_GRIPPER, 0},
                                     TRect(GetWidth() - 20, 0, GetWidth(), GetHeight()));
        return;
    }
    auto squares = [&](int r, int b, TColor col) {
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(col);
        const int spots[6][2] = {{4, 12}, {4, 8}, {4, 4}, {8, 8}, {8, 4}, {12, 4}};
        for (auto& s : spots) c->FillRect(Bounds(r - s[0], b - s[1], 2, 2));
    };
    squares(GetWidth() - 1, GetHeight(), hl);
    squares(GetWidth() - 2, GetHeight() - 1, sh);
}

void TUiStatusBar::Paint() {
    TCanvas* c = GetCanvas();
    TRect interior = PaintPanelFrame(c);
    if (FSimpleStatus) {
        TRect r = DrawBorder(c, interior, FSimpleFrameStyle);
        c->SetFont(*GetFont());
        c->GetBrush()->SetStyle(bsClear);
        r.Left += 2;
        DrawString(c, FSimpleCaption, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    } else {
        PaintCaption(c, interior);
    }
    if (SizeGripVisible()) PaintGrip(c);
    if (OnPaint) OnPaint(this);
}

// ---- TUiPanelDockManager ----------------------------------------------------------------------

void TUiPanelDockManager::PaintDockCaption(TCanvas* c, const TRect& client, const std::string& caption,
                                           bool active) {
    if (!FSite || !FSite->GetShowDockClientCaptions()) return;
    TRect bar(client.Left, client.Top - CaptionHeight, client.Right, client.Top);
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(active ? clActiveCaption : clInactiveCaption);
    c->FillRect(bar);
    TFont font;
    font.SetName("Verdana");
    font.SetSize(8);
    font.SetColor(active ? clCaptionText : clInactiveCaptionText);
    c->SetFont(font);
    c->GetBrush()->SetStyle(bsClear);
    TRect text(bar.Left + 2, bar.Top, bar.Right - CaptionHeight, bar.Bottom);
    DrawString(c, caption, text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    DrawCloseCross(c, TRect(bar.Right - CaptionHeight, bar.Top, bar.Right, bar.Bottom),
                   active ? clCaptionText : clInactiveCaptionText, true, false);
}
