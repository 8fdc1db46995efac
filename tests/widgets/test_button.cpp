// The push button under injected mouse and keys, its groups and its painted look.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "platform/ui/Forms.h"
#include "widgets/UiButton.h"

namespace {
struct TButtonFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    int clicks = 0;

    TUiButton* Make(int left = 0) {
        auto* b = new TUiButton(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, 0, 75, 25);
        b->OnClick = [this](TObject*) { ++clicks; };
        return b;
    }
    void Key(TUiButton* b, Word key, bool down) {
        Word k = key;
        if (down)
            b->KeyDown(k, {});
        else
            b->KeyUp(k, {});
    }
    std::unique_ptr<TBitmap> Render(TUiButton* b) {
        auto bmp = wt::Canvas(b->GetWidth(), b->GetHeight(), clFuchsia);
        b->PaintTo(*bmp->GetCanvas(), 0, 0);
        return bmp;
    }
};
}  // namespace

TEST_F(TButtonFixture, MousePressAndRelease) {
    form->Show();
    TUiButton* b = Make();
    b->MouseDown(mbLeft, {}, 10, 10);
    EXPECT_TRUE(b->IsPressed());
    EXPECT_TRUE(b->Focused());
    b->MouseUp(mbLeft, {}, 10, 10);
    EXPECT_FALSE(b->IsPressed());
    EXPECT_EQ(clicks, 1);
}

TEST_F(TButtonFixture, DraggingOutAndBackIn) {
    form->Show();
    TUiButton* b = Make();
    b->MouseDown(mbLeft, {}, 10, 10);
    b->MouseMove({}, 100, 10);
    EXPECT_FALSE(b->IsPressed());
    b->MouseMove({}, 10, 10);
    EXPECT_TRUE(b->IsPressed());
    b->MouseMove({}, 100, 10);
    b->MouseUp(mbLeft, {}, 100, 10);
    EXPECT_EQ(clicks, 0);
    // The bottom row counts as inside while moving, but a release there is no click.
    b->MouseDown(mbLeft, {}, 10, 10);
    b->MouseMove({}, 10, 25);
    EXPECT_TRUE(b->IsPressed());
    b->MouseUp(mbLeft, {}, 10, 25);
    EXPECT_EQ(clicks, 0);
}

TEST_F(TButtonFixture, SpaceBar) {
    form->Show();
    TUiButton* b = Make();
    TUiButton* other = Make(100);
    b->SetFocus();
    Key(b, VK_SPACE, true);
    EXPECT_TRUE(b->IsPressed());
    Key(b, VK_SPACE, false);
    EXPECT_EQ(clicks, 1);
    // Space down, focus lost, space up: no click.
    Key(b, VK_SPACE, true);
    other->SetFocus();
    EXPECT_FALSE(b->IsPressed());
    Key(b, VK_SPACE, false);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TButtonFixture, EnterGoesToTheActiveButtonEscapeToCancel) {
    form->Show();
    TUiButton* a = Make();
    TUiButton* d = Make(100);
    d->SetDefault(true);
    int defaultClicks = 0, cancelClicks = 0;
    d->OnClick = [&](TObject*) { ++defaultClicks; };
    TUiButton* cancel = Make(200);
    cancel->SetCancel(true);
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    // No push button focused: Enter goes to the default button.
    EXPECT_TRUE(UiDispatchDialogKey(form.get(), VK_RETURN, {}));
    EXPECT_EQ(defaultClicks, 1);
    // A focused push button takes Enter itself.
    a->SetFocus();
    EXPECT_TRUE(a->IsActive());
    EXPECT_FALSE(d->IsActive());
    EXPECT_TRUE(UiDispatchDialogKey(form.get(), VK_RETURN, {}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(defaultClicks, 1);
    EXPECT_TRUE(UiDispatchDialogKey(form.get(), VK_ESCAPE, {}));
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_FALSE(UiDispatchDialogKey(form.get(), VK_ESCAPE, TShiftState{ssShift}));
}

TEST_F(TButtonFixture, AcceleratorAndModalResult) {
    form->Show();
    TUiButton* b = Make();
    b->SetCaption("&Save");
    b->SetModalResult(mrOk);
    EXPECT_TRUE(b->DialogChar('s'));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->GetModalResult(), mrOk);
    EXPECT_FALSE(b->DialogChar('x'));
}

TEST_F(TButtonFixture, Groups) {
    TUiButton* a = Make();
    TUiButton* c = Make(100);
    a->SetDown(true);
    EXPECT_FALSE(a->GetDown());  // no group: no effect
    a->SetGroupIndex(1);
    c->SetGroupIndex(1);
    a->Click();
    EXPECT_TRUE(a->GetDown());
    EXPECT_EQ(a->GetState(), 3);
    a->Click();  // AllowAllUp off: stays down
    EXPECT_TRUE(a->GetDown());
    c->Click();
    EXPECT_TRUE(c->GetDown());
    EXPECT_FALSE(a->GetDown());
    c->SetAllowAllUp(true);
    EXPECT_TRUE(a->GetAllowAllUp());  // the group shares the setting
    c->Click();
    EXPECT_FALSE(c->GetDown());
    EXPECT_EQ(clicks, 4);
}

TEST_F(TButtonFixture, OldStreamFrameFlat) {
    TUiButton* b = Make();
    TUiTextReader reader("FrameFlat = True\n");
    b->DefineProperties(reader);
    EXPECT_TRUE(b->GetHotTrack());
    EXPECT_TRUE(b->GetTransparent());
}

// A number-page button: HotTrack, ThemeAware off, clSilver, on a clBtnFace form.
TEST_F(TButtonFixture, HotTrackLook) {
    form->SetColor(clBtnFace);
    form->Show();
    TUiButton* b = Make();
    b->SetHotTrack(true);
    b->SetThemeAware(false);
    b->SetColor(clSilver);
    b->SetCaption("");
    auto bmp = Render(b);
    TColor ringUL = DarkerColor(clBtnFace, 20), ringLR = LighterColor(clBtnFace, 20);
    EXPECT_EQ(wt::Px(*bmp, 0, 10), ringUL);
    EXPECT_EQ(wt::Px(*bmp, 10, 0), ringUL);
    EXPECT_EQ(wt::Px(*bmp, 74, 10), ringLR);
    EXPECT_EQ(wt::Px(*bmp, 10, 24), ringLR);
    EXPECT_EQ(wt::Px(*bmp, 1, 1), ringUL);
    EXPECT_EQ(wt::Px(*bmp, 73, 23), ringLR);
    // The frame leaves out its corners.
    EXPECT_EQ(wt::Px(*bmp, 1, 10), wt::Rgb(cl3DDkShadow));
    EXPECT_EQ(wt::Px(*bmp, 10, 1), wt::Rgb(cl3DDkShadow));
    EXPECT_EQ(wt::Px(*bmp, 73, 10), wt::Rgb(cl3DDkShadow));
    // The face: a gradient from DarkerColor(silver, 10) down, two darker lines at the bottom.
    EXPECT_EQ(wt::Px(*bmp, 30, 2), DarkerColor(clSilver, 10));
    EXPECT_EQ(wt::Px(*bmp, 30, 21), DarkerColor(clSilver, 20));
    EXPECT_EQ(wt::Px(*bmp, 30, 22), DarkerColor(clSilver, 30));
    EXPECT_GT(GetRValue(wt::Px(*bmp, 30, 20)), GetRValue(wt::Px(*bmp, 30, 2)));

    b->MouseEnter();
    bmp = Render(b);
    EXPECT_EQ(wt::Px(*bmp, 30, 2), BlendColors(clWhite, 0x00149BF0, 190));
    EXPECT_EQ(wt::Px(*bmp, 2, 12), wt::Px(*bmp, 72, 12));
    EXPECT_EQ(wt::Px(*bmp, 30, 10), wt::Px(*bmp, 30, 10));

    b->MouseDown(mbLeft, {}, 10, 10);
    bmp = Render(b);
    EXPECT_EQ(wt::Px(*bmp, 5, 5), DarkerColor(clSilver, 10));
    EXPECT_EQ(wt::Px(*bmp, 30, 22), DarkerColor(clSilver, 10));
    b->MouseUp(mbLeft, {}, 10, 10);
}

TEST_F(TButtonFixture, ClassicLookAndDownPattern) {
    form->Show();
    TUiButton* b = Make();
    b->SetCaption("");
    auto bmp = Render(b);
    EXPECT_EQ(wt::Px(*bmp, 0, 10), wt::Rgb(clBtnHighlight));
    EXPECT_EQ(wt::Px(*bmp, 74, 10), wt::Rgb(cl3DDkShadow));
    EXPECT_EQ(wt::Px(*bmp, 73, 10), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*bmp, 30, 12), wt::Rgb(clBtnFace));
    b->SetGroupIndex(2);
    b->SetDown(true);
    bmp = Render(b);
    // Lowered frame, then a checked pattern of grey and face.
    EXPECT_EQ(wt::Px(*bmp, 0, 10), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*bmp, 1, 10), wt::Rgb(cl3DDkShadow));
    TColor a = wt::Px(*bmp, 10, 10), c = wt::Px(*bmp, 11, 10);
    EXPECT_NE(a, c);
    EXPECT_TRUE(a == TColor(0xC0C0C0) || c == TColor(0xC0C0C0));
    TAccessibleInfo info = b->GetAccessibleInfo();
    EXPECT_EQ(info.Role, TAccessibleRole::PushButton);
    EXPECT_TRUE(info.Checked);
    EXPECT_EQ(info.Action, TAccessibleAction::Toggle);  // a grouped button stays down
}
