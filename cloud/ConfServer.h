#pragma once
// The local configuration server serves one dialled-in device at a time; what it sends is
// put together into frames across reads, as GPRS links split them anywhere.
#include <cstddef>
#include <string>

#include "cloud/CloudStreamReader.h"

// Find_device ticks (seconds) without a byte from a connection. A served controller quiet
// this long may be replaced by one that dials in and identifies itself; one quiet this long
// while the tool waits on it (its status is asked twice a second once logged in; no wait of
// a transfer on this link is longer) is lost; a connection that has not identified itself
// by then is no controller.
inline constexpr int kConfLinkSilentTicks = 10;
inline constexpr int kConfLinkLostTicks = 60;

// The action-log line for a second device that dialled in while one is served.
std::string ConfServerRefusedLine(const std::string& address);
// What the user is told when the served device has stopped answering.
std::string ConfServerLostText(const std::string& address);
// Bytes held back by the connections' readers (a frame still arriving).
std::size_t ConfServerHeld();
