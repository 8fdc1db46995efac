#pragma once
// Text routines of the widget set: drawing with the window system's flags, the accelerator
// stripper, font figures, rotated font descriptions, frame redraws and transparency.
#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"

// Draws (or with DT_CALCRECT measures into Rect) the whole text; returns its height.
int DrawString(TCanvas* Canvas, const std::string& Text, TRect& Rect, unsigned Flags);

// The caption without accelerator marks: "&&" gives one "&", a lone "&" is dropped, the last
// character is always kept.
std::string RemoveAccelerators(const std::string& Caption);

// The character a caption's accelerator mark picks (upper-cased ASCII), or 0.
char CaptionAccelerator(const std::string& Caption);

bool IsTrueTypeFont(const TFont& Font);
// The font's line height: its GDI text height + 2.
int GetFontLineHeight(const TFont& Font);

// A font description turned by Angle degrees (escapement in tenths of a degree).
struct TLogFont {
    int Height = 0, Width = 0, Escapement = 0, Orientation = 0, Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    int CharSet = DEFAULT_CHARSET;
    int PitchAndFamily = 0;  // 0 default, 1 fixed, 2 variable
    std::string FaceName;
};
TLogFont CreateRotatedFont(const TFont& Font, int Angle);

// Asks the control to redraw its frame over the rectangle.
void RedrawFrame(TWinControl* Control, const TRect& Rect);

// Controls that publish a "Transparent" property.
class IUiTransparent {
public:
    virtual ~IUiTransparent() = default;
    virtual bool GetTransparent() const = 0;
};
// Invalidates every child whose Transparent is true.
void PropagateTransparent(TWinControl* Control);
// There is no form designer here: nothing to tell.
inline void NotifyDesignerModified(TControl*) {}
