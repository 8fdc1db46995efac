#pragma once
// TSerialLed: a lamp that shows one signal of a port (connection, a modem line, a ring,
// receiving or sending), or a state set by the program when no port is chosen.
#include <functional>
#include <memory>
#include <string>

#include "platform/sys/Timer.h"
#include "platform/ui/Controls.h"
#include "serial/SerialPort.h"

enum TSerialLedSignal { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
enum TLedKind { lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb, lkCustom };
enum TLedState { lsOff, lsOn };

using TLedStateEvent = std::function<void(TObject* Sender, TLedState AState)>;

// The lamp pictures of the built-in kinds by resource name ("LEDREDON", "LEDBULBOFF", ...);
// false for a name that is not one of them.
bool LoadLedResource(const std::string& name, TBitmap& out);
// The on- and off-picture names of a built-in kind.
std::string LedResourceName(TLedKind kind, bool on);

class TSerialLed : public TGraphicControl {
public:
    explicit TSerialLed(TComponent* AOwner);
    ~TSerialLed() override;

    TSerialPort* GetComPort() const { return FComPort; }
    void SetComPort(TSerialPort* value);
    TSerialLedSignal GetLedSignal() const { return FLedSignal; }
    void SetLedSignal(TSerialLedSignal value);
    TLedKind GetKind() const { return FKind; }
    void SetKind(TLedKind value);
    TLedState GetState() const { return FState; }
    // Raises ESerialPort code 19 while a port is chosen: the port drives the lamp then.
    void SetState(TLedState value);
    int GetRingDuration() const { return FRingDuration; }
    void SetRingDuration(int value);
    TBitmap* GetGlyphOn() { return FGlyphOn.get(); }
    TBitmap* GetGlyphOff() { return FGlyphOff.get(); }
    void SetGlyphOn(const TBitmap& value);
    void SetGlyphOff(const TBitmap& value);
    // The pictures are stored with a form only for the custom kind.
    bool IsGlyphStored() const { return FKind == lkCustom; }

    TLedStateEvent OnChange;

    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DoChangeState(TLedState value);
    void SignalChanged(bool OnOff);
    void Ringed();
    void RingTimerTick();
    bool SignalNow() const;
    void LoadKindGlyphs();

    std::unique_ptr<TSerialLink> FComLink;
    std::unique_ptr<TBitmap> FGlyphOn;
    std::unique_ptr<TBitmap> FGlyphOff;
    TTimer* FRingTimer = nullptr;  // owned as a component
    TSerialPort* FComPort = nullptr;
    TSerialLedSignal FLedSignal = lsConn;
    TLedKind FKind = lkRedLight;
    TLedState FState = lsOff;
    int FRingDuration = 1000;
};
