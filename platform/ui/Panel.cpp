#include "platform/ui/ExtCtrls.h"
#include "platform/ui/TextLayout.h"

TRect Frame3D(TCanvas& canvas, TRect r, TColor topColor, TColor bottomColor, int width) {
    TPen saved;
    saved.Assign(*canvas.GetPen());
    canvas.GetPen()->SetWidth(1);
    canvas.GetPen()->SetStyle(psSolid);
    canvas.GetPen()->SetMode(pmCopy);
    r.Bottom -= 1;
    r.Right -= 1;
    for (int i = 0; i < width; ++i) {
        canvas.GetPen()->SetColor(topColor);
        canvas.MoveTo(r.Left, r.Bottom);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right, r.Top);
        canvas.GetPen()->SetColor(bottomColor);
        canvas.LineTo(r.Right, r.Bottom);
        canvas.LineTo(r.Left - 1, r.Bottom);
        r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
    r.Right += 1;
    r.Bottom += 1;
    canvas.GetPen()->Assign(saved);
    return r;
}

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
    FControlStyle.Include(csOpaque);
}

void TPanel::SetBevelOuter(TBevelCut b) {
    if (b == FBevelOuter) return;
    FBevelOuter = b;
    Realign();
    Invalidate();
}
void TPanel::SetBevelInner(TBevelCut b) {
    if (b == FBevelInner) return;
    FBevelInner = b;
    Realign();
    Invalidate();
}
void TPanel::SetBevelWidth(int w) {
    if (w == FBevelWidth || w < 1) return;
    FBevelWidth = w;
    Realign();
    Invalidate();
}
void TPanel::SetBorderWidth(int w) {
    if (w == FBorderWidth || w < 0) return;
    FBorderWidth = w;
    Realign();
    Invalidate();
}
void TPanel::SetAlignment(TAlignment a) {
    FAlignment = a;
    Invalidate();
}
void TPanel::SetVerticalAlignment(TVerticalAlignment a) {
    FVerticalAlignment = a;
    Invalidate();
}
void TPanel::SetShowCaption(bool s) {
    FShowCaption = s;
    Invalidate();
}

void TPanel::AdjustClientRect(TRect& r) const {
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone) inset += FBevelWidth;
    if (FBevelInner != bvNone) inset += FBevelWidth;
    r = TRect(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
}

void TPanel::Paint() {
    TCanvas& c = *GetCanvas();
    TRect r = GetClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace) top = bottom = GetColor();
        r = Frame3D(c, r, top, bottom, FBevelWidth);
    };
    bevel(FBevelOuter);
    if (FBorderWidth > 0) r = Frame3D(c, r, GetColor(), GetColor(), FBorderWidth);
    bevel(FBevelInner);
    c.GetBrush()->SetColor(GetColor());
    c.FillRect(r);
    if (!FShowCaption || GetText().empty()) return;
    c.GetBrush()->SetStyle(bsClear);
    c.SetFont(*GetFont());
    unsigned flags = DT_EXPANDTABS | DT_SINGLELINE;
    flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    flags |= FVerticalAlignment == taVerticalCenter ? DT_VCENTER : FVerticalAlignment == taAlignBottom ? DT_BOTTOM : DT_TOP;
    if (!GetEnabled()) c.GetFont()->SetColor(clGrayText);
    c.DrawText(GetText(), r, flags);
}

void TPanel::TextChanged() { Invalidate(); }

TAccessibleInfo TPanel::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Pane;
    info.Name = ui::text::StripAccelerators(GetText());
    info.Enabled = GetEnabled();
    info.Action = OnClick ? TAccessibleAction::Press : TAccessibleAction::None;
    return info;
}
