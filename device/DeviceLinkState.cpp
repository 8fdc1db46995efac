#include "device/DeviceLink.h"
#include "device/AskedReplies.h"
#include "device/DeviceType.h"
#include "device/LinkPeers.h"

bool g_DeviceConnected = false;
bool g_WorkingMode = false;
bool g_BootloaderMode = false;
std::uint8_t g_AccessLevel = 0;
std::uint8_t g_DeviceType = kDefaultDeviceType;
std::uint16_t g_DeviceCapacity = kLargeCapacity;
std::string g_PortName = "COM1";

std::array<std::uint8_t, kRxBufferSize> g_RxBuffer{};
TFrameReceiver g_RxFrames;

std::uint8_t g_ScanActive = 0;
std::uint16_t g_ScanIndex = 0;
std::uint16_t g_ScanTicks = 0;
std::uint8_t g_ScanOpened = 0;
std::uint8_t g_ScanResting = 0;

std::uint8_t g_KeepAliveTicks = 0;
std::uint16_t g_TypedPassword = 0;

std::uint8_t g_CloudSession = 0;
std::uint8_t g_ConfServerLink = 0;
std::uint8_t g_ConfServerConnected = 0;
std::string g_RemoteAddress;
std::uint8_t g_FlashActive = 0;
std::uint8_t g_BootloaderOnly = 0;
TFrameSender g_CloudFrameSender;
TFrameSender g_ConfServerFrameSender;

void ResetDeviceLinkState() {
    g_DeviceConnected = g_WorkingMode = g_BootloaderMode = false;
    g_AccessLevel = 0;
    g_DeviceType = kDefaultDeviceType;
    g_DeviceCapacity = kLargeCapacity;
    g_PortName = "COM1";
    g_RxBuffer.fill(0);
    g_RxFrames.Reset();
    g_ScanActive = 0;
    g_ScanIndex = g_ScanTicks = 0;
    g_ScanOpened = g_ScanResting = 0;
    g_KeepAliveTicks = 0;
    g_TypedPassword = 0;
    g_CloudSession = g_ConfServerLink = g_ConfServerConnected = g_FlashActive = g_BootloaderOnly = 0;
    g_RemoteAddress.clear();
    g_CloudFrameSender = nullptr;
    g_ConfServerFrameSender = nullptr;
    g_AskedReplies = {};
}
