// The serial link: opening and closing the device port, writing frames, reading what comes
// and taking the whole link down.
#include <algorithm>
#include <cstring>

#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "config/StatusRecord.h"
#include "device/AskedReplies.h"
#include "device/DeviceType.h"
#include "platform/sys/Clock.h"

namespace {

// What the receiver held of one port never meets another's bytes: a frame begun there is
// not completed here, and a quiet read due there does not purge the new port's first reply.
void ForgetReceived() { g_RxFrames.Reset(); }

int SendFrame(const TFrameSender& sender, const std::vector<std::uint8_t>& frame) {
    if (!sender) return -1;  // no socket behind the link
    return sender(frame.data(), static_cast<int>(frame.size()));
}

int SendOn(TLink route, const std::vector<std::uint8_t>& frame) {
    switch (route) {
        case TLink::Cloud: return SendFrame(g_CloudFrameSender, frame);
        case TLink::ConfServer: return SendFrame(g_ConfServerFrameSender, frame);
        case TLink::Serial: break;
    }
    if (!Form1) return 0;
    return Form1->SendToPort(frame.data(), static_cast<int>(frame.size()));
}

}  // namespace

TLink RequestRoute() {
    if (g_CloudSession) return TLink::Cloud;
    if (g_ConfServerConnected && g_ConfServerFrameSender) return TLink::ConfServer;
    return TLink::Serial;
}

int SendCommand(std::uint8_t code, const void* data, std::size_t n) {
    std::vector<std::uint8_t> frame =
        BuildRequestFrame(code, static_cast<const std::uint8_t*>(data), n);
    if (frame.empty()) return -1;  // more data than a frame can carry
    const TLink route = RequestRoute();
    const int sent = SendOn(route, frame);
    // Its answer is awaited as long as a configuration's is on that link.
    if (const auto ask = AskOfDeviceCommand(code); ask && sent > 0)
        g_AskedReplies.Ask(*ask, route, sys::ListenMs(),
                           1000LL * (route == TLink::ConfServer ? kConfServerWaitSeconds : kConfigWaitSeconds));
    return sent;
}

bool LinkCarriesRequests(TLink link) { return RequestRoute() == link; }

void ShowNotConnected() {
    if (Form1 && Form1->LACCESS) Form1->LACCESS->SetCaption("Не подключено");
}

bool TForm1::OpenPort(const std::string& portName, int* error) {
    if (error) *error = 0;
    try {
        if (ComPort->GetConnected()) ComPort->Close();
        ForgetReceived();
        ComPort->SetPort(portName);
        ComPort->SetBaudRate(br19200);
        ComPort->SetDataBits(dbEight);
        ComPort->SetStopBits(sbOneStopBit);
        ComPort->GetParity()->SetBits(prNone);
        ComPort->Open();
    } catch (const ESerialPort& e) {
        if (error) *error = e.GetWinCode();
        ClosePort();
        return false;
    } catch (...) {
        ClosePort();
        return false;
    }
    return ComPort->GetConnected();
}

void TForm1::ClosePort() {
    ForgetReceived();
    try {
        ComPort->Close();
    } catch (...) {
        // closing never fails as far as the link is concerned
    }
}

int TForm1::SendToPort(const void* data, int len) {
    if (!data || len <= 0 || !ComPort->GetConnected()) return 0;
    int written;
    try {
        written = ComPort->Write(data, len);
    } catch (...) {
        ClosePort();
        ErrorSendToPort();
        return -1;
    }
    if (written > 0) g_RxFrames.RequestSent();
    if (written < 0) ErrorSendToPort();
    return written;
}

int TForm1::SendStrToPort(const std::string& text) {
    return SendToPort(text.c_str(), static_cast<int>(std::strlen(text.c_str())));
}

void TForm1::ErrorSendToPort() {
    ClosePortConnection();
    // No removal notice follows a failed write, so look for the device again ourselves;
    // a cloud session carries the requests meanwhile.
    if (!g_CloudSession && !g_ScanActive) Find_Device();
}

void TForm1::ClosePortConnection() {
    EndTransfersOnLostLink(TLink::Serial);
    ClosePort();
    if (g_DeviceConnected) SetDeviceCaption(g_PortName + ": Not connected");
    ForgetDevice();
}

void TForm1::ForgetDevice() {
    if (g_DeviceConnected) {
        g_DeviceConnected = false;
        LABOX->SetEnabled(false);
        RABOX->SetEnabled(true);
        UiGroupBox21->SetEnabled(true);
        SelectPage(4);
    }
    g_WorkingMode = false;
    g_BootloaderMode = false;
    g_BootloaderOnly = 0;
    g_DeviceType = kDefaultDeviceType;
    g_DeviceCapacity = kLargeCapacity;
    g_AccessLevel = 0;
    ButtonEnabled(false);
    ShowNotConnected();
    // The next device must not be sent this one's remembered password.
    std::fill_n(g_StatusRecord.data() + st::Imei, st::ImeiWidth, 0);
}

void TForm1::ComPortRxChar(TObject*, int) { Receive_analyse(); }

void TForm1::Receive_analyse(bool purge) {
    if (!ComPort->GetConnected()) return;
    int n = 0;
    try {
        n = ComPort->Read(g_RxBuffer.data(), static_cast<int>(g_RxBuffer.size()));
        if (purge) ComPort->ClearBuffer(true, false);
    } catch (...) {
        // a port that fails to read delivers nothing; the write path takes the link down
    }
    if (n <= 0) return;
    LinkBytesArrived(TLink::Serial);
    // Read_Data may close the port or write the next request; the receiver has taken the bytes.
    g_RxFrames.Take(g_RxBuffer.data(), static_cast<std::size_t>(n),
                    [this](const std::uint8_t* frame, std::size_t available) { Read_Data(frame, available); });
    std::fill_n(g_RxBuffer.begin(), n, 0);
    ComPort->SetReceiveThreshold(static_cast<int>(g_RxFrames.Wanted()));
}

void TForm1::ResetDevice(std::uint8_t mode) { SendCommand(CmdReset, &mode, 1); }

void TForm1::SetDeviceCaption(const std::string& text) {
    if (ComPortDeviceCaption) ComPortDeviceCaption->SetCaption(text);
}
