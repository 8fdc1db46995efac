// The terminal setup dialog.
#include <memory>

#include "serial/ctl/SerialSetup.h"

void RaiseSerialDialogShown(TCustomForm* dialog);

namespace {
template <class T>
T* Add(TComponent* owner, TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

TComboBox* AddChoice(TForm* form, TWinControl* parent, int top, const char* caption,
                     std::initializer_list<const char*> items) {
    TLabel* label = Add<TLabel>(form, parent, 12, top + 4, 80, 13);
    label->SetCaption(caption);
    TComboBox* box = Add<TComboBox>(form, parent, 100, top, 150, 21);
    box->SetStyle(csDropDownList);
    for (const char* item : items) box->GetItems()->Add(item);
    return box;
}
}  // namespace

TSerialTrmSetForm::TSerialTrmSetForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("SerialTrmSetForm");
    SetCaption("Setup");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(362, 330);
    GroupBox1 = Add<TUiGroupBox>(this, this, 8, 6, 262, 134);
    GroupBox1->SetCaption(" ASCII Settings ");
    const char* checks[5] = {"Echo typed charachters locally", "Send line feeds with carriage return",
                             "Wrap lines that exceed terminal width", "Force incoming data to 7 bit ASCII",
                             "Append line feeds to incoming carriage return"};
    TCheckBox** boxes[5] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5};
    for (int i = 0; i < 5; ++i) {
        *boxes[i] = Add<TCheckBox>(this, GroupBox1, 12, 20 + i * 22, 240, 17);
        (*boxes[i])->SetCaption(checks[i]);
    }
    GroupBox2 = Add<TUiGroupBox>(this, this, 8, 146, 262, 176);
    GroupBox2->SetCaption(" Terminal Settings ");
    ComboBox1 = AddChoice(this, GroupBox2, 20, "Caret", {"Block", "Underline"});
    ComboBox2 = AddChoice(this, GroupBox2, 48, "Emulation", {"ANSI/VT100", "VT52", "None"});
    ComboBox3 = AddChoice(this, GroupBox2, 76, "Cursor keys", {"Act as terminal keys", "Act as windows keys"});
    Add<TLabel>(this, GroupBox2, 12, 108, 80, 13)->SetCaption("Columns");
    Edit1 = Add<TEdit>(this, GroupBox2, 100, 104, 60, 21);
    Add<TLabel>(this, GroupBox2, 12, 136, 80, 13)->SetCaption("Rows");
    Edit2 = Add<TEdit>(this, GroupBox2, 100, 132, 60, 21);
    Button1 = Add<TButton>(this, this, 280, 12, 75, 25);
    Button1->SetCaption("OK");
    Button1->SetDefault(true);
    Button1->SetModalResult(mrOk);
    Button2 = Add<TButton>(this, this, 280, 44, 75, 25);
    Button2->SetCaption("Cancel");
    Button2->SetCancel(true);
    Button2->SetModalResult(mrCancel);
}

void TSerialTrmSetForm::DoShow() {
    TForm::DoShow();
    RaiseSerialDialogShown(this);
}

void EditSerialTerminal(TCustomSerialTerminal* Terminal) {
    if (!Terminal) return;
    auto d = std::make_unique<TSerialTrmSetForm>(nullptr);
    d->CheckBox1->SetChecked(Terminal->GetLocalEcho());
    d->CheckBox2->SetChecked(Terminal->GetSendLF());
    d->CheckBox3->SetChecked(Terminal->GetWrapLines());
    d->CheckBox4->SetChecked(Terminal->GetForce7Bit());
    d->CheckBox5->SetChecked(Terminal->GetAppendLF());
    d->ComboBox1->SetItemIndex(int(Terminal->GetCaret()));  // no item for tcNone: -1
    d->ComboBox2->SetItemIndex(int(Terminal->GetEmulation()));
    d->ComboBox3->SetItemIndex(int(Terminal->GetArrowKeys()));
    d->Edit1->SetText(IntToStr(Terminal->GetColumns()));
    d->Edit2->SetText(IntToStr(Terminal->GetRows()));
    if (d->ShowModal() != mrOk) return;
    Terminal->SetLocalEcho(d->CheckBox1->GetChecked());
    Terminal->SetSendLF(d->CheckBox2->GetChecked());
    Terminal->SetWrapLines(d->CheckBox3->GetChecked());
    Terminal->SetForce7Bit(d->CheckBox4->GetChecked());
    Terminal->SetAppendLF(d->CheckBox5->GetChecked());
    // A list with nothing chosen leaves the setting as it was.
    if (d->ComboBox1->GetItemIndex() >= 0) Terminal->SetCaret(TTermCaret(d->ComboBox1->GetItemIndex()));
    if (d->ComboBox2->GetItemIndex() >= 0) Terminal->SetEmulation(TTermEmulation(d->ComboBox2->GetItemIndex()));
    Terminal->SetColumns(StrToInt(d->Edit1->GetText()));
    Terminal->SetRows(StrToInt(d->Edit2->GetText()));
    if (d->ComboBox3->GetItemIndex() >= 0) Terminal->SetArrowKeys(TArrowKeys(d->ComboBox3->GetItemIndex()));
}

void TCustomSerialTerminal::ShowSetupDialog() { EditSerialTerminal(this); }
