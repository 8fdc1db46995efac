#pragma once
// The order of the main window's first showing and of its closing. The window supplies the
// steps; the order lives here so that it can be checked without a window.
#include <string>

class TShowSteps {
public:
    virtual ~TShowSteps() = default;
    virtual void CentreOverlayPanels() = 0;
    virtual void PlaceAnimationPanel() = 0;
    virtual void CreateGroupList() = 0;
    virtual void ReadFormSettings() = 0;
    virtual void SetLanguage() = 0;
    // The configuration file named in the settings; false when it could not be opened.
    virtual bool OpenFromFile(const std::string& path) = 0;
    virtual void Load_default() = 0;
    virtual void ButtonEnabled(bool enabled) = 0;
    virtual void WriteGridHeaders() = 0;
    virtual void SelectPage(int index) = 0;
    virtual void LoadDeviceList() = 0;
    virtual void Find_Device() = 0;
    virtual void SetDatePickersToday() = 0;
    virtual void SetSessionUid() = 0;
    virtual void GetConfiguratorVersionFromServer() = 0;
    virtual void ClearSearchKeyword() = 0;
    virtual void OpenNewsPage() = 0;
    virtual void ScaleGrids() = 0;
    // The configuration path as the settings left it (read after ReadFormSettings).
    virtual std::string ConfigPath() const = 0;
};

// The connection page, where the tool starts.
constexpr int kStartPage = 4;

void RunShowSequence(TShowSteps& steps);

class TCloseSteps {
public:
    virtual ~TCloseSteps() = default;
    virtual void ClosePort() = 0;
    virtual void ClosePortRFID() = 0;
    virtual void SaveFormSettings() = 0;
    virtual void UnregisterDeviceNotification() = 0;
};

void RunCloseSequence(TCloseSteps& steps);
