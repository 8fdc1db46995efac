// The serial reader's probing and polling through whole sessions on the 100 ms tick.
#include <gtest/gtest.h>

#include "rfid/ReaderPoll.h"

namespace {
struct TCounts {
    int probes = 0, reads = 0, giveUps = 0;
};
TCounts RunTicks(TReaderPoll& p, int ticks) {
    TCounts c;
    for (int i = 0; i < ticks; ++i) {
        const TReaderTick t = p.Tick();
        c.probes += t.SendProbe;
        c.reads += t.SendTidRead;
        c.giveUps += t.GiveUp;
    }
    return c;
}

TEST(ReaderPoll, NoReaderGivesUpAfterFifteenProbes) {
    TReaderPoll p;
    EXPECT_EQ(RunTicks(p, 5).probes, 0);  // closed: the tick does nothing
    p.PortOpened();
    for (int i = 1; i <= 14; ++i) {
        const TReaderTick t = p.Tick();
        EXPECT_TRUE(t.SendProbe);
        EXPECT_FALSE(t.GiveUp) << i;
    }
    const TReaderTick last = p.Tick();
    EXPECT_TRUE(last.SendProbe);  // the 15th probe goes out and has its tick to be answered
    EXPECT_FALSE(last.GiveUp);
    const TReaderTick giveUp = p.Tick();
    EXPECT_FALSE(giveUp.SendProbe);
    EXPECT_TRUE(giveUp.GiveUp);
    const TCounts after = RunTicks(p, 20);
    EXPECT_EQ(after.probes + after.reads + after.giveUps, 0);
}

TEST(ReaderPoll, ReaderAnswersThenTidEveryTwoTicks) {
    TReaderPoll p;
    p.PortOpened();
    EXPECT_EQ(RunTicks(p, 3).probes, 3);
    p.ReaderPresent();
    EXPECT_EQ(p.ProbeTicks(), 0);
    EXPECT_TRUE(p.Reading());
    std::vector<bool> reads;
    for (int i = 0; i < 6; ++i) {
        const TReaderTick t = p.Tick();
        EXPECT_FALSE(t.SendProbe);
        reads.push_back(t.SendTidRead);
    }
    EXPECT_EQ(reads, (std::vector<bool>{false, true, false, true, false, true}));
    EXPECT_EQ(RunTicks(p, 100).reads, 50);  // five a second
    p.StopReading();
    EXPECT_EQ(RunTicks(p, 10).reads, 0);
    // Reopening probes afresh.
    p.PortOpened();
    const TCounts c = RunTicks(p, 16);
    EXPECT_EQ(c.probes, 15);
    EXPECT_EQ(c.giveUps, 1);
    // An answer to the last probe, before the give-up, still finds the reader.
    p.PortOpened();
    RunTicks(p, 15);
    p.ReaderPresent();
    EXPECT_EQ(RunTicks(p, 1).giveUps, 0);
}
}  // namespace
