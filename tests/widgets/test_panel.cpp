// Panels and group boxes: frames, client areas, captions and the children's enabled states.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "platform/ui/Forms.h"
#include "widgets/UiPanel.h"

namespace {
struct TPanelFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);

    template <class T>
    T* Make(TWinControl* parent = nullptr) {
        auto* c = new T(form.get());
        c->SetParent(parent ? parent : form.get());
        return c;
    }
    std::unique_ptr<TBitmap> Render(TControl* c) {
        auto b = wt::Canvas(c->GetWidth(), c->GetHeight(), clFuchsia);
        c->PaintTo(*b->GetCanvas(), 0, 0);
        return b;
    }
    TRect Client(TWinControl* c) {
        TRect r = TRect(0, 0, c->GetWidth(), c->GetHeight());
        c->AdjustClientRect(r);
        return r;
    }
};
}  // namespace

TEST_F(TPanelFixture, FlatGroupBoxFrameAndClientArea) {
    auto* g = Make<TUiGroupBox>();
    g->SetBounds(0, 0, 200, 100);
    g->SetVisualStyle(vsClassic);
    g->SetCaption("Box");
    ASSERT_EQ(FontFamilyInUse(*g->GetFont()), "Tahoma");
    ASSERT_EQ(wt::Canvas(1, 1)->GetCanvas()->TextHeight("Yy"), 13);
    auto b = Render(g);
    TColor frame = LighterColor(clBtnShadow, 30);  // clBtnShadow adjusted by 30
    // Frame from y = 13 div 2 - 1 = 5 to 99, cut corners, the caption cutting the top line.
    EXPECT_EQ(wt::Px(*b, 0, 10), frame);
    EXPECT_EQ(wt::Px(*b, 0, 6), wt::Rgb(clBtnFace));
    EXPECT_EQ(wt::Px(*b, 1, 6), frame);
    EXPECT_EQ(wt::Px(*b, 3, 5), frame);
    EXPECT_EQ(wt::Px(*b, 199, 50), frame);
    EXPECT_EQ(wt::Px(*b, 50, 99), frame);
    EXPECT_EQ(wt::Px(*b, 60, 5), frame);
    EXPECT_EQ(wt::Px(*b, 9, 5), wt::Rgb(clBtnFace));  // behind the caption
    EXPECT_EQ(wt::Px(*b, 50, 4), wt::Rgb(clBtnFace));
    EXPECT_EQ(Client(g), TRect(1, 14, 199, 99));
    // An empty caption still reserves the caption's height.
    g->SetCaption("");
    EXPECT_EQ(Client(g).Top, 14);
    g->SetFlatColor(clBlue);
    b = Render(g);
    EXPECT_EQ(wt::Px(*b, 0, 10), RGB(67, 64, 255));
}

TEST_F(TPanelFixture, PanelFramesAndFill) {
    auto* p = Make<TUiPanel>();
    p->SetBounds(0, 0, 60, 40);
    p->SetCaption("");
    EXPECT_EQ(Client(p), TRect(2, 2, 58, 38));  // raised by default
    auto b = Render(p);
    EXPECT_EQ(wt::Px(*b, 0, 10), wt::Rgb(cl3DLight));
    EXPECT_EQ(wt::Px(*b, 1, 10), wt::Rgb(clBtnHighlight));
    EXPECT_EQ(wt::Px(*b, 59, 10), wt::Rgb(cl3DDkShadow));
    EXPECT_EQ(wt::Px(*b, 58, 10), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 30, 20), wt::Rgb(clBtnFace));
    p->SetVisualStyle(vsGradient);
    p->SetGradientColorStyle(gcsCustom);
    p->SetGradientColorStart(clBlack);
    p->SetGradientColorStop(clWhite);
    b = Render(p);
    EXPECT_LT(GetRValue(wt::Px(*b, 30, 2)), GetRValue(wt::Px(*b, 30, 37)));
    p->SetBorderOuter(fsNone);
    p->SetGridShow(true);
    p->SetGridColor(clRed);
    p->SetVisualStyle(vsClassic);
    b = Render(p);
    EXPECT_EQ(wt::Px(*b, 7, 7), clRed);
    EXPECT_EQ(wt::Px(*b, 15, 7), clRed);
    EXPECT_EQ(wt::Px(*b, 8, 7), wt::Rgb(clBtnFace));
}

TEST_F(TPanelFixture, ChildrenGetTheirOwnStateBack) {
    auto* p = Make<TUiPanel>();
    // Two unnamed children: their states are kept by control, not by name.
    auto* a = Make<TUiPanel>(p);
    auto* c = Make<TUiPanel>(p);
    c->SetEnabled(false);
    p->SetEnabled(false);
    EXPECT_FALSE(a->GetEnabled());
    EXPECT_FALSE(c->GetEnabled());
    p->SetEnabled(true);
    EXPECT_TRUE(a->GetEnabled());
    EXPECT_FALSE(c->GetEnabled());
}

TEST_F(TPanelFixture, CaptionCheckBoxEnablesChildren) {
    auto* g = Make<TUiGroupBox>();
    g->SetBounds(0, 0, 200, 100);
    g->SetCaption("Options");
    auto* a = Make<TUiPanel>(g);
    auto* c = Make<TUiPanel>(g);
    c->SetEnabled(false);
    int clicks = 0;
    g->OnCheckBoxClick = [&](TObject*) { ++clicks; };
    g->SetShowCheckBox(true);
    g->SetChecked(false);
    EXPECT_FALSE(a->GetEnabled());
    g->SetChecked(true);
    EXPECT_TRUE(a->GetEnabled());
    EXPECT_FALSE(c->GetEnabled());
    EXPECT_EQ(clicks, 2);
    // Clicking the caption toggles the box.
    form->Show();
    Render(g);  // lays out the caption rectangle
    TRect cap = g->GetCaptionRect();
    g->MouseDown(mbLeft, {}, cap.Left + 3, cap.Top + 3);
    g->MouseUp(mbLeft, {}, cap.Left + 3, cap.Top + 3);
    EXPECT_FALSE(g->GetChecked());
    TAccessibleInfo info = g->GetAccessibleInfo();
    EXPECT_EQ(info.Role, TAccessibleRole::Grouping);
    EXPECT_TRUE(info.Checkable);
    EXPECT_FALSE(info.Checked);
}

TEST_F(TPanelFixture, GroupStylesClientTops) {
    auto* g = Make<TUiGroupBox>();
    g->SetBounds(0, 0, 200, 100);
    g->SetCaption("X");
    g->SetGroupStyle(gsStandard);
    EXPECT_EQ(Client(g), TRect(2, 15, 198, 98));
    g->SetGroupStyle(gsTopLine);
    EXPECT_EQ(Client(g).Top, 13);
    g->SetGroupStyle(gsBanner);
    EXPECT_EQ(Client(g).Top, 21);
    g->SetBannerHeight(30);
    EXPECT_EQ(Client(g).Top, 30);
    g->SetGroupStyle(gsUnderline);
    EXPECT_EQ(Client(g).Top, 17);
}

TEST_F(TPanelFixture, StatusBar) {
    form->SetBounds(0, 0, 300, 200);
    auto* s = Make<TUiStatusBar>();
    EXPECT_EQ(s->GetAlign(), alBottom);
    EXPECT_EQ(s->GetHeight(), 19);
    EXPECT_TRUE(s->SizeGripVisible());
    auto b = Render(s);
    int w = s->GetWidth();
    // 2 x 2 squares: highlight ones at (r - 4, b - 4) with r = right - 1, b = bottom; shadow
    // ones over them one pixel left and up.
    EXPECT_EQ(wt::Px(*b, w - 4, 16), wt::Rgb(clBtnHighlight));
    EXPECT_EQ(wt::Px(*b, w - 6, 14), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, w - 5, 15), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, w - 14, 14), wt::Rgb(clBtnShadow));
    auto* pane = Make<TUiPanel>(s);
    s->SetSimpleStatus(true);
    EXPECT_FALSE(pane->GetVisible());
    s->SetSimpleStatus(false);
    EXPECT_TRUE(pane->GetVisible());
    s->SetBorderOuter(fsLowered);
    EXPECT_FALSE(s->GetAutoStyle());
}
