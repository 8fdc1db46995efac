// devsim: a simulated device on a pseudo-terminal, or dialling in over TCP.
//   devsim (--link PATH | --dial HOST:PORT) [--reply CC:HEX]... [--echo] [--pace BAUD]
//          [--bootloader] [--type HEX] [--small] [--admin N] [--manager N] [--imei TEXT]
//          [--no-prompt] [--config-out FILE] [--numbers N] [--events M]
// Publishes the pty at PATH (or dials in to the tool's local configuration server at
// HOST:PORT, its output split up by the pacing as a GPRS link splits it) and answers as a
// controller does (identify, password, status, reset; see DeviceModel.h), asking for its
// password after each identify unless told not to. Each --reply answers request frames
// with command CC (hex) by a reply frame carrying the data HEX instead. On a pty it answers
// at once, as the controller's USB port does; dialled in it is paced at 19200 baud, as a
// GPRS link is. --pace BAUD makes the line that slow both ways (0: not paced). The
// configuration record starts as a sample one (see ConfigModel.h); with --config-out each
// record the tool writes is saved to FILE, byte for byte. Its status is a working controller's, with the local clock as the network
// time. With --numbers and --events the device starts with N sample numbers and M sample
// events (see SampleContent.h) and keeps the pictures of the photograph events; it
// announces its log once a password has been accepted, as a device does when it has events
// to hand over.
// Runs until interrupted.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tools/devsim/BootloaderModel.h"
#include "tools/devsim/ConfigModel.h"
#include "tools/devsim/DevSim.h"
#include "tools/devsim/DeviceModel.h"
#include "tools/devsim/MemoryModel.h"
#include "tools/devsim/ReaderParamModel.h"
#include "tools/devsim/PhotoModel.h"
#include "tools/devsim/SampleContent.h"

namespace {

bool ParseHex(const std::string& s, devsim::Bytes& out) {
    if (s.size() % 2) return false;
    for (std::size_t i = 0; i < s.size(); i += 2) {
        char* end = nullptr;
        std::string two = s.substr(i, 2);
        long v = std::strtol(two.c_str(), &end, 16);
        if (*end) return false;
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: devsim (--link PATH | --dial HOST:PORT) [--reply CC:HEX]... [--echo]\n"
                         "              [--pace BAUD] [--bootloader] [--type HEX] [--small] [--admin N]\n"
                         "              [--manager N] [--imei TEXT] [--no-prompt] [--config-out FILE]\n"
                         "              [--numbers N] [--events M]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string link;
    std::string dial;
    bool echo = false;
    int pace = -1;  // not given
    std::vector<std::pair<std::uint8_t, devsim::Bytes>> replies;
    devsim::DeviceIdentity identity;
    unsigned admin = 1234, manager = 1111;
    std::string imei = "860000000000001";
    bool prompt = true;
    std::string configOut;
    std::size_t sampleNumbers = 0, sampleEvents = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--link" && i + 1 < argc) {
            link = argv[++i];
        } else if (a == "--dial" && i + 1 < argc) {
            dial = argv[++i];
        } else if (a == "--echo") {
            echo = true;
        } else if (a == "--pace" && i + 1 < argc) {
            pace = static_cast<int>(std::min<unsigned long>(std::strtoul(argv[++i], nullptr, 10), 4000000));
        } else if (a == "--bootloader") {
            identity.working = false;
        } else if (a == "--type" && i + 1 < argc) {
            identity.type = static_cast<std::uint8_t>(std::strtoul(argv[++i], nullptr, 16));
        } else if (a == "--small") {
            identity.capacityFlag = 16;
        } else if (a == "--admin" && i + 1 < argc) {
            admin = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--manager" && i + 1 < argc) {
            manager = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--imei" && i + 1 < argc) {
            imei = argv[++i];
        } else if (a == "--no-prompt") {
            prompt = false;
        } else if (a == "--config-out" && i + 1 < argc) {
            configOut = argv[++i];
        } else if (a == "--numbers" && i + 1 < argc) {
            sampleNumbers = std::min<std::size_t>(std::strtoul(argv[++i], nullptr, 10), 65535);
        } else if (a == "--events" && i + 1 < argc) {
            sampleEvents = std::min<std::size_t>(std::strtoul(argv[++i], nullptr, 10), 65535);
        } else if (a == "--reply" && i + 1 < argc) {
            std::string r = argv[++i];
            auto colon = r.find(':');
            devsim::Bytes cmd, data;
            if (colon == std::string::npos || !ParseHex(r.substr(0, colon), cmd) || cmd.size() != 1 ||
                !ParseHex(r.substr(colon + 1), data))
                return Usage();
            replies.emplace_back(cmd[0], data);
        } else {
            return Usage();
        }
    }
    const std::size_t colon = dial.rfind(':');
    if (link.empty() == dial.empty() || (!dial.empty() && colon == std::string::npos)) return Usage();

    // Signals are taken by sigwait below, not by the serving thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    devsim::DevSim sim(link);
    devsim::DeviceModel model(sim);
    model.SetIdentity(identity);
    model.SetPasswords(static_cast<std::uint16_t>(admin), static_cast<std::uint16_t>(manager));
    model.SetPromptAfterIdentify(prompt);
    const std::vector<devsim::Bytes> numbers = devsim::SampleNumbers(sampleNumbers);
    const devsim::TSampleLog log = devsim::SampleLog(sampleEvents, numbers);
    model.SetStatusRecord(devsim::DeviceModel::DemoStatusRecord(imei, identity.type, numbers.size()));
    model.SetNetworkTimeFromClock(true);
    devsim::ConfigModel config(model);
    devsim::MemoryModel memory(model, sim);  // empty unless samples are asked for
    devsim::BootloaderModel bootloader(model);
    devsim::ReaderParamModel readers(model);  // one RFID reader at address 0
    devsim::PhotoModel photo(model, sim);  // no picture: the camera announces an empty one
    config.SetRecord(devsim::ConfigModel::SampleRecord());
    if (!configOut.empty()) {
        config.SetOnRecordWritten([configOut](const devsim::Bytes& record) {
            if (FILE* f = std::fopen(configOut.c_str(), "wb")) {
                std::fwrite(record.data(), 1, record.size(), f);
                std::fclose(f);
            }
        });
    }
    memory.SetNumbers(numbers);
    memory.SetLog(log.Records);
    for (std::size_t k = 0; k < log.Photos.size(); ++k)
        photo.AddEventPicture("_" + log.Photos[k] + ".jpg", devsim::SamplePicture(k));
    for (auto& [cmd, data] : replies) sim.SetReply(cmd, data);
    sim.SetEcho(echo);
    const unsigned baud = pace >= 0 ? static_cast<unsigned>(pace) : dial.empty() ? 0 : devsim::kGprsPaceBaud;
    sim.SetPacing(baud);
    sim.SetInputPacing(baud);
    if (!dial.empty()) {
        if (!sim.Dial(dial.substr(0, colon), std::atoi(dial.c_str() + colon + 1))) {
            std::fprintf(stderr, "devsim: cannot dial in to %s: %s\n", dial.c_str(), std::strerror(errno));
            return 1;
        }
        std::printf("devsim: dialled in to %s; passwords: administrator %u, manager %u\n", dial.c_str(),
                    admin, manager);
    } else if (!sim.Start()) {
        std::fprintf(stderr, "devsim: cannot publish a pty at %s: %s\n", link.c_str(), std::strerror(errno));
        return 1;
    } else {
        std::printf("devsim: %s -> %s; passwords: administrator %u, manager %u\n", link.c_str(),
                    sim.DevicePath().c_str(), admin, manager);
    }
    std::fflush(stdout);
    // Waits for a stop signal; meanwhile hands over the log once someone has logged in.
    bool announced = log.Records.empty();
    const timespec tick = {0, 100 * 1000 * 1000};
    while (sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
        if (!announced && model.AccessLevel() != 0) {
            memory.AnnounceLog();
            announced = true;
        }
    }
    model.SetReplugDelayMs(-1);  // no restart after this point
    sim.Stop();
    return 0;
}
