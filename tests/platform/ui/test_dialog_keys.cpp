// Keys as the user types them: Enter and Escape (the focused control has first refusal, then
// the form offers Enter to the default or focused button and Escape to the cancel button, each
// offer made once), every character a layout types, Tab through every kind of control, the
// arrows between painted buttons, focus shown once the keyboard has moved it, and a grid's
// double click and in-place editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>
#include <map>

#include "platform/rtl/CodePage.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"
#include "support/RealInput.h"

namespace {

void Press(TWinControl* c, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QString text = key == Qt::Key_Return ? QString("\r") : key == Qt::Key_Escape ? QString(QChar(0x1B)) : QString();
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(c->GetWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(c->GetWidget(), &release);
}

// A painted push button of the kind a widget set builds: it answers the form's offer itself.
class TPaintedButton : public TCustomControl {
public:
    explicit TPaintedButton(TComponent* owner) : TCustomControl(owner) {}
    bool Default = false;
    int offers = 0, clicks = 0;
    bool DialogKey(Word Key, TShiftState Shift) override {
        ++offers;
        if (Key != VK_RETURN || !Default || !Shift.Empty()) return false;
        ++clicks;
        return true;
    }
};

class DialogKeys : public ::testing::Test {
protected:
    void SetUp() override {
        ui::test::SetScripted(true);
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 200);
        edit = Add<TEdit>(form);
        ok = Add<TButton>(form);
        ok->SetDefault(true);
        ok->OnClick = [this](TObject*) { ++okClicks; };
        cancel = Add<TButton>(form);
        cancel->SetCancel(true);
        cancel->OnClick = [this](TObject*) { ++cancelClicks; };
        form->Show();
        form->SetActiveControl(edit);
    }
    void TearDown() override {
        delete form;
        ui::test::ClearDialogs();
    }
    template <class T>
    T* Add(TWinControl* parent) {
        auto* c = new T(form);
        c->SetParent(parent);
        return c;
    }
    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
    int okClicks = 0, cancelClicks = 0;
};

}  // namespace

TEST_F(DialogKeys, EnterGoesToTheDefaultButtonAndEscapeToTheCancelButton) {
    int keyPresses = 0;
    edit->OnKeyPress = [&](TObject*, char&) { ++keyPresses; };
    Press(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    Press(edit, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(keyPresses, 0);  // a key a button took is not typed
    // With Shift held no button takes it.
    Press(edit, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(okClicks, 1);
    // A disabled or hidden button is passed over.
    ok->SetEnabled(false);
    Press(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    ok->SetEnabled(true);
    cancel->SetVisible(false);
    Press(edit, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks, 1);
}

TEST_F(DialogKeys, TheFocusedControlHasFirstRefusal) {
    edit->OnKeyDown = [](TObject*, Word& key, TShiftState) {
        if (key == VK_RETURN) key = 0;
    };
    Press(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks, 0);
    // A memo keeps Enter and Escape for itself.
    auto* memo = Add<TMemo>(form);
    form->SetActiveControl(memo);
    Press(memo, Qt::Key_Return);
    Press(memo, Qt::Key_Escape);
    EXPECT_EQ(okClicks, 0);
    EXPECT_EQ(cancelClicks, 0);
    EXPECT_EQ(memo->GetLines()->GetCount(), 2);
}

TEST_F(DialogKeys, AFocusedButtonTakesEnterInsteadOfTheDefaultOne) {
    auto* other = Add<TButton>(form);
    int otherClicks = 0;
    other->OnClick = [&](TObject*) { ++otherClicks; };
    form->SetActiveControl(other);
    Press(other, Qt::Key_Return);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(okClicks, 0);
    // The default button's modal result reaches the form.
    ok->SetModalResult(mrOk);
    form->SetActiveControl(edit);
    Press(edit, Qt::Key_Return);
    EXPECT_EQ(form->GetModalResult(), mrOk);
}

TEST_F(DialogKeys, PaintedButtonsAnswerTheFormsOfferOnce) {
    // No standard default button here: the painted one inside a panel takes Enter.
    ok->SetDefault(false);
    auto* panel = Add<TPanel>(form);
    auto* painted = Add<TPaintedButton>(panel);
    painted->Default = true;
    auto* inner = Add<TEdit>(panel);
    int panelKeys = 0;
    panel->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++panelKeys; };
    form->SetActiveControl(inner);
    Press(inner, Qt::Key_Return);
    EXPECT_EQ(painted->clicks, 1);
    EXPECT_EQ(painted->offers, 1);
    // Nobody takes Escape: offered once, and it does not climb to the panel or the form.
    int formKeys = 0;
    form->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++formKeys; };
    cancel->SetCancel(false);
    Press(inner, Qt::Key_Escape);
    EXPECT_EQ(painted->offers, 2);
    EXPECT_EQ(panelKeys, 0);
    EXPECT_EQ(formKeys, 0);
}

TEST_F(DialogKeys, ShowModalEndsWithTheDefaultButtonsResult) {
    ok->SetModalResult(mrOk);
    cancel->SetModalResult(mrCancel);
    QCoreApplication::postEvent(edit->GetWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(0x1B))));
    EXPECT_EQ(form->ShowModal(), mrCancel);
    form->SetActiveControl(edit);
    QCoreApplication::postEvent(edit->GetWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r"));
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(DialogKeys, EveryCharacterALayoutTypesReachesTheControlAndItsKeyPress) {
    ASSERT_TRUE(realinput::Activate(form->GetWidget()));
    std::string pressed;
    edit->OnKeyPress = [&](TObject*, char& key) { pressed += key; };
    edit->SetFocus();
    realinput::Type("Юрьев (a_b)@!");
    EXPECT_EQ(edit->GetText(), "Юрьев (a_b)@!");
    // The key-press event carries each character in the window's code page.
    EXPECT_EQ(pressed, Utf8ToCp1251("Юрьев (a_b)@!"));
    // A handler's replacement is what the edit gets; digits only refuse any alphabet.
    edit->SetText("");
    pressed.clear();
    edit->OnKeyPress = [&](TObject*, char& key) {
        pressed += key;
        if (key == Utf8ToCp1251("ё")[0]) key = Utf8ToCp1251("е")[0];
    };
    realinput::Type("ёж");
    EXPECT_EQ(edit->GetText(), "еж");
    EXPECT_EQ(pressed, Utf8ToCp1251("ёж"));
    edit->SetText("");
    edit->SetNumbersOnly(true);
    realinput::Type("1ж2");
    EXPECT_EQ(edit->GetText(), "12");
    // A memo and an editable combo box alike.
    auto* memo = Add<TMemo>(form);
    memo->SetFocus();
    realinput::Type("Щи (2)");
    EXPECT_EQ(memo->GetLines()->Get(0), "Щи (2)");
    auto* combo = Add<TComboBox>(form);
    combo->SetFocus();
    realinput::Type("Ёлка_1");
    EXPECT_EQ(combo->GetText(), "Ёлка_1");
}

TEST_F(DialogKeys, TabVisitsEveryKindOfControlAndArrowsMoveBetweenPaintedOnes) {
    auto* painted1 = Add<TPaintedButton>(form);
    auto* painted2 = Add<TPaintedButton>(form);
    painted1->SetTabStop(true);
    painted2->SetTabStop(true);
    auto* memo = Add<TMemo>(form);
    auto* combo = Add<TComboBox>(form);
    auto* picker = Add<TDateTimePicker>(form);
    auto* grid = Add<TStringGrid>(form);
    ASSERT_TRUE(realinput::Activate(form->GetWidget()));
    edit->SetFocus();
    const std::vector<TWinControl*> order{edit, ok, cancel, painted1, painted2, memo, combo, picker, grid};
    const std::size_t n = order.size();
    for (std::size_t i = 1; i <= n; ++i) {
        realinput::Key(Qt::Key_Tab);
        EXPECT_EQ(form->GetActiveControl(), order[i % n]) << i;
    }
    for (std::size_t i = n; i-- > 0;) {
        realinput::Key(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(form->GetActiveControl(), order[i]) << i;
    }
    EXPECT_EQ(memo->GetText(), "");  // Tab left the memo, it typed nothing
    painted1->SetFocus();
    realinput::Key(Qt::Key_Right);
    EXPECT_EQ(form->GetActiveControl(), painted2);
    realinput::Key(Qt::Key_Up);
    EXPECT_EQ(form->GetActiveControl(), painted1);
    // A grid keeps its arrows.
    grid->SetFocus();
    realinput::Key(Qt::Key_Down);
    EXPECT_EQ(form->GetActiveControl(), grid);
    EXPECT_EQ(grid->GetRow(), 2);
}

TEST_F(DialogKeys, FocusShowsOnceTheKeyboardHasMovedItInTheWindow) {
    auto* check = Add<TCheckBox>(form);
    check->SetCaption("Синхронизировать время");
    auto* radio = Add<TRadioButton>(form);
    radio->SetCaption("COM");
    radio->SetChecked(true);  // the checked one is the group's tab stop
    auto* combo = Add<TComboBox>(form);
    combo->SetStyle(csDropDownList);
    combo->GetItems()->Add("Круглосуточно");
    combo->SetItemIndex(0);
    auto* memo = Add<TMemo>(form);
    memo->SetReadOnly(true);
    ok->SetDefault(false);  // Qt's style outlines the default button as it does the focused one
    ASSERT_TRUE(realinput::Activate(form->GetWidget()));
    auto look = [](TWinControl* c) { return c->GetWidget()->grab().toImage(); };
    const std::vector<TWinControl*> order{check, radio, combo, memo, edit, ok, cancel};
    std::map<TWinControl*, QImage> rest;
    for (TWinControl* c : order) {
        (c == check ? static_cast<TWinControl*>(radio) : check)->SetFocus();
        rest[c] = look(c);
    }
    // Focus given by a click or by the program marks nothing while the keyboard is unused.
    for (TWinControl* c : std::vector<TWinControl*>{check, radio, combo, ok}) {
        c->SetFocus();
        EXPECT_EQ(look(c), rest[c]) << c->GetText();
    }
    check->SetFocus();
    for (std::size_t i = 1; i <= order.size(); ++i) {
        TWinControl* left = form->GetActiveControl();
        realinput::Key(Qt::Key_Tab);
        TWinControl* reached = order[i % order.size()];
        ASSERT_EQ(form->GetActiveControl(), reached) << i;
        EXPECT_NE(look(reached), rest[reached]) << "no focus shown, Tab " << i;
        EXPECT_EQ(look(left), rest[left]) << "focus left behind, Tab " << i;
    }
}

TEST_F(DialogKeys, AGridsDoubleClickAndInPlaceEditorTakeRealInput) {
    auto* grid = Add<TStringGrid>(form);
    grid->SetBounds(0, 0, 300, 150);
    int doubleClicks = 0;
    grid->OnDblClick = [&](TObject*) { ++doubleClicks; };
    ASSERT_TRUE(realinput::Activate(form->GetWidget()));
    auto centre = [&](int col, int row) {
        TRect r = grid->CellRect(col, row);
        return QPoint(grid->BorderWidth() + (r.Left + r.Right) / 2, grid->BorderWidth() + (r.Top + r.Bottom) / 2);
    };
    realinput::DoubleClick(grid->GetWidget(), centre(2, 3));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(grid->GetRow(), 3);
    EXPECT_EQ(grid->GetCol(), 2);
    realinput::DoubleClick(grid->GetWidget(), centre(2, 0));  // the header row
    EXPECT_EQ(doubleClicks, 1);

    // With editing on, the double click opens the cell's editor; Enter keeps what was typed.
    grid->SetOptions(grid->GetOptions() + TGridOptions{goEditing});
    realinput::DoubleClick(grid->GetWidget(), centre(1, 1));
    ASSERT_TRUE(grid->GetEditorMode());
    realinput::Type("Юрьев (1)");
    realinput::Key(Qt::Key_Return);
    sys::ServeGuiCalls();
    EXPECT_FALSE(grid->GetEditorMode());
    EXPECT_EQ(grid->GetCells(1, 1), "Юрьев (1)");
    // A letter typed on the grid opens the editor in its place; Tab keeps the text and moves on.
    realinput::Type("Жук");
    realinput::Key(Qt::Key_Tab);
    sys::ServeGuiCalls();
    EXPECT_EQ(grid->GetCells(1, 1), "Жук");
    EXPECT_NE(form->GetActiveControl(), grid);
    EXPECT_FALSE(grid->GetEditorMode());
    // Rows loaded while an editor is open (a read from the device) are not overwritten by
    // what the editor held.
    realinput::DoubleClick(grid->GetWidget(), centre(1, 2));
    ASSERT_TRUE(grid->GetEditorMode());
    realinput::Type("old");
    grid->SetRows(1, {{"", "fresh"}, {"", "rows"}});
    EXPECT_FALSE(grid->GetEditorMode());
    realinput::Key(Qt::Key_Return);
    sys::ServeGuiCalls();
    EXPECT_EQ(grid->GetCells(1, 2), "rows");
}
