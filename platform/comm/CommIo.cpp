// Reads, writes, purge and queue status. Time-outs follow the real clock.
#include <algorithm>
#include <cerrno>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/comm/CommPort.h"

namespace comm {
namespace {

bool Fail(int error) {
    SetLastError(error);
    return false;
}

constexpr std::int64_t kNoLimit = -1;

// Waits for the line (when fd is given) or for a wake of the waiter (purge, close).
int PollFor(int fd, short events, int waiter, std::int64_t waitMs) {
    pollfd p[2];
    int n = 0;
    if (waiter >= 0) p[n++] = {waiter, POLLIN, 0};
    else if (waitMs < 0 || waitMs > detail::kFallbackPollMs) waitMs = detail::kFallbackPollMs;
    if (fd >= 0) p[n++] = {fd, events, 0};
    int ms = waitMs < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(waitMs, 1 << 30));
    return poll(p, static_cast<nfds_t>(n), ms);
}

// Copies bytes for the caller, skipping NULs when the port discards them.
std::size_t Keep(const detail::TPort& port, const std::uint8_t* in, std::size_t n,
                 std::uint8_t* out) {
    if (!port.state.fNull) {
        std::copy(in, in + n, out);
        return n;
    }
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (in[i] != 0) out[k++] = in[i];
    return k;
}

}  // namespace

namespace detail {

std::size_t TPort::FillQueue(bool* sawEvtChar) {
    std::size_t added = 0;
    std::uint8_t raw[4096], kept[4096];
    while (!gone && fd >= 0 && input.size() < QueueCapacity()) {
        std::size_t room = std::min<std::size_t>(sizeof raw, QueueCapacity() - input.size());
        ssize_t n = read(fd, raw, room);
        if (n > 0) {
            std::size_t k = Keep(*this, raw, static_cast<std::size_t>(n), kept);
            for (std::size_t i = 0; i < k; ++i) {
                if (sawEvtChar && kept[i] == static_cast<std::uint8_t>(state.EvtChar))
                    *sawEvtChar = true;
                input.push_back(kept[i]);
            }
            added += k;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        gone = true;  // end of file or an I/O error: the device has gone
    }
    // A read waiting on the line may have slept through these bytes: they are in the queue
    // now, not on the line, so it is woken to take them.
    if (added > 0) WakeWaiters();
    return added;
}

bool TPort::PollCounters(bool* sawBreak, bool* sawError) {
    if (!icountSupported || gone) return false;
    serial_icounter_struct ic{};
    if (ioctl(fd, TIOCGICOUNT, &ic) != 0) {
        if (IsUnsupported(errno)) icountSupported = false;
        return false;
    }
    if (icountValid) {
        if (ic.frame != lastFrame) errors |= CE_FRAME;
        if (ic.parity != lastParity && state.fParity) errors |= CE_RXPARITY;
        if (ic.overrun != lastOverrun) errors |= CE_OVERRUN;
        if (ic.buf_overrun != lastBufOverrun) errors |= CE_RXOVER;
        if (ic.brk != lastBrk) errors |= CE_BREAK;
        if (sawBreak && ic.brk != lastBrk) *sawBreak = true;
        if (sawError && (ic.frame != lastFrame || ic.parity != lastParity ||
                         ic.overrun != lastOverrun || ic.buf_overrun != lastBufOverrun))
            *sawError = true;
    }
    icountValid = true;
    lastFrame = ic.frame;
    lastParity = ic.parity;
    lastOverrun = ic.overrun;
    lastBufOverrun = ic.buf_overrun;
    lastBrk = ic.brk;
    return true;
}

}  // namespace detail

bool ReadPort(THandle h, void* buffer, std::uint32_t count, std::uint32_t& done) {
    done = 0;
    if (!buffer && count > 0) return Fail(EFAULT);
    detail::TPortRef port(h);
    if (!port) return false;
    detail::TWaiter waiter(*port);
    TTimeouts t;
    std::uint64_t abortAt;
    int fd;
    {
        std::lock_guard<std::mutex> g(port->lock);
        t = port->timeouts;
        abortAt = port->abortGeneration;
        fd = port->fd;
    }
    const bool immediate = t.ReadIntervalTimeout == MAXDWORD &&
                           t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    const bool firstBytes = t.ReadIntervalTimeout == MAXDWORD &&
                            t.ReadTotalTimeoutMultiplier == MAXDWORD &&
                            t.ReadTotalTimeoutConstant > 0 &&
                            t.ReadTotalTimeoutConstant < MAXDWORD;
    std::int64_t total = kNoLimit, interval = kNoLimit;
    if (firstBytes)
        total = t.ReadTotalTimeoutConstant;
    else if (t.ReadTotalTimeoutMultiplier || t.ReadTotalTimeoutConstant)
        total = std::int64_t(t.ReadTotalTimeoutMultiplier) * count + t.ReadTotalTimeoutConstant;
    if (!firstBytes && t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != MAXDWORD)
        interval = t.ReadIntervalTimeout;

    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::int64_t start = detail::RealMs();
    std::int64_t lastByte = start;
    for (;;) {
        std::uint32_t before = done;
        bool gone;
        {
            std::lock_guard<std::mutex> g(port->lock);
            if (port->closed) return Fail(EBADF);
            if (port->abortGeneration != abortAt) return Fail(ECANCELED);
            bool wasFull = port->input.size() >= port->QueueCapacity();
            while (done < count && !port->input.empty()) {
                out[done++] = port->input.front();
                port->input.pop_front();
            }
            if (wasFull && port->input.size() < port->QueueCapacity()) port->WakeWaiters();
            // Then straight from the line, in order after the queue.
            std::uint8_t raw[4096];
            while (done < count && !port->gone) {
                std::size_t want = std::min<std::size_t>(sizeof raw, count - done);
                ssize_t n = read(fd, raw, want);
                if (n > 0) {
                    done += Keep(*port, raw, static_cast<std::size_t>(n), out + done);
                    continue;
                }
                if (n < 0 && errno == EINTR) continue;
                if (n < 0 && errno == EAGAIN) break;
                port->gone = true;
            }
            gone = port->gone && port->input.empty();
        }
        const std::int64_t now = detail::RealMs();
        if (done > before) lastByte = now;
        if (done == count) return true;
        if (gone) return done > 0 ? true : Fail(EIO);
        if (immediate || (firstBytes && done > 0)) return true;
        {
            // A reader that waits wants every byte as it comes.
            std::lock_guard<std::mutex> g(port->lock);
            if (port->wanted != 1) {
                port->wanted = 1;
                port->WakeWaiters();
            }
        }
        std::int64_t wait = kNoLimit;
        if (total != kNoLimit) {
            wait = start + total - now;
            if (wait <= 0) return true;
        }
        if (interval != kNoLimit && done > 0) {
            std::int64_t left = lastByte + interval - now;
            if (left <= 0) return true;
            wait = wait == kNoLimit ? left : std::min(wait, left);
        }
        PollFor(fd, POLLIN, waiter.Descriptor(), wait);
        waiter.Drain();
    }
}

bool WritePort(THandle h, const void* buffer, std::uint32_t count, std::uint32_t& done) {
    done = 0;
    if (!buffer && count > 0) return Fail(EFAULT);
    detail::TPortRef port(h);
    if (!port) return false;
    detail::TWaiter waiter(*port);
    TTimeouts t;
    std::uint64_t abortAt;
    int fd;
    {
        std::lock_guard<std::mutex> g(port->lock);
        if (port->gone) return Fail(EIO);
        t = port->timeouts;
        abortAt = port->abortGeneration;
        fd = port->fd;
    }
    std::int64_t total = kNoLimit;
    if (t.WriteTotalTimeoutMultiplier || t.WriteTotalTimeoutConstant)
        total = std::int64_t(t.WriteTotalTimeoutMultiplier) * count + t.WriteTotalTimeoutConstant;
    const std::int64_t start = detail::RealMs();
    auto left = [&]() -> std::int64_t {
        if (total == kNoLimit) return kNoLimit;
        return std::max<std::int64_t>(0, start + total - detail::RealMs());
    };
    auto stopped = [&](int* error) {
        std::lock_guard<std::mutex> g(port->lock);
        if (port->closed) *error = EBADF;
        else if (port->abortGeneration != abortAt) *error = ECANCELED;
        else return false;
        return true;
    };
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    bool timedOut = false;
    while (done < count) {
        ssize_t n = write(fd, in + done, count - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            int e = errno;
            std::lock_guard<std::mutex> g(port->lock);
            if (e == EIO) port->gone = true;
            return Fail(e);
        }
        std::int64_t wait = left();
        if (wait == 0) {
            timedOut = true;
            break;
        }
        PollFor(fd, POLLOUT, waiter.Descriptor(), wait);
        waiter.Drain();
        int e;
        if (stopped(&e)) return Fail(e);
    }
    // Return only once the bytes have left, so that a purge at close cannot eat them.
    while (!timedOut) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        std::int64_t wait = left();
        if (wait == 0) break;
        PollFor(-1, 0, waiter.Descriptor(), wait == kNoLimit ? 5 : std::min<std::int64_t>(wait, 5));
        waiter.Drain();
        int e;
        if (stopped(&e)) return Fail(e);
    }
    std::lock_guard<std::mutex> g(port->lock);
    if (done > 0) {
        port->txPending = true;
        port->WakeWaiters();
    }
    return true;
}

bool TransmitChar(THandle h, char ch) {
    detail::TPortRef port(h);
    if (!port) return false;
    int fd;
    {
        std::lock_guard<std::mutex> g(port->lock);
        if (port->gone) return Fail(EIO);
        fd = port->fd;
    }
    ssize_t n;
    do n = write(fd, &ch, 1);
    while (n < 0 && errno == EINTR);
    if (n != 1) return Fail(n < 0 ? errno : EAGAIN);
    std::lock_guard<std::mutex> g(port->lock);
    port->txPending = true;
    port->WakeWaiters();
    return true;
}

bool Purge(THandle h, std::uint32_t flags) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    if (flags & (PURGE_TXABORT | PURGE_RXABORT)) {
        ++port->abortGeneration;
        port->WakeWaiters();
    }
    if (flags & PURGE_RXCLEAR) {
        port->input.clear();
        port->WakeWaiters();
    }
    // Output is discarded only when the driver still holds some: a pty reports none once a
    // write is done, yet its flush would take from the far side what is still on its way
    // there (the last command before a close).
    bool txClear = flags & PURGE_TXCLEAR;
    int queued = 0;
    if (txClear && !port->gone && ioctl(port->fd, TIOCOUTQ, &queued) == 0 && queued <= 0) txClear = false;
    int which = -1;
    if ((flags & PURGE_RXCLEAR) && txClear) which = TCIOFLUSH;
    else if (flags & PURGE_RXCLEAR) which = TCIFLUSH;
    else if (txClear) which = TCOFLUSH;
    if (which >= 0 && !port->gone && tcflush(port->fd, which) != 0) return Fail(errno);
    return true;
}

bool ClearError(THandle h, std::uint32_t& errors, TQueueStatus* status) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    port->PollCounters(nullptr, nullptr);
    errors = port->errors;
    port->errors = 0;
    if (status) {
        *status = TQueueStatus{};
        status->InQueue = static_cast<std::uint32_t>(port->input.size());
        if (!port->gone) {
            int n = 0;
            if (ioctl(port->fd, FIONREAD, &n) == 0 && n > 0) status->InQueue += n;
            n = 0;
            if (ioctl(port->fd, TIOCOUTQ, &n) == 0 && n > 0) status->OutQueue = n;
        }
    }
    return true;
}

}  // namespace comm
