#pragma once
// The widget set's shared vocabulary: colour arithmetic, frame styles and painters, glyphs,
// bars and text routines, the frame controller and the platform version test.
#include "widgets/UiBars.h"
#include "widgets/UiColors.h"
#include "widgets/UiFrameController.h"
#include "widgets/UiFrameTypes.h"
#include "widgets/UiFrames.h"
#include "widgets/UiGlyphs.h"
#include "widgets/UiGrafx.h"
#include "widgets/UiText.h"

// The vertical placement of a caption.
enum TAlignmentVertical : std::uint8_t { avTop, avCenter, avBottom };
enum TTextStyle : std::uint8_t { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TUiHotTrackColorType : std::uint8_t { htctComplement, htctActual };
