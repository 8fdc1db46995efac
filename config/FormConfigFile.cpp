// The configuration file: the record and the number base in a ".fcg" file.
#include <filesystem>

#include "app/Unit1.h"
#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "memory/PhoneBase.h"
#include "platform/sys/Folders.h"

namespace {
constexpr int kMsgNotConfigFile = 47;
constexpr int kMsgCannotOpen = 65;
constexpr int kMsgCannotSave = 66;
}  // namespace

// The record and the records of the number base are built first (a conversion error stops
// the save before any file is touched); the file is then written whole under a temporary
// name and renamed over the old one.
bool TForm1::SaveConfigToFile(const std::string& path) {
    ReadConfigFromObjects();
    return SaveConfigFile(path, g_ConfigRecord, g_PhoneRecords);
}

// False only when the file cannot be opened. A file that is not a configuration file is
// reported and changes nothing.
bool TForm1::OpenFromFile(const std::string& path) {
    TConfigFileContents contents;
    switch (OpenConfigFile(path, g_ConfigRecord, contents)) {
        case TConfigFileRead::CannotOpen:
            return false;
        case TConfigFileRead::NotConfigFile:
            MessageShow(GetMessageA(kMsgNotConfigFile));
            return true;
        case TConfigFileRead::Opened:
            break;
    }
    g_ConfigRecord = contents.Record;
    if (contents.Numbers) SetPhoneRecords(std::move(*contents.Numbers));
    WriteConfigToObjects();
    // A number chunk with no numbers empties the grid (showing no records leaves it as it was).
    if (contents.Numbers && g_PhoneCount == 0) ClearNumbers();
    SetConfigPath(path);
    return true;
}

void TForm1::OpenConfig() {
    OpenDialog->SetFileName("*.fcg");
    if (!OpenDialog->Execute()) return;
    if (!OpenFromFile(OpenDialog->GetFileName())) MessageShow(GetMessageA(kMsgCannotOpen));
}

void TForm1::SaveConfig() {
    SaveDialog->SetInitialDir(std::filesystem::path(sys::ExePath()).parent_path().string());
    SaveDialog->SetFileName("configuration.fcg");
    if (!SaveDialog->Execute()) return;
    const std::string path = SaveDialog->GetFileName();
    if (SaveConfigToFile(path))
        SetConfigPath(path);
    else
        MessageShow(GetMessageA(kMsgCannotSave));
}
