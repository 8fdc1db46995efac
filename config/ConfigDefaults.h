#pragma once
// Factory values of the settings and schedules pages.
#include <string_view>

#include "config/ConfigFields.h"

inline constexpr char kDefaultConfigPath[] = "default.fcg";
inline constexpr int kDefaultServerPort = 10950;
inline constexpr int kDefaultTimeServerPort = 123;

// Every control to its factory value except RFIDAnts, which keeps what it shows. The hosts
// are the installation's defaults written into a device (never the tool's own overrides).
void SetConfigDefaults(ConfigValues& values, std::string_view serverHost,
                       std::string_view timeServerHost);
// The same with the installation's hosts (platform/sys/Hosts.h): what Load_default shows.
void SetConfigDefaults(ConfigValues& values);
