#include "widgets/UiGroupLayout.h"

#include <algorithm>

int GroupRows(int visible, int columns) {
    if (columns < 1) columns = 1;
    return (columns + visible - 1) / columns;
}

std::vector<TRect> ArrangeGroupItems(const TGroupLayoutInput& in) {
    size_t count = in.Visible.size();
    std::vector<TRect> rects(count);
    int columns = std::clamp(in.Columns, 1, 16);
    int visible = int(std::count(in.Visible.begin(), in.Visible.end(), true));
    if (visible == 0) return rects;
    int rows = GroupRows(visible, columns);
    int evenWidth = (in.GroupWidth - in.StartXPos - 2 * in.BorderWidth - 10) / columns;
    int top0 = in.ClientTop + in.StartYPos;

    // Column widths: the widest caption of each column plus the glyph and a gap.
    std::vector<int> colWidths(size_t(columns), 0);
    if (!in.SpaceEvenly) {
        int k = 0;
        for (size_t i = 0; i < count; ++i) {
            if (!in.Visible[i]) continue;
            int col = k / rows;
            int w = (i < in.CaptionWidths.size() ? in.CaptionWidths[i] : 0) + in.GlyphWidth + 12;
            if (col < columns) colWidths[size_t(col)] = std::max(colWidths[size_t(col)], w);
            ++k;
        }
    }
    int k = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!in.Visible[i]) continue;
        int col = k / rows, row = k % rows;
        int top = top0 + row * (in.ItemHeight + in.VerticalSpacing);
        int left, width;
        if (in.SpaceEvenly) {
            width = evenWidth;
            left = in.RightToLeft
                       ? in.ClientWidth - (col * evenWidth + in.BorderWidth) - evenWidth - in.StartXPos
                       : col * evenWidth + in.BorderWidth + in.StartXPos;
        } else {
            int before = 0;
            for (int c = 0; c < col && c < columns; ++c) before += colWidths[size_t(c)];
            int colWidth = col < columns ? colWidths[size_t(col)] : 0;
            width = colWidth - 4;
            left = in.RightToLeft
                       ? in.ClientWidth - (before + in.BorderWidth) - colWidth + 4 - in.StartXPos
                       : before + in.BorderWidth + in.StartXPos;
        }
        rects[i] = Bounds(left, top, width, in.ItemHeight);
        ++k;
    }
    return rects;
}
