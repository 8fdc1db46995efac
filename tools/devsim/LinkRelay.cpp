#include "tools/devsim/LinkRelay.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace devsim {
namespace {

constexpr std::uint8_t kTag[4] = {'S', 'L', 'M', 'X'};
constexpr std::size_t kMaxBody = 8192;

void Prepare(int fd) {
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

int Dial(const std::string& host, int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1) return -1;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    Prepare(fd);
    return fd;
}

}  // namespace

LinkRelay::LinkRelay(std::string host, int port) : FHost(std::move(host)), FTargetPort(port) {}

LinkRelay::~LinkRelay() {
    if (FThread.joinable()) {
        {
            std::lock_guard<std::mutex> g(FLock);
            FStopping = true;
        }
        Wake();
        FThread.join();
    }
    CloseLink();
    if (FListen >= 0) close(FListen);
    if (FWake >= 0) close(FWake);
}

bool LinkRelay::Start() {
    FWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (FWake < 0 || FListen < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (bind(FListen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(FListen, 4) != 0 ||
        getsockname(FListen, reinterpret_cast<sockaddr*>(&a), &n) != 0)
        return false;
    FPort = ntohs(a.sin_port);
    FThread = std::thread([this] { Run(); });
    return true;
}

void LinkRelay::SetRule(Way way, FrameRule rule) {
    std::lock_guard<std::mutex> g(FLock);
    FWay[way].rule = std::move(rule);
}

void LinkRelay::Hold(Way way) {
    std::lock_guard<std::mutex> g(FLock);
    FWay[way].hold = true;
}

void LinkRelay::Release(Way way) {
    {
        std::lock_guard<std::mutex> g(FLock);
        Direction& d = FWay[way];
        d.hold = false;
        d.out.insert(d.out.end(), d.kept.begin(), d.kept.end());
        d.kept.clear();
        d.held.clear();
    }
    Wake();
}

std::size_t LinkRelay::Held(Way way, std::uint8_t command) const {
    std::lock_guard<std::mutex> g(FLock);
    const auto it = FWay[way].held.find(command);
    return it == FWay[way].held.end() ? 0 : it->second;
}

void LinkRelay::Lag(Way way, int ms) {
    {
        std::lock_guard<std::mutex> g(FLock);
        FWay[way].lag = std::chrono::milliseconds(ms);
    }
    Wake();
}

int LinkRelay::Due(Clock::time_point now) {
    int wait = -1;
    for (Direction& d : FWay) {
        for (; !d.late.empty() && d.late.front().due <= now; d.late.pop_front())
            d.out.insert(d.out.end(), d.late.front().bytes.begin(), d.late.front().bytes.end());
        if (d.late.empty()) continue;
        const int ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(d.late.front().due - now).count());
        wait = wait < 0 ? ms : std::min(wait, ms);
    }
    return wait;
}

void LinkRelay::Wake() {
    const std::uint64_t one = 1;
    if (write(FWake, &one, sizeof one) < 0) { /* already pending */ }
}

void LinkRelay::CloseLink() {
    for (int& fd : FFd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    for (Direction& d : FWay) {
        d.in.clear();
        d.out.clear();
        d.kept.clear();
        d.late.clear();
        d.held.clear();
        d.hold = false;
    }
}

void LinkRelay::Accept() {
    const int device = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (device < 0) return;
    const int tool = Dial(FHost, FTargetPort);
    std::lock_guard<std::mutex> g(FLock);
    CloseLink();  // a device dialling again replaces its old link
    if (tool < 0) {
        close(device);
        return;
    }
    Prepare(device);
    FFd[ToTool] = tool;
    FFd[ToDevice] = device;
}

bool LinkRelay::Forward(Direction& d) {
    const auto emit = [&d](const std::uint8_t* p, std::size_t n, const Frame* f) {
        if (n == 0) return;
        if (d.hold) {
            d.kept.insert(d.kept.end(), p, p + n);
            if (f) ++d.held[f->command];
        } else if (d.lag == Clock::duration{}) {
            d.out.insert(d.out.end(), p, p + n);
        } else {
            d.late.push_back({Clock::now() + d.lag, Bytes(p, p + n)});
        }
    };
    Bytes& b = d.in;
    // With nothing to do to its frames, a way passes bytes as they come, split as they came.
    if (!d.rule && !d.hold) {
        emit(b.data(), b.size(), nullptr);
        b.clear();
        return true;
    }
    std::size_t pos = 0;
    for (;;) {
        const auto at = std::search(b.begin() + static_cast<std::ptrdiff_t>(pos), b.end(), kTag, kTag + 4);
        // Bytes that start no frame go on at once; a tag's first bytes wait for the rest.
        const std::size_t tag = static_cast<std::size_t>(at - b.begin());
        std::size_t plain = tag;
        if (at == b.end()) {
            std::size_t part = std::min<std::size_t>(3, b.size() - pos);
            while (part > 0 && !std::equal(b.end() - static_cast<std::ptrdiff_t>(part), b.end(), kTag)) --part;
            plain = b.size() - part;
        }
        emit(b.data() + pos, plain - pos, nullptr);
        pos = plain;
        if (at == b.end() || b.size() - tag < 6) break;
        const std::size_t len = b[tag + 4] | (b[tag + 5] << 8);
        std::size_t whole = 6 + len + 2;
        if (len < 2 || len > kMaxBody) {
            emit(b.data() + tag, 1, nullptr);
            pos = tag + 1;
            continue;
        }
        if (b.size() - tag < whole) break;
        const std::uint8_t* body = b.data() + tag + 6;
        if ((body[len] | (body[len + 1] << 8)) != Crc16Modbus(body, len)) {
            emit(b.data() + tag, 1, nullptr);
            pos = tag + 1;
            continue;
        }
        if (body[0] == kRequestMarker && whole % 8 == 0) ++whole;  // the request's padding byte
        if (b.size() - tag < whole) break;
        const Frame f{body[0], body[1], Bytes(body + 2, body + len)};
        const RelayAct act = d.rule ? d.rule(f) : RelayAct::Pass;
        if (act == RelayAct::Cut) return false;
        if (act != RelayAct::Drop) emit(b.data() + tag, whole, &f);
        if (act == RelayAct::Twice) emit(b.data() + tag, whole, &f);
        pos = tag + whole;
    }
    b.erase(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(pos));
    return true;
}

bool LinkRelay::Flush(int fd, Bytes& out) {
    while (!out.empty()) {
        const ssize_t n = send(fd, out.data(), out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            out.erase(out.begin(), out.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

void LinkRelay::Run() {
    for (;;) {
        pollfd p[4] = {{FWake, POLLIN, 0}, {FListen, POLLIN, 0}, {-1, 0, 0}, {-1, 0, 0}};
        int wait;
        {
            std::lock_guard<std::mutex> g(FLock);
            if (FStopping) return;
            wait = Due(Clock::now());
            for (int w : {ToTool, ToDevice}) {
                // Each side is read for the other way, and written for its own.
                p[2 + w] = {FFd[w], static_cast<short>(POLLIN | (FWay[w].out.empty() ? 0 : POLLOUT)), 0};
            }
        }
        poll(p, 4, wait);
        if (p[0].revents) {
            std::uint64_t v;
            while (read(FWake, &v, sizeof v) > 0) {}
        }
        if (p[1].revents & POLLIN) Accept();
        std::lock_guard<std::mutex> g(FLock);
        bool open = FFd[ToTool] >= 0 && FFd[ToDevice] >= 0;
        for (int w : {ToTool, ToDevice}) {
            const int from = FFd[1 - w];
            const pollfd& polled = p[2 + (1 - w)];
            if (!open || polled.fd != from || !(polled.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            std::uint8_t buf[4096];
            ssize_t n;
            while ((n = recv(from, buf, sizeof buf, 0)) > 0) FWay[w].in.insert(FWay[w].in.end(), buf, buf + n);
            const bool gone = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
            if (!Forward(FWay[w])) {
                open = false;
                break;
            }
            if (gone) {
                // One side hung up: the other gets what was on its way, then the hang-up.
                Due(Clock::time_point::max());
                Flush(FFd[w], FWay[w].out);
                open = false;
                break;
            }
        }
        for (int w : {ToTool, ToDevice})
            if (open && !Flush(FFd[w], FWay[w].out)) open = false;
        if (!open) CloseLink();
    }
}

}  // namespace devsim
