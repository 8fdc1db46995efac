// The settings file and the language file at the sizes users reach: start-up and close with
// many remembered devices, and a large language file. Prints figures, asserts nothing.
//   bench_settings_files [devices] [language megabytes]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/LangFile.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "device/DeviceLink.h"
#include "platform/rtl/SafeFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string Imei(int i) { return std::to_string(860000000000000LL + i); }

void WriteSettings(const std::string& path, int devices) {
    std::string devs = "[Devices]\r\nCount=" + std::to_string(devices) + "\r\n";
    std::string descriptions = "[Descriptions]\r\n";
    for (int i = 0; i < devices; ++i) devs += "d" + std::to_string(i) + "=" + Imei(i) + "\r\n";
    for (int i = 0; i < devices; ++i) {
        devs += Imei(i) + "=" + std::to_string(100000 + i) + "\r\n";
        descriptions += Imei(i) + "=Ворота, подъезд " + std::to_string(i) + "\r\n";
    }
    std::ofstream(path, std::ios::binary)
        << "[Settings]\r\nLanguage=russian\r\nComPort=/dev/ttyACM0\r\nFile_configuration=default\r\n"
        << devs << descriptions;
}

// Header and captions first, then numbered messages until the file has its size.
int WriteLanguage(const std::string& path, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    std::string text = "[Header]\r\nCaption=Конфигуратор//\\ Configurator\r\n[OpList]\r\nCount=2\r\n"
                       "Op0=МТС//\\ MTS\r\nOp1=Билайн//\\ Beeline\r\n[Messages]\r\n";
    int n = 0;
    while (text.size() < bytes) {
        ++n;
        text += "M" + std::to_string(n) + "=Сообщение номер " + std::to_string(n) + "//\\ Message number " +
                std::to_string(n) + "\r\n";
    }
    out << text;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const int devices = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int megabytes = argc > 2 ? std::atoi(argv[2]) : 50;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zentor-bench-files-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    g_SettingsPath = (dir / "config.ini").string();
    WriteSettings(g_SettingsPath, devices);
    std::printf("settings file: %d remembered devices, %ju bytes\n", devices,
                static_cast<std::uintmax_t>(std::filesystem::file_size(g_SettingsPath)));

    TApplicationScope scope;  // the Qt application ends with main, before Qt's own globals
    Application->Initialize();
    Application->CreateForm(Form1);

    auto t = Clock::now();
    Form1->ReadFormSettings();
    LoadDeviceList(Form1->AIMEI);
    std::printf("start-up, settings and device list read:  %8.1f ms (%d devices listed)\n", MsSince(t),
                Form1->AIMEI->GetItems()->Count());

    t = Clock::now();
    Form1->AIMEI->SetText(Imei(devices - 1));
    Form1->AIMEIChange(Form1->AIMEI);
    std::printf("choosing the last device:                  %8.1f ms\n", MsSince(t));

    auto commits = SafeFileCommitsForTests();
    t = Clock::now();
    Form1->AIMEI->SetText(Imei(devices));
    Form1->APASS->SetText("123456");
    Form1->UserAuthOK();
    std::printf("remembering a new device:                  %8.1f ms (%ju writes)\n", MsSince(t),
                static_cast<std::uintmax_t>(SafeFileCommitsForTests() - commits));

    commits = SafeFileCommitsForTests();
    g_PortName = "/dev/ttyACM1";  // the search moved on, so the close has something to write
    t = Clock::now();
    Form1->SaveFormSettings();
    std::printf("close, settings written:                   %8.1f ms (%ju writes)\n", MsSince(t),
                static_cast<std::uintmax_t>(SafeFileCommitsForTests() - commits));

    const std::string lang = (dir / "lang_zent.lng").string();
    const int messages = WriteLanguage(lang, static_cast<std::size_t>(megabytes) << 20);
    std::printf("language file: %d MB, %d messages\n", megabytes, messages);
    t = Clock::now();
    const TLanguageTexts texts = ReadLanguageTexts(lang, "english");
    std::printf("language applied:                          %8.1f ms (\"%s\")\n", MsSince(t), texts.Caption.c_str());
    t = Clock::now();
    const std::string last = ReadLangMessage(lang, messages, "russian");
    std::printf("one numbered message:                      %8.1f ms (\"%s\")\n", MsSince(t), last.c_str());

    delete Form1;
    Form1 = nullptr;
    std::filesystem::remove_all(dir);
    return 0;
}
