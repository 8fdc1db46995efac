// The tab control on a real form with the tool's font: the settings strip's depth, hit testing
// through the region cache, selection by mouse and keys, hot tracking with tab hints, the
// scroller's auto-repeat, tab dragging, the tab menu.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sys/Clock.h"
#include "platform/ui/Forms.h"
#include "widgets/UiTabs.h"

namespace {

class TabsControl : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterApplicationFonts();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 500, 300);
        Tabs = new TUiCustomTabControl(Form.get());
        Tabs->SetParent(Form.get());
        Tabs->SetBounds(10, 20, 300, 100);
    }
    void Add(std::initializer_list<const char*> captions) {
        for (const char* c : captions) Tabs->GetTabs().Add(c);
        Tabs->TabsChanged();
    }
    TPoint Inside(int tab) {
        TRect r = Tabs->TabRect(tab);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    std::unique_ptr<TForm> Form;
    TUiCustomTabControl* Tabs = nullptr;
};

}  // namespace

TEST_F(TabsControl, SettingsStripIsTwentyNineDeepInTahomaNineteen) {
    TFont font;
    font.SetName("Tahoma");
    font.SetHeight(-19);
    ASSERT_EQ(FontFamilyInUse(font), "Tahoma");
    auto* conf = new TUiPageControl(Form.get());
    conf->SetParent(Form.get());
    Form->SetBounds(0, 0, 900, 600);
    conf->SetBounds(0, 0, 867, 580);
    conf->SetFont(font);
    for (const char* c : {"Основные параметры", "Входы/Выходы", "Доп. оборудование"}) {
        auto* p = new TUiTabSheet(Form.get());
        p->SetCaption(c);
        p->SetPageControl(conf);
    }
    conf->SetActivePageIndex(2);
    EXPECT_EQ(conf->GetFixedDimension(), 29);
    EXPECT_EQ(conf->GetTabIndex(), 2);
    EXPECT_EQ(conf->TabAreaRect().Height(), 29);
    EXPECT_FALSE(conf->GetTabsScrolled());
}

TEST_F(TabsControl, HitTestingFollowsTheShapesAndTheSelection) {
    Add({"One", "Two", "Three"});
    Tabs->SetTabIndex(0);
    const TRect r0 = Tabs->TabRect(0), r1 = Tabs->TabRect(1);
    ASSERT_LT(r1.Left, r0.Right - 4);  // slanted tabs overlap
    // Low in the overlap the selected tab lies on top.
    EXPECT_EQ(Tabs->TabAtPos(r0.Right - 3, r0.Bottom - 2), 0);
    // Above tab 0's slant the point belongs to its neighbour.
    EXPECT_EQ(Tabs->TabAtPos(r0.Right - 2, r0.Top + 1), 1);
    Tabs->SetTabIndex(1);
    EXPECT_EQ(Tabs->TabAtPos(r0.Right - 3, r0.Bottom - 2), 1);
    // The card and the strip beyond the last tab hold no tab.
    EXPECT_EQ(Tabs->TabAtPos(250, 5), -1);
    EXPECT_EQ(Tabs->TabAtPos(50, 60), -1);
}

TEST_F(TabsControl, RegionCacheKeepsTheLastRegion) {
    Add({"One", "Two", "Three"});
    Tabs->SetTabIndex(0);
    const TPoint p0 = Inside(0), p2 = Inside(2);
    Tabs->TabAtPos(p0.x, p0.y);
    const int made = Tabs->GetRegionsCreated();
    Tabs->TabAtPos(p0.x, p0.y);
    EXPECT_EQ(Tabs->GetRegionsCreated(), made);  // cached
    Tabs->TabAtPos(p2.x, p2.y);
    EXPECT_EQ(Tabs->GetRegionsCreated(), made + 1);
    EXPECT_EQ(Tabs->GetRegionCache().Count(), 1);
    Tabs->TabAtPos(p0.x, p0.y);
    EXPECT_EQ(Tabs->GetRegionsCreated(), made + 2);  // capacity 1 forgot it

    try {
        Tabs->SetRegionCacheSize(0);
        FAIL();
    } catch (const EUiTabControlError& e) {
        EXPECT_STREQ(e.what(), "Capacity must be -1 (to cache all regions) or > 0");
    }
    Tabs->SetRegionCacheSize(-1);
    Tabs->TabAtPos(p2.x, p2.y);
    Tabs->TabAtPos(p0.x, p0.y);
    const int all = Tabs->GetRegionsCreated();
    Tabs->TabAtPos(p2.x, p2.y);
    EXPECT_EQ(Tabs->GetRegionsCreated(), all);
}

TEST_F(TabsControl, RegionCacheOrdersByUse) {
    TUiTabRegionCache cache(2);
    auto region = [](int l) { return std::make_unique<TRegion>(TRegion::FromRect(l, 0, l + 5, 5)); };
    cache.Add(TRect(0, 0, 5, 5), region(0));
    cache.Add(TRect(10, 0, 15, 5), region(10));
    cache.Add(TRect(0, 0, 5, 5), region(0));  // moves to the front
    cache.Add(TRect(20, 0, 25, 5), region(20));
    EXPECT_NE(cache.Find(TRect(0, 0, 5, 5)), nullptr);
    EXPECT_EQ(cache.Find(TRect(10, 0, 15, 5)), nullptr);
    cache.SetCapacity(1);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_NE(cache.Find(TRect(20, 0, 25, 5)), nullptr);
}

TEST_F(TabsControl, ClicksSelectEnabledTabs) {
    Add({"One", "Two", "Three"});
    Tabs->GetTabs().Items(2).Enabled = false;
    Tabs->TabsChanged();
    Tabs->SetTabIndex(0);
    int clicks = 0;
    Tabs->OnTabClick = [&](TObject*) { ++clicks; };
    TPoint p = Inside(1);
    Tabs->MouseDown(mbLeft, TShiftState{ssLeft}, p.x, p.y);
    Tabs->MouseUp(mbLeft, TShiftState{}, p.x, p.y);
    EXPECT_EQ(Tabs->GetTabIndex(), 1);
    EXPECT_EQ(clicks, 1);

    p = Inside(2);
    Tabs->MouseDown(mbLeft, TShiftState{ssLeft}, p.x, p.y);
    Tabs->MouseUp(mbLeft, TShiftState{}, p.x, p.y);
    EXPECT_EQ(Tabs->GetTabIndex(), 1);
    EXPECT_EQ(Tabs->GetMouseDownTab(), 2);
    EXPECT_EQ(clicks, 1);

    // The form is not shown, so the control cannot take the focus: a click on the selected
    // tab does nothing further.
    p = Inside(1);
    Tabs->MouseDown(mbLeft, TShiftState{ssLeft}, p.x, p.y);
    Tabs->MouseUp(mbLeft, TShiftState{}, p.x, p.y);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TabsControl, KeysStepOverRefusedTabs) {
    Add({"A", "B", "C", "D"});
    Tabs->GetTabs().Items(2).Enabled = false;
    Tabs->TabsChanged();
    Tabs->SetTabIndex(1);
    std::vector<int> asked;
    int clicks = 0;
    Tabs->OnChanging = [&](TObject*, int n, bool&) { asked.push_back(n); };
    Tabs->OnTabClick = [&](TObject*) { ++clicks; };
    Word key = VK_RIGHT;
    Tabs->KeyDown(key, TShiftState{});
    EXPECT_EQ(Tabs->GetTabIndex(), 3);
    EXPECT_EQ(asked, std::vector<int>{3});  // asked once, not again on selecting
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Tabs->GetKeyboardCuesShown());
    key = VK_RIGHT;
    Tabs->KeyDown(key, TShiftState{});
    EXPECT_EQ(Tabs->GetTabIndex(), 0);  // wraps
    key = VK_END;
    Tabs->KeyDown(key, TShiftState{});
    EXPECT_EQ(Tabs->GetTabIndex(), 3);
    key = VK_HOME;
    Tabs->KeyDown(key, TShiftState{});
    EXPECT_EQ(Tabs->GetTabIndex(), 0);

    // A refusing handler keeps the selection.
    Tabs->OnChanging = [&](TObject*, int, bool& allow) { allow = false; };
    key = VK_LEFT;
    Tabs->KeyDown(key, TShiftState{});
    EXPECT_EQ(Tabs->GetTabIndex(), 0);
}

TEST_F(TabsControl, AcceleratorOfAHiddenTabSelectsNothing) {
    Add({"&Alpha", "&Beta"});
    Tabs->SetTabIndex(0);
    Tabs->GetTabs().Items(1).Visible = false;
    Tabs->TabsChanged();
    EXPECT_FALSE(Tabs->DialogChar('b'));
    EXPECT_EQ(Tabs->GetTabIndex(), 0);
    EXPECT_TRUE(Tabs->DialogChar('a'));
}

TEST_F(TabsControl, HotTrackingFollowsTheMouseAndShowsTabHints) {
    Add({"One", "Two"});
    Tabs->GetTabs().Items(1).Hint = "second tab";
    Tabs->SetHint("strip");
    Tabs->SetTabHints(true);
    Tabs->SetTabIndex(0);
    TPoint p = Inside(1);
    Tabs->MouseMove(TShiftState{}, p.x, p.y);
    EXPECT_EQ(Tabs->GetHotTab(), 1);
    EXPECT_EQ(Tabs->GetHint(), "second tab");
    Tabs->MouseMove(TShiftState{}, 100, 80);  // the card
    EXPECT_EQ(Tabs->GetHotTab(), -1);
    EXPECT_EQ(Tabs->GetHint(), "strip");
    // The timer ends hot tracking once the mouse has left without a move.
    Tabs->MouseMove(TShiftState{}, p.x, p.y);
    EXPECT_EQ(Tabs->GetHotTab(), 1);
    sys::AdvanceMs(60);
    EXPECT_EQ(Tabs->GetHotTab(), -1);
    EXPECT_EQ(Tabs->GetHint(), "strip");
}

TEST_F(TabsControl, ScrollerRepeatsWhileHeld) {
    Add({"First tab", "Second tab", "Third tab", "Fourth tab", "Fifth tab"});
    Tabs->SetBounds(10, 20, 200, 100);
    Tabs->SetTabIndex(0);
    ASSERT_TRUE(Tabs->GetTabsScrolled());
    Tabs->RenderToBitmap();
    TUiTabScroller* scroller = Tabs->GetScroller();
    ASSERT_NE(scroller, nullptr);
    EXPECT_EQ(scroller->GetBoundsRect(), Tabs->GetStrip().ScrollerRect());
    EXPECT_FALSE(scroller->DownLeftEnabled());
    EXPECT_TRUE(scroller->UpRightEnabled());
    int scrolled = 0;
    Tabs->OnScrolledTabs = [&](TObject*) { ++scrolled; };
    const TRect half = scroller->UpRightRect();
    const int x = (half.Left + half.Right) / 2, y = (half.Top + half.Bottom) / 2;
    scroller->MouseDown(mbLeft, TShiftState{ssLeft}, x, y);
    EXPECT_EQ(scrolled, 0);
    sys::AdvanceMs(399);
    EXPECT_EQ(scrolled, 0);
    sys::AdvanceMs(1);
    EXPECT_EQ(scrolled, 1);
    EXPECT_EQ(Tabs->GetFirstVisibleTab(), 1);
    sys::AdvanceMs(100);
    EXPECT_EQ(scrolled, 2);
    scroller->MouseUp(mbLeft, TShiftState{}, x, y);
    EXPECT_EQ(scrolled, 3);
    sys::AdvanceMs(500);
    EXPECT_EQ(scrolled, 3);
    EXPECT_TRUE(scroller->DownLeftEnabled());
    // Once the last tab shows, the forward half still reports each step.
    for (int i = 0; i < 6; ++i) Tabs->ScrollTabs(true);
    EXPECT_FALSE(scroller->UpRightEnabled());
    EXPECT_EQ(scrolled, 9);
}

TEST_F(TabsControl, DraggingATabMovesTheActivePage) {
    auto* pages = new TUiPageControl(Form.get());
    pages->SetParent(Form.get());
    pages->SetBounds(10, 150, 400, 120);
    for (const char* c : {"Alpha", "Beta", "Gamma"}) {
        auto* p = new TUiTabSheet(Form.get());
        p->SetCaption(c);
        p->SetPageControl(pages);
    }
    pages->SetActivePageIndex(0);
    pages->SetAllowTabDragging(true);
    Form->Show();  // a press on the selected tab first takes the focus
    int from = -1, to = -1;
    pages->OnTabOrderChange = [&](TObject*, int o, int n) {
        from = o;
        to = n;
    };
    auto centre = [&](int i) {
        TRect r = pages->TabRect(i);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    TPoint a = centre(0), c = centre(2);
    pages->MouseDown(mbLeft, TShiftState{ssLeft}, a.x, a.y);
    pages->MouseMove(TShiftState{ssLeft}, a.x + 2, a.y);
    EXPECT_FALSE(pages->GetTabDragging());  // within the drag threshold
    pages->MouseMove(TShiftState{ssLeft}, c.x, c.y);
    ASSERT_TRUE(pages->GetTabDragging());
    const TRect indicator = pages->GetDragIndicatorRect();
    EXPECT_EQ(indicator.Width(), 15);
    EXPECT_EQ(indicator.Height(), 8);
    EXPECT_EQ(indicator.Bottom, pages->TabRect(2).Top - 2);
    // Back over itself: refused, no indicator.
    pages->MouseMove(TShiftState{ssLeft}, a.x, a.y);
    EXPECT_TRUE(pages->GetDragIndicatorRect().IsEmpty());
    pages->MouseMove(TShiftState{ssLeft}, c.x, c.y);
    pages->MouseUp(mbLeft, TShiftState{}, c.x, c.y);
    EXPECT_FALSE(pages->GetTabDragging());
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 2);
    EXPECT_EQ(pages->GetActivePage()->GetCaption(), "Alpha");
    EXPECT_EQ(pages->GetActivePageIndex(), 2);
}

TEST_F(TabsControl, HoldingADragBeyondTheStripScrollsIt) {
    Add({"First tab", "Second tab", "Third tab", "Fourth tab", "Fifth tab"});
    Tabs->SetBounds(10, 20, 200, 100);
    Tabs->SetTabIndex(0);
    Tabs->SetAllowTabDragging(true);
    Form->Show();
    ASSERT_TRUE(Tabs->GetTabsScrolled());
    int scrolled = 0;
    Tabs->OnScrolledTabs = [&](TObject*) { ++scrolled; };
    TPoint a = Inside(0);
    Tabs->MouseDown(mbLeft, TShiftState{ssLeft}, a.x, a.y);
    Tabs->MouseMove(TShiftState{ssLeft}, a.x, 70);   // into the card: over no tab
    ASSERT_TRUE(Tabs->GetTabDragging());
    Tabs->MouseMove(TShiftState{ssLeft}, 230, 70);   // right of the control
    sys::AdvanceMs(399);
    EXPECT_EQ(scrolled, 0);
    sys::AdvanceMs(1);
    EXPECT_EQ(scrolled, 1);
    EXPECT_EQ(Tabs->GetFirstVisibleTab(), 1);
    sys::AdvanceMs(300);
    EXPECT_EQ(scrolled, 2);
    Tabs->MouseUp(mbLeft, TShiftState{}, 230, 70);
    sys::AdvanceMs(600);
    EXPECT_EQ(scrolled, 2);
}

TEST_F(TabsControl, TabMenuListsVisibleTabs) {
    Add({"Gamma", "Alpha", "Beta"});
    Tabs->GetTabs().Items(2).Visible = false;
    Tabs->TabsChanged();
    Tabs->SetTabIndex(0);
    std::vector<TUiTabMenuItem> items = UiTabMenuItems(*Tabs, true);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Caption, "Alpha");
    EXPECT_FALSE(items[0].Checked);
    EXPECT_EQ(items[1].Caption, "Gamma");
    EXPECT_TRUE(items[1].Checked);
    EXPECT_EQ(items[1].TabIndex, 0);
}

TEST_F(TabsControl, NoVisibleTabMeansNoSelection) {
    Add({"One", "Two"});
    Tabs->SetTabIndex(1);
    Tabs->GetTabs().Items(0).Visible = false;
    Tabs->GetTabs().Items(1).Visible = false;
    Tabs->TabsChanged();
    Tabs->RenderToBitmap();
    EXPECT_EQ(Tabs->GetTabIndex(), -1);
    EXPECT_EQ(Tabs->TabAtPos(5, 5), -1);
    EXPECT_EQ(Tabs->CardRect(0), TRect(0, 0, 299, 99));
}

TEST_F(TabsControl, HidingTheSelectedTabMovesTheSelectionAtTheNextPaint) {
    Add({"One", "Two", "Three"});
    Tabs->SetTabIndex(1);
    std::vector<int> asked;
    Tabs->OnChanging = [&](TObject*, int n, bool& allow) {
        asked.push_back(n);
        allow = n != 2;
    };
    Tabs->GetTabs().Items(1).Visible = false;
    Tabs->TabsChanged();
    Tabs->RenderToBitmap();
    EXPECT_EQ(asked, (std::vector<int>{2, 0}));
    EXPECT_EQ(Tabs->GetTabIndex(), 0);
}

TEST_F(TabsControl, CloseButtonsCloseOnlyWhenReleasedInside) {
    auto* pages = new TUiPageControl(Form.get());
    pages->SetParent(Form.get());
    pages->SetBounds(10, 150, 400, 120);
    for (const char* c : {"Alpha", "Beta", "Gamma"}) {
        auto* p = new TUiTabSheet(Form.get());
        p->SetCaption(c);
        p->SetPageControl(pages);
    }
    pages->SetShowCloseButton(true);
    pages->SetShowCloseButtonOnActiveTab(true);
    pages->SetActivePageIndex(1);
    pages->RenderToBitmap();
    int asked = 0;
    pages->OnClose = [&](TObject*, bool& allow) {
        ++asked;
        allow = true;
    };

    TUiTabControlCloseButton* strip = pages->GetCloseButton();
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->GetVisible());
    EXPECT_EQ(strip->GetBoundsRect(), pages->GetStrip().CloseButtonRect());
    strip->MouseDown(mbLeft, TShiftState{ssLeft}, 3, 3);
    strip->MouseMove(TShiftState{ssLeft}, 60, 60);
    EXPECT_FALSE(strip->GetPressed());
    strip->MouseUp(mbLeft, TShiftState{}, 60, 60);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(pages->PageCount(), 3);

    // The active tab's own button sits inside the selected tab, in the room kept for it.
    TUiActiveTabCloseButton* onTab = pages->GetActiveTabCloseButton();
    ASSERT_NE(onTab, nullptr);
    EXPECT_TRUE(onTab->GetVisible());
    const TRect tab = pages->TabRect(1), b = onTab->GetBoundsRect();
    EXPECT_EQ(b.Width(), 15);
    EXPECT_EQ(b.Height(), 13);
    EXPECT_TRUE(tab.Contains(TPoint(b.Left, b.Top)) && tab.Contains(TPoint(b.Right - 1, b.Bottom - 1)));
    onTab->MouseDown(mbLeft, TShiftState{ssLeft}, 2, 2);
    onTab->MouseUp(mbLeft, TShiftState{}, 2, 2);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->GetActivePage()->GetCaption(), "Alpha");
}

TEST_F(TabsControl, MenuButtonListsTabsAndSelectsTheChosenOne) {
    Add({"Gamma", "Alpha", "Beta"});
    Tabs->SetShowMenuButton(true);
    Tabs->SetTabIndex(0);
    TUiTabMenuButton* button = Tabs->GetMenuButton();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->GetVisible());
    std::vector<int> asked;
    Tabs->OnChanging = [&](TObject*, int n, bool&) { asked.push_back(n); };
    button->MouseDown(mbLeft, TShiftState{ssLeft}, 2, 2);
    button->MouseUp(mbLeft, TShiftState{}, 2, 2);
    const auto& items = button->GetMenuItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(button->GetMenu()->GetItems()->GetCount(), 3);
    EXPECT_EQ(items[0].Caption, "Alpha");
    EXPECT_TRUE(button->GetMenu()->GetItems()->GetItem(2)->GetChecked());  // "Gamma", selected
    button->GetMenu()->GetItems()->GetItem(1)->Click();  // "Beta"
    EXPECT_EQ(Tabs->GetTabIndex(), 2);
    EXPECT_EQ(asked, std::vector<int>{2});
}
