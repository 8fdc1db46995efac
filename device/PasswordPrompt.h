#pragma once
// The password page's prompt, and the remembered passwords of the settings file.
#include <cstdint>
#include <string>

// The device asks for the administrator's password when which is 2.
std::string PasswordPromptText(std::uint8_t which);

// The value of key imei in [Passes] of the file at settingsPath: 0 when the file, the key
// or the IMEI is missing, or the value is not a number.
int ReadStoredPasswordFrom(const std::string& settingsPath, const std::string& imei);
