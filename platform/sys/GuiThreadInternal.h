#pragma once
#include <exception>
#include <functional>

namespace sys::detail {
// Runs fn on the GUI thread, waits, and returns what it raised (already handled there).
std::exception_ptr CallOnGuiThread(const std::function<void()>& fn);
// Wakes a GUI thread that serves hand-overs while it waits for something else.
void NotifyGuiWaiters();
}  // namespace sys::detail
