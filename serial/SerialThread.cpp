#include "serial/SerialThread.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/sys/GuiThread.h"
#include "serial/SerialPort.h"

namespace {

struct EventBit {
    TSerialEvent event;
    std::uint32_t mask;
};
// In the order the steps run: line error first, then the character event, and so on.
constexpr EventBit kDispatchOrder[] = {
    {evError, comm::EV_ERR},     {evRxChar, comm::EV_RXCHAR}, {evTxEmpty, comm::EV_TXEMPTY},
    {evBreak, comm::EV_BREAK},   {evRing, comm::EV_RING},     {evCTS, comm::EV_CTS},
    {evDSR, comm::EV_DSR},       {evRxFlag, comm::EV_RXFLAG}, {evRLSD, comm::EV_RLSD},
    {evRx80Full, comm::EV_RX80FULL}};

// The event threads whose handlers the current thread is running (innermost last).
thread_local std::vector<const TSerialThread*> t_dispatching;

struct Dispatching {
    explicit Dispatching(const TSerialThread* t) { t_dispatching.push_back(t); }
    ~Dispatching() { t_dispatching.pop_back(); }
};

}  // namespace

std::uint32_t EventsToMask(TSerialEvents events) {
    std::uint32_t mask = 0;
    for (const EventBit& b : kDispatchOrder)
        if (events.Contains(b.event)) mask |= b.mask;
    return mask;
}

TSerialEvents MaskToEvents(std::uint32_t mask) {
    TSerialEvents events;
    for (const EventBit& b : kDispatchOrder)
        if (mask & b.mask) events.Include(b.event);
    return events;
}

TSerialThread::TSerialThread(TCustomSerialPort* AComPort)
    : FComPort(AComPort),
      FHandle(AComPort->GetHandle()),
      FSyncMethod(AComPort->GetSyncMethod()),
      FWindow(AComPort->GetWindow()) {
    Priority = AComPort->GetEventThreadPriority();
    comm::SetEventMask(FHandle, EventsToMask(AComPort->GetEvents()));
    Start();
}

TSerialThread::~TSerialThread() {
    Stop();
    WaitFor();
}

void TSerialThread::Stop() {
    Terminate();
    {
        std::lock_guard<std::mutex> g(FBatch->Lock);
        FBatch->Stopped = true;
    }
    FStopEvent.Set();
    {
        std::lock_guard<std::mutex> g(FSend->Lock);
        FSend->Stopping = true;
    }
    FSend->Changed.notify_all();
    std::this_thread::yield();
}

bool TSerialThread::InsideHandlers() const {
    return std::find(t_dispatching.begin(), t_dispatching.end(), this) != t_dispatching.end();
}

void TSerialThread::Execute() {
    for (;;) {
        std::uint32_t mask = 0;
        // A failed wait (the device has gone, the handle was closed) ends the thread.
        if (!comm::WaitEvent(FHandle, mask, &FStopEvent)) break;
        if (Terminated() || FStopEvent.IsSet()) break;
        if (mask == 0) continue;  // the mask was changed under the wait
        FEvents = MaskToEvents(mask);
        DispatchComMsg();
        if (Terminated()) break;
    }
    // The handle may already be closed when the port was closed from a handler; then this
    // simply fails. The port's close purges the queues.
    comm::SetEventMask(FHandle, 0);
    std::exception_ptr raised;
    {
        std::lock_guard<std::mutex> g(FBatch->Lock);
        raised = FBatch->Raised;
    }
    if (raised) std::rethrow_exception(raised);
}

void TSerialThread::DispatchComMsg() {
    switch (FSyncMethod) {
        case smThreadSync: HandOver(); break;
        case smWindowSync: SendEvents(); break;
        case smNone: DoEvents(FEvents); break;
    }
}

void TSerialThread::HandOver() {
    {
        std::lock_guard<std::mutex> g(FBatch->Lock);
        if (FBatch->Stopped) return;
        FBatch->Pending = FBatch->Pending + FEvents;
        if (FBatch->Queued) return;
        FBatch->Queued = true;
    }
    // Runs on the GUI thread, where the thread is stopped and freed too: once stopped, the
    // thread may be gone, and nothing is called.
    sys::PostToGuiThread([this, batch = FBatch] {
        TSerialEvents events;
        {
            std::lock_guard<std::mutex> g(batch->Lock);
            if (batch->Stopped) return;
            events = batch->Pending;
            batch->Pending = TSerialEvents();
            batch->Queued = false;
        }
        try {
            DoEvents(events);
        } catch (...) {
            std::lock_guard<std::mutex> g(batch->Lock);
            if (!batch->Stopped) {
                batch->Raised = std::current_exception();
                batch->Stopped = true;
                FStopEvent.Set();
            }
            throw;
        }
    });
}

void TSerialThread::DoEvents(TSerialEvents events) {
    Dispatching mark(this);
    for (const EventBit& b : kDispatchOrder) {
        // A handler may close (or free) the port; nothing more is called then.
        if (Terminated()) return;
        if (!events.Contains(b.event)) continue;
        switch (b.event) {
            case evError: FComPort->CallError(); break;
            case evRxChar: FComPort->CallRxChar(); break;
            case evTxEmpty: FComPort->CallTxEmpty(); break;
            case evBreak: FComPort->CallBreak(); break;
            case evRing: FComPort->CallRing(); break;
            case evCTS: FComPort->CallCTSChange(); break;
            case evDSR: FComPort->CallDSRChange(); break;
            case evRxFlag: FComPort->CallRxFlag(); break;
            case evRLSD: FComPort->CallRLSDChange(); break;
            case evRx80Full: FComPort->CallRx80Full(); break;
        }
    }
}

void TSerialThread::SendEvents() {
    // One message per event, each sent as the window's messages are: this thread waits
    // until the window procedure begins and is released before the handlers run, so events
    // never pile up while the GUI thread is busy.
    for (const EventBit& b : kDispatchOrder) {
        if (!FEvents.Contains(b.event)) continue;
        std::shared_ptr<TSendState> send = FSend;
        std::uint64_t seq;
        {
            std::lock_guard<std::mutex> g(send->Lock);
            if (send->Stopping) return;
            seq = ++send->Sent;
        }
        std::weak_ptr<TSerialWindow> window = FWindow;
        std::uint32_t bit = b.mask;
        sys::PostToGuiThread([window, bit, send, seq] {
            {
                std::lock_guard<std::mutex> g(send->Lock);
                send->Begun = std::max(send->Begun, seq);
            }
            send->Changed.notify_all();
            if (std::shared_ptr<TSerialWindow> w = window.lock()) w->Port->WindowMethod(CM_COMPORTEVENT, bit);
        });
        std::unique_lock<std::mutex> g(send->Lock);
        send->Changed.wait(g, [&] { return send->Begun >= seq || send->Stopping; });
    }
}
