#include <QRegion>

#include "platform/ui/CanvasInternal.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Raster.h"


TRegion::TRegion() : FImpl(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRegion& o) : FImpl(std::make_unique<Impl>(*o.FImpl)) {}
TRegion& TRegion::operator=(const TRegion& o) {
    *FImpl = *o.FImpl;
    return *this;
}
TRegion::TRegion(TRegion&& o) noexcept : FImpl(std::make_unique<Impl>()) { std::swap(FImpl, o.FImpl); }
TRegion& TRegion::operator=(TRegion&& o) noexcept {
    std::swap(FImpl, o.FImpl);
    return *this;
}
TRegion::~TRegion() = default;

TRegion TRegion::FromRect(const TRect& r) {
    TRegion g;
    int l = std::min(r.Left, r.Right), rr = std::max(r.Left, r.Right);
    int t = std::min(r.Top, r.Bottom), b = std::max(r.Top, r.Bottom);
    if (rr > l && b > t) g.FImpl->region = QRegion(l, t, rr - l, b - t);
    return g;
}

TRegion TRegion::FromPolygon(const TPoint* points, int count, TPolyFillMode mode) {
    TRegion g;
    QRegion acc;
    ui::raster::ScanPolygon(points, count, mode == WINDING,
                            [&](int y, int x0, int x1) { acc += QRect(x0, y, x1 - x0, 1); });
    g.FImpl->region = acc;
    return g;
}

TRegion TRegion::FromEllipse(int l, int t, int r, int b) {
    TRegion g;
    QRegion acc;
    ui::raster::ScanEllipse(l, t, r, b, [&](int y, int x0, int x1) { acc += QRect(x0, y, x1 - x0, 1); });
    g.FImpl->region = acc;
    return g;
}

TRegion TRegion::FromRoundRect(int l, int t, int r, int b, int cw, int ch) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    cw = std::min(cw, r - l);
    ch = std::min(ch, b - t);
    if (cw <= 1 || ch <= 1) return FromRect(l, t, r, b);
    QRegion acc(l, t + ch / 2, r - l, std::max(0, (b - t) - 2 * (ch / 2)));
    acc += QRect(l + cw / 2, t, std::max(0, (r - l) - 2 * (cw / 2)), b - t);
    // The four corners are quarters of the corner ellipse.
    auto corner = [&](int ex, int ey, int dx, int dy) {
        ui::raster::ScanEllipse(ex, ey, ex + cw, ey + ch, [&](int y, int x0, int x1) {
            acc += QRect(x0 + dx, y + dy, x1 - x0, 1);
        });
    };
    corner(l, t, 0, 0);
    corner(r - cw, t, 0, 0);
    corner(l, b - ch, 0, 0);
    corner(r - cw, b - ch, 0, 0);
    TRegion g;
    g.FImpl->region = acc & QRegion(l, t, r - l, b - t);
    return g;
}

bool TRegion::Combine(const TRegion& a, const TRegion& b, TRegionOp op) {
    QRegion r;
    switch (op) {
        case RGN_AND: r = a.FImpl->region & b.FImpl->region; break;
        case RGN_OR: r = a.FImpl->region | b.FImpl->region; break;
        case RGN_XOR: r = a.FImpl->region ^ b.FImpl->region; break;
        case RGN_DIFF: r = a.FImpl->region - b.FImpl->region; break;
        case RGN_COPY: r = a.FImpl->region; break;
    }
    FImpl->region = r;
    return !r.isEmpty();
}

void TRegion::Offset(int dx, int dy) { FImpl->region.translate(dx, dy); }
bool TRegion::Contains(int x, int y) const { return FImpl->region.contains(QPoint(x, y)); }
bool TRegion::IsEmpty() const { return FImpl->region.isEmpty(); }
TRect TRegion::GetBox() const {
    QRect r = FImpl->region.boundingRect();
    if (r.isEmpty()) return TRect();
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}
std::vector<TRect> TRegion::GetRects() const {
    std::vector<TRect> out;
    for (const QRect& r : FImpl->region)
        out.emplace_back(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return out;
}
bool TRegion::operator==(const TRegion& o) const { return FImpl->region == o.FImpl->region; }
