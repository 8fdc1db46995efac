// readersim: a simulated desk RFID reader.
//   readersim --hid PATH [--tag HEX24]... [--every MS]
//       A USB-HID reader for the reader library stand-in: set ZENTOR_HID_READER=PATH for
//       the tool. While the library has it open, the tags are reported every MS ms
//       (default 1000) as one report.
//   readersim --serial LINK [--tag HEX24] [--silent]
//       A serial reader on a pty published at LINK, with the tag in the field (none without
//       --tag); --silent answers nothing.
// Runs until interrupted.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tools/readersim/HidReaderSim.h"
#include "tools/readersim/SerialReaderSim.h"

namespace {

volatile std::sig_atomic_t g_Stop = 0;
void OnSignal(int) { g_Stop = 1; }

bool ParseTid(const std::string& hex, TTid& tid) {
    if (hex.size() != 2 * tid.size()) return false;
    for (std::size_t i = 0; i < tid.size(); ++i) {
        char* end = nullptr;
        std::string two = hex.substr(2 * i, 2);
        long v = std::strtol(two.c_str(), &end, 16);
        if (*end) return false;
        tid[i] = static_cast<std::uint8_t>(v);
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: readersim --hid PATH [--tag HEX24]... [--every MS]\n"
                 "       readersim --serial LINK [--tag HEX24] [--silent]\n");
    return 2;
}

void Wait(unsigned ms) {
    for (unsigned waited = 0; waited < ms && !g_Stop; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace

int main(int argc, char** argv) {
    std::string hid, serial;
    std::vector<TTid> tags;
    unsigned every = 1000;
    bool silent = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--hid" && i + 1 < argc) {
            hid = argv[++i];
        } else if (a == "--serial" && i + 1 < argc) {
            serial = argv[++i];
        } else if (a == "--tag" && i + 1 < argc) {
            TTid t{};
            if (!ParseTid(argv[++i], t)) return Usage();
            tags.push_back(t);
        } else if (a == "--every" && i + 1 < argc) {
            every = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
            if (every == 0) return Usage();
        } else if (a == "--silent") {
            silent = true;
        } else {
            return Usage();
        }
    }
    if (hid.empty() == serial.empty()) return Usage();
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    if (!hid.empty()) {
        readersim::THidReaderSim sim(hid);
        if (!sim.Start()) {
            std::fprintf(stderr, "readersim: cannot listen at %s\n", hid.c_str());
            return 1;
        }
        std::printf("readersim: USB-HID reader at %s\n", hid.c_str());
        std::fflush(stdout);
        while (!g_Stop) {
            Wait(every);
            if (!tags.empty() && sim.Connected()) sim.SendTags(tags);
        }
        return 0;
    }
    readersim::TSerialReaderSim sim(serial);
    sim.SetAnswering(!silent);
    if (!tags.empty()) sim.SetTag(tags.front());
    if (!sim.Start()) {
        std::fprintf(stderr, "readersim: cannot publish a pty at %s\n", serial.c_str());
        return 1;
    }
    std::printf("readersim: serial reader at %s\n", serial.c_str());
    std::fflush(stdout);
    while (!g_Stop) Wait(200);
    return 0;
}
