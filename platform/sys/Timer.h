#pragma once
// The form library's timer: Interval in milliseconds, Enabled, OnTimer on the GUI thread.
#include <cstdint>
#include <memory>

#include "platform/rtl/Classes.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned ms);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

    struct Impl;

protected:
    void Loaded() override;

private:
    void Update();
    unsigned FInterval = 1000;
    bool FEnabled = true;
    std::unique_ptr<Impl> FImpl;
};
