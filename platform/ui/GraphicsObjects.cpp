#include "platform/ui/Graphics.h"

#include <cmath>

namespace {
// MulDiv of the window system: the product divided with rounding half away from zero.
int MulDiv(int a, int b, int c) {
    long long p = static_cast<long long>(a) * b;
    long long q = (std::llabs(p) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<long long>(c)));
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}
}  // namespace

TFont::TFont() = default;
TFont::TFont(const TFont& other) : TObject() { Assign(other); }
TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

void TFont::Assign(const TFont& o) {
    if (&o == this) return;
    FName = o.FName;
    FHeight = o.FHeight;
    FColor = o.FColor;
    FStyle = o.FStyle;
    FCharset = o.FCharset;
    FPitch = o.FPitch;
    Changed();
}

bool TFont::SameAs(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
           FCharset == o.FCharset && FPitch == o.FPitch;
}

void TFont::Changed() {
    if (OnChange) OnChange(this);
}
void TFont::SetName(const std::string& name) {
    if (name.empty() || name == FName) return;
    FName = name;
    Changed();
}
void TFont::SetHeight(int h) {
    if (h == FHeight) return;
    FHeight = h;
    Changed();
}
int TFont::GetSize() const { return -MulDiv(FHeight, 72, 96); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }
void TFont::SetColor(TColor c) {
    if (c == FColor) return;
    FColor = c;
    Changed();
}
void TFont::SetStyle(TFontStyles s) {
    if (s == FStyle) return;
    FStyle = s;
    Changed();
}
void TFont::SetCharset(int c) {
    if (c == FCharset) return;
    FCharset = c;
    Changed();
}
void TFont::SetPitch(TFontPitch p) {
    if (p == FPitch) return;
    FPitch = p;
    Changed();
}

void TPen::SetColor(TColor c) {
    if (c == FColor) return;
    FColor = c;
    Changed();
}
void TPen::SetWidth(int w) {
    if (w < 0) w = 0;
    if (w == FWidth) return;
    FWidth = w;
    Changed();
}
void TPen::SetStyle(TPenStyle s) {
    if (s == FStyle) return;
    FStyle = s;
    Changed();
}
void TPen::SetMode(TPenMode m) {
    if (m == FMode) return;
    FMode = m;
    Changed();
}
void TPen::Assign(const TPen& o) {
    if (&o == this) return;
    FColor = o.FColor;
    FWidth = o.FWidth;
    FStyle = o.FStyle;
    FMode = o.FMode;
    Changed();
}

void TBrush::SetColor(TColor c) {
    bool change = c != FColor || FStyle == bsClear;
    FColor = c;
    if (FStyle == bsClear) FStyle = bsSolid;
    if (change) Changed();
}
void TBrush::SetStyle(TBrushStyle s) {
    if (s == FStyle) return;
    FStyle = s;
    Changed();
}
void TBrush::Assign(const TBrush& o) {
    if (&o == this) return;
    FColor = o.FColor;
    FStyle = o.FStyle;
    Changed();
}
