#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "platform/sys/Thread.h"
#include "platform/sys/Timer.h"
#include "support/TestSupport.h"

namespace {

TEST(ManualClock, TimersFireInDueOrderThenCreationOrder) {
    TComponent owner(nullptr);
    std::vector<std::string> fired;
    auto make = [&](const char* name, unsigned interval) {
        auto* t = new TTimer(&owner);
        t->SetInterval(interval);
        t->OnTimer = [&fired, name](TObject*) { fired.push_back(name); };
        return t;
    };
    make("a100", 100);
    make("b10", 10);
    make("c100", 100);
    sys::AdvanceMs(100);
    // b10 fires at 10..100 (10 times); at 100 all three fall due and go in creation order.
    ASSERT_EQ(fired.size(), 12u);
    EXPECT_EQ(fired[8], "b10");
    EXPECT_EQ(fired[9], "a100");
    EXPECT_EQ(fired[10], "b10");
    EXPECT_EQ(fired[11], "c100");
}

TEST(ManualClock, DisabledTimerAndRestartedPeriod) {
    TComponent owner(nullptr);
    auto* t = new TTimer(&owner);
    int n = 0;
    t->SetInterval(50);
    t->OnTimer = [&](TObject*) { ++n; };
    sys::AdvanceMs(40);
    t->SetEnabled(false);
    sys::AdvanceMs(100);
    EXPECT_EQ(n, 0);
    t->SetEnabled(true);  // a new period starts now
    sys::AdvanceMs(49);
    EXPECT_EQ(n, 0);
    sys::AdvanceMs(1);
    EXPECT_EQ(n, 1);
    t->SetEnabled(true);  // enabling a running timer does not restart it
    sys::AdvanceMs(50);
    EXPECT_EQ(n, 2);
}

// A countdown of 5 ticks on a 10 ms timer that sleeps while it counts: it wakes only when
// the countdown ends, the ticks it slept through count before whatever happens meanwhile,
// and ticks while it has nothing to do are passed over.
TEST(ManualClock, ASleepingTimerWakesAtTheTickItsWorkIsDue) {
    TComponent owner(nullptr);
    auto* t = new TTimer(&owner);
    t->SetInterval(10);
    int left = 5;
    std::vector<std::int64_t> fired;
    t->OnDue = [&] { return static_cast<unsigned>(left); };
    t->OnTimer = [&](TObject*) {
        if (left > 0 && --left == 0) fired.push_back(sys::TickMs());
    };
    const std::int64_t start = sys::TickMs();
    sys::AdvanceMs(100);
    EXPECT_EQ(fired, (std::vector<std::int64_t>{start + 50}));
    EXPECT_EQ(t->Wakes(), 1u);
    left = 5;  // started now: 5 ticks from the last one, whatever slept before
    sys::AdvanceMs(30);
    EXPECT_EQ(left, 2);
    left = 5;  // started again
    sys::AdvanceMs(49);
    EXPECT_EQ(fired.size(), 1u);
    sys::AdvanceMs(1);
    EXPECT_EQ(fired.back(), start + 180);
    EXPECT_EQ(t->Wakes(), 2u);
    sys::AdvanceMs(1000);  // nothing to do
    EXPECT_EQ(t->Wakes(), 2u);
    left = 3;
    sys::AdvanceMs(30);
    EXPECT_EQ(fired.back(), start + 1210);
}

TEST(ManualClock, TimerFreedInsideItsOwnHandler) {
    auto* owner = new TComponent(nullptr);
    auto* t = new TTimer(owner);
    t->SetInterval(10);
    int n = 0;
    t->OnTimer = [&](TObject*) {
        ++n;
        delete owner;
    };
    sys::AdvanceMs(100);
    EXPECT_EQ(n, 1);
}

TEST(ManualClock, SleepReturnsAtOnceAndWallClockAdvances) {
    sys::SetManualWallSeconds(1000.0);
    sys::Sleep(100000);
    sys::AdvanceMs(1500);
    EXPECT_DOUBLE_EQ(sys::LocalWallSeconds(), 1001.5);
}

class Worker : public sys::TThread {
public:
    std::atomic<int> handed{0};
    bool throwInHandler = false;
    ~Worker() override { WaitFor(); }

protected:
    void Execute() override {
        for (int i = 0; i < 3; ++i)
            Synchronize([this] {
                if (throwInHandler) throw std::runtime_error("handler");
                ++handed;
            });
    }
};

TEST(GuiThread, WaitForServesPendingHandOvers) {
    Worker w;
    w.Start();
    w.WaitFor();  // would deadlock if the GUI thread stopped serving while it waits
    EXPECT_EQ(w.handed, 3);
    EXPECT_TRUE(w.Finished());
}

TEST(GuiThread, HandlerExceptionGoesToGuiHandlerAndEndsThread) {
    int shown = 0;
    sys::SetExceptionHandler([&](std::exception_ptr) { ++shown; });
    Worker w;
    w.throwInHandler = true;
    w.Start();
    w.WaitFor();
    sys::SetExceptionHandler(nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(w.FatalException() != nullptr);
}

TEST(GuiThread, PostedCallsRunInOrder) {
    std::vector<int> order;
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) sys::PostToGuiThread([&order, i] { order.push_back(i); });
    });
    other.join();
    testsupport::WaitUntil([&] { return order.size() == 5; });
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
