#pragma once
// What every builder of the main window's controls does first: create the component with the
// window as its owner, under the name the window knows it by, and place a control on its parent.
#include <string>

#include "platform/ui/Controls.h"
#include "serial/SerialPort.h"
#include "widgets/UiButton.h"
#include "widgets/UiPrgres.h"

template <class T>
T* NewComponent(TComponent* owner, const std::string& name) {
    T* c = new T(owner);
    c->SetName(name);
    return c;
}

template <class T>
T* NewControl(TComponent* owner, TWinControl* parent, const std::string& name) {
    T* c = NewComponent<T>(owner, name);
    if (parent) c->SetParent(parent);
    return c;
}

template <class T>
T* NewControl(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top, int width,
              int height) {
    T* c = NewControl<T>(owner, parent, name);
    c->SetBounds(left, top, width, height);
    return c;
}

// The number-base buttons' look: hot-tracked silver faces in the classic drawing, Tahoma
// captions, and each is a cancel button (Escape clicks the first one on the shown page).
inline void SetNumberBaseButtonLook(TUiButton* b) {
    b->SetHotTrack(true);
    b->SetThemeAware(false);
    b->SetCancel(true);
    b->GetFont()->SetName("Tahoma");
    b->SetColor(clSilver);
}

// Every progress bar of the window: a plain blue bar without a frame.
inline TUiProgressBar* NewProgressBar(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                                      int top, int width, int height) {
    auto* bar = NewControl<TUiProgressBar>(owner, parent, name, left, top, width, height);
    bar->SetBarColor(0xAA623E);
    bar->SetBorderOuter(fsNone);
    bar->SetBorderWidth(0);
    bar->SetInteriorOffset(0);
    return bar;
}

// The tool's ports (the device's and the desk reader's): 8 data bits, no parity, one stop bit,
// 2048-byte queues, character and event-character events raised per burst, no flow control
// and DTR and RTS held off. Only the port name and speed differ.
inline TSerialPort* NewPlainSerialPort(TComponent* owner, const std::string& name, const std::string& port,
                                       TBaudRate speed) {
    auto* p = NewComponent<TSerialPort>(owner, name);
    p->SetPort(port);
    p->SetBaudRate(speed);
    p->SetDataBits(dbEight);
    p->SetStopBits(sbOneStopBit);
    p->GetParity()->SetBits(prNone);
    p->GetBuffer()->SetInputSize(2048);
    p->GetBuffer()->SetOutputSize(2048);
    p->SetEvents({evRxChar, evRxFlag});
    TSerialFlowControl* flow = p->GetFlowControl();
    flow->SetOutCTSFlow(false);
    flow->SetOutDSRFlow(false);
    flow->SetControlDTR(dtrDisable);
    flow->SetControlRTS(rtsDisable);
    flow->SetXonXoffOut(false);
    flow->SetXonXoffIn(false);
    p->SetTriggersOnRxChar(true);
    return p;
}
