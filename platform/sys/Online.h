#pragma once
// Whether the workstation is connected to the internet: a default route exists in the
// kernel's IPv4 routing table. ZENTOR_ONLINE=1 or 0 overrides the answer.
#include <string_view>

namespace sys {

bool IsOnline();

namespace detail {
// A default route that is up, in the text of /proc/net/route.
bool HasDefaultRoute(std::string_view routeTable);
}  // namespace detail

}  // namespace sys
