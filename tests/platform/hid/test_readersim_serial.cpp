// The serial desk reader simulator, driven as the tool drives it: raw line, information
// probe, TID reads with and without a tag, bytes laid out by hand.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "support/TestSupport.h"
#include "tools/readersim/SerialReaderSim.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Line {
    int fd = -1;
    explicit Line(const std::string& path) {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return;
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    ~Line() {
        if (fd >= 0) ::close(fd);
    }
    void Send(const Bytes& b) { ASSERT_EQ(::write(fd, b.data(), b.size()), static_cast<ssize_t>(b.size())); }
    // Reads until want bytes came or the bound ran out.
    Bytes Read(std::size_t want, int boundMs = 3000) {
        Bytes out;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
        while (out.size() < want && std::chrono::steady_clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 20);
            std::uint8_t buf[256];
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) out.insert(out.end(), buf, buf + n);
        }
        return out;
    }
};

const TTid kTag{0xE2, 0x80, 0x11, 0x05, 0x20, 0x00, 0x7A, 0x3C, 0x9F, 0x1D, 0x4E, 0xB6};

}  // namespace

TEST(SerialReaderSim, AnswersProbeAndTidReadsByteForByte) {
    std::string link = testsupport::TempDir("readersim") + "/reader";
    readersim::TSerialReaderSim sim(link);
    ASSERT_TRUE(sim.Start());
    Line line(link);
    ASSERT_GE(line.fd, 0);

    line.Send({0x04, 0x00, 0x21, 0xD9, 0x6A});
    EXPECT_EQ(line.Read(14), (Bytes{0x0D, 0x00, 0x21, 0x00, 0x03, 0x01, 0x09, 0x03, 0x4E, 0x00, 0x1E, 0x0A, 0xE8, 0xA0}));

    // No tag in the field: status 1.
    line.Send(TidReadRequest());
    EXPECT_EQ(line.Read(6), (Bytes{0x05, 0x00, 0x02, 0x01, 0x4F, 0x4F}));

    sim.SetTag(kTag);
    line.Send(TidReadRequest());
    EXPECT_EQ(line.Read(18), (Bytes{0x11, 0x00, 0x02, 0x00, 0xE2, 0x80, 0x11, 0x05, 0x20, 0x00, 0x7A, 0x3C,
                                    0x9F, 0x1D, 0x4E, 0xB6, 0xCE, 0x9F}));
    EXPECT_EQ(sim.InformationRequests(), 1);
    EXPECT_EQ(sim.TidReads(), 2);
}

TEST(SerialReaderSim, SplitRequestsBadCrcAndSilence) {
    std::string link = testsupport::TempDir("readersim2") + "/reader";
    readersim::TSerialReaderSim sim(link);
    ASSERT_TRUE(sim.Start());
    Line line(link);
    ASSERT_GE(line.fd, 0);

    // A bad CRC is skipped; a request in two writes is still answered.
    line.Send({0x04, 0x00, 0x21, 0xD9, 0x6B});
    line.Send({0x04, 0x00});
    testsupport::Pump(20);
    line.Send({0x21, 0xD9, 0x6A});
    Bytes reply = line.Read(14);
    ASSERT_EQ(reply.size(), 14u);
    EXPECT_EQ(reply[2], 0x21);
    EXPECT_GE(sim.OtherFrames(), 1);
    EXPECT_EQ(sim.InformationRequests(), 1);

    sim.SetAnswering(false);
    line.Send({0x04, 0x00, 0x21, 0xD9, 0x6A});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return sim.InformationRequests() == 2; }));
    EXPECT_TRUE(line.Read(1, 100).empty());
    sim.Stop();
    EXPECT_NE(::access(link.c_str(), F_OK), 0) << "the link goes with the reader";
}
