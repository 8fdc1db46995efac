// Check boxes and radio buttons: states, siblings, keys, the focus rectangle, sizing and glyph
// pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "WidgetTestUtil.h"
#include "support/RealInput.h"
#include "platform/ui/Forms.h"
#include "widgets/UiPanel.h"
#include "widgets/UiRadChk.h"

namespace {
struct TRadChkFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    int clicks = 0;

    template <class T>
    T* Make(TWinControl* parent = nullptr) {
        auto* c = new T(form.get());
        c->SetParent(parent ? parent : form.get());
        c->OnClick = [this](TObject*) { ++clicks; };
        return c;
    }
    std::unique_ptr<TBitmap> Render(TControl* c) {
        auto b = wt::Canvas(c->GetWidth(), c->GetHeight(), clFuchsia);
        c->PaintTo(*b->GetCanvas(), 0, 0);
        return b;
    }
};
}  // namespace

TEST_F(TRadChkFixture, RadioSiblingsOnOnePanel) {
    auto* p1 = Make<TUiPanel>();
    auto* p2 = Make<TUiPanel>();
    auto* a = Make<TUiRadioButton>(p1);
    auto* b = Make<TUiRadioButton>(p1);
    auto* c = Make<TUiRadioButton>(p1);
    auto* other = Make<TUiRadioButton>(p2);
    other->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_FALSE(c->GetChecked());
    EXPECT_TRUE(other->GetChecked());
    EXPECT_TRUE(b->GetTabStop());
    EXPECT_FALSE(a->GetTabStop());
    EXPECT_EQ(clicks, 3);  // each checking from code raises the click
    c->SetReadOnly(true);
    EXPECT_TRUE(a->GetReadOnly());
    EXPECT_FALSE(other->GetReadOnly());
    c->Click();  // read-only: stays unchecked
    EXPECT_FALSE(c->GetChecked());
    EXPECT_EQ(b->GetCheck(), 1);
}

TEST_F(TRadChkFixture, CheckBoxCycles) {
    auto* box = Make<TUiCheckBox>();
    box->Click();
    EXPECT_EQ(box->GetState(), cbChecked);
    box->Click();
    EXPECT_EQ(box->GetState(), cbUnchecked);
    box->SetAllowGrayed(true);
    box->Click();
    EXPECT_EQ(box->GetState(), cbGrayed);
    EXPECT_EQ(box->GetCheck(), 2);
    box->Click();
    EXPECT_EQ(box->GetState(), cbChecked);
    box->Click();
    EXPECT_EQ(box->GetState(), cbUnchecked);
    EXPECT_EQ(clicks, 5);
    // An action link pushes its state without a click.
    TUiCheckedActionLink link(box);
    link.SetChecked(true);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 5);
    EXPECT_TRUE(link.IsCheckedLinked(true));
}

TEST_F(TRadChkFixture, CheckBoxKeysAndMouse) {
    form->Show();
    auto* box = Make<TUiCheckBox>();
    box->SetCaption("&Monday");
    box->SetFocus();
    Word k = VK_SPACE;
    box->KeyDown(k, {});
    EXPECT_TRUE(box->IsPressed());
    k = VK_SPACE;
    box->KeyUp(k, {});
    EXPECT_TRUE(box->GetChecked());
    // Escape cancels a held space.
    k = VK_SPACE;
    box->KeyDown(k, {});
    k = VK_ESCAPE;
    box->KeyDown(k, {});
    k = VK_SPACE;
    box->KeyUp(k, {});
    EXPECT_TRUE(box->GetChecked());
    EXPECT_TRUE(box->DialogChar('m'));
    EXPECT_FALSE(box->GetChecked());
    box->MouseEnter();
    box->MouseDown(mbLeft, {}, 3, 3);
    box->MouseUp(mbLeft, {}, 3, 3);
    EXPECT_TRUE(box->GetChecked());
    box->SetReadOnly(true);
    box->MouseDown(mbLeft, {}, 3, 3);
    box->MouseUp(mbLeft, {}, 3, 3);
    EXPECT_TRUE(box->GetChecked());
    TAccessibleInfo info = box->GetAccessibleInfo();
    EXPECT_EQ(info.Role, TAccessibleRole::CheckBox);
    EXPECT_EQ(info.Name, "Monday");
    EXPECT_TRUE(info.Checked);
}

TEST_F(TRadChkFixture, DottedRectangleAroundTheCaptionOnceTheKeyboardMovesTheFocus) {
    form->SetBounds(0, 0, 200, 80);
    form->Show();
    auto* box = Make<TUiCheckBox>();
    box->SetCaption("Monday");
    auto* other = Make<TUiCheckBox>();
    other->SetTop(40);
    ASSERT_TRUE(realinput::Activate(form->GetWidget()));
    const auto rest = Render(box);
    auto changed = [&](const TBitmap& b) {
        std::vector<TPoint> px;
        for (int y = 0; y < b.GetHeight(); ++y)
            for (int x = 0; x < b.GetWidth(); ++x)
                if (b.GetPixel(x, y) != rest->GetPixel(x, y)) px.push_back(TPoint(x, y));
        return px;
    };
    box->SetFocus();  // focus from a click or the program: the window's cues are still hidden
    EXPECT_TRUE(changed(*Render(box)).empty());
    other->SetFocus();
    realinput::Key(Qt::Key_Backtab, Qt::ShiftModifier);  // a key on the other box
    ASSERT_TRUE(box->Focused());
    // Every other pixel of a frame one pixel outside the caption, which starts after the
    // glyph and its gap of 4 (x = 18) on the first row inside the control (y = 1).
    const auto focused = Render(box);
    const std::vector<TPoint> px = changed(*focused);
    ASSERT_FALSE(px.empty());
    int right = 0, bottom = 0;
    for (const TPoint& p : px) {
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    EXPECT_GT(right, 18 + 20);
    for (const TPoint& p : px) {
        EXPECT_TRUE(p.x == 17 || p.x == right || p.y == 0 || p.y == bottom) << p.x << "," << p.y;
        EXPECT_EQ(wt::Rgb(focused->GetPixel(p.x, p.y)), 0u) << p.x << "," << p.y;
    }
    EXPECT_EQ(focused->GetPixel(17, 1), 0u);
    EXPECT_EQ(focused->GetPixel(17, 2), rest->GetPixel(17, 2));
    EXPECT_EQ(focused->GetPixel(18, 0), 0u);
    EXPECT_EQ(focused->GetPixel(19, 0), rest->GetPixel(19, 0));
}

TEST_F(TRadChkFixture, RadioKeyboardSelects) {
    form->Show();
    auto* a = Make<TUiRadioButton>();
    auto* b = Make<TUiRadioButton>();
    b->SetFocus();  // focus without the mouse checks
    EXPECT_TRUE(b->GetChecked());
    int before = clicks;
    Word k = VK_DOWN;
    b->KeyDown(k, {});
    EXPECT_EQ(k, 0);
    EXPECT_EQ(clicks, before + 1);
    (void)a;
}

TEST_F(TRadChkFixture, AutoSize) {
    auto* box = Make<TUiCheckBox>();
    box->SetCaption("Пн.");
    TBitmap probe(1, 1);
    TSize text = probe.GetCanvas()->TextExtent("Пн.");
    EXPECT_EQ(box->GetWidth(), text.cx + 2 + 13 + 4);
    EXPECT_EQ(box->GetHeight(), std::max(15, text.cy + 2));
    // The glyph's edge stays put when the glyph is at the right.
    box->SetAlignment(taLeftJustify);
    box->SetBounds(100, 0, box->GetWidth(), box->GetHeight());
    int right = box->GetLeft() + box->GetWidth();
    box->SetCaption("Вторник");
    EXPECT_EQ(box->GetLeft() + box->GetWidth(), right);
}

TEST_F(TRadChkFixture, CustomStripGlyphSize) {
    auto* r = Make<TUiRadioButton>();
    TBitmap strip(54, 13);
    r->SetCustomGlyphs(&strip);
    EXPECT_TRUE(r->GetUseCustomGlyphs());
    EXPECT_EQ(r->GetGlyphWidth(), 9);
    EXPECT_EQ(r->GetGlyphHeight(), 13);
}

TEST_F(TRadChkFixture, FlatCheckGlyphPixels) {
    auto* box = Make<TUiCheckBox>();
    box->SetHotTrack(true);
    box->SetThemeAware(false);
    box->SetCaption("");
    box->SetBounds(0, 0, 40, 17);
    box->SetState(cbChecked);
    auto b = Render(box);
    // Glyph at (0, 2): a frame in FrameColor, the fill, and the mark in the highlight colour.
    EXPECT_EQ(wt::Px(*b, 0, 2), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 12, 14), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 1, 3), wt::Rgb(clWindow));
    // Mark cell (3, 5) of the inner rectangle (1, 3): pixel (1 - 1 + 3, 3 - 1 + 5).
    EXPECT_EQ(wt::Px(*b, 3, 7), wt::Rgb(clHighlight));
    EXPECT_EQ(wt::Px(*b, 9, 5), wt::Rgb(clHighlight));
    box->SetState(cbGrayed);
    b = Render(box);
    EXPECT_EQ(wt::Px(*b, 6, 8), wt::Rgb(clHighlight));
    EXPECT_EQ(wt::Px(*b, 2, 4), wt::Rgb(clWindow));
    box->SetEnabled(false);
    b = Render(box);
    EXPECT_EQ(wt::Px(*b, 6, 8), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 2, 4), wt::Rgb(clBtnFace));
}

TEST_F(TRadChkFixture, FlatRadioGlyphPixels) {
    auto* r = Make<TUiRadioButton>();
    r->SetHotTrack(true);
    r->SetThemeAware(false);
    r->SetCaption("");
    r->SetBounds(0, 0, 40, 17);
    r->SetChecked(true);
    auto b = Render(r);
    // Glyph at (0, 2). Corners take the control's colour, the ring the frame colour, the dot
    // the highlight colour.
    EXPECT_EQ(wt::Px(*b, 0, 2), wt::Rgb(clBtnFace));
    EXPECT_EQ(wt::Px(*b, 4, 3), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 6, 3), LighterColor(clBtnShadow, 10));
    EXPECT_EQ(wt::Px(*b, 6, 8), wt::Rgb(clHighlight));
    EXPECT_EQ(wt::Px(*b, 2, 8), wt::Rgb(clWindow));
}

TEST_F(TRadChkFixture, ClassicGlyphs) {
    auto* box = Make<TUiCheckBox>();
    box->SetThemeAware(false);
    box->SetCaption("");
    box->SetBounds(0, 0, 40, 17);
    box->SetChecked(true);
    auto b = Render(box);
    EXPECT_EQ(wt::Px(*b, 0, 5), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 1, 5), wt::Rgb(cl3DDkShadow));
    EXPECT_EQ(wt::Px(*b, 12, 5), wt::Rgb(clBtnHighlight));
    EXPECT_EQ(wt::Px(*b, 3 + 6, 2 + 3), wt::Rgb(clWindowText));  // mark row 0, column 6
    EXPECT_EQ(wt::Px(*b, 3, 2 + 3), wt::Rgb(clWindow));
}
