#include "app/ToolIcon.h"

#include <algorithm>
#include <cstdint>

#include "app/TitleIcons.h"
#include "platform/ui/Forms.h"
#include "widgets/UiBorder.h"
#include "widgets/UiPanel.h"

namespace {

// How much of pixel (x, y) lies inside the rounded square from 0 to side with corners of the
// radius, in 16ths: the corners are smoothed, so the large sizes show no steps.
int Coverage(int x, int y, int side, int radius) {
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
            const double cx = std::clamp(px, double(radius), double(side - radius));
            const double cy = std::clamp(py, double(radius), double(side - radius));
            const double dx = px - cx, dy = py - cy;
            inside += dx * dx + dy * dy <= double(radius) * radius;
        }
    return inside;
}

// The window of the icon, side pixels square: drawn k times as large, each k x k block then
// averaged, so that the small sizes keep the colours of the meter's segments rather than
// their outlines.
std::vector<TColor> DrawWindow(int side) {
    const int k = std::max(1, 256 / side);
    const int large = side * k;
    TForm form(nullptr);
    form.SetBounds(0, 0, large, large);
    form.SetColor(clBtnFace);
    auto* title = new TUiPanel(&form);
    title->SetParent(&form);
    title->SetBounds(0, 0, large, side / 4 * k);  // whole rows of the icon: a sharp edge
    title->SetBorderOuter(fsNone);
    title->SetColor(kTitleColor);
    auto* meter = new TUiMeter(&form);
    meter->SetParent(&form);
    meter->SetBounds(large / 8, large * 3 / 8, large * 3 / 4, large / 2);
    meter->SetMeterShape(msTrapezoidal);
    meter->SetTrapezoidDir(tdSmallToLarge);
    meter->SetBorderOuter(fsNone);
    meter->SetSegOffColor(0x00A0A0A0);  // unlit: grey
    meter->SetShowPercent(false);
    meter->SetValue(70);
    const std::unique_ptr<TBitmap> image = form.RenderToBitmap();
    std::vector<TColor> window(std::size_t(side) * std::size_t(side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < k; ++dy)
                for (int dx = 0; dx < k; ++dx) {
                    const TColor c = image->GetPixel(x * k + dx, y * k + dy);
                    r += GetRValue(c), g += GetGValue(c), b += GetBValue(c);
                }
            const int n = k * k;
            window[std::size_t(y) * std::size_t(side) + std::size_t(x)] =
                RGB((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
        }
    return window;
}

}  // namespace

std::unique_ptr<TBitmap> DrawToolIcon(int size) {
    // The window stands a little inside the square, as other icons of a theme do.
    const int margin = std::max(1, size / 16);
    const int side = size - 2 * margin;
    const std::vector<TColor> window = DrawWindow(side);

    // The window onto the transparent square, its corners cut round; a grey edge keeps it
    // apart from a light panel behind it.
    const int radius = std::max(2, side / 10);
    std::vector<std::uint8_t> rgba(std::size_t(size) * std::size_t(size) * 4, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int cover = Coverage(x, y, side, radius);
            if (cover == 0) continue;
            const bool edge = Coverage(x - 1, y, side, radius) < 16 || Coverage(x + 1, y, side, radius) < 16 ||
                              Coverage(x, y - 1, side, radius) < 16 || Coverage(x, y + 1, side, radius) < 16;
            const TColor c = edge ? TColor(0x00606060) : window[std::size_t(y) * std::size_t(side) + std::size_t(x)];
            std::uint8_t* p = &rgba[(std::size_t(y + margin) * std::size_t(size) + std::size_t(x + margin)) * 4];
            p[0] = std::uint8_t(GetRValue(c));
            p[1] = std::uint8_t(GetGValue(c));
            p[2] = std::uint8_t(GetBValue(c));
            p[3] = std::uint8_t(std::min(255, cover * 16));
        }
    auto icon = std::make_unique<TBitmap>();
    icon->LoadFromRGBA(size, size, rgba.data());
    return icon;
}

void SetToolIcon() {
    if (Application->HasIcon()) return;  // drawn for the first window; the others share it
    std::vector<std::unique_ptr<TBitmap>> images;
    for (const int size : kToolIconSizes) images.push_back(DrawToolIcon(size));
    Application->SetIcon(images);
}
