// Program entry: the application, the main window and the server-traffic window, then the
// message loop until the main window closes.
#include "app/Unit1.h"
#include "platform/sys/Signals.h"

int main() {
    sys::CatchBrokenPipe();
    // The application, its Qt side and its forms end with main, not at static destruction.
    TApplicationScope scope;
    Application->Initialize();
    // A logout, a closed terminal or Ctrl+C closes the window, which saves what it keeps.
    const sys::TEndSignals endSignals(CloseMainFormOnEndSignal);
    Application->SetMainFormOnTaskBar(true);
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->Run();
    return 0;
}
