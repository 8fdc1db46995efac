#include "platform/sys/GuiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/sys/GuiThreadInternal.h"

namespace sys {
namespace {

struct Call {
    std::function<void()> fn;
    bool blocking = false;
    bool done = false;
    std::exception_ptr error;
};

struct Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Call>> calls;
    std::thread::id gui = std::this_thread::get_id();  // static init runs on the main thread
    ExceptionHandler handler;
};

Queue& Q() {
    static Queue q;
    return q;
}

// Nudges the GUI thread's event loop to serve the queue.
void WakeEventLoop() {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { ServeGuiCalls(); }, Qt::QueuedConnection);
}

std::exception_ptr RunHandled(const std::function<void()>& fn) {
    try {
        fn();
        return nullptr;
    } catch (...) {
        std::exception_ptr e = std::current_exception();
        HandleException(e);
        return e;
    }
}

std::exception_ptr Enqueue(std::function<void()> fn, bool blocking) {
    auto call = std::make_shared<Call>();
    call->fn = std::move(fn);
    call->blocking = blocking;
    Queue& q = Q();
    {
        std::lock_guard<std::mutex> g(q.lock);
        q.calls.push_back(call);
    }
    q.changed.notify_all();
    WakeEventLoop();
    if (!blocking) return nullptr;
    std::unique_lock<std::mutex> g(q.lock);
    q.changed.wait(g, [&] { return call->done; });
    return call->error;
}

}  // namespace

void SetGuiThread() {
    Queue& q = Q();
    std::lock_guard<std::mutex> g(q.lock);
    q.gui = std::this_thread::get_id();
}

bool IsGuiThread() {
    Queue& q = Q();
    std::lock_guard<std::mutex> g(q.lock);
    return q.gui == std::this_thread::get_id();
}

bool RunOnGuiThread(const std::function<void()>& fn) {
    return !detail::CallOnGuiThread(fn);
}

void PostToGuiThread(std::function<void()> fn) { Enqueue(std::move(fn), false); }

int ServeGuiCalls() {
    Queue& q = Q();
    int served = 0;
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard<std::mutex> g(q.lock);
            if (q.calls.empty()) break;
            call = q.calls.front();
            q.calls.pop_front();
        }
        std::exception_ptr e = RunHandled(call->fn);
        {
            std::lock_guard<std::mutex> g(q.lock);
            call->error = e;
            call->done = true;
        }
        q.changed.notify_all();
        ++served;
    }
    return served;
}

void ServeGuiCallsUntil(const std::function<bool()>& done) {
    Queue& q = Q();
    for (;;) {
        ServeGuiCalls();
        if (done()) return;
        std::unique_lock<std::mutex> g(q.lock);
        q.changed.wait_for(g, std::chrono::milliseconds(5), [&] { return !q.calls.empty(); });
    }
}

void SetExceptionHandler(ExceptionHandler handler) {
    Queue& q = Q();
    std::lock_guard<std::mutex> g(q.lock);
    q.handler = std::move(handler);
}

void HandleException(std::exception_ptr e) {
    ExceptionHandler h;
    {
        Queue& q = Q();
        std::lock_guard<std::mutex> g(q.lock);
        h = q.handler;
    }
    if (h) h(e);
}

namespace detail {
std::exception_ptr CallOnGuiThread(const std::function<void()>& fn) {
    if (IsGuiThread()) return RunHandled(fn);
    return Enqueue(fn, true);
}
void NotifyGuiWaiters() { Q().changed.notify_all(); }
}  // namespace detail

}  // namespace sys
