#include "platform/sys/Signals.h"

#include <QObject>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/sys/GuiThread.h"

namespace sys {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr std::size_t kCount = sizeof kEndSignals / sizeof kEndSignals[0];

std::atomic<int> g_WakeFd{-1};

void OnEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe holds wake-ups enough: the loop reads them all at once.
    [[maybe_unused]] const ssize_t n = ::write(g_WakeFd.load(), &byte, 1);
    errno = saved;
}

void OnBrokenPipe(int) {}

}  // namespace

struct TEndSignals::TState {
    int Pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> Notifier;
    struct sigaction Old[kCount] = {};
    std::function<void()> OnSignal;
};

TEndSignals::TEndSignals(std::function<void()> onSignal) : F(std::make_unique<TState>()) {
    F->OnSignal = std::move(onSignal);
    // Without its pipe the signals keep their default action, as before.
    if (::pipe2(F->Pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_WakeFd = F->Pipe[1];
    F->Notifier = std::make_unique<QSocketNotifier>(F->Pipe[0], QSocketNotifier::Read);
    TState* state = F.get();
    QObject::connect(F->Notifier.get(), &QSocketNotifier::activated, [state] {
        char bytes[64];
        while (::read(state->Pipe[0], bytes, sizeof bytes) > 0) {
        }
        try {
            state->OnSignal();
        } catch (...) {
            HandleException(std::current_exception());
        }
    });
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kCount; ++i) {
        // One ignored when the run starts stays so: nohup keeps a closed terminal's SIGHUP away.
        if (::sigaction(kEndSignals[i], nullptr, &F->Old[i]) == 0 && F->Old[i].sa_handler != SIG_IGN)
            ::sigaction(kEndSignals[i], &action, nullptr);
    }
}

TEndSignals::~TEndSignals() {
    if (F->Pipe[0] < 0) return;
    for (std::size_t i = 0; i < kCount; ++i) ::sigaction(kEndSignals[i], &F->Old[i], nullptr);
    F->Notifier.reset();
    g_WakeFd = -1;
    ::close(F->Pipe[0]);
    ::close(F->Pipe[1]);
}

void CatchBrokenPipe() {
    struct sigaction old = {};
    if (::sigaction(SIGPIPE, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
    struct sigaction action = {};
    action.sa_handler = OnBrokenPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace sys
