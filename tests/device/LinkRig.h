#pragma once
// The main window on the manual clock, with simulated devices on ptys listed in
// ZENTOR_PORTS. Bytes cross for real: a device holds what it sends until the test lets it
// go, and the test waits (bounded) for the tool to take it, serving the serial event
// thread's hand-overs, and only then advances the clock.
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/ShellState.h"
#include "app/Unit1.h"
#include "config/StatusRecord.h"
#include "platform/comm/DeviceNotices.h"
#include "platform/sys/Clock.h"
#include "support/TestSupport.h"
#include "tools/devsim/DeviceModel.h"

namespace linktest {

using devsim::Bytes;

inline const char kVendorName[] = "STMicroelectronics Virtual COM Port";

// The bytes of a reply frame with data bytes: "SLMX", length, marker, command, data, CRC.
constexpr std::size_t FrameBytes(std::size_t data) { return 4 + 2 + 2 + data + 2; }

// A simulated controller (or a silent port) at a path of the rig's folder; what it sends
// waits for the test (LinkRig::Deliver).
struct SimPort {
    SimPort(const std::string& path, bool controller) : sim(path), node(path) {
        if (controller) model = std::make_unique<devsim::DeviceModel>(sim);
        sim.HoldOutput(true);
        started = sim.Start();
        Live().push_back(this);
    }
    ~SimPort() {
        std::erase(Live(), this);
        model.reset();
        sim.Stop();
    }
    static std::vector<SimPort*>& Live() {
        static std::vector<SimPort*> ports;
        return ports;
    }
    // The request frames with this command that arrived so far.
    std::size_t Requests(std::uint8_t command) const {
        std::size_t n = 0;
        for (const devsim::Frame& f : sim.Frames()) n += f.command == command;
        return n;
    }
    devsim::DevSim sim;
    std::string node;  // the path the tool opens to reach it: its link, or a device node leading there
    std::unique_ptr<devsim::DeviceModel> model;
    bool started = false;
};

class LinkRig {
public:
    explicit LinkRig(const std::string& name) : FDir(testsupport::TempDir(name)) {
        ResetModuleState();  // what a test without a window left
        unsetenv("ZENTOR_PORTS");
    }
    ~LinkRig() {
        g_Language = FSavedLanguage;  // before the window goes, or it saves the test's language
        g_LangFilePath = FSavedLangFile;
        delete Form1;
        Form1 = nullptr;
        FPorts.clear();
        unsetenv("ZENTOR_PORTS");
        comm::SetNoticeSourceFactory(nullptr);
    }

    std::string Path(const std::string& name) const { return FDir + "/" + name; }

    SimPort& AddController(const std::string& name) { return Add(name, true); }
    SimPort& AddSilent(const std::string& name) { return Add(name, false); }

    // ZENTOR_PORTS as entries; names starting with "!" are given the controller's vendor name.
    void ListPorts(const std::vector<std::string>& names) {
        std::string value;
        for (const std::string& n : names) {
            if (!value.empty()) value += ";";
            bool vendor = !n.empty() && n[0] == '!';
            value += Path(vendor ? n.substr(1) : n);
            if (vendor) value += std::string("=") + kVendorName;
        }
        setenv("ZENTOR_PORTS", value.c_str(), 1);
    }

    // Notices come from a source the test drives instead of the system.
    void UseManualNotices() {
        comm::SetNoticeSourceFactory([this] {
            auto s = std::make_unique<comm::TManualNoticeSource>();
            FManual = s.get();
            return s;
        });
    }
    comm::TManualNoticeSource* ManualNotices() const { return FManual; }

    // The window speaks the language with the shipped language file's texts, until the rig ends.
    void Speak(const std::string& language) {
        g_LangFilePath = testsupport::ShippedLangFile();
        g_Language = language;
    }

    void CreateForm(bool notices = false) {
        Application->CreateForm(Form1);
        if (notices) Form1->RegisterDeviceNotification();
    }

    // Lets the device on the open port send n bytes (and all it has ready by now) and waits
    // until the receiver has taken every byte it sent: the frames they complete have gone
    // on. The next reply waits in the device for the test.
    static bool AwaitRx(std::size_t n) {
        SimPort* device = nullptr;
        for (SimPort* s : SimPort::Live())
            if (Form1->ComPort->GetPort() == s->node) device = s;
        if (device == nullptr) return false;
        const std::uint64_t sent = device->sim.SentCount(), taken = g_RxFrames.Taken();
        device->sim.ReleaseOutput(n);
        return testsupport::WaitUntil([&] {
            const std::uint64_t took = g_RxFrames.Taken() - taken;
            return took >= n && device->sim.ReleasedPending() == 0 &&
                   (took >= device->sim.SentCount() - sent || !Form1->ComPort->GetConnected());
        });
    }
    // One Timer1 tick.
    static void Settle() { sys::AdvanceMs(10); }
    // Lets a reply come, then one tick.
    static bool Deliver(std::size_t n) {
        if (!AwaitRx(n)) return false;
        Settle();
        return true;
    }
    static bool AwaitRequests(const SimPort& port, std::uint8_t command, std::size_t count) {
        return testsupport::WaitUntil([&] { return port.Requests(command) >= count; });
    }

    static std::string Caption() { return Form1->ComPortDeviceCaption->GetCaption(); }

    // Starts a scan and runs it until the controller at port answers (its identify reply
    // is identifyBytes long, more when the device asks for its password right after).
    bool ConnectTo(SimPort& port, std::size_t identifyBytes = 16);
    bool ScanUntilConnected(SimPort& port, std::size_t identifyBytes = 16);

private:
    SimPort& Add(const std::string& name, bool controller) {
        FPorts.push_back(std::make_unique<SimPort>(Path(name), controller));
        return *FPorts.back();
    }
    std::string FDir;
    std::vector<std::unique_ptr<SimPort>> FPorts;
    comm::TManualNoticeSource* FManual = nullptr;
    std::string FSavedLanguage = g_Language, FSavedLangFile = g_LangFilePath;
};

// Lets the scan run (100 ms ticks) until the controller at port answers its probe.
inline bool LinkRig::ScanUntilConnected(SimPort& port, std::size_t identifyBytes) {
    for (int tick = 0; tick < 100 && !g_DeviceConnected; ++tick) {
        std::size_t before = port.Requests(devsim::kCmdIdentify);
        sys::AdvanceMs(100);
        TSerialPort* p = Form1->ComPort;
        if (!p->GetConnected() || p->GetPort() != port.node) continue;
        if (!AwaitRequests(port, devsim::kCmdIdentify, before + 1)) return false;
        // The reply may have come and been taken while the clock went on.
        if (!g_DeviceConnected && !Deliver(identifyBytes)) return false;
    }
    return g_DeviceConnected;
}

inline bool LinkRig::ConnectTo(SimPort& port, std::size_t identifyBytes) {
    Form1->Find_Device();
    return ScanUntilConnected(port, identifyBytes);
}

}  // namespace linktest
