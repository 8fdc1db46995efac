// The access password: the device's request, the password page, the cable connect button.
#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "config/StatusRecord.h"
#include "platform/rtl/SysUtils.h"

int ReadStoredPassword(const std::string& imei) { return ReadStoredPasswordFrom(g_SettingsPath, imei); }

void TForm1::GetPassword(TPasswordKind kind, std::uint8_t which) {
    switch (kind) {
        case TPasswordKind::Accepted:
            return;
        case TPasswordKind::Wrong:
            MessageShow(GetMessageA(22));
            return;
        case TPasswordKind::Ask:
            break;
    }
    auto stored = static_cast<std::uint16_t>(ReadStoredPassword(StatusImei(g_StatusRecord)));
    if (stored != 0) {
        SendCommand(CmdPassword, PasswordRequestData(stored));
        return;
    }
    HideWaitPanel("0");
    PageControlMes->SetActivePageIndex(1);
    MESPANEL->SetVisible(true);
    PassEdit->SetText("");
    Label20->SetCaption(PasswordPromptText(which));
    // The user types the password straight away.
    if (PassEdit->CanFocus()) PassEdit->SetFocus();
}

void TForm1::PassButOKClick(TObject*) {
    // Text that is not a number raises here: the page stays open and nothing is sent.
    g_TypedPassword = static_cast<std::uint16_t>(StrToInt(PassEdit->GetText()));
    MESPANEL->SetVisible(false);
    SendCommand(CmdPassword, PasswordRequestData(g_TypedPassword));
}

void TForm1::PassEditKeyPress(TObject* Sender, char& Key) {
    if (Key == '\r') PassButOKClick(Sender);
}

void TForm1::Button5Click(TObject*) {
    if (!g_WorkingMode) {
        Button5CloudClick();
        return;
    }
    auto password = static_cast<std::uint16_t>(UserStrToInt(USBPASS->GetText()));
    SendCommand(CmdPassword, PasswordRequestData(password));
    CloseClientSocket();
}
