#include "platform/ui/StdCtrls.h"
#include "platform/ui/TextLayout.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 17);
}

unsigned TLabel::DrawTextFlags() const {
    unsigned f = DT_EXPANDTABS;
    if (FWordWrap) f |= DT_WORDBREAK;
    if (FAlignment == taCenter) f |= DT_CENTER;
    else if (FAlignment == taRightJustify) f |= DT_RIGHT;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    if (FEllipsis) f |= DT_END_ELLIPSIS;
    return f;
}

void TLabel::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    if (!FTransparent) {
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(r);
    }
    c->GetBrush()->SetStyle(bsClear);
    c->SetFont(*GetFont());
    unsigned flags = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        std::string text = GetText().empty() ? " " : GetText();
        c->DrawText(text, calc, flags | DT_CALCRECT);
        int dy = FLayout == tlBottom ? GetHeight() - calc.Bottom : (GetHeight() - calc.Bottom) / 2;
        r.Top += dy;
        r.Bottom += dy;
    }
    if (!GetEnabled()) {
        // Disabled text: a light copy one pixel down and right under a shadowed one.
        TRect lit(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        c->GetFont()->SetColor(clBtnHighlight);
        c->DrawText(GetText(), lit, flags);
        c->GetFont()->SetColor(clBtnShadow);
    }
    c->DrawText(GetText(), r, flags);
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || IsLoading()) return;
    TBitmap scratch(1, 1);
    TCanvas* c = scratch.GetCanvas();
    c->SetFont(*GetFont());
    TRect r = GetClientRect();
    std::string text = GetText();
    // The library measures an empty caption (or a lone accelerator mark) as one blank.
    if (text.empty() || (FShowAccelChar && text == "&")) text += " ";
    unsigned flags = DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0u) | (FShowAccelChar ? 0u : DT_NOPREFIX);
    c->DrawText(text, r, flags);
    int x = GetLeft();
    if (FAlignment == taRightJustify) x += GetWidth() - r.Right;
    SetBounds(x, GetTop(), r.Right, r.Bottom);
}

void TLabel::SetAlignment(TAlignment a) {
    if (a == FAlignment) return;
    FAlignment = a;
    Invalidate();
}
void TLabel::SetLayout(TTextLayout l) {
    if (l == FLayout) return;
    FLayout = l;
    Invalidate();
}
void TLabel::SetWordWrap(bool w) {
    if (w == FWordWrap) return;
    FWordWrap = w;
    AdjustBounds();
    Invalidate();
}
void TLabel::SetAutoSize(bool a) {
    if (a == FAutoSize) return;
    FAutoSize = a;
    AdjustBounds();
}
void TLabel::SetTransparent(bool t) {
    if (t == FTransparent) return;
    FTransparent = t;
    Invalidate();
}
void TLabel::SetShowAccelChar(bool s) {
    if (s == FShowAccelChar) return;
    FShowAccelChar = s;
    AdjustBounds();
    Invalidate();
}
void TLabel::SetEllipsis(bool e) {
    if (e == FEllipsis) return;
    FEllipsis = e;
    Invalidate();
}

void TLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

TAccessibleInfo TLabel::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::StaticText;
    info.Name = FShowAccelChar ? ui::text::StripAccelerators(GetText()) : GetText();
    info.Enabled = GetEnabled();
    info.Action = OnClick ? TAccessibleAction::Press : TAccessibleAction::None;
    return info;
}

bool TLabel::DialogChar(char Key) {
    if (!FShowAccelChar || !FFocusControl) return false;
    int at = -1;
    std::string plain = ui::text::StripAccelerators(GetText(), &at);
    if (at < 0 || std::toupper(static_cast<unsigned char>(plain[size_t(at)])) != std::toupper(static_cast<unsigned char>(Key)))
        return false;
    if (!FFocusControl->CanFocus()) return false;
    FFocusControl->SetFocus();
    return true;
}

void TLabel::SetFocusControl(TWinControl* c) {
    if (c == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = c;
    if (c) c->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}
