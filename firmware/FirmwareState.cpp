#include "firmware/FirmwareState.h"

#include "platform/rtl/Streams.h"

TFirmwareUpdate g_FirmwareUpdate;
std::uint32_t g_FwSize = 0;
std::uint32_t g_FwOffset = 0;
int g_FwTimeout = 0;

std::uint8_t g_UpdRequestKind = 0;
TUpdServerTimeout g_UpdServerTimeout;
TFileDownload g_Download;
TSafeFileWriter g_DownloadFile;
TDownloadSilence g_DownloadSilence;

void ResetFirmwareState() {
    g_FirmwareUpdate = {};
    g_FwSize = g_FwOffset = 0;
    g_FwTimeout = 0;
    g_UpdRequestKind = 0;
    g_UpdServerTimeout = {};
    g_Download = {};
    g_DownloadFile.Abandon();
    g_DownloadSilence = {};
}
