// The application object: the loop serves hand-overs from other threads and ends when the
// main form closes, then frees the forms (each told first).
#include <gtest/gtest.h>

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
