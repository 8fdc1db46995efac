#pragma once
// Hand-overs to the GUI thread. A blocking hand-over waits until the GUI thread has run the
// call; an exception it raises goes to the GUI thread's exception handler, never further.
#include <exception>
#include <functional>

namespace sys {

// Marks the calling thread as the GUI thread (the application does this at start).
void SetGuiThread();
bool IsGuiThread();

// Runs fn on the GUI thread and waits for it to finish. Called on the GUI thread, runs fn
// at once. Returns false when the call raised (the exception was already handled there).
bool RunOnGuiThread(const std::function<void()>& fn);
// Queues fn for the GUI thread and returns at once.
void PostToGuiThread(std::function<void()> fn);

// GUI thread: runs every hand-over waiting now. Returns how many ran.
int ServeGuiCalls();
// GUI thread: serves hand-overs until done() is true (used while waiting for a thread that
// may itself be waiting in a hand-over).
void ServeGuiCallsUntil(const std::function<bool()>& done);

// Where an exception that leaves a handled call goes (the application shows it).
using ExceptionHandler = std::function<void(std::exception_ptr)>;
void SetExceptionHandler(ExceptionHandler handler);
void HandleException(std::exception_ptr e);

}  // namespace sys
