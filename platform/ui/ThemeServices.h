#pragma once
// Visual-theme services. The tool draws the classic look (themes off), so every machine shows
// the same pixels; the themed paths stay reachable through a replacement service in tests.
#include <string>

#include "platform/rtl/Types.h"

class TCanvas;

// Theme classes, with the part and state numbers of the classic theme API.
enum class TThemeClass { Button, Edit, ExplorerBar, Spin, ComboBox, Progress, Status, Tab, Window };

// Button parts and states.
constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3, BP_GROUPBOX = 4;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int RBS_UNCHECKEDNORMAL = 1, RBS_CHECKEDNORMAL = 5;   // + 0 normal, 1 hot, 2 pressed, 3 disabled
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_CHECKEDNORMAL = 5, CBS_MIXEDNORMAL = 9;
constexpr int GBS_NORMAL = 1, GBS_DISABLED = 2;
// Progress bar and status bar parts.
constexpr int PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4;
constexpr int SP_PANE = 1, SP_GRIPPERPANE = 2, SP_GRIPPER = 3;
// Combo box and spin parts used for arrow colours.
constexpr int CP_DROPDOWNBUTTON = 1, SPNP_UP = 1;
// Colour properties.
constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803,
              TMT_GRADIENTCOLOR1 = 3810;

struct TThemedDetails {
    TThemeClass Class = TThemeClass::Button;
    int Part = 0;
    int State = 0;
};

class TThemeServices {
public:
    virtual ~TThemeServices() = default;
    virtual bool ThemesEnabled() const { return false; }
    // False when the theme has no such colour.
    virtual bool GetThemeColor(const TThemedDetails&, int /*property*/, TColor& /*color*/) const {
        return false;
    }
    virtual void DrawElement(TCanvas&, const TThemedDetails&, const TRect&) {}
    // Text in the theme's font and colour for that element.
    virtual void DrawText(TCanvas&, const TThemedDetails&, const std::string&, const TRect&,
                          unsigned /*flags*/) {}
    // The background a transparent themed element shows, painted by its parent.
    virtual void DrawParentBackground(TCanvas&, const TRect&) {}
};

// The current service: themes off unless a test installs another.
TThemeServices* ThemeServices();
// Installs a replacement (not owned); nullptr returns to the built-in one.
void SetThemeServices(TThemeServices* services);
