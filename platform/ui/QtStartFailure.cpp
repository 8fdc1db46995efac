#include "platform/ui/QtStartFailure.h"

#include <algorithm>

namespace ui {

namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// One line: the words' line breaks become blanks, with no blank at either end.
std::string OneLine(std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    const auto first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// What the xcb and Wayland plugins say when no display answers.
bool SaysNoDisplay(const std::string& s) {
    return s.find("could not connect to display") != std::string::npos ||
           s.find("Failed to create wl_display") != std::string::npos;
}

std::string NoDisplayLine(const std::string& program, const TDisplayEnvironment& env) {
    std::string where;
    if (!env.Display.empty()) where = "DISPLAY=" + env.Display;
    if (!env.WaylandDisplay.empty()) where += (where.empty() ? "" : " or ") + std::string("WAYLAND_DISPLAY=") + env.WaylandDisplay;
    return program + ": no display found: " +
           (where.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "cannot connect to " + where);
}

}  // namespace

std::string QtStartFailureLine(const std::string& program, const std::vector<std::string>& said,
                               const std::string& fatal, const TDisplayEnvironment& env) {
    // Each plugin's failure, with the words that came before it since the last one (its reason).
    std::string reason, failed;
    bool anyFailed = false;
    for (const std::string& words : said) {
        const std::string w = OneLine(words);
        if (!StartsWith(w, "Could not find the Qt platform plugin") && !StartsWith(w, "Could not load the Qt platform plugin")) {
            reason += (reason.empty() ? "" : " ") + w;
            continue;
        }
        anyFailed = true;
        if (!SaysNoDisplay(reason) && failed.empty()) failed = reason.empty() ? w : reason + " " + w;
        reason.clear();
    }
    if (!failed.empty()) return program + ": Qt cannot start: " + failed;
    if (anyFailed || SaysNoDisplay(reason) || SaysNoDisplay(fatal)) return NoDisplayLine(program, env);
    // A plugin that ends Qt in its own words: the one asked for.
    const std::string platform = env.Platform.substr(0, env.Platform.find(':'));
    return program + ": Qt cannot start" + (platform.empty() ? "" : " the platform plugin \"" + platform + "\"") + ": " +
           OneLine(reason.empty() ? fatal : reason + " " + fatal);
}

}  // namespace ui
