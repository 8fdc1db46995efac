#pragma once
// Helpers shared by the tests: bounded waits on real I/O that keep the GUI thread serving.
#include <functional>
#include <string>

class TControl;

namespace testsupport {

// Serves the GUI thread (hand-overs and Qt events) until pred() holds or timeoutMs of wall
// time have passed. Returns pred()'s last value. Only for waits on real I/O.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 3000);

// Serves the GUI thread for a short while of wall time (lets real I/O settle).
void Pump(int ms);

// A left click at the middle of the control, sent to its widget as the mouse would.
void Click(TControl* control);

// A fresh private folder under the test's temporary root.
std::string TempDir(const std::string& name);

}  // namespace testsupport
