#include "widgets/UiBarLayout.h"

#include <algorithm>
#include <cmath>

TRect MeterBarRect(const TRect& c, TDirection direction, int k, int n) {
    TRect bar = c;
    if (n <= 0) return bar;
    long long kk = std::max(k, 0);
    int w = c.Width(), h = c.Height();
    switch (direction) {
    case dirUp: bar.Top = std::max(c.Top, c.Bottom - int(kk * h / n)); break;
    case dirDown: bar.Bottom = std::min(c.Bottom, c.Top + int(kk * h / n)); break;
    case dirLeft: bar.Left = std::max(c.Left, c.Right - int(kk * w / n)); break;
    case dirRight: bar.Right = std::min(c.Right, c.Left + int(kk * w / n)); break;
    }
    return bar;
}

int MeterLitSegments(int count, int k, int n) {
    if (n <= 0 || k <= 0) return 0;
    return int((long long)count * k / n);
}

int MeterSegmentSize(int length, int count, int spacing) {
    if (count <= 0) return 0;
    return (length - (count - 2) * spacing) / count;
}

TSegmentBarLayout SegmentBarLayout(int length, int segments) {
    TSegmentBarLayout l;
    int n = std::clamp(segments, 1, 100);
    if (length <= 0) return l;
    int s = length / n;
    if (length <= 80 && n >= 11) {
        n = 10;
        s = length / 10;
    }
    if (s <= 0) return l;  // shorter than the segment count: nothing fits
    int extra = (length - n * s) / s;
    if (extra >= 1) n += extra;
    l.Count = n;
    l.Size = s;
    l.Margin = (length - n * s) / 2;
    return l;
}

int SegmentBarLit(int percent, int count) {
    if (percent <= 0) return 0;
    return std::min(int((long long)percent * count / 100), count);
}

int PercentBarFill(int length, int percent) {
    if (percent >= 100) return length;
    if (percent <= 0) return 0;
    return static_cast<int>(std::nearbyint(double(length) * percent / 100.0));
}

int PartsPercent(std::uint32_t parts, std::uint32_t total) {
    return static_cast<int>(std::nearbyint(double(parts) / double(total) * 100.0));
}
