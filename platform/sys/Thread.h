#pragma once
// The thread class of the form library: Execute runs on a new thread as soon as the object
// is constructed (via Start), Synchronize hands a call to the GUI thread and waits, and
// WaitFor on the GUI thread keeps serving hand-overs so the two threads never deadlock.
#include <atomic>
#include <exception>
#include <functional>
#include <thread>

namespace sys {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread {
public:
    TThread() = default;
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    void WaitFor();

    TThreadPriority Priority = TThreadPriority::tpNormal;  // recorded; the scheduler decides

    // The exception that ended Execute, if any.
    std::exception_ptr FatalException() const { return FFatal; }

protected:
    virtual void Execute() = 0;
    // Runs fn on the GUI thread and waits. An exception raised there is rethrown here.
    void Synchronize(const std::function<void()>& fn);

private:
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::exception_ptr FFatal;
};

}  // namespace sys
