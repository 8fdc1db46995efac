#pragma once
// The tab control's drawing font: regular or bold, measured with the GDI figures.
#include "platform/ui/Graphics.h"
#include "widgets/UiTabsLayout.h"

class TUiTabFontMetrics : public IUiTabTextMetrics {
public:
    explicit TUiTabFontMetrics(const TFont& font);
    TSize TextExtent(const std::string& line, bool bold) const override;
    int FontHeight() const override;

private:
    TFont FFont;
    mutable TBitmap FScratch;
};

// The control's font with the weight of a caption (bold or regular).
TFont UiTabDrawingFont(const TFont& font, bool bold);
