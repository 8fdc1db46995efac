#pragma once
// Stateless drawing routines the widget classes share: gradients in ten directions, masked
// stretching, flipping and tiling of bitmaps, the trapezoid bevel of the meter and the
// parent's background behind a transparent control.
#include <cstdint>

#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"
#include "widgets/UiGradient.h"
#include "widgets/UiRaster.h"
#include "widgets/UiTrapezoid.h"

// Fills the rectangle with a two-colour gradient; a reversed rectangle paints its absolute
// size at (Left, Top), an empty one nothing.
void PaintGradient(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                   std::uint8_t MinBandWidth, TColor StartColor, TColor StopColor);
// Copies a computed picture onto the canvas with its top-left corner at (x, y).
void DrawRaster(TCanvas* Canvas, int x, int y, const TUiRaster& raster);

// Stretches the source rectangle into the destination, leaving out the transparent colour.
void StretchDrawMasked(TCanvas* Dest, TBitmap& Source, const TRect& DestRect,
                       TColor TransparentColor, const TRect& SourceRect);
void FlipBitmapVertical(TBitmap& Bitmap);
void TileBitmap(TCanvas* Canvas, TBitmap& Bitmap, const TRect& Rect);
// Count nested outlines in the button highlight and shadow colours.
void DrawTrapezoidBevel(TCanvas* Canvas, const TTrapezoid& Trap, bool Raised, int Count);
// The trapezoid as a polygon, its right and bottom points pulled in by one pixel.
void PolygonTrapezoid(TCanvas* Canvas, const TTrapezoid& Trap);

// Paints the parent's background into the canvas, whose (0, 0) is the control's top-left.
void DrawParentImage(TControl* Control, TCanvas* Canvas, bool InvalidateParent = false);
inline void DrawParentImageOnCanvas(TControl* Control, TCanvas* Canvas, bool InvalidateParent = false) {
    DrawParentImage(Control, Canvas, InvalidateParent);
}
