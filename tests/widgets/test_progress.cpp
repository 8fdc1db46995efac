// The progress bar: percentages, parts, styles and its pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "WidgetTestUtil.h"
#include "platform/ui/Forms.h"
#include "widgets/UiPrgres.h"

namespace {
struct TProgressFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TUiProgressBar* bar = nullptr;
    std::vector<int> changes;

    void SetUp() override {
        bar = new TUiProgressBar(form.get());
        bar->SetParent(form.get());
        bar->OnChange = [this](TObject*, int p) { changes.push_back(p); };
    }
    // As on the main window's wait panel.
    void MakeWaitBar() {
        bar->SetBounds(0, 0, 200, 24);
        bar->SetBarColor(11166270);
        bar->SetBorderOuter(fsNone);
        bar->SetBorderWidth(0);
        bar->SetInteriorOffset(0);
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = wt::Canvas(bar->GetWidth(), bar->GetHeight(), clFuchsia);
        bar->PaintTo(*b->GetCanvas(), 0, 0);
        return b;
    }
};
}  // namespace

TEST_F(TProgressFixture, QuarterBarWithoutText) {
    MakeWaitBar();
    bar->SetShowPercent(false);
    bar->SetPercent(25);
    auto b = Render();
    for (int y : {0, 12, 23}) {
        EXPECT_EQ(wt::Px(*b, 0, y), TColor(11166270));
        EXPECT_EQ(wt::Px(*b, 49, y), TColor(11166270));
        EXPECT_EQ(wt::Px(*b, 50, y), clWhite);
        EXPECT_EQ(wt::Px(*b, 199, y), clWhite);
    }
}

TEST_F(TProgressFixture, TextChangesColourWhereTheBarEnds) {
    MakeWaitBar();
    bar->SetPercent(50);
    auto b = Render();
    // "50%" is centred at x = 100: its left half lies on the bar in the back colour, its
    // right half on the back in the bar colour.
    int whiteOnBar = 0, barOnWhite = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 80; x < 120; ++x) {
            if (x < 100 && wt::Px(*b, x, y) == clWhite) ++whiteOnBar;
            if (x >= 100 && wt::Px(*b, x, y) == TColor(11166270)) ++barOnWhite;
        }
    EXPECT_GT(whiteOnBar, 5);
    EXPECT_GT(barOnWhite, 5);
}

TEST_F(TProgressFixture, TextIsCentredOnTheInteriorMidpoint) {
    bar->SetBounds(0, 0, 200, 60);
    bar->SetBorderOuter(fsNone);
    bar->SetBorderWidth(20);  // interior (20, 20, 180, 40): midpoint 100, not 180 div 2 = 90
    bar->SetBarColor(clBlack);
    bar->SetPercent(0);
    auto b = Render();
    int minX = 1000, maxX = -1;
    for (int y = 20; y < 40; ++y)
        for (int x = 20; x < 180; ++x)
            if (wt::Px(*b, x, y) == clBlack) minX = std::min(minX, x), maxX = std::max(maxX, x);
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 100, 2.0);
}

TEST_F(TProgressFixture, LedSegments) {
    bar->SetBounds(0, 0, 60, 20);
    bar->SetBorderOuter(fsNone);
    bar->SetBarStyle(bsLED);
    EXPECT_FALSE(bar->GetShowPercent());
    EXPECT_EQ(bar->GetInteriorOffset(), 1);
    bar->SetBarColor(clRed);
    bar->SetPercent(50);
    auto b = Render();
    // Interior (1, 1, 59, 19) after the offset: 58 pixels, 10 segments of 5, grown by
    // (58 - 50) div 5 = 1 to 11, margin (58 - 55) div 2 = 1; 50 * 11 div 100 = 5 lit from x = 2,
    // each with a one-pixel gap on its left.
    EXPECT_EQ(wt::Px(*b, 2 + 2, 10), clRed);
    EXPECT_EQ(wt::Px(*b, 2 + 4 * 5 + 2, 10), clRed);
    EXPECT_EQ(wt::Px(*b, 2 + 4 * 5, 10), clWhite);
    EXPECT_EQ(wt::Px(*b, 2 + 5 * 5 + 2, 10), clWhite);
    EXPECT_EQ(wt::Px(*b, 1, 10), clWhite);  // margin
    bar->SetBarStyle(bsTraditional);
    EXPECT_TRUE(bar->GetShowPercent());
    EXPECT_EQ(bar->GetInteriorOffset(), 0);
}

TEST_F(TProgressFixture, PercentAndParts) {
    bar->SetPercent(150);
    EXPECT_EQ(bar->GetPercent(), 150);
    bar->SetPercent(150);
    EXPECT_EQ(changes, (std::vector<int>{150}));
    bar->SetPartsComplete(3);  // no total: the percent stays
    EXPECT_EQ(bar->GetPercent(), 150);
    bar->SetTotalParts(8);
    EXPECT_EQ(bar->GetPercent(), 0);
    bar->SetPartsComplete(1);
    EXPECT_EQ(bar->GetPercent(), 12);
    bar->SetPartsComplete(3);
    EXPECT_EQ(bar->GetPercent(), 38);
    bar->SetTotalParts(5);
    bar->SetPartsComplete(7);
    EXPECT_EQ(bar->GetPartsComplete(), 5u);
    EXPECT_EQ(bar->GetPercent(), 100);
}

TEST_F(TProgressFixture, OrientationFollowsTheShape) {
    bar->SetBounds(0, 0, 20, 100);
    EXPECT_EQ(bar->GetOrientation(), orVertical);
    bar->SetBounds(0, 0, 100, 20);
    EXPECT_EQ(bar->GetOrientation(), orHorizontal);
}

TEST_F(TProgressFixture, FullBar) {
    MakeWaitBar();
    bar->SetShowPercent(false);
    bar->SetPercent(150);
    auto b = Render();
    EXPECT_EQ(wt::Px(*b, 199, 12), TColor(11166270));
}
