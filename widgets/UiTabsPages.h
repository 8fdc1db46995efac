#pragma once
// The page control: a tab control that owns pages, shows exactly one of them (the active
// page) in its card, and keeps its tab strip in step with the pages whose tabs are visible.
// A page with a hidden tab can only be chosen from code.
#include <vector>

#include "widgets/UiTabsControl.h"

class TUiPageControl;

class TUiTabSheet : public TCustomControl {
public:
    explicit TUiTabSheet(TComponent* AOwner);
    ~TUiTabSheet() override;

    TUiPageControl* GetPageControl() const { return FPageControl; }
    virtual void SetPageControl(TUiPageControl* Value);
    // A page put into a page control joins its pages.
    void SetParent(TWinControl* Parent) override;
    virtual int GetPageIndex() const;
    virtual void SetPageIndex(int Value);
    // -1 when the tab is hidden, else the number of pages before it with visible tabs.
    virtual int GetTabIndex() const;

    virtual TColor GetColor() const { return TCustomControl::GetColor(); }
    virtual void SetColor(TColor Value);
    int GetDisabledIndex() const { return FDisabledIndex; }
    virtual void SetDisabledIndex(int Value);
    int GetImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value);
    bool GetTabEnabled() const { return FTabEnabled; }
    virtual void SetTabEnabled(bool Value);
    bool GetTabVisible() const { return FTabVisible; }
    virtual void SetTabVisible(bool Value);
    // Only the page control shows and hides pages: this raises EUiTabControlError.
    void SetVisible(bool Value) override;

    // Copies what a tab shows: caption, colour, enabled, visible, hint and images.
    void AssignTo(TUiTabData& Dest) const;

    TUiPaintBackgroundEvent OnPaintBackground;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void Paint() override;
    bool PaintIsOpaqueFill() const override { return !OnPaintBackground; }
    void TextChanged() override;
    void VisibleChanged() override;

private:
    friend class TUiPageControl;
    // The page control's own way of showing and hiding a page.
    void ShowPage(bool Value);
    void RaiseShowing(bool Showing);

    TUiPageControl* FPageControl = nullptr;
    bool FShowingReported = false;
    bool FDestroyingPage = false;
    int FDisabledIndex = -1;
    int FImageIndex = -1;
    bool FTabEnabled = true;
    bool FTabVisible = true;
};

class TUiPageControl : public TUiCustomTabControl {
public:
    explicit TUiPageControl(TComponent* AOwner);
    ~TUiPageControl() override;

    virtual TUiTabSheet* Pages(int Index) const;
    virtual int PageCount() const { return static_cast<int>(FPages.size()); }
    TUiTabSheet* GetActivePage() const { return FActivePage; }
    virtual void SetActivePage(TUiTabSheet* Page);
    virtual int GetActivePageIndex() const;
    virtual void SetActivePageIndex(int Index);
    TUiTabSheet* GetActivePageDefault() const { return FActivePageDefault; }
    void SetActivePageDefault(TUiTabSheet* Page);
    bool GetSaveResources() const { return FSaveResources; }
    virtual void SetSaveResources(bool Value) { FSaveResources = Value; }
    bool GetDblClickUndocks() const { return FDblClickUndocks; }
    void SetDblClickUndocks(bool Value) { FDblClickUndocks = Value; }

    // The next (or previous) page after CurPage, wrapping around, CurPage itself last.
    TUiTabSheet* FindNextPage(TUiTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward);
    void CloseActivePage() { CloseActiveTab(); }
    void MoveActivePage(int NewIndex) { MoveActiveTab(NewIndex); }
    void HideAllTabs() override;
    void ShowAllTabs() override;

    // Rebuilds the tab list from the pages, then re-lays-out.
    void TabsChanged() override;
    void SetUseColoredTabs(bool Value) override;

    // Ctrl+Tab (Shift for back) while the focus is on the control or inside it turns to the
    // next page with a visible tab; a page control inside this one is asked first.
    bool DialogKey(Word Key, TShiftState Shift) override;
    void DoEnter() override;

    // Page side of the ownership (pages call these through SetPageControl).
    void InsertPage(TUiTabSheet* Page);
    void RemovePage(TUiTabSheet* Page);
    void MovePage(TUiTabSheet* Page, int NewIndex);

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DoChanging(int NewIndex, bool& AllowChange) override;
    bool DoPaintCardBackground(TCanvas* Canvas, int Row, const TRect& Rect) override;
    void CloseActiveTab() override;
    void MoveActiveTab(int NewIndex) override;
    void Change() override;
    void DoPageChange() override;
    void ColorChanged() override;

private:
    void ChangeActivePage(TUiTabSheet* Page);
    TUiTabSheet* PageForTab(int TabIndex) const;

    std::vector<TUiTabSheet*> FPages;
    TUiTabSheet* FActivePage = nullptr;
    TUiTabSheet* FActivePageDefault = nullptr;
    bool FSaveResources = false;
    bool FDblClickUndocks = true;
    bool FUpdatingPages = false;
};
