#pragma once
// The title bar's pictures, drawn in code: the language icon (Russian and English), minimise
// and close.
class TBitmap;

constexpr int kTitleIconWidth = 24;
constexpr int kTitleIconHeight = 18;

// Fills bitmap (resized to the icon size) with the picture.
void DrawLanguageIcon(TBitmap& bitmap, bool english);
void DrawMinimizeIcon(TBitmap& bitmap);
void DrawCloseIcon(TBitmap& bitmap);

// Colours of the title bar.
constexpr int kTitleColor = 0x00703010;      // dark blue, 0x00BBGGRR
constexpr int kTitleTextColor = 0x00FFFFFF;
