// Port-setting combo boxes and radio groups: their item lists, the value shown for a port,
// and the chosen value reaching the port at once or on ApplySettings.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/Forms.h"
#include "serial/SerialPortCtl.h"

namespace {

class SelectTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZENTOR_PORTS", "/dev/ttyB1;/dev/ttyA9=Bench", 1);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 300);
    }
    void TearDown() override {
        form.reset();
        unsetenv("ZENTOR_PORTS");
    }
    TSerialComboBox* Combo(TSerialProperty prop) {
        auto* c = new TSerialComboBox(form.get());
        c->SetParent(form.get());
        c->SetComProperty(prop);
        return c;
    }
    std::unique_ptr<TForm> form;
    TSerialPort port{nullptr};
};

TEST_F(SelectTest, ItemListsInValueOrder) {
    EXPECT_EQ(Combo(cpBaudRate)->GetItems()->ToVector(),
              (std::vector<std::string>{"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400",
                                        "19200", "38400", "56000", "57600", "115200", "128000", "256000"}));
    EXPECT_EQ(Combo(cpDataBits)->GetItems()->ToVector(), (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(Combo(cpStopBits)->GetItems()->Count(), 3);
    EXPECT_EQ(Combo(cpParity)->GetItems()->ToVector(),
              (std::vector<std::string>{"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(Combo(cpFlowControl)->GetItems()->Count(), 4);
    EXPECT_EQ(Combo(cpPort)->GetItems()->ToVector(), (std::vector<std::string>{"/dev/ttyA9", "/dev/ttyB1"}));
    TSerialComboBox* none = Combo(cpParity);
    none->SetComProperty(cpNone);
    EXPECT_EQ(none->GetItems()->Count(), 0);
    // Without a port the first item is selected.
    TSerialComboBox* rates = Combo(cpBaudRate);
    EXPECT_EQ(rates->GetItemIndex(), 0);
    EXPECT_TRUE(rates->GetStyle() == csDropDownList);
}

TEST_F(SelectTest, ShowsThePortsValue) {
    port.SetBaudRate(br19200);
    auto* c = new TSerialComboBox(form.get());
    c->SetParent(form.get());
    c->SetComPort(&port);
    c->SetComProperty(cpBaudRate);
    EXPECT_EQ(c->GetText(), "19200");
    port.SetBaudRate(br115200);
    c->UpdateSettings();
    EXPECT_EQ(c->GetText(), "115200");
    // A port name that is not listed selects nothing.
    auto* p = new TSerialComboBox(form.get());
    p->SetParent(form.get());
    p->SetComPort(&port);
    p->SetComProperty(cpPort);
    EXPECT_EQ(p->GetItemIndex(), -1);
    port.SetPort("/dev/ttyB1");
    p->UpdateSettings();
    EXPECT_EQ(p->GetText(), "/dev/ttyB1");
    // Text selects an item only when there is one with that text.
    c->SetText("600");
    EXPECT_EQ(c->GetText(), "600");
    c->SetText("601");
    EXPECT_EQ(c->GetText(), "600");
}

TEST_F(SelectTest, AutoApplyAndApplySettings) {
    auto* c = new TSerialComboBox(form.get());
    c->SetParent(form.get());
    c->SetComPort(&port);
    c->SetComProperty(cpParity);
    int changes = 0;
    c->OnChange = [&](TObject*) {
        ++changes;
        EXPECT_EQ(port.GetParity()->GetBits(), prEven);  // applied before the handler runs
    };
    c->SetAutoApply(true);
    c->SetText("Even");
    c->Change();  // the user's choice
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(port.GetParity()->GetBits(), prEven);

    c->OnChange = nullptr;
    c->SetAutoApply(false);
    c->SetText("Mark");
    c->Change();
    EXPECT_EQ(port.GetParity()->GetBits(), prEven);
    c->ApplySettings();
    EXPECT_EQ(port.GetParity()->GetBits(), prMark);

    // Each property through its own setter.
    struct Case {
        TSerialProperty prop;
        const char* text;
        std::function<bool()> check;
    } cases[] = {
        {cpBaudRate, "56000", [&] { return port.GetBaudRate() == br56000; }},
        {cpDataBits, "6", [&] { return port.GetDataBits() == dbSix; }},
        {cpStopBits, "2", [&] { return port.GetStopBits() == sbTwoStopBits; }},
        {cpFlowControl, "Software", [&] { return port.GetFlowControl()->GetFlowControl() == fcSoftware; }},
        {cpPort, "/dev/ttyA9", [&] { return port.GetPort() == "/dev/ttyA9"; }},
    };
    for (auto& k : cases) {
        c->SetComProperty(k.prop);
        c->SetText(k.text);
        ASSERT_EQ(c->GetText(), k.text);
        c->Change();
        c->ApplySettings();
        EXPECT_TRUE(k.check()) << k.text;
    }
}

TEST_F(SelectTest, AnUnlistedPortNameIsNotWipedByApply) {
    port.SetPort("/dev/ttyGone");
    auto* c = new TSerialComboBox(form.get());
    c->SetParent(form.get());
    c->SetComPort(&port);
    c->SetComProperty(cpPort);
    c->ApplySettings();
    EXPECT_EQ(port.GetPort(), "/dev/ttyGone");
}

TEST_F(SelectTest, ThePortGoingAwayIsForgotten) {
    auto* c = new TSerialComboBox(form.get());
    auto* g = new TSerialRadioGroup(form.get());
    {
        TSerialPort temp(nullptr);
        c->SetComPort(&temp);
        g->SetComPort(&temp);
    }
    EXPECT_EQ(c->GetComPort(), nullptr);
    EXPECT_EQ(g->GetComPort(), nullptr);
    c->SetComProperty(cpBaudRate);
    c->ApplySettings();  // no port: nothing happens
}

TEST_F(SelectTest, RadioGroupShowsAndAppliesOnANewItemOnly) {
    port.SetDataBits(dbSeven);
    auto* g = new TSerialRadioGroup(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 0, 150, 120);
    g->SetComPort(&port);
    g->SetComProperty(cpDataBits);
    EXPECT_EQ(g->GetItems()->ToVector(), (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(g->GetItemIndex(), 2);
    g->SetAutoApply(true);
    int clicks = 0;
    g->OnClick = [&](TObject*) { ++clicks; };
    g->GetButton(0)->Click();  // the user clicks "5"
    EXPECT_EQ(port.GetDataBits(), dbFive);
    EXPECT_EQ(clicks, 1);
    // The group refuses a change: nothing reaches the port, no click.
    g->OnChanging = [](TObject*, int, bool& allow) { allow = false; };
    g->GetButton(3)->Click();
    EXPECT_EQ(port.GetDataBits(), dbFive);
    EXPECT_EQ(g->GetItemIndex(), 0);
    EXPECT_EQ(clicks, 1);
    g->OnChanging = nullptr;
    // Another item from code is applied too; without AutoApply only on ApplySettings.
    g->SetAutoApply(false);
    g->SetItemIndex(3);
    EXPECT_EQ(port.GetDataBits(), dbFive);
    g->ApplySettings();
    EXPECT_EQ(port.GetDataBits(), dbEight);
}

}  // namespace
