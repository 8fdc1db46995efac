// The settings and schedules pages of the main window against hand-made records: what the
// controls show, and what comes back when the record is built from them again.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QWidget>
#include <string>

#include "RecordSamples.h"
#include "app/Unit1.h"
#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "config/ConfigTransfer.h"
#include "config/FormConfigControls.h"
#include "memory/PhoneBase.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Hosts.h"
#include "support/ShownWindow.h"

namespace {

using namespace recordsamples;

class FormSettings : public ::testing::Test {
protected:
    void SetUp() override {
        g_ConfigRecord = {};
        g_ConfigPage = kSettingsPage;  // other tests leave the schedules page remembered
        SetPhoneRecords({});
        Application->CreateForm(Form1);
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        g_ConfigRecord = {};
        SetPhoneRecords({});
    }
};

// Only the time stamp and the CRC may differ.
void ExpectSameBut(const ConfigRecord& got, const ConfigRecord& want) {
    for (std::size_t i = 0; i < kConfigRecordSize; ++i) {
        if ((i >= 5 && i < 9) || i >= 510) continue;
        EXPECT_EQ(got[i], want[i]) << "offset " << i;
    }
}

TEST_F(FormSettings, DeviceRecordShownInTheControls) {
    g_ConfigRecord = DeviceRecord();
    Form1->ConfPages->SetActivePageIndex(2);
    Form1->Read_config();
    TForm1& f = *Form1;
    EXPECT_EQ(f.ConfPages->GetActivePageIndex(), 0);
    EXPECT_EQ(f.ADMINPASS->GetText(), "12345");
    EXPECT_EQ(f.USERPASS->GetText(), "1000");
    EXPECT_TRUE(f.CallFromAll->GetChecked());
    EXPECT_TRUE(f.ACTOUTINPERIOD->GetChecked());
    EXPECT_EQ(f.OPERATOR->GetItemIndex(), 5);
    EXPECT_TRUE(f.UserAPN->GetVisible());
    EXPECT_EQ(f.UserAPN->GetText(), "интернет");
    EXPECT_EQ(f.CON_ADR1->GetText(), "srv.example.net:80");
    EXPECT_EQ(f.NTPADR->GetText(), "ntp.example.net:123");
    EXPECT_EQ(f.SIMNUM1->GetText(), "+79001234567");
    EXPECT_EQ(f.OUTTYPE->GetItemIndex(), 0);
    EXPECT_FALSE(f.Panel4->GetVisible());  // no pulse parameters for "Инвертировать"
    EXPECT_EQ(f.OUTIMP->GetText(), "200");
    EXPECT_EQ(f.OUTREPEATE->GetText(), "250");
    EXPECT_EQ(f.TimeZone->GetText(), "-3");
    EXPECT_EQ(f.IMGREZ->GetItemIndex(), 2);
    EXPECT_EQ(f.OutTypeInTimeAction->GetItemIndex(), 1);
    EXPECT_EQ(f.STOUTPERIODMIN->GetText(), "30");
    EXPECT_EQ(f.RingCountLimit->GetText(), "10");
    EXPECT_EQ(f.InFun1->GetText(), "Кнопка отрытия");
    EXPECT_EQ(f.InFun2->GetText(), "Датчик присутсвия транспорта");
    EXPECT_EQ(f.FromAllShedule->GetText(), "Расписание 7");
    EXPECT_EQ(f.ReaderType->GetText(), "Универсальный WG");
    EXPECT_EQ(f.BalanceGetNumber->GetText(), "*102#");
    // Template 1 on Monday 01..02, template 7 on Sunday 22..23.
    EXPECT_EQ(WeekdaysOf(f.WD1), (TWeekdays{true, false, false, false, false, false, false}));
    EXPECT_EQ(WeekdaysOf(f.WD7), (TWeekdays{false, false, false, false, false, false, true}));
    EXPECT_EQ(f.ST1->GetText(), "01");
    EXPECT_EQ(f.ET7->GetText(), "23");
    EXPECT_EQ(WeekdaysOf(f.ACTOUTDAYS), (TWeekdays{true, false, false, false, false, false, true}));
}

TEST_F(FormSettings, RoundTripThroughTheControlsChangesOnlyStampAndCrc) {
    const ConfigRecord original = DeviceRecord();
    g_ConfigRecord = original;
    Form1->Read_config();
    sys::SetManualWallSeconds(1709374830);  // 0x65E2FD6E
    Form1->Write_config();
    ExpectSameBut(g_ConfigRecord, original);
    EXPECT_EQ(g_ConfigRecord[5], 0x6E);
    EXPECT_EQ(g_ConfigRecord[8], 0x65);
    EXPECT_TRUE(ConfigRecordCrcOk(g_ConfigRecord));

    // Bytes that no item shows go back as the record held them.
    ConfigRecord odd = original;
    odd[14] = 9;
    odd[134] = 2;
    odd[139] = 24;
    odd[159] = 4;
    odd[169] = 6;
    odd[193] = 3;
    SealConfigRecord(odd);
    g_ConfigRecord = odd;
    Form1->Read_config();
    EXPECT_EQ(Form1->OPERATOR->GetItemIndex(), -1);
    EXPECT_FALSE(Form1->UserAPN->GetVisible());
    EXPECT_EQ(Form1->IMGREZ->GetItemIndex(), -1);
    Form1->Write_config();
    ExpectSameBut(g_ConfigRecord, odd);

    // An edit the user makes is the only other change.
    Form1->SIMNUM1->SetText("+71112223344");
    Form1->InFun1->SetItemIndex(1);
    Form1->WD3->SetItemChecked(6, true);
    Form1->Write_config();
    ConfigRecord want = odd;
    PutText(want, 118, "+71112223344");
    want[169] = 1;
    want[144] = 0x44;
    ExpectSameBut(g_ConfigRecord, want);
}

TEST_F(FormSettings, WorkedExamplesThroughTheControls) {
    ConfigRecord r;
    Put(r, 174, {100, 0});
    g_ConfigRecord = r;
    Form1->Read_config();
    EXPECT_EQ(Form1->IMGREZ->GetItemIndex(), 0);
    EXPECT_EQ(g_ConfigRecord[159], 3);
    EXPECT_EQ(Form1->BalanceGetNumber->GetText(), "*100#");

    Form1->CON_ADR1->SetText("gate.example.org:10950");
    Form1->TimeZone->SetText("-3");
    Form1->UserAPN->SetText(std::string(45, 'a'));
    Form1->NTPEN->SetChecked(true);
    Form1->CON_EN1->SetChecked(true);
    Form1->OUTIMP->SetText("255");
    Form1->Write_config();
    const ConfigRecord& w = g_ConfigRecord;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(w.data() + 66)), "gate.example.org");
    EXPECT_EQ(w[90], 0xC6);
    EXPECT_EQ(w[91], 0x2A);
    EXPECT_EQ(w[160], 0xFD);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(w.data() + 15)), std::string(39, 'a'));
    EXPECT_EQ(w[54], 0);
    EXPECT_EQ(w[13], 0x02);
    EXPECT_EQ(w[60], 0x01);
    EXPECT_EQ(w[135], 255);
    Form1->Read_config();
    EXPECT_EQ(Form1->TimeZone->GetText(), "-3");
}

TEST_F(FormSettings, ConversionErrorLeavesTheRecord) {
    g_ConfigRecord = DeviceRecord();
    Form1->Read_config();
    const ConfigRecord before = g_ConfigRecord;
    Form1->OUTPAUSE->SetText("7x");
    EXPECT_THROW(Form1->Write_config(), EConvertError);
    EXPECT_EQ(g_ConfigRecord, before);
    EXPECT_THROW(Form1->ReadConfigFromObjects(), EConvertError);
    EXPECT_EQ(g_ConfigRecord, before);
}

TEST_F(FormSettings, OperatorShowsTheApnOnlyForOther) {
    for (int item = 0; item < 6; ++item) {
        Form1->OPERATOR->SetItemIndex(item);
        Form1->OPERATORChange(Form1->OPERATOR);
        EXPECT_EQ(Form1->UserAPN->GetVisible(), item == 5) << item;
    }
}

TEST_F(FormSettings, DefaultsInTheControlsAndTheRecord) {
    SetPhoneRecords(std::vector<PhoneRecord>(3));
    g_ConfigPath = "somewhere.fcg";
    Form1->RFIDAnts->SetItemIndex(2);
    Form1->Load_default();
    EXPECT_EQ(g_ConfigPath, "default.fcg");
    EXPECT_EQ(g_PhoneCount, 0u);
    EXPECT_EQ(Form1->RFIDAnts->GetItemIndex(), 2);
    EXPECT_FALSE(Form1->UserAPN->GetVisible());
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "5940");
    EXPECT_EQ(Form1->USERPASS->GetText(), "6482");
    EXPECT_EQ(Form1->SIMNUM1->GetText(), "+7");
    EXPECT_EQ(Form1->CON_ADR1->GetText(), std::string(sys::kDeviceServerHost) + ":10950");
    EXPECT_EQ(Form1->NTPADR->GetText(), std::string(sys::kTimeServerHost) + ":123");
    EXPECT_EQ(WeekdaysOf(Form1->WD3), (TWeekdays{true, true, true, true, true, true, true}));

    Form1->Write_config();
    const ConfigRecord& r = g_ConfigRecord;
    EXPECT_EQ(r[13], 0x02);
    EXPECT_EQ(r[60], 0x01);
    EXPECT_EQ(r[90] | (r[91] << 8), 10950);
    EXPECT_EQ(r[116] | (r[117] << 8), 123);
    EXPECT_EQ(r[134], 1);
    EXPECT_EQ(r[135], 1);
    EXPECT_EQ(r[136], 1);
    EXPECT_EQ(r[137], 1);
    EXPECT_EQ(r[159], 5);
    EXPECT_EQ(r[172], 50);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 176)), "*100#");
    const std::uint8_t templates[21] = {0x1F, 0, 0, 0x1F, 8, 20, 0x7F, 8, 20, 0x60, 0, 0,
                                        0x55, 0, 0, 0x2A, 0, 0, 0, 0, 0};
    for (int i = 0; i < 21; ++i) EXPECT_EQ(r[138 + i], templates[i]) << i;
    EXPECT_EQ(r[193], 2);
}

TEST_F(FormSettings, ControlsStartAtTheDefaults) {
    // A start-up that opens no configuration leaves the factory values, never blanks.
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "5940");
    EXPECT_EQ(Form1->OUTTYPE->GetItemIndex(), 1);
    EXPECT_EQ(Form1->IMGREZ->GetItemIndex(), 1);
    EXPECT_NO_THROW(Form1->Write_config());
    EXPECT_EQ(g_ConfigRecord[159], 5);
}

// The settings and schedules without the mouse: tabs switched by a screen reader, boxes
// toggled by it or by Space, a radio item moved by the arrow keys; the record built from the
// controls holds what they show.
TEST(SettingsWithoutTheMouse, WhatTheControlsShowIsWhatTheRecordHolds) {
    testsupport::TShownWindow window;
    g_ConfigRecord = {};
    TForm1& f = *Form1;
    f.SelectPage(0);
    auto pressTab = [&](const char* caption) {
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(f.ConfPages->GetWidget());
        for (int i = 0; i < strip->childCount(); ++i) {
            QAccessibleInterface* tab = strip->child(i);
            if (tab->role() == QAccessible::PageTab && tab->text(QAccessible::Name) == QString::fromUtf8(caption))
                return tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        ADD_FAILURE() << "no tab " << caption;
    };
    pressTab("Основные параметры");
    EXPECT_EQ(f.ConfPages->GetActivePageIndex(), 0);
    const bool cloud = !f.CON_EN1->GetChecked(), ntp = !f.NTPEN->GetChecked();
    testsupport::AccessibleAction(f.CON_EN1->GetWidget());
    EXPECT_EQ(f.CON_EN1->GetChecked(), cloud);
    f.NTPEN->SetFocus();
    testsupport::KeyClick(f.NTPEN->GetWidget(), Qt::Key_Space, " ");
    EXPECT_EQ(f.NTPEN->GetChecked(), ntp);

    pressTab("Входы/Выходы");
    EXPECT_EQ(f.ConfPages->GetActivePageIndex(), 1);
    const TWeekdays period = WeekdaysOf(f.ACTOUTDAYS);
    TControl* wednesday = f.ACTOUTDAYS->GetButton(2);
    static_cast<TWinControl*>(wednesday)->SetFocus();
    testsupport::KeyClick(wednesday->GetWidget(), Qt::Key_Space, " ");
    EXPECT_NE(f.ACTOUTDAYS->GetItemChecked(2), period[2]);

    pressTab("Доп. оборудование");
    EXPECT_EQ(f.ConfPages->GetActivePageIndex(), 2);
    const int resolution = f.IMGREZ->GetItemIndex();
    ASSERT_GE(resolution, 0);
    TControl* chosen = f.IMGREZ->GetButton(resolution);
    static_cast<TWinControl*>(chosen)->SetFocus();
    testsupport::KeyClick(chosen->GetWidget(), Qt::Key_Right);
    const int next = (resolution + 1) % 3;
    EXPECT_EQ(f.IMGREZ->GetItemIndex(), next);

    f.SelectPage(7);
    const TWeekdays first = WeekdaysOf(f.WD1), last = WeekdaysOf(f.WD7);
    TControl* monday = f.WD1->GetButton(0);
    static_cast<TWinControl*>(monday)->SetFocus();
    testsupport::KeyClick(monday->GetWidget(), Qt::Key_Space, " ");
    testsupport::AccessibleAction(f.WD7->GetButton(6)->GetWidget());

    f.Write_config();
    EXPECT_EQ(g_ConfigRecord[60], cloud ? 0x01 : 0x00);
    EXPECT_EQ(g_ConfigRecord[13] & 0x02, ntp ? 0x02 : 0x00);
    EXPECT_EQ((g_ConfigRecord[167] >> 2) & 1, period[2] ? 0 : 1);
    EXPECT_EQ(g_ConfigRecord[159], 2 * next + 3);
    EXPECT_EQ(g_ConfigRecord[138] & 0x01, first[0] ? 0x00 : 0x01);
    EXPECT_EQ(g_ConfigRecord[138 + 18] & 0x40, last[6] ? 0x00 : 0x40);
}

TEST_F(FormSettings, EditGuardsAndHints) {
    // The key-release guard's largest value is the edit's maximum length; the pulse and pause
    // stop where their byte does.
    EXPECT_EQ(Form1->OUTIMP->GetMaxLength(), 255);
    EXPECT_EQ(Form1->OUTPAUSE->GetMaxLength(), 255);
    EXPECT_EQ(Form1->OUTREPEATE->GetMaxLength(), 250);
    EXPECT_EQ(Form1->FotoDelay->GetMaxLength(), 255);
    EXPECT_EQ(Form1->ADMINPASS->GetMaxLength(), 9999);
    Form1->OUTIMP->SetText("300");
    Word key = '0';
    Form1->OUTIMP->KeyUp(key, {});
    EXPECT_EQ(Form1->OUTIMP->GetText(), "255");
    Form1->OUTREPEATE->SetText("");
    key = VK_BACK;
    Form1->OUTREPEATE->KeyUp(key, {});
    EXPECT_EQ(Form1->OUTREPEATE->GetText(), "0");

    // The server address without ":" shows its hint; the pulse panel follows OUTTYPE.
    Form1->CON_ADR1->SetText("host.example");
    EXPECT_TRUE(Form1->Label40->GetVisible());
    Form1->CON_ADR1->SetText("host.example:10950");
    EXPECT_FALSE(Form1->Label40->GetVisible());
    Form1->OUTTYPE->SetItemIndex(0);
    Form1->InFun1->SetItemIndex(2);
    Form1->InFun1->OnChange(Form1->InFun1);
    EXPECT_FALSE(Form1->Panel4->GetVisible());
    Form1->Load_default();
    EXPECT_TRUE(Form1->Panel4->GetVisible());
}

}  // namespace

namespace {

// The read reply's record bytes straight into the dispatcher's case.
class ReadReply : public FormSettings {
protected:
    static void Reply(std::uint16_t announced, std::size_t sent, std::uint8_t fill) {
        std::vector<std::uint8_t> data = {0, 0, static_cast<std::uint8_t>(announced),
                                          static_cast<std::uint8_t>(announced >> 8)};
        data.resize(4 + sent, fill);
        TDeviceReply reply{0x20, data.data(), data.size()};
        Form1->Reply_ReadConfig(reply);
    }
};

TEST_F(ReadReply, AnnouncedLengthIsCutToTheRecordAndTheFrame) {
    g_ConfigRecord = DeviceRecord();
    Reply(100, 100, 0x33);
    for (std::size_t i = 0; i < 100; ++i) EXPECT_EQ(g_ConfigRecord[i], 0x33) << i;
    for (std::size_t i = 100; i < kConfigRecordSize; ++i) EXPECT_EQ(g_ConfigRecord[i], DeviceRecord()[i]) << i;
    Reply(600, 600, 0x44);
    EXPECT_EQ(g_ConfigRecord[511], 0x44);
    // More announced than the frame holds: only what came.
    g_ConfigRecord = DeviceRecord();
    Reply(512, 10, 0x55);
    EXPECT_EQ(g_ConfigRecord[9], 0x55);
    EXPECT_EQ(g_ConfigRecord[10], DeviceRecord()[10]);
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 0);
}

}  // namespace
