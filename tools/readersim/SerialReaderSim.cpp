#include "tools/readersim/SerialReaderSim.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace readersim {

namespace {
constexpr std::size_t kMaxKept = 64 * 1024;
}

std::vector<std::uint8_t> ReaderInformationReply() {
    // Status, firmware version 3.1, reader type, protocols, frequency band limits, power,
    // inventory time.
    return BuildReaderFrame(0, kReaderCmdInformation, {0x00, 0x03, 0x01, 0x09, 0x03, 0x4E, 0x00, 0x1E, 0x0A});
}

std::vector<std::uint8_t> TidReply(const TTid& tid) {
    std::vector<std::uint8_t> data{0x00};
    data.insert(data.end(), tid.begin(), tid.end());
    return BuildReaderFrame(0, kReaderCmdTidRead, data);
}

std::vector<std::uint8_t> NoTagReply() { return BuildReaderFrame(0, kReaderCmdTidRead, {0x01}); }

TSerialReaderSim::TSerialReaderSim(std::string linkPath) : FLinkPath(std::move(linkPath)) {}

TSerialReaderSim::~TSerialReaderSim() { Stop(); }

bool TSerialReaderSim::Start() {
    if (FThread.joinable()) return true;
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return false;
    char name[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return false;
    }
    // Held open so that the tool closing its side is no hang-up for us.
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave < 0) {
        ::close(master);
        return false;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::unlink(FLinkPath.c_str());
    if (::symlink(name, FLinkPath.c_str()) != 0) {
        ::close(slave);
        ::close(master);
        return false;
    }
    FMaster = master;
    FSlave = slave;
    FWake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    FThread = std::thread([this] { Serve(); });
    return true;
}

void TSerialReaderSim::Stop() {
    if (!FThread.joinable()) return;
    std::uint64_t one = 1;
    (void)!::write(FWake, &one, sizeof one);
    FThread.join();
    ::unlink(FLinkPath.c_str());
    ::close(FSlave);
    ::close(FMaster);
    ::close(FWake);
    FSlave = FMaster = FWake = -1;
}

void TSerialReaderSim::SetAnswering(bool on) {
    std::lock_guard<std::mutex> g(FLock);
    FAnswering = on;
}

void TSerialReaderSim::SetTag(std::optional<TTid> tid) {
    std::lock_guard<std::mutex> g(FLock);
    FTag = tid;
}

int TSerialReaderSim::InformationRequests() const {
    std::lock_guard<std::mutex> g(FLock);
    return FInfo;
}

int TSerialReaderSim::TidReads() const {
    std::lock_guard<std::mutex> g(FLock);
    return FTid;
}

int TSerialReaderSim::OtherFrames() const {
    std::lock_guard<std::mutex> g(FLock);
    return FOther;
}

std::vector<std::uint8_t> TSerialReaderSim::Received() const {
    std::lock_guard<std::mutex> g(FLock);
    return FReceived;
}

void TSerialReaderSim::Serve() {
    for (;;) {
        pollfd p[2] = {{FMaster, POLLIN, 0}, {FWake, POLLIN, 0}};
        int n = ::poll(p, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (p[1].revents) return;
        if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        std::uint8_t buf[1024];
        bool any = false;
        for (;;) {
            ssize_t r = ::read(FMaster, buf, sizeof buf);
            if (r > 0) {
                OnBytes(buf, static_cast<std::size_t>(r));
                any = true;
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            break;
        }
        if (!any && (p[0].revents & (POLLHUP | POLLERR))) ::poll(nullptr, 0, 10);  // no spin
    }
}

void TSerialReaderSim::OnBytes(const std::uint8_t* p, std::size_t n) {
    std::vector<std::vector<std::uint8_t>> replies;
    {
        std::lock_guard<std::mutex> g(FLock);
        FReceived.insert(FReceived.end(), p, p + n);
        if (FReceived.size() > kMaxKept) FReceived.erase(FReceived.begin(), FReceived.end() - kMaxKept / 2);
        FIn.insert(FIn.end(), p, p + n);
        while (!FIn.empty()) {
            std::size_t len = FIn[0];
            if (len + 1 < kReaderFrameOverhead) {  // cannot be a frame: look one byte further
                FIn.erase(FIn.begin());
                ++FOther;
                continue;
            }
            if (FIn.size() < len + 1) break;
            auto frame = ParseReaderFrame(FIn.data(), FIn.size());
            if (!frame) {  // a damaged frame goes whole, as the reader drops it
                FIn.erase(FIn.begin(), FIn.begin() + static_cast<std::ptrdiff_t>(len + 1));
                ++FOther;
                continue;
            }
            if (frame->Cmd == kReaderCmdInformation) {
                ++FInfo;
                if (FAnswering) replies.push_back(ReaderInformationReply());
            } else if (frame->Cmd == kReaderCmdTidRead) {
                ++FTid;
                if (FAnswering) replies.push_back(FTag ? TidReply(*FTag) : NoTagReply());
            } else {
                ++FOther;
            }
            FIn.erase(FIn.begin(), FIn.begin() + static_cast<std::ptrdiff_t>(len + 1));
        }
    }
    for (const auto& r : replies) Write(r);
}

bool TSerialReaderSim::SendRaw(const std::vector<std::uint8_t>& bytes) { return Write(bytes); }

bool TSerialReaderSim::Write(const std::vector<std::uint8_t>& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        ssize_t w = ::write(FMaster, bytes.data() + at, bytes.size() - at);
        if (w > 0) {
            at += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno == EAGAIN) {
            pollfd q{FMaster, POLLOUT, 0};
            ::poll(&q, 1, 100);
            continue;
        }
        return false;
    }
    return true;
}

}  // namespace readersim
