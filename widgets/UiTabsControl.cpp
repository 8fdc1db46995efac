#include "widgets/UiTabsControl.h"

#include <algorithm>

#include "widgets/UiColors.h"
#include "widgets/UiTabsButtons.h"
#include "widgets/UiTabsFont.h"

// ---- colour sets --------------------------------------------------------------------------

void TUiTabColors::Set(TColor& field, TColor c) {
    if (field == c) return;
    field = c;
    if (OnChange) OnChange();
}

void TUiTabColors::Assign(const TUiTabColors& other) {
    FHighlightBar = other.FHighlightBar;
    FShadow = other.FShadow;
    FUnselected = other.FUnselected;
    if (OnChange) OnChange();
}

void TUiTextColors::Set(TColor& field, TColor c) {
    if (field == c) return;
    field = c;
    if (OnChange) OnChange();
}

void TUiTextColors::Assign(const TUiTextColors& other) {
    FDisabled = other.FDisabled;
    FSelected = other.FSelected;
    FUnselected = other.FUnselected;
    if (OnChange) OnChange();
}

// ---- construction -------------------------------------------------------------------------

TUiCustomTabControl::TUiCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
    SetBounds(GetLeft(), GetTop(), 300, 100);
    SetTabStop(true);
    SetColor(clBtnFace);
    SetParentColor(true);
    FTabColors.OnChange = [this] { Invalidate(); };
    FTextColors.OnChange = [this] { Invalidate(); };
    FHotTrackTimer = new TTimer(this);
    FHotTrackTimer->SetEnabled(false);
    FHotTrackTimer->SetInterval(60);
    FHotTrackTimer->OnTimer = [this](TObject* s) { HotTrackTimerTick(s); };
}

TUiCustomTabControl::~TUiCustomTabControl() {
    if (FHotTrackTimer) FHotTrackTimer->SetEnabled(false);
    if (FDragScrollTimer) FDragScrollTimer->SetEnabled(false);
}

void TUiCustomTabControl::Loaded() {
    TCustomControl::Loaded();
    FSavedHint = GetHint();
    FTabIndex = 0;
    FStrip.Selected = 0;
    if (FStrip.Options.VerticalText && !GetFontTextMetric(*GetFont()).tmTrueType) {
        TFont f(*GetFont());
        f.SetName("Verdana");
        SetFont(f);
    }
    SetLayoutDirty();
}

void TUiCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FScroller) FScroller = nullptr;
    if (AComponent == FCloseButton) FCloseButton = nullptr;
    if (AComponent == FActiveCloseButton) FActiveCloseButton = nullptr;
    if (AComponent == FMenuButton) FMenuButton = nullptr;
    if (AComponent == FDragIndicator) FDragIndicator = nullptr;
    if (AComponent == FHotTrackTimer) FHotTrackTimer = nullptr;
    if (AComponent == FDragScrollTimer) FDragScrollTimer = nullptr;
    if (AComponent == FImages) {
        FImages = nullptr;
        if (!FDestroyingControl) SetLayoutDirty();
    }
}

// ---- layout -------------------------------------------------------------------------------

void TUiCustomTabControl::SetLayoutDirty() {
    FLayoutDirty = true;
    FGeometryDirty = true;
    FPartialRepaint = false;
    Invalidate();
    if (!IsLoading() && !FDestroyingControl) Realign();
}

void TUiCustomTabControl::TabsChanged() {
    SetLayoutDirty();
}

void TUiCustomTabControl::UpdateGeometry() {
    if (!FGeometryDirty) return;
    FGeometryDirty = false;
    FStrip.Options.ClientWidth = GetClientWidth();
    FStrip.Options.ClientHeight = GetClientHeight();
    FStrip.Selected = FTabIndex;
    FStrip.Options.HasImages = FImages != nullptr;
    FStrip.Options.ImageWidth = FImages ? FImages->GetWidth() : 0;
    FStrip.Options.ImageHeight = FImages ? FImages->GetHeight() : 0;
    TUiTabFontMetrics metrics(*GetFont());
    FStrip.Arrange(metrics);
    FStrip.UpdateScrolling();
    FStrip.RotateRows(FTabIndex);
    FRegionCache.Clear();
}

void TUiCustomTabControl::UpdateLayout() {
    if (!FLayoutDirty) return;
    FLayoutDirty = false;
    FGeometryDirty = true;
    UpdateGeometry();

    // Keep a selectable tab selected: from the old selection onward, else backward.
    const int n = FStrip.Tabs.Count();
    if (!FStrip.AnyVisible()) {
        if (FTabIndex != -1) SetTabIndex(-1);
        return;
    }
    int found = -1;
    for (int i = std::max(FTabIndex, 0); i < n && found < 0; ++i)
        if (CanSelectTab(i)) found = i;
    if (found < 0) {
        int from = FTabIndex >= 0 ? std::min(FTabIndex - 1, n - 1) : n - 1;
        for (int i = from; i >= 0 && found < 0; --i)
            if (CanSelectTab(i)) found = i;
    }
    if (found >= 0) {
        SelectWithoutAsking(found);
    } else if (FTabIndex >= n || (FTabIndex >= 0 && !FStrip.Tabs.Items(FTabIndex).Visible)) {
        SetTabIndex(-1);
    }
}

void TUiCustomTabControl::Resize() {
    TCustomControl::Resize();
    SetLayoutDirty();
}

void TUiCustomTabControl::FontChanged() {
    TCustomControl::FontChanged();
    SetLayoutDirty();
}

void TUiCustomTabControl::ColorChanged() {
    TCustomControl::ColorChanged();
    Invalidate();
}

void TUiCustomTabControl::ParentColorChanged() {
    TCustomControl::ParentColorChanged();
    if (FParentBackgroundColor && GetParent()) {
        FBackgroundColor = GetParent()->GetColor();
        Invalidate();
    }
}

void TUiCustomTabControl::AdjustClientRect(TRect& rect) const {
    auto* self = const_cast<TUiCustomTabControl*>(this);
    self->UpdateGeometry();
    rect = FStrip.DisplayRect();
}

void TUiCustomTabControl::AlignControls(TControl* aControl, TRect& rect) {
    PlaceButtons();
    UpdateGeometry();
    rect = FStrip.DisplayRect();
    TCustomControl::AlignControls(aControl, rect);
    if (OnAlignControls) OnAlignControls(this);
}

int TUiCustomTabControl::GetFixedDimension() {
    UpdateGeometry();
    return FStrip.FixedDimension;
}

int TUiCustomTabControl::GetRowCount() {
    UpdateGeometry();
    return FStrip.RowCount;
}

bool TUiCustomTabControl::GetTabsScrolled() {
    UpdateGeometry();
    return FStrip.TabsScrolled;
}

void TUiCustomTabControl::SetRowCount(int Value) {
    FStrip.RowCount = std::max(Value, 1);
}

TRect TUiCustomTabControl::TabRect(int Index) {
    UpdateGeometry();
    return FStrip.TabRect(Index);
}

TRect TUiCustomTabControl::TabAreaRect() {
    UpdateGeometry();
    return FStrip.TabAreaRect();
}

TRect TUiCustomTabControl::CardRect(int Row) {
    UpdateGeometry();
    return FStrip.CardRect(Row);
}

TRect TUiCustomTabControl::DisplayRect() {
    UpdateGeometry();
    return FStrip.DisplayRect();
}

bool TUiCustomTabControl::IsTabFullyVisible(int Index) {
    UpdateGeometry();
    return FStrip.IsFullyVisible(Index);
}

// ---- selection ----------------------------------------------------------------------------

bool TUiCustomTabControl::CanSelectTab(int Index) {
    const TUiTabDataList& tabs = FStrip.Tabs;
    if (tabs.Count() == 0 || Index < 0 || Index >= tabs.Count()) return false;
    const TUiTabData& t = tabs.Items(Index);
    if (!t.Visible || !(t.Enabled || Designing())) return false;
    if (Index == FTabIndex) return true;
    bool allow = true;
    DoChanging(Index, allow);
    return allow;
}

void TUiCustomTabControl::DoChanging(int NewIndex, bool& AllowChange) {
    if (OnChanging) OnChanging(this, NewIndex, AllowChange);
}

void TUiCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TUiCustomTabControl::DoPageChange() {
    if (OnPageChange) OnPageChange(this);
}

void TUiCustomTabControl::SetTabIndex(int Value) {
    if (IsLoading() || SelectionLocked()) {
        FTabIndex = Value;
        FStrip.Selected = Value;
        return;
    }
    UpdateGeometry();
    if (Value < 0 || Value >= FStrip.Tabs.Count()) {
        // No tab selected already: nothing to repaint (hidden-tab pages ask for this each time).
        if (FTabIndex == -1 && FStrip.Selected == -1) return;
        FTabIndex = -1;
        FStrip.Selected = -1;
        Invalidate();
    } else {
        bool allowed = true;
        if (Value != FTabIndex && !FSkipAsking) allowed = CanSelectTab(Value);
        if (allowed) {
            const bool changed = Value != FTabIndex;
            FTabIndex = Value;
            FStrip.Selected = Value;
            FStrip.RotateRows(Value);
            const bool scrolled = FStrip.EnsureTabVisible(Value);
            if (changed || scrolled) {
                if (changed) FRegionCache.Clear();
                InvalidateAll();
                if (FScroller) FScroller->Invalidate();
            }
            if (changed) {
                Change();
                DoPageChange();
            }
        }
    }
    RepaintButtons();
    if (FStrip.Options.ShowCloseButtonOnActiveTab && FActiveCloseButton) FActiveCloseButton->SetVisible(FTabIndex >= 0);
}

void TUiCustomTabControl::SelectWithoutAsking(int Index) {
    const bool old = FSkipAsking;
    FSkipAsking = true;
    SetTabIndex(Index);
    FSkipAsking = old;
}

void TUiCustomTabControl::DoTabClick() {
    if (OnTabClick) OnTabClick(this);
}

void TUiCustomTabControl::InvalidateAll() {
    FPartialRepaint = false;
    Invalidate();
}

// ---- scrolling and the strip's buttons ------------------------------------------------------

void TUiCustomTabControl::ScrollTabs(bool Forward) {
    UpdateGeometry();
    const bool moved = Forward ? FStrip.ScrollForward() : FStrip.ScrollBack();
    if (moved) {
        FRegionCache.Clear();
        InvalidateAll();
        if (FScroller) FScroller->Invalidate();
    }
    UpdateActiveCloseButton();
    if (OnScrolledTabs) OnScrolledTabs(this);
}

void TUiCustomTabControl::ScrollerClick(bool UpRight) {
    bool forward = UpRight;
    if (FStrip.Reverse()) forward = !forward;
    if (FStrip.Options.Orientation == toRight) forward = !forward;
    ScrollTabs(forward);
}

TColor TUiCustomTabControl::FrameColor() const {
    return AdjustColor(FFlatColor, FFlatColorAdjustment);
}

void TUiCustomTabControl::ApplyFrameColorToButtons() {
    const TColor c = FrameColor();
    if (FScroller) FScroller->SetFrameColor(c);
    if (FCloseButton) FCloseButton->SetFrameColor(c);
    if (FActiveCloseButton) FActiveCloseButton->SetFrameColor(c);
    if (FMenuButton) FMenuButton->SetFrameColor(c);
}

void TUiCustomTabControl::EnsureScroller() {
    if (FScroller) return;
    FScroller = new TUiTabScroller(this);
    FScroller->SetFrameColor(FrameColor());
    FScroller->OnUpRightClick = [this](TObject*) { ScrollerClick(true); };
    FScroller->OnDownLeftClick = [this](TObject*) { ScrollerClick(false); };
    FScroller->SetParent(this);
}

void TUiCustomTabControl::EnsureCloseButton() {
    if (FCloseButton) return;
    FCloseButton = new TUiTabControlCloseButton(this);
    FCloseButton->SetFrameColor(FrameColor());
    FCloseButton->OnClose = [this](TObject*) { CloseButtonClick(); };
    FCloseButton->SetVisible(false);
    FCloseButton->SetParent(this);
}

void TUiCustomTabControl::EnsureActiveCloseButton() {
    if (FActiveCloseButton) return;
    FActiveCloseButton = new TUiActiveTabCloseButton(this);
    FActiveCloseButton->SetFrameColor(FrameColor());
    FActiveCloseButton->OnClose = [this](TObject*) { CloseButtonClick(); };
    FActiveCloseButton->SetVisible(false);
    FActiveCloseButton->SetParent(this);
}

void TUiCustomTabControl::EnsureMenuButton() {
    if (FMenuButton) return;
    FMenuButton = new TUiTabMenuButton(this);
    FMenuButton->SetFrameColor(FrameColor());
    FMenuButton->SetVisible(false);
    FMenuButton->SetParent(this);
}

void TUiCustomTabControl::PlaceButtons() {
    UpdateGeometry();
    if (FCloseButton) {
        bool show = FStrip.CloseButtonShown();
        if (show) FCloseButton->SetBoundsRect(FStrip.CloseButtonRect());
        FCloseButton->SetVisible(show);
    }
    if (FMenuButton) {
        bool show = FStrip.MenuButtonShown();
        if (show) FMenuButton->SetBoundsRect(FStrip.MenuButtonRect());
        FMenuButton->SetVisible(show);
    }
    if (FStrip.TabsScrolled) EnsureScroller();
    if (FScroller) {
        FScroller->SetOrientation(FStrip.Horizontal() ? orHorizontal : orVertical);
        TRect r = FStrip.ScrollerRect();
        if (!FStrip.TabsScrolled) r = Bounds(-r.Width() - 10, -r.Height() - 10, r.Width(), r.Height());
        FScroller->SetBoundsRect(r);
    }
}

void TUiCustomTabControl::RepaintButtons() {
    if (FCloseButton && FCloseButton->GetVisible()) FCloseButton->Invalidate();
    if (FMenuButton && FMenuButton->GetVisible()) FMenuButton->Invalidate();
}

void TUiCustomTabControl::UpdateActiveCloseButton() {
    if (!FStrip.Options.ShowCloseButtonOnActiveTab || !FActiveCloseButton) return;
    bool show = FTabIndex >= 0 && FTabIndex < FStrip.Tabs.Count() &&
                (!FStrip.TabsScrolled || FStrip.IsFullyVisible(FTabIndex));
    FActiveCloseButton->SetVisible(show);
}

void TUiCustomTabControl::CloseButtonClick() {
    if (FTabIndex == -1) return;
    bool allow = false;
    if (OnClose) OnClose(this, allow);
    if (allow) CloseActiveTab();
}

// ---- properties ---------------------------------------------------------------------------

template <class T>
bool TUiCustomTabControl::RepaintValue(T& field, T value) {
    if (field == value) return false;
    field = value;
    InvalidateAll();
    return true;
}

template <class T>
bool TUiCustomTabControl::LayoutValue(T& field, T value) {
    if (field == value) return false;
    field = value;
    SetLayoutDirty();
    return true;
}

bool TUiCustomTabControl::LayoutFlag(bool& field, bool value) { return LayoutValue(field, value); }
bool TUiCustomTabControl::RepaintFlag(bool& field, bool value) { return RepaintValue(field, value); }

void TUiCustomTabControl::SetCardVisible(bool Value) { LayoutFlag(FStrip.Options.CardVisible, Value); }

void TUiCustomTabControl::SetAlignTabs(bool Value) {
    if (FStrip.Options.AlignTabs == Value) return;
    FStrip.Options.AlignTabs = Value;
    if (FStrip.Options.MultiLine) SetLayoutDirty();
}

void TUiCustomTabControl::SetBackgroundColor(TColor Value) {
    FParentBackgroundColor = false;
    RepaintValue(FBackgroundColor, Value);
}

void TUiCustomTabControl::SetParentBackgroundColor(bool Value) {
    if (FParentBackgroundColor == Value) return;
    FParentBackgroundColor = Value;
    if (Value && GetParent()) {
        FBackgroundColor = GetParent()->GetColor();
        InvalidateAll();
    }
}

void TUiCustomTabControl::SetBoldCurrentTab(bool Value) { LayoutFlag(FStrip.Options.BoldCurrentTab, Value); }

void TUiCustomTabControl::SetButtonColor(TColor Value) {
    if (!RepaintValue(FButtonColor, Value)) return;
    if (FScroller) FScroller->Invalidate();
    if (FCloseButton) FCloseButton->Invalidate();
    if (FActiveCloseButton) FActiveCloseButton->Invalidate();
    if (FMenuButton) FMenuButton->Invalidate();
}

void TUiCustomTabControl::SetCutCornerSize(int Value) {
    if (Value < 0 || FStrip.Options.CutCornerSize == Value) return;
    FStrip.Options.CutCornerSize = Value;
    if (FStrip.Options.Style == tsCutCorner) SetLayoutDirty();
}

void TUiCustomTabControl::SetFlatColor(TColor Value) {
    if (!RepaintValue(FFlatColor, Value)) return;
    ApplyFrameColorToButtons();
}

void TUiCustomTabControl::SetFlatColorAdjustment(int Value) {
    if (!RepaintValue(FFlatColorAdjustment, Value)) return;
    ApplyFrameColorToButtons();
}

void TUiCustomTabControl::SetHotTrack(bool Value) {
    if (FHotTrack == Value) return;
    FHotTrack = Value;
    if (!Value && !FTabHints && FHotTrackTimer) FHotTrackTimer->SetEnabled(false);
}

void TUiCustomTabControl::SetHotTrackColor(TColor Value) { RepaintValue(FHotTrackColor, Value); }
void TUiCustomTabControl::SetHotTrackColorSource(TUiTabHotTrackColorSource Value) {
    RepaintValue(FHotTrackColorSource, Value);
}
void TUiCustomTabControl::SetHotTrackColorType(TUiHotTrackColorType Value) {
    RepaintValue(FHotTrackColorType, Value);
}
void TUiCustomTabControl::SetHotTrackStyle(TUiTabHotTrackStyle Value) { RepaintValue(FHotTrackStyle, Value); }
void TUiCustomTabControl::SetImageAlignment(TUiHorizontalAlignment Value) { LayoutValue(FImageAlignment, Value); }
void TUiCustomTabControl::SetImageAlignmentVertical(TUiVerticalAlignment Value) {
    LayoutValue(FImageAlignmentVertical, Value);
}

void TUiCustomTabControl::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    SetLayoutDirty();
}

void TUiCustomTabControl::SetImageMargin(int Value) {
    if (Value >= 0) LayoutValue(FStrip.Options.ImageMargin, Value);
}

void TUiCustomTabControl::SetImagePosition(TUiImagePosition Value) {
    LayoutValue(FStrip.Options.ImagePosition, Value);
}

void TUiCustomTabControl::SetMargin(int Value) {
    if (Value >= 0) LayoutValue(FStrip.Options.Margin, Value);
}

void TUiCustomTabControl::SetMultiLine(bool Value) { LayoutFlag(FStrip.Options.MultiLine, Value); }

void TUiCustomTabControl::SetRowIndent(int Value) {
    if (Value >= 0) LayoutValue(FStrip.Options.RowIndent, Value);
}

void TUiCustomTabControl::SetRowOverlap(int Value) {
    if (Value >= 0) LayoutValue(FStrip.Options.RowOverlap, Value);
}

void TUiCustomTabControl::SetShowCardFrame(bool Value) { LayoutFlag(FStrip.Options.ShowCardFrame, Value); }

void TUiCustomTabControl::SetShowCloseButton(bool Value) {
    if (FStrip.Options.ShowCloseButton == Value) return;
    FStrip.Options.ShowCloseButton = Value;
    EnsureCloseButton();
    FCloseButton->SetVisible(Value && FStrip.Tabs.Count() > 0);
    SetLayoutDirty();
}

void TUiCustomTabControl::SetShowCloseButtonOnActiveTab(bool Value) {
    if (FStrip.Options.ShowCloseButtonOnActiveTab == Value) return;
    FStrip.Options.ShowCloseButtonOnActiveTab = Value;
    EnsureActiveCloseButton();
    FActiveCloseButton->SetVisible(Value && FTabIndex >= 0);
    SetLayoutDirty();
}

void TUiCustomTabControl::SetShowMenuButton(bool Value) {
    if (FStrip.Options.ShowMenuButton == Value) return;
    FStrip.Options.ShowMenuButton = Value;
    EnsureMenuButton();
    FMenuButton->SetVisible(Value && FStrip.Tabs.Count() > 0);
    SetLayoutDirty();
}

void TUiCustomTabControl::SetShowFocusRect(bool Value) { RepaintFlag(FShowFocusRect, Value); }

void TUiCustomTabControl::SetShowFullFrame(bool Value) {
    if (FStrip.Options.ShowFullFrame == Value) return;
    FStrip.Options.ShowFullFrame = Value;
    if (!Value) FStrip.Options.ShowShadow = false;
    SetLayoutDirty();
}

void TUiCustomTabControl::SetShowShadow(bool Value) {
    if (FStrip.Options.ShowShadow == Value) return;
    FStrip.Options.ShowShadow = Value;
    if (Value) FStrip.Options.ShowFullFrame = true;
    SetLayoutDirty();
}

void TUiCustomTabControl::SetSoftCorners(bool Value) { LayoutFlag(FStrip.Options.SoftCorners, Value); }

void TUiCustomTabControl::SetTabColors(const TUiTabColors& Value) { FTabColors.Assign(Value); }

void TUiCustomTabControl::SetTabHeight(int Value) {
    if (Value >= 0) LayoutValue(FStrip.Options.TabHeight, Value);
}

void TUiCustomTabControl::SetTabHints(bool Value) {
    if (FTabHints == Value) return;
    FTabHints = Value;
    if (!Value && !FHotTrack && FHotTrackTimer) FHotTrackTimer->SetEnabled(false);
}

void TUiCustomTabControl::SetTabOrientation(TUiTabOrientation Value) {
    if (FStrip.Options.Orientation == Value) return;
    FStrip.Options.Orientation = Value;
    if (!IsLoading()) SetLayoutDirty();
}

void TUiCustomTabControl::SetTabOverlap(int Value) { LayoutValue(FStrip.Options.TabOverlap, Value); }
void TUiCustomTabControl::SetTabSequence(TUiTabSequence Value) { LayoutValue(FStrip.Options.Sequence, Value); }
void TUiCustomTabControl::SetTabStyle(TUiTabStyle Value) { LayoutValue(FStrip.Options.Style, Value); }

void TUiCustomTabControl::SetTabWidth(int Value) {
    if (Value >= 0) LayoutValue(FStrip.Options.TabWidth, Value);
}

void TUiCustomTabControl::SetTextAlignment(TUiHorizontalAlignment Value) { LayoutValue(FTextAlignment, Value); }
void TUiCustomTabControl::SetTextAlignmentVertical(TUiVerticalAlignment Value) {
    LayoutValue(FTextAlignmentVertical, Value);
}

void TUiCustomTabControl::SetTextColors(const TUiTextColors& Value) { FTextColors.Assign(Value); }

void TUiCustomTabControl::SetTextOrientation(TOrientation Value) {
    const bool vertical = Value == orVertical;
    if (FStrip.Options.VerticalText == vertical) return;
    FStrip.Options.VerticalText = vertical;
    // Rotated text needs an outline font.
    if (!IsLoading() && !GetFontTextMetric(*GetFont()).tmTrueType) {
        TFont f(*GetFont());
        f.SetName("Verdana");
        SetFont(f);
    }
    SetLayoutDirty();
}

int TUiCustomTabControl::GetAccessibleItemCount() const { return FStrip.Tabs.Count(); }

TAccessibleInfo TUiCustomTabControl::GetAccessibleItem(int index) const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::PageTab;
    if (index < 0 || index >= FStrip.Tabs.Count()) return info;
    const TUiTabData& tab = FStrip.Tabs.Items(index);
    info.Name = UiTabPlainCaption(tab.Caption);
    info.Enabled = GetEnabled() && tab.Enabled;
    info.Selected = index == FTabIndex;
    info.Action = TAccessibleAction::Press;
    return info;
}

TRect TUiCustomTabControl::GetAccessibleItemRect(int index) const {
    if (index < 0 || index >= FStrip.Tabs.Count()) return {};
    // Asking for a place may lay the strip out first.
    return const_cast<TUiCustomTabControl*>(this)->TabRect(index);
}

void TUiCustomTabControl::AccessibleItemPress(int index) {
    if (!GetEnabled() || index < 0 || index >= FStrip.Tabs.Count() || !FStrip.Tabs.Items(index).Enabled) return;
    SetTabIndex(index);
    if (FTabIndex == index) DoTabClick();
}

void TUiCustomTabControl::SetTransparent(bool Value) { RepaintFlag(FTransparent, Value); }
void TUiCustomTabControl::SetUseColoredTabs(bool Value) { RepaintFlag(FUseColoredTabs, Value); }
void TUiCustomTabControl::SetUseGradients(bool Value) { RepaintFlag(FUseGradients, Value); }

void TUiCustomTabControl::SetRegionCacheSize(int Value) {
    FRegionCache.SetCapacity(Value);
}

TAccessibleInfo TUiCustomTabControl::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::PageTabList;
    info.Name = GetCaption();
    if (FTabIndex >= 0 && FTabIndex < FStrip.Tabs.Count())
        info.Value = UiTabPlainCaption(FStrip.Tabs.Items(FTabIndex).Caption);
    info.Enabled = GetEnabled();
    return info;
}
