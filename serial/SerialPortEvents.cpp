// The port's event steps, its stand-in window, and the events it fires.
#include "platform/sys/GuiThread.h"
#include "serial/SerialPort.h"

void TCustomSerialPort::CallRxChar() {
    int count = InputCount();
    const std::vector<TSerialLink*> links = LinksNow();
    if (count > 0)
        for (TSerialLink* l : links)
            if (l->OnRx) l->OnRx(this, true);
    if (count > 0 && !GetTriggersOnRxChar()) {
        // The bytes are read here and handed on; handlers get only what was really read.
        std::vector<std::uint8_t> buffer;
        bool taken = false;
        auto take = [&] {
            buffer.resize(static_cast<std::size_t>(count));
            buffer.resize(static_cast<std::size_t>(Read(buffer.data(), count)));
            taken = true;
            if (!buffer.empty()) DoRxBuf(buffer.data(), static_cast<int>(buffer.size()));
        };
        for (TSerialLink* l : links) {
            if (!l->OnRxBuf) continue;
            if (!taken) take();
            if (!buffer.empty()) l->OnRxBuf(this, buffer.data(), static_cast<int>(buffer.size()));
        }
        if (!taken && !FTriggersOnRxChar) take();
        if (taken) return;
    }
    if (count > 0) DoRxChar(count);
}

void TCustomSerialPort::CallTxEmpty() {
    const std::vector<TSerialLink*> links = LinksNow();
    for (TSerialLink* l : links)
        if (l->OnTx) l->OnTx(this, false);
    for (TSerialLink* l : links)
        if (l->OnTxEmpty) l->OnTxEmpty(this);
    DoTxEmpty();
}

void TCustomSerialPort::CallRxFlag() {
    for (TSerialLink* l : LinksNow())
        if (l->OnRxFlag) l->OnRxFlag(this);
    DoRxFlag();
}

void TCustomSerialPort::CallRing() {
    for (TSerialLink* l : LinksNow())
        if (l->OnRing) l->OnRing(this);
    DoRing();
}

void TCustomSerialPort::CallBreak() { DoBreak(); }
void TCustomSerialPort::CallRx80Full() { DoRx80Full(); }

void TCustomSerialPort::CallError() {
    TSerialErrors errors = LastErrors();
    if (!errors.Empty()) DoError(errors);
}

void TCustomSerialPort::ReportLine(TSerialSignal line) {
    bool on = Signals().Contains(line);
    for (TSerialLink* l : LinksNow()) {
        const TSerialSignalEvent& h =
            line == csCTS ? l->OnCTSChange : line == csDSR ? l->OnDSRChange : l->OnRLSDChange;
        if (h) h(this, on);
    }
    if (line == csCTS)
        DoCTSChange(on);
    else if (line == csDSR)
        DoDSRChange(on);
    else
        DoRLSDChange(on);
}

void TCustomSerialPort::CallCTSChange() { ReportLine(csCTS); }
void TCustomSerialPort::CallDSRChange() { ReportLine(csDSR); }
void TCustomSerialPort::CallRLSDChange() { ReportLine(csRLSD); }

void TCustomSerialPort::WindowMethod(unsigned Msg, std::uint32_t WParam) {
    if (Msg != CM_COMPORTEVENT) return;
    if (!FConnected || FClosing) return;  // a late message for a closed port calls nothing
    try {
        switch (WParam) {
            case 0x0001: CallRxChar(); break;
            case 0x0002: CallRxFlag(); break;
            case 0x0004: CallTxEmpty(); break;
            case 0x0008: CallCTSChange(); break;
            case 0x0010: CallDSRChange(); break;
            case 0x0020: CallRLSDChange(); break;
            case 0x0040: CallBreak(); break;
            case 0x0080: CallError(); break;
            case 0x0100: CallRing(); break;
            case 0x0400: CallRx80Full(); break;
            default: break;
        }
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
}

// ---- the events; handlers are copied first, so one may free the port ----------------------

namespace {
template <class F, class... A>
void Fire(const F& event, A&&... args) {
    if (!event) return;
    F handler = event;
    handler(std::forward<A>(args)...);
}
}  // namespace

void TCustomSerialPort::DoAfterClose() { Fire(OnAfterClose, this); }
void TCustomSerialPort::DoAfterOpen() { Fire(OnAfterOpen, this); }
void TCustomSerialPort::DoBeforeClose() { Fire(OnBeforeClose, this); }
void TCustomSerialPort::DoBeforeOpen() { Fire(OnBeforeOpen, this); }
void TCustomSerialPort::DoRxChar(int Count) { Fire(OnRxChar, this, Count); }
void TCustomSerialPort::DoRxBuf(const void* Buffer, int Count) { Fire(OnRxBuf, this, Buffer, Count); }
void TCustomSerialPort::DoTxEmpty() { Fire(OnTxEmpty, this); }
void TCustomSerialPort::DoBreak() { Fire(OnBreak, this); }
void TCustomSerialPort::DoRing() { Fire(OnRing, this); }
void TCustomSerialPort::DoRxFlag() { Fire(OnRxFlag, this); }
void TCustomSerialPort::DoCTSChange(bool OnOff) { Fire(OnCTSChange, this, OnOff); }
void TCustomSerialPort::DoDSRChange(bool OnOff) { Fire(OnDSRChange, this, OnOff); }
void TCustomSerialPort::DoError(TSerialErrors Errors) { Fire(OnError, this, Errors); }
void TCustomSerialPort::DoRLSDChange(bool OnOff) { Fire(OnRLSDChange, this, OnOff); }
void TCustomSerialPort::DoRx80Full() { Fire(OnRx80Full, this); }
