// Styled controls under real input: the form offers Enter and Escape that an edit leaves to
// the styled push buttons too; a double click reaches a radio button and the meter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "support/RealInput.h"
#include "widgets/UiBorder.h"
#include "widgets/UiButton.h"
#include "widgets/UiRadChk.h"

namespace {
void Press(TWinControl* c, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(c->GetWidget(), &press);
}
}  // namespace

TEST(ButtonFormKeys, EnterAndEscapeFromAnEditReachTheStyledButtons) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* ok = new TUiButton(&form);
    ok->SetParent(&form);
    ok->SetBounds(100, 0, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TUiButton(&form);
    cancel->SetParent(&form);
    cancel->SetBounds(200, 0, 75, 25);
    cancel->SetCancel(true);
    int okClicks = 0, cancelClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    form.Show();
    form.SetActiveControl(edit);
    Press(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(form.GetModalResult(), mrOk);
    Press(edit, Qt::Key_Escape, QString(QChar(0x1B)));
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(okClicks, 1);
}

TEST(ButtonFormKeys, DoubleClicksReachARadioButtonAndTheMeter) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* radio = new TUiRadioButton(&form);
    radio->SetParent(&form);
    radio->SetCaption("Radio");
    auto* meter = new TUiMeter(&form);
    meter->SetParent(&form);
    meter->SetBounds(100, 0, 150, 30);
    std::string events;
    radio->OnClick = [&](TObject*) { events += "click "; };
    radio->OnDblClick = [&](TObject*) { events += "double "; };
    meter->OnDblClick = [&](TObject*) { events += "meter"; };
    form.Show();
    realinput::DoubleClick(radio->GetWidget(), QPoint(5, 5));
    realinput::DoubleClick(meter->GetWidget(), QPoint(20, 10));
    EXPECT_EQ(events, "click double meter");
    EXPECT_TRUE(radio->GetChecked());
}
