#include "widgets/UiGradient.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "widgets/UiColors.h"

namespace {

// One colour held as three 16.16 channels.
struct TFixedColor {
    std::int32_t r = 0, g = 0, b = 0;
    explicit TFixedColor(TColor c = 0)
        : r(std::int32_t(GetRValue(c)) << 16), g(std::int32_t(GetGValue(c)) << 16),
          b(std::int32_t(GetBValue(c)) << 16) {}
    TColor Color() const { return RGB(r >> 16, g >> 16, b >> 16); }
};

struct TFixedStep {
    std::int32_t r = 0, g = 0, b = 0;
    TFixedStep(TColor from, TColor to, int steps) {
        if (steps <= 0) steps = 1;
        TFixedColor f(from), t(to);
        r = (t.r - f.r) / steps, g = (t.g - f.g) / steps, b = (t.b - f.b) / steps;
    }
};

void Add(TFixedColor& c, const TFixedStep& s) { c.r += s.r, c.g += s.g, c.b += s.b; }

// Pixels a band must span before the colour may change.
int BandRun(int bandWidth, int divisor) {
    if (bandWidth <= 0) bandWidth = 1;
    return bandWidth <= 8 ? bandWidth : divisor / bandWidth + 1;
}

// One pass from position `from` down to `to`, `steps` steps from `c1` toward `c2`.
void LinearPass(TUiRaster& r, bool alongX, int from, int to, int steps, int run, TColor c1,
                TColor c2) {
    if (from < to) return;
    TFixedStep step(c1, c2, steps);
    TFixedColor cur(c1);
    int bandStart = from;
    TColor bandColor = cur.Color();
    auto fill = [&](int lo, int hi, TColor c) {  // positions lo..hi inclusive
        if (alongX)
            r.FillRect(lo, 0, hi + 1, 8, c);
        else
            r.FillRect(0, lo, 8, hi + 1, c);
    };
    for (int pos = from; pos >= to; --pos) {
        TColor c = cur.Color();
        if (c != bandColor && bandStart - pos >= run) {
            fill(pos + 1, bandStart, bandColor);
            bandStart = pos;
            bandColor = c;
        }
        Add(cur, step);
    }
    fill(to, bandStart, bandColor);
}

}  // namespace

void FillLinearGradient(TUiRaster& r, bool alongX, int split, int bandWidth, TColor first,
                        TColor second, int extent) {
    int run = BandRun(bandWidth, 255);
    if (split < 0) {
        LinearPass(r, alongX, extent - 1, 0, extent, run, first, second);
        return;
    }
    LinearPass(r, alongX, split, 0, split + 1, run, first, second);
    LinearPass(r, alongX, extent - 1, split + 1, extent - split - 1, run, second, first);
}

void FillBoxGradient(TUiRaster& r, int width, int height, int bandWidth, TColor first,
                     TColor second, int verticalInset, int horizontalInset) {
    if (first == second || width < 5 || height < 5) {
        r.FillRect(0, 0, width + 1, height + 1, second);
        return;
    }
    int hw = (width - 1) >> 1, hh = (height - 1) >> 1;
    int innerX = hw + 1, innerY = hh + 1;
    hw = std::max(hw - horizontalInset, 0);
    hh = std::max(hh - verticalInset, 0);
    int n = std::max(hw, hh) + 1;
    int run = BandRun(bandWidth, 256);
    TFixedStep step(first, second, n);
    TFixedColor cur(first);
    std::int32_t x = hw << 16, y = hh << 16;
    std::int32_t dx = (hw << 16) / n, dy = (hh << 16) / n;
    // The centre left by the insets takes the first colour.
    r.FillRect(hw, hh, innerX, innerY, first);
    TColor bandColor = cur.Color();
    int sinceChange = 0;
    for (int i = 0; i < n; ++i) {
        int px = x >> 16, py = y >> 16;
        x -= dx, y -= dy;
        if (i == n - 1) x = 0, y = 0;  // the last band reaches the outer corner
        int nx = std::max(x >> 16, 0), ny = std::max(y >> 16, 0);
        // Each ring takes the colour one step on, so that the truncated boundaries still end
        // near the second colour at the outer corner.
        Add(cur, step);
        TColor c = cur.Color();
        if (c != bandColor && sinceChange >= run) bandColor = c, sinceChange = 0;
        r.FillRect(nx, ny, innerX, py, bandColor);  // along the top
        r.FillRect(nx, ny, px, innerY, bandColor);  // along the left
        ++sinceChange;
    }
}

void FillDiagonalGradient(TUiRaster& r, int signedWidth, int height, int bandWidth,
                          TColor first, TColor second) {
    int w = std::abs(signedWidth);
    if (w == 0 || height == 0) return;
    double len = std::sqrt(double(w) * w + double(height) * height);
    int n = static_cast<int>(len) + 1;
    bool fromLeft = signedWidth > 0;
    TColor c1 = fromLeft ? second : first, c2 = fromLeft ? first : second;
    int run = BandRun(bandWidth, 255);
    // The colour of every band, with the band-width rule applied along the run.
    std::vector<TColor> bands(n);
    TFixedStep step(c1, c2, n);
    TFixedColor cur(c1);
    TColor bandColor = cur.Color();
    int sinceChange = 0;
    for (int k = 0; k < n; ++k) {
        TColor c = cur.Color();
        if (c != bandColor && sinceChange >= run) bandColor = c, sinceChange = 0;
        bands[k] = bandColor;
        ++sinceChange;
        Add(cur, step);
    }
    // Each pixel lies in the band of its distance along the run from the starting corner.
    for (int py = 0; py < height && py < r.Height(); ++py) {
        for (int px = 0; px < w && px < r.Width(); ++px) {
            double ax = fromLeft ? px + 0.5 : w - (px + 0.5);
            double t = (ax * w + (py + 0.5) * height) / len;
            int k = std::clamp(static_cast<int>(t), 0, n - 1);
            r.SetPixel(px, py, bands[k]);
        }
    }
}

void ReplicateStrip(TUiRaster& r, int stripHeight, int stripWidth, int totalHeight, int totalWidth) {
    if (stripWidth <= 0 || stripHeight <= 0) return;
    totalWidth = std::min(totalWidth, r.Width());
    totalHeight = std::min(totalHeight, r.Height());
    // The strip lies at the origin; copies double the covered length each time.
    if (stripWidth < totalWidth && stripHeight >= totalHeight) {
        for (int covered = stripWidth; covered < totalWidth;) {
            int n = std::min(covered, totalWidth - covered);
            for (int y = 0; y < totalHeight; ++y)
                for (int x = 0; x < n; ++x) r.SetPixel(covered + x, y, r.Pixel(x, y));
            covered += n;
        }
    } else if (stripHeight < totalHeight) {
        for (int covered = stripHeight; covered < totalHeight;) {
            int n = std::min(covered, totalHeight - covered);
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < totalWidth; ++x) r.SetPixel(x, covered + y, r.Pixel(x, y));
            covered += n;
        }
    }
}

void MirrorQuarter(TUiRaster& r, int width, int height) {
    for (int y = 0; y < height / 2; ++y)
        for (int x = 0; x <= width / 2; ++x) r.SetPixel(x, height - 1 - y, r.Pixel(x, y));
    for (int x = 0; x < width / 2; ++x)
        for (int y = 0; y < height; ++y) r.SetPixel(width - 1 - x, y, r.Pixel(x, y));
}

TUiRaster GradientRaster(int width, int height, TGradientDirection direction,
                         std::uint8_t minBandWidth, TColor startColor, TColor stopColor) {
    width = std::abs(width), height = std::abs(height);
    if (width == 0 || height == 0) return {};
    TColor start = ColorToRGB(startColor), stop = ColorToRGB(stopColor);
    TUiRaster r(width, height);
    switch (direction) {
    case gdHorizontalEnd:
    case gdVerticalEnd: {
        // The platform's two-colour fill: start colour at the top (left), interpolated per row
        // (column) toward the stop colour.
        bool rows = direction == gdHorizontalEnd;
        int extent = rows ? height : width;
        for (int i = 0; i < extent; ++i) {
            auto mix = [&](int a, int b) { return a + (b - a) * i / extent; };
            TColor c = RGB(mix(GetRValue(start), GetRValue(stop)), mix(GetGValue(start), GetGValue(stop)),
                           mix(GetBValue(start), GetBValue(stop)));
            if (rows)
                r.FillRect(0, i, width, i + 1, c);
            else
                r.FillRect(i, 0, i + 1, height, c);
        }
        break;
    }
    case gdDiagonalUp:
    case gdDiagonalDown:
        if (start == stop)
            r.Fill(start);
        else
            FillDiagonalGradient(r, direction == gdDiagonalUp ? width : -width, height, minBandWidth,
                                 stop, start);
        break;
    case gdHorizontalCenter:
        FillLinearGradient(r, false, height / 2, minBandWidth, stop, start, height);
        ReplicateStrip(r, height, 8, height, width);
        break;
    case gdVerticalCenter:
        FillLinearGradient(r, true, width / 2, minBandWidth, stop, start, width);
        ReplicateStrip(r, 8, width, height, width);
        break;
    case gdHorizontalBox:
        r.Fill(start);
        FillBoxGradient(r, width, height, minBandWidth, stop, start, 0, width / 4);
        MirrorQuarter(r, width, height);
        break;
    case gdVerticalBox:
        FillBoxGradient(r, width, height, minBandWidth, stop, start, height / 4, 0);
        MirrorQuarter(r, width, height);
        break;
    case gdSquareBox:
        r.Fill(start);
        FillBoxGradient(r, width, height, minBandWidth, stop, start, 0, 0);
        MirrorQuarter(r, width, height);
        break;
    case gdBigSquareBox:
        FillBoxGradient(r, width, height, minBandWidth, stop, start, height / 4, width / 4);
        MirrorQuarter(r, width, height);
        break;
    }
    return r;
}
