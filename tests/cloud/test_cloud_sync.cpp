// Number-base synchronisation through the simulated server: rounds of ten additions, each
// started by the acknowledgement of the one before, until no row is marked.
#include <gtest/gtest.h>

#include <fstream>

#include "memory/PhoneRecord.h"
#include "platform/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "tests/cloud/CloudRig.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

int Marked() {
    int n = 0;
    for (int r = 1; r < Form1->PhonesGrid->GetRowCount(); ++r) n += Form1->PhonesGrid->GetCells(colSync, r) == "add";
    return n;
}

// Marks n rows "add" and sends the first round.
void SyncMarked(int n) {
    Form1->PhonesGrid->SetRowCount(n + 1);
    for (int r = 1; r <= n; ++r) {
        Form1->PhonesGrid->SetCells(1, r, "+7900000" + std::to_string(1000 + r));
        Form1->PhonesGrid->SetCells(colSync, r, "add");
    }
    Form1->SynchronizeJSON();
}

// Marks 25 rows and follows the rounds of ten, ten and five, each started by the answer
// to the one before; success is shown only once the last is answered.
void SyncTwentyFive(CloudRig& rig) {
    SyncMarked(25);
    for (std::size_t round = 1; round <= 3; ++round) {
        ASSERT_TRUE(rig.AwaitCount("add", round)) << round;
        const int left = 25 - static_cast<int>(std::min<std::size_t>(round * 10, 25));
        ASSERT_TRUE(WaitUntil([left] { return Marked() == left; })) << round;
        if (left > 0) {
            EXPECT_NE(Form1->MESLABEL->GetCaption(), "Синхронизация выполнена") << round;
        }
        sys::AdvanceMs(10);  // the next Timer1 tick starts the next round
    }
    testsupport::Pump(50);
    const std::vector<cloudsim::Request> all = rig.sim.Requests();
    std::vector<Json::ArrayIndex> sizes;
    for (const cloudsim::Request& r : all)
        if (r.command == "add") sizes.push_back(r.data.size());
    EXPECT_EQ(sizes, (std::vector<Json::ArrayIndex>{10, 10, 5}));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Синхронизация выполнена");
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());  // the wait between rounds is over
    EXPECT_EQ(rig.sim.Count("del"), 0u);
}

TEST(CloudSyncRounds, TwentyFiveAdditionsGoInRoundsOfTenTenAndFive) {
    CloudRig rig("cloud-sync");
    ASSERT_TRUE(rig.LogIn());
    SyncTwentyFive(rig);
}

// Each answer comes again after the next round went, and the last five rows are refused:
// a copy that does not fit its round clears nothing and the round goes again; refused rows
// go again once a second, and after their fifth refusal the user is told their numbers.
TEST(CloudSyncRounds, CopiedAnswersAndRefusedRowsKeepTheirMarks) {
    CloudRig rig("cloud-sync-copies");
    std::vector<std::string> refused;
    for (int r = 11; r <= 15; ++r) refused.push_back("+7900000" + std::to_string(1000 + r));
    rig.sim.SetRefused(refused);
    rig.sim.SetLateCopies("add");
    ASSERT_TRUE(rig.LogIn());
    SyncMarked(15);
    ASSERT_TRUE(WaitUntil([] { return Marked() == 5; }));
    sys::AdvanceMs(10);
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged(SyncMismatchLine("add", 10, 5)); }));
    for (std::size_t round = 3; round <= 6; ++round) {
        ASSERT_TRUE(WaitUntil([] { return g_SyncState.AddOut.empty(); })) << round;
        sys::AdvanceMs(980);
        testsupport::Pump(20);
        EXPECT_EQ(rig.sim.Count("add"), round - 1);
        sys::AdvanceMs(20);
        ASSERT_TRUE(rig.AwaitCount("add", round));
    }
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == SyncNotTakenText({
        "+79000001011", "+79000001012", "+79000001013", "+79000001014", "+79000001015"}); }));
    EXPECT_TRUE(CloudRig::Logged(UnaskedReplyLine("add")));
    EXPECT_EQ(Marked(), 5);
    sys::AdvanceMs(3000);
    testsupport::Pump(50);
    EXPECT_EQ(rig.sim.Count("add"), 6u);
    EXPECT_EQ(Marked(), 5);
}

// A round the server never answers ends the synchronisation, and the wait the round before
// opened, after a minute: the rows keep their marks and the buttons are free.
TEST(CloudSyncRounds, ARoundNeverAnsweredEndsTheSynchronisationAfterAMinute) {
    CloudRig rig("cloud-sync-unanswered");
    ASSERT_TRUE(rig.LogIn());
    SyncMarked(15);
    ASSERT_TRUE(WaitUntil([] { return Marked() == 5; }));
    rig.sim.SetReply("add", Json::Value());
    sys::AdvanceMs(10);
    ASSERT_TRUE(rig.AwaitCount("add", 2));
    for (int s = 1; s < 12; ++s) {  // the status is answered meanwhile
        sys::AdvanceMs(5000);
        ASSERT_TRUE(WaitUntil([] { return g_CloudSilenceTicks == 0; })) << s;
    }
    sys::AdvanceMs(4990);
    testsupport::Click(Form1->UiButton5);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(109));
    sys::AdvanceMs(10);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->ReadLangStr(kSyncUnansweredText));
    EXPECT_FALSE(Form1->TimerProgress->GetEnabled());
    EXPECT_EQ(Marked(), 5);
    testsupport::Click(Form1->UiButton5);
    EXPECT_TRUE(g_PhoneRead.Running());
}

TEST(CloudSyncRounds, AnImportInASessionStartsTheRoundsItself) {
    CloudRig rig("cloud-sync-import");
    ASSERT_TRUE(rig.LogIn());
    const std::string file = testsupport::TempDir("cloud-sync-import-file") + "/numbers.csv";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 1; i <= 12; ++i) out << "90000010" << (10 + i) << ";Name" << i << ";;;;;\r\n";
    }
    ui::test::PushFileAnswer(file);
    testsupport::AccessibleAction(Form1->UiButton3->GetWidget());
    // The first round goes at once; its acknowledgement lets the next tick send the rest.
    ASSERT_TRUE(rig.AwaitCount("add", 1));
    ASSERT_TRUE(WaitUntil([] { return Marked() == 2; }));
    sys::AdvanceMs(10);
    ASSERT_TRUE(rig.AwaitCount("add", 2));
    ASSERT_TRUE(WaitUntil([] { return Marked() == 0; }));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Синхронизация выполнена");
    const std::vector<cloudsim::Request> all = rig.sim.Requests();
    std::vector<std::string> numbers;
    for (const cloudsim::Request& r : all)
        if (r.command == "add")
            for (const Json::Value& user : r.data) numbers.push_back(user["number"].asString());
    ASSERT_EQ(numbers.size(), 12u);
    EXPECT_EQ(numbers.front(), "9000001011");
    EXPECT_EQ(numbers.back(), "9000001022");
}

}  // namespace
