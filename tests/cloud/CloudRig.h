#pragma once
// The main window on the manual clock with the cloud simulator on loopback (its port chosen
// here, the tool pointed at it through ZENTOR_CLOUD_HOST), and optionally a simulated device
// behind the simulator. Bytes cross for real; the test waits (bounded) for them and only
// then advances the clock.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app/ShellState.h"
#include "app/Unit1.h"
#include "config/StatusRecord.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "tools/cloudsim/CloudSim.h"
#include "tools/devsim/DeviceModel.h"

namespace cloudtest {

inline const std::string kImei = "862000000000001";
inline const std::string kPass = "1234";

// Waits for pred as WaitUntil does and measures meanwhile how long the window could not
// answer: the longest turn of its event loop.
inline bool WaitAnswering(const std::function<bool()>& pred, int timeoutMs, double& longestMs) {
    auto last = std::chrono::steady_clock::now();
    longestMs = 0;
    return testsupport::WaitUntil(
        [&] {
            const auto now = std::chrono::steady_clock::now();
            longestMs = std::max(longestMs, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
            return pred();
        },
        timeoutMs);
}

class CloudRig {
public:
    explicit CloudRig(const std::string& name, bool device = false)
        : FDir(testsupport::TempDir(name)), FSavedSettings(g_SettingsPath) {
        ResetModuleState();  // what a test without a window left
        ui::test::ClearDialogs();
        g_SettingsPath = FDir + "/config.ini";
        if (device) {
            FDevice = std::make_unique<devsim::DevSim>(FDir + "/device");
            FModel = std::make_unique<devsim::DeviceModel>(*FDevice);
            FDevice->Start();
            sim.SetDevicePath(FDevice->LinkPath());
        }
        sim.SetAccount(kImei, kPass, "admin");
        sim.Start(0);
        setenv("ZENTOR_CLOUD_HOST", ("127.0.0.1:" + std::to_string(sim.Port())).c_str(), 1);
        Application->CreateForm(Form1);
        Application->CreateForm(Form2);
    }
    ~CloudRig() {
        delete Form1;
        Form1 = nullptr;
        delete Form2;
        Form2 = nullptr;
        sim.Stop();
        FModel.reset();
        if (FDevice) FDevice->Stop();
        unsetenv("ZENTOR_CLOUD_HOST");
        g_SettingsPath = FSavedSettings;
        ui::test::ClearDialogs();
    }

    devsim::DeviceModel& Model() { return *FModel; }
    devsim::DevSim& Device() { return *FDevice; }

    // Types the device and clicks the connect button.
    void Connect(const std::string& imei = kImei, const std::string& pass = kPass) {
        Form1->AIMEI->SetText(imei);
        Form1->APASS->SetText(pass);
        Form1->Button5Click(Form1->Button5);
    }
    bool AwaitCount(const std::string& command, std::size_t n) {
        return testsupport::WaitUntil([&] { return sim.Count(command) >= n; });
    }
    // Connects and waits for the login to be accepted.
    bool LogIn() {
        Connect();
        return testsupport::WaitUntil([] { return g_CloudSession == 1; });
    }
    // The action log holds this line.
    static bool Logged(const std::string& line) {
        return Form1->MiniLOG->GetLines()->IndexOf(line) >= 0 ||
               Form1->MiniLOG->GetLines()->IndexOf("<< " + line) >= 0;
    }

    cloudsim::CloudSim sim;

private:
    std::string FDir;
    std::string FSavedSettings;
    std::unique_ptr<devsim::DevSim> FDevice;
    std::unique_ptr<devsim::DeviceModel> FModel;
};

}  // namespace cloudtest
