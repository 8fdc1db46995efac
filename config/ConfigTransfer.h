#pragma once
// Module state of the configuration transfer with the device.
#include <array>
#include <cstdint>
#include <string>

// Set while a configuration read or write for a device on the local configuration server
// waits: the status poll pauses meanwhile. Cleared whenever the wait panel ends.
extern std::uint8_t g_BusyTransfer;
// The page shown when a configuration has arrived: 0 settings, 7 schedule templates.
extern std::int32_t g_ConfigPage;
// The shared transmit buffer; a configuration write's 515 data bytes are built here.
extern std::array<std::uint8_t, 4096> g_TxBuffer;

// The subsystem's state as at start-up (the transfer's, the configuration and status records,
// the configuration file's path): what a window set goes with it.
void ResetConfigState();

inline constexpr std::int32_t kSettingsPage = 0;
inline constexpr std::int32_t kStatusPage = 1;
inline constexpr std::int32_t kSchedulesPage = 7;
// Wait-panel time-outs, seconds: on the cable or through the cloud, and for a device on the
// local configuration server, whose answers come over GPRS.
inline constexpr std::uint32_t kConfigWaitSeconds = 15;
inline constexpr std::uint32_t kConfServerWaitSeconds = 50;
// Numbered messages: reading, writing, "no record" answer of an unexpected kind.
inline constexpr int kMsgReadingConfig = 2;
inline constexpr int kMsgWritingConfig = 3;
inline constexpr int kMsgNoConfigRecord = 13;

// The numbered message (2 reading, 3 writing) of the configuration transfer that last opened
// the wait panel; 0 before any.
extern int g_ConfigWaitMessage;
// A lost link cuts the configuration transfer short: when one still waits for its reply,
// the words (in both languages) of what that leaves; empty when none waits. Closing the wait
// panel is the caller's.
std::string CutConfigTransfer();
inline constexpr const char* kTextConfigReadCut =
    "Чтение конфигурации прервано. Настройки на экране остались прежними.//\\ "
    "The configuration read was cut short. The settings shown are as they were.";
inline constexpr const char* kTextConfigWriteCut =
    "Запись конфигурации прервана: устройство могло не сохранить новые настройки, запишите их снова.//\\ "
    "The configuration write was cut short: the device may not have stored the new settings, write them again.";
