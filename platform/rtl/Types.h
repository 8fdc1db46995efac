#pragma once
// Geometry and colour types shaped like the form library's.
#include <cstdint>

struct TPoint {
    int x = 0, y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int ax, int ay) : x(ax), y(ay) {}
    friend constexpr bool operator==(TPoint, TPoint) = default;
};

// Right and bottom are exclusive, as in the window system.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.x >= Left && p.x < Right && p.y >= Top && p.y < Bottom;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }
constexpr TRect Bounds(int l, int t, int w, int h) { return TRect(l, t, l + w, t + h); }
constexpr TPoint Point(int x, int y) { return TPoint(x, y); }

struct TSize {
    int cx = 0, cy = 0;
    friend constexpr bool operator==(TSize, TSize) = default;
};

// 0x00BBGGRR literal, 0xFF0000nn system colour nn, clNone draws nothing.
using TColor = std::int32_t;
