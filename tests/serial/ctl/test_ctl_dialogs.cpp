// The setup dialogs, scripted as they open: what they show, what OK writes back, and that
// Cancel changes nothing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/rtl/SysUtils.h"
#include "serial/SerialPortCtl.h"
#include "serial/SerialStore.h"

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("ZENTOR_PORTS", "/dev/ttyS5;/dev/ttyS6", 1); }
    void TearDown() override {
        SetSerialDialogShowEvent(nullptr);
        unsetenv("ZENTOR_PORTS");
    }
};

// Counts the settings a port receives at once.
class CountingPort : public TSerialPort {
public:
    using TSerialPort::TSerialPort;
    void ApplyDCB() override {
        ++dcbs;
        TSerialPort::ApplyDCB();
    }
    int dcbs = 0;
};

TEST_F(DialogTest, PortSetupShowsThePortAndOkAppliesEverySetting) {
    CountingPort port(nullptr);
    port.SetPort("/dev/ttyS5");
    port.SetBaudRate(br19200);
    std::vector<std::string> shown;
    SetSerialDialogShowEvent([&](TCustomForm* f) {
        auto* d = dynamic_cast<TSerialSetupFrm*>(f);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->GetCaption(), "Setup");
        EXPECT_EQ(d->GetBorderStyle(), bsDialog);
        EXPECT_EQ(d->GroupBox1->GetCaption(), " Settings ");
        for (int i = 1; i <= 6; ++i) shown.push_back(d->Combo(i)->GetText());
        const char* choice[6] = {"/dev/ttyS6", "57600", "7", "2", "Odd", "Hardware"};
        for (int i = 1; i <= 6; ++i) {
            d->Combo(i)->SetText(choice[i - 1]);
            d->Combo(i)->Change();
        }
        // Nothing reaches the port before OK.
        EXPECT_EQ(port.GetBaudRate(), br19200);
        d->Button1->Click();
    });
    EditSerialPort(&port);
    EXPECT_EQ(shown, (std::vector<std::string>{"/dev/ttyS5", "19200", "8", "1", "None", "None"}));
    EXPECT_EQ(port.GetPort(), "/dev/ttyS6");
    EXPECT_EQ(port.GetBaudRate(), br57600);
    EXPECT_EQ(port.GetDataBits(), dbSeven);
    EXPECT_EQ(port.GetStopBits(), sbTwoStopBits);
    EXPECT_EQ(port.GetParity()->GetBits(), prOdd);
    EXPECT_EQ(port.GetFlowControl()->GetFlowControl(), fcHardware);
}

TEST_F(DialogTest, CancelChangesNothing) {
    TSerialPort port(nullptr);
    port.SetBaudRate(br4800);
    SetSerialDialogShowEvent([&](TCustomForm* f) {
        auto* d = static_cast<TSerialSetupFrm*>(f);
        d->Combo2->SetText("115200");
        d->Combo2->Change();
        d->Button2->Click();
    });
    EditSerialPort(&port);
    EXPECT_EQ(port.GetBaudRate(), br4800);
    EXPECT_EQ(port.GetPort(), "COM1");  // not in the list: left as it was
}

TEST_F(DialogTest, ShowSetupDialogOfThePortOnceRegistered) {
    TSerialPort port(nullptr);
    int shows = 0;
    SetSerialDialogShowEvent([&](TCustomForm* f) {
        ++shows;
        static_cast<TSerialSetupFrm*>(f)->Button2->Click();
    });
    SetSerialSetupDialogProc(nullptr);
    port.ShowSetupDialog();
    EXPECT_EQ(shows, 0);
    RegisterSerialSetupDialog();
    port.ShowSetupDialog();
    EXPECT_EQ(shows, 1);
}

TEST_F(DialogTest, TerminalSetupShowsAndWritesBack) {
    TSerialTerminal term(nullptr);
    term.SetLocalEcho(true);
    term.SetEmulation(teVT52);
    term.SetColumns(100);
    SetSerialDialogShowEvent([&](TCustomForm* f) {
        auto* d = dynamic_cast<TSerialTrmSetForm*>(f);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->GroupBox1->GetCaption(), " ASCII Settings ");
        EXPECT_EQ(d->GroupBox2->GetCaption(), " Terminal Settings ");
        EXPECT_EQ(d->CheckBox1->GetCaption(), "Echo typed charachters locally");
        EXPECT_TRUE(d->CheckBox1->GetChecked());
        EXPECT_FALSE(d->CheckBox3->GetChecked());
        EXPECT_EQ(d->ComboBox1->GetText(), "Block");
        EXPECT_EQ(d->ComboBox2->GetText(), "VT52");
        EXPECT_EQ(d->ComboBox3->GetText(), "Act as terminal keys");
        EXPECT_EQ(d->Edit1->GetText(), "100");
        EXPECT_EQ(d->Edit2->GetText(), "24");
        d->CheckBox1->SetChecked(false);
        d->CheckBox2->SetChecked(true);
        d->CheckBox3->SetChecked(true);
        d->CheckBox4->SetChecked(true);
        d->CheckBox5->SetChecked(true);
        d->ComboBox1->SetItemIndex(1);
        d->ComboBox2->SetItemIndex(2);
        d->ComboBox3->SetItemIndex(1);
        d->Edit1->SetText("40");
        d->Edit2->SetText("500");  // kept within 100
        d->Button1->Click();
    });
    term.ShowSetupDialog();
    EXPECT_FALSE(term.GetLocalEcho());
    EXPECT_TRUE(term.GetSendLF());
    EXPECT_TRUE(term.GetWrapLines());
    EXPECT_TRUE(term.GetForce7Bit());
    EXPECT_TRUE(term.GetAppendLF());
    EXPECT_EQ(term.GetCaret(), tcUnderline);
    EXPECT_EQ(term.GetEmulation(), teNone);
    EXPECT_EQ(term.GetEscapeCodes(), nullptr);
    EXPECT_EQ(term.GetArrowKeys(), akWindows);
    EXPECT_EQ(term.GetColumns(), 40);
    EXPECT_EQ(term.GetRows(), 100);
}

TEST_F(DialogTest, ABadNumberStopsTheWriteBackAfterWhatCameBefore) {
    TSerialTerminal term(nullptr);
    SetSerialDialogShowEvent([&](TCustomForm* f) {
        auto* d = static_cast<TSerialTrmSetForm*>(f);
        d->CheckBox1->SetChecked(true);
        d->Edit1->SetText("wide");
        d->ComboBox3->SetItemIndex(1);
        d->Button1->Click();
    });
    EXPECT_THROW(EditSerialTerminal(&term), EConvertError);
    EXPECT_TRUE(term.GetLocalEcho());
    EXPECT_EQ(term.GetColumns(), 80);
    EXPECT_EQ(term.GetArrowKeys(), akTerminal);  // written after the numbers
}

}  // namespace
