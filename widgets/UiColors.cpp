#include "widgets/UiColors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/ui/ThemeServices.h"

bool HighColorDisplay = RunningAtHighColor();
std::uint8_t UiXPColorScheme = GetXPColorScheme();

namespace {

// Round half to even, the rounding of the original arithmetic.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(RoundEven(v), 0, 255)); }

struct TSchemeColors {
    TColor GradientStart, GradientStop, Frame;
};
constexpr TSchemeColors kSchemes[3] = {
    {0x00FFEFE3, 0x00EABB99, 0x00BF7F57},
    {0x00EDFFFF, 0x0092C7B8, 0x0077A17F},
    {0x00FFF9F9, 0x00D0BCBD, 0x00B19F9F},
};

bool Themed(bool themeAware) { return themeAware && ThemeServices()->ThemesEnabled(); }

}  // namespace

void ColorToHSL(TColor color, std::uint8_t& H, std::uint8_t& S, std::uint8_t& L) {
    TColor c = ColorToRGB(color);
    double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double l = (mx + mn) / 2, h = 0, s = 0;
    if (mx != mn) {
        double delta = mx - mn;
        s = l < 0.5 ? delta / (mx + mn) : delta / (2 - mx - mn);
        if (r == mx)
            h = (g - b) / delta;
        else if (g == mx)
            h = 2 + (b - r) / delta;
        else
            h = 4 + (r - g) / delta;
        h /= 6;
        if (h < 0) h += 1;
    }
    H = ToByte(h * 240);
    S = ToByte(s * 240);
    L = ToByte(l * 240);
}

TUiHSL ColorToHSL(TColor color) {
    TUiHSL hsl;
    ColorToHSL(color, hsl.H, hsl.S, hsl.L);
    return hsl;
}

std::uint8_t ColorHue(TColor color) { return ColorToHSL(color).H; }

TColor HSLtoColor(std::uint8_t H, std::uint8_t S, std::uint8_t L) {
    // The hue is scaled by 239 so that 239 is a full turn, as the original does.
    double h = H / 239.0, s = S / 240.0, l = L / 240.0;
    double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
    if (m2 <= 0) return 0;
    double m1 = 2 * l - m2;
    double sv = (m2 - m1) / m2;
    int sextant = static_cast<int>(h * 6);
    double f = h * 6 - sextant;
    double t = m1 + m2 * sv * f;
    double q = m2 - m2 * sv * f;
    double r, g, b;
    switch (sextant) {
    case 1: r = q, g = m2, b = m1; break;
    case 2: r = m1, g = m2, b = t; break;
    case 3: r = m1, g = q, b = m2; break;
    case 4: r = t, g = m1, b = m2; break;
    case 5: r = m2, g = m1, b = q; break;
    default: r = m2, g = t, b = m1; break;
    }
    auto channel = [](double x) { return int(ToByte(std::min(x, 1.0) * 255)); };
    return RGB(channel(r), channel(g), channel(b));
}

TColor DarkerColor(TColor color, std::uint8_t amount) {
    TUiHSL hsl = ColorToHSL(color);
    return HSLtoColor(hsl.H, hsl.S, std::uint8_t(std::max(int(hsl.L) - amount, 0)));
}

TColor LighterColor(TColor color, std::uint8_t amount) {
    TUiHSL hsl = ColorToHSL(color);
    return HSLtoColor(hsl.H, hsl.S, std::uint8_t(std::min(int(hsl.L) + amount, 255)));
}

TColor AdjustColor(TColor color, int adjustment) {
    if (adjustment < 0) return DarkerColor(color, std::uint8_t(-adjustment));
    if (adjustment > 0) return LighterColor(color, std::uint8_t(adjustment));
    return color;
}

TColor BlendColors(TColor foreColor, TColor backColor, std::uint8_t weight) {
    TColor f = ColorToRGB(foreColor), b = ColorToRGB(backColor);
    double w = weight / 255.0;
    auto mix = [w](int fc, int bc) { return int(ToByte(fc * w + (1 - w) * bc)); };
    return RGB(mix(GetRValue(f), GetRValue(b)), mix(GetGValue(f), GetGValue(b)),
               mix(GetBValue(f), GetBValue(b)));
}

TColor XorColors(TColor color1, TColor color2) {
    TColor a = ColorToRGB(color1), b = ColorToRGB(color2);
    return RGB(GetRValue(a) ^ GetRValue(b), GetGValue(a) ^ GetGValue(b), GetBValue(a) ^ GetBValue(b));
}

bool ColorsTooClose(TColor color1, TColor color2) {
    TUiHSL a = ColorToHSL(color1), b = ColorToHSL(color2);
    return std::abs(int(a.H) - int(b.H)) < 20 && std::abs(int(a.L) - int(b.L)) < 60;
}

TColor ComplementaryColor(TColor color, std::uint8_t luminance) {
    int h = ColorHue(color);
    h = h < 120 ? h + 120 : h - 120;
    return HSLtoColor(std::uint8_t(h), 240, luminance);
}

bool RunningAtHighColor() { return true; }

std::uint8_t GetXPColorScheme() {
    // No desktop here names the classic theme manager's colour schemes: the normal one.
    return 0;
}

void GetXPGradientColors(bool themeAware, TColor& startColor, TColor& stopColor) {
    if (Themed(themeAware) && UiXPColorScheme < 3) {
        startColor = kSchemes[UiXPColorScheme].GradientStart;
        stopColor = kSchemes[UiXPColorScheme].GradientStop;
    } else {
        startColor = clWindow;
        stopColor = DarkerColor(clBtnFace, 10);
    }
}

TColor GetXPFrameColor(bool themeAware) {
    if (Themed(themeAware)) return UiXPColorScheme < 3 ? kSchemes[UiXPColorScheme].Frame : clBtnShadow;
    return LighterColor(clBtnShadow, 30);
}

void GetXPButtonColors(bool themeAware, TColor& startColor, TColor& stopColor, TColor& frameColor) {
    if (Themed(themeAware) && UiXPColorScheme < 3) {
        startColor = kSchemes[UiXPColorScheme].GradientStop;
        stopColor = kSchemes[UiXPColorScheme].GradientStart;
        frameColor = startColor;
    } else {
        startColor = DarkerColor(clBtnFace, 20);
        stopColor = clWindow;
        frameColor = DarkerColor(clBtnFace, 40);
    }
}

TColor GetXPThemeColor(int index) {
    TThemeServices* themes = ThemeServices();
    if (!themes->ThemesEnabled()) return clBtnFace;
    struct TQuery {
        TThemeClass Class;
        int Part, State, Property;
    };
    static constexpr TQuery kQueries[8] = {
        {TThemeClass::Edit, 0, 0, TMT_BORDERCOLOR},
        {TThemeClass::ExplorerBar, 5, 1, TMT_TEXTCOLOR},
        {TThemeClass::ExplorerBar, 9, 1, TMT_TEXTCOLOR},
        {TThemeClass::ExplorerBar, 5, 1, TMT_FILLCOLOR},
        {TThemeClass::ExplorerBar, 0, 0, TMT_GRADIENTCOLOR1},
        {TThemeClass::ExplorerBar, 12, 1, TMT_FILLCOLOR},
        {TThemeClass::Button, 4, 1, TMT_TEXTCOLOR},
        {TThemeClass::Spin, 0, 0, TMT_BORDERCOLOR},
    };
    if (index < 0 || index >= 8) return clWhite;
    const TQuery& q = kQueries[index];
    TColor result;
    if (!themes->GetThemeColor({q.Class, q.Part, q.State}, q.Property, result)) return clBtnFace;
    return result;
}
