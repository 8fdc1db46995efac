#pragma once
// The classic look of the window system's check box, radio button and 3-state check glyphs
// (what its frame-control drawing paints), in the fixed system colours.
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
