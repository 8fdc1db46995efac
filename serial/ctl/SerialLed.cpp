// The signal lamp.
#include "serial/ctl/SerialLed.h"

#include <algorithm>

TSerialLed::TSerialLed(TComponent* AOwner)
    : TGraphicControl(AOwner),
      FComLink(std::make_unique<TSerialLink>()),
      FGlyphOn(std::make_unique<TBitmap>()),
      FGlyphOff(std::make_unique<TBitmap>()) {
    FGlyphOn->SetSize(0, 0);
    FGlyphOff->SetSize(0, 0);
    SetBounds(GetLeft(), GetTop(), 25, 25);
    FRingTimer = new TTimer(this);
    FRingTimer->SetEnabled(false);
    FRingTimer->SetInterval(unsigned(FRingDuration));
    FRingTimer->OnTimer = [this](TObject*) { RingTimerTick(); };
    SetLedSignal(lsConn);
    LoadKindGlyphs();
}

TSerialLed::~TSerialLed() {
    BeginDestroy();
    SetComPort(nullptr);
}

void TSerialLed::SetComPort(TSerialPort* value) {
    if (!RelinkSerialPort(*this, FComPort, value, FComLink.get())) return;
    if (IsDestroying() || FDestroyingControl) return;
    DoChangeState(FComPort && FComPort->GetConnected() && SignalNow() ? lsOn : lsOff);
}

void TSerialLed::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FComPort) {
        FComPort = nullptr;
        FRingTimer->SetEnabled(false);
        DoChangeState(lsOff);
    }
}

bool TSerialLed::SignalNow() const {
    switch (FLedSignal) {
        case lsConn: return FComPort->GetConnected();
        case lsCTS: return FComPort->Signals().Contains(csCTS);
        case lsDSR: return FComPort->Signals().Contains(csDSR);
        case lsRLSD: return FComPort->Signals().Contains(csRLSD);
        default: return false;
    }
}

void TSerialLed::SetLedSignal(TSerialLedSignal value) {
    FLedSignal = value;
    TSerialLink& l = *FComLink;
    l.OnConn = l.OnCTSChange = l.OnDSRChange = l.OnRLSDChange = l.OnRx = l.OnTx = nullptr;
    l.OnRing = nullptr;
    auto signal = [this](TObject*, bool OnOff) { SignalChanged(OnOff); };
    switch (value) {
        case lsConn: l.OnConn = signal; break;
        case lsCTS: l.OnCTSChange = signal; break;
        case lsDSR: l.OnDSRChange = signal; break;
        case lsRLSD: l.OnRLSDChange = signal; break;
        case lsRing: l.OnRing = [this](TObject*) { Ringed(); }; break;
        case lsRx: l.OnRx = signal; break;
        case lsTx: l.OnTx = signal; break;
    }
}

void TSerialLed::SignalChanged(bool OnOff) {
    DoChangeState(OnOff ? lsOn : lsOff);
    // Painted now rather than through a nested message loop: this runs inside the port's
    // event hand-over, where another port event must not be served re-entrantly.
    if (GetParent()) Repaint();
}

void TSerialLed::Ringed() {
    DoChangeState(lsOn);
    FRingTimer->SetEnabled(false);
    FRingTimer->SetEnabled(true);
}

void TSerialLed::RingTimerTick() {
    DoChangeState(lsOff);
    FRingTimer->SetEnabled(false);
}

void TSerialLed::SetState(TLedState value) {
    if (FComPort) throw ESerialPort(SerialErrorCode(CE_LedStateFailed));
    DoChangeState(value);
}

void TSerialLed::DoChangeState(TLedState value) {
    if (value == FState) return;
    FState = value;
    if (!IsLoading()) FireEvent(OnChange, this, value);
    Invalidate();
}

void TSerialLed::SetRingDuration(int value) {
    FRingDuration = value;
    FRingTimer->SetInterval(unsigned(std::max(value, 0)));
}

void TSerialLed::SetKind(TLedKind value) {
    if (value == FKind) return;
    FKind = value;
    LoadKindGlyphs();
    Invalidate();
}

void TSerialLed::LoadKindGlyphs() {
    if (FKind == lkCustom) return;
    LoadLedResource(LedResourceName(FKind, true), *FGlyphOn);
    LoadLedResource(LedResourceName(FKind, false), *FGlyphOff);
}

void TSerialLed::SetGlyphOn(const TBitmap& value) {
    FGlyphOn->Assign(value);
    Invalidate();
}

void TSerialLed::SetGlyphOff(const TBitmap& value) {
    FGlyphOff->Assign(value);
    Invalidate();
}

void TSerialLed::Paint() {
    if (FKind != lkCustom && (FGlyphOn->GetEmpty() || FGlyphOff->GetEmpty())) LoadKindGlyphs();
    const TBitmap& glyph = FState == lsOn ? *FGlyphOn : *FGlyphOff;
    if (glyph.GetEmpty()) return;
    const int x = std::max(0, (GetClientWidth() - glyph.GetWidth()) / 2);
    const int y = std::max(0, (GetClientHeight() - glyph.GetHeight()) / 2);
    GetCanvas()->Draw(x, y, glyph);
}

TAccessibleInfo TSerialLed::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Indicator;
    info.Name = GetCaption();
    info.Value = FState == lsOn ? "on" : "off";
    info.Checked = FState == lsOn;
    info.Enabled = GetEnabled();
    return info;
}
