// Item placement of the radio and check groups.
#include <gtest/gtest.h>

#include "widgets/UiGroupLayout.h"

namespace {
TGroupLayoutInput Items(int n, int captionWidth) {
    TGroupLayoutInput in;
    in.Visible.assign(size_t(n), true);
    in.CaptionWidths.assign(size_t(n), captionWidth);
    in.GroupWidth = in.ClientWidth = 300;
    in.ClientTop = 14;
    return in;
}
}  // namespace

TEST(UiGroupLayout, OneColumnStacksRowsTwentyApart) {
    auto rects = ArrangeGroupItems(Items(7, 30));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(rects[size_t(i)].Top, 16 + 20 * i);
        EXPECT_EQ(rects[size_t(i)].Left, 8);
        EXPECT_EQ(rects[size_t(i)].Height(), 17);
        EXPECT_EQ(rects[size_t(i)].Width(), 30 + 13 + 12 - 4);
    }
}

TEST(UiGroupLayout, SevenColumnsOnOneRow) {
    TGroupLayoutInput in = Items(7, 20);
    in.Columns = 7;
    auto rects = ArrangeGroupItems(in);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(rects[size_t(i)].Top, 16);
        EXPECT_EQ(rects[size_t(i)].Left, 8 + i * 45);  // 20 + 13 + 12 per column
    }
}

TEST(UiGroupLayout, ColumnsFillTopToBottomAndHiddenItemsCloseUp) {
    TGroupLayoutInput in = Items(4, 20);
    in.Columns = 2;
    in.Visible[1] = false;  // three visible: rows 2
    in.CaptionWidths[3] = 50;
    auto rects = ArrangeGroupItems(in);
    EXPECT_EQ(rects[0], Bounds(8, 16, 41, 17));
    EXPECT_TRUE(rects[1].IsEmpty());
    EXPECT_EQ(rects[2], Bounds(8, 36, 41, 17));
    EXPECT_EQ(rects[3], Bounds(8 + 45, 16, 71, 17));
}

TEST(UiGroupLayout, SpaceEvenly) {
    TGroupLayoutInput in = Items(3, 20);
    in.Columns = 3;
    in.SpaceEvenly = true;
    in.GroupWidth = 200;
    auto rects = ArrangeGroupItems(in);
    int w = (200 - 8 - 0 - 10) / 3;  // 60
    EXPECT_EQ(rects[2], Bounds(2 * w + 8, 16, w, 17));
    in.RightToLeft = true;
    in.ClientWidth = 200;
    rects = ArrangeGroupItems(in);
    EXPECT_EQ(rects[0].Left, 200 - 0 - w - 8);
}

TEST(UiGroupLayout, RowsAndColumnClamp) {
    EXPECT_EQ(GroupRows(3, 2), 2);
    EXPECT_EQ(GroupRows(7, 7), 1);
    EXPECT_EQ(GroupRows(7, 1), 7);
    TGroupLayoutInput in = Items(2, 10);
    in.Columns = 0;  // treated as 1
    auto rects = ArrangeGroupItems(in);
    EXPECT_EQ(rects[1].Top, 36);
}
