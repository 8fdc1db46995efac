#pragma once
// The event thread of an open port: waits for port events and hands them over by the
// port's SyncMethod (to the GUI thread in batches, a queued message to the port's stand-in
// window, or the handlers on this thread).
//
// The GUI thread gets one hand-over per turn of its event loop: the events of every wait
// that ends while one is still queued join it, so however many pieces of a reply arrive
// meanwhile, the handlers run once and read them all. The thread does not wait for the
// handlers; one that raises is shown, and ends the thread as it ends the loop.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/comm/Comm.h"
#include "platform/sys/Thread.h"
#include "serial/SerialTypes.h"

class TCustomSerialPort;

// The port's stand-in for a hidden window: queued messages reach the port only while it lives.
struct TSerialWindow {
    TCustomSerialPort* Port = nullptr;
};

inline constexpr unsigned CM_COMPORTEVENT = 0x0401;  // the first user message plus 1

// The platform's event-mask bits of each event, and back (exact inverses).
std::uint32_t EventsToMask(TSerialEvents events);
TSerialEvents MaskToEvents(std::uint32_t mask);

class TSerialThread : public sys::TThread {
public:
    // Sets the port's event mask and starts at once.
    explicit TSerialThread(TCustomSerialPort* AComPort);
    ~TSerialThread() override;

    // Signals the stop and yields once.
    void Stop();
    TSerialEvents GetEvents() const { return FEvents; }
    // True on the thread that is running this thread's handlers right now: a Close from
    // there must not wait for this thread, which waits for those very handlers.
    bool InsideHandlers() const;

protected:
    void Execute() override;

private:
    void DispatchComMsg();
    void HandOver();
    void DoEvents(TSerialEvents events);
    void SendEvents();

    // The events waiting for the GUI thread's hand-over.
    struct TBatch {
        std::mutex Lock;
        TSerialEvents Pending;
        bool Queued = false;
        bool Stopped = false;       // the thread is stopping: a queued hand-over calls nothing
        std::exception_ptr Raised;  // by a handler: the thread ends with it
    };

    // A message to the stand-in window is sent, not posted: the sender waits until the
    // window procedure has begun (which releases it at once) or the thread is stopped.
    struct TSendState {
        std::mutex Lock;
        std::condition_variable Changed;
        std::uint64_t Sent = 0;
        std::uint64_t Begun = 0;
        bool Stopping = false;
    };

    TCustomSerialPort* FComPort;
    comm::THandle FHandle;
    TSyncMethod FSyncMethod;
    std::weak_ptr<TSerialWindow> FWindow;
    comm::TStopSignal FStopEvent;
    TSerialEvents FEvents;
    std::shared_ptr<TSendState> FSend = std::make_shared<TSendState>();
    std::shared_ptr<TBatch> FBatch = std::make_shared<TBatch>();
};
