// updatesim: the update server and the file server on loopback.
//   updatesim [--update-port N] [--file-port N] [--fw-reply TEXT] [--tool-reply TEXT]
//             [--file NAME=PATH]... [--piece BYTES]
// Each --file serves the local file PATH under NAME. Prints the two ports and runs until
// interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/updatesim/UpdateSim.h"

namespace {
int Usage() {
    std::fprintf(stderr, "usage: updatesim [--update-port N] [--file-port N] [--fw-reply TEXT]\n"
                         "                 [--tool-reply TEXT] [--file NAME=PATH]... [--piece BYTES]\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    updatesim::UpdateSim sim;
    int updatePort = 10500, filePort = 10501;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        const std::string v = argv[++i];
        if (a == "--update-port") {
            updatePort = std::atoi(v.c_str());
        } else if (a == "--file-port") {
            filePort = std::atoi(v.c_str());
        } else if (a == "--fw-reply") {
            sim.SetFirmwareReply(v);
        } else if (a == "--tool-reply") {
            sim.SetToolReply(v);
        } else if (a == "--piece") {
            sim.SetPieceSize(static_cast<std::size_t>(std::strtoul(v.c_str(), nullptr, 10)));
        } else if (a == "--file") {
            const auto eq = v.find('=');
            if (eq == std::string::npos) return Usage();
            std::ifstream in(v.substr(eq + 1), std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "updatesim: cannot read %s\n", v.substr(eq + 1).c_str());
                return 1;
            }
            sim.AddFile(v.substr(0, eq), updatesim::Bytes(std::istreambuf_iterator<char>(in), {}));
        } else {
            return Usage();
        }
    }
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    if (!sim.Start(updatePort, filePort)) {
        std::fprintf(stderr, "updatesim: cannot listen on ports %d and %d\n", updatePort, filePort);
        return 1;
    }
    std::printf("updatesim: update server 127.0.0.1:%d, file server 127.0.0.1:%d\n", sim.UpdatePort(),
                sim.FilePort());
    std::fflush(stdout);
    int sig = 0;
    sigwait(&stopSignals, &sig);
    sim.Stop();
    return 0;
}
