// Control rules: ownership, alignment, the form library's event rules, forms, exceptions shown
// by the application, off-screen painting and the accessibility bridge.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <stdexcept>

#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"

namespace {

void SendMouse(QWidget* w, QEvent::Type type, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        int key = ch.isDigit() ? Qt::Key_0 + ch.digitValue() : ch.isLetter() ? Qt::Key_A + (ch.toUpper().unicode() - 'A') : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

// Paints a red 2-pixel frame and records its mouse events.
class TProbe : public TCustomControl {
public:
    explicit TProbe(TComponent* owner) : TCustomControl(owner) {}
    std::string log;
    int paints = 0;
    TRect clip;  // what the last paint was allowed to touch
    TAccessibleInfo GetAccessibleInfo() const override {
        TAccessibleInfo i;
        i.Role = TAccessibleRole::CheckBox;
        i.Name = GetCaption();
        i.Checkable = true;
        i.Checked = checked;
        i.Enabled = GetEnabled();
        i.Action = TAccessibleAction::Toggle;
        return i;
    }
    void AccessiblePress() override {
        checked = !checked;
        Click();
    }
    bool checked = false;

protected:
    void Paint() override {
        ++paints;
        clip = GetCanvas()->GetClipRect();
        GetCanvas()->GetPen()->SetColor(clRed);
        GetCanvas()->GetBrush()->SetStyle(bsClear);
        GetCanvas()->Rectangle(0, 0, GetWidth(), GetHeight());
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        log += "down(" + std::to_string(x) + "," + std::to_string(y) + ")";
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        log += "up";
        TCustomControl::MouseUp(b, s, x, y);
    }
    void Click() override {
        log += "click";
        TCustomControl::Click();
    }
};

// A graphic control that paints a blue square in its top-left quarter only.
class TDot : public TGraphicControl {
public:
    explicit TDot(TComponent* owner) : TGraphicControl(owner) {}

protected:
    void Paint() override {
        GetCanvas()->GetBrush()->SetColor(clBlue);
        GetCanvas()->FillRect(TRect(0, 0, GetWidth() / 2, GetHeight() / 2));
    }
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        ui::test::SetScripted(true);
        ui::test::ClearDialogs();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override {
        form->BeforeDestruction();
        delete form;
        ui::test::ClearDialogs();
    }
    TForm* form = nullptr;
};

}  // namespace

TEST_F(Controls, OwnerFreesWhatItOwnsAndParentFreesItsChildren) {
    bool gone = false;
    struct TWatch : TLabel {
        bool* flag;
        TWatch(TComponent* o, bool* f) : TLabel(o), flag(f) {}
        ~TWatch() override { *flag = true; }
    };
    auto* panel = new TPanel(form);
    auto* owned = new TWatch(form, &gone);  // owned by the form, shown on the panel
    owned->SetParent(panel);
    EXPECT_EQ(panel->GetControlCount(), 1);
    EXPECT_EQ(form->GetComponentCount(), 2);
    delete panel;  // the panel takes its child along and the owner forgets it
    EXPECT_TRUE(gone);
    EXPECT_EQ(form->GetComponentCount(), 0);

    bool gone2 = false;
    new TWatch(form, &gone2);
    delete form;
    form = new TForm(nullptr);
    EXPECT_TRUE(gone2);
}

TEST_F(Controls, AlignmentTopBottomLeftRightClient) {
    auto* host = new TPanel(form);
    host->SetParent(form);
    host->SetBevelOuter(bvNone);
    host->SetBounds(0, 0, 200, 100);
    auto make = [&](TAlign a, int w, int h, int top = 0) {
        auto* p = new TPanel(form);
        p->SetBounds(0, top, w, h);
        p->SetAlign(a);
        p->SetParent(host);
        return p;
    };
    TPanel* bottom = make(alBottom, 10, 10);
    TPanel* client = make(alClient, 10, 10);
    TPanel* top2 = make(alTop, 10, 15, 50);
    TPanel* top1 = make(alTop, 10, 20, 0);  // above top2 by its Top
    TPanel* left = make(alLeft, 30, 10);
    TPanel* right = make(alRight, 25, 10);
    EXPECT_EQ(top1->GetBoundsRect(), TRect(0, 0, 200, 20));
    EXPECT_EQ(top2->GetBoundsRect(), TRect(0, 20, 200, 35));
    EXPECT_EQ(bottom->GetBoundsRect(), TRect(0, 90, 200, 100));
    EXPECT_EQ(left->GetBoundsRect(), TRect(0, 35, 30, 90));
    EXPECT_EQ(right->GetBoundsRect(), TRect(175, 35, 200, 90));
    EXPECT_EQ(client->GetBoundsRect(), TRect(30, 35, 175, 90));
    // Resizing the parent realigns; hiding a control gives its room away.
    host->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(client->GetBoundsRect(), TRect(30, 35, 275, 190));
    top2->SetVisible(false);
    EXPECT_EQ(client->GetBoundsRect(), TRect(30, 20, 275, 190));
    // A bevel shrinks the area children align in.
    host->SetBevelOuter(bvRaised);
    EXPECT_EQ(top1->GetBoundsRect(), TRect(1, 1, 299, 21));
    // Anchored right: keeps its distance to the right edge.
    auto* anchored = new TLabel(form);
    anchored->SetParent(host);
    anchored->SetAutoSize(false);
    anchored->SetBounds(250, 100, 20, 10);
    anchored->SetAnchors({akTop, akRight});
    host->SetBounds(0, 0, 400, 200);
    EXPECT_EQ(anchored->GetLeft(), 350);
}

TEST_F(Controls, ParentColorAndFontFollowTheParentUntilSet) {
    form->SetColor(clWhite);
    form->GetFont()->SetName("Tahoma");
    form->GetFont()->SetHeight(-13);
    auto* label = new TLabel(form);
    label->SetParent(form);
    EXPECT_EQ(label->GetColor(), clWhite);
    EXPECT_EQ(label->GetFont()->GetHeight(), -13);
    form->SetColor(clYellow);
    EXPECT_EQ(label->GetColor(), clYellow);
    label->GetFont()->SetColor(clRed);
    EXPECT_FALSE(label->GetParentFont());
    form->GetFont()->SetHeight(-19);
    EXPECT_EQ(label->GetFont()->GetHeight(), -13);
    label->SetColor(clBlue);
    EXPECT_FALSE(label->GetParentColor());
    form->SetColor(clGreen);
    EXPECT_EQ(label->GetColor(), clBlue);
}

TEST_F(Controls, ComboIndexFromCodeRaisesNoChangeAndOutOfRangeIsMinusOne) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetStyle(csDropDownList);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->GetItems()->Add("one");
    combo->GetItems()->Add("two");
    combo->GetItems()->Add("three");
    EXPECT_EQ(combo->GetItemIndex(), -1);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_EQ(combo->GetText(), "two");
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->GetItemIndex(), -1);
    combo->SetItemIndex(-5);
    EXPECT_EQ(combo->GetItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    // The user's choice raises it.
    auto* box = static_cast<QComboBox*>(combo->GetWidget());
    box->setCurrentIndex(2);
    emit box->activated(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo->GetItemIndex(), 2);
    combo->GetItems()->Clear();
    EXPECT_EQ(combo->GetItemIndex(), -1);
    EXPECT_EQ(changes, 1);
}

TEST_F(Controls, EditTextFromCodeRaisesChangeAndMaxLengthLimitsTypingOnly) {
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::vector<std::string> seen;
    edit->OnChange = [&](TObject*) { seen.push_back(edit->GetText()); };
    edit->SetText("12345");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "12345");
    edit->SetText("12345");  // unchanged: no event
    EXPECT_EQ(seen.size(), 1u);
    edit->SetMaxLength(4);
    edit->SetText("123456789");  // code is never cut
    EXPECT_EQ(edit->GetText(), "123456789");
    edit->SetText("");
    seen.clear();
    Type(edit->GetWidget(), "98765");
    EXPECT_EQ(edit->GetText(), "9876");
    EXPECT_EQ(seen.size(), 4u);
    // Numbers only drops other characters typed.
    edit->SetText("");
    edit->SetMaxLength(0);
    edit->SetNumbersOnly(true);
    Type(edit->GetWidget(), "1a2");
    EXPECT_EQ(edit->GetText(), "12");
    // A key handler may take the key.
    edit->SetNumbersOnly(false);
    edit->OnKeyPress = [](TObject*, char& key) {
        if (key == '5') key = 0;
    };
    Type(edit->GetWidget(), "456");
    EXPECT_EQ(edit->GetText(), "1246");
}

TEST_F(Controls, CheckBoxAndRadioFromCodeRaiseClick) {
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 2);
    static_cast<QAbstractButton*>(box->GetWidget())->click();  // the user
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 3);
    box->SetAllowGrayed(true);
    box->SetChecked(false);
    box->Toggle();
    EXPECT_EQ(box->GetState(), cbGrayed);
    box->Toggle();
    EXPECT_EQ(box->GetState(), cbChecked);

    auto* p1 = new TPanel(form);
    auto* p2 = new TPanel(form);
    p1->SetParent(form);
    p2->SetParent(form);
    TRadioButton* r[4];
    for (int i = 0; i < 4; ++i) {
        r[i] = new TRadioButton(form);
        r[i]->SetParent(i < 3 ? p1 : p2);
    }
    int radioClicks = 0;
    r[1]->OnClick = [&](TObject*) { ++radioClicks; };
    r[3]->SetChecked(true);
    r[0]->SetChecked(true);
    r[1]->SetChecked(true);
    EXPECT_FALSE(r[0]->GetChecked());
    EXPECT_TRUE(r[1]->GetChecked());
    EXPECT_TRUE(r[3]->GetChecked());  // another parent, another group
    EXPECT_EQ(radioClicks, 1);
    r[1]->SetChecked(false);  // becoming unchecked raises nothing
    EXPECT_EQ(radioClicks, 1);
    static_cast<QAbstractButton*>(r[2]->GetWidget())->click();
    EXPECT_TRUE(r[2]->GetChecked());
    EXPECT_FALSE(r[0]->GetChecked());
}

// Whatever moves a box (a click, Space, a screen reader's Toggle), what it shows is the state
// the program reads, and the change raises OnClick once.
TEST_F(Controls, CheckBoxAndRadioShowTheStateTheProgramReads) {
    form->Show();
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    auto* shown = static_cast<QAbstractButton*>(box->GetWidget());
    testsupport::AccessibleAction(box->GetWidget());
    EXPECT_TRUE(box->GetChecked());
    EXPECT_TRUE(shown->isChecked());
    EXPECT_EQ(clicks, 1);
    box->SetFocus();
    testsupport::KeyClick(box->GetWidget(), Qt::Key_Space, " ");
    EXPECT_FALSE(box->GetChecked());
    EXPECT_FALSE(shown->isChecked());
    EXPECT_EQ(clicks, 2);
    box->SetAllowGrayed(true);
    testsupport::AccessibleAction(box->GetWidget());
    EXPECT_EQ(box->GetState(), cbGrayed);
    EXPECT_EQ(static_cast<QCheckBox*>(shown)->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(clicks, 3);

    TRadioButton* r[2];
    int radioClicks = 0;
    for (auto*& radio : r) {
        radio = new TRadioButton(form);
        radio->SetParent(form);
        radio->OnClick = [&](TObject*) { ++radioClicks; };
    }
    r[0]->SetChecked(true);
    testsupport::AccessibleAction(r[1]->GetWidget());
    EXPECT_TRUE(r[1]->GetChecked());
    EXPECT_FALSE(r[0]->GetChecked());
    EXPECT_FALSE(static_cast<QAbstractButton*>(r[0]->GetWidget())->isChecked());
    EXPECT_EQ(radioClicks, 2);
    // A checked radio button stays checked.
    testsupport::AccessibleAction(r[1]->GetWidget());
    EXPECT_TRUE(r[1]->GetChecked());
    EXPECT_TRUE(static_cast<QAbstractButton*>(r[1]->GetWidget())->isChecked());
    EXPECT_EQ(radioClicks, 2);
}

TEST_F(Controls, FormShowHandlerRunsOnceAndCloseGoesInOrder) {
    std::string order;
    form->OnCreate = [&](TObject*) { order += "create;"; };
    form->OnShow = [&](TObject*) { order += "show;"; };
    form->OnClose = [&](TObject*, TCloseAction& a) {
        order += "close;";
        EXPECT_EQ(a, caHide);
    };
    form->OnDestroy = [&](TObject*) { order += "destroy;"; };
    form->AfterConstruction();
    form->AfterConstruction();
    form->Show();
    form->Hide();
    form->Show();
    EXPECT_TRUE(form->GetVisible());
    form->Close();
    EXPECT_FALSE(form->GetVisible());
    form->BeforeDestruction();
    EXPECT_EQ(order, "create;show;close;destroy;");
    // OnClose may refuse.
    form->OnClose = [](TObject*, TCloseAction& a) { a = caNone; };
    form->Show();
    form->Close();
    EXPECT_TRUE(form->GetVisible());
}

TEST_F(Controls, ExceptionInHandlerIsShownAndTheToolGoesOn) {
    auto* probe = new TProbe(form);
    probe->SetParent(form);
    probe->SetBounds(10, 10, 50, 20);
    int after = 0;
    probe->OnClick = [](TObject*) { throw std::runtime_error("'x' is not a valid integer value"); };
    probe->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++after; };
    SendMouse(probe->GetWidget(), QEvent::MouseButtonPress, 5, 5);
    SendMouse(probe->GetWidget(), QEvent::MouseButtonRelease, 5, 5);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].kind, "messagebox");
    EXPECT_EQ(ui::test::ShownDialogs()[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(ui::test::ShownDialogs()[0].flags, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(after, 1);  // the rest of the message still ran
    // A message ending with a full stop keeps it as it is.
    probe->OnClick = [](TObject*) { throw std::runtime_error("Done."); };
    SendMouse(probe->GetWidget(), QEvent::MouseButtonPress, 5, 5);
    SendMouse(probe->GetWidget(), QEvent::MouseButtonRelease, 5, 5);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 2u);
    EXPECT_EQ(ui::test::ShownDialogs()[1].text, "Done.");
}

TEST_F(Controls, MouseClickRulesOnCustomControls) {
    auto* probe = new TProbe(form);
    probe->SetParent(form);
    probe->SetBounds(10, 10, 50, 20);
    SendMouse(probe->GetWidget(), QEvent::MouseButtonPress, 3, 4);
    SendMouse(probe->GetWidget(), QEvent::MouseButtonRelease, 3, 4);
    EXPECT_EQ(probe->log, "down(3,4)clickup");
    probe->log.clear();
    // Released outside: no click.
    SendMouse(probe->GetWidget(), QEvent::MouseButtonPress, 3, 4);
    SendMouse(probe->GetWidget(), QEvent::MouseButtonRelease, 80, 4);
    EXPECT_EQ(probe->log, "down(3,4)up");
    probe->log.clear();
    // The right button never clicks.
    SendMouse(probe->GetWidget(), QEvent::MouseButtonPress, 3, 4, Qt::RightButton);
    SendMouse(probe->GetWidget(), QEvent::MouseButtonRelease, 3, 4, Qt::RightButton);
    EXPECT_EQ(probe->log, "down(3,4)up");
    // Enter and leave.
    int enters = 0, leaves = 0;
    probe->OnMouseEnter = [&](TObject*) { ++enters; };
    probe->OnMouseLeave = [&](TObject*) { ++leaves; };
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(probe->GetWidget(), &enter);
    EXPECT_TRUE(probe->IsMouseInside());
    QApplication::sendEvent(probe->GetWidget(), &leave);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
}

TEST_F(Controls, CustomAndGraphicControlsPaintOffScreen) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clYellow);
    panel->SetBounds(0, 0, 40, 30);
    auto* probe = new TProbe(form);
    probe->SetParent(panel);
    probe->SetColor(clWhite);
    probe->SetBounds(2, 3, 10, 8);
    auto* dot = new TDot(form);
    dot->SetParent(panel);
    dot->SetBounds(20, 10, 10, 10);

    std::unique_ptr<TBitmap> own = probe->RenderToBitmap();
    ASSERT_EQ(own->GetWidth(), 10);
    EXPECT_EQ(own->GetPixel(0, 0), clRed);
    EXPECT_EQ(own->GetPixel(9, 7), clRed);
    EXPECT_EQ(own->GetPixel(5, 4), clWhite);  // background in Color, then Paint

    std::unique_ptr<TBitmap> all = panel->RenderToBitmap();
    EXPECT_EQ(all->GetPixel(0, 0), clYellow);
    EXPECT_EQ(all->GetPixel(2, 3), clRed);
    EXPECT_EQ(all->GetPixel(20, 10), clBlue);
    EXPECT_EQ(all->GetPixel(24, 14), clBlue);
    EXPECT_EQ(all->GetPixel(25, 15), clYellow);  // the graphic control's unpainted part

    // PaintTo draws one control alone into any canvas.
    TBitmap target(20, 20);
    probe->PaintTo(*target.GetCanvas(), 5, 5);
    EXPECT_EQ(target.GetPixel(5, 5), clRed);
    EXPECT_EQ(target.GetPixel(4, 4), clWhite);

    // A transparent control gets its parent's image behind it (the panel's bevel included).
    panel->SetBevelOuter(bvLowered);
    TBitmap behind(10, 8);
    probe->PaintParentBackground(*behind.GetCanvas());
    EXPECT_EQ(behind.GetPixel(5, 4), clYellow);
    TBitmap corner(4, 4);
    dot->SetBounds(0, 0, 4, 4);
    dot->PaintParentBackground(*corner.GetCanvas());
    EXPECT_EQ(corner.GetPixel(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(corner.GetPixel(1, 1), clYellow);
}

TEST_F(Controls, APartRepaintedPaintsThatPartAlone) {
    auto* probe = new TProbe(form);
    probe->SetParent(form);
    probe->SetBounds(10, 10, 100, 50);
    form->Show();
    QApplication::processEvents();
    ASSERT_TRUE(probe->GetWidget()->isVisible());
    probe->GetWidget()->repaint();
    EXPECT_EQ(probe->clip, TRect(0, 0, 100, 50));
    probe->GetWidget()->repaint(QRect(20, 5, 30, 10));
    EXPECT_EQ(probe->clip, TRect(20, 5, 50, 15));
    // Painting a part into a canvas asks the control for that part only.
    TBitmap strip(100, 50);
    probe->PaintAreaTo(*strip.GetCanvas(), 0, 0, TRect(90, 0, 200, 50));
    EXPECT_EQ(probe->clip, TRect(90, 0, 100, 50));
    EXPECT_EQ(strip.GetPixel(99, 20), clRed);
    EXPECT_EQ(strip.GetPixel(0, 20), clWhite);  // untouched
}

TEST_F(Controls, NamesAndAccessibilityBridge) {
    auto* probe = new TProbe(form);
    probe->SetParent(form);
    probe->SetName("OptionBox");
    probe->SetCaption("Option");
    EXPECT_EQ(probe->GetWidget()->objectName().toStdString(), "OptionBox");
    EXPECT_EQ(probe->GetWidget()->accessibleDescription().toStdString(), "OptionBox");
    int clicks = 0;
    probe->OnClick = [&](TObject*) { ++clicks; };
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(probe->GetWidget());
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(acc->role(), QAccessible::CheckBox);
    EXPECT_EQ(acc->text(QAccessible::Name).toStdString(), "Option");
    EXPECT_EQ(acc->text(QAccessible::Description).toStdString(), "OptionBox");
    EXPECT_TRUE(acc->state().checkable);
    EXPECT_FALSE(acc->state().checked);
    // A screen reader runs the first action: the control's own, before focusing it.
    QAccessibleActionInterface* act = acc->actionInterface();
    ASSERT_NE(act, nullptr);
    probe->SetTabStop(true);
    ASSERT_GE(act->actionNames().size(), 2);
    EXPECT_EQ(act->actionNames().front(), QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(act->actionNames().contains(QAccessibleActionInterface::setFocusAction()));
    act->doAction(act->actionNames().front());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(acc->state().checked);
    // Its pop-up menu is one action away, as the context-menu key would show it.
    auto* menu = new TPopupMenu(form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("Поиск");
    menu->GetItems()->Add(item);
    int chosen = 0;
    item->OnClick = [&](TObject*) { ++chosen; };
    probe->SetPopupMenu(menu);
    ASSERT_TRUE(act->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    ui::test::PushPopupAnswer(0);
    act->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(menu->GetPopupComponent(), probe);
    probe->SetEnabled(false);
    EXPECT_TRUE(acc->state().disabled);
    EXPECT_NE(act->actionNames().front(), QAccessibleActionInterface::toggleAction());
    act->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(clicks, 1);

    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetName("OKMES");
    button->SetCaption("ОК");
    EXPECT_EQ(button->GetWidget()->objectName().toStdString(), "OKMES");
    EXPECT_EQ(button->GetWidget()->accessibleName().toStdString(), "ОК");
    EXPECT_EQ(button->GetWidget()->accessibleDescription().toStdString(), "OKMES");
}

TEST_F(Controls, LabelAutoSizesToTahomaText) {
    form->GetFont()->SetName("Tahoma");
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("&Port");
    TBitmap scratch(1, 1);
    scratch.GetCanvas()->SetFont(*label->GetFont());
    EXPECT_EQ(label->GetHeight(), 13);
    EXPECT_EQ(label->GetWidth(), scratch.GetCanvas()->TextWidth("Port"));
    EXPECT_EQ(label->GetAccessibleInfo().Name, "Port");
    label->SetCaption("");
    EXPECT_EQ(label->GetWidth(), scratch.GetCanvas()->TextWidth(" "));
}

TEST_F(Controls, ScriptedDialogsNeverBlock) {
    ui::test::PushDialogAnswer(IDYES);
    EXPECT_EQ(MessageBox("Delete?", "Информация", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox("Delete?", "Информация", MB_YESNO), IDNO);  // the default
    ShowMessage("Hello");
    ui::test::PushDialogAnswer(mrYes);
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, {mbYes, mbNo}), mrYes);
    const auto& shown = ui::test::ShownDialogs();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].caption, "Информация");
    EXPECT_EQ(shown[2].kind, "message");
    EXPECT_EQ(shown[2].text, "Hello");

    TSaveDialog save(nullptr);
    save.SetDefaultExt("csv");
    save.SetFilter("CSV (*.csv)|*.csv");
    EXPECT_FALSE(save.Execute());
    ui::test::PushFileAnswer("/tmp/numbers");
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.GetFileName(), "/tmp/numbers.csv");
    EXPECT_EQ(ui::QtNameFilters("Text files (*.txt)|*.txt;*.log|All|*.*"), "Text files (*.txt *.log);;All (*.*)");
}

// The boxes as the user meets them: their buttons named in the window's language, answered
// from the keyboard.
TEST_F(Controls, BoxesSpeakTheWindowsLanguageAndTakeKeys) {
    ui::test::SetScripted(false);
    QStringList buttons;
    realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Return); });
    EXPECT_EQ(MessageBox("Удалить?", "Информация", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(buttons, (QStringList{"Да", "Нет"}));
    buttons.clear();
    realinput::OnNextBox(buttons, [](QWidget* box) {
        realinput::BoxKey(box, Qt::Key_Backtab, Qt::ShiftModifier);
        realinput::BoxKey(box, Qt::Key_Space);
    });
    EXPECT_EQ(MessageBox("Удалить?", "Информация", MB_YESNO | MB_DEFBUTTON2), IDYES);
    buttons.clear();
    realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Escape); });
    EXPECT_EQ(MessageBox("Записать?", "Информация", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(buttons, (QStringList{"ОК", "Отмена"}));

    SetDialogLanguage(TDialogLanguage::English);
    buttons.clear();
    realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Return); });
    EXPECT_EQ(MessageBox("Delete?", "Information", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(buttons, (QStringList{"No", "Yes"}));
    buttons.clear();
    realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Return); });
    ShowMessage("Written");
    EXPECT_EQ(buttons, (QStringList{"OK"}));
    SetDialogLanguage(TDialogLanguage::Russian);
    ui::test::SetScripted(true);
}
