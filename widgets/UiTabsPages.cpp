#include "widgets/UiTabsPages.h"

#include <algorithm>
#include <exception>

#include "platform/sys/GuiThread.h"
#include "platform/ui/Forms.h"

// ---- the page -------------------------------------------------------------------------------

TUiTabSheet::TUiTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csOpaque, csNoDesignVisible, csCaptureMouse,
                                  csClickEvents, csDoubleClicks});
    TCustomControl::SetVisible(false);
    TCustomControl::SetColor(clBtnFace);
    SetAlign(alClient);
}

TUiTabSheet::~TUiTabSheet() {
    FDestroyingPage = true;
    if (FPageControl) FPageControl->RemovePage(this);
}

void TUiTabSheet::SetPageControl(TUiPageControl* Value) {
    if (FPageControl == Value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    TCustomControl::SetParent(Value);
    if (Value) Value->InsertPage(this);
}

void TUiTabSheet::SetParent(TWinControl* Parent) {
    if (auto* pc = dynamic_cast<TUiPageControl*>(Parent)) {
        SetPageControl(pc);
        return;
    }
    if (FPageControl) FPageControl->RemovePage(this);
    TCustomControl::SetParent(Parent);
}

int TUiTabSheet::GetPageIndex() const {
    if (!FPageControl) return -1;
    for (int i = 0; i < FPageControl->PageCount(); ++i)
        if (FPageControl->Pages(i) == this) return i;
    return -1;
}

void TUiTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    const int last = FPageControl->PageCount() - 1;
    if (Value > last) throw EUiTabControlError(UiInvalidPageIndexText(Value, last));
    if (Value < 0) throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
    FPageControl->MovePage(this, Value);
}

int TUiTabSheet::GetTabIndex() const {
    if (!FTabVisible || !FPageControl) return -1;
    int index = 0;
    for (int i = 0; i < FPageControl->PageCount(); ++i) {
        TUiTabSheet* p = FPageControl->Pages(i);
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TUiTabSheet::SetColor(TColor Value) {
    if (Value == GetColor() && !GetParentColor()) return;
    if (FPageControl && !FPageControl->GetUseColoredTabs() && Value != FPageControl->GetColor())
        FPageControl->SetUseColoredTabs(true);
    TCustomControl::SetColor(Value);
    if (FPageControl) FPageControl->TabsChanged();
}

void TUiTabSheet::SetDisabledIndex(int Value) {
    if (FDisabledIndex == Value) return;
    FDisabledIndex = Value;
    if (FPageControl) FPageControl->TabsChanged();
}

void TUiTabSheet::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (FPageControl) FPageControl->TabsChanged();
}

void TUiTabSheet::SetTabEnabled(bool Value) {
    if (FTabEnabled == Value) return;
    FTabEnabled = Value;
    if (FPageControl) FPageControl->TabsChanged();
}

void TUiTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value) return;
    FTabVisible = Value;
    if (FPageControl) FPageControl->TabsChanged();
}

void TUiTabSheet::SetVisible(bool) {
    throw EUiTabControlError(SUiPageVisible);
}

void TUiTabSheet::ShowPage(bool Value) {
    TCustomControl::SetVisible(Value);
}

void TUiTabSheet::VisibleChanged() {
    TCustomControl::VisibleChanged();
    const bool showing = TCustomControl::GetVisible();
    if (showing == FShowingReported || FDestroyingPage) return;
    FShowingReported = showing;
    RaiseShowing(showing);
}

void TUiTabSheet::RaiseShowing(bool Showing) {
    // A handler's exception goes to the application, never back into the page switch.
    try {
        if (Showing) {
            if (OnShow) OnShow(this);
        } else {
            if (OnHide) OnHide(this);
        }
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
}

void TUiTabSheet::TextChanged() {
    TCustomControl::TextChanged();
    if (FPageControl) FPageControl->TabsChanged();
}

void TUiTabSheet::AssignTo(TUiTabData& Dest) const {
    Dest.Caption = GetCaption();
    Dest.Color = GetColor();
    Dest.Enabled = FTabEnabled;
    Dest.Visible = FTabVisible;
    Dest.Hint = GetHint();
    Dest.ImageIndex = FImageIndex;
    Dest.DisabledIndex = FDisabledIndex;
}

void TUiTabSheet::Paint() {
    TCanvas* c = GetCanvas();
    const TRect r = GetClientRect();
    bool handled = false;
    if (OnPaintBackground) OnPaintBackground(this, c, r, handled);
    if (handled) return;
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(r);
}

TAccessibleInfo TUiTabSheet::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Pane;
    info.Name = GetCaption();
    info.Enabled = GetEnabled();
    return info;
}

// ---- the page control -----------------------------------------------------------------------

TUiPageControl::TUiPageControl(TComponent* AOwner) : TUiCustomTabControl(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetHeight(150);
}

TUiPageControl::~TUiPageControl() {
    // The pages go with their parent; they must not call back into a half-destroyed control.
    for (TUiTabSheet* p : FPages) p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TUiTabSheet* TUiPageControl::Pages(int Index) const {
    return FPages.at(static_cast<size_t>(Index));
}

int TUiPageControl::GetActivePageIndex() const {
    return FActivePage ? FActivePage->GetPageIndex() : -1;
}

void TUiPageControl::SetActivePageIndex(int Index) {
    if (Index >= 0 && Index < PageCount())
        SetActivePage(Pages(Index));
    else
        SetTabIndex(-1);
}

void TUiPageControl::SetActivePageDefault(TUiTabSheet* Page) {
    if (FActivePageDefault == Page) return;
    FActivePageDefault = Page;
    if (Page) Page->FreeNotification(this);
}

void TUiPageControl::SetActivePage(TUiTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    // A page becomes visible only once the change is agreed: a vetoed page stays hidden.
    if (IsLoading()) {
        FActivePage = Page;
        return;
    }
    const int tabIndex = Page ? Page->GetTabIndex() : -1;
    if (tabIndex < 0) {
        ChangeActivePage(Page);
        DoPageChange();
        SetTabIndex(-1);
        return;
    }
    if (tabIndex == FTabIndex && FActivePage != Page) {
        // The tab is already selected; only the page is behind.
        ChangeActivePage(Page);
        DoPageChange();
        return;
    }
    SetTabIndex(tabIndex);
}

void TUiPageControl::ChangeActivePage(TUiTabSheet* Page) {
    if (Page == FActivePage) return;
    TCustomForm* form = ::GetParentForm(this);
    TUiTabSheet* old = FActivePage;
    if (form && old && form->GetActiveControl() && old->ContainsControl(form->GetActiveControl()))
        form->SetActiveControl(old);
    if (Page) {
        Page->BringToFront();
        Page->ShowPage(true);
        if (form && old && form->GetActiveControl() == old)
            form->SetActiveControl(Page->CanFocus() ? static_cast<TWinControl*>(Page) : this);
    }
    if (old) old->ShowPage(false);
    FActivePage = Page;
    if (form && Page && form->GetActiveControl() == Page) {
        std::vector<TWinControl*> list;
        Page->GetTabOrderList(list);
        for (TWinControl* c : list)
            if (c->GetTabStop() && c->CanFocus()) {
                c->SetFocus();
                break;
            }
    }
}

TUiTabSheet* TUiPageControl::PageForTab(int TabIndex) const {
    if (TabIndex < 0) return nullptr;
    for (TUiTabSheet* p : FPages)
        if (p->GetTabIndex() == TabIndex) return p;
    return nullptr;
}

void TUiPageControl::DoChanging(int NewIndex, bool& AllowChange) {
    if (!FUpdatingPages) TUiCustomTabControl::DoChanging(NewIndex, AllowChange);
    if (AllowChange) ChangeActivePage(PageForTab(NewIndex));
}

void TUiPageControl::Change() {
    if (!FUpdatingPages) TUiCustomTabControl::Change();
}

void TUiPageControl::DoPageChange() {
    if (!FUpdatingPages) TUiCustomTabControl::DoPageChange();
}

TUiTabSheet* TUiPageControl::FindNextPage(TUiTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
    const int n = PageCount();
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (FPages[static_cast<size_t>(i)] == CurPage) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    for (int k = 1; k <= n; ++k) {
        const int i = ((start + (GoForward ? k : -k)) % n + n) % n;
        TUiTabSheet* p = FPages[static_cast<size_t>(i)];
        if (!CheckTabVisible || p->GetTabVisible()) return p;
    }
    return nullptr;
}

void TUiPageControl::SelectNextPage(bool GoForward) {
    if (TUiTabSheet* p = FindNextPage(FActivePage, GoForward, true)) SetActivePage(p);
}

void TUiPageControl::HideAllTabs() {
    for (TUiTabSheet* p : std::vector<TUiTabSheet*>(FPages)) p->SetTabVisible(false);
}

void TUiPageControl::ShowAllTabs() {
    for (TUiTabSheet* p : std::vector<TUiTabSheet*>(FPages)) p->SetTabVisible(true);
}

void TUiPageControl::InsertPage(TUiTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    TabsChanged();
}

void TUiPageControl::RemovePage(TUiTabSheet* Page) {
    if (Page == FActivePage) SetActivePage(nullptr);
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    TabsChanged();
    Page->FPageControl = nullptr;
}

void TUiPageControl::MovePage(TUiTabSheet* Page, int NewIndex) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    const int old = static_cast<int>(it - FPages.begin());
    FPages.erase(it);
    FPages.insert(FPages.begin() + NewIndex, Page);
    TabsChanged();
    if (OnTabOrderChange) OnTabOrderChange(this, old, NewIndex);
}

void TUiPageControl::TabsChanged() {
    TUiTabDataList& tabs = GetTabs();
    tabs.Clear();
    for (TUiTabSheet* p : FPages)
        if (p->GetTabVisible()) p->AssignTo(tabs.Add());
    if (FActivePage) {
        const int ti = FActivePage->GetTabIndex();
        if (ti != FTabIndex) {
            FTabIndex = ti;
            FStrip.Selected = ti;
        }
    }
    TUiCustomTabControl::TabsChanged();
}

void TUiPageControl::Loaded() {
    TUiCustomTabControl::Loaded();
    FUpdatingPages = true;
    UpdateGeometry();
    FTabIndex = -1;
    FStrip.Selected = -1;
    TUiTabSheet* chosen = FActivePage;
    if (FActivePageDefault && FActivePageDefault != FActivePage) {
        if (FActivePage) FActivePage->ShowPage(false);
        chosen = FActivePageDefault;
    }
    FActivePage = nullptr;
    TabsChanged();
    SetActivePage(chosen);
    FUpdatingPages = false;
}

void TUiPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TUiCustomTabControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FActivePageDefault) FActivePageDefault = nullptr;
}

bool TUiPageControl::DoPaintCardBackground(TCanvas* Canvas, int Row, const TRect& Rect) {
    if (TUiCustomTabControl::DoPaintCardBackground(Canvas, Row, Rect)) return true;
    if (!FActivePage) return false;
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(FActivePage->GetColor());
    Canvas->FillRect(Rect);
    return true;
}

void TUiPageControl::CloseActiveTab() {
    if (!FActivePage) return;
    const int old = FTabIndex;
    delete FActivePage;  // the page leaves the list on its way out
    SetTabIndex(std::max(old - 1, 0));
}

void TUiPageControl::MoveActiveTab(int NewIndex) {
    if (!FActivePage) return;
    // The drop target is a tab; the page list also holds pages whose tabs are hidden.
    TUiTabSheet* target = PageForTab(NewIndex);
    if (!target) return;
    FActivePage->SetPageIndex(target->GetPageIndex());
}

void TUiPageControl::ColorChanged() {
    if (!GetUseColoredTabs())
        for (TUiTabSheet* p : FPages) p->SetColor(GetColor());
    TUiCustomTabControl::ColorChanged();
}

void TUiPageControl::SetUseColoredTabs(bool Value) {
    if (GetUseColoredTabs() == Value) return;
    TUiCustomTabControl::SetUseColoredTabs(Value);
    if (!Value && GetParent()) ColorChanged();
}

bool TUiPageControl::DialogKey(Word Key, TShiftState Shift) {
    if (TUiCustomTabControl::DialogKey(Key, Shift)) return true;
    if (Key != VK_TAB || !Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return false;
    TCustomForm* form = GetParentForm();
    TWinControl* focused = form ? form->GetActiveControl() : nullptr;
    if (!focused || (focused != this && !ContainsControl(focused))) return false;
    SelectNextPage(!Shift.Contains(ssShift));
    return true;
}

void TUiPageControl::DoEnter() {
    TUiCustomTabControl::DoEnter();
    if (!FActivePage || FActivePage->GetTabIndex() >= 0) return;
    // With its tab hidden, the page itself takes the keyboard.
    for (int i = 0; i < FActivePage->GetControlCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(FActivePage->GetControl(i));
        if (w && w->CanFocus()) {
            w->SetFocus();
            break;
        }
    }
}
