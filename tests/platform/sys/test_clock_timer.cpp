#include <gtest/gtest.h>

#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
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

// A block's re-request countdown, 50 ticks of a 10 ms timer, on the machine's clock with the
// event loop waiting as the tool's does: when it ran out, and how long after its last restart.
// Once it has run out, its handler restarts it and stalls for `stall`.
class MachineClock : public testing::Test {
protected:
    MachineClock() {
        timer->SetInterval(10);
        timer->OnDue = [this] { return left; };
        timer->OnTimer = [this](TObject*) {
            if (left == 0 || --left != 0) return;
            ranOut.push_back(sys::TickMs());
            if (stall.count() == 0) return;
            Restart();
            std::this_thread::sleep_for(std::exchange(stall, {}));
            restartedAt = sys::TickMs();
        };
    }
    void Restart() {
        left = 50;
        restartedAt = sys::TickMs();
    }
    std::int64_t RunOut() {
        testsupport::WaitInLoop([this] { return left == 0 && !ranOut.empty() && ranOut.back() >= restartedAt; }, 10000);
        return ranOut.empty() ? -1 : ranOut.back() - restartedAt;
    }

    testsupport::TMachineClock clock;
    std::unique_ptr<TTimer> timer = std::make_unique<TTimer>(nullptr);
    unsigned left = 0;
    std::int64_t restartedAt = 0;
    std::vector<std::int64_t> ranOut;
    std::chrono::milliseconds stall{0};
};

// Restarted by an event, or after a stall of its own handler or of a posted call with the
// reply handed over meanwhile: the ticks it owed before count nothing against the countdown.
// Turns of the loop that follow close on each other are time the tool listened.
TEST_F(MachineClock, AStallCountsNothingAgainstTheCountdownRestartedInIt) {
    Restart();
    EXPECT_TRUE(testsupport::WaitUntil([this] { return left == 0; }, 5000));
    Restart();
    QTimer::singleShot(300, [this] { Restart(); });
    EXPECT_GE(RunOut(), 450);
    stall = std::chrono::milliseconds(1200);
    Restart();
    EXPECT_GE(RunOut(), 450);
    Restart();
    sys::PostToGuiThread([this] {
        std::thread([this] { sys::PostToGuiThread([this] { Restart(); }); }).join();
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    });
    EXPECT_GE(RunOut(), 450);
    EXPECT_EQ(ranOut.size(), 5u);
}

// A tick put off past a stall runs when it comes, however late: a tool that keeps waking late
// still runs its countdowns out.
TEST_F(MachineClock, ATickPutOffRunsWhenItComesHoweverLate) {
    timer->SetInterval(200);
    left = 1;
    int seen = -1;  // how often it had run out 100 ms after the stalls
    sys::PostToGuiThread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // its tick is due in here
        QTimer::singleShot(0, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // and the one put off
            QTimer::singleShot(100, [&] { seen = static_cast<int>(ranOut.size()); });
        });
    });
    testsupport::WaitInLoop([&] { return seen >= 0; }, 5000);
    EXPECT_EQ(seen, 1);
}

// The process stopped (Ctrl+Z, then fg) while the countdown ran, the reply waiting on its line
// when it goes on: the reply is taken first and restarts it. A timer freed by its own tick,
// counted off as the process goes on, is left alone.
TEST_F(MachineClock, AReplyWaitingAfterAStopIsTakenBeforeTheCountdownRunsOut) {
    auto* doomed = new TTimer(nullptr);
    doomed->SetInterval(10);
    doomed->OnDue = [] { return 100u; };
    doomed->OnTimer = [doomed](TObject*) { delete doomed; };
    const std::string line = testsupport::TempDir("stopped-tool") + "/line";
    ASSERT_EQ(::mkfifo(line.c_str(), 0600), 0);
    const int fd = ::open(line.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    QSocketNotifier reply(fd, QSocketNotifier::Read);
    QObject::connect(&reply, &QSocketNotifier::activated, [&] {
        for (char c; ::read(fd, &c, 1) == 1;) Restart();
    });
    Restart();
    const std::int64_t listened = sys::ListenMs(), wall = sys::TickMs();
    std::thread stop([&] { testsupport::StopThisProcess(1000, "printf x >" + line); });
    EXPECT_GE(RunOut(), 450);
    stop.join();
    EXPECT_EQ(ranOut.size(), 1u);
    // Nor does a wait for an answer count the stop past the wake the loop had armed (500 ms on).
    EXPECT_LE(sys::ListenMs() - listened, sys::TickMs() - wall - 400);
    ::close(fd);
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
