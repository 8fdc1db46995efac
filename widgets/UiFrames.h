#pragma once
// The frame painters: one-pixel sides, bevels, 3-D and button edges, the frame styles in
// system colours or in shades of one colour, rounded frames, dotted rectangles and the
// outer/inner border pair of a framed control. Each returns the rectangle left inside.
#include "platform/ui/Graphics.h"
#include "widgets/UiColors.h"
#include "widgets/UiFrameTypes.h"

TRect DrawSides(TCanvas* Canvas, const TRect& Bounds, TColor ULColor, TColor LRColor,
                TSides Sides = AllSides);
TRect DrawBevel(TCanvas* Canvas, const TRect& Bounds, TColor ULColor, TColor LRColor, int Width,
                TSides Sides = AllSides);
TRect DrawCtl3DBorder(TCanvas* Canvas, const TRect& Bounds, bool Lowered, TSides Sides = AllSides);
TRect DrawButtonBorder(TCanvas* Canvas, const TRect& Bounds, bool Down, TSides Sides = AllSides);
TRect DrawColorButtonBorder(TCanvas* Canvas, const TRect& Bounds, TColor ButtonColor, TSides Sides,
                            bool Down);
TRect DrawColorButtonBorder(TCanvas* Canvas, const TRect& Bounds, TColor ButtonColor, bool Down);
TRect DrawBorder(TCanvas* Canvas, const TRect& Bounds, TFrameStyle Style, TSides Sides = AllSides);
TRect DrawColorBorder(TCanvas* Canvas, const TRect& Bounds, TColor Color, TSides Sides,
                      TFrameStyle Style);
TRect DrawColorBorder(TCanvas* Canvas, const TRect& Bounds, TColor Color, TFrameStyle Style);
TRect DrawBox(TCanvas* Canvas, const TRect& Bounds, TColor LineColor);
TRect DrawDottedRect(TCanvas* Canvas, const TRect& Bounds);
TRect DrawRoundedFrame(TCanvas* Canvas, const TRect& Bounds, TColor Color, TSides Sides = AllSides);

// The border settings a framed control (border, panel, progress bar) paints with.
struct TUiBorderSettings {
    TFrameStyleEx BorderOuter = fsNone;
    TFrameStyleEx BorderInner = fsNone;
    int BorderWidth = 0;
    TSides BorderSides = AllSides;
    int BevelWidth = 1;
    TColor BorderColor = clBtnFace;
    TColor BorderHighlight = clBtnHighlight;
    TColor BorderShadow = clBtnShadow;
    TColor FlatColor = clBtnShadow;
    int FlatColorAdjustment = 30;
};

// Outer style, border band and inner style, from the outside in; returns the client area.
TRect DrawInnerOuterBorders(TCanvas* Canvas, const TRect& Bounds, const TUiBorderSettings& Border,
                            TColor FillColor, TColor ParentBackColor, bool Transparent,
                            bool InnerFlatLines = false);

// The area inside the borders: BorderWidth on every side, then each style on the sides listed;
// (0, 0, 0, 0) when the frames do not fit.
TRect BorderClientRect(const TRect& Bounds, const TUiBorderSettings& Border);
