#pragma once
// What the benchmark measures of its own process: wall time, CPU time (all threads), the
// longest stretch the GUI thread spent without returning to its event loop, and the
// resident memory.
#include <cstdint>
#include <functional>
#include <memory>

namespace bench {

double WallMs();  // monotonic
double CpuMs();   // user + system time of the whole process
double ThreadCpuMs();  // of the calling thread

// Resident memory of the process in MiB; trimmed: once the heap has given back the pages it
// holds free, so that memory freed earlier does not hide what is added.
double ResidentMiB(bool trimmed = false);
// Bytes the process holds allocated on its heap (what it frees counts no more).
double HeapBytes();
// How often the process's threads have gone to sleep and woken (voluntary context switches,
// all threads).
double Wakeups();
// How often the calling thread (the GUI thread) has gone to sleep and woken.
double ThreadWakeups();

// Watches the GUI thread's event loop from construction to destruction: a busy stretch runs
// from the loop's waking to its next wait.
class TGuiPauseProbe {
public:
    TGuiPauseProbe();
    ~TGuiPauseProbe();
    TGuiPauseProbe(const TGuiPauseProbe&) = delete;
    TGuiPauseProbe& operator=(const TGuiPauseProbe&) = delete;
    double LongestMs() const;
    // The longest stretch's own CPU time (less than its wall time when the thread waited or
    // the machine was busy), and when it began after the probe started.
    double LongestCpuMs() const;
    double LongestAtMs() const;

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

// Wall and CPU time of one stretch of the benchmark.
struct TSpan {
    double Wall = 0;
    double Cpu = 0;
};

// Serves the GUI thread until done() holds or timeoutMs pass; false on time-out.
bool ServeUntil(const std::function<bool()>& done, double timeoutMs);
// Serves the GUI thread until nothing is left to do now (paints included).
void ServePending();

}  // namespace bench
