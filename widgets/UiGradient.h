#pragma once
// Two-colour gradient fills computed into an off-screen picture: the band arithmetic of the
// widget set's gradients (16.16 fixed-point channels, steps truncated toward zero).
#include <cstdint>

#include "widgets/UiRaster.h"

enum TGradientDirection : std::uint8_t {
    gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox,
    gdVerticalEnd, gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};

// A gradient of |width| x |height| for the direction; colours may be system colours.
// Empty when either size is 0.
TUiRaster GradientRaster(int width, int height, TGradientDirection direction,
                         std::uint8_t minBandWidth, TColor startColor, TColor stopColor);

// The fills the directions are built from. Colours are literal here.
// Centred bands in an 8-pixel strip: along x (bands span y 0..8) or along y (x 0..8).
// split -1 paints one pass from the second colour at 0 to the first at extent - 1.
void FillLinearGradient(TUiRaster& r, bool alongX, int split, int bandWidth, TColor first,
                        TColor second, int extent);
// Nested bands in the top-left quarter, the first colour at the centre.
void FillBoxGradient(TUiRaster& r, int width, int height, int bandWidth, TColor first,
                     TColor second, int verticalInset, int horizontalInset);
// Bands perpendicular to the diagonal; a negative width runs from the top-right corner.
void FillDiagonalGradient(TUiRaster& r, int signedWidth, int height, int bandWidth,
                          TColor first, TColor second);
// Repeats the strip at the origin over the whole total size.
void ReplicateStrip(TUiRaster& r, int stripHeight, int stripWidth, int totalHeight, int totalWidth);
// Copies the top-left quarter mirrored into the other three.
void MirrorQuarter(TUiRaster& r, int width, int height);
