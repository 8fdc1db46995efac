// zentor_shots <folder>: renders each of the main window's nine pages, and the message, wait
// and password overlays, off-screen to PNG files in the folder, for review.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "OfflineRun.h"
#include "PngWriter.h"
#include "app/Unit1.h"

namespace {

bool Shoot(const std::string& folder, const std::string& name) {
    Application->ProcessMessages();
    std::unique_ptr<TBitmap> image = Form1->RenderToBitmap();
    const std::string path = folder + "/" + name + ".png";
    if (!image || !SavePng(*image, path)) {
        std::fprintf(stderr, "zentor_shots: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

const char* const kPageNames[9] = {"settings", "status",    "firmware", "remote",  "connection",
                                   "numbers",  "event-log", "schedules", "service"};

const char* const kSampleNews =
    "<html><body style='font-family:Tahoma'><h3>Новости</h3>"
    "<p>Вышла новая версия прошивки контроллеров.</p></body></html>";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentor_shots <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    // Off-screen unless told otherwise, and the same pictures on every machine, whatever its
    // network.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TakeRunOffline();

    TApplicationScope scope;  // the Qt application ends with main
    Application->Initialize();
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Form1->Show();
    Application->ProcessMessages();  // lets the failed news fetch report itself first
    // The news page as it looks once loaded.
    Form1->Panel10->SetVisible(true);
    Form1->WebBrowser1->LoadHtml("about:news", kSampleNews);
    Form1->WebBrowser1DocumentComplete(Form1->WebBrowser1, "about:news");

    bool ok = true;
    for (int i = 0; i < 9; ++i) {
        Form1->SelectPage(i);
        ok &= Shoot(folder, std::to_string(i) + "-" + kPageNames[i]);
    }
    Form1->SelectPage(4);
    Form1->MessageShow("Конфигурация записана");
    ok &= Shoot(folder, "overlay-message");
    ShowWaitPanel(3, 12, "Чтение конфигурации из устройства...");
    ok &= Shoot(folder, "overlay-wait");
    HideWaitPanel("0");
    Form1->PageControlMes->SetActivePageIndex(1);
    Form1->MESPANEL->SetVisible(true);
    ok &= Shoot(folder, "overlay-password");
    Form1->MESPANEL->SetVisible(false);
    Form1->SetPercentProgress(20, "(152 / 1250)");
    Form1->MiniLog("Запрос конфигурации", 0);
    Form1->MiniLog("Ответ на запрос конфигурации", 1);
    ok &= Shoot(folder, "title-progress-and-log");
    Form1->SetPercentProgress(-1, "");
    Form1->LangImageClick(nullptr);
    ok &= Shoot(folder, "connection-english");
    // Freed without closing: the review leaves the user's settings file alone.
    delete Form2;
    Form2 = nullptr;
    delete Form1;
    Form1 = nullptr;
    return ok ? 0 : 1;
}
