#include <stdexcept>

#include "platform/ui/ImgList.h"

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}
TImageList::~TImageList() = default;

void TImageList::Changed() {
    if (OnChange) OnChange(this);
}

void TImageList::SetWidth(int w) {
    if (w == FWidth || w <= 0) return;
    FWidth = w;
    FImages.clear();
    Changed();
}

void TImageList::SetHeight(int h) {
    if (h == FHeight || h <= 0) return;
    FHeight = h;
    FImages.clear();
    Changed();
}

int TImageList::Add(const TBitmap* image, const TBitmap* mask) {
    if (!image) return -1;
    int first = GetCount();
    int n = std::max(1, image->GetWidth() / FWidth);
    for (int i = 0; i < n; ++i) {
        Entry e;
        e.image = std::make_unique<TBitmap>(FWidth, FHeight);
        e.keep.assign(size_t(FWidth) * FHeight, true);
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x) {
                int sx = i * FWidth + x;
                TColor c = image->GetPixel(sx, y);
                e.image->SetPixel(x, y, c < 0 ? clBlack : c);
                // A mask's white pixels are left out.
                if (mask && mask->GetPixel(sx, y) == clWhite) e.keep[size_t(y) * FWidth + x] = false;
            }
        FImages.push_back(std::move(e));
    }
    Changed();
    return first;
}

int TImageList::AddMasked(const TBitmap* image, TColor maskColor) {
    if (!image) return -1;
    int first = Add(image, nullptr);
    TColor key = ColorToRGB(maskColor);
    for (size_t i = size_t(first); i < FImages.size(); ++i) {
        Entry& e = FImages[i];
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                if (e.image->GetPixel(x, y) == key) e.keep[size_t(y) * FWidth + x] = false;
    }
    return first;
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= GetCount()) throw std::out_of_range("Invalid image list index");
    FImages.erase(FImages.begin() + index);
    Changed();
}

void TImageList::Clear() {
    FImages.clear();
    Changed();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
    if (!canvas || index < 0 || index >= GetCount()) return;
    const Entry& e = FImages[size_t(index)];
    for (int j = 0; j < FHeight; ++j)
        for (int i = 0; i < FWidth; ++i) {
            if (!e.keep[size_t(j) * FWidth + i]) continue;
            TColor c = e.image->GetPixel(i, j);
            if (!enabled) {
                int g = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
                g = 128 + g / 2;  // greyed and lightened
                c = RGB(g, g, g);
            }
            canvas->SetPixel(x + i, y + j, c);
        }
}

void TImageList::GetBitmap(int index, TBitmap* bitmap) const {
    if (!bitmap || index < 0 || index >= GetCount()) return;
    bitmap->SetSize(FWidth, FHeight);
    const Entry& e = FImages[size_t(index)];
    TColor back = FBkColor == clNone ? clBlack : FBkColor;
    for (int j = 0; j < FHeight; ++j)
        for (int i = 0; i < FWidth; ++i)
            bitmap->SetPixel(i, j, e.keep[size_t(j) * FWidth + i] ? e.image->GetPixel(i, j) : back);
}
