#include "platform/sys/Version.h"

#include <sys/stat.h>

#include "platform/sys/Folders.h"

#ifndef ZENTOR_VERSION_MAJOR
#error "the build defines the version numbers"
#endif

namespace sys {

std::array<int, 4> ExeVersion() {
    return {ZENTOR_VERSION_MAJOR, ZENTOR_VERSION_MINOR, ZENTOR_VERSION_PATCH, ZENTOR_VERSION_TWEAK};
}

std::string ExeVersionText() {
    auto v = ExeVersion();
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

std::string FileVersion(const std::string& path) {
    // Linux executables carry no version resource; the running one knows its own.
    struct stat a{}, b{};
    if (stat(path.c_str(), &a) != 0 || stat("/proc/self/exe", &b) != 0) return {};
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return {};
    return ExeVersionText();
}

}  // namespace sys
