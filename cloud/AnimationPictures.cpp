#include "cloud/AnimationPictures.h"

namespace {

constexpr TColor kLine = 0x00AA623E;   // the window's blue
constexpr TColor kTick = 0x0000A000;
constexpr TColor kCross = 0x000000D0;

void Pen(TCanvas* c, TColor color, int width) {
    c->GetPen()->SetColor(color);
    c->GetPen()->SetWidth(width);
}

}  // namespace

void DrawAnimationPicture(TBitmap& bitmap, TAnimationPicture picture, int size) {
    bitmap.SetSize(size, size);
    TCanvas* c = bitmap.GetCanvas();
    c->GetBrush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, size, size});
    const int s = size;
    switch (picture) {
        case TAnimationPicture::Workstation:
            Pen(c, kLine, 3);
            c->Rectangle(s / 8, s / 8, s * 7 / 8, s * 5 / 8);
            c->MoveTo(s / 2, s * 5 / 8);
            c->LineTo(s / 2, s * 6 / 8);
            c->MoveTo(s / 4, s * 6 / 8 + 2);
            c->LineTo(s * 3 / 4, s * 6 / 8 + 2);
            break;
        case TAnimationPicture::Cloud:
            Pen(c, kLine, 3);
            c->Ellipse(s / 8, s * 3 / 8, s / 2, s * 3 / 4);
            c->Ellipse(s * 5 / 16, s / 4, s * 3 / 4, s * 5 / 8);
            c->Ellipse(s / 2, s * 3 / 8, s * 7 / 8, s * 3 / 4);
            break;
        case TAnimationPicture::Device:
            Pen(c, kLine, 3);
            c->Rectangle(s / 4, s * 3 / 8, s * 3 / 4, s * 7 / 8);
            c->MoveTo(s * 5 / 8, s * 3 / 8);
            c->LineTo(s * 5 / 8, s / 8);
            break;
        case TAnimationPicture::Tick: {
            Pen(c, kTick, 4);
            const TPoint points[] = {{s / 6, s / 2}, {s * 5 / 12, s * 3 / 4}, {s * 5 / 6, s / 4}};
            c->Polyline(points, 3);
            break;
        }
        case TAnimationPicture::Cross:
            Pen(c, kCross, 4);
            c->MoveTo(s / 4, s / 4);
            c->LineTo(s * 3 / 4, s * 3 / 4);
            c->MoveTo(s * 3 / 4, s / 4);
            c->LineTo(s / 4, s * 3 / 4);
            break;
    }
}
