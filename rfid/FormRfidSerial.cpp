// The serial desk reader: the port, the probe and the TID reads on RFIDTimer, the replies,
// and the capture of a tag into the number editor, shared with the USB-HID reader.
#include <array>
#include <string>

#include "app/Unit1.h"
#include "platform/comm/PortList.h"
#include "rfid/RfidState.h"
#include "serial/SerialPort.h"
#include "widgets/UiButton.h"
#include "widgets/UiRadGrp.h"

TReaderPoll g_RfidPoll;
TReaderReceiver g_RfidReceiver;
TTagRecordFile g_TagFile;

void ResetRfidState() {
    g_RfidPoll = {};
    g_RfidReceiver = {};
    g_TagFile.Close();  // a recording starts its count afresh
}

namespace {
constexpr const char* kConnectCaptionReading = "Отключить";
constexpr const char* kConnectCaptionClosed = "Провериь порт";
}  // namespace

bool TForm1::UsbReaderChosen() const { return COMUSBSELECT && COMUSBSELECT->GetItemIndex() == 1; }

bool TForm1::OpenRFIDPort(const std::string& portName) {
    try {
        if (ComPortRFID->GetConnected()) ComPortRFID->Close();
        ComPortRFID->SetPort(portName);
        ComPortRFID->SetBaudRate(br57600);
        ComPortRFID->SetDataBits(dbEight);
        ComPortRFID->SetStopBits(sbOneStopBit);
        ComPortRFID->GetParity()->SetBits(prNone);
        ComPortRFID->Open();
    } catch (...) {
        ClosePortRFID();
        return false;
    }
    g_RfidReceiver.Clear();
    return ComPortRFID->GetConnected();
}

int TForm1::SendToPortRFID(const std::uint8_t* bytes, int count) {
    if (!bytes || count <= 0 || !ComPortRFID || !ComPortRFID->GetConnected()) return 0;
    try {
        return ComPortRFID->Write(bytes, count);
    } catch (...) {
        ClosePortRFID();
        return 0;
    }
}

void TForm1::ClosePortRFID() {
    g_RfidReceiver.Clear();
    if (!ComPortRFID) return;
    try {
        ComPortRFID->Close();
    } catch (...) {
        // a port that fails to close is gone as far as the reader is concerned
    }
}

void TForm1::GetReaderInformation() {
    const auto frame = ReaderInformationRequest();
    SendToPortRFID(frame.data(), static_cast<int>(frame.size()));
}

void TForm1::GetTIDWithoutEPC() {
    const auto frame = TidReadRequest();
    SendToPortRFID(frame.data(), static_cast<int>(frame.size()));
}

void TForm1::RFIDTimerTimer(TObject* /*Sender*/) {
    const TReaderTick tick = g_RfidPoll.Tick();
    if (tick.SendProbe) GetReaderInformation();
    if (tick.GiveUp) {
        ClosePortRFID();
        MessageShow(kRfidReaderNotFound);
    }
    if (tick.SendTidRead) GetTIDWithoutEPC();
}

void TForm1::ComPortRFIDRxChar(TObject* /*Sender*/, int /*Count*/) {
    if (!ComPortRFID->GetConnected()) return;
    std::array<std::uint8_t, TReaderReceiver::kMaxBuffer> bytes{};
    int n = 0;
    try {
        n = ComPortRFID->Read(bytes.data(), static_cast<int>(bytes.size()));
    } catch (...) {
        return;
    }
    if (n <= 0) return;
    for (const TReaderReply& reply : g_RfidReceiver.Feed(bytes.data(), static_cast<std::size_t>(n))) {
        switch (reply.Kind) {
            case TReaderReplyKind::Present:
                g_RfidPoll.ReaderPresent();
                RFIDReaderConnect->SetCaption(kConnectCaptionReading);
                RFIDReaderConnect->SetTag(1);
                break;
            case TReaderReplyKind::Tag: CaptureTags({reply.Tid}); break;
            case TReaderReplyKind::NoTag: RFIDL->SetCaption(kRfidNoTag); break;
            case TReaderReplyKind::Ignored: break;
        }
        // A handler may have closed the port: what followed was for nobody.
        if (!ComPortRFID->GetConnected()) return;
    }
}

void TForm1::CaptureTags(const std::vector<TTid>& tags) {
    if (tags.empty()) return;
    RFIDL->SetCaption(TagLabelText(tags.back()));
    if (!aPhone) return;
    aPhone->SetText(RfidTagNumber(tags.back()));
    if (!g_TagFile.IsOpen()) return;
    std::vector<std::string> numbers;
    numbers.reserve(tags.size());
    for (const TTid& tid : tags) numbers.push_back(RfidTagNumber(tid));
    if (!g_TagFile.Write(numbers)) {
        StartRFIDRec->SetEnabled(true);
        MessageShow(TagRecordStoppedText(g_TagFile.Error()));
    }
    RFIDSCOUNT->SetCaption(TagCountText(g_TagFile.Count()));
}

void TForm1::RFIDReaderConnectClick(TObject* /*Sender*/) {
    if (UsbReaderChosen()) {
        ConnectUsbReader();
        return;
    }
    if (RFIDReaderConnect->GetTag() == 1) {
        g_RfidPoll.StopReading();
        RFIDReaderConnect->SetCaption(kConnectCaptionClosed);
        RFIDReaderConnect->SetTag(0);
        ClosePortRFID();
        return;
    }
    if (OpenRFIDPort(comm::PortOfChoice(RFIDReaderPort->GetText()))) {
        g_RfidPoll.PortOpened();
        RFIDReaderDisConnect->SetEnabled(true);
    } else {
        MessageShow(kRfidCannotOpenPort);
    }
}

void TForm1::RFIDReaderDisConnectClick(TObject* /*Sender*/) {
    if (UsbReaderChosen()) {
        DisconnectUsbReader();
        return;
    }
    ClosePortRFID();
}

void TForm1::COMUSBSELECTClick(TObject* /*Sender*/) {
    if (UsbReaderChosen()) {
        ListUsbReaders();
        return;
    }
    RFIDReaderPort->GetItems()->Clear();
    RFIDReaderPort->GetItems()->AddStrings(comm::PortChoices());
    RFIDReaderPort->SetItemIndex(0);
}
