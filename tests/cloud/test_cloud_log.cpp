// The event log read from the cloud: the request from the log page, blocks of rows added
// to the log grid without repeating a date, the wait between full blocks, "nextblock" after
// each block with the rows shown.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cloud/CloudReplyData.h"
#include "memory/MemoryState.h"
#include "platform/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "tests/cloud/CloudRig.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

Json::Value Rows(int first, int count) {
    Json::Value block(Json::arrayValue);
    for (int i = first; i < first + count; ++i) {
        Json::Value row(Json::objectValue);
        row["date"] = std::to_string(1700000000 + 60 * i);
        row["number"] = "+7900000" + std::to_string(1000 + i);
        row["operation"] = "Открыто";
        row["what"] = "Ворота";
        block.append(row);
    }
    return block;
}

TEST(CloudLog, FullBlockWaitsForTheNextAndRepeatedDatesAreShownOnce) {
    CloudRig rig("cloud-log");
    rig.sim.SetLogBlocks({Rows(0, 32), Rows(31, 2)});  // the second repeats the 32nd row
    ASSERT_TRUE(rig.LogIn());
    Form1->STDATE->SetDate(EncodeDate(2024, 3, 2));
    Form1->ENDATE->SetDate(EncodeDate(2024, 3, 9));
    Form1->HrNum->SetText("");
    Form1->HronologyGetClick(nullptr);
    ASSERT_TRUE(rig.AwaitCount("gchrono", 1));
    const cloudsim::Request request = rig.sim.Requests().back();
    EXPECT_EQ(request.data["sdate"].asString(), "02032024");
    EXPECT_EQ(request.data["edate"].asString(), "09032024");
    EXPECT_EQ(request.data["number"].asString(), "x");
    EXPECT_EQ(request.data["operation"].asString(), "0");
    EXPECT_EQ(request.data["response"].asString(), "1");

    ASSERT_TRUE(rig.AwaitCount("nextblock", 2));
    const std::vector<cloudsim::Request> all = rig.sim.Requests();
    EXPECT_EQ(all[all.size() - 2].data.asString(), "32");
    EXPECT_EQ(all.back().data.asString(), "33");
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == kCloudLogDoneText; }));
    EXPECT_EQ(g_LogNextRow, 34);
    EXPECT_EQ(Form1->HrGrid->GetCells(1, 1), CloudLogDateText(1700000000));
    EXPECT_EQ(Form1->HrGrid->GetCells(0, 33), "33");
    EXPECT_EQ(Form1->HrGrid->GetCells(1, 33), CloudLogDateText(1700000000 + 60 * 32));
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 33), "+79000001032");
    EXPECT_GE(Form1->HrGrid->GetRowCount(), 35);
    EXPECT_TRUE(CloudRig::Logged("Ответ на запрос журнала"));

    // A period without events empties the grid.
    rig.sim.SetLogBlocks({});
    testsupport::Click(Form1->HronologyGet->GetWidget());
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == "Нет данных за указанный период!"; }));
    EXPECT_EQ(Form1->HrGrid->GetRowCount(), 2);
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 1), "");
}

// Each block from the second on comes once more after the next was asked for: the copy of
// a full block adds nothing, and the last block's copy, which nobody asked for, leaves the
// 70 rows shown.
TEST(CloudLog, RepeatedBlocksLeaveTheRowsShown) {
    CloudRig rig("cloud-log-repeat");
    rig.sim.SetLogBlocks({Rows(0, 32), Rows(32, 32), Rows(64, 6)});
    rig.sim.SetLateCopies("nextblock");
    ASSERT_TRUE(rig.LogIn());
    testsupport::AccessibleAction(Form1->HronologyGet->GetWidget());
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged(UnaskedReplyLine("gchrono")); }));
    EXPECT_EQ(g_LogNextRow, 71);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), kCloudLogDoneText);
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 1), "+79000001000");
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 70), "+79000001069");
}

// While the cloud's next log block, or its schedules, are awaited no other transfer starts.
TEST(CloudLog, TheCloudsReadsHoldTheOtherTransfersWhileTheirAnswerIsAwaited) {
    CloudRig rig("cloud-log-holds");
    rig.sim.SetLogBlocks({Rows(0, 32)});  // the block after it never comes
    ASSERT_TRUE(rig.LogIn());
    testsupport::Click(Form1->HronologyGet);
    ASSERT_TRUE(rig.AwaitCount("nextblock", 1));
    testsupport::Click(Form1->Bsetting);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(104));
    sys::AdvanceMs(10000);  // the next block's wait ends
    rig.sim.SetSilent(true);
    testsupport::Click(Form1->Bshedl);
    ASSERT_TRUE(rig.AwaitCount("gconfig", 1));
    testsupport::Click(Form1->HronologyGet);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(105));
}

TEST(CloudLog, TwoEventsInOneSecondAreBothShownAndExported) {
    CloudRig rig("cloud-log-second");
    Json::Value block = Rows(0, 2);
    block[1]["date"] = block[0]["date"];
    rig.sim.SetLogBlocks({block});
    ASSERT_TRUE(rig.LogIn());
    testsupport::AccessibleAction(Form1->HronologyGet->GetWidget());
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == kCloudLogDoneText; }));
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 1), "+79000001000");
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 2), "+79000001001");
    EXPECT_EQ(Form1->HrGrid->GetCells(1, 2), CloudLogDateText(1700000000));

    const std::string file = testsupport::TempDir("cloud-log-second-export") + "/log.txt";
    ui::test::PushFileAnswer(file);
    testsupport::AccessibleAction(Form1->Button10->GetWidget());
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("+79000001000"), std::string::npos);
    EXPECT_NE(text.find("+79000001001"), std::string::npos);
}

TEST(CloudLog, RequestWithoutASessionConnectsAndIsSentAfterTheLogin) {
    CloudRig rig("cloud-log-connect");
    rig.sim.SetLogBlocks({Rows(0, 3)});
    Form1->AIMEI->SetText(cloudtest::kImei);
    Form1->APASS->SetText(cloudtest::kPass);
    Form1->HronologyGetClick(nullptr);
    EXPECT_TRUE(Form1->ClientSocket->GetActive());
    ASSERT_TRUE(rig.AwaitCount("gchrono", 1));
    const std::vector<cloudsim::Request> all = rig.sim.Requests();
    EXPECT_EQ(all[0].command, "dispauth");
    EXPECT_EQ(all[1].command, "gchrono");
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == kCloudLogDoneText; }));
    EXPECT_EQ(Form1->HrGrid->GetCells(2, 3), "+79000001002");
    EXPECT_TRUE(g_PendingChrono.isNull());
}

TEST(CloudLog, ClearingTheLogAsksTheServerInASession) {
    CloudRig rig("cloud-log-clear");
    ASSERT_TRUE(rig.LogIn());
    ui::test::ClearDialogs();
    ui::test::PushDialogAnswer(IDYES);
    Form1->ClearMemHronologyClick(nullptr);
    ASSERT_TRUE(rig.AwaitCount("clearchrono", 1));
    EXPECT_EQ(rig.sim.Requests().back().imei, cloudtest::kImei);
    ui::test::ClearDialogs();
}

}  // namespace
