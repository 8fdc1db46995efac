#include "widgets/UiColorNames.h"

namespace {
// The classic Windows 10 defaults, one entry per system colour index (0x00BBGGRR).
constexpr TColor kSysColors[31] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xD77800, 0xF0F0F0};
}  // namespace

TColor ColorToRGB(TColor color) {
    auto u = static_cast<unsigned>(color);
    if ((u & 0xFF000000u) == 0xFF000000u) {
        unsigned index = u & 0xFFu;
        return index < 31 ? kSysColors[index] : 0;
    }
    return color;
}
