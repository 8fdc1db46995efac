// Radio groups and check groups: item states, layout, refusals and streamed check states.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "platform/ui/Forms.h"
#include "widgets/UiRadGrp.h"

namespace {
struct TGroupFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);

    template <class T>
    T* Make(std::initializer_list<const char*> items) {
        auto* g = new T(form.get());
        g->SetParent(form.get());
        g->SetBounds(0, 0, 300, 180);
        for (const char* s : items) g->GetItems()->Add(s);
        return g;
    }
};
}  // namespace

TEST_F(TGroupFixture, ItemIndexClampsAndChecks) {
    auto* g = Make<TUiRadioGroup>({"640x480", "320x240", "160x120"});
    int clicks = 0;
    g->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(g->ItemCount(), 3);
    EXPECT_EQ(g->GetItemIndex(), -1);
    g->SetItemIndex(7);
    EXPECT_EQ(g->GetItemIndex(), 2);
    EXPECT_TRUE(g->GetButton(2)->GetChecked());
    EXPECT_EQ(clicks, 1);
    g->SetItemIndex(0);
    EXPECT_TRUE(g->GetButton(0)->GetChecked());
    EXPECT_FALSE(g->GetButton(2)->GetChecked());
    g->SetItemIndex(-5);
    EXPECT_EQ(g->GetItemIndex(), -1);
    EXPECT_FALSE(g->GetButton(0)->GetChecked());
    EXPECT_EQ(clicks, 2);  // selecting -1 fires nothing
}

TEST_F(TGroupFixture, UserClickAsksOnChanging) {
    auto* g = Make<TUiRadioGroup>({"COM", "USB"});
    g->SetItemIndex(0);
    bool allow = false;
    int asked = -1;
    g->OnChanging = [&](TObject*, int index, bool& may) {
        asked = index;
        may = allow;
    };
    g->GetButton(1)->Click();
    EXPECT_EQ(asked, 1);
    // Refused: the previous item is checked again by the group itself.
    EXPECT_EQ(g->GetItemIndex(), 0);
    EXPECT_TRUE(g->GetButton(0)->GetChecked());
    EXPECT_FALSE(g->GetButton(1)->GetChecked());
    g->SetItemIndex(1);  // refused from code too
    EXPECT_EQ(g->GetItemIndex(), 0);
    EXPECT_TRUE(g->GetButton(0)->GetChecked());
    EXPECT_FALSE(g->GetButton(1)->GetChecked());
    allow = true;
    g->GetButton(1)->Click();
    EXPECT_EQ(g->GetItemIndex(), 1);
    EXPECT_FALSE(g->GetButton(0)->GetChecked());
}

TEST_F(TGroupFixture, RefusedWithNoSelectionUnchecks) {
    auto* g = Make<TUiRadioGroup>({"a", "b"});
    g->OnChanging = [](TObject*, int, bool& may) { may = false; };
    g->GetButton(1)->Click();
    EXPECT_EQ(g->GetItemIndex(), -1);
    EXPECT_FALSE(g->GetButton(1)->GetChecked());
}

TEST_F(TGroupFixture, DeletingLinesMovesTheSelection) {
    auto* g = Make<TUiRadioGroup>({"a", "b", "c", "d"});
    g->SetItemIndex(3);
    g->GetItems()->Delete(3);
    g->GetItems()->Delete(2);
    EXPECT_EQ(g->ItemCount(), 2);
    EXPECT_EQ(g->GetItemIndex(), 1);
    EXPECT_TRUE(g->GetButton(1)->GetChecked());
}

TEST_F(TGroupFixture, ColumnsAndLayout) {
    auto* g = Make<TUiCheckGroup>({"Пн.", "Вт.", "Ср.", "Чт.", "Пт.", "Сб.", "Вс."});
    g->SetColumns(0);
    EXPECT_EQ(g->GetColumns(), 1);
    g->SetColumns(20);
    EXPECT_EQ(g->GetColumns(), 16);
    g->SetColumns(7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(g->GetButton(i)->GetTop(), g->GetButton(0)->GetTop());
    EXPECT_LT(g->GetButton(0)->GetLeft(), g->GetButton(1)->GetLeft());
    g->SetColumns(1);
    // Client top 14 (13-pixel font, flat style) + StartYPos 2; rows 17 + 3 apart.
    for (int i = 0; i < 7; ++i) EXPECT_EQ(g->GetButton(i)->GetTop(), 16 + 20 * i);
    EXPECT_EQ(g->GetButton(0)->GetLeft(), 8);
    // A hidden item takes no place.
    g->GetButton(1)->SetVisible(false);
    g->ArrangeButtons();
    EXPECT_EQ(g->GetButton(2)->GetTop(), 36);
}

TEST_F(TGroupFixture, CheckGroupItemStates) {
    auto* g = Make<TUiCheckGroup>({"Пн.", "Вт.", "Ср."});
    std::vector<std::pair<int, TCheckBoxState>> changes;
    g->OnChange = [&](TObject*, int index, TCheckBoxState s) { changes.push_back({index, s}); };
    g->SetItemChecked(1, true);
    EXPECT_TRUE(g->GetItemChecked(1));
    EXPECT_FALSE(g->GetItemChecked(0));
    g->GetButton(2)->Click();
    EXPECT_EQ(g->GetItemState(2), cbChecked);
    g->SetAllowGrayed(true);
    g->GetButton(0)->Click();
    EXPECT_EQ(g->GetItemState(0), cbGrayed);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0], std::make_pair(1, cbChecked));
    EXPECT_EQ(changes[2], std::make_pair(0, cbGrayed));
    g->SetItemEnabled(1, false);
    EXPECT_FALSE(g->GetItemEnabled(1));
    g->SetEnabled(false);
    g->SetEnabled(true);
    EXPECT_TRUE(g->GetItemEnabled(1));  // the group sets every item alike
    EXPECT_THROW(g->GetItemChecked(3), EListError);
}

TEST_F(TGroupFixture, CheckStatesStreamed) {
    auto* g = Make<TUiCheckGroup>({"1", "2", "3", "4", "5", "6", "7"});
    g->SetItemState(2, cbChecked);
    TUiTextWriter w;
    g->DefineProperties(w);
    EXPECT_EQ(w.Text(), "CheckStates = (0 0 1 0 0 0 0)\n");
    auto* loaded = new TUiCheckGroup(form.get());
    loaded->SetParent(form.get());
    loaded->BeginLoading();
    for (int i = 0; i < 7; ++i) loaded->GetItems()->Add("x");
    TUiTextReader r("CheckStates = (0 1 0 0 0 0 2)\n");
    loaded->DefineProperties(r);
    loaded->EndLoading();
    ASSERT_EQ(loaded->ItemCount(), 7);
    EXPECT_EQ(loaded->GetItemState(1), cbChecked);
    EXPECT_EQ(loaded->GetItemState(6), cbGrayed);
    EXPECT_EQ(loaded->GetItemState(0), cbUnchecked);
}

TEST_F(TGroupFixture, ItemFontAndHeight) {
    auto* g = Make<TUiRadioGroup>({"a", "b"});
    EXPECT_EQ(g->GetItemHeight(), 17);
    EXPECT_FALSE(g->IsItemFontStored());
    TFont f = *g->GetFont();
    f.SetHeight(-11);
    f.SetName("Tahoma");
    f.SetStyle({fsBold});
    g->SetFont(f);
    // The item font follows and the rows take its line height, but it still counts as unchanged.
    EXPECT_EQ(g->GetItemHeight(), GetFontLineHeight(f));
    EXPECT_FALSE(g->IsItemFontStored());
    EXPECT_TRUE(g->GetButton(0)->GetFont()->GetStyle().Contains(fsBold));
}

TEST_F(TGroupFixture, ArrowKeysMoveBetweenRadioItems) {
    form->Show();
    auto* g = Make<TUiRadioGroup>({"a", "b", "c"});
    g->SetItemIndex(0);
    g->GetButton(0)->SetFocus();
    Word k = VK_DOWN;
    g->GetButton(0)->KeyDown(k, {});
    EXPECT_EQ(g->GetItemIndex(), 1);
    k = VK_UP;
    g->GetButton(1)->KeyDown(k, {});
    k = VK_UP;
    g->GetButton(0)->KeyDown(k, {});
    EXPECT_EQ(g->GetItemIndex(), 2);  // wrapped
    g->SetReadOnly(true);
    k = VK_DOWN;
    g->GetButton(2)->KeyDown(k, {});
    EXPECT_EQ(g->GetItemIndex(), 2);
    EXPECT_EQ(k, 0);
}
