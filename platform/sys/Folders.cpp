#include "platform/sys/Folders.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace sys {
namespace {

std::string StripTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string InHome(const char* sub) {
    std::string home = HomeFolder();
    return (home == "/" ? std::string() : home) + "/" + sub;
}

std::string ConfigHome() {
    std::string xdg = GetEnv("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg[0] == '/') return StripTrailingSlash(xdg);
    return InHome(".config");
}

}  // namespace

std::string GetEnv(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeFolder() {
    std::string home = GetEnv("HOME");
    if (home.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    }
    return home.empty() ? std::string("/") : StripTrailingSlash(home);
}

std::string AppDataFolder() {
    std::string appData = GetEnv("AppData");
    if (!appData.empty()) return StripTrailingSlash(appData);
    return ConfigHome();
}

namespace detail {

std::string DocumentsFromUserDirs(std::string_view text, const std::string& home) {
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] == '#') continue;
        std::string_view rest = std::string_view(line).substr(i);
        constexpr std::string_view key = "XDG_DOCUMENTS_DIR";
        if (rest.substr(0, key.size()) != key) continue;
        rest.remove_prefix(key.size());
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.empty() || rest.front() != '=') continue;
        rest.remove_prefix(1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.size() < 2 || rest.front() != '"') continue;
        std::string value;
        bool closed = false;
        for (size_t k = 1; k < rest.size(); ++k) {
            if (rest[k] == '\\' && k + 1 < rest.size()) {
                value += rest[++k];
            } else if (rest[k] == '"') {
                closed = true;
                break;
            } else {
                value += rest[k];
            }
        }
        if (!closed) continue;
        // Only "$HOME/..." and absolute paths are allowed in this file.
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) value = home + value.substr(5);
        else if (value.empty() || value[0] != '/') continue;
        return StripTrailingSlash(value);
    }
    return {};
}

}  // namespace detail

std::string DocumentsFolder() {
    std::string home = HomeFolder();
    std::string fromFile = detail::DocumentsFromUserDirs(ReadFile(ConfigHome() + "/user-dirs.dirs"), home);
    return fromFile.empty() ? InHome("Documents") : fromFile;
}

std::string ExePath() {
    char buf[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string ExeFolder() {
    std::string p = ExePath();
    size_t slash = p.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

}  // namespace sys
