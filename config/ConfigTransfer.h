#pragma once
// Module state of the configuration transfer with the device.
#include <array>
#include <cstdint>

// Set while a configuration read or write for a device on the local configuration server
// waits: the status poll pauses meanwhile. Cleared whenever the wait panel ends.
extern std::uint8_t g_BusyTransfer;
// The page shown when a configuration has arrived: 0 settings, 7 schedule templates.
extern std::int32_t g_ConfigPage;
// The shared transmit buffer; a configuration write's 515 data bytes are built here.
extern std::array<std::uint8_t, 4096> g_TxBuffer;

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
