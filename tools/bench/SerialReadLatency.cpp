// How long a blocking one-byte read takes past the byte's arrival. The read waits with a
// 1000 ms time-out; the simulated device sends the byte 0 to 3 ms after the call, with and
// without the port's event thread running beside the read.
//   bench_serial_read_latency [reads]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/sys/GuiThread.h"
#include "tools/bench/BenchLink.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Run(const std::string& link, bool eventThread, int reads) {
    devsim::DevSim sim(link);
    if (!bench::StartDevice(sim)) return;
    TSerialPort port(nullptr);
    bench::AimPort(port, sim);
    port.SetEvents(eventThread ? TSerialEvents{evRxChar} : TSerialEvents{});
    port.GetTimeouts()->SetReadInterval(0);
    port.GetTimeouts()->SetReadTotalC(1000);
    port.Open();

    // The sender waits for each read to begin, then sends after a random 0-3 ms.
    std::atomic<int> go{0};
    std::atomic<bool> quit{false};
    // When each byte left, as the sender's clock saw it (0: not yet); read on this thread.
    std::vector<std::atomic<Clock::rep>> sentAt(static_cast<std::size_t>(reads));
    std::thread sender([&] {
        std::mt19937 rnd(7);
        for (int i = 0; i < reads && !quit; ++i) {
            while (go.load() <= i && !quit) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::microseconds(rnd() % 3001));
            sentAt[static_cast<std::size_t>(i)] = Clock::now().time_since_epoch().count();
            sim.Send({static_cast<std::uint8_t>(i)});
        }
    });
    std::vector<double> late;
    int missing = 0;
    for (int i = 0; i < reads; ++i) {
        char c = 0;
        go = i + 1;
        int n = port.Read(&c, 1);
        const Clock::time_point back = Clock::now();
        if (n != 1) {
            ++missing;
            // The byte may still be on its way: take it before the next read.
            while (port.InputCount() == 0 && Clock::now() - back < std::chrono::seconds(1)) std::this_thread::yield();
            port.Read(&c, 1);
        }
        const Clock::rep sent = sentAt[static_cast<std::size_t>(i)].load();
        if (sent != 0) late.push_back(std::max(0.0, Ms(back - Clock::time_point(Clock::duration(sent)))));
        sys::ServeGuiCalls();  // the event thread's hand-over of the same byte
    }
    quit = true;
    sender.join();
    port.Close();
    if (late.empty()) return;
    std::sort(late.begin(), late.end());
    const auto over = std::count_if(late.begin(), late.end(), [](double v) { return v > 200; });
    std::printf("%-20s reads %d  median %.3f ms  p99 %.3f ms  worst %.3f ms  over 200 ms %d  no byte %d\n",
                eventThread ? "with event thread" : "without event thread", reads, late[late.size() / 2],
                late[std::min(late.size() - 1, late.size() * 99 / 100)], late.back(), static_cast<int>(over),
                missing);
}

}  // namespace

int main(int argc, char** argv) {
    int reads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 400;
    sys::SetGuiThread();
    std::string link = "/tmp/zentor-bench-read-" + std::to_string(getpid());
    std::printf("blocking one-byte read, 1000 ms time-out: time from the byte's sending to the read's return\n");
    for (bool thread : {true, false}) Run(link, thread, reads);
    return 0;
}
