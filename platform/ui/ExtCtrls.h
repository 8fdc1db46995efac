#pragma once
// Panels, pictures and images.
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with the classic bevels and a centred caption.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);

    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut b);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut b);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int w);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int w);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment a);
    TVerticalAlignment GetVerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment a);
    bool GetShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool s);

    void AdjustClientRect(TRect& rect) const override;
    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void Paint() override;
    void TextChanged() override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
    TVerticalAlignment FVerticalAlignment = taVerticalCenter;
    bool FShowCaption = true;
};

// Draws the classic 3D frame (light top-left, shadow bottom-right) of width w inside r and
// returns what is left inside.
TRect Frame3D(TCanvas& canvas, TRect r, TColor topColor, TColor bottomColor, int width);

// A picture: a bitmap plus the file loaders other layers register (.bmp is built in).
class TPicture : public TObject {
public:
    TPicture();
    ~TPicture() override;

    TBitmap* GetBitmap() { return FBitmap.get(); }
    const TBitmap* GetBitmap() const { return FBitmap.get(); }
    void Assign(const TBitmap& bitmap);
    void Clear();
    int GetWidth() const { return FBitmap->GetWidth(); }
    int GetHeight() const { return FBitmap->GetHeight(); }
    bool Empty() const { return FBitmap->GetEmpty(); }
    // By extension (lower case, no dot); raises std::runtime_error on failure.
    void LoadFromFile(const std::string& path);

    using TLoader = std::function<void(const std::string& path, TBitmap& out)>;
    static void RegisterFileFormat(const std::string& extension, TLoader loader);

    TNotifyEvent OnChange;

private:
    std::unique_ptr<TBitmap> FBitmap;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* GetPicture() { return FPicture.get(); }
    void SetPicture(const TBitmap& bitmap) { FPicture->Assign(bitmap); }
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool s);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool c);
    bool GetProportional() const { return FProportional; }
    void SetProportional(bool p);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool t);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool a);
    // Where the picture lands in the client area.
    TRect DestRect() const;

    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void Paint() override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FCenter = false, FProportional = false, FTransparent = false, FAutoSize = false;
};
