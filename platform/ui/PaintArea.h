#pragma once
// Internal: painting a part of a control's image, the part Qt asks for or a strip that a
// child needs behind it; the rest of the image is left as it was.
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "platform/ui/Graphics.h"

namespace ui {

QRect ToQRect(const TRect& r);
// The area as a region, and back.
QRegion RegionOf(const TRegion& area);
TRegion ToTRegion(const QRegion& area);
// Sets every pixel of area (inside the image) to px.
void FillArea(QImage& image, const QRegion& area, std::uint32_t px);
// Shows the area of an image of a widget's size on the widget, from its paint event.
void ShowImage(QWidget& widget, const QImage& image, const QRegion& area);
// Runs paint with canvas drawing on image, its (0,0) at origin, clipped to area (image
// coordinates).
void PaintClipped(TCanvas& canvas, QImage& image, const QRegion& area, const std::function<void()>& paint,
                  QPoint origin = {});

}  // namespace ui
