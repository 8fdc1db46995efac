#pragma once
// Opening a file or an address the way the desktop does (the shell's "open" verb): always
// through the desktop's opener, xdg-open, so nothing downloaded is ever executed directly.
#include <functional>
#include <string>

namespace sys {

// Starts the opener detached; true when it could be started.
bool ShellOpen(const std::string& pathOrUrl);

// Tests replace the opener; an empty function restores xdg-open.
using ShellOpener = std::function<bool(const std::string& pathOrUrl)>;
void SetShellOpener(ShellOpener opener);

}  // namespace sys
