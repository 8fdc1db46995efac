#pragma once
// The tab control engine: the tab list, its layout along one side of the control, the
// selection with its change events, scrolling, the strip's buttons, painting, mouse and keys.
// The page control (UiTabsPages.h) builds on it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/Timer.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ImgList.h"
#include "widgets/UiTabsData.h"
#include "widgets/UiTabsLayout.h"
#include "widgets/UiTabsRegionCache.h"
#include "widgets/UiTabsShared.h"
#include "widgets/UiTabsTypes.h"

class TUiTabScroller;
class TUiTabControlCloseButton;
class TUiActiveTabCloseButton;
class TUiTabMenuButton;
class TUiTabDragIndicator;

using TUiTabChangingEvent = std::function<void(TObject* Sender, int NewIndex, bool& AllowChange)>;
using TUiTabCloseEvent = std::function<void(TObject* Sender, bool& AllowClose)>;
using TUiTabOrderChangeEvent = std::function<void(TObject* Sender, int OldIndex, int NewIndex)>;
using TUiTabDraggingEvent = std::function<void(TObject* Sender, int TabIndex, bool& AllowDrag)>;
using TUiGetTextColorEvent = std::function<void(TObject* Sender, int ATabIndex, TUiTextStyle AStyle,
                                                TColor& AColor, bool& Handled)>;
using TUiPaintBackgroundEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool& Handled)>;
using TUiPaintCardBackgroundEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int ARow,
                                                       const TRect& ARect, bool& Handled)>;
using TUiPaintTabBackgroundEvent = std::function<void(TObject* Sender, TCanvas* ACanvas,
                                                      int ATabIndex, const TRect& ARect, bool& Handled)>;

// Colours of the tabs; every change repaints the owning control.
class TUiTabColors {
public:
    TColor GetHighlightBar() const { return FHighlightBar; }
    void SetHighlightBar(TColor c) { Set(FHighlightBar, c); }
    TColor GetShadow() const { return FShadow; }
    void SetShadow(TColor c) { Set(FShadow, c); }
    TColor GetUnselected() const { return FUnselected; }
    void SetUnselected(TColor c) { Set(FUnselected, c); }
    void Assign(const TUiTabColors& other);
    std::function<void()> OnChange;

private:
    void Set(TColor& field, TColor c);
    TColor FHighlightBar = clHighlight;
    TColor FShadow = clBtnFace;
    TColor FUnselected = clWindow;
};

// Colours of the captions; every change repaints the owning control.
class TUiTextColors {
public:
    TColor GetDisabled() const { return FDisabled; }
    void SetDisabled(TColor c) { Set(FDisabled, c); }
    TColor GetSelected() const { return FSelected; }
    void SetSelected(TColor c) { Set(FSelected, c); }
    TColor GetUnselected() const { return FUnselected; }
    void SetUnselected(TColor c) { Set(FUnselected, c); }
    void Assign(const TUiTextColors& other);
    std::function<void()> OnChange;

private:
    void Set(TColor& field, TColor c);
    TColor FDisabled = clGrayText;
    TColor FSelected = clBtnText;
    TColor FUnselected = clBtnText;
};

class TUiCustomTabControl : public TCustomControl {
public:
    explicit TUiCustomTabControl(TComponent* AOwner);
    ~TUiCustomTabControl() override;

    // ---- the tab list and the selection ----
    TUiTabDataList& GetTabs() { return FStrip.Tabs; }
    const TUiTabDataList& GetTabs() const { return FStrip.Tabs; }
    int GetTabIndex() const { return FTabIndex; }
    virtual void SetTabIndex(int Value);
    bool CanSelectTab(int Index);
    // Sets the layout-dirty flag and repaints (the page control rebuilds its tab list first).
    virtual void TabsChanged();
    int TabAtPos(int X, int Y);
    // Tab Index's shape region, from the cache (nullptr for a hidden tab).
    const TRegion* TabRegion(int Index);
    int GetRegionsCreated() const { return FRegionsCreated; }
    void ScrollTabs(bool Forward);
    TRect TabRect(int Index);
    TRect TabAreaRect();
    TRect CardRect(int Row = 0);
    TRect DisplayRect();
    bool IsTabFullyVisible(int Index);

    int GetFixedDimension();
    void SetFixedDimension(int Value) { FStrip.FixedDimension = Value; }
    int GetRowCount();
    int GetFirstVisibleTab() const { return FStrip.FirstVisibleTab; }
    bool GetTabsScrolled();
    int GetHotTab() const { return FHotTab; }
    int GetMouseDownTab() const { return FMouseDownTab; }
    bool GetCardVisible() const { return FStrip.Options.CardVisible; }
    virtual void SetCardVisible(bool Value);

    // ---- properties ----
    bool GetAlignTabs() const { return FStrip.Options.AlignTabs; }
    virtual void SetAlignTabs(bool Value);
    bool GetAllowTabDragging() const { return FAllowTabDragging; }
    void SetAllowTabDragging(bool Value) { FAllowTabDragging = Value; }
    TColor GetBackgroundColor() const { return FBackgroundColor; }
    virtual void SetBackgroundColor(TColor Value);
    bool GetBoldCurrentTab() const { return FStrip.Options.BoldCurrentTab; }
    virtual void SetBoldCurrentTab(bool Value);
    TColor GetButtonColor() const { return FButtonColor; }
    virtual void SetButtonColor(TColor Value);
    int GetCutCornerSize() const { return FStrip.Options.CutCornerSize; }
    virtual void SetCutCornerSize(int Value);
    TColor GetDragIndicatorColor() const { return FDragIndicatorColor; }
    void SetDragIndicatorColor(TColor Value) { FDragIndicatorColor = Value; }
    TColor GetFlatColor() const { return FFlatColor; }
    virtual void SetFlatColor(TColor Value);
    int GetFlatColorAdjustment() const { return FFlatColorAdjustment; }
    virtual void SetFlatColorAdjustment(int Value);
    bool GetHotTrack() const { return FHotTrack; }
    virtual void SetHotTrack(bool Value);
    TColor GetHotTrackColor() const { return FHotTrackColor; }
    virtual void SetHotTrackColor(TColor Value);
    TUiTabHotTrackColorSource GetHotTrackColorSource() const { return FHotTrackColorSource; }
    virtual void SetHotTrackColorSource(TUiTabHotTrackColorSource Value);
    TUiHotTrackColorType GetHotTrackColorType() const { return FHotTrackColorType; }
    virtual void SetHotTrackColorType(TUiHotTrackColorType Value);
    TUiTabHotTrackStyle GetHotTrackStyle() const { return FHotTrackStyle; }
    virtual void SetHotTrackStyle(TUiTabHotTrackStyle Value);
    TUiHorizontalAlignment GetImageAlignment() const { return FImageAlignment; }
    virtual void SetImageAlignment(TUiHorizontalAlignment Value);
    TUiVerticalAlignment GetImageAlignmentVertical() const { return FImageAlignmentVertical; }
    virtual void SetImageAlignmentVertical(TUiVerticalAlignment Value);
    TImageList* GetImages() const { return FImages; }
    virtual void SetImages(TImageList* Value);
    int GetImageMargin() const { return FStrip.Options.ImageMargin; }
    virtual void SetImageMargin(int Value);
    TUiImagePosition GetImagePosition() const { return FStrip.Options.ImagePosition; }
    virtual void SetImagePosition(TUiImagePosition Value);
    int GetMargin() const { return FStrip.Options.Margin; }
    virtual void SetMargin(int Value);
    bool GetMultiLine() const { return FStrip.Options.MultiLine; }
    virtual void SetMultiLine(bool Value);
    bool GetParentBackgroundColor() const { return FParentBackgroundColor; }
    virtual void SetParentBackgroundColor(bool Value);
    int GetRowIndent() const { return FStrip.Options.RowIndent; }
    virtual void SetRowIndent(int Value);
    int GetRowOverlap() const { return FStrip.Options.RowOverlap; }
    virtual void SetRowOverlap(int Value);
    bool GetShowCardFrame() const { return FStrip.Options.ShowCardFrame; }
    virtual void SetShowCardFrame(bool Value);
    bool GetShowCloseButton() const { return FStrip.Options.ShowCloseButton; }
    virtual void SetShowCloseButton(bool Value);
    bool GetShowCloseButtonOnActiveTab() const { return FStrip.Options.ShowCloseButtonOnActiveTab; }
    virtual void SetShowCloseButtonOnActiveTab(bool Value);
    bool GetShowMenuButton() const { return FStrip.Options.ShowMenuButton; }
    virtual void SetShowMenuButton(bool Value);
    bool GetSortTabMenu() const { return FSortTabMenu; }
    void SetSortTabMenu(bool Value) { FSortTabMenu = Value; }
    bool GetShowFocusRect() const { return FShowFocusRect; }
    virtual void SetShowFocusRect(bool Value);
    bool GetShowFullFrame() const { return FStrip.Options.ShowFullFrame; }
    virtual void SetShowFullFrame(bool Value);
    bool GetShowShadow() const { return FStrip.Options.ShowShadow; }
    virtual void SetShowShadow(bool Value);
    bool GetSoftCorners() const { return FStrip.Options.SoftCorners; }
    virtual void SetSoftCorners(bool Value);
    TUiTabColors* GetTabColors() { return &FTabColors; }
    virtual void SetTabColors(const TUiTabColors& Value);
    int GetTabHeight() const { return FStrip.Options.TabHeight; }
    virtual void SetTabHeight(int Value);
    bool GetTabHints() const { return FTabHints; }
    virtual void SetTabHints(bool Value);
    TUiTabOrientation GetTabOrientation() const { return FStrip.Options.Orientation; }
    virtual void SetTabOrientation(TUiTabOrientation Value);
    int GetTabOverlap() const { return FStrip.Options.TabOverlap; }
    virtual void SetTabOverlap(int Value);
    TUiTabSequence GetTabSequence() const { return FStrip.Options.Sequence; }
    virtual void SetTabSequence(TUiTabSequence Value);
    TUiTabStyle GetTabStyle() const { return FStrip.Options.Style; }
    virtual void SetTabStyle(TUiTabStyle Value);
    int GetTabWidth() const { return FStrip.Options.TabWidth; }
    virtual void SetTabWidth(int Value);
    TUiHorizontalAlignment GetTextAlignment() const { return FTextAlignment; }
    virtual void SetTextAlignment(TUiHorizontalAlignment Value);
    TUiVerticalAlignment GetTextAlignmentVertical() const { return FTextAlignmentVertical; }
    virtual void SetTextAlignmentVertical(TUiVerticalAlignment Value);
    TUiTextColors* GetTextColors() { return &FTextColors; }
    virtual void SetTextColors(const TUiTextColors& Value);
    TOrientation GetTextOrientation() const {
        return FStrip.Options.VerticalText ? orVertical : orHorizontal;
    }
    virtual void SetTextOrientation(TOrientation Value);
    bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool GetUseColoredTabs() const { return FUseColoredTabs; }
    virtual void SetUseColoredTabs(bool Value);
    bool GetUseGradients() const { return FUseGradients; }
    virtual void SetUseGradients(bool Value);
    virtual void SetRegionCacheSize(int Value);
    TUiTabRegionCache& GetRegionCache() { return FRegionCache; }

    // ---- events ----
    TUiTabChangingEvent OnChanging;
    TNotifyEvent OnChange;
    TNotifyEvent OnPageChange;
    TNotifyEvent OnTabClick;
    TUiTabCloseEvent OnClose;
    TUiTabOrderChangeEvent OnTabOrderChange;
    TUiTabDraggingEvent OnTabDragging;
    TNotifyEvent OnScrolledTabs;
    TNotifyEvent OnAlignControls;
    TUiGetTextColorEvent OnGetTextColor;
    TUiPaintBackgroundEvent OnPaintBackground;
    TUiPaintCardBackgroundEvent OnPaintCardBackground;
    TUiPaintTabBackgroundEvent OnPaintTabBackground;

    // ---- mouse, keys and dragging (public so the layer and tests can send them) ----
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // The strip asks for the arrow keys.
    bool WantsSpecialKey(Word Key) const override {
        return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN;
    }
    bool DialogChar(char Key) override;
    void DoEnter() override;
    void DoExit() override;
    // Tab dragging, as the form library's drag-over and drop of this control onto itself.
    void DragOver(int X, int Y, bool& Accept);
    void DragDrop(int X, int Y);
    void EndTabDrag(bool Dropped, int X, int Y);
    bool GetTabDragging() const { return FDragging; }
    TRect GetDragIndicatorRect() const { return FDragIndicatorDrawn ? FDragIndicatorRect : TRect(); }
    // The close step of the strip's close buttons.
    void CloseButtonClick();
    // Keyboard cues (focus rectangles, accelerator underlines) show once the keyboard is used
    // on the control or moves the focus in its window.
    bool GetKeyboardCuesShown() const { return FKeyboardCues || !(QueryUIState() & UISF_HIDEFOCUS); }
    void SetKeyboardCuesShown(bool Value);
    void UIStateChanged() override { InvalidateAll(); }
    // The hint the control shows now (a tab's hint while one is hot with TabHints).
    const std::string& GetOwnHint() const { return FSavedHint; }

    TUiTabScroller* GetScroller() const { return FScroller; }
    TUiTabControlCloseButton* GetCloseButton() const { return FCloseButton; }
    TUiActiveTabCloseButton* GetActiveTabCloseButton() const { return FActiveCloseButton; }
    TUiTabMenuButton* GetMenuButton() const { return FMenuButton; }

    TAccessibleInfo GetAccessibleInfo() const override;
    // The tabs are its parts: pressing one selects it as a click on it does.
    int GetAccessibleItemCount() const override;
    TAccessibleInfo GetAccessibleItem(int index) const override;
    TRect GetAccessibleItemRect(int index) const override;
    void AccessibleItemPress(int index) override;

    // Fills a bitmap with the drag indicator's pattern (15 x 8, or 8 x 15 for side tabs):
    // XorColors (DragIndicatorColor, back) in a triangle pointing to the card, black around it.
    void MakeDragIndicatorBitmap(TBitmap& bitmap, TColor back) const;

    // Internal: the layout engine (tests read its figures).
    TUiTabStripLayout& GetStrip() { return FStrip; }
    // Internal: the strip's buttons report here.
    void ScrollerClick(bool UpRight);

protected:
    // Virtual operations of the engine.
    virtual void DoChanging(int NewIndex, bool& AllowChange);
    virtual void DoGetTextColor(int TabIndex, TUiTextStyle Style, TColor& Color);
    virtual void DoTabClick();
    virtual void InvalidateAll();
    virtual bool DoPaintBackground(TCanvas* Canvas, const TRect& Rect);
    virtual bool DoPaintCardBackground(TCanvas* Canvas, int Row, const TRect& Rect);
    virtual bool DoPaintTabBackground(TCanvas* Canvas, int TabIndex, const TRect& Rect);
    virtual void DrawDragIndicator(const TRect& Rect);
    virtual void CloseActiveTab() {}
    virtual void MoveActiveTab(int NewIndex) { (void)NewIndex; }
    virtual bool SelectionLocked() { return false; }
    virtual void SetLayoutDirty();
    virtual void SetRowCount(int Value);
    virtual void Change();
    // Raises OnPageChange (right after OnChange).
    virtual void DoPageChange();
    virtual void HideAllTabs() {}
    virtual void ShowAllTabs() {}

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustClientRect(TRect& rect) const override;
    void AlignControls(TControl* aControl, TRect& rect) override;
    void Paint() override;
    void Resize() override;
    void FontChanged() override;
    void ColorChanged() override;
    void ParentColorChanged() override;

    // The layout is brought up to date (no events) before geometry is read.
    void UpdateGeometry();
    // The full layout update of the paint: geometry, scrolling, re-selection.
    void UpdateLayout();
    // Selects Index without asking OnChanging again (CanSelectTab asked already).
    void SelectWithoutAsking(int Index);
    void RepaintButtons();
    void PlaceButtons();
    TColor FrameColor() const;
    bool Designing() const { return false; }

    TUiTabStripLayout FStrip;
    int FTabIndex = -1;
    bool FSkipAsking = false;

private:
    friend class TUiTabPainter;
    void EndHotTracking();
    void HotTrackTimerTick(TObject*);
    void DragScrollTimerTick(TObject*);
    void ApplyFrameColorToButtons();
    void EnsureCloseButton();
    void EnsureActiveCloseButton();
    void EnsureMenuButton();
    void EnsureScroller();
    void UpdateActiveCloseButton();
    void EraseDragIndicator();
    TRect DragIndicatorRectFor(int Index);
    void ShowOwnHint(const std::string& hint);
    void SelectByKey(int Index);
    bool LayoutFlag(bool& field, bool value);
    bool RepaintFlag(bool& field, bool value);
    template <class T>
    bool RepaintValue(T& field, T value);
    template <class T>
    bool LayoutValue(T& field, T value);

    bool FLayoutDirty = true;
    bool FGeometryDirty = true;
    bool FPaintingStarted = false;
    bool FPartialRepaint = false;
    bool FKeyboardCues = false;

    bool FAllowTabDragging = false;
    TColor FBackgroundColor = clBtnFace;
    bool FParentBackgroundColor = true;
    TColor FButtonColor = clBtnFace;
    TColor FDragIndicatorColor = 0x505050;
    TColor FFlatColor = clBtnShadow;
    int FFlatColorAdjustment = 0;
    bool FHotTrack = true;
    TColor FHotTrackColor = 0x149BF0;
    TUiTabHotTrackColorSource FHotTrackColorSource = htcsTabColor;
    TUiHotTrackColorType FHotTrackColorType = htctActual;
    TUiTabHotTrackStyle FHotTrackStyle = htsTab;
    TUiHorizontalAlignment FImageAlignment = haCenter;
    TUiVerticalAlignment FImageAlignmentVertical = vaCenter;
    bool FSortTabMenu = true;
    bool FShowFocusRect = true;
    TUiTabColors FTabColors;
    bool FTabHints = false;
    TUiHorizontalAlignment FTextAlignment = haCenter;
    TUiVerticalAlignment FTextAlignmentVertical = vaCenter;
    TUiTextColors FTextColors;
    bool FTransparent = false;
    bool FUseColoredTabs = false;
    bool FUseGradients = true;

    int FHotTab = -1;
    int FMouseDownTab = -1;
    int FDropTarget = -1;
    TRect FDragIndicatorRect;
    bool FDragIndicatorDrawn = false;
    TTimer* FHotTrackTimer = nullptr;
    TTimer* FDragScrollTimer = nullptr;
    bool FLeftDown = false;
    bool FDragging = false;
    bool FDragAccepted = false;
    TPoint FDragStart;
    TPoint FDragPos;
    TPoint FLastMouse;
    int FRegionsCreated = 0;
    bool FHintSaved = false;
    std::string FSavedHint;

    TUiTabRegionCache FRegionCache;
    TImageList* FImages = nullptr;
    TUiTabScroller* FScroller = nullptr;
    TUiTabControlCloseButton* FCloseButton = nullptr;
    TUiActiveTabCloseButton* FActiveCloseButton = nullptr;
    TUiTabMenuButton* FMenuButton = nullptr;
    TUiTabDragIndicator* FDragIndicator = nullptr;
};
