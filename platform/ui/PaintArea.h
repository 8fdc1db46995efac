#pragma once
// Internal: painting a part of a control's image, the part Qt asks for or a strip that a
// child needs behind it; the rest of the image is left as it was.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>

#include "platform/ui/Graphics.h"

namespace ui {

// The part of bounds inside area, and back.
QRect AreaIn(const QRect& bounds, const TRect& area);
TRect ToTRect(const QRect& r);
// Sets every pixel of r (inside the image) to px.
void FillArea(QImage& image, const QRect& r, std::uint32_t px);
// Runs paint with canvas drawing on image at origin 0, clipped to area (image coordinates).
void PaintClipped(TCanvas& canvas, QImage& image, const QRect& area, const std::function<void()>& paint);

}  // namespace ui
