#pragma once
// The folders the tool reads and writes, on the workstation's conventions:
// - application data: $AppData when set, else $XDG_CONFIG_HOME, else ~/.config;
// - documents: XDG_DOCUMENTS_DIR of user-dirs.dirs (in $XDG_CONFIG_HOME or ~/.config), else
//   ~/Documents;
// - the executable's own folder (the language file sits there).
// Folders come without a trailing "/"; sub-paths are joined with "/".
#include <string>
#include <string_view>

namespace sys {

// The variable's value, "" when unset.
std::string GetEnv(const char* name);

std::string HomeFolder();
std::string AppDataFolder();
std::string DocumentsFolder();
// Full path of the running executable, and its folder.
std::string ExePath();
std::string ExeFolder();

namespace detail {
// The documents folder named by the text of a user-dirs.dirs file, "" when it names none.
std::string DocumentsFromUserDirs(std::string_view fileText, const std::string& home);
}  // namespace detail

}  // namespace sys
