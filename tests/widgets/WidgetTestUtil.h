#pragma once
// Helpers of the widget tests: a white bitmap to paint on and pixel reads as literal colours.
#include <memory>
#include <string>

#include "platform/ui/Graphics.h"

namespace wt {

inline std::unique_ptr<TBitmap> Canvas(int w, int h, TColor fill = clWhite) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->GetCanvas()->GetBrush()->SetColor(fill);
    b->GetCanvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

inline TColor Px(const TBitmap& b, int x, int y) { return b.GetPixel(x, y); }
inline TColor Rgb(TColor c) { return ColorToRGB(c); }

}  // namespace wt
