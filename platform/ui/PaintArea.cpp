#include "platform/ui/PaintArea.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>

#include "platform/ui/CanvasInternal.h"
#include "platform/ui/ControlWidget.h"

namespace ui {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

QRegion RegionOf(const TRegion& area) { return area.GetImpl().region; }

TRegion ToTRegion(const QRegion& area) {
    TRegion r;
    r.GetImpl().region = area;
    return r;
}

void FillArea(QImage& image, const QRegion& area, std::uint32_t px) {
    for (const QRect& r : area & image.rect())
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            std::fill(row + r.left(), row + r.left() + r.width(), px);
        }
}

void ShowImage(QWidget& widget, const QImage& image, const QRegion& area) {
    // Rectangle by rectangle, within what the window lets through: under a clip of many
    // rectangles the paint engine blends span by span and hands large blends to a thread
    // pool; under a rectangle it blends directly.
    QPainter p(&widget);
    QRegion shown = area & image.rect();
    const QTransform& device = p.deviceTransform();
    if (device.type() <= QTransform::TxTranslate && !p.paintEngine()->systemClip().isEmpty())
        shown &= p.paintEngine()->systemClip().translated(-qRound(device.dx()), -qRound(device.dy()));
    for (const QRect& r : shown) {
        p.setClipRect(r);
        p.drawImage(r.topLeft(), image, r);
    }
}

void PaintClipped(TCanvas& canvas, QImage& image, const QRegion& area, const std::function<void()>& paint,
                  QPoint origin) {
    QImage* before = canvas.GetTarget();
    canvas.SetTarget(&image);
    canvas.SetOrigin(origin.x(), origin.y());
    canvas.SetPenPos(TPoint(0, 0));
    const TRegion clip = ToTRegion(area);
    canvas.SelectClipRegion(area == QRegion(image.rect()) ? nullptr : &clip);
    SafeCall(paint);
    canvas.SelectClipRegion(nullptr);
    canvas.SetOrigin(0, 0);
    canvas.SetTarget(before);
}

}  // namespace ui
