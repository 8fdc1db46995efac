// cloudsim [port] [imei] [pass]: a cloud server on loopback with a simulated device behind
// it (a devsim controller on a pty), for trying the tool's cloud session by hand:
//   ZENTOR_CLOUD_HOST=127.0.0.1:<port> zentor
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "tools/cloudsim/CloudSim.h"
#include "tools/devsim/DeviceModel.h"

namespace {
volatile std::sig_atomic_t g_Stop = 0;
void OnSignal(int) { g_Stop = 1; }
}  // namespace

int main(int argc, char** argv) {
    const int port = argc > 1 ? std::atoi(argv[1]) : 10951;
    const std::string imei = argc > 2 ? argv[2] : "862000000000001";
    const std::string pass = argc > 3 ? argv[3] : "1234";
    const std::string link = "/tmp/cloudsim-device-" + std::to_string(::getpid());

    devsim::DevSim device(link);
    devsim::DeviceModel model(device);
    if (!device.Start()) {
        std::fprintf(stderr, "cloudsim: cannot start the simulated device\n");
        return 1;
    }
    cloudsim::CloudSim server;
    server.SetAccount(imei, pass, "admin");
    server.SetDevicePath(link);
    Json::Value status(Json::objectValue);
    status["csq"] = "20";
    status["fw"] = "40";
    status["hw"] = "11";
    status["connection"] = "1";
    server.SetStatus(status);
    if (!server.Start(port)) {
        std::fprintf(stderr, "cloudsim: cannot listen on port %d\n", port);
        return 1;
    }
    std::printf("cloudsim on 127.0.0.1:%d, device %s password %s\n", server.Port(), imei.c_str(), pass.c_str());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_Stop) ::pause();
    server.Stop();
    device.Stop();
    return 0;
}
