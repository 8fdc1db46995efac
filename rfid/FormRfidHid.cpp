// The USB-HID desk reader through the vendor's library, and the tag record file.
#include <atomic>
#include <cstring>
#include <vector>

#include "app/Unit1.h"
#include "config/FormConfigTypes.h"
#include "platform/hid/CFHidApi.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Dialogs.h"
#include "rfid/RfidState.h"
#include "widgets/UiButton.h"

namespace {
constexpr int kUsbInfoBuffer = 512;
constexpr const char* kTagFileFilter = "CSV file [*.csv]|*.csv|TXT file [*.txt]|*.txt";
constexpr const char* kUsbReaderLost = "Считыватель отключен!";

// Counts the opens of the reader, so that a loss the library reported for an earlier open
// cannot disconnect a later one.
std::atomic<unsigned> g_UsbReaderOpen{0};
TTagBurst g_TagBurst;

// The length of count whole records at data (the library hands whole records only).
std::size_t ReportSize(std::int32_t count, const std::uint8_t* data) {
    std::size_t size = 0;
    for (std::int32_t i = 0; i < count; ++i) size += static_cast<std::size_t>(data[size]) + 1;
    return size;
}
}  // namespace

// The library's thread: never touch the window here, and never wait for the GUI thread (the
// library waits for this call to end when the callback is removed).
extern "C" void HidReaderCallback(std::int32_t kind, std::int32_t count, std::uint8_t* data) {
    if (kind == CFHID_READER_LOST) {
        const unsigned open = g_UsbReaderOpen.load();
        sys::PostToGuiThread([open] {
            if (Form1) Form1->UsbReaderLost(open);
        });
        return;
    }
    if (kind != kHidReportTags || count <= 0 || !data) return;
    // One hand-over takes whatever has come by the time the GUI thread runs it.
    if (!g_TagBurst.Add(kind, count, data, ReportSize(count, data))) return;
    sys::PostToGuiThread([] {
        const std::vector<TTid> tags = g_TagBurst.Take();
        if (Form1) Form1->CaptureTags(tags);
    });
}

void TForm1::ListUsbReaders() {
    RFIDReaderPort->GetItems()->Clear();
    const std::int32_t n = CFHid_GetUsbCount();
    for (std::int32_t i = 0; i < n; ++i) {
        char info[kUsbInfoBuffer] = {};
        CFHid_GetUsbInfo(i, info);
        info[kUsbInfoBuffer - 1] = 0;
        RFIDReaderPort->GetItems()->Add(info);
    }
    RFIDReaderPort->SetItemIndex(0);
}

void TForm1::ConnectUsbReader() {
    const int index = RFIDReaderPort->GetItemIndex();
    if (index < 0) return;
    if (CFHid_OpenDevice(index) == 0) return;
    ++g_UsbReaderOpen;
    RFIDReaderConnect->SetEnabled(false);
    RFIDReaderDisConnect->SetEnabled(true);
    CFHid_SetCallback(HidReaderCallback);
    for (int i = 0; i < 3; ++i) CFHid_SetDeviceOneParam(0, 10, 1);
}

void TForm1::DisconnectUsbReader() {
    CFHid_SetCallback(nullptr);
    CFHid_CloseDevice();
    RFIDReaderConnect->SetEnabled(true);
    RFIDReaderDisConnect->SetEnabled(false);
}

void TForm1::UsbReaderLost(unsigned open) {
    // Already disconnected by the user, or a loss of an earlier open.
    if (open != g_UsbReaderOpen.load() || RFIDReaderConnect->GetEnabled()) return;
    DisconnectUsbReader();
    MessageShow(kUsbReaderLost);
}

void TForm1::StartRFIDRecClick(TObject* /*Sender*/) {
    if (!SaveDialog) return;
    SaveDialog->SetFilter(kTagFileFilter);
    SaveDialog->SetDefaultExt("csv");
    SaveDialog->SetFilterIndex(2);
    if (!SaveDialog->Execute()) return;
    // Recording stays off; the user hears why rather than capturing into nothing.
    if (!g_TagFile.Create(SaveDialog->GetFileName())) {
        MessageShow(FileNotSavedText(SaveDialog->GetFileName(), g_TagFile.Error()));
        return;
    }
    StartRFIDRec->SetEnabled(false);
    RFIDSCOUNT->SetCaption(TagCountText(0));
}

void TForm1::StopRFIDRecClick(TObject* /*Sender*/) {
    if (!g_TagFile.IsOpen()) return;
    g_TagFile.Close();
    StartRFIDRec->SetEnabled(true);
}
