// Destruction order: a control freed while a form, a label, a menu or the mouse still refers to
// it; controls and forms freed inside their own handlers; exceptions that must not cross Qt.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <stdexcept>

#include "platform/sys/Clock.h"
#include "platform/sys/Timer.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

namespace {

void SendMouse(QWidget* w, QEvent::Type type, int x, int y) {
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void SendKey(QWidget* w, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

// Sets a flag when it is destroyed.
template <class T>
class TWatched : public T {
public:
    TWatched(TComponent* owner, bool* gone) : T(owner), FGone(gone) {}
    ~TWatched() override { *FGone = true; }

private:
    bool* FGone;
};

class TPlain : public TCustomControl {
public:
    explicit TPlain(TComponent* owner) : TCustomControl(owner) {}
};

class Destruction : public ::testing::Test {
protected:
    void SetUp() override {
        ui::test::SetScripted(true);
        ui::test::ClearDialogs();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override {
        delete form;
        Application->ProcessMessages();
        ui::test::ClearDialogs();
    }
    template <class T>
    T* Add(TWinControl* parent, TComponent* owner = nullptr) {
        auto* c = new T(owner ? owner : form);
        c->SetParent(parent);
        return c;
    }
    TForm* form = nullptr;
};

}  // namespace

TEST_F(Destruction, FreeingTheActiveControlClearsItFromItsForm) {
    auto* first = Add<TEdit>(form);
    auto* second = Add<TEdit>(form);
    int exits = 0, enters = 0;
    first->OnExit = [&](TObject*) { ++exits; };
    second->OnEnter = [&](TObject*) { ++enters; };
    form->SetActiveControl(first);
    ASSERT_EQ(form->GetActiveControl(), first);
    delete first;  // a control on its way out raises no exit event
    EXPECT_EQ(form->GetActiveControl(), nullptr);
    EXPECT_EQ(exits, 0);
    second->SetFocus();
    EXPECT_EQ(form->GetActiveControl(), second);
    EXPECT_EQ(enters, 1);

    // The active control inside a panel that goes.
    auto* panel = Add<TPanel>(form);
    auto* inner = Add<TEdit>(panel);
    form->SetActiveControl(inner);
    delete panel;
    EXPECT_EQ(form->GetActiveControl(), nullptr);

    // Owned by another form, shown on this one: freed with its owner.
    auto* other = new TForm(nullptr);
    auto* lodger = Add<TEdit>(form, other);
    form->SetActiveControl(lodger);
    ASSERT_EQ(form->GetActiveControl(), lodger);
    delete other;
    EXPECT_EQ(form->GetActiveControl(), nullptr);
    EXPECT_EQ(form->GetControlCount(), 1);
    form->Show();
    form->SelectNext(nullptr, true);
    EXPECT_EQ(form->GetActiveControl(), second);
}

TEST_F(Destruction, ExitHandlerThatFreesItsOwnControl) {
    auto* panel = Add<TPanel>(form);
    auto* edit = Add<TEdit>(panel);
    auto* next = Add<TEdit>(form);
    bool gone = false;
    (new TWatched<TLabel>(panel, &gone))->SetParent(panel);
    edit->OnExit = [panel](TObject*) { delete panel; };
    form->SetActiveControl(edit);
    next->SetFocus();
    EXPECT_TRUE(gone);
    EXPECT_EQ(form->GetActiveControl(), next);
    EXPECT_EQ(form->GetControlCount(), 1);
}

TEST_F(Destruction, MouseCaptureGoesWithTheControl) {
    form->Show();
    auto* probe = Add<TPlain>(form);
    probe->SetBounds(0, 0, 40, 20);
    probe->SetMouseCapture(true);
    ASSERT_TRUE(probe->GetMouseCapture());
    delete probe;
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(Destruction, LabelAndPopupMenuForgetWhatIsFreed) {
    auto* label = Add<TLabel>(form);
    label->SetCaption("&Port");
    auto* edit = Add<TEdit>(form);
    label->SetFocusControl(edit);
    delete edit;
    EXPECT_EQ(label->GetFocusControl(), nullptr);
    EXPECT_FALSE(label->DialogChar('P'));

    auto* menu = new TPopupMenu(form);
    auto* box = Add<TPlain>(form);
    box->SetPopupMenu(menu);
    delete menu;
    EXPECT_EQ(box->GetPopupMenu(), nullptr);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(box->GetWidget(), &e);
}

TEST_F(Destruction, HandlersThatFreeTheirOwnForm) {
    // A button whose OnClick frees its form, as the user clicks it.
    auto* dialog = new TForm(nullptr);
    bool gone = false;
    new TWatched<TLabel>(dialog, &gone);
    auto* ok = Add<TButton>(dialog, dialog);
    ok->SetBounds(0, 0, 75, 25);
    dialog->Show();
    int clicks = 0;
    ok->OnClick = [&clicks, dialog](TObject*) {
        delete dialog;
        ++clicks;  // the handler goes on after the free
    };
    SendMouse(ok->GetWidget(), QEvent::MouseButtonPress, 5, 5);
    SendMouse(ok->GetWidget(), QEvent::MouseButtonRelease, 5, 5);
    EXPECT_TRUE(gone);
    EXPECT_EQ(clicks, 1);

    // An edit freed by its own mouse-down and key handlers: the rest of the event is dropped.
    for (int round = 0; round < 2; ++round) {
        dialog = new TForm(nullptr);
        auto* edit = Add<TEdit>(dialog, dialog);
        edit->SetBounds(0, 0, 100, 20);
        dialog->Show();
        bool pressed = false;
        if (round == 0) {
            edit->OnMouseDown = [dialog](TObject*, TMouseButton, TShiftState, int, int) { delete dialog; };
            SendMouse(edit->GetWidget(), QEvent::MouseButtonPress, 5, 5);
        } else {
            edit->OnKeyDown = [dialog](TObject*, Word&, TShiftState) { delete dialog; };
            edit->OnKeyPress = [&](TObject*, char&) { pressed = true; };
            SendKey(edit->GetWidget(), Qt::Key_A, "a");
        }
        EXPECT_FALSE(pressed);
    }

    // A custom control freed by its click handler never sees its mouse-up.
    dialog = new TForm(nullptr);
    auto* plain = Add<TPlain>(dialog, dialog);
    plain->SetBounds(0, 0, 40, 20);
    dialog->Show();
    bool up = false;
    plain->OnClick = [dialog](TObject*) { delete dialog; };
    plain->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { up = true; };
    SendMouse(plain->GetWidget(), QEvent::MouseButtonPress, 5, 5);
    SendMouse(plain->GetWidget(), QEvent::MouseButtonRelease, 5, 5);
    EXPECT_FALSE(up);
}

TEST_F(Destruction, CloseWithFreeReleasesTheFormAfterTheHandler) {
    auto* dialog = new TForm(nullptr);
    bool gone = false, destroyed = false;
    new TWatched<TLabel>(dialog, &gone);
    dialog->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    dialog->OnDestroy = [&](TObject*) { destroyed = true; };
    auto* close = Add<TButton>(dialog, dialog);
    close->OnClick = [dialog](TObject*) { dialog->Close(); };
    dialog->Show();
    SendMouse(close->GetWidget(), QEvent::MouseButtonPress, 5, 5);
    SendMouse(close->GetWidget(), QEvent::MouseButtonRelease, 5, 5);
    EXPECT_FALSE(dialog->GetVisible());
    EXPECT_FALSE(gone);  // not inside the handler
    Application->ProcessMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(gone);
}

TEST_F(Destruction, TimerThatFreesItsOwner) {
    auto* owner = new TForm(nullptr);
    bool gone = false;
    new TWatched<TLabel>(owner, &gone);
    auto* timer = new TTimer(owner);
    timer->SetInterval(100);
    timer->OnTimer = [owner](TObject*) { delete owner; };
    sys::AdvanceMs(250);  // the timer goes with its owner and fires no more
    EXPECT_TRUE(gone);
}

TEST_F(Destruction, MainFormFreedIsNoLongerTheMainForm) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->GetMainForm(), main);
    main->BeforeDestruction();
    delete main;
    EXPECT_EQ(Application->GetMainForm(), nullptr);
    TForm* next = nullptr;
    Application->CreateForm(next);
    EXPECT_EQ(Application->GetMainForm(), next);
    delete next;
    EXPECT_EQ(Application->GetComponentCount(), 0);
}

TEST_F(Destruction, ExceptionsFromAControlsEventCodeStayOutOfQt) {
    struct TFaulty : TCustomControl {
        explicit TFaulty(TComponent* o) : TCustomControl(o) {}
        bool HandleWidgetEvent(QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress) throw std::runtime_error("Faulty control");
            return TCustomControl::HandleWidgetEvent(e);
        }
        TAccessibleInfo GetAccessibleInfo() const override { throw std::runtime_error("No info"); }
    };
    auto* faulty = Add<TFaulty>(form);
    faulty->SetBounds(0, 0, 40, 20);
    EXPECT_NO_THROW(SendMouse(faulty->GetWidget(), QEvent::MouseButtonPress, 5, 5));
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].text, "Faulty control.");
    // A screen reader's question gets an empty answer and shows nothing.
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(faulty->GetWidget());
    ASSERT_NE(acc, nullptr);
    EXPECT_TRUE(acc->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(ui::test::ShownDialogs().size(), 1u);
}

TEST_F(Destruction, WrappedWidgetsSurviveHandlersThatFreeTheirControl) {
    // Typing into an edit whose OnChange frees the form: Qt is still reporting the change.
    auto* dialog = new TForm(nullptr);
    auto* edit = Add<TEdit>(dialog, dialog);
    dialog->Show();
    edit->OnChange = [dialog](TObject*) { delete dialog; };
    SendKey(edit->GetWidget(), Qt::Key_1, "1");
    Application->ProcessMessages();

    // A combo box whose OnSelect frees it raises no OnChange after.
    dialog = new TForm(nullptr);
    auto* combo = Add<TComboBox>(dialog, dialog);
    combo->SetStyle(csDropDownList);
    combo->GetItems()->Add("one");
    combo->GetItems()->Add("two");
    int changes = 0;
    combo->OnSelect = [dialog](TObject*) { delete dialog; };
    combo->OnChange = [&](TObject*) { ++changes; };
    auto* box = combo->GetWidget();
    QMetaObject::invokeMethod(box, "activated", Q_ARG(int, 1));
    EXPECT_EQ(changes, 0);

    // A check box clicked by the user, its OnClick freeing the form.
    dialog = new TForm(nullptr);
    auto* check = Add<TCheckBox>(dialog, dialog);
    check->SetBounds(0, 0, 100, 20);
    dialog->Show();
    check->OnClick = [dialog](TObject*) { delete dialog; };
    SendMouse(check->GetWidget(), QEvent::MouseButtonPress, 5, 5);
    SendMouse(check->GetWidget(), QEvent::MouseButtonRelease, 5, 5);
    Application->ProcessMessages();

    // A form freed by its own activation handler.
    dialog = new TForm(nullptr);
    bool gone = false;
    new TWatched<TLabel>(dialog, &gone);
    dialog->OnActivate = [dialog](TObject*) { delete dialog; };
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(dialog->GetWidget(), &activate);
    EXPECT_TRUE(gone);
    Application->ProcessMessages();
}

TEST_F(Destruction, ResizeHandlersThatFreeOrAddSiblings) {
    auto* host = Add<TPanel>(form);
    host->SetBevelOuter(bvNone);
    host->SetBounds(0, 0, 200, 100);
    auto* top = Add<TPanel>(host);
    top->SetAlign(alTop);
    top->SetHeight(10);
    auto* second = Add<TPanel>(host);
    second->SetTop(50);
    second->SetAlign(alTop);
    second->SetHeight(10);
    bool gone = false;
    (new TWatched<TLabel>(second, &gone))->SetParent(second);
    top->OnResize = [&](TObject*) {
        if (second) delete second;
        second = nullptr;
    };
    host->SetWidth(300);  // top is resized first and frees the next one in line
    EXPECT_TRUE(gone);
    EXPECT_EQ(top->GetBoundsRect(), TRect(0, 0, 300, 10));
    EXPECT_EQ(host->GetControlCount(), 1);

    // An anchored control that fills its parent with new controls while it is being placed.
    auto* stretch = Add<TPanel>(host);
    stretch->SetBounds(10, 20, 100, 30);
    stretch->SetAnchors({akLeft, akTop, akRight});
    int added = 0;
    stretch->OnResize = [&](TObject*) {
        for (int i = 0; i < 40; ++i, ++added) Add<TLabel>(host);
    };
    host->SetWidth(350);
    EXPECT_EQ(stretch->GetWidth(), 150);
    EXPECT_EQ(host->GetControlCount(), 2 + added);
}

TEST_F(Destruction, ExitHandlerThatFreesTheControlBeingRemoved) {
    auto* edit = Add<TEdit>(form);
    form->SetActiveControl(edit);
    bool gone = false;
    (new TWatched<TLabel>(edit, &gone))->SetParent(form);
    edit->OnExit = [edit](TObject*) { delete edit; };
    edit->SetParent(nullptr);
    EXPECT_TRUE(gone);
    EXPECT_EQ(form->GetActiveControl(), nullptr);
}
