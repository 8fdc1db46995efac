// Enter and Escape: the focused control has first refusal, then the form offers Enter to the
// default (or focused) button and Escape to the cancel button, each offer made once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

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
