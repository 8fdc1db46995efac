#include "platform/sys/Online.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sys/Folders.h"

namespace sys {

namespace detail {

bool HasDefaultRoute(std::string_view routeTable) {
    std::istringstream in{std::string(routeTable)};
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string w; fields >> w;) f.push_back(w);
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
        if (f.size() < 8) continue;
        unsigned long flags = std::strtoul(f[3].c_str(), nullptr, 16);
        if (f[1] == "00000000" && f[7] == "00000000" && (flags & 0x1) != 0) return true;  // RTF_UP
    }
    return false;
}

}  // namespace detail

bool IsOnline() {
    std::string forced = GetEnv("ZENTOR_ONLINE");
    if (forced == "1") return true;
    if (forced == "0") return false;
    std::ifstream in("/proc/net/route");
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    return detail::HasDefaultRoute(ss.str());
}

}  // namespace sys
