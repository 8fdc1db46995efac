// The page control: pages with hidden tabs switched from code (the main window's way), pages
// with visible tabs switched with the order of the changing, show, hide and change events,
// vetoes, Ctrl+Tab typed inside nested page controls, closing and moving pages, and the two
// page errors.
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

#include "platform/sys/GuiThread.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "support/RealInput.h"
#include "widgets/UiTabs.h"

namespace {

struct Pages {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TUiPageControl* Control = nullptr;
    std::vector<TUiTabSheet*> Sheets;
    std::vector<std::string> Log;

    Pages(int count, bool tabsVisible, int width = 867, int height = 580) {
        Form->SetBounds(0, 0, width + 20, height + 20);
        Control = new TUiPageControl(Form.get());
        Control->SetParent(Form.get());
        Control->SetBounds(0, 0, width, height);
        for (int i = 0; i < count; ++i) {
            auto* p = new TUiTabSheet(Form.get());
            p->SetCaption("Page" + std::to_string(i));
            p->SetTabVisible(tabsVisible);
            p->SetPageControl(Control);
            p->OnShow = [this, i](TObject*) { Log.push_back("show" + std::to_string(i)); };
            p->OnHide = [this, i](TObject*) { Log.push_back("hide" + std::to_string(i)); };
            Sheets.push_back(p);
        }
        Control->OnChanging = [this](TObject*, int n, bool&) { Log.push_back("changing" + std::to_string(n)); };
        Control->OnChange = [this](TObject*) { Log.push_back("change"); };
        Control->OnPageChange = [this](TObject*) { Log.push_back("pagechange"); };
    }
    std::string Events() {
        std::string s;
        for (auto& e : Log) s += (s.empty() ? "" : " ") + e;
        Log.clear();
        return s;
    }
};

}  // namespace

TEST(TabsPages, HiddenTabsLeaveTheWholeCardToThePages) {
    Pages p(9, false);
    p.Control->SetActivePageIndex(4);
    EXPECT_EQ(p.Control->GetTabs().Count(), 0);
    EXPECT_EQ(p.Control->GetFixedDimension(), 0);
    EXPECT_EQ(p.Control->DisplayRect(), TRect(1, 1, 864, 577));
    EXPECT_EQ(p.Sheets[4]->GetBoundsRect(), TRect(1, 1, 864, 577));
    EXPECT_EQ(p.Control->TabAtPos(10, 5), -1);
}

TEST(TabsPages, HiddenTabPageIsShownFromCodeWithoutChangingEvents) {
    Pages p(9, false);
    p.Control->SetActivePageIndex(0);
    p.Events();
    p.Control->SetActivePageIndex(8);
    EXPECT_EQ(p.Events(), "show8 hide0 pagechange");
    EXPECT_EQ(p.Control->GetActivePageIndex(), 8);
    EXPECT_EQ(p.Control->GetActivePage(), p.Sheets[8]);
    EXPECT_EQ(p.Control->GetTabIndex(), -1);
    EXPECT_TRUE(p.Sheets[8]->GetVisible());
    EXPECT_FALSE(p.Sheets[0]->GetVisible());

    // Out of range leaves the page shown.
    p.Control->SetActivePageIndex(-1);
    p.Control->SetActivePageIndex(9);
    EXPECT_EQ(p.Control->GetActivePageIndex(), 8);
    EXPECT_TRUE(p.Sheets[8]->GetVisible());
    EXPECT_EQ(p.Events(), "");

    // The page shown again: nothing of the control changes, and it does not repaint.
    p.Form->Show();
    QApplication::processEvents();
    int paints = 0;
    p.Control->OnPaintBackground = [&](TObject*, TCanvas*, const TRect&, bool&) { ++paints; };
    p.Control->SetActivePageIndex(8);
    QApplication::processEvents();
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(p.Events(), "pagechange");
}

TEST(TabsPages, VisibleTabsSwitchWithEventsInOrder) {
    Pages p(3, true, 400, 300);
    p.Control->SetActivePageIndex(0);
    EXPECT_EQ(p.Events(), "changing0 show0 change pagechange");
    EXPECT_EQ(p.Control->GetTabIndex(), 0);

    p.Control->SetActivePageIndex(2);
    EXPECT_EQ(p.Events(), "changing2 show2 hide0 change pagechange");
    EXPECT_EQ(p.Control->GetTabIndex(), 2);

    // A veto keeps the page and raises nothing further; the refused page stays hidden.
    p.Control->OnChanging = [&](TObject*, int n, bool& allow) {
        p.Log.push_back("changing" + std::to_string(n));
        allow = false;
    };
    p.Control->SetActivePageIndex(1);
    EXPECT_EQ(p.Events(), "changing1");
    EXPECT_EQ(p.Control->GetActivePageIndex(), 2);
    EXPECT_FALSE(p.Sheets[1]->GetVisible());
    p.Control->SetTabIndex(0);
    EXPECT_EQ(p.Control->GetTabIndex(), 2);
}

TEST(TabsPages, DisabledTabIsNotSelectedFromCode) {
    Pages p(3, true, 400, 300);
    p.Control->SetActivePageIndex(0);
    p.Sheets[1]->SetTabEnabled(false);
    p.Events();
    p.Control->SetTabIndex(1);
    EXPECT_EQ(p.Control->GetTabIndex(), 0);
    EXPECT_EQ(p.Events(), "");
}

TEST(TabsPages, CtrlTabFromAnyControlInsideTurnsTheInnermostPages) {
    // As on the main window: pages with hidden tabs, one of them holding pages with tabs.
    Pages outer(2, false, 500, 400);
    outer.Control->SetActivePageIndex(0);
    auto* inner = new TUiPageControl(outer.Form.get());
    inner->SetParent(outer.Sheets[0]);
    inner->SetBounds(0, 0, 400, 300);
    std::vector<TEdit*> edits;
    for (int i = 0; i < 3; ++i) {
        auto* page = new TUiTabSheet(outer.Form.get());
        page->SetCaption("Inner" + std::to_string(i));
        page->SetPageControl(inner);
        edits.push_back(new TEdit(outer.Form.get()));
        edits.back()->SetParent(page);
    }
    inner->SetActivePageIndex(0);
    outer.Form->Show();
    ASSERT_TRUE(realinput::Activate(outer.Form->GetWidget()));
    edits[0]->SetFocus();

    // Each turn hands the focus to the first control of the page shown.
    realinput::Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(inner->GetActivePageIndex(), 1);
    EXPECT_EQ(outer.Form->GetActiveControl(), edits[1]);
    for (int i = 0; i < 2; ++i) realinput::Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(inner->GetActivePageIndex(), 2);
    EXPECT_EQ(outer.Control->GetActivePageIndex(), 0);
    // With the focus on the strip itself, too.
    inner->SetFocus();
    realinput::Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(inner->GetActivePageIndex(), 0);
    EXPECT_EQ(inner->FindNextPage(nullptr, false, true), inner->Pages(2));
    // The outer pages have no tab to turn to.
    EXPECT_EQ(outer.Control->FindNextPage(outer.Sheets[0], true, true), nullptr);
}

TEST(TabsPages, TabListFollowsThePages) {
    Pages p(4, true, 400, 300);
    p.Sheets[1]->SetTabVisible(false);
    p.Control->SetActivePage(p.Sheets[2]);
    EXPECT_EQ(p.Control->GetTabs().Count(), 3);
    EXPECT_EQ(p.Sheets[2]->GetTabIndex(), 1);
    EXPECT_EQ(p.Sheets[1]->GetTabIndex(), -1);
    EXPECT_EQ(p.Control->GetTabIndex(), 1);
    p.Sheets[3]->SetCaption("Renamed");
    EXPECT_EQ(p.Control->GetTabs().Items(2).Caption, "Renamed");
    // Hiding a tab before the active one keeps the active page's tab selected.
    p.Sheets[0]->SetTabVisible(false);
    EXPECT_EQ(p.Control->GetTabIndex(), 0);
    EXPECT_EQ(p.Control->GetActivePage(), p.Sheets[2]);
}

TEST(TabsPages, PageErrorsCarryTheirTexts) {
    Pages p(3, true, 400, 300);
    try {
        p.Sheets[0]->SetPageIndex(3);
        FAIL();
    } catch (const EUiTabControlError& e) {
        EXPECT_STREQ(e.what(), "3 is an invalid PageIndex value. PageIndex must be between 0 and 2");
    }
    try {
        p.Sheets[0]->SetVisible(true);
        FAIL();
    } catch (const EUiTabControlError& e) {
        EXPECT_STREQ(e.what(), "You cannot change the Visible property of a page");
    }
    EXPECT_THROW(p.Sheets[0]->SetPageIndex(-1), EListError);
}

TEST(TabsPages, MovingAPageReportsTheOrderChange) {
    Pages p(3, true, 400, 300);
    int from = -1, to = -1;
    p.Control->OnTabOrderChange = [&](TObject*, int o, int n) {
        from = o;
        to = n;
    };
    p.Sheets[0]->SetPageIndex(2);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 2);
    EXPECT_EQ(p.Control->Pages(2), p.Sheets[0]);
    EXPECT_EQ(p.Control->GetTabs().Items(2).Caption, "Page0");
}

TEST(TabsPages, ClosingPagesSelectsTheNeighbour) {
    Pages p(3, true, 400, 300);
    p.Control->SetShowCloseButton(true);
    p.Control->SetActivePageIndex(0);
    // Without an OnClose handler nothing closes.
    p.Control->CloseButtonClick();
    EXPECT_EQ(p.Control->PageCount(), 3);

    p.Control->OnClose = [](TObject*, bool& allow) { allow = true; };
    p.Control->CloseButtonClick();
    ASSERT_EQ(p.Control->PageCount(), 2);
    EXPECT_EQ(p.Control->GetActivePage(), p.Sheets[1]);
    EXPECT_EQ(p.Control->GetTabIndex(), 0);
    p.Control->CloseButtonClick();
    p.Control->CloseButtonClick();
    EXPECT_EQ(p.Control->PageCount(), 0);
    EXPECT_EQ(p.Control->GetActivePage(), nullptr);
    EXPECT_EQ(p.Control->GetActivePageIndex(), -1);
}

TEST(TabsPages, AnExceptionInOnShowDoesNotStopTheSwitch) {
    Pages p(2, false, 400, 300);
    int handled = 0;
    sys::SetExceptionHandler([&](std::exception_ptr) { ++handled; });
    p.Sheets[1]->OnShow = [](TObject*) { throw std::runtime_error("boom"); };
    p.Control->SetActivePageIndex(1);
    EXPECT_EQ(p.Control->GetActivePageIndex(), 1);
    EXPECT_EQ(handled, 1);
    sys::SetExceptionHandler(nullptr);
}

TEST(TabsPages, LoadingShowsTheStreamedActivePage) {
    Pages p(3, true, 400, 300);
    auto* loaded = new TUiPageControl(p.Form.get());
    loaded->SetParent(p.Form.get());
    loaded->BeginLoading();
    std::vector<TUiTabSheet*> sheets;
    for (int i = 0; i < 3; ++i) {
        auto* s = new TUiTabSheet(p.Form.get());
        s->SetCaption("L" + std::to_string(i));
        s->SetPageControl(loaded);
        sheets.push_back(s);
    }
    int changes = 0;
    loaded->OnChange = [&](TObject*) { ++changes; };
    loaded->OnChanging = [&](TObject*, int, bool&) { ++changes; };
    loaded->SetActivePage(sheets[2]);
    loaded->SetTabIndex(1);  // stored only
    EXPECT_EQ(loaded->GetActivePageIndex(), 2);
    loaded->EndLoading();
    EXPECT_EQ(loaded->GetActivePageIndex(), 2);
    EXPECT_EQ(loaded->GetTabIndex(), 2);
    EXPECT_TRUE(sheets[2]->GetVisible());
    EXPECT_EQ(changes, 0);  // loading raises no changing or change events

    // A default page wins over the streamed one.
    auto* other = new TUiPageControl(p.Form.get());
    other->SetParent(p.Form.get());
    other->BeginLoading();
    std::vector<TUiTabSheet*> more;
    for (int i = 0; i < 2; ++i) {
        auto* s = new TUiTabSheet(p.Form.get());
        s->SetPageControl(other);
        more.push_back(s);
    }
    other->SetActivePage(more[0]);
    other->SetActivePageDefault(more[1]);
    other->EndLoading();
    EXPECT_EQ(other->GetActivePageIndex(), 1);
    delete more[1];
    EXPECT_EQ(other->GetActivePageDefault(), nullptr);
}

TEST(TabsPages, APageGivenTheControlAsParentJoinsIt) {
    Pages p(2, true, 400, 300);
    auto* extra = new TUiTabSheet(p.Form.get());
    extra->SetCaption("Extra");
    extra->SetParent(p.Control);
    EXPECT_EQ(extra->GetPageControl(), p.Control);
    EXPECT_EQ(p.Control->PageCount(), 3);
    EXPECT_EQ(p.Control->GetTabs().Items(2).Caption, "Extra");
    extra->SetParent(p.Form.get());
    EXPECT_EQ(extra->GetPageControl(), nullptr);
    EXPECT_EQ(p.Control->PageCount(), 2);
}
