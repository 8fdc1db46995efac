#pragma once
// The tool's own icon, drawn by its widget set: a window with the title bar's blue and the
// signal meter as rising LEDs, its corners rounded on a transparent square. The desktop's
// icon theme gets it in every size of kToolIconSizes, and so does the window.
#include <memory>
#include <vector>

class TBitmap;

constexpr int kToolIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon, size pixels square (16 or more).
std::unique_ptr<TBitmap> DrawToolIcon(int size);
// Gives the application (every window of it) the icon in each of kToolIconSizes, once.
void SetToolIcon();
