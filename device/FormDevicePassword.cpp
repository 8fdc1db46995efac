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

std::uint16_t TForm1::TypedPassword(std::int64_t value) const {
    try {
        // Named as the cable box's field: both are the device's password.
        return static_cast<std::uint16_t>(SlotValue("USBPASS", value, 2, false));
    } catch (const EFieldRange& e) {
        throw EConvertError(FieldRangeText(e));
    }
}

void TForm1::PassButOKClick(TObject*) {
    // Text that is not a number, or beyond the password's slot, raises here: the page stays
    // open and nothing is sent.
    g_TypedPassword = TypedPassword(StrToInt(PassEdit->GetText()));
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
    const std::uint16_t password = TypedPassword(UserStrToInt(USBPASS->GetText()));
    SendCommand(CmdPassword, PasswordRequestData(password));
    CloseClientSocket();
}
