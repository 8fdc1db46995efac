#pragma once
// The links a device talks over. Through the cloud session and the local configuration
// server it talks over GPRS, whose round trip outlasts the cable's countdowns: whatever
// waits for its answers there waits longer.
enum class TLink { Serial, ConfServer, Cloud };

inline constexpr bool IsRemoteLink(TLink link) { return link != TLink::Serial; }
