#pragma once
// Pixel coverage of shapes by the window system's rules, without any drawing surface.
#include <functional>
#include <vector>

#include "platform/rtl/Types.h"

namespace ui::raster {

// Calls span(y, x0, x1) for the pixels x0..x1-1 of row y whose centres lie inside the
// polygon (so right and bottom edges are left out). winding: nonzero rule, else even-odd.
void ScanPolygon(const TPoint* points, int count, bool winding,
                 const std::function<void(int y, int x0, int x1)>& span);

// The pixels of a one-pixel line from (x0,y0) towards (x1,y1), end point left out.
void ScanLine(int x0, int y0, int x1, int y1, const std::function<void(int x, int y)>& plot);

// Spans of the ellipse inscribed in l..r-1 × t..b-1.
void ScanEllipse(int l, int t, int r, int b, const std::function<void(int y, int x0, int x1)>& span);

}  // namespace ui::raster
