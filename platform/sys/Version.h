#pragma once
// The executable's own version, the four numbers of its file version (the project's version
// in the build, 1.0.0 giving 1.0.0.0).
#include <array>
#include <string>

namespace sys {

std::array<int, 4> ExeVersion();
// "1.0.0.0"
std::string ExeVersionText();
// The file version of the executable at path as text: this tool's own version when path is
// the running executable, "" when the file carries no version the tool can read.
std::string FileVersion(const std::string& path);

}  // namespace sys
