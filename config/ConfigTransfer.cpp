#include "config/ConfigTransfer.h"

std::uint8_t g_BusyTransfer = 0;
std::int32_t g_ConfigPage = kSettingsPage;
std::array<std::uint8_t, 4096> g_TxBuffer{};
int g_ConfigWaitMessage = 0;
