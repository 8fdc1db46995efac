#pragma once
// Which page buttons a cable login enables: the device, numbers and log buttons follow the
// request; settings, schedules and service only for the administrator (level 32).
#include <cstdint>

struct TPageButtonStates {
    bool Device = false;    // Bdevice
    bool Users = false;     // Busers
    bool Log = false;       // Blog
    bool Setting = false;   // Bsetting
    bool Shedule = false;   // Bshedl
    bool Service = false;   // BService
    bool CloseSessionVisible = false;  // CloseSession
    friend bool operator==(const TPageButtonStates&, const TPageButtonStates&) = default;
};

constexpr std::uint8_t kAccessAdministrator = 32;
constexpr std::uint8_t kAccessManager = 16;

TPageButtonStates PageButtonStates(bool enabled, int accessLevel);
