#include "widgets/UiTabsFont.h"

TFont UiTabDrawingFont(const TFont& font, bool bold) {
    TFont f(font);
    TFontStyles style = f.GetStyle();
    if (bold)
        style.Include(fsBold);
    else
        style.Exclude(fsBold);
    f.SetStyle(style);
    return f;
}

TUiTabFontMetrics::TUiTabFontMetrics(const TFont& font) : FFont(font), FScratch(1, 1) {}

TSize TUiTabFontMetrics::TextExtent(const std::string& line, bool bold) const {
    TCanvas* c = FScratch.GetCanvas();
    c->SetFont(UiTabDrawingFont(FFont, bold));
    return c->TextExtent(line);
}

int TUiTabFontMetrics::FontHeight() const {
    return GetFontTextMetric(FFont).tmHeight;
}
