// The port-setting combo box.
#include "serial/ctl/SerialSelect.h"

TSerialComboBox::TSerialComboBox(TComponent* AOwner)
    : TComboBox(AOwner), FSelect(std::make_unique<TSerialSelect>(GetItems())) {
    SetStyle(csDropDownList);
}

TSerialComboBox::~TSerialComboBox() = default;

void TSerialComboBox::SetComPort(TCustomSerialPort* value) {
    if (value == GetComPort()) return;
    if (GetComPort()) RemoveFreeNotification(GetComPort());
    FSelect->SetComPort(value);
    if (value) FreeNotification(value);
}

void TSerialComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TComboBox::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == GetComPort()) FSelect->SetComPort(nullptr);
}

void TSerialComboBox::SetComProperty(TSerialProperty value) {
    FSelect->SetComProperty(value);
    if (GetComPort())
        UpdateSettings();
    else
        SetItemIndex(0);
}

std::string TSerialComboBox::GetText() const { return TComboBox::GetText(); }

void TSerialComboBox::SetText(const std::string& s) {
    const int index = GetItems()->IndexOf(s);
    if (index >= 0) SetItemIndex(index);
}

void TSerialComboBox::UpdateSettings() {
    int index = GetItemIndex();
    FSelect->UpdateSettings(index);
    SetItemIndex(index);
}

void TSerialComboBox::Change() {
    FSelect->Change(GetText());
    TComboBox::Change();
}
