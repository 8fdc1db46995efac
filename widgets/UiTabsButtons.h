#pragma once
// The small controls a tab strip creates on demand: the scroller with its two arrow halves,
// the close button at the end of the strip, the close button on the active tab, the menu
// button listing every tab, and the drop indicator shown while a tab is dragged.
#include <string>
#include <vector>

#include "platform/sys/Timer.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"
#include "widgets/UiTabsShared.h"

class TUiCustomTabControl;

// The face all four buttons share.
void UiTabDrawButtonFace(TCanvas* Canvas, const TRect& Rect, TUiCustomTabControl* TabControl,
                         bool Enabled, TColor FrameColor, bool Hot, bool Pressed);

class TUiTabScroller : public TCustomControl {
public:
    explicit TUiTabScroller(TUiCustomTabControl* AOwner);
    ~TUiTabScroller() override;

    TColor GetFrameColor() const { return FFrameColor; }
    void SetFrameColor(TColor Value);
    TOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TOrientation Value);

    TNotifyEvent OnUpRightClick;
    TNotifyEvent OnDownLeftClick;

    // The two halves, each one pixel past the middle.
    TRect DownLeftRect() const;
    TRect UpRightRect() const;
    bool DownLeftEnabled() const;
    bool UpRightEnabled() const;
    bool GetPressed() const { return FPressed; }
    int GetActiveHalf() const { return FActiveHalf; }
    int GetHotHalf() const { return FHotHalf; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

protected:
    void Paint() override;

private:
    int HalfAt(int X, int Y) const;
    bool InHalf(int half, int X, int Y) const;
    void Fire();
    void TimerTick(TObject*);

    TUiCustomTabControl* FTabControl;
    TColor FFrameColor = clBtnShadow;
    TOrientation FOrientation = orHorizontal;
    bool FMouseDown = false;
    bool FPressed = false;
    int FActiveHalf = 0;  // 0 down/left, 1 up/right
    int FHotHalf = -1;
    TTimer* FTimer = nullptr;
};

// Shared behaviour of the two close buttons (one a window of its own, one painted on the
// strip): pressed follows the cursor while held, and a release while pressed closes.
template <class TBase>
class TUiCloseButtonBase : public TBase {
public:
    explicit TUiCloseButtonBase(TComponent* AOwner, TUiCustomTabControl* TabControl)
        : TBase(AOwner), FTabControl(TabControl) {}
    TColor GetFrameColor() const { return FFrameColor; }
    void SetFrameColor(TColor Value) {
        if (FFrameColor == Value) return;
        FFrameColor = Value;
        this->Invalidate();
    }
    TNotifyEvent OnClose;
    bool GetPressed() const { return FPressed; }
    bool GetHot() const { return FHot; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TBase::MouseDown(Button, Shift, X, Y);
        if (Button != mbLeft) return;
        FMouseDown = true;
        FPressed = true;
        this->SetMouseCapture(true);
        this->Invalidate();
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TBase::MouseMove(Shift, X, Y);
        if (!FMouseDown) return;
        const bool inside = this->GetClientRect().Contains(TPoint(X, Y));
        if (inside != FPressed) {
            FPressed = inside;
            this->Invalidate();
        }
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TBase::MouseUp(Button, Shift, X, Y);
        if (Button != mbLeft || !FMouseDown) return;
        FMouseDown = false;
        this->SetMouseCapture(false);
        const bool close = FPressed;
        FPressed = false;
        this->Invalidate();
        if (close && OnClose) OnClose(this);
    }
    void MouseEnter() override {
        TBase::MouseEnter();
        FHot = true;
        this->Invalidate();
    }
    void MouseLeave() override {
        TBase::MouseLeave();
        FHot = false;
        this->Invalidate();
    }

protected:
    TUiCustomTabControl* FTabControl;
    TColor FFrameColor = clBtnShadow;
    bool FMouseDown = false;
    bool FPressed = false;
    bool FHot = false;
};

class TUiTabControlCloseButton : public TUiCloseButtonBase<TCustomControl> {
public:
    explicit TUiTabControlCloseButton(TUiCustomTabControl* AOwner);

protected:
    void Paint() override;
};

class TUiActiveTabCloseButton : public TUiCloseButtonBase<TGraphicControl> {
public:
    explicit TUiActiveTabCloseButton(TUiCustomTabControl* AOwner);

protected:
    void Paint() override;
};

// One line of the tab menu.
struct TUiTabMenuItem {
    std::string Caption;
    bool Enabled = true;
    bool Checked = false;
    int ImageIndex = -1;
    int TabIndex = -1;
};

// The menu of the visible tabs: captions with their indexes, sorted when asked, the selected
// tab checked.
std::vector<TUiTabMenuItem> UiTabMenuItems(TUiCustomTabControl& TabControl, bool Sorted);

class TUiTabMenuButton : public TCustomControl {
public:
    explicit TUiTabMenuButton(TUiCustomTabControl* AOwner);
    TColor GetFrameColor() const { return FFrameColor; }
    void SetFrameColor(TColor Value);
    TNotifyEvent OnDisplayMenu;
    // The menu built at the last release (what the popup lists).
    const std::vector<TUiTabMenuItem>& GetMenuItems() const { return FItems; }
    // A click on menu line i.
    void MenuItemClick(int i);
    // The popup's corner, in screen coordinates, and whether the menu aligns to its right.
    TPoint MenuPoint(bool& AlignRight) const;
    bool GetPressed() const { return FPressed; }
    TPopupMenu* GetMenu() const { return FMenu; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    void Paint() override;

private:
    void DisplayMenu();
    TPopupMenu* FMenu = nullptr;
    TUiCustomTabControl* FTabControl;
    TColor FFrameColor = clBtnShadow;
    bool FMouseDown = false;
    bool FPressed = false;
    bool FHot = false;
    std::vector<TUiTabMenuItem> FItems;
};

// The drop indicator of a dragged tab: a triangle in the indicator colour pointing to the
// card, drawn over the tab control's parent; the rest of its rectangle shows what lies below.
class TUiTabDragIndicator : public TGraphicControl {
public:
    TUiTabDragIndicator(TComponent* AOwner, TUiCustomTabControl* TabControl);

protected:
    void Paint() override;

private:
    TUiCustomTabControl* FTabControl;
};
