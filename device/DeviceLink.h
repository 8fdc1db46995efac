#pragma once
// The cable link's module state, and SendCommand: the one way out for every device command.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/FrameReceiver.h"
#include "device/LinkKind.h"

// From the identify reply until ClosePortConnection takes the link down.
extern bool g_DeviceConnected;
// A device in working mode is connected on the cable (enables the status poll).
extern bool g_WorkingMode;
// The device answered from its bootloader.
extern bool g_BootloaderMode;
// 32 administrator, 16 manager, 0 none.
extern std::uint8_t g_AccessLevel;
extern std::uint8_t g_DeviceType;       // 11 when no device said otherwise
extern std::uint16_t g_DeviceCapacity;  // 15000 or 650
// The port being probed or in use.
extern std::string g_PortName;

// The receive buffer, all zero between reads.
extern std::array<std::uint8_t, kRxBufferSize> g_RxBuffer;
// When the port is read and cleared, and the frames of what it brings.
extern TFrameReceiver g_RxFrames;

// The port scan: active, index into ENUMPORTS, Ftimer ticks left for the current port
// (0 = probe it now).
extern std::uint8_t g_ScanActive;
extern std::uint16_t g_ScanIndex;
extern std::uint16_t g_ScanTicks;
// A port of this pass opened; and the ticks left are the rest before the pass's first port:
// a pass that could open none (a listed port with no device behind it) is begun again a
// second later, not on every tick.
extern std::uint8_t g_ScanOpened;
extern std::uint8_t g_ScanResting;

// Timer1 ticks until the next status request, and the password typed on the password page.
extern std::uint8_t g_KeepAliveTicks;
extern std::uint16_t g_TypedPassword;

inline constexpr std::uint8_t kScanTicksPerPort = 10;   // Ftimer ticks: one second
inline constexpr std::uint8_t kKeepAliveTicks = 50;     // Timer1 ticks: half a second
inline constexpr std::int32_t kIdentifyRetrySeconds = 3;

// Frames the command and sends it, without waiting for a reply: through the cloud session
// while one is open, else to the device on the local configuration server, else on the
// serial port. Returns what the link's send returned: bytes written, 0 when the port is
// closed, negative on a failure (and for data too long for a frame, which is not sent).
int SendCommand(std::uint8_t code, const void* data, std::size_t n);
inline int SendCommand(std::uint8_t code, const std::vector<std::uint8_t>& data) {
    return SendCommand(code, data.data(), data.size());
}
inline int SendCommand(std::uint8_t code) { return SendCommand(code, nullptr, 0); }

// The cable link's state and the peers' flags and senders (device/LinkPeers.h) as at start-up:
// what a window set goes with it.
void ResetDeviceLinkState();

// The link SendCommand sends on now: what a transfer in progress is waiting to hear from.
TLink RequestRoute();
bool LinkCarriesRequests(TLink link);
