// Devices that logged in before, and the one group of devices, in the settings file.
#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "cloud/CloudRequest.h"
#include "cloud/RememberedDevices.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {

// The settings file is read once per operation and written once after it; its trouble is
// told once a run.
void ReportSettingsFile(const std::string& message) {
    if (Form1 && !message.empty()) Form1->SettingsFileFailed(message);
}

void UpdateSettingsFile(TMemIniFile& ini) {
    ReportSettingsFile(ini.ReadError());
    ini.SetAccess(TFileAccess::OwnerOnly);  // the settings file keeps passwords
    try {
        ini.UpdateFile();
    } catch (const EIniFileException& e) {
        ReportSettingsFile(e.Message);
    }
}

}  // namespace

void LoadDeviceList(TComboBox* Combo) {
    if (!Combo) return;
    Combo->GetItems()->Clear();
    TMemIniFile ini(g_SettingsPath);
    ReportSettingsFile(ini.ReadError());
    Combo->GetItems()->AddStrings(LoadRememberedDevices(ini));
}

void TForm1::UserAuthOK() {
    const std::string imei = AIMEI->GetText();
    const bool listed = AIMEI->GetItems()->IndexOf(imei) >= 0;
    TMemIniFile ini(g_SettingsPath);
    if (RememberDevice(ini, listed, imei, APASS->GetText(), INFODEV->GetText())) {
        AIMEI->GetItems()->Add(imei);
        AIMEI->SetText(imei);  // adding an item must not clear the typed text
    }
    UpdateSettingsFile(ini);
}

void TForm1::AIMEIChange(TObject*) {
    TMemIniFile ini(g_SettingsPath);
    ReportSettingsFile(ini.ReadError());
    const TRememberedDevice d = ReadRememberedDevice(ini, AIMEI->GetText());
    APASS->SetText(d.Pass);
    INFODEV->SetText(d.Description);
    if (g_GroupList) g_GroupList->Clear();
    if (d.InGroup) {
        Group_panel->SetVisible(true);
        Group_memo->Clear();
        if (g_GroupList) g_GroupList->AddStrings(d.GroupList);
        Group_memo->GetLines()->AddStrings(d.OtherMembers);
    } else {
        Group_panel->SetVisible(false);
    }
}

namespace {
// The group the next login announces is the one the file now holds for the device.
void FollowGroupOfFile(const TCustomIniFile& ini, const std::string& imei) {
    if (!g_GroupList) return;
    g_GroupList->Clear();
    g_GroupList->AddStrings(ReadRememberedDevice(ini, imei).GroupList);
}
}  // namespace

void TForm1::Button17Click(TObject*) {
    TMemIniFile ini(g_SettingsPath);
    MessageShow(GroupAddMessage(AddToGroup(ini, AIMEI->GetText())));
    UpdateSettingsFile(ini);
    FollowGroupOfFile(ini, AIMEI->GetText());
}

void TForm1::Button18Click(TObject*) {
    TMemIniFile ini(g_SettingsPath);
    RemoveFromGroup(ini, AIMEI->GetText());
    UpdateSettingsFile(ini);
    Group_panel->SetVisible(false);
    FollowGroupOfFile(ini, AIMEI->GetText());
}

void TForm1::SendGroupSync(const std::string& imei, const std::string& pass, TCustomWinSocket* socket) {
    std::vector<std::string> list;
    if (g_GroupList)
        for (int i = 0; i < g_GroupList->Count(); ++i) list.push_back(g_GroupList->Get(i));
    SendCloudRequest(socket, GroupSyncRequest(imei, pass, GroupSyncMembers(list, imei)));
}
