#include "tools/bench/BenchProbe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <ctime>
#include <malloc.h>
#include <sys/resource.h>

namespace bench {

double WallMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double CpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double HeapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

double ResidentMiB(bool trimmed) {
    if (trimmed) malloc_trim(0);
    std::ifstream in("/proc/self/status");
    std::string key;
    while (in >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            in >> kib;
            return kib / 1024.0;
        }
        in.ignore(1 << 16, '\n');
    }
    return 0;
}

double Wakeups() {
    double n = 0;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream in(task.path() / "status");
        std::string key;
        while (in >> key) {
            if (key == "voluntary_ctxt_switches:") {
                double v = 0;
                in >> v;
                n += v;
            }
            in.ignore(1 << 16, '\n');
        }
    }
    return n;
}

double ThreadWakeups() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return static_cast<double>(u.ru_nvcsw);
}

// The first event after a wait starts a busy stretch; the next wait ends it.
struct TGuiPauseProbe::Impl : QObject {
    QMetaObject::Connection Block;
    double Since = -1, SinceCpu = 0;
    double Longest = 0, LongestCpu = 0, Start = WallMs(), LongestAt = 0;
    bool eventFilter(QObject*, QEvent*) override {
        if (Since < 0) {
            Since = WallMs();
            SinceCpu = ThreadCpuMs();
        }
        return false;
    }
};

TGuiPauseProbe::TGuiPauseProbe() : FImpl(std::make_unique<Impl>()) {
    Impl* p = FImpl.get();
    QCoreApplication::instance()->installEventFilter(p);
    FImpl->Block = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [p] {
        if (p->Since >= 0 && WallMs() - p->Since > p->Longest) {
            p->Longest = WallMs() - p->Since;
            p->LongestCpu = ThreadCpuMs() - p->SinceCpu;
            p->LongestAt = p->Since - p->Start;
        }
        p->Since = -1;
    });
}

TGuiPauseProbe::~TGuiPauseProbe() {
    QCoreApplication::instance()->removeEventFilter(FImpl.get());
    QObject::disconnect(FImpl->Block);
}

double TGuiPauseProbe::LongestMs() const { return FImpl->Longest; }
double TGuiPauseProbe::LongestCpuMs() const { return FImpl->LongestCpu; }
double TGuiPauseProbe::LongestAtMs() const { return FImpl->LongestAt; }

bool ServeUntil(const std::function<bool()>& done, double timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    bool reached = false;
    // Checked each time the loop has nothing more to do: paints are done by then.
    const auto c = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                                    &loop, [&] {
                                        if (!reached && done()) {
                                            reached = true;
                                            loop.quit();
                                        }
                                    });
    QTimer::singleShot(static_cast<int>(timeoutMs), &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(c);
    return reached;
}

void ServePending() {
    bool asked = false;  // the first look, before the loop runs, says no
    ServeUntil([&] { return std::exchange(asked, true); }, 1000);
}

}  // namespace bench
