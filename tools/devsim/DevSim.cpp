#include "tools/devsim/DevSim.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include "platform/comm/LineRate.h"

namespace devsim {
namespace {

constexpr std::size_t kMaxRecord = 1 << 20;  // a long-running simulator forgets old bytes

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

DevSim::DevSim(std::string linkPath) : FLinkPath(std::move(linkPath)) {
    FWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

DevSim::~DevSim() {
    Stop();
    if (FWake >= 0) close(FWake);
}

bool DevSim::Start() {
    std::lock_guard<std::mutex> g(FControl);
    return StartLocked();
}

void DevSim::Stop() {
    std::lock_guard<std::mutex> g(FControl);
    StopLocked();
}

void DevSim::Unplug() { Stop(); }

bool DevSim::Replug() { return Start(); }

bool DevSim::Dial(const std::string& address, int port) {
    std::lock_guard<std::mutex> g(FControl);
    StopLocked();
    FDialAddress = address;
    FDialPort = port;
    return StartLocked();
}

bool DevSim::HungUpByPeer() const {
    std::lock_guard<std::mutex> g(FLock);
    return FHungUp;
}

void DevSim::ResetConnection() {
    std::lock_guard<std::mutex> g(FControl);
    {
        std::lock_guard<std::mutex> l(FLock);
        const linger hard{1, 0};  // closing now sends a reset
        if (FDialPort != 0 && FMaster >= 0) setsockopt(FMaster, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    StopLocked();
}

bool DevSim::StartLocked() {
    if (Running()) return true;
    if (!(FDialPort != 0 ? Connect() : OpenPty())) return false;
    StartThread();
    return true;
}

void DevSim::StopLocked() {
    StopThread();
    ClosePty();
}

bool DevSim::Running() const {
    std::lock_guard<std::mutex> g(FLock);
    return FMaster >= 0;
}

std::string DevSim::DevicePath() const {
    std::lock_guard<std::mutex> g(FLock);
    return FSlavePath;
}

bool DevSim::OpenPty() {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return false;
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        close(master);
        return false;
    }
    // Our own hold on the device: without it the master sees a hang-up whenever the tool
    // closes the port. The line's modes are left as the pty made them (cooked).
    int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave < 0) {
        close(master);
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    unlink(FLinkPath.c_str());
    if (symlink(name, FLinkPath.c_str()) != 0) {
        close(slave);
        close(master);
        return false;
    }
    std::lock_guard<std::mutex> g(FLock);
    FMaster = master;
    FSlave = slave;
    FSlavePath = name;
    FScanner = FrameScanner();
    FOut.clear();
    FIn.clear();
    return true;
}

bool DevSim::Connect() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(FDialAddress.c_str(), std::to_string(FDialPort).c_str(), &hints, &found) != 0)
        return false;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) return false;
    // Each write its own segment, so paced output reaches the tool split up.
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    std::lock_guard<std::mutex> g(FLock);
    FMaster = fd;
    FSlave = -1;
    FSlavePath.clear();
    FHungUp = false;
    FScanner = FrameScanner();
    FOut.clear();
    FIn.clear();
    return true;
}

ssize_t DevSim::Put(int fd, const std::uint8_t* p, std::size_t n) {
    // A connection the tool has closed must not raise SIGPIPE.
    return FDialPort != 0 ? send(fd, p, n, MSG_NOSIGNAL) : write(fd, p, n);
}

void DevSim::ClosePty() {
    std::lock_guard<std::mutex> g(FLock);
    if (FMaster < 0) return;
    // The path goes first, as when a cable is pulled the port vanishes from the list.
    if (FDialPort == 0) unlink(FLinkPath.c_str());
    if (FSlave >= 0) close(FSlave);
    close(FMaster);
    FSlave = FMaster = -1;
    FSlavePath.clear();
    FOut.clear();
    FOutReleased = 0;
    FIn.clear();  // a request still on the line is lost with it
}

void DevSim::StartThread() {
    {
        std::lock_guard<std::mutex> g(FLock);
        FStopping = false;
    }
    FThread = std::thread([this] { Run(); });
}

void DevSim::StopThread() {
    if (!FThread.joinable()) return;
    {
        std::lock_guard<std::mutex> g(FLock);
        FStopping = true;
    }
    Wake();
    FThread.join();
}

void DevSim::Wake() {
    std::uint64_t one = 1;
    if (write(FWake, &one, sizeof one) < 0) { /* already pending */ }
}

void DevSim::Run() {
    double credit = 0, last = NowMs();
    for (;;) {
        int master;
        bool pending, paced;
        int timeout = ReleaseInput();
        {
            std::lock_guard<std::mutex> g(FLock);
            if (FStopping) return;
            master = FHungUp ? -1 : FMaster;  // poll() passes over a negative descriptor
            paced = FPaceBaud > 0;
            double now = NowMs();
            if (FOut.empty() || FOutPaused) {
                credit = 0;
            } else if (paced) {
                double perMs = FPaceBaud / 10.0 / 1000.0;
                credit = std::min(credit + (now - last) * perMs, std::max(1.0, perMs * 10));
            }
            last = now;
            std::size_t budget = paced ? static_cast<std::size_t>(credit) : FOut.size();
            budget = FOutPaused ? 0 : std::min(budget, FOut.size());
            if (FOutHeld) budget = std::min(budget, FOutReleased);
            if (budget > 0 && master >= 0) {
                ssize_t n = Put(master, FOut.data(), budget);
                if (n > 0) {
                    FOut.erase(FOut.begin(), FOut.begin() + n);
                    if (paced) credit -= static_cast<double>(n);
                    if (FOutHeld) FOutReleased -= static_cast<std::size_t>(n);
                    FSent += static_cast<std::uint64_t>(n);
                    FSentAt.emplace_back(now, FSent);
                    while (FSentAt.size() > 1 && FSentAt.front().first < now - 2000) {
                        FSentLongAgo = FSentAt.front().second;
                        FSentAt.pop_front();
                    }
                }
            }
            pending = !FOut.empty() && !FOutPaused && (!FOutHeld || FOutReleased > 0);
            if (pending && paced) {
                double perMs = FPaceBaud / 10.0 / 1000.0;
                int wait = std::max(1, static_cast<int>((1.0 - credit) / perMs + 0.999));
                timeout = timeout < 0 ? wait : std::min(timeout, wait);
            }
        }
        pollfd p[2] = {{master, static_cast<short>(POLLIN | (pending && !paced ? POLLOUT : 0)), 0},
                       {FWake, POLLIN, 0}};
        poll(p, 2, timeout);
        if (p[1].revents) {
            std::uint64_t v;
            while (read(FWake, &v, sizeof v) > 0) {}
        }
        if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const bool any = ReadLine(master);
            // A master with no reader behind it reports a hang-up; do not spin on it.
            if (!any && (p[0].revents & (POLLHUP | POLLERR))) poll(nullptr, 0, 10);
        }
    }
}

bool DevSim::ReadLine(int fd) {
    std::uint8_t buf[4096];
    bool any = false;
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            any = true;
            {
                std::lock_guard<std::mutex> g(FLock);
                if (FInPaceBaud > 0) {
                    // The bytes cross the line one after the other, after what is still on it.
                    FInFree = std::max(FInFree, NowMs()) + static_cast<double>(n) * 10000.0 / FInPaceBaud;
                    FIn.emplace_back(FInFree, Bytes(buf, buf + n));
                    continue;
                }
            }
            OnReceived(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (FDialPort != 0 && (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))) {
            std::lock_guard<std::mutex> g(FLock);
            FHungUp = true;
            FOut.clear();  // nowhere to send it now
            any = true;
        }
        return any;
    }
}

int DevSim::ReleaseInput() {
    for (;;) {
        Bytes due;
        {
            std::lock_guard<std::mutex> g(FLock);
            if (FIn.empty()) return -1;
            const double left = FIn.front().first - NowMs();
            if (left > 0) return std::max(1, static_cast<int>(left + 0.999));
            due = std::move(FIn.front().second);
            FIn.pop_front();
        }
        OnReceived(due.data(), due.size());
    }
}

void DevSim::OnReceived(const std::uint8_t* p, std::size_t n) {
    std::vector<Frame> frames;
    {
        std::lock_guard<std::mutex> g(FLock);
        FReceived.insert(FReceived.end(), p, p + n);
        if (FReceived.size() > kMaxRecord)
            FReceived.erase(FReceived.begin(), FReceived.end() - kMaxRecord / 2);
        if (FEcho) FOut.insert(FOut.end(), p, p + n);
        frames = FScanner.Feed(p, n);
        FFrames.insert(FFrames.end(), frames.begin(), frames.end());
    }
    for (const Frame& f : frames) {
        ReplyHandler handler;
        {
            std::lock_guard<std::mutex> g(FLock);
            auto it = FHandlers.find(f.command);
            if (it != FHandlers.end()) handler = it->second;
        }
        if (!handler) continue;
        Bytes reply = handler(f);
        std::lock_guard<std::mutex> g(FLock);
        FOut.insert(FOut.end(), reply.begin(), reply.end());
    }
}

void DevSim::SetHandler(std::uint8_t command, ReplyHandler handler) {
    std::lock_guard<std::mutex> g(FLock);
    FHandlers[command] = std::move(handler);
}

void DevSim::SetReply(std::uint8_t command, Bytes data) {
    SetHandler(command, [command, data = std::move(data)](const Frame&) { return BuildReply(command, data); });
}

void DevSim::ClearHandlers() {
    std::lock_guard<std::mutex> g(FLock);
    FHandlers.clear();
}

void DevSim::SetEcho(bool on) {
    std::lock_guard<std::mutex> g(FLock);
    FEcho = on;
}

void DevSim::SetPacing(unsigned baud) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FPaceBaud = baud;
    }
    Wake();
}

void DevSim::SetInputPacing(unsigned baud) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FInPaceBaud = baud;
    }
    Wake();
}

void DevSim::PauseOutput(bool paused) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FOutPaused = paused;
    }
    Wake();
}

void DevSim::HoldOutput(bool held) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FOutHeld = held;
        FOutReleased = 0;
    }
    Wake();
}

void DevSim::ReleaseOutput(std::size_t n) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FOutReleased = std::max(FOutReleased + n, FOut.size());
    }
    Wake();
}

std::size_t DevSim::ReleasedPending() const {
    std::lock_guard<std::mutex> g(FLock);
    return FOutHeld ? std::min(FOutReleased, FOut.size()) : FOut.size();
}

std::uint64_t DevSim::SentBefore(double agoMs) const {
    std::lock_guard<std::mutex> g(FLock);
    const double t = NowMs() - agoMs;
    for (auto it = FSentAt.rbegin(); it != FSentAt.rend(); ++it)
        if (it->first <= t) return it->second;
    return FSentLongAgo;
}

std::uint64_t DevSim::SentCount() const {
    std::lock_guard<std::mutex> g(FLock);
    return FSent;
}

void DevSim::Send(const Bytes& bytes) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FOut.insert(FOut.end(), bytes.begin(), bytes.end());
    }
    Wake();
}

std::size_t DevSim::PendingOutput() const {
    std::lock_guard<std::mutex> g(FLock);
    return FOut.size();
}

Bytes DevSim::Received() const {
    std::lock_guard<std::mutex> g(FLock);
    return FReceived;
}

std::size_t DevSim::ReceivedCount() const {
    std::lock_guard<std::mutex> g(FLock);
    return FReceived.size();
}

std::vector<Frame> DevSim::Frames() const {
    std::lock_guard<std::mutex> g(FLock);
    return FFrames;
}

std::size_t DevSim::FrameCount() const {
    std::lock_guard<std::mutex> g(FLock);
    return FFrames.size();
}

void DevSim::ClearRecord() {
    std::lock_guard<std::mutex> g(FLock);
    FReceived.clear();
    FFrames.clear();
}

LineSettings DevSim::Line() const {
    std::lock_guard<std::mutex> g(FLock);
    LineSettings s;
    termios tio{};
    if (FSlave < 0 || tcgetattr(FSlave, &tio) != 0) return s;
    comm::GetLineRate(FSlave, s.baud);
    switch (tio.c_cflag & CSIZE) {
        case CS5: s.dataBits = 5; break;
        case CS6: s.dataBits = 6; break;
        case CS7: s.dataBits = 7; break;
        default: s.dataBits = 8; break;
    }
    if (tio.c_cflag & PARENB) {
        bool odd = tio.c_cflag & PARODD;
        s.parity = (tio.c_cflag & CMSPAR) ? (odd ? 'M' : 'S') : (odd ? 'O' : 'E');
    }
    s.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    s.raw = !(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) && !(tio.c_oflag & OPOST) &&
            !(tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
    s.rtsCts = tio.c_cflag & CRTSCTS;
    s.xonXoff = tio.c_iflag & (IXON | IXOFF);
    return s;
}

}  // namespace devsim
