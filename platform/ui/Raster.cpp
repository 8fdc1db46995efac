#include "platform/ui/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ui::raster {

void ScanPolygon(const TPoint* pts, int count, bool winding,
                 const std::function<void(int, int, int)>& span) {
    if (!pts || count < 3) return;
    int minY = pts[0].y, maxY = pts[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, pts[i].y);
        maxY = std::max(maxY, pts[i].y);
    }
    struct Cross {
        double x;
        int dir;
    };
    std::vector<Cross> xs;
    for (int y = minY; y < maxY; ++y) {
        double cy = y + 0.5;
        xs.clear();
        for (int i = 0; i < count; ++i) {
            TPoint a = pts[i], b = pts[(i + 1) % count];
            if (a.y == b.y) continue;
            int dir = b.y > a.y ? 1 : -1;
            if (a.y > b.y) std::swap(a, b);
            if (cy < a.y || cy >= b.y) continue;
            double x = a.x + (cy - a.y) * double(b.x - a.x) / double(b.y - a.y);
            xs.push_back({x, dir});
        }
        std::sort(xs.begin(), xs.end(), [](const Cross& p, const Cross& q) { return p.x < q.x; });
        // A pixel is inside when its centre is: x0 = ceil(xa - 0.5) .. x1 = ceil(xb - 0.5).
        auto emit = [&](double xa, double xb) {
            int x0 = static_cast<int>(std::ceil(xa - 0.5));
            int x1 = static_cast<int>(std::ceil(xb - 0.5));
            if (x1 > x0) span(y, x0, x1);
        };
        if (!winding) {
            for (size_t i = 0; i + 1 < xs.size(); i += 2) emit(xs[i].x, xs[i + 1].x);
        } else {
            int wind = 0;
            double start = 0;
            for (const Cross& c : xs) {
                int before = wind;
                wind += c.dir;
                if (before == 0 && wind != 0) start = c.x;
                else if (before != 0 && wind == 0) emit(start, c.x);
            }
        }
    }
}

void ScanLine(int x0, int y0, int x1, int y1, const std::function<void(int, int)>& plot) {
    int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    if (dx >= dy) {
        // x-major: one pixel per column, the end column left out.
        int err = dx / 2;
        int y = y0;
        for (int i = 0, x = x0; i < dx; ++i, x += sx) {
            plot(x, y);
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
        }
    } else {
        int err = dy / 2;
        int x = x0;
        for (int i = 0, y = y0; i < dy; ++i, y += sy) {
            plot(x, y);
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
        }
    }
}

void ScanEllipse(int l, int t, int r, int b, const std::function<void(int, int, int)>& span) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
    double rx = (r - l) / 2.0, ry = (b - t) / 2.0;
    if (rx <= 0 || ry <= 0) return;
    for (int y = t; y < b; ++y) {
        double dy = (y + 0.5 - cy) / ry;
        double q = 1.0 - dy * dy;
        if (q < 0) continue;
        double half = rx * std::sqrt(q);
        int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
        int x1 = static_cast<int>(std::ceil(cx + half - 0.5));
        if (x1 > x0) span(y, x0, x1);
    }
}

}  // namespace ui::raster
