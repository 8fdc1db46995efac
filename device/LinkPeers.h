#pragma once
// What the request route and the timers read of the links beside the cable: the cloud
// session and the local configuration server, and of a firmware update in progress.
// Their subsystems set these flags and install the senders; until then the flags stay 0
// and every request goes to the serial port.
#include <cstdint>
#include <functional>
#include <string>

// 1 while a cloud session is logged in: requests are tunnelled through the cloud socket.
extern std::uint8_t g_CloudSession;
// A device talks through the local configuration server (set by every block it sends).
extern std::uint8_t g_ConfServerLink;
// A device is connected to the local configuration server, and its address.
extern std::uint8_t g_ConfServerConnected;
extern std::string g_RemoteAddress;
// A firmware update runs; the device is in its bootloader only (no working firmware).
extern std::uint8_t g_FlashActive;
extern std::uint8_t g_BootloaderOnly;

// Sends a whole frame on a socket link; returns the socket's send result, -1 when the
// socket is missing or not connected.
using TFrameSender = std::function<int(const std::uint8_t* bytes, int len)>;
// The cloud socket (SocketSendBuf on ClientSocket), used during a cloud session.
extern TFrameSender g_CloudFrameSender;
// The client connected to the local configuration server.
extern TFrameSender g_ConfServerFrameSender;
