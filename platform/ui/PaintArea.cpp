#include "platform/ui/PaintArea.h"

#include <algorithm>

#include "platform/ui/ControlWidget.h"

namespace ui {

QRect AreaIn(const QRect& bounds, const TRect& area) {
    return bounds & QRect(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top);
}

TRect ToTRect(const QRect& r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }

void FillArea(QImage& image, const QRect& r, std::uint32_t px) {
    const QRect a = r & image.rect();
    for (int y = a.top(); y <= a.bottom(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        std::fill(row + a.left(), row + a.left() + a.width(), px);
    }
}

void PaintClipped(TCanvas& canvas, QImage& image, const QRect& area, const std::function<void()>& paint) {
    QImage* before = canvas.GetTarget();
    canvas.SetTarget(&image);
    canvas.SelectClipRegion(nullptr);
    canvas.SetOrigin(0, 0);
    canvas.SetPenPos(TPoint(0, 0));
    if (area != image.rect()) canvas.IntersectClipRect(area.left(), area.top(), area.left() + area.width(), area.top() + area.height());
    SafeCall(paint);
    canvas.SelectClipRegion(nullptr);
    canvas.SetTarget(before);
}

}  // namespace ui
