#include "app/StartupSequence.h"

void RunShowSequence(TShowSteps& steps) {
    steps.CentreOverlayPanels();
    steps.PlaceAnimationPanel();
    steps.CreateGroupList();
    steps.ReadFormSettings();
    steps.SetLanguage();
    // A missing file (the first start names "default") silently falls back to the defaults.
    if (!steps.OpenFromFile(steps.ConfigPath())) steps.Load_default();
    steps.ButtonEnabled(false);
    steps.WriteGridHeaders();
    steps.SelectPage(kStartPage);
    steps.LoadDeviceList();
    steps.Find_Device();
    steps.SetDatePickersToday();
    steps.SetSessionUid();
    steps.GetConfiguratorVersionFromServer();
    steps.ClearSearchKeyword();
    steps.OpenNewsPage();
    steps.ScaleGrids();
}

void RunCloseSequence(TCloseSteps& steps) {
    steps.ClosePort();
    steps.ClosePortRFID();
    steps.SaveFormSettings();
    steps.UnregisterDeviceNotification();
}
