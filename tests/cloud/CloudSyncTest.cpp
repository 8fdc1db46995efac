// Number-base synchronisation through the simulated server: rounds of ten additions, each
// started by the acknowledgement of the one before, until no row is marked.
#include <gtest/gtest.h>

#include "memory/PhoneRecord.h"
#include "tests/cloud/CloudRig.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

int Marked() {
    int n = 0;
    for (int r = 1; r < Form1->PhonesGrid->GetRowCount(); ++r) n += Form1->PhonesGrid->GetCells(colSync, r) == "add";
    return n;
}

TEST(CloudSyncRounds, TwentyFiveAdditionsGoInRoundsOfTenTenAndFive) {
    CloudRig rig("cloud-sync");
    ASSERT_TRUE(rig.LogIn());
    TStringGrid* grid = Form1->PhonesGrid;
    grid->SetRowCount(27);
    for (int r = 1; r <= 25; ++r) {
        grid->SetCells(1, r, "+7900000" + std::to_string(1000 + r));
        grid->SetCells(colSync, r, "add");
    }
    Form1->SynchronizeJSON();
    for (std::size_t round = 1; round <= 3; ++round) {
        ASSERT_TRUE(rig.AwaitCount("add", round)) << round;
        const int left = 25 - static_cast<int>(std::min<std::size_t>(round * 10, 25));
        ASSERT_TRUE(WaitUntil([left] { return Marked() == left; })) << round;
        sys::AdvanceMs(10);  // the next Timer1 tick starts the next round
    }
    testsupport::Pump(50);
    const std::vector<cloudsim::Request> all = rig.sim.Requests();
    std::vector<Json::ArrayIndex> sizes;
    for (const cloudsim::Request& r : all)
        if (r.command == "add") sizes.push_back(r.data.size());
    EXPECT_EQ(sizes, (std::vector<Json::ArrayIndex>{10, 10, 5}));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Синхронизация выполнена");
    EXPECT_EQ(rig.sim.Count("del"), 0u);
}

}  // namespace
