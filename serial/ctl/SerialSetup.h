#pragma once
// The port setup dialog and the terminal setup dialog, and the calls that show them.
#include <functional>

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "serial/ctl/SerialSelect.h"
#include "serial/ctl/SerialTerminal.h"
#include "widgets/UiPanel.h"

// Raised as either dialog first shows, before the user acts: lets a script or an
// accessibility driver fill it in and press a button.
using TSerialDialogShowEvent = std::function<void(TCustomForm* Dialog)>;
void SetSerialDialogShowEvent(TSerialDialogShowEvent handler);

class TSerialSetupFrm : public TForm {
public:
    explicit TSerialSetupFrm(TComponent* AOwner);

    TButton* Button1;  // "OK"
    TButton* Button2;  // "Cancel"
    TUiGroupBox* GroupBox1;
    TSerialComboBox* Combo1;  // port
    TSerialComboBox* Combo2;  // baud rate
    TSerialComboBox* Combo3;  // data bits
    TSerialComboBox* Combo4;  // stop bits
    TSerialComboBox* Combo5;  // parity
    TSerialComboBox* Combo6;  // flow control
    TSerialComboBox* Combo(int index) const;  // 1 to 6

protected:
    void DoShow() override;
};

class TSerialTrmSetForm : public TForm {
public:
    explicit TSerialTrmSetForm(TComponent* AOwner);

    TUiGroupBox* GroupBox1;  // " ASCII Settings "
    TCheckBox* CheckBox1;    // LocalEcho
    TCheckBox* CheckBox2;    // SendLF
    TCheckBox* CheckBox3;    // WrapLines
    TCheckBox* CheckBox4;    // Force7Bit
    TCheckBox* CheckBox5;    // AppendLF
    TUiGroupBox* GroupBox2;  // " Terminal Settings "
    TComboBox* ComboBox1;    // Caret
    TComboBox* ComboBox2;    // Emulation
    TComboBox* ComboBox3;    // ArrowKeys
    TEdit* Edit1;            // Columns
    TEdit* Edit2;            // Rows
    TButton* Button1;        // "OK"
    TButton* Button2;        // "Cancel"

protected:
    void DoShow() override;
};

// Shows the port setup dialog for the port; OK applies the six settings in one update.
void EditSerialPort(TCustomSerialPort* ComPort);
// Shows the terminal setup dialog; OK writes the settings back to the terminal.
void EditSerialTerminal(TCustomSerialTerminal* Terminal);
// Makes TCustomSerialPort::ShowSetupDialog show EditSerialPort's dialog.
void RegisterSerialSetupDialog();
