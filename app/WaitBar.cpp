#include "app/WaitBar.h"

#include <algorithm>
#include <string>

TWaitProgressBar::TWaitProgressBar(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 200, 24); }

void TWaitProgressBar::SetNumSegments(int n) {
    n = std::clamp(n, 1, 100);
    if (n == FNumSegments) return;
    FNumSegments = n;
    Invalidate();
}

void TWaitProgressBar::SetPercent(int p) {
    if (p == FPercent) return;
    FPercent = p;
    Invalidate();
}

TAccessibleInfo TWaitProgressBar::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::ProgressBar;
    info.Value = std::to_string(FPercent) + "%";
    info.Enabled = GetEnabled();
    return info;
}

void TWaitProgressBar::Paint() {
    TCanvas* c = GetCanvas();
    const TRect r = GetClientRect();
    c->GetBrush()->SetColor(clWhite);
    c->FillRect(r);
    c->GetPen()->SetColor(clBtnShadow);
    c->GetBrush()->SetStyle(bsClear);
    c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    const TRect in(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    if (in.IsEmpty()) return;
    const int segment = std::max(1, in.Width() / FNumSegments);
    const int lit = FNumSegments * std::clamp(FPercent, 0, 100) / 100;
    c->GetBrush()->SetColor(clHighlight);
    for (int i = 0; i < lit; ++i) {
        const int left = in.Left + i * segment;
        if (left >= in.Right) break;
        c->FillRect(TRect(left, in.Top, std::min(left + segment - 1, in.Right), in.Bottom));
    }
}
