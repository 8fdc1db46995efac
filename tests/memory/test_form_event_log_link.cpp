// The log page and the notice memo with a simulated controller on a pty: a log read block by
// block into the grid, a lost block asked for again, export of the grid, clearing on the
// cable (not while the read runs), event notices and diagnostic lines.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/StatusRecord.h"
#include "device/LinkRig.h"
#include "memory/MemoryState.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SafeFile.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/MemoryModel.h"
#include "support/TestSupport.h"

namespace {

using namespace linktest;
using devsim::MemoryModel;

constexpr std::size_t kCountReply = FrameBytes(3);
constexpr std::size_t LogBlock(std::size_t n) { return FrameBytes(5 + n * 32); }

struct LogRig {
    explicit LogRig(const std::string& name) : rig(name), device(rig.AddController("dev")), dir(testsupport::TempDir(name + "-files")) {
        device.model->SetAnswerStatus(false);
        memory = std::make_unique<MemoryModel>(*device.model, device.sim);
        g_LogRead.Stop();
        StopPhoneTransfers();
        rig.ListPorts({"!dev"});
        rig.CreateForm();
        ok = device.started && rig.ConnectTo(device);
        device.sim.ClearRecord();
        ui::test::ClearDialogs();
    }
    ~LogRig() { g_LogRead.Stop(); }
    bool Await(std::size_t count) { return LinkRig::AwaitRequests(device, devsim::kCmdReadEventLog, count); }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }

    LinkRig rig;
    SimPort& device;
    std::string dir;
    std::unique_ptr<MemoryModel> memory;
    bool ok = false;
};

// 25 events, one a minute from 14.11.2023 22:13:20; the last object fills its 16 bytes.
std::vector<Bytes> SampleLog() {
    std::vector<Bytes> log;
    for (int i = 0; i < 25; ++i)
        log.push_back(MemoryModel::EventRecord(1700000000u + 60u * i, "90000000" + std::to_string(10 + i),
                                               static_cast<std::uint8_t>(i == 24 ? 29 : i % 29),
                                               i == 24 ? "ABCDEFGHIJKLMNOP" : Utf8ToCp1251("Выход " + std::to_string(i))));
    return log;
}

std::vector<devsim::Frame> LogFrames(const LogRig& c) {
    std::vector<devsim::Frame> out;
    for (const devsim::Frame& f : c.device.sim.Frames())
        if (f.command == devsim::kCmdReadEventLog) out.push_back(f);
    return out;
}

TEST(EventLogLink, ReadBlockByBlockThenExported) {
    LogRig c("log-read");
    ASSERT_TRUE(c.ok);
    c.memory->SetLog(SampleLog());
    c.memory->LoseLogReplies(1);
    // The device starts the read with its count; the tool asks for block 0.
    c.memory->AnnounceLog();
    ASSERT_TRUE(LinkRig::Deliver(kCountReply));
    ASSERT_TRUE(c.Await(1));
    EXPECT_EQ(LogFrames(c)[0].data, (Bytes{0x01, 0x00, 0x00}));
    EXPECT_TRUE(Form1->LogBar->GetVisible());
    EXPECT_EQ(Form1->LogBar->GetPercent(), 0);
    // That reply is lost: 0.5 s later block 0 is asked for again.
    sys::AdvanceMs(500);
    ASSERT_TRUE(c.Await(2));
    EXPECT_EQ(LogFrames(c)[1].data, (Bytes{0x01, 0x00, 0x00}));
    ASSERT_TRUE(LinkRig::Deliver(LogBlock(10)));
    ASSERT_TRUE(c.Await(3));
    EXPECT_EQ(LogFrames(c)[2].data, (Bytes{0x01, 0x0A, 0x00}));
    EXPECT_EQ(Form1->LogBar->GetPercent(), 40);
    ASSERT_TRUE(LinkRig::Deliver(LogBlock(10)));
    ASSERT_TRUE(c.Await(4) && LinkRig::Deliver(LogBlock(5)));

    TUiStringGrid* g = Form1->HrGrid;
    EXPECT_EQ(g->GetRowCount(), 27);
    EXPECT_EQ(g->GetCells(0, 1), "1");
    EXPECT_EQ(g->GetCells(1, 1), "14.11.2023 22:13");
    EXPECT_EQ(g->GetCells(2, 1), "9000000010");
    EXPECT_EQ(g->GetCells(3, 1), "Управление выходом");
    EXPECT_EQ(g->GetCells(4, 1), "Выход 0");
    EXPECT_EQ(g->GetCells(3, 25), "Не известная: 29");
    EXPECT_EQ(g->GetCells(4, 25), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(g->GetCells(1, 26), "");
    EXPECT_EQ(LogRig::Message(), "Чтение хронологии завершено");
    EXPECT_FALSE(Form1->LogBar->GetVisible());
    EXPECT_FALSE(g_LogRead.Reading());
    sys::AdvanceMs(1000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdReadEventLog), 4u);
    EXPECT_EQ(Form1->FindInLogTable("9000000012", 2), 3);
    EXPECT_EQ(Form1->FindInLogTable("9999999999", 2), -1);

    // Export: "log_" + the IMEI of the status record; tab-separated Windows-1251 lines.
    std::memcpy(g_StatusRecord.data(), "860000000000001", 16);
    const std::string path = c.dir + "/log.txt";
    ui::test::PushFileAnswer(path);
    Form1->Button10Click(Form1->Button10);
    EXPECT_EQ(Form1->SaveDialog->GetFileName(), path);
    const std::string file = testsupport::ReadFileText(path);
    const std::string head = Utf8ToCp1251("Дата события\tНомер абонента\tОперация\tОбъект влияния\r\n");
    ASSERT_EQ(file.substr(0, head.size()), head);
    const std::string first = Utf8ToCp1251("14.11.2023 22:13\t9000000010\tУправление выходом\tВыход 0\r\n");
    EXPECT_EQ(file.substr(head.size(), first.size()), first);
    std::size_t lines = 0;
    for (char ch : file) lines += ch == '\n';
    EXPECT_EQ(lines, 26u);
    // On a full disk the exported file stays as it was, and the user is told.
    SetSafeFileWriteLimitForTests(64);
    ui::test::PushFileAnswer(path);
    testsupport::AccessibleAction(Form1->Button10->GetWidget());
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(LogRig::Message(), Form1->GetMessageA(96) + " " + path + " (На устройстве не осталось свободного места)");
    EXPECT_EQ(testsupport::ReadFileText(path), file);
    g_StatusRecord = StatusRecord{};
}

TEST(EventLogLink, EmptyLogClearingAndWrongBlock) {
    LogRig c("log-clear");
    ASSERT_TRUE(c.ok);
    // A log of nothing empties the grid and says so.
    Form1->HrGrid->SetRowCount(6);
    Form1->HrGrid->SetCells(2, 4, "9000000001");
    c.memory->AnnounceLog();
    ASSERT_TRUE(LinkRig::Deliver(kCountReply));
    EXPECT_EQ(LogRig::Message(), "Записей, удовлетворяющих условию, нет.");
    EXPECT_EQ(Form1->HrGrid->GetRowCount(), 2);

    // A block for another index is reported with message 39 and dropped.
    c.memory->SetLog(SampleLog());
    c.memory->LoseLogReplies(1);
    c.memory->AnnounceLog();
    ASSERT_TRUE(LinkRig::Deliver(kCountReply));
    ASSERT_TRUE(c.Await(1));
    c.device.sim.Send(devsim::BuildReply(devsim::kCmdReadEventLog, {0x01, 0x05, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(5)));
    EXPECT_EQ(LogRig::Message(), Form1->GetMessageA(39));
    EXPECT_EQ(g_LogRead.GetNextIndex(), 0);

    // Clearing while the read runs asks nothing and says what runs; the read goes on to its end.
    testsupport::Click(Form1->ClearMemHronology);
    EXPECT_TRUE(ui::test::ShownDialogs().empty());
    EXPECT_EQ(LogRig::Message(), Form1->GetMessageA(104));
    sys::AdvanceMs(500);
    for (std::size_t k = 2; k <= 4; ++k) ASSERT_TRUE(c.Await(k) && LinkRig::Deliver(LogBlock(k == 4 ? 5 : 10)));
    EXPECT_EQ(LogRig::Message(), "Чтение хронологии завершено");

    // Clearing on the cable asks first; "no" sends nothing.
    ui::test::PushDialogAnswer(IDNO);
    Form1->ClearMemHronologyClick(nullptr);
    testsupport::Pump(30);
    const std::size_t before = c.device.Requests(devsim::kCmdReadEventLog);
    ui::test::PushDialogAnswer(IDYES);
    Form1->ClearMemHronologyClick(nullptr);
    ASSERT_TRUE(c.Await(before + 1));
    EXPECT_EQ(LogFrames(c).back().data, (Bytes{0x0A}));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    EXPECT_EQ(LogRig::Message(), "Чистка памяти завершена");
    EXPECT_TRUE(c.memory->Log().empty());
    const auto& shown = ui::test::ShownDialogs();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.back().caption, "Информация");
}

TEST(EventLogLink, NoticesAndDiagnosticLines) {
    LogRig c("log-notice");
    ASSERT_TRUE(c.ok);
    c.memory->SendNotice(MemoryModel::EventRecord(1700000000, "9000000001", 0, "OUT1"));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(32)));
    TStrings* lines = Form1->RemLOG->GetLines();
    ASSERT_GE(lines->GetCount(), 1);
    EXPECT_EQ(lines->Get(lines->GetCount() - 1), "22:13:20 - 9000000001: Управление выходом OUT1");

    // A short 0x40 frame (an answer to the SIM-number request) holds no notice.
    const int count = lines->GetCount();
    c.device.sim.Send(devsim::BuildReply(devsim::kCmdEventNotice, {0x00}));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    EXPECT_EQ(lines->GetCount(), count);

    // Diagnostic codes 7 and 0: one line, the key itself without a language file.
    c.device.sim.Send(devsim::BuildReply(0x29, {0x02, 0x07, 0x00}));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(3)));
    ASSERT_EQ(lines->GetCount(), count + 1);
    const std::string diag = lines->Get(count);
    EXPECT_EQ(diag.size(), 16u) << diag;  // "hh:mm:ss - Code7", the hour space-padded
    EXPECT_EQ(diag.substr(8), " - Code7");

    // Defragmentation: a nonzero result says it is done.
    c.device.sim.Send(devsim::BuildReply(0x28, {0x01}));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    EXPECT_EQ(LogRig::Message(), "Дефрагментация завершена!");
}

}  // namespace
