#include "app/TitleIcons.h"

#include "platform/ui/Graphics.h"

namespace {

void Clear(TBitmap& b) {
    b.SetSize(kTitleIconWidth, kTitleIconHeight);
    TCanvas* c = b.GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(kTitleColor);
    c->FillRect(TRect(0, 0, kTitleIconWidth, kTitleIconHeight));
}

}  // namespace

void DrawLanguageIcon(TBitmap& bitmap, bool english) {
    Clear(bitmap);
    TCanvas* c = bitmap.GetCanvas();
    // A small flag-like plate with the language's letters.
    c->GetBrush()->SetColor(english ? RGB(0, 36, 125) : RGB(255, 255, 255));
    c->GetPen()->SetColor(kTitleTextColor);
    c->Rectangle(1, 2, 23, 16);
    c->GetFont()->SetName("Tahoma");
    c->GetFont()->SetHeight(-9);
    c->GetFont()->SetStyle(TFontStyles{fsBold});
    c->GetFont()->SetColor(english ? RGB(255, 255, 255) : RGB(200, 16, 46));
    c->GetBrush()->SetStyle(bsClear);
    const char* text = english ? "EN" : "RU";
    const int w = c->TextWidth(text);
    c->TextOut((kTitleIconWidth - w) / 2, 3, text);
}

void DrawMinimizeIcon(TBitmap& bitmap) {
    Clear(bitmap);
    TCanvas* c = bitmap.GetCanvas();
    c->GetBrush()->SetColor(kTitleTextColor);
    c->FillRect(TRect(7, 11, 17, 13));
}

void DrawCloseIcon(TBitmap& bitmap) {
    Clear(bitmap);
    TCanvas* c = bitmap.GetCanvas();
    c->GetPen()->SetColor(kTitleTextColor);
    c->GetPen()->SetWidth(1);
    for (int d = 0; d < 2; ++d) {
        c->MoveTo(7 + d, 4);
        c->LineTo(17 + d, 14);
        c->MoveTo(16 + d, 4);
        c->LineTo(6 + d, 14);
    }
}
