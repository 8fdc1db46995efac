#include "device/PortNotices.h"

#include <algorithm>
#include <cerrno>

#include "platform/rtl/SystemErrors.h"

std::optional<std::string> DevicePortOfName(const std::string& friendlyName,
                                            const std::vector<std::string>& listedPaths) {
    if (friendlyName.find(kDeviceVendorText) == std::string::npos) return std::nullopt;
    for (const std::string& path : listedPaths)
        if (!path.empty() && friendlyName.find("(" + path + ")") != std::string::npos) return path;
    auto at = friendlyName.find("(/dev/");
    if (at == std::string::npos) return std::nullopt;
    auto end = friendlyName.find(')', at);
    if (end == std::string::npos) return std::nullopt;
    return friendlyName.substr(at + 1, end - at - 1);
}

bool DeviceConnectedAmong(const std::vector<comm::TPortInfo>& present,
                          const std::vector<std::string>& listedPaths, const std::string& portName) {
    for (const comm::TPortInfo& port : present) {
        // A listed entry names no maker (a bare path has no name at all): being listed is
        // what makes it a controller's port, or its replug would start no scan.
        const bool listed = std::find(listedPaths.begin(), listedPaths.end(), port.Path) != listedPaths.end();
        auto path = listed ? std::optional<std::string>(port.Path) : DevicePortOfName(port.FriendlyName, listedPaths);
        if (!path) continue;
        if (portName.empty() || *path == portName) return true;
    }
    return false;
}

std::string PortErrorReason(int error, bool english) { return ReasonInLanguage(SystemErrorText(error), english); }

std::string PortNotOpenedText(const TPortNoticeWords& words, const std::string& port, int error,
                              const std::string& reason) {
    std::string text = words.Port + " " + port + " " + words.NotOpened + " " + reason + " (" + std::to_string(error) + ").";
    if (error == EACCES || error == EPERM) text += " " + words.NoRights;
    else if (error == EBUSY) text += " " + words.Busy + " sudo fuser -v " + port + ".";
    return text;
}

bool TPortOpenNotices::Failed(const std::string& port, int error) {
    // Absence, or a device that left while it was being opened (a pty whose other side
    // closed answers EIO).
    if (error <= 0 || error == ENOENT || error == ENODEV || error == ENXIO || error == EIO) return false;
    return FTold.emplace(port, error).second;
}

void TPortOpenNotices::Opened(const std::string& port) {
    std::erase_if(FTold, [&](const std::pair<std::string, int>& told) { return told.first == port; });
}
