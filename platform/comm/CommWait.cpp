// The event mask and the event wait. Events are derived, never level-triggered: bytes are
// taken into the layer's queue and "character received" is raised once per arrival;
// transmit-empty comes from the output queue reaching 0, line changes from TIOCMGET, errors
// and breaks from TIOCGICOUNT deltas, all polled on a short real-time step only while asked
// for and supported.
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>

#include "platform/comm/CommPort.h"

namespace comm {
namespace {

bool Fail(int error) {
    SetLastError(error);
    return false;
}

constexpr int kLinePollMs = 10;
constexpr std::uint32_t kLineEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;

// Modem-line changes since the last look; learns when the line cannot report them.
std::uint32_t LineChanges(detail::TPort& port) {
    if (!port.modemSupported || port.gone) return 0;
    int bits = 0;
    if (ioctl(port.fd, TIOCMGET, &bits) != 0) {
        if (detail::IsUnsupported(errno)) port.modemSupported = false;
        return 0;
    }
    std::uint32_t now = static_cast<std::uint32_t>(bits);
    std::uint32_t changed = now ^ port.lastModem;
    port.lastModem = now;
    std::uint32_t ev = 0;
    if (changed & TIOCM_CTS) ev |= EV_CTS;
    if (changed & TIOCM_DSR) ev |= EV_DSR;
    if (changed & TIOCM_CAR) ev |= EV_RLSD;
    if ((changed & TIOCM_RNG) && (now & TIOCM_RNG)) ev |= EV_RING;
    return ev;
}

}  // namespace

namespace detail {

void TPort::NoteArrival(std::size_t added, std::int64_t now) {
    if (wanted <= 1) {
        gatherSince = -1;
        return;
    }
    if (added == 0) return;
    if (gatherSince < 0) {
        gatherSince = now;
        gathered = 0;
    } else {
        gathered += added;
    }
}

bool TPort::ReportDue(std::int64_t now) const {
    return wanted <= 1 || input.size() >= wanted || now - reportedAt >= kReceiveGatherMs;
}

std::int64_t TPort::GatherSleep(std::int64_t now) const {
    if (wanted <= input.size() || gatherSince < 0 || gathered == 0 || now <= gatherSince) return -1;
    const double perMs = static_cast<double>(gathered) / static_cast<double>(now - gatherSince);
    const double due = static_cast<double>(wanted - input.size()) / perMs;
    return std::clamp<std::int64_t>(static_cast<std::int64_t>(due + 0.5), 1, kReceiveGatherMs);
}

}  // namespace detail

bool SetEventMask(THandle h, std::uint32_t mask) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    port->mask = mask;
    ++port->maskGeneration;
    // What the line holds now arrived before the mask: into the queue with it, so that only
    // later arrivals count as received.
    port->FillQueue(nullptr);
    // Baselines start now, so that only changes after this point count.
    if (port->modemSupported && !port->gone) {
        int bits = 0;
        if (ioctl(port->fd, TIOCMGET, &bits) == 0) port->lastModem = static_cast<std::uint32_t>(bits);
    }
    port->PollCounters(nullptr, nullptr);
    port->WakeWaiters();
    return true;
}

bool GetEventMask(THandle h, std::uint32_t& mask) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    mask = port->mask;
    return true;
}

bool SetReceiveThreshold(THandle h, std::uint32_t bytes) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    const std::uint32_t wanted = std::max<std::uint32_t>(1, bytes);
    if (wanted == port->wanted) return true;
    port->wanted = wanted;
    // A wait that has left the line for the rest of what it was asked watches it again
    // once nothing more is wanted; a wait for fewer than before wakes early enough as it is.
    if (wanted == 1 || wanted <= port->input.size()) port->WakeWaiters();
    return true;
}

bool WaitEvent(THandle h, std::uint32_t& mask, const TStopSignal* stop, int timeoutMs) {
    mask = 0;
    detail::TPortRef port(h);
    if (!port) return false;
    detail::TWaiter waiter(*port);
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> g(port->lock);
        if (port->goneReported) return Fail(EIO);
        generation = port->maskGeneration;
    }
    const std::int64_t deadline = timeoutMs < 0 ? -1 : detail::RealMs() + timeoutMs;
    for (;;) {
        if (stop && stop->IsSet()) return true;
        bool watchLine = false, pollSoon = false;
        std::int64_t gather = -1;
        {
            std::lock_guard<std::mutex> g(port->lock);
            if (port->closed) return Fail(EBADF);
            if (port->maskGeneration != generation) return true;
            const std::uint32_t want = port->mask;
            std::uint32_t ev = 0;
            const std::size_t before = port->input.size();
            bool flag = false;
            const std::int64_t now = detail::RealMs();
            const std::size_t added = port->FillQueue(&flag);
            port->NoteArrival(added, now);
            if (added > 0) {
                port->unreported = true;
                port->flagUnreported = port->flagUnreported || flag;
                const std::size_t full = port->QueueCapacity() * 8 / 10;
                if (before < full && port->input.size() >= full) ev |= EV_RX80FULL;
            }
            if (port->unreported && port->ReportDue(now)) {
                ev |= EV_RXCHAR;
                if (port->flagUnreported) ev |= EV_RXFLAG;
                port->unreported = port->flagUnreported = false;
                port->reportedAt = now;
            }
            if (port->txPending) {
                int queued = 0;
                if (port->gone || ioctl(port->fd, TIOCOUTQ, &queued) != 0 || queued <= 0) {
                    port->txPending = false;
                    ev |= EV_TXEMPTY;
                } else {
                    pollSoon = (want & EV_TXEMPTY) != 0;
                }
            }
            if (want & kLineEvents) ev |= LineChanges(*port);
            if (want & (EV_BREAK | EV_ERR)) {
                bool brk = false, err = false;
                if (port->PollCounters(&brk, &err)) {
                    if (brk) ev |= EV_BREAK;
                    if (err) ev |= EV_ERR;
                }
            }
            pollSoon = pollSoon || ((want & kLineEvents) && port->modemSupported && !port->gone) ||
                       ((want & (EV_BREAK | EV_ERR)) && port->icountSupported && !port->gone);
            ev &= want;
            if (ev) {
                mask = ev;
                return true;
            }
            if (port->gone) {
                // Reported once; the caller's loop ends here instead of spinning.
                port->goneReported = true;
                return Fail(EIO);
            }
            watchLine = port->input.size() < port->QueueCapacity();
            gather = watchLine ? port->GatherSleep(now) : -1;
            if (gather >= 0) watchLine = false;
            // What has come short of the threshold is told at the latest a gather later.
            if (port->unreported) {
                const std::int64_t tell = std::max<std::int64_t>(0, port->reportedAt + kReceiveGatherMs - now);
                gather = gather < 0 ? tell : std::min(gather, tell);
            }
        }
        std::int64_t wait = pollSoon ? kLinePollMs : -1;
        if (gather >= 0) wait = wait < 0 ? gather : std::min(wait, gather);
        if (deadline >= 0) {
            std::int64_t left = deadline - detail::RealMs();
            if (left <= 0) return true;
            wait = wait < 0 ? left : std::min(wait, left);
        }
        // Without a descriptor to be woken through, look again on a short step.
        if (!waiter.Valid() || (stop && stop->Descriptor() < 0))
            wait = wait < 0 ? detail::kFallbackPollMs : std::min<std::int64_t>(wait, detail::kFallbackPollMs);
        pollfd p[3];
        int n = 0;
        if (waiter.Valid()) p[n++] = {waiter.Descriptor(), POLLIN, 0};
        if (stop && stop->Descriptor() >= 0) p[n++] = {stop->Descriptor(), POLLIN, 0};
        if (watchLine) p[n++] = {port->fd, POLLIN, 0};
        poll(p, n, static_cast<int>(wait));
        waiter.Drain();
    }
}

}  // namespace comm
