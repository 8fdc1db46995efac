#include "config/ConfigTransfer.h"

#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "config/StatusRecord.h"

std::uint8_t g_BusyTransfer = 0;
std::int32_t g_ConfigPage = kSettingsPage;
std::array<std::uint8_t, 4096> g_TxBuffer{};
int g_ConfigWaitMessage = 0;

void ResetConfigState() {
    g_BusyTransfer = 0;
    g_ConfigPage = kSettingsPage;
    g_TxBuffer.fill(0);
    g_ConfigWaitMessage = 0;
    g_ConfigRecord = {};
    g_StatusRecord = {};
    g_DeviceFwVersion = 0;
    g_ConfigPath.clear();
}
