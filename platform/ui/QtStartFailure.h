#pragma once
// The one line a person reads when Qt cannot start (instead of its abort with its plugins'
// words and a core dump). Qt's words while it tried its platform plugins are judged: when
// every plugin tried failed for want of a display, it says no display was found and where it
// looked; when a plugin is missing or fails otherwise, it gives Qt's own words, which name it.
#include <string>
#include <vector>

namespace ui {

// Where the tool looks for a window system, and the platform asked for (QT_QPA_PLATFORM).
struct TDisplayEnvironment {
    std::string Display, WaylandDisplay, Platform;
};

// said: Qt's words before its fatal one, in order; fatal: the words it ends with.
std::string QtStartFailureLine(const std::string& program, const std::vector<std::string>& said,
                               const std::string& fatal, const TDisplayEnvironment& env);

}  // namespace ui
