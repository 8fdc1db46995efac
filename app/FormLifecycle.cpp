// The window's life: creation, the first showing, closing, and the settings file.
#include <cmath>
#include <cstdio>

#include "app/FormSettings.h"
#include "app/ShellLayout.h"
#include "app/StartupSequence.h"
#include "app/ToolIcon.h"
#include "app/Unit1.h"
#include "config/ConfigFile.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "firmware/FileDownload.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Now.h"
#include "platform/ui/Dialogs.h"
#include "rfid/RfidState.h"

namespace {

// The showing sequence's steps on the real window.
class TFormShowSteps : public TShowSteps {
public:
    explicit TFormShowSteps(TForm1& form) : F(form) {}
    void CentreOverlayPanels() override { F.CentreOverlayPanelsStep(); }
    void PlaceAnimationPanel() override { F.PlaceAnimationPanelStep(); }
    void CreateGroupList() override {
        delete g_GroupList;
        g_GroupList = new TStringList;
    }
    void ReadFormSettings() override { F.ReadFormSettings(); }
    void SetLanguage() override { F.SetLanguage(g_Language); }
    bool OpenFromFile(const std::string& path) override { return F.OpenFromFile(path); }
    void Load_default() override { F.Load_default(); }
    void ButtonEnabled(bool enabled) override { F.ButtonEnabled(enabled); }
    void WriteGridHeaders() override { F.WriteGridHeadersStep(); }
    void SelectPage(int index) override { F.SelectPage(index); }
    void LoadDeviceList() override {
        ::LoadDeviceList(dynamic_cast<TComboBox*>(F.FindComponent("AIMEI")));
    }
    void Find_Device() override { F.Find_Device(); }
    void SetDatePickersToday() override { F.SetDatePickersTodayStep(); }
    void SetSessionUid() override { g_SessionUid = SessionUidFromDateTime(sys::Now()); }
    void GetConfiguratorVersionFromServer() override { F.GetConfiguratorVersionFromServer(); }
    void ClearSearchKeyword() override { g_SearchKeyword[0] = '\0'; }
    void OpenNewsPage() override { F.OpenNewsPageStep(); }
    void ScaleGrids() override { F.ScaleGridsStep(); }
    std::string ConfigPath() const override { return g_ConfigPath; }

private:
    TForm1& F;
};

class TFormCloseSteps : public TCloseSteps {
public:
    explicit TFormCloseSteps(TForm1& form) : F(form) {}
    void ClosePort() override { F.ClosePort(); }
    void ClosePortRFID() override {
        F.ClosePortRFID();
        g_TagFile.Close();  // its tags are in the file already
    }
    void SaveFormSettings() override { F.SaveFormSettings(); }
    void UnregisterDeviceNotification() override { F.UnregisterDeviceNotification(); }

private:
    TForm1& F;
};

}  // namespace

void TForm1::FormCreate(TObject* /*Sender*/) {
    RegisterDeviceNotification();
    // The task bar and the window switcher show the tool's own icon, not a generic one.
    SetToolIcon();
}

void TForm1::FormShow(TObject* /*Sender*/) {
    TFormShowSteps steps(*this);
    RunShowSequence(steps);
}

void TForm1::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
    TFormCloseSteps steps(*this);
    RunCloseSequence(steps);
}

void TForm1::CloseImageClick(TObject* /*Sender*/) {
    if (!CloseQuery()) return;  // before a session's end cuts short what it would ask about
    if (g_CloudSession) {
        CloseSessionClick(this);
        sys::Sleep(500);
    }
    Close();
}

void TForm1::CloseWithoutQuestions() {
    FClosingWithoutQuestions = true;
    Close();
}

void CloseMainFormOnEndSignal() {
    ui::WhenNoModalLoop([] {
        if (Form1) Form1->CloseWithoutQuestions();
    });
}

void TForm1::ReadFormSettings() {
    // What a killed run left in the tool's own folders.
    RemoveLeftoverTemporariesIn(ExtractFilePath(g_SettingsPath));
    RemoveLeftoverTemporariesIn(DownloadsFolder());
    std::string error;
    const TFormSettings s = ReadFormSettingsFile(g_SettingsPath, &error);
    g_Language = s.Language;
    g_PortName = s.ComPort;
    g_ConfigPath = s.ConfigPath;
    // The run goes on with the defaults, but they must not replace what the file holds.
    FSettingsUnread = !error.empty();
    if (FSettingsUnread) SettingsFileFailed(error);
}

void TForm1::SaveFormSettings() {
    if (FSettingsUnread) return;
    TFormSettings s;
    s.Language = g_Language;
    s.ComPort = g_PortName;
    s.ConfigPath = g_ConfigPath;
    try {
        WriteFormSettingsFile(g_SettingsPath, s);
    } catch (const std::exception& e) {
        SettingsFileFailed(e.what());  // the window still closes
    }
}

void TForm1::SettingsFileFailed(const std::string& message) {
    if (FSettingsErrorShown) return;
    FSettingsErrorShown = true;
    // A box would hold a logout until someone answers it.
    if (FClosingWithoutQuestions) std::fprintf(stderr, "zentor: %s\n", message.c_str());
    else MessageBox(message, "Информация", MB_OK | MB_ICONWARNING);
}

void TForm1::CentreOverlayPanelsStep() {
    const int w = GetWidth();
    const int h = GetHeight();
    for (const char* name : {"MESPANEL", "Panel32"}) {
        if (auto* panel = dynamic_cast<TControl*>(FindComponent(name))) {
            panel->SetTop(CentredOffset(h, panel->GetHeight()));
            panel->SetLeft(CentredOffset(w, panel->GetWidth()));
        }
    }
}

void TForm1::PlaceAnimationPanelStep() {
    if (auto* panel = dynamic_cast<TControl*>(FindComponent("AnimateConnectionPanel"))) {
        panel->SetTop(AnimationPanelTop(GetHeight()));
        panel->SetLeft(AnimationPanelLeft(GetWidth()));
    }
}

void TForm1::SetDatePickersTodayStep() {
    const TDateTime today = sys::Date();
    for (const char* name : {"STDATE", "ENDATE", "aEndtime"}) {
        if (auto* picker = dynamic_cast<TDateTimePicker*>(FindComponent(name))) picker->SetDate(today);
    }
}
