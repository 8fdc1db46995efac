// What a screen reader finds on the styled controls: each control's own action comes first and
// changes the control's one state, meters and bars report their level, and a tab strip's tabs
// are page tabs that switch the pages.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QWidget>
#include <memory>

#include "platform/ui/Forms.h"
#include "support/TestSupport.h"
#include "widgets/UiBorder.h"
#include "widgets/UiButton.h"
#include "widgets/UiPrgres.h"
#include "widgets/UiRadChk.h"
#include "widgets/UiTabs.h"

namespace {

struct WidgetAccessibility : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    void SetUp() override {
        form->SetBounds(0, 0, 600, 400);
        form->Show();
    }
    template <class T>
    T* Make(int left, int top, int width, int height) {
        auto* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(left, top, width, height);
        return c;
    }
    static QAccessibleInterface* Acc(TControl* c) { return QAccessible::queryAccessibleInterface(c->GetWidget()); }
    static QString FirstAction(TControl* c) { return Acc(c)->actionInterface()->actionNames().value(0); }
};

}  // namespace

TEST_F(WidgetAccessibility, ButtonsPressAndCheckBoxesToggleFirst) {
    auto* button = Make<TUiButton>(10, 10, 100, 30);
    button->SetCaption("Добавить");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(FirstAction(button), QAccessibleActionInterface::pressAction());
    testsupport::AccessibleAction(button->GetWidget());
    EXPECT_EQ(clicks, 1);

    auto* box = Make<TUiCheckBox>(10, 50, 100, 17);
    box->SetCaption("Пн.");
    int toggles = 0;
    box->OnClick = [&](TObject*) { ++toggles; };
    EXPECT_EQ(FirstAction(box), QAccessibleActionInterface::toggleAction());
    testsupport::AccessibleAction(box->GetWidget());
    EXPECT_TRUE(box->GetChecked());
    EXPECT_TRUE(Acc(box)->state().checked);
    EXPECT_EQ(toggles, 1);
}

TEST_F(WidgetAccessibility, MetersAndBarsReportTheirLevel) {
    auto* meter = Make<TUiMeter>(10, 10, 150, 20);
    meter->SetName("Msig");
    meter->SetMax(31);
    meter->SetValue(16);
    QAccessibleInterface* acc = Acc(meter);
    EXPECT_EQ(acc->role(), QAccessible::ProgressBar);
    EXPECT_EQ(acc->text(QAccessible::Name).toStdString(), "Msig");
    QAccessibleValueInterface* level = acc->valueInterface();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->currentValue().toInt(), 16);
    EXPECT_EQ(level->minimumValue().toInt(), 0);
    EXPECT_EQ(level->maximumValue().toInt(), 31);

    auto* bar = Make<TUiProgressBar>(10, 40, 200, 24);
    bar->SetName("LogBar");
    bar->SetPercent(40);
    level = Acc(bar)->valueInterface();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->currentValue().toInt(), 40);
    EXPECT_EQ(level->maximumValue().toInt(), 100);
    EXPECT_EQ(Acc(bar)->text(QAccessible::Value).toStdString(), "40%");
}

TEST_F(WidgetAccessibility, TabsArePageTabsThatSwitchThePages) {
    auto* pages = Make<TUiPageControl>(0, 0, 500, 300);
    std::vector<TUiTabSheet*> sheets;
    for (const char* caption : {"Основные параметры", "Входы/Выходы", "Доп. оборудование"}) {
        auto* sheet = new TUiTabSheet(form.get());
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        sheets.push_back(sheet);
    }
    pages->SetActivePageIndex(0);
    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    QAccessibleInterface* strip = Acc(pages);
    EXPECT_EQ(strip->role(), QAccessible::PageTabList);
    std::vector<QAccessibleInterface*> tabs;
    for (int i = 0; i < strip->childCount(); ++i)
        if (strip->child(i)->role() == QAccessible::PageTab) tabs.push_back(strip->child(i));
    ASSERT_EQ(tabs.size(), 3u);
    EXPECT_EQ(tabs[1]->text(QAccessible::Name).toStdString(), "Входы/Выходы");
    EXPECT_TRUE(tabs[0]->state().selected);
    EXPECT_FALSE(tabs[1]->rect().isEmpty());
    ASSERT_NE(tabs[2]->actionInterface(), nullptr);
    tabs[2]->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pages->GetActivePageIndex(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(tabs[2]->state().selected);
    EXPECT_FALSE(tabs[0]->state().selected);
    // A disabled tab offers nothing.
    sheets[1]->SetTabEnabled(false);
    EXPECT_TRUE(tabs[1]->actionInterface()->actionNames().isEmpty());
    tabs[1]->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pages->GetActivePageIndex(), 2);
}
