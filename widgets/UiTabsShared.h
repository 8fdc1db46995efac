#pragma once
// What the tab control takes from the rest of the widget set: colour arithmetic, gradients,
// glyphs, text routines, TOrientation and TUiHotTrackColorType.
#include "widgets/UiCommon.h"
