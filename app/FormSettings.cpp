#include "app/FormSettings.h"

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"

namespace {
const char* const kSection = "Settings";
}

std::string SettingsPathIn(const std::string& appDataFolder) {
    return IncludeTrailingPathDelimiter(appDataFolder) + "TALIVEX/TALIVEX Zentor/config.ini";
}

TFormSettings ReadFormSettingsFile(const std::string& path, std::string* readError) {
    TFormSettings s;
    TMemIniFile ini(path);
    s.Language = ini.ReadString(kSection, "Language", s.Language);
    s.ComPort = ini.ReadString(kSection, "ComPort", s.ComPort);
    s.ConfigPath = ini.ReadString(kSection, "File_configuration", s.ConfigPath);
    if (readError) *readError = ini.ReadError();
    return s;
}

void WriteFormSettingsFile(const std::string& path, const TFormSettings& settings) {
    TMemIniFile ini(path);
    ini.SetAccess(TFileAccess::OwnerOnly);  // it keeps the devices' and the cloud's passwords
    ini.WriteString(kSection, "Language", settings.Language);
    ini.WriteString(kSection, "ComPort", settings.ComPort);
    ini.WriteString(kSection, "File_configuration", settings.ConfigPath);
    // A first start on a fresh account has no folder yet. When it cannot be made, its reason
    // is the one to tell: the file's own write would only find the folder missing.
    const std::string folder = ExtractFilePath(path);
    std::string error;
    if (ini.ReadError().empty() && !folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder, &error))
        throw EIniFileException("Unable to write to " + path + ": " + error);
    ini.UpdateFile();
}
