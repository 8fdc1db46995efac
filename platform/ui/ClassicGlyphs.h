#pragma once
// The classic look of the window system's check box, radio button and 3-state check glyphs
// and of its scroll bars' parts (what its frame-control drawing paints), in the fixed system
// colours.
#include "platform/ui/Graphics.h"

struct TClassicGlyphState {
    bool Checked = false;
    bool Mixed = false;     // a three-state check box in its third state
    bool Pushed = false;    // the mouse or space bar holds it down
    bool Inactive = false;  // disabled
};

// A 13 x 13 check box with its sunken frame, at the rectangle's top-left corner.
void DrawClassicCheckBox(TCanvas& canvas, const TRect& rect, const TClassicGlyphState& state);
// A 12 x 12 radio button; with transparent set, pixels outside the circle are left alone.
void DrawClassicRadio(TCanvas& canvas, const TRect& rect, const TClassicGlyphState& state,
                      bool transparent = true);

// A one-pixel frame: ul along the left and top, lr along the right and bottom.
void DrawClassicEdge(TCanvas& canvas, const TRect& rect, TColor ul, TColor lr);
// A scroll bar's button or thumb: a raised face; a held-down button is flat.
void DrawClassicScrollBox(TCanvas& canvas, const TRect& rect, bool pushed = false);
// The arrow of a scroll bar's button, centred (moved one pixel on a held-down button):
// direction 0 up, 1 down, 2 left, 3 right; grey when the bar cannot scroll that way.
void DrawClassicScrollArrow(TCanvas& canvas, const TRect& rect, int direction, bool enabled, bool pushed = false);
