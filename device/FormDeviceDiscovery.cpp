// Finding the device: device notices, the endless port scan with its identify probe, and
// the identify retry for a device on the local configuration server.
#include <algorithm>

#include "app/LangText.h"
#include "app/Unit1.h"
#include "device/DeviceType.h"
#include "device/PortNotices.h"
#include "platform/comm/Comm.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The ports present now and the paths ZENTOR_PORTS lists; a listed entry counts only while
// its path exists. Nothing when the system cannot list its ports.
std::optional<std::vector<comm::TPortInfo>> PresentPorts(std::vector<std::string>& listedPaths) {
    auto ports = comm::ListPorts();
    if (!ports) return std::nullopt;
    if (auto listed = comm::ListedPortsFromEnv()) {
        for (const comm::TListedPort& l : *listed) listedPaths.push_back(l.Path);
        std::erase_if(*ports, [](const comm::TPortInfo& p) { return !FileExists(p.Path); });
    }
    return ports;
}

}  // namespace

void TForm1::RegisterDeviceNotification() {
    UnregisterDeviceNotification();
    auto source = comm::CreateNoticeSource();
    // Without notices the scan still finds the device; it just does not notice unplugging.
    if (source && source->Start([this](const comm::TDeviceChange& c) { OnDeviceChange(c); }))
        FDeviceNotices = std::move(source);
}

void TForm1::UnregisterDeviceNotification() {
    if (!FDeviceNotices) return;
    FDeviceNotices->Stop();
    FDeviceNotices.reset();
}

void TForm1::OnDeviceChange(const comm::TDeviceChange& change) {
    if (change.Kind == comm::TDeviceChangeKind::Arrival || change.Kind == comm::TDeviceChangeKind::Removal)
        ConnectDisconnectDevice();
}

void TForm1::ConnectDisconnectDevice() {
    if (!g_DeviceConnected) {
        if (DeviceConnectedToSystem("")) Find_Device();
    } else if (!DeviceConnectedToSystem(g_PortName)) {
        ClosePortConnection();
    }
}

bool TForm1::DeviceConnectedToSystem(const std::string& portName) {
    std::vector<std::string> listedPaths;
    auto ports = PresentPorts(listedPaths);
    if (!ports) return false;
    return DeviceConnectedAmong(*ports, listedPaths, portName);
}

void TForm1::Find_Device() {
    TStrings& items = *ENUMPORTS->GetItems();
    EnumSerialPorts(items);
    g_ScanTicks = 0;
    g_ScanIndex = 0;
    g_ScanActive = 1;
    g_ScanOpened = 0;
    g_ScanResting = 0;
    if (items.Count() == 0) {
        // No port at all: say so and list again a second later.
        g_ScanTicks = kScanTicksPerPort;
        SetDeviceCaption("Find device");
        return;
    }
    g_PortName = items[0];
    SetDeviceCaption(g_PortName + ": Find device");
}

void TForm1::NextComPort() {
    ClosePort();
    TStrings& items = *ENUMPORTS->GetItems();
    if (items.Count() == 0) {  // the empty pass ends: read the list again
        g_ScanActive = 0;
        Find_Device();
        return;
    }
    SetDeviceCaption(g_PortName + ": Not connected");
    ++g_ScanIndex;
    if (g_ScanIndex < items.Count()) {
        g_PortName = items[g_ScanIndex];
        g_ScanTicks = 0;
        SetDeviceCaption(g_PortName + ": Find device");
        return;
    }
    g_ScanActive = 0;
    SetDeviceCaption(g_PortName + ": Not finded");
    const bool opened = g_ScanOpened;
    Find_Device();
    // Nothing could be opened: the next pass waits its second, as an empty list does. A
    // device that appears meanwhile is announced, and probed at once.
    if (!opened && items.Count() > 0) {
        g_ScanTicks = kScanTicksPerPort;
        g_ScanResting = 1;
    }
}

void TForm1::Find_Device_Stop() {
    g_ScanTicks = 0;
    g_ScanIndex = 0;
    g_ScanActive = 0;
    g_ScanResting = 0;
}

void TForm1::PortScanStep() {
    if (g_ScanTicks != 0 && --g_ScanTicks == 0) {
        if (g_ScanResting)
            g_ScanResting = 0;
        else
            NextComPort();
    }
    if (!g_ScanActive || g_ScanTicks != 0) return;
    SetDeviceCaption(g_PortName + ": Find device");
    int error = 0;
    if (OpenPort(g_PortName, &error)) {
        g_ScanOpened = 1;
        FPortOpenNotices.Opened(g_PortName);
        // The probe goes to the port just opened, whatever other link is up.
        std::vector<std::uint8_t> identify = BuildRequestFrame(CmdIdentify, nullptr, 0);
        SendToPort(identify.data(), static_cast<int>(identify.size()));
        g_ScanTicks = kScanTicksPerPort;
    } else {
        TellPortNotOpened(error);
        NextComPort();
    }
}

unsigned TForm1::PortScanDue() const {
    if (g_ScanTicks != 0) return g_ScanTicks;
    return g_ScanActive ? 1 : 0;
}

void TForm1::TellPortNotOpened(int error) {
    // The desk reader's own port is busy because this tool holds it.
    if (ComPortRFID && ComPortRFID->GetConnected() && ComPortRFID->GetPort() == g_PortName) return;
    if (!FPortOpenNotices.Failed(g_PortName, error)) return;
    const TPortNoticeWords words{GetMessageA(kMsgPort), GetMessageA(kMsgPortNotOpened), GetMessageA(kMsgPortNoRights),
                                 GetMessageA(kMsgPortBusy)};
    const std::string text =
        PortNotOpenedText(words, g_PortName, error, PortErrorReason(error, IsEnglishLanguage(g_Language)));
    MiniLog(text, 1);
    MessageShow(text);
}

bool TForm1::TypeConnectedDevice(std::uint8_t type, std::uint16_t capacity) {
    if (!IsAcceptedDeviceType(type)) return false;
    if (g_ConfServerConnected) {
        SetDeviceCaption(g_RemoteAddress + ": " + TypeDeviceToString(type, capacity));
    } else {
        SetDeviceCaption(g_PortName + ": " + TypeDeviceToString(type, capacity));
    }
    return true;
}

std::string TForm1::TypeDeviceToString(std::uint8_t type, std::uint16_t capacity) {
    return ::TypeDeviceToString(type, capacity);
}
