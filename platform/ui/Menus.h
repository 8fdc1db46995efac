#pragma once
// Popup menus and their items.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& c) { FCaption = c; }  // "-" is a separator
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool c);  // a radio item unchecks the others of its group
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool e) { FEnabled = e; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    bool GetRadioItem() const { return FRadioItem; }
    void SetRadioItem(bool r) { FRadioItem = r; }
    bool GetAutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool a) { FAutoCheck = a; }
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int g) { FGroupIndex = g; }
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& h) { FHint = h; }

    // Sub-items (the item owns what it holds).
    int GetCount() const { return static_cast<int>(FItems.size()); }
    TMenuItem* GetItem(int index) const { return FItems.at(index); }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* GetParentItem() const { return FParentItem; }
    bool IsLine() const { return FCaption == "-"; }

    // What a choice of the item does: auto-check, then OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

private:
    std::string FCaption;
    std::string FHint;
    bool FChecked = false, FEnabled = true, FVisible = true, FRadioItem = false, FAutoCheck = false;
    int FGroupIndex = 0;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParentItem = nullptr;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    TMenuItem* GetItems() const { return FItems; }
    // Shows the menu at screen position (x, y) and runs the chosen item's Click. Under scripted
    // dialogs (tests) nothing is shown: the popup is recorded and the scripted choice, if any,
    // is clicked.
    virtual void Popup(int x, int y);
    TComponent* GetPopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* c) { FPopupComponent = c; }
    bool GetAutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool a) { FAutoPopup = a; }

    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* FItems;
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
};
