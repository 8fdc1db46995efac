#pragma once
// Small glyphs: scroll arrows and the close cross of the tab strip, the two-pixel gradient
// ring of hot controls, and the flat check-box and radio-button glyphs.
#include <cstdint>

#include "platform/ui/Graphics.h"
#include "widgets/UiGradient.h"

// style 0 classic, 1 themed combo-box colour, 2 themed spin colour; direction 0 up, 1 down,
// 2 left, 3 right.
void DrawScrollArrow(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled, TColor ArrowColor,
                     int Direction);
void DrawCloseCross(TCanvas* Canvas, const TRect& Rect, TColor Color, bool Enabled, bool Themed);
// A two-pixel ring inside the rectangle, only on a high-colour display.
void DrawGradientRing(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                      TColor StartColor, TColor StopColor);

enum TUiButtonHotTrackStyle : std::uint8_t { htsInterior, htsFrame };
// Visual states of a glyph.
constexpr int gvsNormal = 0, gvsDown = 1, gvsHot = 2, gvsDisabled = 3;

// The glyph button's colours and flags the flat glyphs are drawn with.
struct TUiGlyphColors {
    TUiButtonHotTrackStyle HotTrackStyle = htsInterior;
    TColor FrameColor = clBtnShadow;
    TColor HighlightColor = clHighlight;
    TColor FillColor = clWindow;
    TColor FocusColor = clWindow;
    TColor DisabledColor = clBtnFace;
    TColor HotStopColor = clNone;
    TColor HotStartColor = clNone;
    bool ReadOnly = false;
    bool ReadOnlyColorOnFocus = false;
    TColor ReadOnlyColor = clInfoBk;
};

// The fill a glyph takes in a visual state.
TColor GlyphFillColor(const TUiGlyphColors& c, int visualState, bool focused);

void DrawCheckBoxGlyph(TCanvas* Canvas, const TRect& Rect, TCheckBoxState State, int VisualState,
                       bool Focused, const TUiGlyphColors& Colors);
// Color is the control's colour, shown outside the circle (grey 0x808080 when Transparent).
void DrawRadioGlyph(TCanvas* Canvas, const TRect& Rect, bool Checked, int VisualState, bool Focused,
                    const TUiGlyphColors& Colors, TColor Color, bool Transparent);
