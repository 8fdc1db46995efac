#pragma once
// The [Settings] section of the program settings file: language, device port and the
// configuration file last used.
#include <string>

struct TFormSettings {
    std::string Language = "russian";
    std::string ComPort = "COM1";
    std::string ConfigPath = "default";
};

// "<AppData>/TALIVEX/TALIVEX Zentor/config.ini"
std::string SettingsPathIn(const std::string& appDataFolder);

// A missing or unreadable file or key gives the default; nothing is created on reading.
TFormSettings ReadFormSettingsFile(const std::string& path);

// Writes the three keys (Language, ComPort, File_configuration), keeping every other section.
// The folder is created when missing. Raises Exception "Unable to write to <path>" when the
// file cannot be written; the old file is then left as it was.
void WriteFormSettingsFile(const std::string& path, const TFormSettings& settings);
