#pragma once
// The local configuration server serves one dialled-in device at a time; what it sends is
// put together into frames across reads, as GPRS links split them anywhere.
#include <string>

#include "cloud/CloudStreamReader.h"

// Frames of the device being served (frames only: no reply handler).
extern TCloudStreamReader g_ConfServerReader;

// The action-log line for a second device that dialled in while one is served.
std::string ConfServerRefusedLine(const std::string& address);
