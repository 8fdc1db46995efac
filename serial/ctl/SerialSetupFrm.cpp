// The port setup dialog.
#include <memory>

#include "serial/SerialStore.h"
#include "serial/ctl/SerialSetup.h"

namespace {
TSerialDialogShowEvent& ShowEvent() {
    static TSerialDialogShowEvent handler;
    return handler;
}

template <class T>
T* Add(TComponent* owner, TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}
}  // namespace

void SetSerialDialogShowEvent(TSerialDialogShowEvent handler) { ShowEvent() = std::move(handler); }

void RaiseSerialDialogShown(TCustomForm* dialog) {
    TSerialDialogShowEvent h = ShowEvent();
    if (h) h(dialog);
}

TSerialSetupFrm::TSerialSetupFrm(TComponent* AOwner) : TForm(AOwner) {
    SetName("SerialSetupFrm");
    SetCaption("Setup");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(306, 200);
    GroupBox1 = Add<TUiGroupBox>(this, this, 8, 6, 201, 186);
    GroupBox1->SetCaption(" Settings ");
    const char* labels[6] = {"Port", "Baud rate", "Data bits", "Stop bits", "Parity", "Flow control"};
    const TSerialProperty props[6] = {cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl};
    TSerialComboBox** combos[6] = {&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
    for (int i = 0; i < 6; ++i) {
        TLabel* label = Add<TLabel>(this, GroupBox1, 10, 24 + i * 26, 70, 13);
        label->SetCaption(labels[i]);
        TSerialComboBox* combo = Add<TSerialComboBox>(this, GroupBox1, 88, 20 + i * 26, 103, 21);
        combo->SetName("Combo" + std::to_string(i + 1));
        combo->SetComProperty(props[i]);
        *combos[i] = combo;
    }
    Button1 = Add<TButton>(this, this, 222, 12, 75, 25);
    Button1->SetCaption("OK");
    Button1->SetDefault(true);
    Button1->SetModalResult(mrOk);
    Button2 = Add<TButton>(this, this, 222, 44, 75, 25);
    Button2->SetCaption("Cancel");
    Button2->SetCancel(true);
    Button2->SetModalResult(mrCancel);
}

TSerialComboBox* TSerialSetupFrm::Combo(int index) const {
    switch (index) {
        case 1: return Combo1;
        case 2: return Combo2;
        case 3: return Combo3;
        case 4: return Combo4;
        case 5: return Combo5;
        case 6: return Combo6;
        default: return nullptr;
    }
}

void TSerialSetupFrm::DoShow() {
    TForm::DoShow();
    RaiseSerialDialogShown(this);
}

void EditSerialPort(TCustomSerialPort* ComPort) {
    if (!ComPort) return;
    auto dialog = std::make_unique<TSerialSetupFrm>(nullptr);
    for (int i = 1; i <= 6; ++i) {
        dialog->Combo(i)->SetComPort(ComPort);
        dialog->Combo(i)->UpdateSettings();
    }
    if (dialog->ShowModal() != mrOk) return;
    ComPort->BeginUpdate();
    try {
        for (int i = 1; i <= 6; ++i) dialog->Combo(i)->ApplySettings();
    } catch (...) {
        try {
            ComPort->EndUpdate();
        } catch (...) {
        }
        throw;
    }
    ComPort->EndUpdate();
}

void RegisterSerialSetupDialog() { SetSerialSetupDialogProc(EditSerialPort); }
