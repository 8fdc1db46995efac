#pragma once
// Geometry of a tab strip with no window behind it: tab sizes from their captions, rows,
// positions along and across the strip, scrolling, the strip's buttons, the cards and the
// area where pages go. Everything is worked out in strip coordinates (x along the strip, y
// across it growing toward the card) and mapped onto the control on request.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Types.h"
#include "widgets/UiTabsData.h"
#include "widgets/UiTabsTypes.h"

// Text measurement the layout asks for: the control answers from its drawing font, tests
// from fixed figures.
class IUiTabTextMetrics {
public:
    virtual ~IUiTabTextMetrics() = default;
    // Extent of one line of text in the unrotated drawing font.
    virtual TSize TextExtent(const std::string& line, bool bold) const = 0;
    // Height of the drawing font.
    virtual int FontHeight() const = 0;
};

struct TUiTabLayoutOptions {
    TUiTabOrientation Orientation = toTop;
    TUiTabStyle Style = tsSingleSlant;
    TUiTabSequence Sequence = tsStandard;
    bool VerticalText = false;
    bool MultiLine = false;
    bool AlignTabs = false;
    bool BoldCurrentTab = false;
    bool SoftCorners = false;
    bool ShowCloseButtonOnActiveTab = false;
    bool CardVisible = true;
    bool ShowCardFrame = true;
    bool ShowFullFrame = true;
    bool ShowShadow = true;
    int Margin = 0;
    int RowIndent = 5;
    int RowOverlap = 5;
    int TabOverlap = -1;
    int CutCornerSize = 6;
    int TabWidth = 0;
    int TabHeight = 0;
    TUiImagePosition ImagePosition = ipLeft;
    int ImageMargin = 2;
    bool HasImages = false;
    int ImageWidth = 0;
    int ImageHeight = 0;
    // The strip's buttons that are on (each counts only while the tab list is not empty).
    bool ShowCloseButton = false;
    bool ShowMenuButton = false;
    int ClientWidth = 300;
    int ClientHeight = 100;
};

// Captions as measured: "&" marks dropped, "&&" kept as one "&".
std::string UiTabPlainCaption(const std::string& caption);
// Lines of a caption, split at CR LF.
std::vector<std::string> UiTabCaptionLines(const std::string& caption);

class TUiTabStripLayout {
public:
    TUiTabLayoutOptions Options;
    TUiTabDataList Tabs;

    // Results of Arrange.
    int FixedDimension = 0;
    int RowCount = 1;
    int TabAreaHeight = 0;
    int ButtonBase = 0;  // "A" in the drawing font + 4 (+ 2 for vertical text)
    // Scrolling state, kept between layouts.
    int FirstVisibleTab = 0;
    bool TabsScrolled = false;
    // The control's selection: the selected tab of the rounded styles stands out.
    int Selected = -1;

    // Sizes, rows and positions of every visible tab.
    void Arrange(const IUiTabTextMetrics& metrics);
    // Decides whether the strip scrolls and where it starts (after Arrange).
    void UpdateScrolling();
    // Moves the selected tab's row next to the card (multi-line strips).
    void RotateRows(int selected);
    // Scrolls so that tab v shows; true when the strip moved.
    bool EnsureTabVisible(int v);
    // One tab forward or back; true when the strip moved.
    bool ScrollForward();
    bool ScrollBack();

    bool RoundStyle() const {
        return Options.Style == tsRoundCorners || Options.Style == tsSquareCorners;
    }
    bool Horizontal() const {
        return Options.Orientation == toTop || Options.Orientation == toBottom;
    }
    bool Reverse() const { return Options.Sequence == tsReverse; }
    // Text runs along the strip: horizontal text on top or bottom tabs, vertical on the sides.
    bool TextAlong() const { return Horizontal() != Options.VerticalText; }
    // How far neighbouring tabs of depth d overlap.
    int Overlap(int d) const;

    int FirstVisibleIndex() const;
    int LastVisibleIndex() const;
    bool AnyVisible() const { return FirstVisibleIndex() >= 0; }
    bool IsFullyVisible(int i) const;

    TRect TabAreaRect() const;
    int StripLength() const;
    // Room for tabs along the strip, for placing and for scrolling.
    int PlacingLength() const;
    int ScrollingLength() const;
    int ScrollOffset() const;

    TPoint MapPoint(TPoint strip) const;
    TRect MapRect(const TRect& strip) const;
    // Tab i in strip coordinates, the selected tab of the rounded styles grown.
    TRect StripTabRect(int i) const;
    // Tab i in control coordinates (empty for a hidden tab).
    TRect TabRect(int i) const;
    // Tab i's outline, first point on the card at the strip's start end, in control coordinates.
    std::vector<TPoint> TabShape(int i) const;
    std::vector<TPoint> StripTabShape(const TRect& r) const;

    TRect CardRect(int row) const;
    TRect DisplayRect() const;

    // The strip's buttons: length along the strip and depth across it.
    int ButtonLength() const;
    int ButtonDepth() const;
    bool CloseButtonShown() const { return Options.ShowCloseButton && Tabs.Count() > 0; }
    bool MenuButtonShown() const { return Options.ShowMenuButton && Tabs.Count() > 0; }
    TRect CloseButtonRect() const;
    TRect MenuButtonRect() const;
    TRect ScrollerRect() const;

private:
    TSize ContentSize(const TUiTabData& tab, const IUiTabTextMetrics& m) const;
    TSize TextSize(const std::string& caption, const IUiTabTextMetrics& m) const;
    int RowTop(int row) const;
    // Places the visible tabs within `avail`; returns the rows used. Stores the rectangles
    // only when `store` is set.
    int Place(const std::vector<int>& lengths, int avail, bool store);
    void AlignRows();
    TRect PlaceButton(int length, int depth, int taken) const;
    int CloseExtra() const { return CloseButtonShown() ? ButtonLength() + 2 : 0; }
    int MenuExtra() const { return MenuButtonShown() ? ButtonLength() + 2 : 0; }
    int FirstShownFrom(int i) const;
};

// Keys that move the selection along the strip.
enum class TUiTabNavKey { Home, End, Left, Up, Right, Down };

// The tab a key selects, or -1: Home and End search from their end toward the selected tab;
// arrows step with wrap-around, passing over tabs that `canSelect` refuses.
int UiTabKeyTarget(TUiTabNavKey key, TUiTabOrientation orientation, TUiTabSequence sequence,
                   int count, int current, const std::function<bool(int)>& canSelect);
