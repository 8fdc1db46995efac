#include "widgets/UiTrapezoid.h"

#include <algorithm>
#include <cmath>

namespace {
int Offset(int extent, int s, int alignment) {
    if (alignment == 1) return (extent - s) / 2;
    if (alignment == 2) return extent - s;
    return 0;
}
}  // namespace

void GetTrapezoidPoints(TTrapezoid& t, const TRect& r, int size, int direction, int orientation,
                        int alignment) {
    if (orientation == 0 || orientation == 1) {
        int s = std::min(r.Width(), size);
        int o = Offset(r.Width(), s, alignment);
        if ((direction == 0 && orientation == 0) || (direction == 1 && orientation == 1)) {
            t = {r.Left + o, r.Top, r.Left + o + s, r.Top, r.Right, r.Bottom, r.Left, r.Bottom};
        } else {
            t = {r.Left, r.Top, r.Right, r.Top, r.Left + o + s, r.Bottom, r.Left + o, r.Bottom};
        }
    } else {
        int s = std::min(r.Height(), size);
        int o = Offset(r.Height(), s, alignment);
        if ((direction == 0 && orientation == 3) || (direction == 1 && orientation == 2)) {
            t = {r.Left, r.Top, r.Right, r.Top + o, r.Right, r.Top + o + s, r.Left, r.Bottom};
        } else {
            t = {r.Left, r.Top + o, r.Right, r.Top, r.Right, r.Bottom, r.Left, r.Top + o + s};
        }
    }
}

void LineCrossing(TPoint a, TPoint b, TPoint given, TPoint& result, int orientation) {
    if (orientation == 0 || orientation == 1) {
        result.y = given.y;
        if (b.y == a.y) {
            result.x = b.x;  // a horizontal line crosses everywhere; keep its end
            return;
        }
        double x = b.x - double(b.x - a.x) / double(b.y - a.y) * double(b.y - given.y);
        result.x = static_cast<int>(std::lround(x));
    } else {
        result.x = given.x;
        if (b.x == a.x) {
            result.y = b.y;
            return;
        }
        double y = b.y - double(b.y - a.y) / double(b.x - a.x) * double(b.x - given.x);
        result.y = static_cast<int>(std::lround(y));
    }
}

void ClipTrapezoidToRect(const TTrapezoid& t, const TRect& r, int orientation, TTrapezoid& out) {
    TPoint p0{t.x0, t.y0}, p1{t.x1, t.y1}, p2{t.x2, t.y2}, p3{t.x3, t.y3}, q;
    if (orientation == 0 || orientation == 1) {
        LineCrossing(p0, p3, {0, r.Top}, q, orientation);
        out.x0 = q.x, out.y0 = q.y;
        LineCrossing(p1, p2, {0, r.Top}, q, orientation);
        out.x1 = q.x, out.y1 = q.y;
        LineCrossing(p1, p2, {0, r.Bottom}, q, orientation);
        out.x2 = q.x, out.y2 = q.y;
        LineCrossing(p0, p3, {0, r.Bottom}, q, orientation);
        out.x3 = q.x, out.y3 = q.y;
    } else {
        LineCrossing(p0, p1, {r.Left, 0}, q, orientation);
        out.x0 = q.x, out.y0 = q.y;
        LineCrossing(p0, p1, {r.Right, 0}, q, orientation);
        out.x1 = q.x, out.y1 = q.y;
        LineCrossing(p3, p2, {r.Right, 0}, q, orientation);
        out.x2 = q.x, out.y2 = q.y;
        LineCrossing(p3, p2, {r.Left, 0}, q, orientation);
        out.x3 = q.x, out.y3 = q.y;
    }
}

void InflateTrapezoid(TTrapezoid& t, int d) {
    t.x0 -= d, t.y0 -= d;
    t.x1 += d, t.y1 -= d;
    t.x2 += d, t.y2 += d;
    t.x3 -= d, t.y3 += d;
}
