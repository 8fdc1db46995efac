#pragma once
// Where a radio or check group puts its items: columns filled top to bottom, hidden items
// taking no place.
#include <vector>

#include "platform/rtl/Types.h"

struct TGroupLayoutInput {
    std::vector<bool> Visible;       // per item
    std::vector<int> CaptionWidths;  // per item, measured in the item font
    int Columns = 1;
    bool SpaceEvenly = false;
    int GroupWidth = 0;
    int ClientWidth = 0;
    int ClientTop = 0;  // top of the client area after the frame and caption
    int StartXPos = 8, StartYPos = 2;
    int BorderWidth = 0;
    int ItemHeight = 17, VerticalSpacing = 3;
    int GlyphWidth = 13;
    bool RightToLeft = false;
};

// Bounds for each item; hidden items get an empty rectangle (they keep their own).
std::vector<TRect> ArrangeGroupItems(const TGroupLayoutInput& in);
// Rows for `visible` items in `columns` columns.
int GroupRows(int visible, int columns);
