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

// A missing file or key gives the default; nothing is created on reading. A file that exists
// but cannot be read gives the defaults too, and readError (when given) the message
// "Unable to read <path>: <reason>"; it is "" otherwise. The file is read once.
TFormSettings ReadFormSettingsFile(const std::string& path, std::string* readError = nullptr);

// Writes the three keys (Language, ComPort, File_configuration), keeping every other section,
// in one write (none when they are already as given), readable by its owner only. The folder
// is created when missing.
// Raises Exception "Unable to write to <path>: <reason>" when the file cannot be written (the
// reason of the step that failed: making the folder, or writing the file), or
// "Unable to read <path>: <reason>" when it exists but cannot be read; the old file is then
// left as it was.
void WriteFormSettingsFile(const std::string& path, const TFormSettings& settings);
