// Throughput of the stream reader that serves the cloud session and the local configuration
// server, fed as the socket handlers feed it (slices of one read event, or the small reads of
// a trickling peer): false frame headers, which a peer can send to make every position a
// candidate frame, and valid frames as a device sends them.
//   bench_stream_reader [MiB]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cloud/CloudStreamReader.h"
#include "device/DeviceFrame.h"
#include "tools/devsim/DevFrame.h"

namespace {

std::string ReplyFrame(std::uint8_t command, const std::string& data) {
    const devsim::Bytes frame = devsim::BuildReply(command, devsim::Bytes(data.begin(), data.end()));
    return std::string(frame.begin(), frame.end());
}

std::string Repeated(const std::string& unit, std::size_t size) {
    std::string s;
    s.reserve(size + unit.size());
    while (s.size() < size) s += unit;
    return s;
}

struct TRun {
    double MBps = 0;
    std::size_t Frames = 0, Replies = 0;
};

TRun Feed(const std::string& stream, std::size_t slice) {
    TRun run;
    TCloudStreamReader reader;
    reader.OnFrame = [&](const std::uint8_t*, std::size_t) { ++run.Frames; };
    reader.OnReply = [&](const std::string&, bool) { ++run.Replies; };
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t at = 0; at < stream.size(); at += slice)
        reader.Feed(bytes + at, std::min<std::size_t>(slice, stream.size() - at));
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.MBps = static_cast<double>(stream.size()) / (1 << 20) / s;
    // The headers the stream ends with are given up by the clock, and the reply after them read.
    for (std::size_t t = 0; t < kStreamHeldTicks; ++t) reader.Tick();
    return run;
}

// The median of three runs.
TRun Measure(const std::string& stream, std::size_t slice = kStreamReadSlice) {
    std::vector<TRun> runs = {Feed(stream, slice), Feed(stream, slice), Feed(stream, slice)};
    std::sort(runs.begin(), runs.end(), [](const TRun& a, const TRun& b) { return a.MBps < b.MBps; });
    return runs[1];
}

void Print(const char* what, const TRun& run) {
    std::printf("  %-52s %8.1f MB/s  (%zu frames, %zu replies)\n", what, run.MBps, run.Frames, run.Replies);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::size_t size = mib << 20;
    const std::string reply = "{\"data\":\"ok\",\"response\":\"defrag\"}\n\r";
    std::string numbers;  // a block of 31 number records and a status record, as a session reads them
    for (int i = 0; i < 31 * 64; ++i) numbers += static_cast<char>(i * 37 + 11);
    const std::string frames = ReplyFrame(CmdReadNumbers, numbers) + ReplyFrame(CmdReadStatus, std::string(150, '\x20'));

    std::printf("Stream reader, %zu MiB fed in reads of %d KiB (MB = MiB):\n", mib, kStreamReadSlice >> 10);
    Print("false headers: tag and a 4 KB length (6 bytes each)",
          Measure(Repeated(std::string("SLMX\xF8\x0F", 6), size) + reply));
    Print("false headers with the reply marker (8 bytes each)",
          Measure(Repeated(std::string("SLMX\xF8\x0F\x55\x22", 8), size) + reply));
    Print("valid frames (2 KB number blocks, status records)", Measure(Repeated(frames, size) + reply));
    // A peer also chooses how its bytes are cut: a held header is looked at once a read.
    Print("false headers with the marker, in reads of 100 bytes",
          Measure(Repeated(std::string("SLMX\xF8\x0F\x55\x22", 8), size) + reply, 100));
    return 0;
}
