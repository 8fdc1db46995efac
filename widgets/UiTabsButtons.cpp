#include "widgets/UiTabsButtons.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "widgets/UiTabsControl.h"

namespace {

constexpr int ArrowUp = 0, ArrowDown = 1, ArrowLeft = 2, ArrowRight = 3;

TControlStyle ButtonStyle() {
    return TControlStyle{csCaptureMouse, csClickEvents, csNoDesignVisible, csOpaque};
}

}  // namespace

void UiTabDrawButtonFace(TCanvas* Canvas, const TRect& Rect, TUiCustomTabControl* TabControl,
                         bool Enabled, TColor FrameColor, bool Hot, bool Pressed) {
    TCanvas& c = *Canvas;
    c.GetPen()->SetStyle(psSolid);
    c.GetPen()->SetWidth(1);
    c.GetPen()->SetColor(FrameColor);
    if (!Enabled) {
        c.GetBrush()->SetColor(LighterColor(clBtnShadow, 30));
        c.Rectangle(Rect);
        return;
    }
    const TColor button = TabControl->GetButtonColor();
    if (TabControl->GetUseGradients()) {
        TColor start = DarkerColor(button, 20), stop = LighterColor(button, 20);
        if (Pressed) {
            start = DarkerColor(start, 30);
            stop = DarkerColor(stop, 30);
        } else if (Hot) {
            start = LighterColor(start, 30);
            stop = LighterColor(stop, 30);
        }
        PaintGradient(Canvas, TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1),
                      gdHorizontalEnd, 1, start, stop);
        c.GetBrush()->SetColor(FrameColor);
        c.FrameRect(Rect);
    } else {
        TColor fill = Pressed ? DarkerColor(button, 30) : Hot ? LighterColor(button, 30) : button;
        c.GetBrush()->SetColor(fill);
        c.Rectangle(Rect);
    }
}

// ---- scroller -------------------------------------------------------------------------------

TUiTabScroller::TUiTabScroller(TUiCustomTabControl* AOwner) : TCustomControl(AOwner), FTabControl(AOwner) {
    SetControlStyle(ButtonStyle());
    SetBounds(0, 0, 33, 17);
}

TUiTabScroller::~TUiTabScroller() {
    if (FTimer) FTimer->SetEnabled(false);
}

void TUiTabScroller::SetFrameColor(TColor Value) {
    if (FFrameColor == Value) return;
    FFrameColor = Value;
    Invalidate();
}

void TUiTabScroller::SetOrientation(TOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    Invalidate();
}

TRect TUiTabScroller::DownLeftRect() const {
    const int w = GetWidth(), h = GetHeight();
    if (FOrientation == orHorizontal) return TRect(0, 0, w / 2 + 1, h);
    return TRect(0, h / 2, w, h);
}

TRect TUiTabScroller::UpRightRect() const {
    const int w = GetWidth(), h = GetHeight();
    if (FOrientation == orHorizontal) return TRect(w / 2, 0, w, h);
    return TRect(0, 0, w, h / 2 + 1);
}

bool TUiTabScroller::DownLeftEnabled() const {
    TUiTabStripLayout& strip = FTabControl->GetStrip();
    const bool swapped = strip.Reverse() != (strip.Options.Orientation == toRight);
    if (swapped) return !strip.IsFullyVisible(strip.LastVisibleIndex());
    return strip.FirstVisibleTab > 0;
}

bool TUiTabScroller::UpRightEnabled() const {
    TUiTabStripLayout& strip = FTabControl->GetStrip();
    const bool swapped = strip.Reverse() != (strip.Options.Orientation == toRight);
    if (swapped) return strip.FirstVisibleTab > 0;
    return !strip.IsFullyVisible(strip.LastVisibleIndex());
}

void TUiTabScroller::Paint() {
    TCanvas* c = GetCanvas();
    const TColor frame = LighterColor(FFrameColor, 30);
    const bool vertical = FOrientation == orVertical;
    struct Half {
        TRect rect;
        bool enabled;
        int index;
        int arrow;
    };
    const Half halves[2] = {
        {DownLeftRect(), DownLeftEnabled(), 0, vertical ? ArrowDown : ArrowLeft},
        {UpRightRect(), UpRightEnabled(), 1, vertical ? ArrowUp : ArrowRight},
    };
    for (const Half& h : halves) {
        const bool pressed = FPressed && FActiveHalf == h.index;
        const bool hot = !FMouseDown && FHotHalf == h.index;
        UiTabDrawButtonFace(c, h.rect, FTabControl, h.enabled, frame, hot, pressed);
        DrawScrollArrow(c, h.rect, 0, h.enabled, clBlack, h.arrow);
    }
}

int TUiTabScroller::HalfAt(int X, int Y) const {
    if (FOrientation == orHorizontal) return X >= GetWidth() / 2 ? 1 : 0;
    return Y < GetHeight() / 2 ? 1 : 0;
}

bool TUiTabScroller::InHalf(int half, int X, int Y) const {
    return (half == 1 ? UpRightRect() : DownLeftRect()).Contains(TPoint(X, Y));
}

void TUiTabScroller::Fire() {
    if (FActiveHalf == 1) {
        if (OnUpRightClick) OnUpRightClick(this);
    } else {
        if (OnDownLeftClick) OnDownLeftClick(this);
    }
}

void TUiTabScroller::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FActiveHalf = HalfAt(X, Y);
    FMouseDown = true;
    FPressed = true;
    Invalidate();
    SetMouseCapture(true);
    if (!FTimer) {
        FTimer = new TTimer(this);
        FTimer->SetEnabled(false);
        FTimer->OnTimer = [this](TObject* s) { TimerTick(s); };
    }
    FTimer->SetInterval(400);
    FTimer->SetEnabled(true);
}

void TUiTabScroller::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FMouseDown) {
        const bool inside = InHalf(FActiveHalf, X, Y);
        if (inside != FPressed) {
            FPressed = inside;
            Invalidate();
        }
    } else {
        const int hot = GetClientRect().Contains(TPoint(X, Y)) ? HalfAt(X, Y) : -1;
        if (hot != FHotHalf) {
            FHotHalf = hot;
            Invalidate();
        }
    }
}

void TUiTabScroller::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FMouseDown) return;
    if (FTimer) FTimer->SetEnabled(false);
    SetMouseCapture(false);
    FMouseDown = false;
    if (FPressed) {
        FPressed = false;
        Fire();
        Invalidate();
    }
}

void TUiTabScroller::MouseLeave() {
    TCustomControl::MouseLeave();
    if (FHotHalf != -1) {
        FHotHalf = -1;
        Invalidate();
    }
}

void TUiTabScroller::TimerTick(TObject*) {
    FTimer->SetInterval(100);
    if (FPressed) Fire();
}

// ---- close buttons --------------------------------------------------------------------------

TUiTabControlCloseButton::TUiTabControlCloseButton(TUiCustomTabControl* AOwner)
    : TUiCloseButtonBase<TCustomControl>(AOwner, AOwner) {
    SetControlStyle(ButtonStyle());
    SetBounds(0, 0, 17, 17);
}

void TUiTabControlCloseButton::Paint() {
    TCanvas* c = GetCanvas();
    const TRect r = GetClientRect();
    UiTabDrawButtonFace(c, r, FTabControl, GetEnabled(), LighterColor(FFrameColor, 30), FHot, FPressed);
    DrawCloseCross(c, r, FFrameColor, GetEnabled(), false);
}

TUiActiveTabCloseButton::TUiActiveTabCloseButton(TUiCustomTabControl* AOwner)
    : TUiCloseButtonBase<TGraphicControl>(AOwner, AOwner) {
    SetControlStyle(ButtonStyle());
    SetBounds(0, 0, 15, 13);
}

void TUiActiveTabCloseButton::Paint() {
    TCanvas* c = GetCanvas();
    const TRect r = GetClientRect();
    if (!FHot) {
        DrawCloseCross(c, r, FFrameColor, GetEnabled(), false);
        return;
    }
    UiTabDrawButtonFace(c, r, FTabControl, GetEnabled(), LighterColor(FFrameColor, 30), FHot, FPressed);
    DrawCloseCross(c, r, FTabControl->GetTabColors()->GetHighlightBar(), GetEnabled(), false);
}

// ---- menu button ----------------------------------------------------------------------------

std::vector<TUiTabMenuItem> UiTabMenuItems(TUiCustomTabControl& TabControl, bool Sorted) {
    std::vector<TUiTabMenuItem> items;
    const TUiTabDataList& tabs = TabControl.GetTabs();
    for (int i = 0; i < tabs.Count(); ++i) {
        const TUiTabData& t = tabs.Items(i);
        if (!t.Visible) continue;
        TUiTabMenuItem item;
        item.Caption = t.Caption;
        item.Enabled = t.Enabled;
        item.Checked = i == TabControl.GetTabIndex();
        item.ImageIndex = (!t.Enabled && t.DisabledIndex != -1) ? t.DisabledIndex : t.ImageIndex;
        item.TabIndex = i;
        items.push_back(item);
    }
    if (Sorted)
        std::stable_sort(items.begin(), items.end(), [](const TUiTabMenuItem& a, const TUiTabMenuItem& b) {
            return AnsiCompareText(a.Caption, b.Caption) < 0;
        });
    return items;
}

TUiTabMenuButton::TUiTabMenuButton(TUiCustomTabControl* AOwner) : TCustomControl(AOwner), FTabControl(AOwner) {
    SetControlStyle(ButtonStyle());
    SetBounds(0, 0, 17, 17);
    FMenu = new TPopupMenu(this);
}

void TUiTabMenuButton::SetFrameColor(TColor Value) {
    if (FFrameColor == Value) return;
    FFrameColor = Value;
    Invalidate();
}

void TUiTabMenuButton::Paint() {
    TCanvas* c = GetCanvas();
    const TRect r = GetClientRect();
    UiTabDrawButtonFace(c, r, FTabControl, GetEnabled(), LighterColor(FFrameColor, 30), FHot, FPressed);
    int arrow = ArrowDown;
    switch (FTabControl->GetTabOrientation()) {
        case toTop: arrow = ArrowDown; break;
        case toLeft: arrow = ArrowRight; break;
        case toBottom: arrow = ArrowUp; break;
        case toRight: arrow = ArrowLeft; break;
    }
    DrawScrollArrow(c, r, 0, GetEnabled(), clBlack, arrow);
}

void TUiTabMenuButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FMouseDown = true;
    FPressed = true;
    SetMouseCapture(true);
    Invalidate();
}

void TUiTabMenuButton::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FMouseDown) return;
    const bool inside = GetClientRect().Contains(TPoint(X, Y));
    if (inside != FPressed) {
        FPressed = inside;
        Invalidate();
    }
}

void TUiTabMenuButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FMouseDown) return;
    FMouseDown = false;
    SetMouseCapture(false);
    const bool open = FPressed;
    FPressed = false;
    Invalidate();
    if (open) DisplayMenu();
}

void TUiTabMenuButton::MouseEnter() {
    TCustomControl::MouseEnter();
    FHot = true;
    Invalidate();
}

void TUiTabMenuButton::MouseLeave() {
    TCustomControl::MouseLeave();
    FHot = false;
    Invalidate();
}

TPoint TUiTabMenuButton::MenuPoint(bool& AlignRight) const {
    const bool reverse = FTabControl->GetTabSequence() == tsReverse;
    const int w = GetWidth(), h = GetHeight();
    TPoint p;
    switch (FTabControl->GetTabOrientation()) {
        case toTop:
            p = reverse ? TPoint(0, h) : TPoint(w, h);
            AlignRight = !reverse;
            break;
        case toLeft:
            p = TPoint(w, 0);
            AlignRight = false;
            break;
        case toBottom:
            p = reverse ? TPoint(0, 0) : TPoint(w, 0);
            AlignRight = !reverse;
            break;
        case toRight:
            p = TPoint(0, 0);
            AlignRight = true;
            break;
    }
    return ClientToScreen(p);
}

void TUiTabMenuButton::DisplayMenu() {
    TMenuItem* root = FMenu->GetItems();
    root->Clear();
    FItems = UiTabMenuItems(*FTabControl, FTabControl->GetSortTabMenu());
    for (size_t i = 0; i < FItems.size(); ++i) {
        auto* item = new TMenuItem(root);
        item->SetCaption(FItems[i].Caption);
        item->SetEnabled(FItems[i].Enabled);
        item->SetChecked(FItems[i].Checked);
        const int line = static_cast<int>(i);
        item->OnClick = [this, line](TObject*) { MenuItemClick(line); };
        root->Add(item);
    }
    if (OnDisplayMenu) OnDisplayMenu(this);
    bool alignRight = false;
    const TPoint p = MenuPoint(alignRight);
    FMenu->Popup(p.x, p.y);
}

void TUiTabMenuButton::MenuItemClick(int i) {
    if (i < 0 || i >= static_cast<int>(FItems.size())) return;
    FTabControl->SetTabIndex(FItems[static_cast<size_t>(i)].TabIndex);
}

// ---- drag indicator -------------------------------------------------------------------------

TUiTabDragIndicator::TUiTabDragIndicator(TComponent* AOwner, TUiCustomTabControl* TabControl)
    : TGraphicControl(AOwner), FTabControl(TabControl) {
    SetControlStyle(TControlStyle{});
}

void TUiTabDragIndicator::Paint() {
    // The indicator's pattern combined by exclusive-or with the parent's colour shows the
    // indicator colour in the triangle and leaves the rest as it was.
    TCanvas* c = GetCanvas();
    const TColor colour = FTabControl->GetDragIndicatorColor();
    const bool side = GetWidth() < GetHeight();
    const int depth = side ? GetWidth() : GetHeight();
    for (int d = 0; d < depth; ++d) {
        // d counts from the outer edge toward the card.
        const int from = d, to = 15 - d;  // along the strip, exclusive end
        TRect line;
        switch (FTabControl->GetTabOrientation()) {
            case toTop: line = TRect(from, d, to, d + 1); break;
            case toBottom: line = TRect(from, depth - 1 - d, to, depth - d); break;
            case toLeft: line = TRect(d, from, d + 1, to); break;
            case toRight: line = TRect(depth - 1 - d, from, depth - d, to); break;
        }
        c->GetBrush()->SetColor(colour);
        c->FillRect(line);
    }
}
