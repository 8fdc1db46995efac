// The buttons that start a configuration transfer: read the settings or the schedule
// templates, write them. On the cable each calls the transfer; during a cloud session the
// same device commands are tunnelled, except the schedules, which the cloud serves itself.
#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"

namespace {
constexpr std::uint32_t kButtonWaitSeconds = 60;
}  // namespace

void TForm1::BsettingClick(TObject*) {
    if (AnotherTransferRuns()) return;
    g_ConfigPage = kSettingsPage;
    ShowWaitPanel(kButtonWaitSeconds, 0, "Чтение настроек прибора");
    if (g_CloudSession) {
        ReadFromDevice();
        MiniLog("Запрос параметров конфигурации", 0);
    } else if (g_WorkingMode) {
        ReadFromDevice();
    }
}

void TForm1::BshedlClick(TObject*) {
    if (AnotherTransferRuns()) return;
    g_ConfigPage = kSchedulesPage;
    ShowWaitPanel(kButtonWaitSeconds, 0, "Чтение шаблонов расписания");
    // In a cloud session the templates come with the cloud's own configuration request.
    if (g_CloudSession) {
        if (SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Config, "", CloudSocket()))
            AwaitCloudReply(TAsk::CloudConfig, kButtonWaitSeconds);
        MiniLog("Запрос настроек расписания", 0);
    } else if (g_WorkingMode) {
        ReadFromDevice();
    }
}

// An edit that is not a number stops the write before anything is sent; the wait it opened
// is closed then, so that only the conversion error is reported, not a time-out as well.
void TForm1::Button6Click(TObject*) {
    if (AnotherTransferRuns()) return;
    ShowWaitPanel(kButtonWaitSeconds, 0, "Сохранение настроек прибора");
    try {
        if (g_CloudSession) {
            LoadToDevice();
            MiniLog("Запись параметров конфигурации", 0);
        } else if (g_WorkingMode) {
            LoadToDevice();
        }
    } catch (...) {
        HideWaitPanel(kNoText);
        throw;
    }
}
