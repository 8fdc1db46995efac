// Pixels of painted tab strips: outlines in the frame colour, the selected tab merged with the
// card through the gap in the card's frame, the unselected tabs' gradient, the soft shadow
// blended over the parent, the background outside the shapes, and the drag indicator pattern.
#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/Forms.h"
#include "widgets/UiTabs.h"

namespace {

class TabsPaint : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterApplicationFonts();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 200);
        Form->SetColor(clWhite);
        Tabs = new TUiCustomTabControl(Form.get());
        Tabs->SetParent(Form.get());
        Tabs->SetBounds(10, 10, 300, 100);
        Tabs->SetColor(clWhite);
        Tabs->SetBackgroundColor(clYellow);
        for (const char* c : {"One", "Two", "Three"}) Tabs->GetTabs().Add(c);
        Tabs->TabsChanged();
        Tabs->SetTabIndex(0);
    }
    TColor At(int x, int y) { return Picture->GetPixel(x, y); }
    void Paint() { Picture = Tabs->RenderToBitmap(); }

    std::unique_ptr<TForm> Form;
    TUiCustomTabControl* Tabs = nullptr;
    std::unique_ptr<TBitmap> Picture;
    const TColor Frame = ColorToRGB(clBtnShadow);
};

}  // namespace

TEST_F(TabsPaint, TopSingleSlantStrip) {
    Paint();
    const TRect t0 = Tabs->TabRect(0), t2 = Tabs->TabRect(2);
    const int cardTop = Tabs->CardRect(0).Top;
    ASSERT_EQ(cardTop, t0.Bottom);
    // The selected tab's left edge and its inside, in the control's colour.
    EXPECT_EQ(At(t0.Left, t0.Top + 5), Frame);
    EXPECT_EQ(At(t0.Left + 2, t0.Bottom - 2), clWhite);
    // The card's top edge is framed beside the tabs and open under the selected tab.
    EXPECT_EQ(At(285, cardTop), Frame);
    EXPECT_EQ(At(t0.Left + 3, cardTop), clWhite);
    // Outside the last tab's slant the background shows.
    EXPECT_EQ(At(t2.Right - 2, t2.Top + 1), clYellow);
    EXPECT_EQ(At(295, 3), clYellow);
    // Unselected tabs run from the shadow colour at the outer edge to white at the card.
    const int x = t2.Right - t2.Height() - 1;
    const TColor top = At(x, t2.Top + 2), bottom = At(x, t2.Bottom - 2);
    EXPECT_LT(GetRValue(top), GetRValue(bottom));
    EXPECT_GE(GetRValue(top), GetRValue(ColorToRGB(clBtnFace)));
    // The card is inset by 2 for its shadow: frame at 297, shadow weights 30 and 15 over the
    // parent's white at 298 and 299.
    EXPECT_EQ(At(297, 50), Frame);
    EXPECT_EQ(At(298, 50), RGB(225, 225, 225));
    EXPECT_EQ(At(299, 50), RGB(240, 240, 240));
    EXPECT_EQ(At(150, 97), Frame);
    EXPECT_EQ(At(150, 98), RGB(225, 225, 225));
    EXPECT_EQ(At(150, 99), RGB(240, 240, 240));
    EXPECT_EQ(At(150, 60), clWhite);
    // Each run of the shadow leaves out its end point: the card's own colour stays at the
    // bottom-left corner above the outer run.
    Tabs->SetColor(clAqua);
    Paint();
    EXPECT_EQ(At(298, cardTop), RGB(240, 240, 240));
    EXPECT_EQ(At(298, 98), RGB(225, 225, 225));
    EXPECT_EQ(At(299, 99), RGB(240, 240, 240));
    EXPECT_EQ(At(1, 98), RGB(225, 225, 225));
    EXPECT_EQ(At(0, 98), clAqua);
    EXPECT_EQ(At(0, 99), RGB(240, 240, 240));
}

TEST_F(TabsPaint, BottomStripWithoutShadow) {
    Tabs->SetTabOrientation(toBottom);
    Paint();
    const TRect t0 = Tabs->TabRect(0);
    const TRect card = Tabs->CardRect(0);
    EXPECT_EQ(card.Bottom, t0.Top);
    EXPECT_EQ(At(t0.Left, t0.Bottom - 5), Frame);
    EXPECT_EQ(At(t0.Left + 2, t0.Top + 2), clWhite);
    EXPECT_EQ(At(t0.Left + 3, card.Bottom), clWhite);  // gap under the selected tab
    EXPECT_EQ(At(285, card.Bottom), Frame);
    EXPECT_EQ(At(299, 40), Frame);  // no shadow: the frame takes the last column
    EXPECT_EQ(At(0, 40), Frame);
    EXPECT_EQ(At(150, 0), Frame);
}

TEST_F(TabsPaint, RoundedSelectedTabStandsOut) {
    Tabs->SetTabStyle(tsRoundCorners);
    Paint();
    const TRect t0 = Tabs->TabRect(0), t1 = Tabs->TabRect(1);
    EXPECT_EQ(t0.Top + 2, t1.Top);
    // (L, T+2) to (L+2, T): the corner pixel itself stays clear, the top edge is framed.
    EXPECT_EQ(At(t0.Left + 4, t0.Top), Frame);
    EXPECT_EQ(At(t0.Left, t0.Top), clYellow);
    EXPECT_EQ(At(t0.Left, t0.Top + 3), Frame);
    EXPECT_EQ(At(t0.Left + 2, t0.Bottom - 3), clWhite);
}

TEST_F(TabsPaint, ColouredTabsAndHotBar) {
    Tabs->SetUseColoredTabs(true);
    Tabs->GetTabs().Items(0).Color = clAqua;
    Tabs->TabsChanged();
    Paint();
    const TRect t0 = Tabs->TabRect(0);
    // The selected coloured tab and the card take the tab's colour.
    EXPECT_EQ(At(t0.Left + 2, t0.Bottom - 2), clAqua);
    EXPECT_EQ(At(150, 60), clAqua);

    Tabs->SetUseColoredTabs(false);
    Tabs->SetHotTrackStyle(htsTabBar);
    Paint();
    // The selected tab carries the highlight bar along its outer edge.
    EXPECT_EQ(At(t0.Left + 6, t0.Top + 3), ColorToRGB(clHighlight));
}

TEST_F(TabsPaint, DragIndicatorPatternPointsToTheCard) {
    TBitmap b;
    Tabs->MakeDragIndicatorBitmap(b, clWhite);
    ASSERT_EQ(b.GetWidth(), 15);
    ASSERT_EQ(b.GetHeight(), 8);
    const TColor ink = 0xAFAFAF;  // 0x505050 xor white: shows 0x505050 over white
    EXPECT_EQ(b.GetPixel(0, 0), ink);
    EXPECT_EQ(b.GetPixel(14, 0), ink);
    EXPECT_EQ(b.GetPixel(7, 7), ink);
    EXPECT_EQ(b.GetPixel(6, 7), clBlack);
    EXPECT_EQ(b.GetPixel(0, 1), clBlack);
    Tabs->SetTabOrientation(toLeft);
    Tabs->MakeDragIndicatorBitmap(b, clWhite);
    ASSERT_EQ(b.GetWidth(), 8);
    EXPECT_EQ(b.GetPixel(7, 7), ink);
    EXPECT_EQ(b.GetPixel(7, 6), clBlack);
}

TEST_F(TabsPaint, HiddenTabsPaintOnlyTheCard) {
    Tabs->GetTabs().Clear();
    Tabs->TabsChanged();
    Paint();
    EXPECT_EQ(At(0, 0), Frame);
    EXPECT_EQ(At(296, 0), Frame);
    EXPECT_EQ(At(297, 5), Frame);
    EXPECT_EQ(At(5, 5), clWhite);
}

TEST_F(TabsPaint, TabImagesWidenTheTabAndAreDrawnBesideTheCaption) {
    const int plain = Tabs->TabRect(0).Width();
    auto* images = new TImageList(Form.get());
    TBitmap red(16, 16);
    red.GetCanvas()->GetBrush()->SetColor(clRed);
    red.GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(&red, nullptr);
    Tabs->SetImages(images);
    Tabs->GetTabs().Items(0).ImageIndex = 0;
    Tabs->GetTabs().Items(1).ImageIndex = 0;
    Tabs->GetTabs().Items(1).Enabled = false;
    Tabs->TabsChanged();
    EXPECT_EQ(Tabs->GetFixedDimension(), 22);  // the image is deeper than the text
    EXPECT_EQ(Tabs->TabRect(0).Width(), plain + 16 + 4);  // the image, and two deeper slants
    Paint();
    auto count = [&](const TRect& r, TColor c) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += At(x, y) == c;
        return n;
    };
    EXPECT_EQ(count(Tabs->TabRect(0), clRed), 256);
    EXPECT_EQ(count(Tabs->TabRect(1), clRed), 0);  // disabled: greyed
    // Freeing the image list leaves the control without images.
    delete images;
    EXPECT_EQ(Tabs->GetImages(), nullptr);
    EXPECT_EQ(Tabs->GetFixedDimension(), 19);
}
