#pragma once
// Where a shown picture goes on a page: one corner at its place, as large as its full size
// allows, and clear of every other control of the page, so that a picture never hides a
// control the page needs.
#include <vector>

#include "platform/rtl/Types.h"

enum class TPictureCorner { TopLeft, TopRight };

struct TPictureFit {
    TPoint Corner;                        // where the named corner of the picture goes
    TPictureCorner Kind = TPictureCorner::TopLeft;
    int MaxWidth = 0, MaxHeight = 0;      // its full size
    TRect Bounds;                         // the page's room
    int Gap = 0;                          // kept clear around every other control
    int AspectWidth = 4, AspectHeight = 3;  // of the picture shown in it, kept when scaled
};

// The rectangle that shows the picture largest; among equals the larger one. Empty when the
// corner itself lies on a control.
TRect FitPictureRect(const TPictureFit& fit, const std::vector<TRect>& controls);
