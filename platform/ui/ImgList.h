#pragma once
// A list of same-sized images, each drawn with its mask colour left out.
#include <memory>
#include <vector>

#include "platform/ui/Graphics.h"

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;

    int GetWidth() const { return FWidth; }
    void SetWidth(int w);  // changing the size clears the list
    int GetHeight() const { return FHeight; }
    void SetHeight(int h);
    int GetCount() const { return static_cast<int>(FImages.size()); }
    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor c) { FBkColor = c; }

    // Cuts the bitmap into Width-wide images; the mask's white pixels are left out, a null
    // mask keeps every pixel. Returns the index of the first image added.
    int Add(const TBitmap* image, const TBitmap* mask);
    // Pixels of maskColor are left out when drawing.
    int AddMasked(const TBitmap* image, TColor maskColor);
    void Delete(int index);
    void Clear();
    // Draws image index at (x, y); a disabled image is drawn greyed.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
    // Copies image index into bitmap (sized to the list), the left-out pixels in BkColor.
    void GetBitmap(int index, TBitmap* bitmap) const;

    TNotifyEvent OnChange;

private:
    struct Entry {
        std::unique_ptr<TBitmap> image;
        std::vector<bool> keep;  // per pixel
    };
    void Changed();
    int FWidth = 16, FHeight = 16;
    TColor FBkColor = clNone;
    std::vector<Entry> FImages;
};
