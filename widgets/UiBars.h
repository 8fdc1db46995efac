#pragma once
// Progress-bar interiors: LED segments, a plain bar and a gradient bar, the last two with a
// centred text that changes colour where the bar ends.
#include <cstdint>
#include <string>

#include "platform/ui/Graphics.h"
#include "widgets/UiGradient.h"

enum TOrientation : std::uint8_t { orHorizontal, orVertical };

void DrawSegmentBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation, bool Flat,
                    bool ThemeAware, int Percent, int NumSegments, TColor BackColor, TColor BarColor);

// The text a percent bar shows: "done / total", "n%" or nothing.
std::string PercentBarText(std::uint32_t TotalParts, std::uint32_t PartsComplete, bool ShowParts,
                           bool ShowPercent, int Percent);
// The filled part of the bar.
TRect PercentBarFilled(const TRect& Rect, TOrientation Orientation, int Percent);

void DrawPercentBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                    std::uint32_t TotalParts, std::uint32_t PartsComplete, bool ShowParts,
                    bool Transparent, bool ShowPercent, int Percent, TColor BackColor, TColor BarColor);
void DrawGradientPercentBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                            std::uint32_t TotalParts, std::uint32_t PartsComplete, bool ShowParts,
                            bool Transparent, bool ShowPercent, int Percent, TColor BackColor,
                            TColor BarColor, TGradientDirection GradientDirection,
                            TColor BackColorStop, TColor BarColorStop);
