#include "device/PasswordPrompt.h"

#include "platform/rtl/IniFiles.h"

std::string PasswordPromptText(std::uint8_t which) {
    std::string text = "Введите пароль";
    if (which == 2) text += " \"Администратора\"";
    return text;
}

int ReadStoredPasswordFrom(const std::string& settingsPath, const std::string& imei) {
    if (imei.empty()) return 0;
    return TIniFile(settingsPath).ReadInteger("Passes", imei, 0);
}
