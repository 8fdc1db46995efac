// The tab control's mouse and keyboard: hit testing, selection by click, key and accelerator,
// hot tracking with per-tab hints, and reordering tabs by dragging them.
#include <cstdlib>

#include "widgets/UiColors.h"
#include "widgets/UiTabsButtons.h"
#include "widgets/UiTabsControl.h"

namespace {

constexpr int DragThreshold = 5;

// The character a caption marks with "&", or 0.
char AcceleratorOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

// ---- hit testing ----------------------------------------------------------------------------

const TRegion* TUiCustomTabControl::TabRegion(int Index) {
    UpdateGeometry();
    const TRect rect = FStrip.TabRect(Index);
    if (const TRegion* cached = FRegionCache.Find(rect)) return cached;
    std::vector<TPoint> shape = FStrip.TabShape(Index);
    if (shape.size() < 3) return nullptr;
    ++FRegionsCreated;
    return FRegionCache.Add(rect, std::make_unique<TRegion>(TRegion::FromPolygon(shape, WINDING)));
}

int TUiCustomTabControl::TabAtPos(int X, int Y) {
    UpdateGeometry();
    const int n = FStrip.Tabs.Count();
    if (n == 0 || !FStrip.AnyVisible()) return -1;
    auto hit = [&](int i) {
        if (!FStrip.IsFullyVisible(i)) return false;
        if (!FStrip.TabRect(i).Contains(TPoint(X, Y))) return false;
        const TRegion* region = TabRegion(i);
        return region && region->Contains(X, Y);
    };
    // The selected tab lies on top of its neighbours.
    if (FTabIndex >= 0 && FTabIndex < n && hit(FTabIndex)) return FTabIndex;
    const int first = std::max(FStrip.FirstVisibleTab, 0);
    for (int k = 0; k < n; ++k) {
        int i = (first + k) % n;
        if (i != FTabIndex && hit(i)) return i;
    }
    return -1;
}

// ---- mouse ----------------------------------------------------------------------------------

void TUiCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        FLeftDown = true;
        FDragStart = TPoint(X, Y);
    }
    if (!GetEnabled()) return;
    const int i = TabAtPos(X, Y);
    if (i >= 0 && FStrip.Tabs.Items(i).Enabled) {
        if (GetTabStop() && i == FTabIndex) {
            if (!Focused() && CanFocus()) SetFocus();
            if (!Focused()) return;
        }
        SetTabIndex(i);
        if (FTabIndex == i) DoTabClick();
    }
    FMouseDownTab = i;
}

void TUiCustomTabControl::MouseMove(TShiftState Shift, int X, int Y) {
    FLastMouse = TPoint(X, Y);
    if (FDragging) {
        FDragPos = TPoint(X, Y);
        if (GetClientRect().Contains(FDragPos)) {
            bool accept = true;
            DragOver(X, Y, accept);
            FDragAccepted = accept;
        } else {
            // The drag left the control.
            EraseDragIndicator();
            FDropTarget = -1;
            FDragAccepted = false;
        }
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }

    if (FHotTrack || FTabHints) {
        const int i = TabAtPos(X, Y);
        if (i < 0) {
            const bool inArea = TabAreaRect().Contains(TPoint(X, Y));
            EndHotTracking();
            if (FTabHints && inArea) ShowOwnHint("");
        } else if (i != FHotTab) {
            FHotTab = i;
            if (FHotTrack) {
                FPartialRepaint = true;
                Invalidate();
            }
            if (FTabHints) ShowOwnHint(FStrip.Tabs.Items(i).Hint);
            if (FHotTrackTimer && !FHotTrackTimer->GetEnabled()) FHotTrackTimer->SetEnabled(true);
        }
    }

    TCustomControl::MouseMove(Shift, X, Y);

    if (FAllowTabDragging && FLeftDown && FMouseDownTab >= 0 && FMouseDownTab < FStrip.Tabs.Count() &&
        FStrip.Tabs.Items(FMouseDownTab).Enabled) {
        if (std::abs(X - FDragStart.x) < DragThreshold && std::abs(Y - FDragStart.y) < DragThreshold)
            return;
        bool allow = true;
        if (OnTabDragging) OnTabDragging(this, FMouseDownTab, allow);
        if (!allow) return;
        FDragging = true;
        FDropTarget = -1;
        FDragAccepted = false;
        FDragPos = TPoint(X, Y);
        SetMouseCapture(true);
        bool accept = true;
        DragOver(X, Y, accept);
        FDragAccepted = accept;
    }
}

void TUiCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FLeftDown = false;
    if (FDragging && Button == mbLeft) {
        const bool drop = FDragAccepted && GetClientRect().Contains(TPoint(X, Y));
        EndTabDrag(drop, X, Y);
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TUiCustomTabControl::MouseLeave() {
    TCustomControl::MouseLeave();
    if (FHotTab >= 0) EndHotTracking();
}

void TUiCustomTabControl::ShowOwnHint(const std::string& hint) {
    if (!FHintSaved) {
        FSavedHint = GetHint();
        FHintSaved = true;
    }
    if (GetHint() != hint) SetHint(hint);
}

void TUiCustomTabControl::EndHotTracking() {
    if (FHotTrackTimer) FHotTrackTimer->SetEnabled(false);
    if (FHotTab >= 0) {
        FHotTab = -1;
        if (FHotTrack) {
            FPartialRepaint = true;
            Invalidate();
        }
    }
    if (FHintSaved) {
        FHintSaved = false;
        if (GetHint() != FSavedHint) SetHint(FSavedHint);
    }
}

void TUiCustomTabControl::HotTrackTimerTick(TObject*) {
    // Catches the mouse leaving the control, which sends no move.
    if (!IsMouseInside() || TabAtPos(FLastMouse.x, FLastMouse.y) < 0) EndHotTracking();
}

// ---- dragging -------------------------------------------------------------------------------

TRect TUiCustomTabControl::DragIndicatorRectFor(int Index) {
    UpdateGeometry();
    // Before the selected tab in strip order the indicator marks the tab's leading edge,
    // after it the trailing one; the reverse sequence runs the other way along x.
    const bool atLeft = (Index < FTabIndex) != FStrip.Reverse();
    const TRect tab = FStrip.StripTabRect(Index);
    const int half = FStrip.FixedDimension / 2;
    int centre = atLeft ? tab.Left : tab.Right;
    // Over a slanted end it moves onto the slant, toward the tab.
    switch (FStrip.Options.Style) {
        case tsDoubleSlant: centre += atLeft ? half : -half; break;
        case tsBackSlant:
            if (atLeft) centre += half;
            break;
        case tsSingleSlant:
            if (!atLeft) centre -= half;
            break;
        case tsCutCorner:
        case tsRoundCorners:
        case tsSquareCorners:
            if (!atLeft) centre += 1;
            break;
    }
    // 15 along the strip, 8 across, starting 2 outside the tab's outer edge.
    const TRect strip(centre - 7, tab.Top - 2 - 8, centre + 8, tab.Top - 2);
    return FStrip.MapRect(strip);
}

void TUiCustomTabControl::DragOver(int X, int Y, bool& Accept) {
    if (!FAllowTabDragging || !Accept) return;
    const int i = TabAtPos(X, Y);
    if (i < 0) {
        if (!FDragScrollTimer) {
            FDragScrollTimer = new TTimer(this);
            FDragScrollTimer->SetEnabled(false);
            FDragScrollTimer->OnTimer = [this](TObject* s) { DragScrollTimerTick(s); };
        }
        if (!FDragScrollTimer->GetEnabled()) {
            FDragScrollTimer->SetInterval(400);
            FDragScrollTimer->SetEnabled(true);
        }
    }
    Accept = i >= 0 && i != FTabIndex;
    if (i != FDropTarget) {
        EraseDragIndicator();
        if (Accept) {
            FDragIndicatorRect = DragIndicatorRectFor(i);
            DrawDragIndicator(FDragIndicatorRect);
            FDragIndicatorDrawn = true;
        }
        FDropTarget = i;
    }
}

void TUiCustomTabControl::DragDrop(int X, int Y) {
    if (!FAllowTabDragging) return;
    if (FDragScrollTimer) FDragScrollTimer->SetEnabled(false);
    EraseDragIndicator();
    const int i = TabAtPos(X, Y);
    if (i >= 0) MoveActiveTab(i);
}

void TUiCustomTabControl::EndTabDrag(bool Dropped, int X, int Y) {
    FDragging = false;
    SetMouseCapture(false);
    if (Dropped) {
        DragDrop(X, Y);
    } else {
        if (FDragScrollTimer) FDragScrollTimer->SetEnabled(false);
        EraseDragIndicator();
    }
    FDropTarget = -1;
    FDragAccepted = false;
}

void TUiCustomTabControl::DragScrollTimerTick(TObject*) {
    FDragScrollTimer->SetInterval(300);
    if (!FDragging) return;
    const TPoint p = FDragPos;
    int direction = 0;  // +1 forward, -1 back
    switch (FStrip.Options.Orientation) {
        case toTop:
        case toBottom:
            if (p.x < 0) direction = -1;
            if (p.x >= GetWidth()) direction = 1;
            break;
        case toLeft:
            if (p.y < 0) direction = 1;
            if (p.y >= GetHeight()) direction = -1;
            break;
        case toRight:
            if (p.y >= GetHeight()) direction = 1;
            if (p.y < 0) direction = -1;
            break;
    }
    if (FStrip.Reverse()) direction = -direction;
    if (direction != 0) ScrollTabs(direction > 0);
}

void TUiCustomTabControl::EraseDragIndicator() {
    if (!FDragIndicatorDrawn) return;
    FDragIndicatorDrawn = false;
    DrawDragIndicator(TRect());
}

// ---- keyboard -------------------------------------------------------------------------------

void TUiCustomTabControl::SetKeyboardCuesShown(bool Value) {
    if (FKeyboardCues == Value) return;
    FKeyboardCues = Value;
    InvalidateAll();
}

void TUiCustomTabControl::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    SetKeyboardCuesShown(true);
    if (FStrip.Tabs.Count() == 0) return;
    TUiTabNavKey nav;
    switch (Key) {
        case VK_HOME: nav = TUiTabNavKey::Home; break;
        case VK_END: nav = TUiTabNavKey::End; break;
        case VK_LEFT: nav = TUiTabNavKey::Left; break;
        case VK_UP: nav = TUiTabNavKey::Up; break;
        case VK_RIGHT: nav = TUiTabNavKey::Right; break;
        case VK_DOWN: nav = TUiTabNavKey::Down; break;
        default: return;
    }
    UpdateGeometry();
    const int target = UiTabKeyTarget(nav, FStrip.Options.Orientation, FStrip.Options.Sequence,
                                      FStrip.Tabs.Count(), FTabIndex,
                                      [this](int i) { return CanSelectTab(i); });
    Key = 0;
    if (target >= 0) SelectByKey(target);
}

void TUiCustomTabControl::SelectByKey(int Index) {
    SelectWithoutAsking(Index);
    DoTabClick();
}

bool TUiCustomTabControl::DialogChar(char Key) {
    const int n = FStrip.Tabs.Count();
    for (int i = 0; i < n; ++i) {
        const TUiTabData& t = FStrip.Tabs.Items(i);
        char accel = AcceleratorOf(t.Caption);
        if (accel == 0 || UpperAscii(accel) != UpperAscii(Key) || !t.Enabled || !t.Visible) continue;
        SetKeyboardCuesShown(true);
        if (CanFocus()) SetFocus();
        if (Focused()) {
            SetTabIndex(i);
            if (FTabIndex == i) DoTabClick();
        }
        return true;
    }
    return TCustomControl::DialogChar(Key);
}

void TUiCustomTabControl::DoEnter() {
    TCustomControl::DoEnter();
    InvalidateAll();
}

void TUiCustomTabControl::DoExit() {
    TCustomControl::DoExit();
    InvalidateAll();
}
