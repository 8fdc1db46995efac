// Page switching, the page buttons, the title bar's drag and minimise, the guards of the
// settings edits, the news page, and the helpers many subsystems share.
#include "app/NumericEditGuard.h"
#include "app/PageButtons.h"
#include "app/ShellLayout.h"
#include "app/Unit1.h"
#include "device/DeviceLink.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Hosts.h"

void TForm1::SelectPage(int index) { UiPageControl1->SetActivePageIndex(index); }

int TForm1::ActivePageIndex() const { return UiPageControl1->GetActivePageIndex(); }

void TForm1::ButtonEnabled(bool enabled) {
    const TPageButtonStates s = PageButtonStates(enabled, g_AccessLevel);
    Bdevice->SetEnabled(s.Device);
    Busers->SetEnabled(s.Users);
    Blog->SetEnabled(s.Log);
    Bsetting->SetEnabled(s.Setting);
    Bshedl->SetEnabled(s.Shedule);
    BService->SetEnabled(s.Service);
    CloseSession->SetVisible(s.CloseSessionVisible);
}

void TForm1::Panel9MouseDown(TObject* /*Sender*/, TMouseButton Button, TShiftState /*Shift*/, int /*X*/,
                             int /*Y*/) {
    if (Button != mbLeft) return;
    Panel9->SetMouseCapture(false);
    StartSystemMove();
}

void TForm1::MinzImageClick(TObject* /*Sender*/) { SetWindowState(wsMinimized); }

void TForm1::EditKeyUp(TObject* Sender, Word& Key, TShiftState /*Shift*/) {
    auto* edit = dynamic_cast<TEdit*>(Sender);
    if (!edit) return;
    // Raises the conversion error for text that is not a number; the edit keeps its text.
    const TEditGuardResult r = EditKeyUpRule(edit->GetText(), edit->GetMaxLength());
    if (r.SetText) edit->SetText(r.Text);
    if (r.SelectText) edit->SelectAll();
    if (r.ClearKey) Key = 0;
}

void TForm1::CON_ADR1Change(TObject* /*Sender*/) {
    auto* address = dynamic_cast<TControl*>(FindComponent("CON_ADR1"));
    auto* hint = dynamic_cast<TControl*>(FindComponent("Label40"));
    if (!address || !hint) return;
    hint->SetVisible(address->GetText().find(':') == std::string::npos);
}

void TForm1::OUTTYPEChange(TObject* /*Sender*/) {
    auto* outType = dynamic_cast<TComboBox*>(FindComponent("OUTTYPE"));
    auto* pulse = dynamic_cast<TControl*>(FindComponent("Panel4"));
    if (!outType || !pulse) return;
    pulse->SetVisible(outType->GetItemIndex() == 1);
}

void TForm1::OpenNewsPageStep() { WebBrowser1->Navigate(sys::NewsUrl()); }

namespace {
// The action log says why the news page is not shown whole.
void LogNewsLimit(TForm1& form, TWebPageLimit limit) {
    if (limit == TWebPageLimit::TextOnly) form.MiniLog("Страница новостей слишком сложна: показан только её текст", 1);
    else if (limit == TWebPageLimit::TooLarge) form.MiniLog("Страница новостей слишком велика: не показана", 1);
    else if (limit == TWebPageLimit::TooSlow) form.MiniLog("Страница новостей не загрузилась за 30 с: не показана", 1);
}
}  // namespace

void TForm1::WebBrowser1DocumentComplete(TObject* /*Sender*/, const std::string& /*URL*/) {
    LogNewsLimit(*this, WebBrowser1->GetPageLimit());
    const int h = GetHeight();
    Panel10->SetTop(NewsPanelTop(h));
    Panel10->SetHeight(NewsPanelHeight(h));
    Button19->SetVisible(true);
}

void TForm1::WebBrowser1NavigateError(TObject* /*Sender*/, const std::string& /*URL*/, int /*StatusCode*/,
                                      bool& /*Cancel*/) {
    LogNewsLimit(*this, WebBrowser1->GetPageLimit());
    WebBrowser1->Stop();
    Panel10->SetVisible(false);
}

void TForm1::Button19Click(TObject* /*Sender*/) {
    WebBrowser1->Stop();
    Panel10->SetVisible(false);
}

void TForm1::AnMesClick(TObject* /*Sender*/) { StopAnimate(); }

std::int32_t TForm1::UserStrToInt(const std::string& text) const { return ::UserStrToInt(text); }

std::string TForm1::GetUserPathToFolder(int folderCode) const {
    switch (folderCode) {
        case CSIDL_PERSONAL: return sys::DocumentsFolder();
        case CSIDL_APPDATA: return sys::AppDataFolder();
        case CSIDL_PROFILE: return sys::HomeFolder();
        case CSIDL_DESKTOPDIRECTORY: return sys::HomeFolder().empty() ? "" : sys::HomeFolder() + "/Desktop";
        default: return "";
    }
}
