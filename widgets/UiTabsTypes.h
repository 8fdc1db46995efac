#pragma once
// Enumerations and the error class of the tab control and the page control.
#include <string>

#include "platform/rtl/SysUtils.h"

enum TUiTabOrientation { toTop, toLeft, toBottom, toRight };

enum TUiTabStyle {
    tsSingleSlant,
    tsDoubleSlant,
    tsCutCorner,
    tsRoundCorners,
    tsBackSlant,
    tsSquareCorners
};

enum TUiTabSequence { tsStandard, tsReverse };

enum TUiTabHotTrackColorSource { htcsTabColor, htcsHotTrackColorProp };
enum TUiTabHotTrackStyle { htsTab, htsText, htsTabBar };

enum TUiHorizontalAlignment { haLeft, haCenter, haRight };
enum TUiVerticalAlignment { vaTop, vaCenter, vaBottom };

enum TUiImagePosition { ipLeft, ipTop, ipRight, ipBottom, ipBack, ipStretch };

// Which colour a caption is asked for.
enum TUiTextStyle { tsHotTrack, tsSelected, tsUnselected, tsDisabled };

class EUiTabControlError : public Exception {
public:
    using Exception::Exception;
};

// The unit's messages, word for word.
inline constexpr const char* SUiTabShapePoints = "Incorrect number of points in tab shape";
inline constexpr const char* SUiTabCacheCapacity =
    "Capacity must be -1 (to cache all regions) or > 0";
inline constexpr const char* SUiTabSaveDC = "Error saving device context";
inline constexpr const char* SUiTabCreateRegion = "Error creating region";
inline constexpr const char* SUiPageIndexFormat =
    "%d is an invalid PageIndex value. PageIndex must be between 0 and %d";
inline constexpr const char* SUiPageVisible = "You cannot change the Visible property of a page";

std::string UiInvalidPageIndexText(int value, int lastIndex);
