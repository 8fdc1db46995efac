#pragma once
// The main window shown in a test as a person finds it after start-up: scripted dialogs, no
// news page, no internet, no serial ports, and its settings in a private folder.
#include <string>

#include "app/ShellState.h"
#include "app/Unit1.h"
#include "platform/ui/Dialogs.h"
#include "support/TestSupport.h"

namespace testsupport {

class TShownWindow {
public:
    // newsUrl: where the news page is fetched from (none by default).
    explicit TShownWindow(const std::string& newsUrl = "") {
        QuietWindowEnvironment(FEnv);
        if (!newsUrl.empty()) FEnv.Set("ZENTOR_NEWS_URL", newsUrl.c_str());
        g_SettingsPath = TempDir("shown-window") + "/config.ini";
        ui::test::SetScripted(true);
        Application->CreateForm(Form1);
        Form1->Show();
        ui::test::ClearDialogs();
    }
    ~TShownWindow() {
        delete Form1;
        Form1 = nullptr;
        g_SettingsPath = FSavedSettings;
        ui::test::ClearDialogs();
    }
    TShownWindow(const TShownWindow&) = delete;
    TShownWindow& operator=(const TShownWindow&) = delete;

private:
    TEnvGuard FEnv;
    std::string FSavedSettings = g_SettingsPath;
};

}  // namespace testsupport
