#pragma once
// The standard controls: label, edit, memo, combo box, button, check box, radio button.
// They keep the form library's rules where Qt differs: an edit's text set from code raises
// OnChange and its MaxLength limits typing only; a combo box's ItemIndex set from code raises
// no OnChange and an index out of range gives -1; a check box's or radio button's Checked set
// from code raises OnClick.
#include <memory>
#include <string>

#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"

// A caption painted on its parent (no window of its own), with DrawText's rules.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment a);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout l);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool w);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool a);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool t);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool s);
    bool GetEllipsis() const { return FEllipsis; }
    void SetEllipsis(bool e);
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* c);  // forgotten when that control is freed

    TAccessibleInfo GetAccessibleInfo() const override;
    bool DialogChar(char Key) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void AdjustBounds();
    unsigned DrawTextFlags() const;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    bool FEllipsis = false;
    TWinControl* FFocusControl = nullptr;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);

    std::string GetText() const override;
    void SetText(const std::string& s) override;  // raises OnChange when the text changes
    // Characters the user may type (0: no limit); text set from code is never cut.
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int n) { FMaxLength = n < 0 ? 0 : n; }
    char GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char c);
    bool GetReadOnly() const;
    void SetReadOnly(bool r);
    bool GetNumbersOnly() const { return FNumbersOnly; }
    void SetNumbersOnly(bool n) { FNumbersOnly = n; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment a);
    TEditCharCase GetCharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase c) { FCharCase = c; }
    int GetSelStart() const;
    void SetSelStart(int s);
    int GetSelLength() const;
    void SetSelLength(int n);
    void SelectAll();
    void Clear() { SetText(""); }
    bool GetModified() const { return FModified; }
    void SetModified(bool m) { FModified = m; }

    TNotifyEvent OnChange;

    // Layer use: the user's edit produced `typed` from `before`; returns the text to keep.
    std::string FilterTyped(const std::string& before, const std::string& typed) const;

protected:
    virtual void Change();
    void KeyPress(char& Key) override;
    bool AcceptTyping(const std::string& text) override;
    friend struct EditSignals;

private:
    int FMaxLength = 0;
    char FPasswordChar = 0;
    bool FNumbersOnly = false;
    TAlignment FAlignment = taLeftJustify;
    TEditCharCase FCharCase = ecNormal;
    bool FModified = false;
    std::string FLastText;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    // The memo's lines, read and written in place.
    TStrings* GetLines() const { return FLines.get(); }
    void SetLines(const TStrings& lines) { FLines->Assign(lines); }
    std::string GetText() const override;
    void SetText(const std::string& s) override;
    bool GetReadOnly() const;
    void SetReadOnly(bool r);
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle s);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool w);
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int n) { FMaxLength = n; }
    void Clear();
    // Keeps the last line in view.
    void ScrollToEnd();

    TNotifyEvent OnChange;

    // Enter starts a new line and Escape stays in the memo (no default or cancel button).
    bool WantsSpecialKey(Word Key) const override { return Key == VK_RETURN || Key == VK_ESCAPE; }

protected:
    void FontChanged() override;

private:
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    int FMaxLength = 0;
};

// A read-only memo for a log that only grows (the action log): its lines are kept compactly
// and only those in view are laid out, so a long session costs little memory. It shows and
// scrolls as a read-only memo does, its lines wrapped at its width.
class TLogMemo : public TWinControl {
public:
    explicit TLogMemo(TComponent* AOwner);
    ~TLogMemo() override;

    TStrings* GetLines() const { return FLines.get(); }
    std::string GetText() const override;
    void SetText(const std::string& s) override;
    // None or vertical: the lines wrap, so nothing scrolls sideways.
    void SetScrollBars(TScrollStyle s);
    void Clear();
    // Keeps the last line in view.
    void ScrollToEnd();

    bool WantsSpecialKey(Word Key) const override { return Key == VK_RETURN || Key == VK_ESCAPE; }

protected:
    void FontChanged() override;

private:
    std::unique_ptr<TStrings> FLines;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TStrings* GetItems() const { return FItems.get(); }
    void SetItems(const TStrings& items) { FItems->Assign(items); }
    int GetItemIndex() const;
    void SetItemIndex(int index);  // no OnChange; out of range selects nothing (-1)
    TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle s);
    std::string GetText() const override;
    void SetText(const std::string& s) override;
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int n);
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int n) { FMaxLength = n; }
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool s) { FSorted = s; }
    bool GetDroppedDown() const;
    void Clear();

    TNotifyEvent OnChange;  // the user chose an item or typed
    TNotifyEvent OnSelect;  // the user chose an item
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    virtual void Change();
    virtual void Select();
    friend struct ComboSignals;

private:
    std::unique_ptr<TStrings> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    bool FSorted = false;
};

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    bool GetDefault() const { return FDefault; }
    void SetDefault(bool d);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool c) { FCancel = c; }
    int GetModalResult() const { return FModalResult; }
    void SetModalResult(int r) { FModalResult = r; }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool w) { FWordWrap = w; }

    void Click() override;  // sets the form's ModalResult first, then OnClick
    // Enter clicks the button that is active (the focused button, else the default button
    // when the focus is not on a button); Escape clicks a cancel button.
    bool DialogKey(Word Key, TShiftState Shift) override;
    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void UpdateWidgetText() override;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
    bool FWordWrap = false;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool GetChecked() const { return FState == cbChecked; }
    void SetChecked(bool c) { SetState(c ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState s);  // raises OnClick when it changes
    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool a);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment a);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool w) { FWordWrap = w; }

    // The user's click: unchecked → (grayed when allowed, else checked) → ... → unchecked.
    void Toggle();

protected:
    void UpdateWidgetText() override;
    friend struct CheckSignals;
    void ShowState();  // the Qt box shows FState

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
    bool FWordWrap = false;
};

// Radio buttons with one parent form a group: checking one unchecks the others.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool GetChecked() const { return FChecked; }
    void SetChecked(bool c);  // becoming checked raises OnClick
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment a) { FAlignment = a; }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool w) { FWordWrap = w; }

protected:
    void UpdateWidgetText() override;
    friend struct RadioSignals;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
    bool FWordWrap = false;
};
