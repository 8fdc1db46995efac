// The segmented meter and the border, rendered off-screen.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "platform/ui/Forms.h"
#include "widgets/UiBorder.h"

namespace {
struct TMeterFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TUiMeter* meter = nullptr;

    void SetUp() override {
        meter = new TUiMeter(form.get());
        meter->SetParent(form.get());
    }
    // The signal meter of the main window.
    void MakeSignalMeter() {
        meter->SetBounds(0, 0, 150, 30);
        meter->SetMax(31);
        meter->SetMeterType(mtLED);
        for (int i = 0; i < 3; ++i) {
            meter->SetSegCount(i, 5);
            meter->SetSegColor(i, clHighlight);
        }
        meter->SetSegOffColor(0x00E0E0E0);
        meter->SetBackColor(clWhite);
        meter->SetBorderOuter(fsNone);
        meter->SetShowPercent(false);
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = wt::Canvas(meter->GetWidth(), meter->GetHeight(), clFuchsia);
        meter->PaintTo(*b->GetCanvas(), 0, 0);
        return b;
    }
};
}  // namespace

// Layout of the 150 x 30 signal meter: the working area shrinks to (2, 1, 147, 28); 15 segments
// of (145 - 13 * 2) div 15 = 7 pixels, 9 apart, from x = 2; each fills y 2..27.
TEST_F(TMeterFixture, SignalMeterLitSegments) {
    MakeSignalMeter();
    for (int value : {0, 16, 31}) {
        meter->SetValue(value);
        int lit = 15 * value / 31;
        auto b = Render();
        for (int i = 0; i < 15; ++i) {
            TColor expected = i < lit ? wt::Rgb(clHighlight) : TColor(0xE0E0E0);
            EXPECT_EQ(wt::Px(*b, 2 + 9 * i + 3, 15), expected) << "value " << value << " segment " << i;
            EXPECT_EQ(wt::Px(*b, 2 + 9 * i, 2), expected);
            EXPECT_EQ(wt::Px(*b, 2 + 9 * i + 6, 27), expected);
            EXPECT_EQ(wt::Px(*b, 2 + 9 * i + 7, 15), clWhite);  // spacing in the back colour
        }
        EXPECT_EQ(wt::Px(*b, 5, 1), clWhite);
        EXPECT_EQ(wt::Px(*b, 1, 15), clWhite);
    }
}

TEST_F(TMeterFixture, SixteenSegmentsAtHalfScale) {
    MakeSignalMeter();
    meter->SetSegCount(0, 8);
    meter->SetSegCount(1, 4);
    meter->SetSegCount(2, 4);
    meter->SetBarColor(clRed);
    for (int i = 0; i < 3; ++i) meter->SetSegColor(i, clRed);
    meter->SetSegOffColor(clWhite);
    meter->SetValue(16);
    // 16 * 16 div 31 = 8 lit; s = (145 - 14 * 2) div 16 = 7, step 9.
    auto b = Render();
    for (int i = 0; i < 16; ++i) {
        int x = 2 + 9 * i + 3;
        if (x >= 150) break;
        EXPECT_EQ(wt::Px(*b, x, 15), i < 8 ? clRed : clWhite) << i;
    }
}

TEST_F(TMeterFixture, EmptyBandIsSkipped) {
    MakeSignalMeter();
    meter->SetSegCount(0, 0);
    meter->SetSegColor(1, clGreen);
    meter->SetValue(31);
    auto b = Render();
    EXPECT_EQ(wt::Px(*b, 5, 15), clGreen);
}

TEST_F(TMeterFixture, ValueRangeRules) {
    meter->SetMax(31);
    meter->SetValue(40);
    EXPECT_EQ(meter->GetValue(), 31);
    meter->SetValue(-3);
    EXPECT_EQ(meter->GetValue(), 0);
    meter->SetMax(0);
    EXPECT_EQ(meter->GetMax(), 1);
    meter->SetMin(1);
    EXPECT_EQ(meter->GetMin(), 0);
    meter->SetMax(200);
    meter->SetValue(50);
    EXPECT_EQ(meter->GetPercent(), 25);
    // Three bands together never pass 255 segments.
    meter->SetSegCount(0, 250);
    EXPECT_EQ(meter->GetSegCount(0) + meter->GetSegCount(1) + meter->GetSegCount(2), 255);
}

TEST_F(TMeterFixture, PlainBarUsesTheWidth) {
    meter->SetBounds(0, 0, 104, 20);
    meter->SetBorderOuter(fsNone);
    meter->SetMeterType(mtNormal);
    meter->SetShowPercent(false);
    meter->SetBarColor(clRed);
    meter->SetBackColor(clBlack);
    meter->SetValue(50);
    auto b = Render();
    // Working area (-1, -1, 104, 20): the bar covers half of 105 = 52 from x = -1.
    EXPECT_EQ(wt::Px(*b, 0, 10), clRed);
    EXPECT_EQ(wt::Px(*b, 50, 10), clRed);
    EXPECT_EQ(wt::Px(*b, 51, 10), clBlack);
    EXPECT_EQ(wt::Px(*b, 103, 10), clBlack);
}

TEST_F(TMeterFixture, TinyMeterPaintsNothing) {
    MakeSignalMeter();
    meter->SetBorderOuter(fsFlat);
    meter->SetBounds(0, 0, 3, 30);
    auto b = Render();
    EXPECT_EQ(wt::Px(*b, 0, 0), clFuchsia);
}

TEST_F(TMeterFixture, BorderClientRect) {
    auto* border = new TUiBorder(form.get());
    border->SetParent(form.get());
    EXPECT_EQ(border->GetClientRect(), TRect(2, 2, 48, 48));  // groove, 50 x 50
    border->SetBorderWidth(30);
    EXPECT_EQ(border->GetClientRect(), TRect(0, 0, 0, 0));
}
