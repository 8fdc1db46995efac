#include "memory/PhotoPlacement.h"

#include <algorithm>

namespace {

TRect Grown(const TRect& r, int by) { return TRect(r.Left - by, r.Top - by, r.Right + by, r.Bottom + by); }

// The widest the picture may be for a height: up to the nearest control beside it.
int WidthFor(const TPictureFit& f, int height, const std::vector<TRect>& controls) {
    const bool fromLeft = f.Kind == TPictureCorner::TopLeft;
    int width = std::min(f.MaxWidth, fromLeft ? f.Bounds.Right - f.Corner.x : f.Corner.x - f.Bounds.Left);
    for (const TRect& c : controls) {
        if (c.Top >= f.Corner.y + height || c.Bottom <= f.Corner.y) continue;
        if (fromLeft ? c.Right <= f.Corner.x : c.Left >= f.Corner.x) continue;  // behind the corner
        const int room = fromLeft ? c.Left - f.Corner.x : f.Corner.x - c.Right;
        width = std::min(width, std::max(room, 0));
    }
    return std::max(width, 0);
}

}  // namespace

TRect FitPictureRect(const TPictureFit& f, const std::vector<TRect>& controls) {
    std::vector<TRect> grown;
    for (const TRect& c : controls) grown.push_back(Grown(c, f.Gap));
    // The height stops at the page's bottom or at the top of a control below the corner.
    std::vector<int> heights{std::min(f.MaxHeight, f.Bounds.Bottom - f.Corner.y)};
    for (const TRect& c : grown)
        if (c.Top > f.Corner.y && c.Top - f.Corner.y < heights[0]) heights.push_back(c.Top - f.Corner.y);

    int bestWidth = 0, bestHeight = 0;
    long long bestScale = -1, bestArea = -1;
    for (int h : heights) {
        if (h <= 0) continue;
        const int w = WidthFor(f, h, grown);
        // The scaled picture's size, in units of its aspect.
        const long long scale = std::min(static_cast<long long>(w) * f.AspectHeight,
                                         static_cast<long long>(h) * f.AspectWidth);
        const long long area = static_cast<long long>(w) * h;
        if (scale > bestScale || (scale == bestScale && area > bestArea)) {
            bestScale = scale;
            bestArea = area;
            bestWidth = w;
            bestHeight = h;
        }
    }
    if (bestWidth <= 0 || bestHeight <= 0) return TRect(f.Corner.x, f.Corner.y, f.Corner.x, f.Corner.y);
    const int left = f.Kind == TPictureCorner::TopLeft ? f.Corner.x : f.Corner.x - bestWidth;
    return Bounds(left, f.Corner.y, bestWidth, bestHeight);
}
