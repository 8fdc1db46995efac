// The pictures of the built-in lamp kinds, drawn here in place of the program's resources:
// a round lamp 16 pixels across with a dark rim and a highlight, on the lamp's colour when
// lit and a dark shade of it when not; the bulb is a yellow glass on a grey base.
#include <array>

#include "serial/ctl/SerialLed.h"

namespace {

constexpr int kSize = 16;
// The corner pixel (bottom left) is the transparent colour the picture is drawn with.
constexpr TColor kTransparent = clOlive;

struct TLampColours {
    const char* name;
    TColor on;
    TColor off;
};
constexpr std::array<TLampColours, 6> kLamps{{
    {"RED", RGB(255, 0, 0), RGB(96, 0, 0)},
    {"GREEN", RGB(0, 255, 0), RGB(0, 96, 0)},
    {"BLUE", RGB(0, 64, 255), RGB(0, 0, 96)},
    {"YELLOW", RGB(255, 255, 0), RGB(96, 96, 0)},
    {"PURPLE", RGB(255, 0, 255), RGB(96, 0, 96)},
    {"BULB", RGB(255, 255, 128), RGB(160, 160, 160)},
}};

void DrawLamp(TBitmap& out, TColor face, bool bulb, bool on) {
    out.SetSize(kSize, kSize);
    TCanvas& c = *out.GetCanvas();
    c.GetBrush()->SetColor(kTransparent);
    c.FillRect(TRect(0, 0, kSize, kSize));
    c.GetPen()->SetColor(RGB(64, 64, 64));
    c.GetBrush()->SetColor(face);
    if (bulb) {
        c.Ellipse(3, 0, 13, 11);
        c.GetBrush()->SetColor(RGB(128, 128, 128));
        c.Rectangle(5, 11, 11, 16);
    } else {
        c.Ellipse(1, 1, 15, 15);
    }
    // The highlight shows the glass; a lit lamp's is white.
    c.GetBrush()->SetColor(on ? clWhite : RGB(192, 192, 192));
    c.GetPen()->SetColor(on ? clWhite : RGB(192, 192, 192));
    c.Ellipse(bulb ? 6 : 4, bulb ? 2 : 4, bulb ? 8 : 7, bulb ? 4 : 7);
    out.SetTransparent(true);
    out.SetTransparentMode(tmFixed);
    out.SetTransparentColor(kTransparent);
    out.Changed();
}

}  // namespace

std::string LedResourceName(TLedKind kind, bool on) {
    if (kind < lkRedLight || kind > lkBulb) return "";
    return std::string("LED") + kLamps[size_t(kind)].name + (on ? "ON" : "OFF");
}

bool LoadLedResource(const std::string& name, TBitmap& out) {
    for (size_t i = 0; i < kLamps.size(); ++i) {
        const TLedKind kind = TLedKind(i);
        for (bool on : {true, false}) {
            if (name != LedResourceName(kind, on)) continue;
            DrawLamp(out, on ? kLamps[i].on : kLamps[i].off, kind == lkBulb, on);
            return true;
        }
    }
    return false;
}
