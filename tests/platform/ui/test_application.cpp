// The application object: the loop serves hand-overs from other threads and ends when the
// main form closes, then frees the forms (each told first).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdlib>
#include <thread>

#include "platform/sys/GuiThread.h"
#include "platform/ui/Forms.h"

TEST(Application, RunServesHandOversAndEndsWhenTheMainFormCloses) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->GetMainForm(), main);
    std::string log;
    main->OnShow = [&](TObject*) { log += "show;"; };
    main->OnClose = [&](TObject*, TCloseAction& a) {
        log += "close;";
        EXPECT_EQ(a, caFree);
    };
    main->OnDestroy = [&](TObject*) { log += "destroy;"; };
    // Another thread hands a call over and waits for it; then it closes the window.
    std::thread worker([&] {
        bool ran = sys::RunOnGuiThread([&] { log += "handover;"; });
        EXPECT_TRUE(ran);
        sys::PostToGuiThread([&] { main->Close(); });
    });
    Application->Run();
    worker.join();
    EXPECT_EQ(log, "show;handover;close;destroy;");
    EXPECT_EQ(Application->GetMainForm(), nullptr);
    EXPECT_EQ(Application->GetComponentCount(), 0);
}

// A close served as the loop is about to start ends the run at once. In a fresh process: the
// application object ends only one run.
void RunWithACloseHandedOverFirst() {
    TForm* main = nullptr;
    Application->CreateForm(main);
    sys::PostToGuiThread([main] { main->Close(); });
    // Should Run hang, a watchdog ends it so the test fails instead of stalling.
    std::mutex m;
    std::condition_variable cv;
    bool returned = false, rescued = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return returned; })) {
            rescued = true;
            sys::PostToGuiThread([] { Application->Terminate(); });
        }
    });
    Application->Run();
    {
        std::lock_guard<std::mutex> lock(m);
        returned = true;
    }
    cv.notify_all();
    watchdog.join();
    std::exit(rescued || Application->GetComponentCount() != 0 ? 1 : 0);
}

TEST(ApplicationDeathTest, ACloseHandedOverBeforeTheLoopStartsEndsRun) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunWithACloseHandedOverFirst(), ::testing::ExitedWithCode(0), "");
}
