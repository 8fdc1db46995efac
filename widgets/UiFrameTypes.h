#pragma once
// The frame-style vocabulary every framed control of the widget set shares.
#include <cstdint>
#include <initializer_list>

#include "widgets/UiColorNames.h"

enum TSide : std::uint8_t { sdLeft, sdTop, sdRight, sdBottom };

// A set of sides in one byte: bit 0 left, bit 1 top, bit 2 right, bit 3 bottom.
struct TSides {
    std::uint8_t Bits = 0;
    constexpr TSides() = default;
    constexpr explicit TSides(std::uint8_t bits) : Bits(bits & 15) {}
    constexpr TSides(std::initializer_list<TSide> sides) {
        for (TSide s : sides) Bits |= std::uint8_t(1u << s);
    }
    constexpr bool Has(TSide s) const { return (Bits >> s) & 1; }
    constexpr bool Empty() const { return Bits == 0; }
    friend constexpr bool operator==(TSides, TSides) = default;
};
constexpr TSides AllSides{std::uint8_t(15)};

enum TFrameStyleEx : std::uint8_t {
    fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus,
    fsPopup, fsFlatBold, fsFlatRounded
};
// The styles 0..10; fsFlatRounded belongs to borders and panels only.
using TFrameStyle = TFrameStyleEx;

enum TFramingPreference : std::uint8_t { fpCustomFraming, fpXPThemes };
enum TUiVisualStyle : std::uint8_t { vsClassic, vsWinXP, vsGradient };

struct TFrameColors {
    TColor UpperLeft, LowerRight;
};
// Upper-left and lower-right colour of each frame style fsNone..fsFlatBold.
extern const TFrameColors FrameStyleColors[11];

struct TEdgeColors {
    TColor OuterUL, OuterLR, InnerUL, InnerLR;
};
// Index 0 raised, 1 sunken.
extern const TEdgeColors Ctl3DColors[2];
// Index 0 up, 1 down.
extern const TEdgeColors BtnColors[2];

// The lines a frame style takes from each of its sides (fsStatus and fsPopup take the bevel width).
int FrameStyleWidth(TFrameStyleEx style, int bevelWidth);

// The style's name as streamed ("fsFlat"); false for an unknown name.
bool FrameStyleFromName(const char* name, TFrameStyle& style);
