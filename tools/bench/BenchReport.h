#pragma once
// The benchmark's table: one line per figure, the measured value beside its target and
// whether it meets it. Targets marked "ours" are the benchmark's own, not given elsewhere.
#include <string>
#include <vector>

namespace bench {

class TReport {
public:
    void Ms(const std::string& what, double ms, double targetMs, bool ours = false);
    void MiB(const std::string& what, double mib, double targetMib, bool ours = false);
    void Bytes(const std::string& what, double bytes, double targetBytes, bool ours = false);
    // A pause of the GUI thread: its wall time against the target, its CPU time and when.
    void Pause(const std::string& what, double ms, double cpuMs, double atMs, double targetMs);
    // A wall time against its floor; the target is a ratio.
    void Ratio(const std::string& what, double ms, double floorMs, double targetRatio);
    // Requests per block, repeats included.
    void PerBlock(const std::string& what, double requests, double blocks, double target);
    // Round trips: the median against its target, and the worst.
    void RoundTrips(const std::string& what, std::vector<double> ms, double targetMs);
    // Wakeups a second and the share of a core over an idle stretch.
    void Idle(const std::string& what, double wakeupsPerSecond, double corePercent, double targetWakeups,
              double targetPercent);
    // How often a thread wakes, a second.
    void Wakeups(const std::string& what, double perSecond, double target, bool ours = false);
    // A figure without a target of its own.
    void Note(const std::string& what, const std::string& measured);
    void Failed(const std::string& what);
    void Print() const;

private:
    struct TLine {
        std::string What, Measured, Target, Verdict;
    };
    void Add(const std::string& what, const std::string& measured, const std::string& target, bool met);
    std::vector<TLine> FLines;
};

}  // namespace bench
