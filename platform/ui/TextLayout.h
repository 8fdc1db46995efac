#pragma once
// Where DrawText puts its lines: accelerator marks, tabs, line breaks, word wrap, ellipsis and
// alignment, given only a width measure. No drawing here, so tests reach it directly.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

namespace ui::text {

using Measure = std::function<int(const std::string&)>;

struct TLine {
    std::string text;
    int x = 0, y = 0;    // top-left of the line's cell
    int width = 0;
    int underline = -1;  // byte offset of the accelerator character, -1 none
};

struct TLayout {
    std::vector<TLine> lines;
    int height = 0;  // DrawText's result: from the rectangle's top to the last line's bottom
    TRect calcRect;  // the rectangle DT_CALCRECT gives back
};

TLayout LayOut(const std::string& text, const TRect& rect, unsigned flags, int lineHeight, int aveCharWidth,
               const Measure& measure);

// "&&" becomes "&", a lone "&" is dropped and the next character's offset is reported.
std::string StripAccelerators(const std::string& text, int* underline = nullptr);

}  // namespace ui::text
