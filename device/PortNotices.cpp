#include "device/PortNotices.h"

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
        auto path = DevicePortOfName(port.FriendlyName, listedPaths);
        if (!path) continue;
        if (portName.empty() || *path == portName) return true;
    }
    return false;
}
