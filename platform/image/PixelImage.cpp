#include "platform/image/PixelImage.h"

std::vector<std::uint8_t> TPixelImage::ToRGBA() const {
    std::vector<std::uint8_t> out;
    out.reserve(Pixels.size() * 4);
    for (std::uint32_t p : Pixels) {
        out.push_back(static_cast<std::uint8_t>(p >> 16));
        out.push_back(static_cast<std::uint8_t>(p >> 8));
        out.push_back(static_cast<std::uint8_t>(p));
        out.push_back(static_cast<std::uint8_t>(p >> 24));
    }
    return out;
}
