#pragma once
// The local configuration server serves one dialled-in device at a time; what it sends is
// put together into frames across reads, as GPRS links split them anywhere.
#include <cstddef>
#include <string>

#include "cloud/CloudStreamReader.h"

// Find_device ticks (seconds). A served controller silent this long while the tool waits on
// it (its status is asked twice a second once logged in; no wait of a transfer on this link
// is longer) is lost; a connection not served by this age is no controller to serve.
inline constexpr int kConfLinkLostTicks = 60;
// A served controller asked to identify because another one has must answer within this
// (GPRS takes a second or two), or it loses its place.
inline constexpr int kConfProbeTicks = 5;
// At most this many connections wait to be served at once; further ones are turned away
// until these are served or age out.
inline constexpr int kConfMaxCandidates = 4;

// The action-log line for a device turned away: another is served and answers, or too many
// connections wait.
std::string ConfServerRefusedLine(const std::string& address);
// What the user is told when the served device has stopped answering.
std::string ConfServerLostText(const std::string& address);
// Bytes held back by the connections' readers (a frame still arriving).
std::size_t ConfServerHeld();
