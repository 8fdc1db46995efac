// The port-setting radio group.
#include "serial/ctl/SerialSelect.h"

TSerialRadioGroup::TSerialRadioGroup(TComponent* AOwner)
    : TUiCustomRadioGroup(AOwner), FSelect(std::make_unique<TSerialSelect>(GetItems())) {}

TSerialRadioGroup::~TSerialRadioGroup() = default;

void TSerialRadioGroup::SetComPort(TCustomSerialPort* value) {
    if (value == GetComPort()) return;
    if (GetComPort()) RemoveFreeNotification(GetComPort());
    FSelect->SetComPort(value);
    if (value) FreeNotification(value);
}

void TSerialRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TUiCustomRadioGroup::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == GetComPort()) FSelect->SetComPort(nullptr);
}

void TSerialRadioGroup::SetComProperty(TSerialProperty value) {
    FSelect->SetComProperty(value);
    if (GetComPort())
        UpdateSettings();
    else
        SetItemIndex(0);
}

void TSerialRadioGroup::UpdateSettings() {
    int index = GetItemIndex();
    FSelect->UpdateSettings(index);
    SetItemIndex(index);
}

void TSerialRadioGroup::ItemClicked(TUiCustomGlyphButton* item) {
    // The group decides (its OnChanging may refuse) and moves the index; its OnClick is held
    // back meanwhile, so the select object has the choice before the handler runs.
    TNotifyEvent userClick = OnClick;
    bool clicked = false;
    OnClick = [&clicked](TObject*) { clicked = true; };
    TControlGuard alive(this);
    TUiCustomRadioGroup::ItemClicked(item);
    if (!alive.Alive()) return;
    OnClick = userClick;
    if (!clicked) return;
    const int index = GetItemIndex();
    if (index != FOldIndex) {
        FOldIndex = index;
        if (index >= 0 && index < GetItems()->Count()) FSelect->Change(GetItems()->Get(index));
    }
    FireEvent(OnClick, this);
}
