#include "serial/SerialSettings.h"

#include "serial/SerialPort.h"

namespace {
template <class T>
bool Store(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}
int Even(int v) { return (v > 0 && v % 2 != 0) ? v - 1 : v; }
}  // namespace

// ---- time-outs -----------------------------------------------------------------------------

void TSerialTimeouts::Changed() {
    if (FComPort) FComPort->ApplyTimeouts();
}
void TSerialTimeouts::SetReadInterval(int v) {
    if (Store(FReadInterval, v)) Changed();
}
void TSerialTimeouts::SetReadTotalM(int v) {
    if (Store(FReadTotalM, v)) Changed();
}
void TSerialTimeouts::SetReadTotalC(int v) {
    if (Store(FReadTotalC, v)) Changed();
}
void TSerialTimeouts::SetWriteTotalM(int v) {
    if (Store(FWriteTotalM, v)) Changed();
}
void TSerialTimeouts::SetWriteTotalC(int v) {
    if (Store(FWriteTotalC, v)) Changed();
}
void TSerialTimeouts::AssignTo(TSerialTimeouts& d) const {
    d.FReadInterval = FReadInterval;
    d.FReadTotalM = FReadTotalM;
    d.FReadTotalC = FReadTotalC;
    d.FWriteTotalM = FWriteTotalM;
    d.FWriteTotalC = FWriteTotalC;
}

// ---- flow control --------------------------------------------------------------------------

void TSerialFlowControl::Changed() {
    if (FComPort) FComPort->ApplyDCB();
}
void TSerialFlowControl::SetOutCTSFlow(bool v) {
    if (Store(FOutCTSFlow, v)) Changed();
}
void TSerialFlowControl::SetOutDSRFlow(bool v) {
    if (Store(FOutDSRFlow, v)) Changed();
}
void TSerialFlowControl::SetControlDTR(TDTRFlowControl v) {
    if (Store(FControlDTR, v)) Changed();
}
void TSerialFlowControl::SetControlRTS(TRTSFlowControl v) {
    if (Store(FControlRTS, v)) Changed();
}
void TSerialFlowControl::SetXonXoffOut(bool v) {
    if (Store(FXonXoffOut, v)) Changed();
}
void TSerialFlowControl::SetXonXoffIn(bool v) {
    if (Store(FXonXoffIn, v)) Changed();
}
void TSerialFlowControl::SetDSRSensitivity(bool v) {
    if (Store(FDSRSensitivity, v)) Changed();
}
void TSerialFlowControl::SetTxContinueOnXoff(bool v) {
    if (Store(FTxContinueOnXoff, v)) Changed();
}
void TSerialFlowControl::SetXonChar(char16_t v) {
    if (Store(FXonChar, v)) Changed();
}
void TSerialFlowControl::SetXoffChar(char16_t v) {
    if (Store(FXoffChar, v)) Changed();
}

TFlowControl TSerialFlowControl::GetFlowControl() const {
    if (FControlRTS == rtsHandshake && FOutCTSFlow && !FXonXoffIn && !FXonXoffOut) return fcHardware;
    if (FControlRTS == rtsDisable && !FOutCTSFlow && FXonXoffIn && FXonXoffOut) return fcSoftware;
    if (FControlRTS == rtsDisable && !FOutCTSFlow && !FXonXoffIn && !FXonXoffOut) return fcNone;
    return fcCustom;
}

void TSerialFlowControl::SetFlowControl(TFlowControl v) {
    if (v != fcCustom) {
        FControlRTS = rtsDisable;
        FOutCTSFlow = FXonXoffIn = FXonXoffOut = false;
        if (v == fcHardware) {
            FControlRTS = rtsHandshake;
            FOutCTSFlow = true;
        } else if (v == fcSoftware) {
            FXonXoffIn = FXonXoffOut = true;
        }
    }
    Changed();
}

void TSerialFlowControl::AssignTo(TSerialFlowControl& d) const {
    d.FOutCTSFlow = FOutCTSFlow;
    d.FOutDSRFlow = FOutDSRFlow;
    d.FControlDTR = FControlDTR;
    d.FControlRTS = FControlRTS;
    d.FXonXoffOut = FXonXoffOut;
    d.FXonXoffIn = FXonXoffIn;
    d.FDSRSensitivity = FDSRSensitivity;
    d.FTxContinueOnXoff = FTxContinueOnXoff;
    d.FXonChar = FXonChar;
    d.FXoffChar = FXoffChar;
}

// ---- parity --------------------------------------------------------------------------------

void TSerialParity::Changed() {
    if (FComPort) FComPort->ApplyDCB();
}
void TSerialParity::SetBits(TParityBits v) {
    if (Store(FBits, v)) Changed();
}
void TSerialParity::SetCheck(bool v) {
    if (Store(FCheck, v)) Changed();
}
void TSerialParity::SetReplace(bool v) {
    if (Store(FReplace, v)) Changed();
}
void TSerialParity::SetReplaceChar(char16_t v) {
    if (Store(FReplaceChar, v)) Changed();
}
void TSerialParity::AssignTo(TSerialParity& d) const {
    d.FBits = FBits;
    d.FCheck = FCheck;
    d.FReplace = FReplace;
    d.FReplaceChar = FReplaceChar;
}

// ---- queue sizes ---------------------------------------------------------------------------

void TSerialBuffer::Changed() {
    if (FComPort) FComPort->ApplyBuffer();
}
void TSerialBuffer::SetInputSize(int v) {
    if (v == FInputSize) return;
    FInputSize = Even(v);
    Changed();
}
void TSerialBuffer::SetOutputSize(int v) {
    if (v == FOutputSize) return;
    FOutputSize = Even(v);
    Changed();
}
void TSerialBuffer::AssignTo(TSerialBuffer& d) const {
    d.FInputSize = FInputSize;
    d.FOutputSize = FOutputSize;
}
