#pragma once
// Colour arithmetic of the widget set: hue, saturation and luminance on a 0..240 scale, and
// the darker, lighter, blend and contrast rules every styled control shades its frames with.
#include <cstdint>

#include "widgets/UiColorNames.h"

struct TUiHSL {
    std::uint8_t H = 0, S = 0, L = 0;
};

void ColorToHSL(TColor color, std::uint8_t& H, std::uint8_t& S, std::uint8_t& L);
TUiHSL ColorToHSL(TColor color);
std::uint8_t ColorHue(TColor color);
// L may reach 255; channels above full intensity are clipped.
TColor HSLtoColor(std::uint8_t H, std::uint8_t S, std::uint8_t L);

TColor DarkerColor(TColor color, std::uint8_t amount);
TColor LighterColor(TColor color, std::uint8_t amount);
// Negative darkens, positive lightens, 0 returns the colour as given (not resolved).
TColor AdjustColor(TColor color, int adjustment);
// Weight 255 gives the fore colour, 0 the back colour.
TColor BlendColors(TColor foreColor, TColor backColor, std::uint8_t weight);
TColor XorColors(TColor color1, TColor color2);
bool ColorsTooClose(TColor color1, TColor color2);
TColor ComplementaryColor(TColor color, std::uint8_t luminance);

// Screens here always have more than 256 colours.
bool RunningAtHighColor();

// Desktop colour scheme of the themed look: 0 normal (blue), 1 olive, 2 silver.
std::uint8_t GetXPColorScheme();
void GetXPGradientColors(bool themeAware, TColor& startColor, TColor& stopColor);
TColor GetXPFrameColor(bool themeAware);
void GetXPButtonColors(bool themeAware, TColor& startColor, TColor& stopColor, TColor& frameColor);
TColor GetXPThemeColor(int index);

// Set once at start-up; gradients on buttons and glyphs are painted only at high colour.
extern bool HighColorDisplay;
extern std::uint8_t UiXPColorScheme;
