#pragma once
// The firmware subsystem's module state: the update in progress with its open image, and
// the update server's pending query and the file download.
#include <cstdint>

#include "firmware/FileDownload.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/UpdateServer.h"
#include "platform/rtl/SafeFile.h"

// The open image and the update's progress; the counters below mirror it for the timers.
extern TFirmwareUpdate g_FirmwareUpdate;
extern std::uint32_t g_FwSize;    // body bytes after the header
extern std::uint32_t g_FwOffset;  // bytes sent so far
extern int g_FwTimeout;           // watchdog seconds left for the block in flight

// 1 firmware, 2 the tool itself: what the update server's reply answers.
extern std::uint8_t g_UpdRequestKind;
extern TUpdServerTimeout g_UpdServerTimeout;
extern TFileDownload g_Download;
// The file being downloaded (a temporary file until it is whole) and the server's silence.
extern TSafeFileWriter g_DownloadFile;
extern TDownloadSilence g_DownloadSilence;

// The subsystem's state as at start-up: an update's image closed, a download's temporary file
// abandoned. What a window set goes with it.
void ResetFirmwareState();
