// Round trip of a 512-byte block through the serial component and a pty to the simulated
// device, which echoes it: write, then collect the echo through character events.
//   bench_serial_echo [rounds]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/sys/GuiThread.h"
#include "tools/bench/BenchLink.h"

namespace {

constexpr int kBlock = 512;

const char* ModeName(TSyncMethod m) {
    switch (m) {
        case smThreadSync: return "thread hand-over";
        case smWindowSync: return "queued hand-over";
        case smNone: return "event thread";
    }
    return "";
}

void Run(const std::string& link, TSyncMethod mode, int rounds) {
    devsim::DevSim sim(link);
    sim.SetEcho(true);
    if (!bench::StartDevice(sim)) return;
    TSerialPort port(nullptr);
    bench::AimPort(port, sim);
    port.SetEvents({evRxChar});
    port.SetSyncMethod(mode);
    port.GetBuffer()->SetInputSize(4096);
    std::atomic<int> got{0};
    std::vector<std::uint8_t> in(kBlock * 2);
    port.OnRxChar = [&](TObject*, int count) {
        int room = static_cast<int>(in.size()) - got;
        got += port.Read(in.data() + got, std::min(count, room));
    };
    port.Open();
    std::vector<std::uint8_t> out(kBlock);
    for (int i = 0; i < kBlock; ++i) out[i] = static_cast<std::uint8_t>(i * 7 + 3);
    std::vector<double> ms;
    int bad = 0;
    for (int r = 0; r < rounds; ++r) {
        got = 0;
        auto start = std::chrono::steady_clock::now();
        port.Write(out.data(), kBlock);
        auto limit = start + std::chrono::seconds(5);
        // Spins, so that the figure is the line's and not a wait's granularity.
        while (got < kBlock && std::chrono::steady_clock::now() < limit) {
            sys::ServeGuiCalls();
            std::this_thread::yield();
        }
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (got != kBlock || !std::equal(out.begin(), out.end(), in.begin())) ++bad;
    }
    port.Close();
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("%-18s rounds %d  min %.3f ms  median %.3f ms  mean %.3f ms  max %.3f ms  mismatched %d\n",
                ModeName(mode), rounds, ms.front(), ms[ms.size() / 2], sum / ms.size(), ms.back(), bad);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    sys::SetGuiThread();
    std::string link = "/tmp/zentor-bench-" + std::to_string(getpid());
    std::printf("512-byte echo round trip through a pty\n");
    for (TSyncMethod m : {smThreadSync, smWindowSync, smNone}) Run(link, m, rounds);
    return 0;
}
