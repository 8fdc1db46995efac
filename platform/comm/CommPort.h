#pragma once
// Internal: one open port and the handle table.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/comm/Comm.h"
#include "platform/comm/LineRate.h"

namespace comm::detail {

struct TPort {
    int fd = -1;
    std::mutex lock;  // guards everything below and every read() of fd

    TPortState state;
    TTimeouts timeouts;
    std::uint32_t inputSize = 4096;
    std::uint32_t outputSize = 4096;

    std::deque<std::uint8_t> input;  // the layer's own input queue
    std::uint32_t wanted = 1;        // the reader's receive threshold
    std::int64_t gatherSince = -1;   // the first arrival while the reader waits for more
    std::uint64_t gathered = 0;      // bytes that came after it
    bool unreported = false;         // bytes came that "character received" has not told
    bool flagUnreported = false;     // the event character among them
    std::int64_t reportedAt = 0;
    std::uint32_t mask = 0;
    std::uint64_t maskGeneration = 0;
    std::uint64_t abortGeneration = 0;
    bool txPending = false;  // a write happened since the last transmit-empty
    bool gone = false;       // hang-up seen
    bool goneReported = false;
    bool closed = false;

    // Counter and modem-line baselines for deltas; support is learnt on first use.
    bool modemSupported = true;
    std::uint32_t lastModem = 0;
    bool icountSupported = true;
    bool icountValid = false;
    int lastFrame = 0, lastParity = 0, lastOverrun = 0, lastBufOverrun = 0, lastBrk = 0;
    std::uint32_t errors = 0;

    // Waiters (eventfds) to wake when the queue, the mask or the port's state changes.
    std::vector<int> waiters;
    int users = 0;  // calls in progress, for a close that waits for them
    std::condition_variable idle;

    ~TPort();
    // Wakes every waiter; call with lock held.
    void WakeWaiters();
    // Reads what the line holds into the queue (room permitting). Returns the bytes added;
    // sets gone on hang-up. Call with lock held.
    std::size_t FillQueue(bool* sawEvtChar);
    // The pace of what comes while the reader waits for more; call with lock held.
    void NoteArrival(std::size_t added, std::int64_t now);
    // How long the line can be left until the rest the reader waits for is due at that
    // pace; -1: watch it. Call with lock held.
    std::int64_t GatherSleep(std::int64_t now) const;
    // Whether what has come is told now: the reader's threshold is reached, or a gather has
    // passed since the last telling.
    bool ReportDue(std::int64_t now) const;
    std::uint32_t QueueCapacity() const { return inputSize < 4096 ? 4096 : inputSize; }
    // Takes the line's error counters into errors; returns false when not supported.
    bool PollCounters(bool* sawBreak, bool* sawError);
};

// A port looked up by handle, kept alive and counted as in use while held.
class TPortRef {
public:
    explicit TPortRef(THandle h);
    ~TPortRef();
    TPortRef(const TPortRef&) = delete;
    TPortRef& operator=(const TPortRef&) = delete;
    TPort* operator->() const { return FPort.get(); }
    TPort& operator*() const { return *FPort; }
    explicit operator bool() const { return FPort != nullptr; }

private:
    std::shared_ptr<TPort> FPort;
};

// An eventfd registered with a port for the duration of one wait.
class TWaiter {
public:
    explicit TWaiter(TPort& port);
    ~TWaiter();
    int Descriptor() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    void Drain();

private:
    TPort& FPort;
    int FFd = -1;
};

// How often a wait looks again when it has no descriptor to be woken through.
inline constexpr int kFallbackPollMs = 10;

// Errors of modem-line and counter calls that mean "not supported on this line".
bool IsUnsupported(int error);

// Milliseconds on the real monotonic clock (serial time-outs follow real time).
std::int64_t RealMs();

}  // namespace comm::detail
