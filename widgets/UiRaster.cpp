#include "widgets/UiRaster.h"

#include <algorithm>

TUiRaster::TUiRaster(int width, int height, TColor fill)
    : FWidth(std::max(width, 0)), FHeight(std::max(height, 0)),
      FPixels(size_t(FWidth) * size_t(FHeight), fill) {}

TColor TUiRaster::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
    return FPixels[size_t(y) * FWidth + x];
}

void TUiRaster::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    FPixels[size_t(y) * FWidth + x] = color;
}

void TUiRaster::FillRect(int left, int top, int right, int bottom, TColor color) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, FWidth), bottom = std::min(bottom, FHeight);
    for (int y = top; y < bottom; ++y)
        std::fill_n(FPixels.begin() + size_t(y) * FWidth + left, std::max(right - left, 0), color);
}
