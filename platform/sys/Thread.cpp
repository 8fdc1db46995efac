#include "platform/sys/Thread.h"

#include "platform/sys/GuiThread.h"
#include "platform/sys/GuiThreadInternal.h"

namespace sys {

TThread::~TThread() {
    if (FThread.joinable()) {
        Terminate();
        WaitFor();
    }
}

void TThread::Start() {
    if (FThread.joinable()) return;
    FThread = std::thread([this] {
        try {
            Execute();
        } catch (...) {
            FFatal = std::current_exception();
        }
        FFinished = true;
        detail::NotifyGuiWaiters();
    });
}

void TThread::WaitFor() {
    if (!FThread.joinable()) return;
    if (IsGuiThread()) ServeGuiCallsUntil([this] { return FFinished.load(); });
    FThread.join();
}

void TThread::Synchronize(const std::function<void()>& fn) {
    if (std::exception_ptr e = detail::CallOnGuiThread(fn)) std::rethrow_exception(e);
}

}  // namespace sys
