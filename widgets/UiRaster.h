#pragma once
// A plain off-screen picture of literal colours (0x00BBGGRR): the gradient fills and glyphs
// are computed into one, then drawn on a canvas in one copy.
#include <vector>

#include "platform/rtl/Types.h"

class TUiRaster {
public:
    TUiRaster() = default;
    TUiRaster(int width, int height, TColor fill = 0);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Clipped to the picture; right and bottom exclusive.
    void FillRect(int left, int top, int right, int bottom, TColor color);
    void Fill(TColor color) { FillRect(0, 0, FWidth, FHeight, color); }
    const std::vector<TColor>& Pixels() const { return FPixels; }

private:
    int FWidth = 0, FHeight = 0;
    std::vector<TColor> FPixels;
};
