#pragma once
// Module state of the photographs on the main window.
#include <cstdint>
#include <string>

#include "memory/PhotoFile.h"

// 0 idle, 1 asking for the event picture by name, 2 fetching it by offset.
enum TPhotoMode : std::uint8_t { photoIdle = 0, photoByName = 1, photoByOffset = 2 };

extern TPhotoFile g_PhotoFile;
// Announced and received bytes of a camera picture.
extern std::uint32_t g_PhotoSize;
extern std::uint32_t g_PhotoReceived;
// Bytes of the event picture received: the offset of its next chunk.
extern std::uint32_t g_PhotoOffset;
extern std::uint8_t g_PhotoMode;
// Seconds to the next event-picture request, and requests left.
extern std::uint8_t g_PhotoRetryTicks;
extern std::uint8_t g_PhotoAttempts;
// The event picture asked for.
extern std::string g_PhotoFileName;

// Back to idle with the file closed (start-up state; tests use it too).
void ResetPhotoState();
// A picture is being asked for or gathered.
bool PhotoFetchRuns();
inline constexpr const char* kTextPhotoCut = "Получение фотоснимка прервано.//\\ Fetching the photo was cut short.";
