#pragma once
// A decoded picture with no tie to the user interface: rows of 32-bit ARGB pixels
// (0xAARRGGBB, straight alpha), top row first.
#include <cstdint>
#include <vector>

#include "platform/rtl/SysUtils.h"

// The class library's error for a picture file that cannot be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // Width * Height

    bool Empty() const { return Width == 0 || Height == 0; }
    std::uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    // R, G, B, A bytes per pixel, row after row.
    std::vector<std::uint8_t> ToRGBA() const;
};

// The largest picture the decoders accept, so that a forged header cannot exhaust memory.
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::int64_t kMaxImagePixels = 16 * 1024 * 1024;

inline std::uint32_t MakeArgb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
