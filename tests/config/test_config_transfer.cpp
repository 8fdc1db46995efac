// Reading and writing the configuration with a simulated controller on a pty: the bytes on
// the wire, the record in the controls, what the device stores, time-outs and result codes.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <cstring>

#include "RecordSamples.h"
#include "config/ConfigRecord.h"
#include "config/ConfigTransfer.h"
#include "device/LinkRig.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/ConfigModel.h"
#include "tools/devsim/MemoryModel.h"

namespace {

using namespace linktest;
using namespace recordsamples;

constexpr std::size_t kIdentifyReply = 16;
// "SLMX", length, marker, command, d0..d3, 512 record bytes, CRC.
constexpr std::size_t kReadReplyBytes = 4 + 2 + 2 + 4 + 512 + 2;
constexpr std::size_t kWriteReplyBytes = 4 + 2 + 2 + 2 + 2;
const Bytes kReadRequest = {0x53, 0x4C, 0x4D, 0x58, 0x03, 0x00, 0xAA, 0x20, 0x00, 0x48, 0x20};

Bytes ToBytes(const ConfigRecord& r) { return Bytes(r.Bytes.begin(), r.Bytes.end()); }

// One controller on the cable with a configuration, connected and identified.
struct ConfigRig {
    explicit ConfigRig(const std::string& name, bool notices = false) : rig(name), device(rig.AddController("dev")) {
        device.model->SetAnswerStatus(false);
        config = std::make_unique<devsim::ConfigModel>(*device.model);
        config->SetRecord(ToBytes(DeviceRecord()));
        g_ConfigRecord = {};
        g_ConfigPage = kSettingsPage;
        rig.ListPorts({"!dev"});
        rig.CreateForm(notices);
        ok = device.started && rig.ConnectTo(device, kIdentifyReply);
        device.sim.ClearRecord();
    }
    ~ConfigRig() { g_ConfigRecord = {}; }

    bool AwaitRequest(std::uint8_t command) { return LinkRig::AwaitRequests(device, command, 1); }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }
    static bool MessageShown() {
        return Form1->MESPANEL->GetVisible() && Form1->PageControlMes->GetActivePageIndex() == 0;
    }
    static bool Waiting() { return g_WaitTicks != 0; }

    LinkRig rig;
    SimPort& device;
    std::unique_ptr<devsim::ConfigModel> config;
    bool ok = false;
};

TEST(ConfigTransfer, ReadFillsTheSettingsPage) {
    ConfigRig c("cfg-read");
    ASSERT_TRUE(c.ok);
    Form1->SelectPage(4);
    Form1->BsettingClick(Form1->Bsetting);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdReadConfig));
    EXPECT_EQ(c.device.sim.Received(), kReadRequest);
    EXPECT_TRUE(ConfigRig::Waiting());
    EXPECT_EQ(g_WaitLimit, kConfigWaitSeconds);
    EXPECT_EQ(ConfigRig::Message(), Form1->GetMessageA(2));
    // While it waits, the numbers' read button starts nothing and says what runs.
    testsupport::Click(Form1->UiButton5);
    EXPECT_EQ(ConfigRig::Message(), Form1->GetMessageA(105));

    ASSERT_TRUE(LinkRig::Deliver(kReadReplyBytes));
    EXPECT_EQ(g_ConfigRecord, DeviceRecord());
    EXPECT_FALSE(ConfigRig::Waiting());
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 0);
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "12345");
    EXPECT_EQ(Form1->CON_ADR1->GetText(), "srv.example.net:80");

    // The schedules button shows the schedules page with the same record.
    c.device.sim.ClearRecord();
    Form1->BshedlClick(Form1->Bshedl);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdReadConfig));
    ASSERT_TRUE(LinkRig::Deliver(kReadReplyBytes));
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 7);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadNumbers), 0u);

    // Once answered, another wait (the defragmentation's) holds the read button back no more.
    testsupport::Click(Form1->Bdef);
    testsupport::Click(Form1->UiButton5);
    EXPECT_TRUE(LinkRig::AwaitRequests(c.device, devsim::kCmdReadNumbers, 1));
}

TEST(ConfigTransfer, EditWrittenBackByteExact) {
    ConfigRig c("cfg-write");
    ASSERT_TRUE(c.ok);
    Form1->BsettingClick(Form1->Bsetting);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdReadConfig));
    ASSERT_TRUE(LinkRig::Deliver(kReadReplyBytes));

    Form1->BalanceGetNumber->SetText("*105#");
    Form1->WD2->SetItemChecked(4, true);
    sys::SetManualWallSeconds(1709374830);  // 6E FD E2 65
    c.device.sim.ClearRecord();
    Form1->Button6Click(Form1->Button6);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdWriteConfig));

    ConfigRecord want = DeviceRecord();
    Put(want, 5, {0x6E, 0xFD, 0xE2, 0x65});
    PutText(want, 176, "*105#");
    want[141] = 0x12;  // template 2: Tuesday and now Friday
    SealConfigRecord(want);
    Bytes frame = {0x53, 0x4C, 0x4D, 0x58, 0x05, 0x02, 0xAA, 0x21, 0x00, 0x00, 0x02};
    frame.insert(frame.end(), want.Bytes.begin(), want.Bytes.end());
    const std::uint16_t crc = devsim::Crc16Modbus(frame.data() + 6, frame.size() - 6);
    frame.push_back(static_cast<std::uint8_t>(crc));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    EXPECT_EQ(c.device.sim.Received(), frame);
    EXPECT_EQ(g_ConfigRecord, want);

    ASSERT_TRUE(LinkRig::Deliver(kWriteReplyBytes));
    EXPECT_EQ(c.config->RejectedWriteCount(), 0);
    EXPECT_EQ(c.config->Record(), ToBytes(want));
    EXPECT_TRUE(ConfigRig::MessageShown());
    EXPECT_EQ(ConfigRig::Message(), "Конфигурация записана");
    EXPECT_FALSE(ConfigRig::Waiting());
}

TEST(ConfigTransfer, ConversionErrorSendsNothing) {
    ConfigRig c("cfg-noconv");
    ASSERT_TRUE(c.ok);
    Form1->OUTIMP->SetText("1O");
    EXPECT_THROW(Form1->LoadToDevice(), EConvertError);
    EXPECT_THROW(Form1->Button6Click(Form1->Button6), EConvertError);
    EXPECT_FALSE(ConfigRig::Waiting());
    testsupport::Pump(50);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteConfig), 0u);
}

// A number a screen reader puts into an edit (past its key-release guard) goes out as the
// edit shows it, or nothing goes out and the edit's caption and its field's range are told.
TEST(ConfigTransfer, NumbersGoOutAsShownOrNotAtAll) {
    ConfigRig c("cfg-ranges");
    ASSERT_TRUE(c.ok);
    c.rig.Speak("russian");
    TForm1& f = *Form1;
    const struct { TEdit* edit; const char *beyond, *told, *within; std::size_t at; Bytes sent; } fields[] = {
        {f.ADMINPASS, "70000", "«Пароль администратора»: допустимые значения от 0 до 65535.", "65535", 9, {0xFF, 0xFF}},
        {f.USERPASS, "65537", "«Пароль управляющего»: допустимые значения от 0 до 65535.", "0", 11, {0, 0}},
        {f.SIMPIN, "12345", "«PIN-код СИМ карты»: не более 4 цифр.", "0042", 55, {'0', '0', '4', '2', 0}},
        {f.CON_ADR1, "h:65536", "«Адрес сервера»: допустимые значения от 0 до 65535.", "h:65535", 90, {0xFF, 0xFF}},
        {f.NTPADR, "t:-1", "«Сервер времени»: допустимые значения от 0 до 65535.", "t:1", 116, {1, 0}},
        {f.OUTIMP, "300", "«Длительность импульса, с»: допустимые значения от 0 до 255.", "255", 135, {0xFF}},
        {f.OUTPAUSE, "256", "«Пауза, с»: допустимые значения от 0 до 255.", "254", 136, {0xFE}},
        {f.OUTREPEATE, "1000", "«Количество повторов»: допустимые значения от 0 до 255.", "", 137, {0}},
        {f.TimeZone, "128", "«Часовой пояс, ч»: допустимые значения от -128 до 127.", "-128", 160, {0x80}},
        {f.FotoDelay, "300", "«Задержка снимка, с»: допустимые значения от 0 до 255.", "200", 171, {200}},
        {f.BalanceLimit, "70000", "«Порог баланса»: допустимые значения от 0 до 65535.", "4464", 172, {0x70, 0x11}},
    };
    const auto put = [](TEdit* e, const char* text) {
        QAccessible::queryAccessibleInterface(e->GetWidget())->setText(QAccessible::Value, text);
    };
    for (const auto& field : fields) {
        put(field.edit, field.beyond);
        ui::test::ClearDialogs();
        testsupport::Click(f.Button6);
        ASSERT_EQ(ui::test::ShownDialogs().size(), 1u) << field.beyond;
        EXPECT_EQ(ui::test::ShownDialogs()[0].text, field.told);
        put(field.edit, field.within);
    }
    testsupport::Pump(50);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteConfig), 0u);
    testsupport::Click(f.Button6);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdWriteConfig) && LinkRig::Deliver(kWriteReplyBytes));
    const Bytes stored = c.config->Record();
    for (const auto& field : fields)
        EXPECT_EQ(Bytes(&stored[field.at], &stored[field.at] + field.sent.size()), field.sent) << field.within;
}

TEST(ConfigTransfer, ResultCodesOfReadAndWrite) {
    ConfigRig c("cfg-codes");
    ASSERT_TRUE(c.ok);
    auto read = [&](std::size_t replyBytes) {
        c.device.sim.ClearRecord();
        Form1->ReadFromDevice();
        return c.AwaitRequest(devsim::kCmdReadConfig) && LinkRig::Deliver(replyBytes);
    };
    const auto text = [](std::uint8_t code) {
        return ErrorCodeToText(code, [](int n) { return Form1->GetMessageA(n); });
    };

    c.config->SetReadResult(3);
    ASSERT_TRUE(read(11));
    EXPECT_EQ(ConfigRig::Message(), text(3));
    EXPECT_EQ(g_ConfigRecord, ConfigRecord{});

    // Result 5 closes the wait and shows nothing; the message panel stays hidden.
    c.config->SetReadResult(5);
    ASSERT_TRUE(read(11));
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());

    // No record: nothing is shown, the remembered page is.
    c.config->SetReadResult(0);
    c.config->SetRecord({});
    g_ConfigPage = kSchedulesPage;
    ASSERT_TRUE(read(12));
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 7);
    EXPECT_EQ(g_ConfigRecord, ConfigRecord{});

    auto write = [&]() {
        c.device.sim.ClearRecord();
        Form1->LoadToDevice();
        return c.AwaitRequest(devsim::kCmdWriteConfig) && LinkRig::Deliver(kWriteReplyBytes);
    };
    c.config->SetWriteResult(5);
    ASSERT_TRUE(write());
    EXPECT_EQ(ConfigRig::Message(), "Шаблоны расписаний сохранены");
    c.config->SetWriteResult(7);
    ASSERT_TRUE(write());
    EXPECT_EQ(ConfigRig::Message(), text(7));
    // A detail byte the device does not explain is reported, never taken as written.
    c.config->SetWriteResult(0, 4);
    ASSERT_TRUE(write());
    EXPECT_EQ(ConfigRig::Message(), "Прибор не подтвердил запись конфигурации (код 4)");

    // The simulator refuses a write whose record CRC is wrong, and the tool says so.
    ConfigRecord bad = DeviceRecord();
    bad[100] ^= 1;
    const auto data = ConfigWriteRequestData(bad);
    c.device.sim.ClearRecord();
    SendCommand(CmdWriteConfig, data.data(), data.size());
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdWriteConfig) && LinkRig::Deliver(kWriteReplyBytes));
    EXPECT_EQ(c.config->RejectedWriteCount(), 1);
    EXPECT_EQ(ConfigRig::Message(), text(devsim::kBadWriteResult));
}

TEST(ConfigTransfer, WaitTimesOutAfter15Seconds) {
    ConfigRig c("cfg-timeout");
    ASSERT_TRUE(c.ok);
    c.config->SetAnswer(false);
    Form1->ReadFromDevice();
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdReadConfig));
    EXPECT_EQ(g_BusyTransfer, 0);
    sys::AdvanceMs(13000);
    EXPECT_TRUE(ConfigRig::Waiting());
    sys::AdvanceMs(2000);
    EXPECT_FALSE(ConfigRig::Waiting());
    EXPECT_EQ(ConfigRig::Message(), Form1->GetMessageA(4));

    // A late reply is still applied.
    c.config->SetAnswer(true);
    c.device.sim.Send(devsim::BuildReply(devsim::kCmdReadConfig, [] {
        Bytes d = {0, 0, 0x00, 0x02};
        const ConfigRecord r = DeviceRecord();
        d.insert(d.end(), r.Bytes.begin(), r.Bytes.end());
        return d;
    }()));
    ASSERT_TRUE(LinkRig::Deliver(kReadReplyBytes));
    EXPECT_EQ(g_ConfigRecord, DeviceRecord());
}

// An unplug ends the wait at once and says what the cut write leaves; no time-out follows.
TEST(ConfigTransfer, AWriteCutByAnUnplugEndsAtOnce) {
    ConfigRig c("cfg-unplug", true);
    ASSERT_TRUE(c.ok);
    c.config->SetAnswer(false);
    testsupport::Click(Form1->Button6);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdWriteConfig));
    ASSERT_TRUE(ConfigRig::Waiting());
    c.device.sim.Unplug();
    const std::string told = "Связь с устройством потеряна.\r\nЗапись конфигурации прервана: устройство могло не "
                             "сохранить новые настройки, запишите их снова.";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return ConfigRig::Message() == told; }));
    EXPECT_FALSE(ConfigRig::Waiting());
    sys::AdvanceMs(20000);
    EXPECT_EQ(ConfigRig::Message(), told);
}

TEST(ConfigTransfer, LocalServerLinkWaits50SecondsAndPausesThePoll) {
    LinkRig rig("cfg-confserver");
    rig.CreateForm();
    Bytes sent;
    g_ConfServerLink = g_ConfServerConnected = 1;
    g_ConfServerFrameSender = [&sent](const std::uint8_t* p, int n) {
        sent.insert(sent.end(), p, p + n);
        return n;
    };
    Form1->ReadFromDevice();
    EXPECT_EQ(sent, kReadRequest);
    EXPECT_EQ(g_WaitLimit, kConfServerWaitSeconds);
    EXPECT_EQ(g_BusyTransfer, 1);
    sys::AdvanceMs(48000);
    EXPECT_TRUE(ConfigRig::Waiting());
    EXPECT_EQ(g_BusyTransfer, 1);
    sys::AdvanceMs(2000);
    EXPECT_FALSE(ConfigRig::Waiting());
    EXPECT_EQ(g_BusyTransfer, 0);
    EXPECT_EQ(ConfigRig::Message(), Form1->GetMessageA(4));
}

TEST(ConfigTransfer, FactoryReset) {
    ConfigRig c("cfg-factory");
    ASSERT_TRUE(c.ok);
    c.config->SetFactoryRecord(ToBytes(ConfigRecord{}));
    SendCommand(CmdFactoryReset);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdFactoryReset) && LinkRig::Deliver(11));
    EXPECT_EQ(c.device.sim.Received(), (Bytes{0x53, 0x4C, 0x4D, 0x58, 0x02, 0x00, 0xAA, 0x2F, 0x3E, 0xCC}));
    EXPECT_EQ(ConfigRig::Message(), "Настройки сброшены на заводские");
    EXPECT_EQ(c.config->Record(), ToBytes(ConfigRecord{}));

    Form1->OKMESClick(Form1->OKMES);
    c.config->SetFactoryResetResult(3);
    c.device.sim.ClearRecord();
    SendCommand(CmdFactoryReset);
    ASSERT_TRUE(c.AwaitRequest(devsim::kCmdFactoryReset) && LinkRig::Deliver(11));
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
}

}  // namespace
