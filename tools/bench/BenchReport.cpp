#include "tools/bench/BenchReport.h"

#include <algorithm>
#include <cstdio>

#include "platform/rtl/Utf8.h"

namespace bench {
namespace {

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string Ours(bool ours) { return ours ? " (ours)" : ""; }

std::string Pad(const std::string& s, std::size_t width) {
    const std::size_t n = utf8::Length(s);
    return s + std::string(n < width ? width - n : 0, ' ');
}

}  // namespace

void TReport::Add(const std::string& what, const std::string& measured, const std::string& target, bool met) {
    FLines.push_back({what, measured, target, met ? "ok" : "OVER"});
}

void TReport::Ms(const std::string& what, double ms, double targetMs, bool ours) {
    Add(what, Fixed(ms, 1) + " ms", "<= " + Fixed(targetMs, 0) + " ms" + Ours(ours), ms <= targetMs);
}

void TReport::MiB(const std::string& what, double mib, double targetMib, bool ours) {
    Add(what, Fixed(mib, 1) + " MiB", "<= " + Fixed(targetMib, 0) + " MiB" + Ours(ours), mib <= targetMib);
}

void TReport::Bytes(const std::string& what, double bytes, double targetBytes, bool ours) {
    Add(what, Fixed(bytes, 0) + " bytes", "<= " + Fixed(targetBytes, 0) + " bytes" + Ours(ours), bytes <= targetBytes);
}

void TReport::Pause(const std::string& what, double ms, double cpuMs, double atMs, double targetMs) {
    Add(what, Fixed(ms, 1) + " ms (" + Fixed(cpuMs, 1) + " ms CPU, at " + Fixed(atMs / 1000, 2) + " s)",
        "<= " + Fixed(targetMs, 0) + " ms", ms <= targetMs);
}

void TReport::Ratio(const std::string& what, double ms, double floorMs, double targetRatio) {
    const double ratio = ms / floorMs;
    Add(what, Fixed(ms / 1000, 2) + " s / " + Fixed(floorMs / 1000, 2) + " s = " + Fixed(ratio, 3),
        "<= " + Fixed(targetRatio, 2) + " x floor", ratio <= targetRatio);
}

void TReport::PerBlock(const std::string& what, double requests, double blocks, double target) {
    const double per = blocks > 0 ? requests / blocks : 0;
    Add(what, Fixed(requests, 0) + " / " + Fixed(blocks, 0) + " = " + Fixed(per, 2), "<= " + Fixed(target, 1), per <= target);
}

void TReport::RoundTrips(const std::string& what, std::vector<double> ms, double targetMs) {
    if (ms.empty()) {
        Failed(what + ": no reply");
        return;
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    Ms(what + ", median of " + std::to_string(ms.size()), median, targetMs);
    Note(what + ", worst", Fixed(ms.back(), 1) + " ms");
}

void TReport::Note(const std::string& what, const std::string& measured) {
    Add(what, measured, "", true);
    FLines.back().Verdict = "";
}

void TReport::Idle(const std::string& what, double wakeupsPerSecond, double corePercent, double targetWakeups,
                   double targetPercent) {
    Add(what + ": wakeups a second", Fixed(wakeupsPerSecond, 1), "<= " + Fixed(targetWakeups, 0),
        wakeupsPerSecond <= targetWakeups);
    const bool target = targetPercent > 0;
    const std::string share = Fixed(corePercent, 2) + " %";
    if (target)
        Add(what + ": share of a core", share, "<= " + Fixed(targetPercent, 1) + " %", corePercent <= targetPercent);
    else
        Note(what + ": share of a core", share);
}

void TReport::Wakeups(const std::string& what, double perSecond, double target, bool ours) {
    Add(what, Fixed(perSecond, 1), "<= " + Fixed(target, 0) + Ours(ours), perSecond <= target);
}

void TReport::Failed(const std::string& what) { FLines.push_back({what, "-", "", "FAILED"}); }

void TReport::Print() const {
    std::size_t w0 = 6, w1 = 8, w2 = 6;
    for (const TLine& l : FLines) {
        w0 = std::max(w0, utf8::Length(l.What));
        w1 = std::max(w1, utf8::Length(l.Measured));
        w2 = std::max(w2, utf8::Length(l.Target));
    }
    std::printf("%s  %s  %s\n", Pad("figure", w0).c_str(), Pad("measured", w1).c_str(), Pad("target", w2).c_str());
    for (const TLine& l : FLines)
        std::printf("%s  %s  %s  %s\n", Pad(l.What, w0).c_str(), Pad(l.Measured, w1).c_str(), Pad(l.Target, w2).c_str(),
                    l.Verdict.c_str());
    std::fflush(stdout);
}

}  // namespace bench
