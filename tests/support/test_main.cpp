// The one main of every test executable: a headless application on the GUI thread, the
// manual clock, and a private runtime folder.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "support/TestSupport.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    fs::path runtime = fs::temp_directory_path() / ("zentor-xdg-" + std::to_string(getpid()));
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    sys::SetGuiThread();
    sys::UseManualClock(true);
    const char* role = std::getenv("ZENTOR_TEST_CHILD");
    int rc = role ? testsupport::RunChildRole(role) : RUN_ALL_TESTS();
    std::error_code ec;
    fs::remove_all(runtime, ec);
    fs::remove_all(fs::temp_directory_path() / ("zentor-test-" + std::to_string(getpid())), ec);
    return rc;
}
