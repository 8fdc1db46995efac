#include "tools/readersim/HidReaderSim.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/hid/HidWire.h"

namespace readersim {

std::vector<std::uint8_t> HidTagRecord(const TTid& tid) {
    std::vector<std::uint8_t> r{17, 0x01, 0x0C};
    r.insert(r.end(), tid.begin(), tid.end());
    r.insert(r.end(), {0xC8, 0x00, 0x00});
    return r;
}

THidReaderSim::THidReaderSim(std::string socketPath) : FPath(std::move(socketPath)) {}

THidReaderSim::~THidReaderSim() { Stop(); }

bool THidReaderSim::Start() {
    if (FThread.joinable()) return true;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (FPath.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, FPath.c_str(), FPath.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ::unlink(FPath.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return false;
    }
    FListen = fd;
    FWake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    FThread = std::thread([this] { Serve(); });
    return true;
}

void THidReaderSim::Stop() {
    if (!FThread.joinable()) return;
    std::uint64_t one = 1;
    (void)!::write(FWake, &one, sizeof one);
    FThread.join();
    std::lock_guard<std::mutex> g(FLock);
    if (FClient >= 0) ::close(FClient);
    FClient = -1;
    ::close(FListen);
    ::close(FWake);
    FListen = FWake = -1;
    ::unlink(FPath.c_str());
}

bool THidReaderSim::Connected() const {
    std::lock_guard<std::mutex> g(FLock);
    return FClient >= 0;
}

int THidReaderSim::Opens() const {
    std::lock_guard<std::mutex> g(FLock);
    return FOpens;
}

std::vector<std::array<std::int32_t, 3>> THidReaderSim::Params() const {
    std::lock_guard<std::mutex> g(FLock);
    return FParams;
}

bool THidReaderSim::SendReport(std::int32_t kind, std::int32_t count, const std::vector<std::uint8_t>& data) {
    hidwire::TReport r{kind, count, data};
    return SendRaw(hidwire::EncodeReport(r));
}

bool THidReaderSim::SendTags(const std::vector<TTid>& tags) {
    std::vector<std::uint8_t> data;
    for (const TTid& t : tags) {
        auto rec = HidTagRecord(t);
        data.insert(data.end(), rec.begin(), rec.end());
    }
    return SendReport(2, static_cast<std::int32_t>(tags.size()), data);
}

bool THidReaderSim::SendRaw(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard<std::mutex> g(FLock);
    if (FClient < 0) return false;
    std::size_t at = 0;
    while (at < bytes.size()) {
        ssize_t n = ::send(FClient, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

void THidReaderSim::Unplug() {
    // Shut, not closed: the serving thread may be waiting on the descriptor; it sees the end
    // and closes it itself.
    std::lock_guard<std::mutex> g(FLock);
    if (FClient >= 0) ::shutdown(FClient, SHUT_RDWR);
}

void THidReaderSim::DropClient() {
    std::lock_guard<std::mutex> g(FLock);
    if (FClient >= 0) ::close(FClient);
    FClient = -1;
    FIn.clear();
}

void THidReaderSim::Serve() {
    for (;;) {
        int client;
        {
            std::lock_guard<std::mutex> g(FLock);
            client = FClient;
        }
        pollfd p[3] = {{FWake, POLLIN, 0}, {FListen, POLLIN, 0}, {client, POLLIN, 0}};
        int n = ::poll(p, client >= 0 ? 3 : 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (p[0].revents) return;
        if (p[1].revents & POLLIN) {
            int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                DropClient();  // the library opened the reader again
                std::lock_guard<std::mutex> g(FLock);
                FClient = fd;
                ++FOpens;
            }
            continue;
        }
        if (client >= 0 && p[2].revents) {
            std::uint8_t buf[512];
            ssize_t r = ::read(client, buf, sizeof buf);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) {
                DropClient();
                continue;
            }
            OnBytes(buf, static_cast<std::size_t>(r));
        }
    }
}

void THidReaderSim::OnBytes(const std::uint8_t* p, std::size_t n) {
    std::lock_guard<std::mutex> g(FLock);
    FIn.insert(FIn.end(), p, p + n);
    while (FIn.size() >= hidwire::kHeaderSize) {
        auto len = hidwire::PayloadLength(FIn.data());
        if (!len) {
            FIn.clear();  // out of step: start again with the next message
            return;
        }
        if (FIn.size() < hidwire::kHeaderSize + *len) return;
        if (FIn[0] == hidwire::kParam) {
            if (auto v = hidwire::DecodeParam(FIn.data() + hidwire::kHeaderSize, *len))
                FParams.push_back({(*v)[0], (*v)[1], (*v)[2]});
        }
        FIn.erase(FIn.begin(), FIn.begin() + static_cast<std::ptrdiff_t>(hidwire::kHeaderSize + *len));
    }
}

}  // namespace readersim
