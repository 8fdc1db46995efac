#pragma once
// Geometry and numbers of the main window that follow from its size and the clock.
#include <cstdint>
#include <vector>

// Offset that centres a panel of size `panel` in `window` (halves rounded toward zero).
int CentredOffset(int window, int panel);

// The login-animation panel: left W*312/1024, top H*372/672.
int AnimationPanelLeft(int windowWidth);
int AnimationPanelTop(int windowHeight);

// Width of the title-bar progress strip for a percentage.
int ProgressStripWidth(int titleWidth, int iconsWidth, int percent);

// The news panel once its page has loaded: top H*171/672, height H*400/672.
int NewsPanelTop(int windowHeight);
int NewsPanelHeight(int windowHeight);

// A grid designed 861 pixels wide, scaled to its width: trunc(value * width / 861) in
// extended precision.
int ScaleGridValue(int value, int gridWidth);

// The run's session identifier: trunc(date-time in days * 10000), low 32 bits.
std::int32_t SessionUidFromDateTime(double dateTimeDays);
// Days since 30 December 1899 of local wall-clock seconds (counted as if UTC).
double DateTimeFromLocalSeconds(double localSeconds);
