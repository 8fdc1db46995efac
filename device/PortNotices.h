#pragma once
// Which of the listed serial ports is the controller's: the port list's friendly name holds
// the vendor text and the port's path in brackets ("(/dev/..." for a USB port, or "(" and
// a path listed in ZENTOR_PORTS for a simulated one).
#include <optional>
#include <string>
#include <vector>

#include "platform/comm/PortList.h"

inline constexpr const char kDeviceVendorText[] = "STMicro";

// The path in brackets of a friendly name that is the controller's; nothing otherwise.
std::optional<std::string> DevicePortOfName(const std::string& friendlyName,
                                            const std::vector<std::string>& listedPaths);

// portName empty: whether any present port is the controller's. Otherwise whether the
// controller's port portName is among them: every matching port is compared, so with two
// controllers plugged in, the other one's notices leave the link alone.
bool DeviceConnectedAmong(const std::vector<comm::TPortInfo>& present,
                          const std::vector<std::string>& listedPaths, const std::string& portName);
