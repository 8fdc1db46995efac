#pragma once
// The local configuration server serves one dialled-in device at a time; what it sends is
// put together into frames across reads, as GPRS links split them anywhere. Its connections'
// states and rules: cloud/ConfLinks.h.
#include <cstddef>
#include <string>

#include "cloud/CloudStreamReader.h"
#include "cloud/ConfLinks.h"

// The action-log line for a controller turned away: another is served and keeps its place.
std::string ConfServerRefusedLine(const std::string& address);
// The action-log line for a controller that waits: a transfer runs with the served one.
std::string ConfServerWaitingLine(const std::string& address);
// The action-log line for the served controller let go: one that waited through its transfer
// is served now.
std::string ConfServerHandoverLine(const std::string& address);
// What the user is told when the served device has stopped answering.
std::string ConfServerLostText(const std::string& address);
// The server's connections are no longer looked at (the server closed, or the window that
// owns it goes).
void ForgetConfServerConnections();
// Bytes held back by the connections' readers (a frame still arriving).
std::size_t ConfServerHeld();
