#pragma once
// Opening a file the way the desktop does (the shell's "open" verb): always through the
// desktop's opener, xdg-open, so nothing downloaded is ever executed directly.
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"

class TTimer;

namespace sys {

enum class TShellOutcome {
    Opened,       // the opener ended with success, or is still at work after kShellOpenWaitMs
    CannotStart,  // there is no opener to start
    Failed,       // the opener ended with a failure (its exit code)
};

// An opener still running this long is showing the file (a plain xdg-open runs the program
// it chose until that program ends).
inline constexpr unsigned kShellOpenWaitMs = 5000;

class TShellOpener : public TComponent {
public:
    explicit TShellOpener(TComponent* AOwner);
    // Forgets the call it waits for; the opener itself goes on.
    ~TShellOpener() override;

    using TDone = std::function<void(TShellOutcome outcome, int exitCode)>;
    // Starts the opener on the path and returns; done follows on the GUI thread. A call still
    // waited for is forgotten.
    void Open(const std::string& path, TDone done);

    struct Impl;

private:
    void Finish(TShellOutcome outcome, int exitCode);

    std::unique_ptr<Impl> FImpl;
    TTimer* FWait = nullptr;
};

}  // namespace sys
