// The local configuration server's rules for its connections, tick by tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cloud/ConfLinks.h"

namespace {

using Links = std::vector<TConfLink>;

int g_Handles[kConfWaitingRoom + 2];
TConfLink H(std::size_t k) { return &g_Handles[k]; }

// Ticks n times; what they asked for, all together.
TConfTick Ticks(TConfLinks& links, int n, bool awaiting = false, bool transfer = false) {
    TConfTick all;
    for (int k = 0; k < n; ++k) {
        TConfTick t = links.Tick(awaiting, transfer);
        if (t.Lost) all.Lost = t.Lost;
        all.TurnAway.insert(all.TurnAway.end(), t.TurnAway.begin(), t.TurnAway.end());
        all.Close.insert(all.Close.end(), t.Close.begin(), t.Close.end());
        all.Ask.insert(all.Ask.end(), t.Ask.begin(), t.Ask.end());
        all.Hold.insert(all.Hold.end(), t.Hold.begin(), t.Hold.end());
    }
    return all;
}

TEST(ConfLinks, WaitingConnectionIsAskedThreeTimesThenClosed) {
    TConfLinks links;
    EXPECT_EQ(links.Connect(H(0), "10.0.0.1"), nullptr);
    EXPECT_EQ(links.Tick(false).Ask, Links{H(0)});  // the first tick asks
    EXPECT_EQ(links.Frame(H(0), false), TConfFrame::Ignore);  // anything else is not looked at
    EXPECT_TRUE(Ticks(links, 2).Ask.empty());
    EXPECT_EQ(links.Tick(false).Ask, Links{H(0)});
    EXPECT_EQ(Ticks(links, 3).Ask, Links{H(0)});
    const TConfTick last = Ticks(links, 2);
    EXPECT_TRUE(last.Ask.empty());
    EXPECT_TRUE(last.Close.empty());
    EXPECT_EQ(links.Tick(false).Close, Links{H(0)});  // the tenth
    EXPECT_EQ(links.StateOf(H(0)), TConfState::None);
    EXPECT_FALSE(links.Gone(H(0)));

    links.Connect(H(1), "10.0.0.1");
    EXPECT_EQ(links.Frame(H(1), true), TConfFrame::Serve);
    EXPECT_EQ(links.Served(), H(1));
    EXPECT_EQ(links.Waiting(), 0u);
    EXPECT_TRUE(Ticks(links, 100).Close.empty());  // a served one is not aged
}

// A newcomer is always let in: its address's longest waiting one makes room once that
// address has its share, else the longest waiting of all once the room is full; waiting
// ones before those that have identified.
TEST(ConfLinks, NewcomerAlwaysFindsRoom) {
    TConfLinks full;
    for (std::size_t k = 0; k < kConfWaitingRoom; ++k)
        ASSERT_EQ(full.Connect(H(k), "10.0.0." + std::to_string(k / kConfWaitingPerAddress)), nullptr);
    EXPECT_EQ(full.Connect(H(kConfWaitingRoom), "10.0.0.200"), H(0));
    EXPECT_EQ(full.Waiting(), kConfWaitingRoom);

    TConfLinks links;
    const TConfLink served = H(kConfWaitingRoom + 1);
    links.Connect(served, "10.0.0.9");
    ASSERT_EQ(links.Frame(served, true), TConfFrame::Serve);
    for (std::size_t k = 0; k < kConfWaitingPerAddress; ++k) ASSERT_EQ(links.Connect(H(k), "10.0.0.1"), nullptr);
    ASSERT_EQ(links.Frame(H(0), true), TConfFrame::Probe);
    EXPECT_EQ(links.Connect(H(kConfWaitingPerAddress), "10.0.0.1"), H(1));  // not the claimant
    EXPECT_EQ(links.WaitingFrom("10.0.0.1"), kConfWaitingPerAddress);
    for (std::size_t k = 2; k <= kConfWaitingPerAddress; ++k) EXPECT_EQ(links.Frame(H(k), true), TConfFrame::Ignore);
    EXPECT_EQ(links.Connect(H(1), "10.0.0.1"), H(0));  // none waits: the first claimant makes room
    EXPECT_EQ(links.StateOf(H(1)), TConfState::Waiting);
    EXPECT_EQ(links.Served(), served);
}

// Claimants follow the served controller's answer to the probe, which only its status naming
// the IMEI it was served under gives; a served one silent while the window waits on it is
// lost; when it goes, the claimants are asked at once.
TEST(ConfLinks, ClaimantsFollowTheServedOnesAnswer) {
    TConfLinks links;
    const TConfLink served = H(0), c1 = H(1), c2 = H(2);
    links.Connect(served, "10.0.0.1");
    ASSERT_EQ(links.Frame(served, true), TConfFrame::Serve);
    links.Connect(c1, "10.0.0.2");
    links.Connect(c2, "10.0.0.3");
    EXPECT_EQ(links.Frame(c1, true), TConfFrame::Probe);
    EXPECT_EQ(links.Frame(c2, true), TConfFrame::Ignore);  // asked already
    EXPECT_TRUE(links.Heard(served));
    EXPECT_EQ(links.Frame(served, false), TConfFrame::Dispatch);  // answers nothing
    EXPECT_EQ(links.Frame(served, true), TConfFrame::Ignore);    // nor does its identify reply
    EXPECT_TRUE(links.Tick(false).TurnAway.empty());
    EXPECT_EQ(links.Frame(served, false, "861"), TConfFrame::Answer);  // the server's own question
    EXPECT_EQ(links.Frame(served, false, "861"), TConfFrame::Dispatch);  // the window's
    TConfTick t = links.Tick(false);
    EXPECT_EQ(t.TurnAway, (Links{c1, c2}));
    EXPECT_EQ(t.Lost, nullptr);
    EXPECT_EQ(links.Waiting(), 0u);

    links.Connect(c1, "10.0.0.2");
    links.Tick(false);
    EXPECT_EQ(links.Frame(c1, true), TConfFrame::Probe);  // the last answer is spent
    for (int k = 1; k < kConfProbeTicks; ++k) {
        links.Heard(served);  // a byte now and then is no answer, nor another IMEI
        ASSERT_EQ(links.Frame(served, false, "862"), TConfFrame::Answer);
        ASSERT_EQ(links.Tick(false).Lost, nullptr);
    }
    t = links.Tick(false);
    EXPECT_EQ(t.Lost, served);
    EXPECT_EQ(t.Ask, Links{c1});  // asked again at once, its time afresh
    EXPECT_EQ(links.Served(), nullptr);
    EXPECT_EQ(links.Frame(c1, true), TConfFrame::Serve);

    // Silence counts only while the window waits on it; a byte starts it over.
    EXPECT_EQ(Ticks(links, 100, false).Lost, nullptr);
    EXPECT_EQ(Ticks(links, kConfLinkLostTicks - 1, true).Lost, nullptr);
    links.Heard(c1);
    EXPECT_EQ(Ticks(links, kConfLinkLostTicks - 1, true).Lost, nullptr);
    EXPECT_EQ(links.Tick(true).Lost, c1);

    // The served one closes while a claim is pending: the claimant is asked at once.
    links.Connect(c1, "10.0.0.2");
    ASSERT_EQ(links.Frame(c1, true), TConfFrame::Serve);
    links.Connect(c2, "10.0.0.3");
    ASSERT_EQ(links.Frame(c2, true), TConfFrame::Probe);
    EXPECT_TRUE(links.Gone(c1));
    EXPECT_EQ(links.Tick(false).Ask, Links{c2});
}

// While a transfer runs, claimants wait for its end and the probe gives way. Then one whose
// status named the served one's IMEI is probed and turned away while that one answers; one
// that named another, or nothing, takes the seat when it identifies. One held too long goes.
TEST(ConfLinks, ClaimantsWaitWhileATransferRuns) {
    TConfLinks links;
    const TConfLink served = H(0), same = H(1), other = H(2), mute = H(3);
    links.Connect(served, "10.0.0.1");
    ASSERT_EQ(links.Frame(served, true), TConfFrame::Serve);
    EXPECT_EQ(links.Frame(served, false, "861"), TConfFrame::Answer);  // asked as it is served
    links.Connect(same, "10.0.0.2");
    links.Tick(false);
    ASSERT_EQ(links.Frame(same, true), TConfFrame::Probe);
    EXPECT_EQ(links.Tick(false, true).Hold, Links{same});  // a transfer starts
    EXPECT_EQ(links.Frame(same, false, "861"), TConfFrame::Ignore);  // no takeover
    links.Connect(other, "10.0.0.3");
    EXPECT_EQ(links.Tick(false, true).Ask, Links{other});
    EXPECT_EQ(links.Frame(other, true, {}, true), TConfFrame::Hold);  // before the tick says so
    EXPECT_EQ(links.Held(), 2u);
    TConfTick t = Ticks(links, kConfProbeTicks, true, true);
    EXPECT_EQ(t.Lost, nullptr);
    EXPECT_TRUE(t.TurnAway.empty());
    EXPECT_EQ(links.Tick(false).Ask, (Links{same, other}));  // it ended: asked again
    EXPECT_EQ(links.Frame(same, true), TConfFrame::Probe);
    EXPECT_EQ(links.Frame(served, false, "861"), TConfFrame::Answer);
    EXPECT_EQ(links.Tick(false).TurnAway, Links{same});
    EXPECT_EQ(links.Frame(other, true), TConfFrame::Handover);  // it answered nothing held
    EXPECT_EQ(links.Served(), other);

    // Served after waiting, it keeps the seat by answering under the IMEI it named then.
    links.Connect(mute, "10.0.0.4");
    links.Tick(false, true);
    ASSERT_EQ(links.Frame(mute, true), TConfFrame::Hold);
    links.Frame(mute, false, "863");
    EXPECT_EQ(Ticks(links, kConfHoldTicks - 1, false, true).TurnAway, Links{});
    EXPECT_EQ(links.Tick(false, true).TurnAway, Links{mute});  // waited long enough
}

// A claimant naming the served one's IMEI takes over only from a served one silent for the
// transfer's patience; served so, it loses the seat when it fails a probe of its own.
TEST(ConfLinks, ClaimantNamingTheServedImeiTakesOverOnlyFromSilence) {
    TConfLinks links;
    const TConfLink served = H(0), forger = H(1), redial = H(2);
    links.Connect(served, "10.0.0.1");
    ASSERT_EQ(links.Frame(served, true), TConfFrame::Serve);
    links.Frame(served, false, "861");
    links.Connect(forger, "10.0.0.2");
    links.Tick(true, true);
    ASSERT_EQ(links.Frame(forger, true), TConfFrame::Hold);
    links.Frame(forger, false, "861");
    links.Heard(served);  // its last word
    EXPECT_EQ(Ticks(links, kConfLinkLostTicks - 1, true, true).Lost, nullptr);
    TConfTick t = links.Tick(true, true);
    EXPECT_EQ(t.Lost, served);
    EXPECT_EQ(t.Ask, Links{forger});
    ASSERT_EQ(links.Frame(forger, true), TConfFrame::Serve);

    links.Connect(redial, "10.0.0.1");
    links.Tick(false);
    ASSERT_EQ(links.Frame(redial, true), TConfFrame::Probe);
    EXPECT_EQ(links.Frame(forger, false, "862"), TConfFrame::Answer);  // not what it named
    EXPECT_EQ(Ticks(links, kConfProbeTicks, true).Lost, forger);
    EXPECT_EQ(links.Frame(redial, true), TConfFrame::Serve);
}

}  // namespace
