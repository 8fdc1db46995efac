#pragma once
// Internal: colour and raster-operation arithmetic on 32-bit 0xAARRGGBB pixels.
#include <cstdint>

#include "platform/ui/Graphics.h"

namespace ui::px {

inline std::uint32_t FromColor(TColor c) {
    TColor v = ColorToRGB(c);
    return 0xFF000000u | (std::uint32_t(GetRValue(v)) << 16) | (std::uint32_t(GetGValue(v)) << 8) |
           std::uint32_t(GetBValue(v));
}
inline TColor ToColor(std::uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// x's four channels times a / 255, rounded as the raster engine does.
inline std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t t = (x & 0xFF00FFu) * a;
    t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    x = ((x >> 8) & 0xFF00FFu) * a;
    x = (x + ((x >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return x | t;
}

// A premultiplied source pixel over an opaque destination, as the raster engine blends it.
inline std::uint32_t SourceOver(std::uint32_t s, std::uint32_t d) {
    if (s >= 0xFF000000u) return s;
    if (s == 0) return d;
    return s + ByteMul(d, 255 - (s >> 24));
}

// The pen's binary raster operation; P pen, D destination (RGB bits only matter).
inline std::uint32_t Rop2(TPenMode mode, std::uint32_t P, std::uint32_t D) {
    std::uint32_t r;
    switch (mode) {
        case pmBlack: r = 0; break;
        case pmWhite: r = 0xFFFFFF; break;
        case pmNop: r = D; break;
        case pmNot: r = ~D; break;
        case pmCopy: r = P; break;
        case pmNotCopy: r = ~P; break;
        case pmMergePenNot: r = P | ~D; break;
        case pmMaskPenNot: r = P & ~D; break;
        case pmMergeNotPen: r = ~P | D; break;
        case pmMaskNotPen: r = ~P & D; break;
        case pmMerge: r = P | D; break;
        case pmNotMerge: r = ~(P | D); break;
        case pmMask: r = P & D; break;
        case pmNotMask: r = ~(P & D); break;
        case pmXor: r = P ^ D; break;
        case pmNotXor: r = ~(P ^ D); break;
        default: r = P; break;
    }
    return 0xFF000000u | (r & 0xFFFFFF);
}

// A ternary raster operation (its code's high byte is the truth table over P, S, D).
inline std::uint32_t Rop3(std::uint32_t rop, std::uint32_t P, std::uint32_t S, std::uint32_t D) {
    switch (rop) {
        case cmSrcCopy: return 0xFF000000u | S;
        case cmSrcInvert: return 0xFF000000u | (S ^ D);
        case cmSrcAnd: return 0xFF000000u | (S & D);
        case cmSrcPaint: return 0xFF000000u | (S | D);
        case cmNotSrcCopy: return 0xFF000000u | ~S;
        case cmDstInvert: return 0xFF000000u | ~D;
        case cmBlackness: return 0xFF000000u;
        case cmWhiteness: return 0xFFFFFFFFu;
        case cmPatCopy: return 0xFF000000u | P;
        case cmPatInvert: return 0xFF000000u | (P ^ D);
        case cmSrcErase: return 0xFF000000u | (S & ~D);
        case cmNotSrcErase: return 0xFF000000u | ~(S | D);
        case cmMergePaint: return 0xFF000000u | (~S | D);
        case cmMergeCopy: return 0xFF000000u | (P & S);
        default: break;
    }
    unsigned table = (rop >> 16) & 0xFF;
    std::uint32_t out = 0;
    // Bitwise evaluation: for each bit, index = P<<2 | S<<1 | D.
    for (int bit = 0; bit < 24; ++bit) {
        unsigned idx = (((P >> bit) & 1) << 2) | (((S >> bit) & 1) << 1) | ((D >> bit) & 1);
        out |= std::uint32_t((table >> idx) & 1) << bit;
    }
    return 0xFF000000u | out;
}

}  // namespace ui::px
