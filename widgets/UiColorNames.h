#pragma once
// Colour names and the system-colour resolution the widget set draws with.
#include "platform/rtl/Types.h"

constexpr TColor UiSysColor(int index) { return static_cast<TColor>(0xFF000000u | unsigned(index)); }

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080;
constexpr TColor clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;

constexpr TColor clScrollBar = UiSysColor(0), clBackground = UiSysColor(1);
constexpr TColor clActiveCaption = UiSysColor(2), clInactiveCaption = UiSysColor(3);
constexpr TColor clMenu = UiSysColor(4), clWindow = UiSysColor(5), clWindowFrame = UiSysColor(6);
constexpr TColor clMenuText = UiSysColor(7), clWindowText = UiSysColor(8);
constexpr TColor clCaptionText = UiSysColor(9), clActiveBorder = UiSysColor(10);
constexpr TColor clInactiveBorder = UiSysColor(11), clAppWorkSpace = UiSysColor(12);
constexpr TColor clHighlight = UiSysColor(13), clHighlightText = UiSysColor(14);
constexpr TColor clBtnFace = UiSysColor(15), clBtnShadow = UiSysColor(16);
constexpr TColor clGrayText = UiSysColor(17), clBtnText = UiSysColor(18);
constexpr TColor clInactiveCaptionText = UiSysColor(19), clBtnHighlight = UiSysColor(20);
constexpr TColor cl3DDkShadow = UiSysColor(21), cl3DLight = UiSysColor(22);
constexpr TColor clInfoText = UiSysColor(23), clInfoBk = UiSysColor(24);
constexpr TColor clHotLight = UiSysColor(26), clGradientActiveCaption = UiSysColor(27);
constexpr TColor clGradientInactiveCaption = UiSysColor(28), clMenuHighlight = UiSysColor(29);
constexpr TColor clMenuBar = UiSysColor(30);

// A system colour to its literal value from the fixed table; literal colours pass unchanged.
TColor ColorToRGB(TColor color);
