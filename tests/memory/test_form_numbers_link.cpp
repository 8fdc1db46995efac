// The numbers page with a simulated controller on a pty: the whole base read into the grid
// and written back byte for byte, lost blocks asked for again, single and bulk adds and
// deletes with their per-record results, typed values the record cannot hold refused.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QTest>
#include <cstring>

#include "device/DeviceLink.h"
#include "device/LinkRig.h"
#include "memory/MemoryState.h"
#include "memory/PhoneBase.h"
#include "platform/rtl/CodePage.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/MemoryModel.h"

namespace {

using namespace linktest;
using devsim::MemoryModel;

constexpr std::size_t kCountReply = FrameBytes(3);
constexpr std::size_t BlockReply(std::size_t n) { return FrameBytes(5 + n * 64); }
constexpr std::size_t kWriteReply = FrameBytes(2);
constexpr std::uint32_t kDec1st2025 = 1764547200;  // 01.12.2025 00:00 on the device's clock

std::string Number(int i) {
    std::string s = std::to_string(9000000000LL + i);
    return s;
}

// A base of n records with every field in use, as a device would hold it.
std::vector<Bytes> SampleBase(int n) {
    std::vector<Bytes> base;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t flags = static_cast<std::uint8_t>((i % 4) | ((i % 3) << 4));
        base.push_back(MemoryModel::NumberRecord(Number(i), "Абонент " + std::to_string(i), flags,
                                                 i % 5 ? 0 : kDec1st2025 + 86400u * (i % 30),
                                                 static_cast<std::uint8_t>(i % 7), static_cast<std::uint8_t>(i % 8)));
    }
    // The name is kept in Windows-1251 on the device.
    for (Bytes& r : base) {
        const std::string name(reinterpret_cast<const char*>(r.data() + 12));
        const std::string cp = Utf8ToCp1251(name);
        std::memset(r.data() + 12, 0, 20);
        std::memcpy(r.data() + 12, cp.data(), std::min<std::size_t>(cp.size(), 19));
    }
    return base;
}

struct NumbersRig {
    explicit NumbersRig(const std::string& name) : rig(name), device(rig.AddController("dev")) {
        device.model->SetAnswerStatus(false);
        memory = std::make_unique<MemoryModel>(*device.model, device.sim);
        SetPhoneRecords({});
        StopPhoneTransfers();
        g_LogRead.Stop();
        rig.ListPorts({"!dev"});
        rig.CreateForm();
        ok = device.started && rig.ConnectTo(device);
        device.sim.ClearRecord();
        ui::test::ClearDialogs();
    }
    ~NumbersRig() {
        StopPhoneTransfers();
        g_LogRead.Stop();
        SetPhoneRecords({});
    }

    bool Await(std::uint8_t command, std::size_t count) { return LinkRig::AwaitRequests(device, command, count); }
    // The request frames of one command, in order.
    std::vector<devsim::Frame> Frames(std::uint8_t command) const {
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : device.sim.Frames())
            if (f.command == command) out.push_back(f);
        return out;
    }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }

    // Runs a read of the base (of count records, blocks of block) to its end.
    bool ReadAll(std::size_t count, std::size_t block) {
        Form1->UiButton5Click(Form1->UiButton5);
        if (!Await(devsim::kCmdReadNumbers, 1) || !LinkRig::Deliver(kCountReply)) return false;
        for (std::size_t got = 0, k = 2; got < count; got += block, ++k) {
            const std::size_t n = std::min(block, count - got);
            if (!Await(devsim::kCmdReadNumbers, k) || !LinkRig::Deliver(BlockReply(n))) return false;
        }
        return true;
    }

    LinkRig rig;
    SimPort& device;
    std::unique_ptr<MemoryModel> memory;
    bool ok = false;
};

TEST(NumbersLink, BaseReadIntoTheGridAndWrittenBackByteExact) {
    NumbersRig c("num-base");
    ASSERT_TRUE(c.ok);
    const std::vector<Bytes> base = SampleBase(300);
    c.memory->SetNumbers(base);
    ASSERT_TRUE(c.ReadAll(300, 31));

    // Count request, then blocks asked for by the index of their first record.
    const auto frames = c.Frames(devsim::kCmdReadNumbers);
    ASSERT_EQ(frames.size(), 11u);
    EXPECT_EQ(frames[0].data, (Bytes{0x00}));
    EXPECT_EQ(frames[1].data, (Bytes{0x01, 0x00, 0x00}));
    EXPECT_EQ(frames[10].data, (Bytes{0x01, 0x17, 0x01}));  // 279

    TUiStringGrid* g = Form1->PhonesGrid;
    EXPECT_EQ(g->GetRowCount(), 302);
    EXPECT_EQ(g->GetCells(0, 1), "1");
    EXPECT_EQ(g->GetCells(1, 1), "9000000000");
    EXPECT_EQ(g->GetCells(2, 1), "Абонент 0");
    EXPECT_EQ(g->GetCells(3, 1), "Пользователь");
    EXPECT_EQ(g->GetCells(4, 1), "01122025");
    EXPECT_EQ(g->GetCells(5, 1), "0");
    EXPECT_EQ(g->GetCells(6, 1), "Круглосуточно");
    EXPECT_EQ(g->GetCells(7, 1), "Телефон");
    // Record 5: access 1, type 2, expiry 6 December, 5 passes, schedule 5.
    EXPECT_EQ(g->GetCells(1, 6), "9000000005");
    EXPECT_EQ(g->GetCells(3, 6), "Управляющий");
    EXPECT_EQ(g->GetCells(4, 6), "06122025");
    EXPECT_EQ(g->GetCells(5, 6), "5");
    EXPECT_EQ(g->GetCells(6, 6), "Расписание 5");
    EXPECT_EQ(g->GetCells(7, 6), "Код RFID");
    EXPECT_EQ(g->GetCells(1, 300), "9000000299");
    EXPECT_EQ(g->GetCells(1, 301), "");
    EXPECT_EQ(NumbersRig::Message(), "Чтение памяти номеров завершено");
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(Form1->PageControlMes->GetActivePageIndex(), 0);
    EXPECT_FALSE(g_PhoneRead.Reading());
    EXPECT_EQ(g_PhoneRead.GetBlockTimeout(), 0);
    EXPECT_EQ(g_PhoneCount, 0u);  // the records live only around the transfer

    // Written back: the device first forgets its base; blocks of 31, then the end request.
    c.memory->SetNumbers({});
    c.device.sim.ClearRecord();
    ui::test::PushDialogAnswer(IDYES);
    Form1->UiButton6Click(Form1->UiButton6);
    const auto& shown = ui::test::ShownDialogs();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().text, "Внимание! Перед записью вся номерная база будет удалена! Продолжить?");
    EXPECT_EQ(shown.back().caption, "Информация");
    for (std::size_t k = 1; k <= 10; ++k) {
        ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, k));
        ASSERT_TRUE(LinkRig::Deliver(kWriteReply));
    }
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 11));
    // The end request, then the device's count, which confirms the write.
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 1));
    EXPECT_EQ(c.Frames(devsim::kCmdReadNumbers)[0].data, (Bytes{0x00}));
    EXPECT_TRUE(g_PhoneWrite.Writing());
    ASSERT_TRUE(LinkRig::Deliver(kWriteReply + kCountReply));
    const auto writes = c.Frames(devsim::kCmdWriteNumbers);
    ASSERT_EQ(writes.size(), 11u);
    EXPECT_EQ(writes[0].data.size(), 5u + 31 * 64);
    EXPECT_EQ(Bytes(writes[0].data.begin(), writes[0].data.begin() + 5), (Bytes{0x00, 0x00, 0x00, 31, 0x00}));
    EXPECT_EQ(Bytes(writes[9].data.begin(), writes[9].data.begin() + 5), (Bytes{0x00, 0x17, 0x01, 21, 0x00}));
    EXPECT_EQ(writes[10].data, (Bytes{0x02}));
    EXPECT_EQ(c.memory->Numbers(), base);
    EXPECT_EQ(NumbersRig::Message(), "Запись памяти номеров завершена");
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_FALSE(g_PhoneWrite.Writing());
    testsupport::Pump(30);
    sys::AdvanceMs(10000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteNumbers), 11u);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadNumbers), 1u);
}

TEST(NumbersLink, LostBlocksAreAskedForAndSentAgain) {
    NumbersRig c("num-lost");
    ASSERT_TRUE(c.ok);
    c.memory->SetNumbers(SampleBase(40));
    c.memory->LoseReadReplies(1);
    Form1->StartReadPhonesMemory();
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 1) && LinkRig::Deliver(kCountReply));
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 2));
    // No reply: half a second later the same block is asked for again.
    sys::AdvanceMs(480);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadNumbers), 2u);
    sys::AdvanceMs(20);
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 3));
    EXPECT_EQ(c.Frames(devsim::kCmdReadNumbers)[2].data, (Bytes{0x01, 0x00, 0x00}));
    ASSERT_TRUE(LinkRig::Deliver(BlockReply(31)));
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 4) && LinkRig::Deliver(BlockReply(9)));
    EXPECT_EQ(Form1->PhonesGrid->GetRowCount(), 42);
    EXPECT_EQ(Form1->PhonesGrid->GetCells(1, 40), "9000000039");

    // A write block whose acknowledgement is lost goes again after 3 s. The next block's
    // acknowledgement is then taken for the copy's, so that block goes again too, with a count
    // request behind it whose answer puts the acknowledgements right for the rest.
    c.device.sim.ClearRecord();
    c.memory->LoseWriteReplies(1);
    Form1->StartWritePhonesMemory();
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 1));
    sys::AdvanceMs(2990);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteNumbers), 1u);
    sys::AdvanceMs(10);
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 2));
    EXPECT_EQ(c.Frames(devsim::kCmdWriteNumbers)[1].data, c.Frames(devsim::kCmdWriteNumbers)[0].data);
    ASSERT_TRUE(LinkRig::Deliver(kWriteReply));
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 3) && LinkRig::Deliver(kWriteReply));
    sys::AdvanceMs(3000);
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 4) && c.Await(devsim::kCmdReadNumbers, 1));
    EXPECT_EQ(c.Frames(devsim::kCmdWriteNumbers)[3].data, c.Frames(devsim::kCmdWriteNumbers)[2].data);
    ASSERT_TRUE(LinkRig::Deliver(kWriteReply + kCountReply));
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 5) && c.Await(devsim::kCmdReadNumbers, 2));
    EXPECT_EQ(c.Frames(devsim::kCmdWriteNumbers)[4].data, (Bytes{0x02}));
    EXPECT_EQ(NumbersRig::Message(), "Запись памяти номеров завершена");
    EXPECT_EQ(c.memory->Numbers(), SampleBase(40));
}

// A lost count is asked for again as a lost block is; a device that never gives it ends
// the read with message 4 when the wait runs out, and a write it was to confirm unconfirmed.
TEST(NumbersLink, LostCountIsAskedForAgainUntilTheWaitRunsOut) {
    NumbersRig c("num-count");
    ASSERT_TRUE(c.ok);
    const auto silent = [&c] {
        c.device.model->AddHandler(devsim::kCmdReadNumbers, [](const devsim::Frame&) { return Bytes{}; });
    };
    silent();
    testsupport::Click(Form1->UiButton5->GetWidget());
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 1));
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_EQ(Form1->Lprocess->GetCaption(), kTextPhonesCountWait);
    const unsigned wakes = Form1->Timer1->Wakes();
    sys::AdvanceMs(490);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadNumbers), 1u);
    sys::AdvanceMs(10);
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 2));
    EXPECT_EQ(Form1->Timer1->Wakes() - wakes, 1u);  // slept through the wait
    EXPECT_EQ(c.Frames(devsim::kCmdReadNumbers)[1].data, (Bytes{0x00}));

    // The device answers the next one: the read goes on as ever.
    c.memory = std::make_unique<MemoryModel>(*c.device.model, c.device.sim);
    c.memory->SetNumbers(SampleBase(3));
    sys::AdvanceMs(500);
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 3) && LinkRig::Deliver(kCountReply));
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 4) && LinkRig::Deliver(BlockReply(3)));
    EXPECT_EQ(NumbersRig::Message(), "Чтение памяти номеров завершено");
    EXPECT_EQ(Form1->PhonesGrid->GetCells(1, 3), "9000000002");

    silent();
    testsupport::Click(Form1->UiButton5->GetWidget());
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 5));
    sys::AdvanceMs(15000);
    EXPECT_EQ(NumbersRig::Message(), Form1->GetMessageA(4));
    EXPECT_FALSE(g_PhoneRead.AwaitingCount());
    // Marks in what the device receives: every half second while the wait ran, none after.
    constexpr std::uint8_t kMark = 0x34;
    SendCommand(kMark, std::vector<std::uint8_t>{0});
    sys::AdvanceMs(2000);
    SendCommand(kMark, std::vector<std::uint8_t>{0});
    ASSERT_TRUE(c.Await(kMark, 2));
    std::vector<std::uint8_t> order;
    for (const devsim::Frame& f : c.device.sim.Frames())
        if (f.command == devsim::kCmdReadNumbers || f.command == kMark) order.push_back(f.command);
    ASSERT_GE(order.size(), 5u + 27u + 2u);
    EXPECT_EQ(order.back(), kMark);
    EXPECT_EQ(order[order.size() - 2], kMark);

    // A write whose every block is acknowledged but whose count never comes is not confirmed.
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton6->GetWidget());
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 1) && LinkRig::Deliver(kWriteReply));
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 2) && LinkRig::Deliver(kWriteReply));
    sys::AdvanceMs(15000);
    EXPECT_EQ(NumbersRig::Message(), Form1->GetMessageA(4) +
                                         "\r\nЗапись памяти номеров не подтверждена: устройство не сообщило, сколько "
                                         "из 3 номеров оно хранит. Устройство стёрло свою базу перед записью и может "
                                         "хранить только часть номеров: запишите базу снова.");
}

TEST(NumbersLink, DeviceNamesTheNextIndexOrRefusesABlock) {
    NumbersRig c("num-next");
    ASSERT_TRUE(c.ok);
    c.memory->SetNumbers(SampleBase(70));
    ASSERT_TRUE(c.ReadAll(70, 31));
    // The test answers the write blocks itself.
    c.device.sim.SetHandler(devsim::kCmdWriteNumbers, [](const devsim::Frame&) { return Bytes{}; });
    auto reply = [&](const Bytes& data) {
        c.device.sim.Send(devsim::BuildReply(devsim::kCmdWriteNumbers, data));
        return LinkRig::Deliver(FrameBytes(data.size()));
    };
    auto head = [&](std::size_t k) {
        const Bytes d = c.Frames(devsim::kCmdWriteNumbers).at(k).data;
        return Bytes(d.begin(), d.begin() + std::min<std::size_t>(5, d.size()));
    };
    c.device.sim.ClearRecord();
    Form1->StartWritePhonesMemory();
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 1));
    // Acknowledged with the next index in d2-d5: the tool goes on from there.
    ASSERT_TRUE(reply({0x00, 0x0A, 40, 0, 0, 0}));
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 2));
    EXPECT_EQ(head(1), (Bytes{0x00, 40, 0x00, 30, 0x00}));
    // A result code is shown; the block goes again when its countdown ends.
    ASSERT_TRUE(reply({0x07, 0x00}));
    EXPECT_EQ(NumbersRig::Message(), ErrorCodeToText(7, [](int n) { return Form1->GetMessageA(n); }));
    sys::AdvanceMs(2900);
    testsupport::Pump(20);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteNumbers), 2u);
    sys::AdvanceMs(100);
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 3));
    EXPECT_EQ(c.Frames(devsim::kCmdWriteNumbers)[2].data, c.Frames(devsim::kCmdWriteNumbers)[1].data);
    // A next index at the count ends the write at once.
    ASSERT_TRUE(reply({0x00, 0x0A, 70, 0, 0, 0}));
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 4));
    EXPECT_EQ(c.Frames(devsim::kCmdWriteNumbers)[3].data, (Bytes{0x02}));
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 1) && LinkRig::Deliver(kCountReply));
    EXPECT_FALSE(g_PhoneWrite.Writing());
}

TEST(NumbersLink, EmptyBaseAndEmptyGrid) {
    NumbersRig c("num-empty");
    ASSERT_TRUE(c.ok);
    Form1->PhonesGrid->SetRowCount(9);
    Form1->PhonesGrid->SetCells(1, 7, "9000000001");
    Form1->StartReadPhonesMemory();
    ASSERT_TRUE(c.Await(devsim::kCmdReadNumbers, 1) && LinkRig::Deliver(kCountReply));
    EXPECT_EQ(NumbersRig::Message(), "Память номеров пуста!");
    EXPECT_EQ(Form1->PhonesGrid->GetRowCount(), 5);
    EXPECT_EQ(Form1->PhonesGrid->GetCells(1, 7), "");
    sys::AdvanceMs(1000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadNumbers), 1u);

    // An empty grid goes as "erase all" and nothing else.
    c.memory->SetNumbers(SampleBase(3));
    ui::test::PushDialogAnswer(IDYES);
    Form1->UiButton6Click(nullptr);
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 1));
    EXPECT_EQ(c.Frames(devsim::kCmdWriteNumbers).back().data, (Bytes{0x01}));
    testsupport::Click(Form1->UiButton5);  // no read until the erase is answered
    EXPECT_EQ(NumbersRig::Message(), Form1->GetMessageA(110));
    ASSERT_TRUE(LinkRig::Deliver(kWriteReply));
    EXPECT_EQ(NumbersRig::Message(), "Очистка памяти номеров завершена");
    EXPECT_TRUE(c.memory->Numbers().empty());
    sys::AdvanceMs(4000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteNumbers), 1u);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadNumbers), 1u);

    // Answering no sends nothing.
    ui::test::PushDialogAnswer(IDNO);
    Form1->UiButton6Click(nullptr);
    testsupport::Pump(30);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteNumbers), 1u);

    // The service's erase holds the buttons for 15 s at most; its answer after that is nobody's.
    ui::test::PushDialogAnswer(IDYES);
    testsupport::Click(Form1->UiButton9);
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 2));
    sys::AdvanceMs(15000);
    ASSERT_TRUE(LinkRig::Deliver(kWriteReply));
    EXPECT_EQ(NumbersRig::Message(), "Чистка памяти номеров");
    EXPECT_GE(Form1->MiniLOG->GetLines()->IndexOf("<< " + UnaskedReplyLine("0x2D")), 0);
    testsupport::Click(Form1->UiButton5);
    EXPECT_TRUE(c.Await(devsim::kCmdReadNumbers, 2));
}

TEST(NumbersLink, AddAndDeleteWithPerRecordResults) {
    NumbersRig c("num-edit");
    ASSERT_TRUE(c.ok);
    c.memory->SetNumbers(SampleBase(2));
    TForm1& f = *Form1;

    // One number, with every editor field.
    f.aPhone->SetText("9123456789");
    f.aName->SetText("Иванов");
    f.aAccesstype->SetItemIndex(2);
    f.CodeType->SetItemIndex(1);
    f.Cpassages->SetChecked(true);
    f.aPassages->SetText("12");
    f.aShedule->SetItemIndex(3);
    f.UiButton1Click(f.UiButton1);
    ASSERT_TRUE(c.Await(devsim::kCmdAddNumbers, 1));
    Bytes want = MemoryModel::NumberRecord("9123456789", Utf8ToCp1251("Иванов"), 0x12, 0, 12, 3);
    EXPECT_EQ(c.Frames(devsim::kCmdAddNumbers)[0].data, want);
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    EXPECT_EQ(NumbersRig::Message(), "Добавлен номер: 9123456789");
    EXPECT_EQ(c.memory->Numbers().size(), 3u);
    EXPECT_EQ(f.MiniLOG->GetLines()->Get(f.MiniLOG->GetLines()->GetCount() - 1).find("Команда на добавление номера") !=
                  std::string::npos,
              true);

    // A number of the wrong length is refused in a box and nothing goes.
    ui::test::ClearDialogs();
    f.aPhone->SetText("55501");
    f.UiButton2Click(f.UiButton2);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].text, "Номер телефона должен состоять из 10-ти цифр");
    testsupport::Pump(30);
    EXPECT_EQ(c.device.Requests(devsim::kCmdDeleteNumbers), 0u);

    // Many numbers: lines of ten characters only, results one per record.
    f.CaddmanyClick(f.Caddmany);
    EXPECT_EQ(f.Caddmany->GetTag(), 1);
    EXPECT_EQ(f.Caddmany->GetCaption(), "Добавить один");
    EXPECT_FALSE(f.aPhone->GetVisible());
    f.ManyNumbers->GetLines()->SetText("9000000001\r\n55501\r\n9555000000\r\n9000000000\r\n");
    f.UiButton2Click(f.UiButton2);
    ASSERT_TRUE(c.Await(devsim::kCmdDeleteNumbers, 1));
    const Bytes del = c.Frames(devsim::kCmdDeleteNumbers).back().data;
    ASSERT_EQ(del.size(), 3u * 64);
    EXPECT_EQ(del[0], 0xFF);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(del.data() + 1)), "9000000001");
    EXPECT_EQ(del[12], 0);
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(3)));
    EXPECT_EQ(NumbersRig::Message(), "Удалено номеров 2 из 3\r\n9000000001, 9000000000, ");
    EXPECT_EQ(c.memory->Numbers().size(), 1u);

    // Seventeen numbers do not fit one command: refused in a box, nothing goes.
    std::string many;
    for (int i = 0; i < 17; ++i) many += Number(100 + i) + "\r\n";
    f.ManyNumbers->GetLines()->SetText(many);
    ui::test::ClearDialogs();
    f.UiButton1Click(nullptr);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].text, "Не более 16 номеров в одной команде");
    testsupport::Pump(30);
    EXPECT_EQ(c.device.Requests(devsim::kCmdAddNumbers), 1u);
    // The grid is not touched by either reply.
    EXPECT_EQ(f.PhonesGrid->GetCells(1, 1), "");
}

// A left click at the centre of a control, or of a cell of a grid.
void Click(TControl* c, TPoint at = TPoint(-1, -1)) {
    QWidget* w = c->GetWidget();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at.x < 0 ? w->rect().center() : QPoint(at.x, at.y));
}
TPoint CellCentre(const TStringGrid* g, int col, int row) {
    const TRect r = g->CellRect(col, row);
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}
// Typing into a grid cell: the first key opens the cell's editor, which takes the rest;
// Enter keeps the text.
void TypeIntoCell(TStringGrid* g, int col, int row, const std::string& text) {
    Click(g, CellCentre(g, col, row));
    QTest::keyClicks(g->GetWidget(), QString::fromStdString(text.substr(0, 1)));
    ASSERT_EQ(g->GetControlCount(), 1);
    QWidget* editor = g->GetControl(0)->GetWidget();
    QTest::keyClicks(editor, QString::fromStdString(text.substr(1)));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// In-place editing switched on from the grid's menu.
void EditingOn(TStringGrid* g) {
    ui::test::PushPopupAnswer(6);  // "Редактирование"
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(40, 40), g->GetWidget()->mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(g->GetWidget(), &menu);
}

TEST(NumbersLink, TypedValuesTheRecordCannotHoldAreRefusedNotWrapped) {
    NumbersRig c("num-refuse");
    ASSERT_TRUE(c.ok);
    TForm1& f = *Form1;
    TUiStringGrid* g = f.PhonesGrid;
    f.SelectPage(5);
    // Editing switched on from the grid's menu, then a number and 300 passes typed in.
    EditingOn(g);
    ASSERT_TRUE(g->GetOptions().Contains(goEditing));
    TypeIntoCell(g, colNumber, 2, "9001234567");
    TypeIntoCell(g, colPasses, 2, "300");
    ASSERT_EQ(g->GetCells(colPasses, 2), "300");

    // The write is confirmed, then refused with the row and the column; nothing goes.
    ui::test::ClearDialogs();
    ui::test::PushDialogAnswer(IDYES);
    Click(f.UiButton6);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 2u);
    EXPECT_EQ(ui::test::ShownDialogs()[1].text, "Строка 2, столбец \"Проходов\": \"300\" — нужно число от 0 до 255.");
    testsupport::Pump(30);
    EXPECT_EQ(c.device.Requests(devsim::kCmdWriteNumbers), 0u);

    // The same in the editor: 300 passes typed for an added number.
    ui::test::ClearDialogs();
    Click(f.Cpassages);
    ASSERT_TRUE(f.aPassages->GetVisible());
    QTest::keyClicks(f.aPassages->GetWidget(), "300");
    QTest::keyClicks(f.aPhone->GetWidget(), "9001234567");
    Click(f.UiButton1);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].text, "Проходов: \"300\" — нужно число от 0 до 255");
    testsupport::Pump(30);
    EXPECT_EQ(c.device.Requests(devsim::kCmdAddNumbers), 0u);
}

// Values no item of the editor names: schedule 200, record type 3, an expiry within a day.
std::vector<Bytes> OddBase() {
    std::vector<Bytes> base = SampleBase(3);
    base[0][38] = 200;  // schedule 200
    base[1][32] = 0x31;  // manager, record type 3
    base[2][33] = 0xE6;  // 1 December 2025 13:45:10 = 0x692D9BE6
    base[2][34] = 0x9B;
    base[2][35] = 0x2D;
    base[2][36] = 0x69;
    return base;
}

// Such values go back to the controller as they came, in a row whose name was edited too.
TEST(NumbersLink, ValuesNoItemNamesAreWrittenBackAsTheyCame) {
    NumbersRig c("num-odd");
    ASSERT_TRUE(c.ok);
    std::vector<Bytes> base = OddBase();
    c.memory->SetNumbers(base);
    ASSERT_TRUE(c.ReadAll(3, 31));
    TForm1& f = *Form1;
    TUiStringGrid* g = f.PhonesGrid;
    EXPECT_EQ(g->GetCells(colSchedule, 1), "Расписание 200");
    EXPECT_EQ(g->GetCells(colCodeType, 2), "Тип 3");
    EXPECT_EQ(g->GetCells(colExpiry, 3), "01122025 13:45:10");

    f.SelectPage(5);
    EditingOn(g);
    TypeIntoCell(g, colName, 1, "Vorota");
    c.memory->SetNumbers({});
    ui::test::PushDialogAnswer(IDYES);
    Click(f.UiButton6);
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 1) && LinkRig::Deliver(kWriteReply));
    ASSERT_TRUE(c.Await(devsim::kCmdWriteNumbers, 2));
    std::memset(base[0].data() + 12, 0, 20);
    std::memcpy(base[0].data() + 12, "Vorota", 6);
    EXPECT_EQ(c.memory->Numbers(), base);
}

// A row clicked into the editor is added as it came; an item the user picks replaces its value.
TEST(NumbersLink, TheEditorAddsValuesNoItemNamesAsTheyCame) {
    NumbersRig c("num-odd-edit");
    ASSERT_TRUE(c.ok);
    const std::vector<Bytes> base = OddBase();
    c.memory->SetNumbers(base);
    ASSERT_TRUE(c.ReadAll(3, 31));
    TForm1& f = *Form1;
    TUiStringGrid* g = f.PhonesGrid;
    f.SelectPage(5);
    for (std::size_t row = 1; row <= 3; ++row) {
        Click(g, CellCentre(g, colName, static_cast<int>(row)));
        Click(f.UiButton1);
        ASSERT_TRUE(c.Await(devsim::kCmdAddNumbers, row) && LinkRig::Deliver(FrameBytes(1)));
        EXPECT_EQ(c.Frames(devsim::kCmdAddNumbers).back().data, base[row - 1]) << row;
    }
    EXPECT_EQ(f.CodeType->GetItemIndex(), 2);

    Click(g, CellCentre(g, colName, 1));
    EXPECT_EQ(f.aShedule->GetItemIndex(), -1);  // "Расписание 200"
    for (int i = 0; i < 4; ++i) QTest::keyClick(f.aShedule->GetWidget(), Qt::Key_Down);
    ASSERT_EQ(f.aShedule->GetText(), "Расписание 3");
    Click(f.UiButton1);
    ASSERT_TRUE(c.Await(devsim::kCmdAddNumbers, 4));
    Bytes picked = base[0];
    picked[38] = 3;
    EXPECT_EQ(c.Frames(devsim::kCmdAddNumbers).back().data, picked);
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    // The expiry's box cleared: no expiry.
    Click(g, CellCentre(g, colName, 3));
    Click(f.Cdate);
    Click(f.UiButton1);
    ASSERT_TRUE(c.Await(devsim::kCmdAddNumbers, 5));
    picked = base[2];
    std::fill_n(picked.begin() + 33, 4, 0);
    EXPECT_EQ(c.Frames(devsim::kCmdAddNumbers).back().data, picked);
}

}  // namespace
