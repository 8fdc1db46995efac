#include "memory/PhotoState.h"

TPhotoFile g_PhotoFile;
std::uint32_t g_PhotoSize = 0;
std::uint32_t g_PhotoReceived = 0;
std::uint32_t g_PhotoOffset = 0;
std::uint8_t g_PhotoMode = photoIdle;
std::uint8_t g_PhotoRetryTicks = 0;
std::uint8_t g_PhotoAttempts = 0;
std::string g_PhotoFileName;

void ResetPhotoState() {
    g_PhotoFile.Close();
    g_PhotoSize = g_PhotoReceived = g_PhotoOffset = 0;
    g_PhotoMode = photoIdle;
    g_PhotoRetryTicks = g_PhotoAttempts = 0;
    g_PhotoFileName.clear();
}

bool PhotoFetchRuns() { return g_PhotoMode != photoIdle || g_PhotoFile.IsOpen(); }
