#pragma once
// What every builder of the main window's controls does first: create the component with the
// window as its owner, under the name the window knows it by, and place a control on its parent.
#include <string>

#include "platform/ui/Controls.h"
#include "serial/SerialPort.h"

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
