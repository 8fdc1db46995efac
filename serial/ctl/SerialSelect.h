#pragma once
// Controls that show and edit one setting of a port: a combo box and a radio group, both
// served by TSerialSelect, which fills their items and carries the chosen value to the port.
#include <string>

#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"
#include "serial/SerialPort.h"
#include "widgets/UiRadGrp.h"

enum TSerialProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

class TSerialSelect : public TObject {
public:
    explicit TSerialSelect(TStrings* Items) : FItems(Items) {}

    TSerialProperty GetComProperty() const { return FComProperty; }
    // Stores the property and refills the items: the port list, or every text form of the
    // setting in value order; cpNone empties them.
    void SetComProperty(TSerialProperty value);
    TCustomSerialPort* GetComPort() const { return FComPort; }
    void SetComPort(TCustomSerialPort* value) { FComPort = value; }
    bool GetAutoApply() const { return FAutoApply; }
    void SetAutoApply(bool value) { FAutoApply = value; }

    // The text chosen becomes the chosen value; with AutoApply it goes to the port at once.
    void Change(const std::string& Text);
    // The chosen value to the port, through the setting's own setter.
    void ApplySettings();
    // ItemIndex becomes the index of the port's current value (-1 when absent); a value found
    // becomes the chosen one. Nothing without a port.
    void UpdateSettings(int& ItemIndex);

    const std::string& GetChosenPort() const { return FPort; }
    TBaudRate GetChosenBaudRate() const { return FBaudRate; }
    TDataBits GetChosenDataBits() const { return FDataBits; }
    TStopBits GetChosenStopBits() const { return FStopBits; }
    TParityBits GetChosenParity() const { return FParity; }
    TFlowControl GetChosenFlowControl() const { return FFlowControl; }

private:
    std::string CurrentText() const;
    void Choose(const std::string& Text);

    std::string FPort;
    TBaudRate FBaudRate = br9600;
    TDataBits FDataBits = dbEight;
    TStopBits FStopBits = sbOneStopBit;
    TParityBits FParity = prNone;
    TFlowControl FFlowControl = fcNone;
    TStrings* FItems;  // the owning control's list
    TSerialProperty FComProperty = cpNone;
    TCustomSerialPort* FComPort = nullptr;
    bool FAutoApply = false;
};

class TSerialComboBox : public TComboBox {
public:
    explicit TSerialComboBox(TComponent* AOwner);
    ~TSerialComboBox() override;

    TCustomSerialPort* GetComPort() const { return FSelect->GetComPort(); }
    void SetComPort(TCustomSerialPort* value);
    TSerialProperty GetComProperty() const { return FSelect->GetComProperty(); }
    // Refills the items, then selects the port's current value (the first item without a port).
    void SetComProperty(TSerialProperty value);
    bool GetAutoApply() const { return FSelect->GetAutoApply(); }
    void SetAutoApply(bool value) { FSelect->SetAutoApply(value); }
    // The selected item's text; setting it selects the item with that text, when there is one.
    std::string GetText() const override;
    void SetText(const std::string& s) override;

    void ApplySettings() { FSelect->ApplySettings(); }
    void UpdateSettings();
    // The user's choice: the selected text to the select object, then OnChange.
    void Change() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TSerialSelect> FSelect;
};

class TSerialRadioGroup : public TUiCustomRadioGroup {
public:
    explicit TSerialRadioGroup(TComponent* AOwner);
    ~TSerialRadioGroup() override;

    TCustomSerialPort* GetComPort() const { return FSelect->GetComPort(); }
    void SetComPort(TCustomSerialPort* value);
    TSerialProperty GetComProperty() const { return FSelect->GetComProperty(); }
    void SetComProperty(TSerialProperty value);
    bool GetAutoApply() const { return FSelect->GetAutoApply(); }
    void SetAutoApply(bool value) { FSelect->SetAutoApply(value); }

    void ApplySettings() { FSelect->ApplySettings(); }
    void UpdateSettings();

protected:
    // A click on an item: a new index goes to the select object, then OnClick.
    void ItemClicked(TUiCustomGlyphButton* item) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TSerialSelect> FSelect;
    int FOldIndex = -1;
};
