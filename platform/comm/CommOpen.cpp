// Opening and closing ports, the handle table and the small shared pieces.
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "platform/comm/CommPort.h"

namespace comm {
namespace {

thread_local int t_lastError = 0;

struct Table {
    std::mutex lock;
    std::map<THandle, std::shared_ptr<detail::TPort>> ports;
    THandle next = 1;
};
Table& Ports() {
    static Table t;
    return t;
}

bool Fail(int error) {
    t_lastError = error;
    return false;
}

// Raw line: no echo, no translation, no signals, reads never block in the kernel.
bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;  // with O_NONBLOCK: no data is EAGAIN, so 0 means hang-up
    tio.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

int LastError() { return t_lastError; }
void SetLastError(int error) { t_lastError = error; }

THandle OpenPort(const std::string& path) {
    // Only absolute device paths name ports; "COM1" is simply absent here.
    if (path.empty() || path[0] != '/') {
        Fail(ENOENT);
        return InvalidHandle;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        Fail(errno);
        return InvalidHandle;
    }
    if (!S_ISCHR(st.st_mode)) {
        Fail(ENOTTY);
        return InvalidHandle;
    }
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
        return InvalidHandle;
    }
    auto reject = [&](int error) {
        close(fd);
        Fail(error);
        return InvalidHandle;
    };
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !isatty(fd)) return reject(ENOTTY);
    // TIOCEXCL keeps other users out, but root ignores it; the lock covers root too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return reject(errno == EWOULDBLOCK ? EBUSY : errno);
    if (ioctl(fd, TIOCEXCL) != 0) return reject(errno);
    if (!MakeRaw(fd)) {
        int e = errno;
        ioctl(fd, TIOCNXCL);
        return reject(e);
    }
    // Whatever the line held before the open belongs to nobody.
    tcflush(fd, TCIOFLUSH);

    auto port = std::make_shared<detail::TPort>();
    port->fd = fd;
    port->timeouts.ReadIntervalTimeout = MAXDWORD;  // reads return at once until set
    Table& t = Ports();
    std::lock_guard<std::mutex> g(t.lock);
    THandle h = t.next++;
    t.ports[h] = std::move(port);
    return h;
}

bool ClosePort(THandle h) {
    std::shared_ptr<detail::TPort> port;
    {
        Table& t = Ports();
        std::lock_guard<std::mutex> g(t.lock);
        auto it = t.ports.find(h);
        if (it == t.ports.end()) return Fail(EBADF);
        port = std::move(it->second);
        t.ports.erase(it);
    }
    std::unique_lock<std::mutex> g(port->lock);
    port->closed = true;
    port->WakeWaiters();
    // Calls still running in other threads end at their next wake; wait for them so the
    // descriptor is not closed under them.
    port->idle.wait(g, [&] { return port->users == 0; });
    int fd = port->fd;
    port->fd = -1;
    g.unlock();
    ioctl(fd, TIOCNXCL);  // the exclusive flag outlives the descriptor on a shared tty
    if (close(fd) != 0) return Fail(errno);
    return true;
}

bool IsOpenPort(THandle h) {
    Table& t = Ports();
    std::lock_guard<std::mutex> g(t.lock);
    return t.ports.count(h) != 0;
}

std::uint32_t TPortState::Flags() const {
    std::uint32_t f = 0;
    if (fBinary) f |= 0x0001;
    if (fParity) f |= 0x0002;
    if (fOutxCtsFlow) f |= 0x0004;
    if (fOutxDsrFlow) f |= 0x0008;
    f |= (fDtrControl & 3u) << 4;
    if (fDsrSensitivity) f |= 0x0040;
    if (fTXContinueOnXoff) f |= 0x0080;
    if (fOutX) f |= 0x0100;
    if (fInX) f |= 0x0200;
    if (fErrorChar) f |= 0x0400;
    if (fNull) f |= 0x0800;
    f |= (fRtsControl & 3u) << 12;
    if (fAbortOnError) f |= 0x4000;
    return f;
}

// ---- stop signal ---------------------------------------------------------------------------

TStopSignal::TStopSignal() { FFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
TStopSignal::~TStopSignal() {
    if (FFd >= 0) close(FFd);
}
void TStopSignal::Set() {
    FSet = true;
    std::uint64_t one = 1;
    if (FFd >= 0 && write(FFd, &one, sizeof one) < 0) { /* already at its limit: still set */ }
}
void TStopSignal::Reset() {
    FSet = false;
    std::uint64_t v;
    if (FFd >= 0)
        while (read(FFd, &v, sizeof v) > 0) {}
}

namespace detail {

TPort::~TPort() {
    if (fd >= 0) {
        ioctl(fd, TIOCNXCL);
        close(fd);
    }
}

void TPort::WakeWaiters() {
    std::uint64_t one = 1;
    for (int w : waiters)
        if (write(w, &one, sizeof one) < 0) { /* counter full: the waiter wakes anyway */ }
}

TPortRef::TPortRef(THandle h) {
    Table& t = Ports();
    std::lock_guard<std::mutex> g(t.lock);
    auto it = t.ports.find(h);
    if (it == t.ports.end()) {
        Fail(EBADF);
        return;
    }
    FPort = it->second;
    std::lock_guard<std::mutex> pg(FPort->lock);
    ++FPort->users;
}

TPortRef::~TPortRef() {
    if (!FPort) return;
    std::lock_guard<std::mutex> g(FPort->lock);
    if (--FPort->users == 0) FPort->idle.notify_all();
}

TWaiter::TWaiter(TPort& port) : FPort(port) {
    FFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (FFd < 0) return;  // the wait falls back to short polls
    std::lock_guard<std::mutex> g(FPort.lock);
    FPort.waiters.push_back(FFd);
}

TWaiter::~TWaiter() {
    if (FFd < 0) return;
    {
        std::lock_guard<std::mutex> g(FPort.lock);
        auto& w = FPort.waiters;
        for (auto it = w.begin(); it != w.end(); ++it)
            if (*it == FFd) {
                w.erase(it);
                break;
            }
    }
    close(FFd);
}

void TWaiter::Drain() {
    std::uint64_t v;
    if (FFd >= 0)
        while (read(FFd, &v, sizeof v) > 0) {}
}

bool IsUnsupported(int error) { return error == ENOTTY || error == EINVAL || error == ENOTSUP; }

std::int64_t RealMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace detail
}  // namespace comm
