// Parameters of the readers wired to the device, read and written through the simulated
// controller on the cable: the request bytes, the reply handling, the address guard, and the
// group following the cable connection's group.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "device/AskedReplies.h"
#include "device/LinkRig.h"
#include "tools/devsim/ReaderParamModel.h"
#include "widgets/UiPanel.h"
#include "widgets/UiTabsPages.h"

namespace {

using namespace linktest;
using devsim::ReaderParamModel;

struct ParamsRig {
    explicit ParamsRig(const std::string& name) : rig(name), device(rig.AddController("dev")) {
        device.model->SetAnswerStatus(false);
        readers = std::make_unique<ReaderParamModel>(*device.model);
        rig.ListPorts({"!dev"});
        rig.CreateForm();
        ok = device.started && rig.ConnectTo(device);
        device.sim.ClearRecord();
    }
    std::vector<devsim::Frame> Frames(std::uint8_t command) const {
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : device.sim.Frames())
            if (f.command == command) out.push_back(f);
        return out;
    }
    // Clicks the button and lets the reply through the dispatcher.
    bool Exchange(TUiButton* button, std::uint8_t command, std::size_t replyData) {
        const std::size_t before = device.Requests(command);
        button->OnClick(button);
        return LinkRig::AwaitRequests(device, command, before + 1) && LinkRig::Deliver(FrameBytes(replyData));
    }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }

    LinkRig rig;
    SimPort& device;
    std::unique_ptr<ReaderParamModel> readers;
    bool ok = false;
};

}  // namespace

TEST(ReaderParams, WrittenThenReadBackThroughTheDevice) {
    ParamsRig c("rfid-params");
    ASSERT_TRUE(c.ok);
    c.readers->AddReader(2);
    Form1->RFIDAdr->SetText("2");
    Form1->RFIDParam->SetItemIndex(1);  // "Мощность"
    Form1->RFIDValue->SetText("20");
    ASSERT_TRUE(c.Exchange(Form1->RFIDSet, devsim::kCmdReaderParamSet, 1));
    ASSERT_EQ(c.Frames(0x51).size(), 1u);
    EXPECT_EQ(c.Frames(0x51)[0].data, (devsim::Bytes{0x02, 0x05, 0x14}));
    EXPECT_EQ(ParamsRig::Message(), "Значение параметра установлено!");
    EXPECT_EQ(c.readers->Value(2, 0x05), 20);

    Form1->RFIDValue->SetText("0");
    ASSERT_TRUE(c.Exchange(Form1->RFIDGet, devsim::kCmdReaderParamGet, 2));
    EXPECT_EQ(c.Frames(0x50)[0].data, (devsim::Bytes{0x02, 0x05}));
    EXPECT_EQ(Form1->RFIDValue->GetText(), "20");
    EXPECT_EQ(ParamsRig::Message(), "Параметр считан!");
    EXPECT_FALSE(Form1->PageControlMes->GetActivePageIndex() == 3);  // no wait panel

    // Every parameter goes out with its own code.
    const std::uint8_t codes[] = {0x03, 0x05, 0x07, 0x3F, 0x0A};
    for (int i = 0; i < 5; ++i) {
        Form1->RFIDParam->SetItemIndex(i);
        ASSERT_TRUE(c.Exchange(Form1->RFIDGet, devsim::kCmdReaderParamGet, 2));
        EXPECT_EQ(c.Frames(0x50).back().data, (devsim::Bytes{0x02, codes[i]}));
    }
    EXPECT_EQ(Form1->RFIDValue->GetText(), "2");  // the TID bank
}

TEST(ReaderParams, RefusedWriteAndAddressGuard) {
    ParamsRig c("rfid-params-refused");
    ASSERT_TRUE(c.ok);
    // 31 is beyond the power's range: the device answers 0, "not set".
    Form1->RFIDAdr->SetText("0");
    Form1->RFIDParam->SetItemIndex(1);
    Form1->RFIDValue->SetText("31");
    ASSERT_TRUE(c.Exchange(Form1->RFIDSet, devsim::kCmdReaderParamSet, 1));
    EXPECT_EQ(ParamsRig::Message(), "Ошибка записи параметра!");
    EXPECT_EQ(c.readers->Value(0, 0x05), 30);

    // 300 cannot stay in the edit: it becomes 255 on key release, and 0xFF goes out.
    Form1->RFIDAdr->SetText("300");
    Word key = 0x30;
    Form1->RFIDAdr->OnKeyUp(Form1->RFIDAdr, key, TShiftState());
    EXPECT_EQ(Form1->RFIDAdr->GetText(), "255");
    ASSERT_TRUE(c.Exchange(Form1->RFIDGet, devsim::kCmdReaderParamGet, 2));
    EXPECT_EQ(c.Frames(0x50).back().data, (devsim::Bytes{0xFF, 0x05}));
    EXPECT_EQ(Form1->RFIDValue->GetText(), "0");  // no reader there: value 0

    // An empty edit counts as 0.
    Form1->RFIDAdr->SetText("");
    ASSERT_TRUE(c.Exchange(Form1->RFIDGet, devsim::kCmdReaderParamGet, 2));
    EXPECT_EQ(c.Frames(0x50).back().data, (devsim::Bytes{0x00, 0x05}));
    EXPECT_EQ(Form1->RFIDValue->GetText(), "30");
}

// A number put into a field without typing it (a paste, the accessibility interface) is
// sent as the field shows it, or nothing is sent and the range is told: never its low 8 bits.
TEST(ReaderParams, ANumberNotTypedIsSentAsShownOrNotAtAll) {
    ParamsRig c("rfid-params-untyped");
    ASSERT_TRUE(c.ok);
    const std::string lang = g_LangFilePath;
    g_LangFilePath = testsupport::ShippedLangFile();
    Form1->RFIDParam->SetItemIndex(1);
    struct TPut {
        bool Pasted;
        const char* Text;
        const char* Shown;  // a paste's key release runs the guard, which shows 255 for 300
    };
    for (TEdit* edit : {Form1->RFIDAdr, Form1->RFIDValue})
        for (const TPut& put : {TPut{true, "300", "255"}, {true, "-1", "-1"}, {false, "300", "300"}, {false, "-1", "-1"}}) {
            Form1->RFIDAdr->SetText("2");
            Form1->RFIDValue->SetText("20");
            if (put.Pasted) {
                QGuiApplication::clipboard()->setText(put.Text);
                edit->SelectAll();
                QTest::keyClick(edit->GetWidget(), Qt::Key_V, Qt::ControlModifier);
            } else {
                QAccessible::queryAccessibleInterface(edit->GetWidget())->setText(QAccessible::Value, put.Text);
            }
            ASSERT_EQ(edit->GetText(), put.Shown) << put.Text;
            const std::size_t sent = c.Frames(0x51).size();
            Form1->MESLABEL->SetCaption("");
            if (std::string(put.Shown) == "255") {
                ASSERT_TRUE(c.Exchange(Form1->RFIDSet, devsim::kCmdReaderParamSet, 1));
                EXPECT_EQ(c.Frames(0x51).back().data, (edit == Form1->RFIDAdr ? devsim::Bytes{0xFF, 0x05, 0x14}
                                                                               : devsim::Bytes{0x02, 0x05, 0xFF}));
                continue;
            }
            testsupport::Click(Form1->RFIDSet);
            EXPECT_EQ(ParamsRig::Message(), "Допустимые значения: от 0 до 255") << put.Text;
            // Only the next write, with a number in range, goes out.
            edit->SetText("7");
            ASSERT_TRUE(c.Exchange(Form1->RFIDSet, devsim::kCmdReaderParamSet, 1));
            ASSERT_EQ(c.Frames(0x51).size(), sent + 1);
        }
    Form1->RFIDAdr->SetText("-1");
    Form1->MESLABEL->SetCaption("");
    testsupport::Click(Form1->RFIDGet);
    EXPECT_EQ(ParamsRig::Message(), "Допустимые значения: от 0 до 255");
    g_LangFilePath = lang;
}

// Replies the tool never asked for, and a reply after its request's time, change nothing.
TEST(ReaderParams, RepliesNobodyAwaitsChangeNothing) {
    ParamsRig c("rfid-params-unasked");
    ASSERT_TRUE(c.ok);
    Form1->RFIDValue->SetText("7");
    Form1->MESLABEL->SetCaption("");
    c.device.sim.Send(devsim::BuildReply(0x51, {1}));
    c.device.sim.Send(devsim::BuildReply(0x50, {0, 23}));
    c.device.sim.Send(devsim::BuildReply(0x21, {0, 0}));  // a configuration write's
    ASSERT_TRUE(LinkRig::Deliver(11 + 12 + 12));
    testsupport::Click(Form1->RFIDSet);
    ASSERT_TRUE(LinkRig::AwaitRequests(c.device, devsim::kCmdReaderParamSet, 1));
    sys::AdvanceMs(16000);
    ASSERT_TRUE(LinkRig::Deliver(11));
    EXPECT_EQ(ParamsRig::Message(), "");
    EXPECT_EQ(Form1->RFIDValue->GetText(), "7");
    EXPECT_GE(Form1->MiniLOG->GetLines()->IndexOf("<< " + UnaskedReplyLine("0x21")), 0);
}

TEST(ReaderParams, GroupFollowsTheCableConnectionWhenTheSettingsPageShows) {
    LinkRig rig("rfid-params-page");
    rig.CreateForm();
    Form1->LABOX->SetEnabled(false);
    Form1->TabSheet1->OnShow(Form1->TabSheet1);
    EXPECT_FALSE(Form1->GETSETRFID->GetEnabled());
    Form1->LABOX->SetEnabled(true);
    EXPECT_FALSE(Form1->GETSETRFID->GetEnabled());  // only on the next show
    Form1->TabSheet1->OnShow(Form1->TabSheet1);
    EXPECT_TRUE(Form1->GETSETRFID->GetEnabled());
}

TEST(ReaderParams, DeskReaderOnTheServicePageDeviceReadersWithTheExtraEquipment) {
    LinkRig rig("rfid-layout");
    rig.CreateForm();
    Form1->SelectPage(8);
    TWinControl* page = Form1->TabSheet8;
    auto* service = dynamic_cast<TControl*>(Form1->FindComponent("ServiceBox"));
    ASSERT_NE(service, nullptr);
    TControl* desk = Form1->UiGroupBox25;
    EXPECT_EQ(desk->GetParent(), page);
    EXPECT_GE(desk->GetLeft(), service->GetLeft() + service->GetWidth());
    EXPECT_LE(desk->GetLeft() + desk->GetWidth(), page->GetClientWidth());
    EXPECT_LE(desk->GetTop() + desk->GetHeight(), page->GetClientHeight());

    // The device's own readers: the settings page, extra-equipment tab, clear of its groups.
    Form1->SelectPage(0);
    Form1->ConfPages->SetActivePageIndex(2);
    TWinControl* extra = Form1->ConfSheetExtra;
    TControl* params = Form1->GETSETRFID;
    EXPECT_EQ(params->GetParent(), extra);
    for (TControl* g : {static_cast<TControl*>(Form1->UiGroupBox1), static_cast<TControl*>(Form1->ReadersGroup)})
        EXPECT_GE(params->GetLeft(), g->GetLeft() + g->GetWidth()) << g->GetName();
    EXPECT_LE(params->GetLeft() + params->GetWidth(), extra->GetClientWidth());
    EXPECT_LE(params->GetTop() + params->GetHeight(), extra->GetClientHeight());
    EXPECT_EQ(Form1->RFIDParam->GetItems()->Count(), 5);
    EXPECT_EQ(Form1->RFIDParam->GetText(), "Адрес");
    EXPECT_EQ(Form1->RFIDAdr->GetText(), "0");
    EXPECT_EQ(Form1->RFIDValue->GetText(), "0");
    EXPECT_TRUE(Form1->RFIDTimer->GetEnabled());
    EXPECT_EQ(Form1->RFIDTimer->GetInterval(), 100u);
}

TEST(ReaderParams, TextThatIsNotANumberSendsNothing) {
    ParamsRig c("rfid-params-text");
    ASSERT_TRUE(c.ok);
    Form1->RFIDAdr->SetText("abc");
    EXPECT_ANY_THROW(Form1->RFIDGetClick(Form1->RFIDGet));
    Form1->RFIDAdr->SetText("1");
    Form1->RFIDValue->SetText("x");
    EXPECT_ANY_THROW(Form1->RFIDSetClick(Form1->RFIDSet));
    testsupport::Pump(100);
    EXPECT_EQ(c.device.Requests(0x50) + c.device.Requests(0x51), 0u);
}
