// Tab strip geometry against figures worked out by hand from the layout rules, with a
// fixed-width font: 7 pixels per character (8 bold), 13 pixels high.
#include <gtest/gtest.h>

#include "widgets/UiTabsLayout.h"

namespace {

class FixedMetrics : public IUiTabTextMetrics {
public:
    explicit FixedMetrics(int height = 13) : FHeight(height) {}
    TSize TextExtent(const std::string& line, bool bold) const override {
        return {static_cast<int>(line.size()) * (bold ? 8 : 7), FHeight};
    }
    int FontHeight() const override { return FHeight; }

private:
    int FHeight;
};

TUiTabStripLayout Strip(std::initializer_list<const char*> captions, int width = 300, int height = 100) {
    TUiTabStripLayout s;
    for (const char* c : captions) s.Tabs.Add(c);
    s.Options.ClientWidth = width;
    s.Options.ClientHeight = height;
    return s;
}

void Layout(TUiTabStripLayout& s, int fontHeight = 13) {
    FixedMetrics m(fontHeight);
    s.Arrange(m);
    s.UpdateScrolling();
}

}  // namespace

TEST(TabLayout, CaptionsAreMeasuredWithoutAcceleratorMarks) {
    EXPECT_EQ(UiTabPlainCaption("&File"), "File");
    EXPECT_EQ(UiTabPlainCaption("Save && &Exit"), "Save & Exit");
    EXPECT_EQ(UiTabPlainCaption("end&"), "end");
    EXPECT_EQ(UiTabCaptionLines("a\r\nbc").size(), 2u);
    EXPECT_EQ(UiTabCaptionLines("a\r\nbc")[1], "bc");
}

TEST(TabLayout, SlantedStripWithTwentyThreePixelTextIsTwentyNineDeep) {
    // Tahoma at height -19 has a 23-pixel cell: the settings tabs come out 29 deep.
    TUiTabStripLayout s = Strip({"Основные параметры", "Входы/Выходы", "Доп. оборудование"}, 867, 580);
    Layout(s, 23);
    EXPECT_EQ(s.FixedDimension, 29);
    EXPECT_EQ(s.TabAreaHeight, 29);
    EXPECT_EQ(s.CardRect(0), TRect(0, 29, 866, 579));
}

TEST(TabLayout, TopSingleSlantTabsOverlapByHalfTheirDepth) {
    TUiTabStripLayout s = Strip({"One", "Two", "Three"});
    Layout(s);
    EXPECT_EQ(s.FixedDimension, 19);
    EXPECT_EQ(s.RowCount, 1);
    EXPECT_FALSE(s.TabsScrolled);
    EXPECT_EQ(s.TabAreaRect(), TRect(0, 0, 297, 19));
    EXPECT_EQ(s.TabRect(0), TRect(0, 0, 47, 19));
    EXPECT_EQ(s.TabRect(1), TRect(39, 0, 86, 19));
    EXPECT_EQ(s.TabRect(2), TRect(78, 0, 139, 19));
    EXPECT_EQ(s.CardRect(0), TRect(0, 19, 299, 99));
    EXPECT_EQ(s.DisplayRect(), TRect(1, 20, 297, 97));
    std::vector<TPoint> shape = s.TabShape(0);
    std::vector<TPoint> want = {{0, 19}, {0, 2}, {2, 0}, {28, 0}, {47, 19}};
    EXPECT_EQ(shape, want);
}

TEST(TabLayout, BottomTabsHangBelowTheCard) {
    TUiTabStripLayout s = Strip({"One", "Two", "Three"});
    s.Options.Orientation = toBottom;
    Layout(s);
    EXPECT_EQ(s.TabAreaRect(), TRect(0, 80, 299, 99));
    EXPECT_EQ(s.TabRect(0), TRect(0, 80, 47, 99));
    EXPECT_EQ(s.TabRect(1), TRect(39, 80, 86, 99));
    EXPECT_EQ(s.CardRect(0), TRect(0, 0, 299, 80));
    EXPECT_EQ(s.DisplayRect(), TRect(1, 1, 299, 80));
    // The slant points away from the card: the outer edge is at the bottom.
    std::vector<TPoint> want = {{0, 80}, {0, 97}, {2, 99}, {28, 99}, {47, 80}};
    EXPECT_EQ(s.TabShape(0), want);
}

TEST(TabLayout, LeftTabsRunUpwardAndScrollWhenTooLong) {
    TUiTabStripLayout s = Strip({"One", "Two", "Three"});
    s.Options.Orientation = toLeft;
    Layout(s);
    // Horizontal captions lie across a side strip: the widest caption sets the depth.
    EXPECT_EQ(s.FixedDimension, 43);
    EXPECT_EQ(s.TabAreaRect(), TRect(0, 0, 43, 99));
    ASSERT_TRUE(s.TabsScrolled);
    EXPECT_EQ(s.FirstVisibleTab, 0);
    EXPECT_EQ(s.TabRect(0), TRect(0, 38, 43, 99));
    EXPECT_EQ(s.TabRect(1), TRect(0, -3, 43, 58));
    EXPECT_TRUE(s.IsFullyVisible(0));
    EXPECT_FALSE(s.IsFullyVisible(1));
    EXPECT_EQ(s.CardRect(0), TRect(43, 0, 299, 99));

    EXPECT_TRUE(s.ScrollForward());
    EXPECT_EQ(s.FirstVisibleTab, 1);
    EXPECT_EQ(s.TabRect(1), TRect(0, 38, 43, 99));
    EXPECT_TRUE(s.ScrollForward());
    EXPECT_EQ(s.FirstVisibleTab, 2);
    EXPECT_FALSE(s.ScrollForward());
    EXPECT_TRUE(s.ScrollBack());
    EXPECT_EQ(s.FirstVisibleTab, 1);
}

TEST(TabLayout, RightTabsRunDownward) {
    TUiTabStripLayout s = Strip({"A", "B"}, 300, 200);
    s.Options.Orientation = toRight;
    s.Options.VerticalText = true;
    Layout(s);
    // Vertical "A": 13 wide, 7 high, raised to the font height: 13 along the strip and
    // 2 + 13 = 15 across; length 2 x 10 + 13 + 6 = 39, depth 21, advance 39 - 10 + 1 = 30.
    EXPECT_EQ(s.FixedDimension, 21);
    EXPECT_EQ(s.TabAreaRect(), TRect(278, 0, 299, 199));
    EXPECT_EQ(s.TabRect(0), TRect(278, 0, 299, 39));
    EXPECT_EQ(s.TabRect(1), TRect(278, 30, 299, 69));
    EXPECT_EQ(s.CardRect(0), TRect(0, 0, 278, 199));
}

TEST(TabLayout, ReverseSequenceStartsAtTheFarEnd) {
    TUiTabStripLayout s = Strip({"One", "Two", "Three"});
    s.Options.Sequence = tsReverse;
    Layout(s);
    EXPECT_EQ(s.TabAreaRect(), TRect(0, 0, 299, 19));
    EXPECT_EQ(s.TabRect(0), TRect(250, 0, 297, 19));
    EXPECT_EQ(s.TabRect(1), TRect(211, 0, 258, 19));
    EXPECT_EQ(s.TabRect(2), TRect(158, 0, 219, 19));
}

TEST(TabLayout, StylesSizeTheirTabs) {
    {
        TUiTabStripLayout s = Strip({"One", "Two", "Three"});
        s.Options.Style = tsDoubleSlant;
        Layout(s);
        EXPECT_EQ(s.TabRect(0), TRect(0, 0, 59, 19));
        EXPECT_EQ(s.TabRect(1), TRect(41, 0, 100, 19));
        std::vector<TPoint> want = {{0, 19}, {19, 0}, {40, 0}, {59, 19}};
        EXPECT_EQ(s.TabShape(0), want);
    }
    {
        TUiTabStripLayout s = Strip({"One", "Two"});
        s.Options.Style = tsCutCorner;
        Layout(s);
        // L + 8 + 2 x 6 long, D + 7 deep; TabOverlap -1 leaves two pixels between tabs.
        EXPECT_EQ(s.FixedDimension, 20);
        EXPECT_EQ(s.TabRect(0), TRect(0, 0, 43, 20));
        EXPECT_EQ(s.TabRect(1), TRect(45, 0, 88, 20));
        std::vector<TPoint> want = {{0, 20}, {0, 0}, {37, 0}, {43, 6}, {43, 20}};
        EXPECT_EQ(s.TabShape(0), want);
    }
    {
        TUiTabStripLayout s = Strip({"One", "Two", "Three"});
        s.Options.Style = tsRoundCorners;
        Layout(s);
        EXPECT_EQ(s.TabAreaHeight, 22);
        EXPECT_EQ(s.TabRect(0), TRect(2, 3, 31, 22));
        EXPECT_EQ(s.TabRect(1), TRect(33, 3, 62, 22));
        EXPECT_EQ(s.TabRect(2), TRect(64, 3, 107, 22));
        s.Selected = 1;  // the selected rounded tab stands 2 out at each end and on top
        EXPECT_EQ(s.TabRect(1), TRect(31, 1, 64, 22));
        EXPECT_EQ(s.CardRect(0), TRect(0, 22, 299, 99));
    }
    {
        TUiTabStripLayout s = Strip({"One"});
        s.Options.Style = tsBackSlant;
        s.Options.SoftCorners = true;
        Layout(s);
        std::vector<TPoint> want = {{0, 19}, {17, 2}, {23, 0}, {45, 0}, {47, 2}, {47, 19}};
        EXPECT_EQ(s.TabShape(0), want);
    }
}

TEST(TabLayout, FixedTabWidthOverridesCaptions) {
    TUiTabStripLayout s = Strip({"x", "A much longer caption"});
    s.Options.TabWidth = 120;
    Layout(s);
    EXPECT_EQ(s.TabRect(0).Width(), 120);
    EXPECT_EQ(s.TabRect(1).Width(), 120);

    TUiTabStripLayout left = Strip({"x", "A much longer caption"}, 300, 400);
    left.Options.Orientation = toLeft;
    left.Options.TabWidth = 120;
    Layout(left);
    EXPECT_EQ(left.FixedDimension, 120);
    EXPECT_EQ(left.TabAreaRect(), TRect(0, 0, 120, 399));
}

TEST(TabLayout, MultiLineRowsRotateTowardTheCard) {
    TUiTabStripLayout s = Strip({"Three", "Three", "Three", "Three"}, 150, 100);
    s.Options.MultiLine = true;
    Layout(s);
    ASSERT_EQ(s.RowCount, 2);
    EXPECT_EQ(s.TabAreaHeight, 33);
    EXPECT_FALSE(s.TabsScrolled);
    EXPECT_EQ(s.TabRect(0), TRect(0, 14, 61, 33));
    EXPECT_EQ(s.TabRect(1), TRect(53, 14, 114, 33));
    EXPECT_EQ(s.TabRect(2), TRect(5, 0, 66, 19));
    EXPECT_EQ(s.TabRect(3), TRect(58, 0, 119, 19));
    EXPECT_EQ(s.CardRect(0), TRect(0, 33, 144, 99));
    EXPECT_EQ(s.CardRect(1), TRect(5, 19, 149, 85));

    s.RotateRows(3);
    EXPECT_EQ(s.Tabs.Items(3).Row, 0);
    EXPECT_EQ(s.Tabs.Items(0).Row, 1);
    EXPECT_EQ(s.TabRect(3), TRect(58, 14, 119, 33));
    EXPECT_EQ(s.TabRect(0), TRect(0, 0, 61, 19));
}

TEST(TabLayout, ThreeRowsRotateInCyclicOrder) {
    TUiTabStripLayout s = Strip({"Three", "Three", "Three", "Three", "Three", "Three"}, 150, 100);
    s.Options.MultiLine = true;
    Layout(s);
    ASSERT_EQ(s.RowCount, 3);
    s.RotateRows(5);  // outermost row comes next to the card, the others move out
    EXPECT_EQ(s.Tabs.Items(5).Row, 0);
    EXPECT_EQ(s.Tabs.Items(0).Row, 1);
    EXPECT_EQ(s.Tabs.Items(2).Row, 2);
}

TEST(TabLayout, AlignedRowsShareTheSpareLength) {
    TUiTabStripLayout s = Strip({"Three", "Three", "Three", "Three"}, 150, 100);
    s.Options.MultiLine = true;
    s.Options.AlignTabs = true;
    Layout(s);
    // Spare 147 - 5 - 114 = 28: 14 to each tab of a row.
    EXPECT_EQ(s.TabRect(0), TRect(0, 14, 75, 33));
    EXPECT_EQ(s.TabRect(1), TRect(67, 14, 142, 33));
    EXPECT_EQ(s.TabRect(2), TRect(5, 0, 80, 19));
    EXPECT_EQ(s.TabRect(3), TRect(72, 0, 147, 19));
}

TEST(TabLayout, ScrollingStripKeepsTheSelectionInView) {
    TUiTabStripLayout s = Strip({"Three", "Three", "Three", "Three"}, 151, 100);
    Layout(s);
    ASSERT_TRUE(s.TabsScrolled);
    EXPECT_TRUE(s.IsFullyVisible(1));
    EXPECT_FALSE(s.IsFullyVisible(2));
    EXPECT_EQ(s.ScrollerRect(), TRect(114, 0, 147, 17));
    Layout(s);  // the scroller now takes its room; the tabs still fit their clamp
    EXPECT_EQ(s.TabRect(3), TRect(159, 0, 220, 19));

    EXPECT_TRUE(s.EnsureTabVisible(3));
    EXPECT_EQ(s.FirstVisibleTab, 2);
    EXPECT_EQ(s.TabRect(3), TRect(53, 0, 114, 19));
    EXPECT_TRUE(s.EnsureTabVisible(0));
    EXPECT_EQ(s.FirstVisibleTab, 0);
}

TEST(TabLayout, NoVisibleTabLeavesTheCardWholeAndNoStrip) {
    TUiTabStripLayout s = Strip({"One", "Two"}, 867, 580);
    s.Tabs.Items(0).Visible = false;
    s.Tabs.Items(1).Visible = false;
    Layout(s);
    EXPECT_EQ(s.TabAreaHeight, 0);
    EXPECT_EQ(s.FirstVisibleTab, -1);
    EXPECT_EQ(s.TabRect(0), TRect());
    EXPECT_EQ(s.CardRect(0), TRect(0, 0, 866, 579));
    EXPECT_EQ(s.DisplayRect(), TRect(1, 1, 864, 577));

    TUiTabStripLayout empty = Strip({}, 867, 580);
    Layout(empty);
    EXPECT_EQ(empty.DisplayRect(), TRect(1, 1, 864, 577));
}

TEST(TabLayout, StripButtonsSitAtTheEnd) {
    TUiTabStripLayout s = Strip({"One"});
    s.Options.ShowCloseButton = true;
    s.Options.ShowMenuButton = true;
    Layout(s);
    // B = 13 + 4 = 17, depth min(17, 19 - 2) = 17.
    EXPECT_EQ(s.CloseButtonRect(), TRect(279, 0, 296, 17));
    EXPECT_EQ(s.MenuButtonRect(), TRect(260, 0, 277, 17));
    s.Options.Orientation = toBottom;
    Layout(s);
    EXPECT_EQ(s.CloseButtonRect(), TRect(283, 82, 300, 99));
}

TEST(TabLayout, KeysMoveAlongTheStrip) {
    auto enabled = [](int i) { return i != 2; };
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Right, toTop, tsStandard, 4, 1, enabled), 3);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Down, toBottom, tsStandard, 4, 3, enabled), 0);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Left, toTop, tsStandard, 4, 0, enabled), 3);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Left, toTop, tsReverse, 4, 1, enabled), 3);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Up, toLeft, tsStandard, 4, 1, enabled), 3);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Home, toTop, tsStandard, 4, 3, enabled), 0);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::End, toTop, tsStandard, 4, 0, enabled), 3);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Home, toLeft, tsStandard, 4, 0, enabled), 3);
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Right, toTop, tsStandard, 1, 0, enabled), -1);
    auto none = [](int) { return false; };
    EXPECT_EQ(UiTabKeyTarget(TUiTabNavKey::Right, toTop, tsStandard, 4, 1, none), -1);
}
