// Typed numbers and the numeric-edit guard, alone and on the settings page as a user types.
#include <gtest/gtest.h>

#include "app/NumericEditGuard.h"
#include "platform/rtl/SysUtils.h"
#include "support/RealInput.h"
#include "support/ShownWindow.h"

TEST(UserStrToInt, EmptyIsZeroOtherwiseClassLibraryConversion) {
    EXPECT_EQ(UserStrToInt(""), 0);
    EXPECT_EQ(UserStrToInt("1234"), 1234);
    EXPECT_EQ(UserStrToInt("-5"), -5);
    try {
        UserStrToInt("12a");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'12a' is not a valid integer value");
    }
    EXPECT_THROW(UserStrToInt(" "), EConvertError);
    EXPECT_THROW(UserStrToInt("99999999999"), EConvertError);
}

TEST(NumericEditGuard, Rules) {
    // Typing 20000 into the 9999 edit leaves 9999 and swallows the key.
    auto r = EditKeyUpRule("20000", 9999);
    EXPECT_TRUE(r.SetText);
    EXPECT_EQ(r.Text, "9999");
    EXPECT_TRUE(r.ClearKey);
    // Clearing the edit leaves "0", selected, and the key alone.
    r = EditKeyUpRule("", 250);
    EXPECT_TRUE(r.SetText);
    EXPECT_EQ(r.Text, "0");
    EXPECT_TRUE(r.SelectText);
    EXPECT_FALSE(r.ClearKey);
    r = EditKeyUpRule("300", 255);
    EXPECT_EQ(r.Text, "255");
    // At the limit, below it and negative: nothing changes.
    for (const char* t : {"255", "0", "17", "-3"}) {
        r = EditKeyUpRule(t, 255);
        EXPECT_FALSE(r.SetText) << t;
        EXPECT_FALSE(r.ClearKey) << t;
    }
    EXPECT_THROW(EditKeyUpRule("1x", 255), EConvertError);
}

// Emptied by End and BackSpace, a number edit shows "0"; the digits typed next replace it.
TEST(NumericEditGuard, DigitsTypedIntoAnEmptiedEditReplaceItsZero) {
    testsupport::TShownWindow window;
    ASSERT_TRUE(realinput::Activate(Form1->GetWidget()));
    Form1->SelectPage(0);
    for (TEdit* edit : {Form1->BalanceLimit, Form1->OUTIMP}) {
        Form1->ConfPages->SetActivePageIndex(edit == Form1->OUTIMP ? 1 : 0);
        edit->SetText("30");
        edit->SetFocus();
        realinput::Key(Qt::Key_End);
        realinput::Key(Qt::Key_Backspace);
        realinput::Key(Qt::Key_Backspace);
        EXPECT_EQ(edit->GetText(), "0") << edit->GetName();
        realinput::Type("75");
        EXPECT_EQ(edit->GetText(), "75") << edit->GetName();
    }
}
