#pragma once
// Module state of the main window's unit that the shell initialises.
#include <cstdint>
#include <string>

class TMemoryStream;
class TStringList;

// The tool's version, as the executable's version resource gives it once the language is applied.
extern std::string g_ProgramVersion;
// "english" selects English, any other text Russian.
extern std::string g_Language;
// <AppData>/TALIVEX/TALIVEX Zentor/config.ini
extern std::string g_SettingsPath;
// The language file, found beside the executable or in an installed tool's data folder.
extern std::string g_LangFilePath;
// The download buffer of the update server's files.
extern TMemoryStream* g_DownloadStream;
// Devices grouped with the current one; created when the window is first shown.
extern TStringList* g_GroupList;
// Identifier of this run, fixed from the clock when the window is first shown.
extern std::int32_t g_SessionUid;
// The wait panel: ticks since it opened (0: no wait) and its time-out in ticks.
extern std::uint32_t g_WaitTicks;
extern std::uint32_t g_WaitLimit;

// The shell's state as at start-up: the wait and the group list. The version, the language,
// the settings and language files' paths and the run's identifier hold for the whole run.
void ResetShellState();
// Every subsystem's module state as at start-up: called when the window that set it goes.
void ResetModuleState();
