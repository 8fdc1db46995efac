#pragma once
// The progress bar: a windowless control showing a completion value as a plain, LED or
// gradient bar inside a configurable frame, with a centred "n%" or "done / total" text.
#include <cstdint>
#include <functional>

#include "platform/ui/Controls.h"
#include "widgets/UiBars.h"
#include "widgets/UiCommon.h"

enum TBarStyle : std::uint8_t { bsTraditional, bsLED, bsGradient };
using TProgressChangeEvent = std::function<void(TObject* Sender, int Percent)>;

class TUiCustomProgressBar : public TGraphicControl, public IUiFrameControlled {
public:
    explicit TUiCustomProgressBar(TComponent* AOwner);
    ~TUiCustomProgressBar() override;

    void SetBounds(int left, int top, int width, int height) override;
    TAccessibleInfo GetAccessibleInfo() const override;

    TColor GetBackColor() const { return FBackColor; }
    virtual void SetBackColor(TColor v) { Store(FBackColor, v); }
    TColor GetBackColorStop() const { return FBackColorStop; }
    void SetBackColorStop(TColor v) { Store(FBackColorStop, v); }
    TColor GetBarColor() const { return FBarColor; }
    virtual void SetBarColor(TColor v);
    TColor GetBarColorStop() const { return FBarColorStop; }
    void SetBarColorStop(TColor v) { Store(FBarColorStop, v); }
    TBarStyle GetBarStyle() const { return FBarStyle; }
    virtual void SetBarStyle(TBarStyle v);
    int GetBevelWidth() const { return FBorder.BevelWidth; }
    virtual void SetBevelWidth(int v) { Store(FBorder.BevelWidth, std::max(v, 1)); }
    TColor GetBorderColor() const { return FBorder.BorderColor; }
    virtual void SetBorderColor(TColor v) { Store(FBorder.BorderColor, v); }
    TFrameStyleEx GetBorderInner() const { return FBorder.BorderInner; }
    virtual void SetBorderInner(TFrameStyleEx v) { Store(FBorder.BorderInner, v); }
    TFrameStyleEx GetBorderOuter() const { return FBorder.BorderOuter; }
    virtual void SetBorderOuter(TFrameStyleEx v) { Store(FBorder.BorderOuter, v); }
    int GetBorderWidth() const { return FBorder.BorderWidth; }
    virtual void SetBorderWidth(int v) { Store(FBorder.BorderWidth, std::max(v, 0)); }
    TColor GetFlatColor() const { return FBorder.FlatColor; }
    virtual void SetFlatColor(TColor v) { Store(FBorder.FlatColor, v); }
    int GetFlatColorAdjustment() const { return FBorder.FlatColorAdjustment; }
    virtual void SetFlatColorAdjustment(int v) { Store(FBorder.FlatColorAdjustment, v); }
    TGradientDirection GetGradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection v) { Store(FGradientDirection, v); }
    int GetInteriorOffset() const { return FInteriorOffset; }
    virtual void SetInteriorOffset(int v) { Store(FInteriorOffset, std::clamp(v, 0, 255)); }
    int GetNumSegments() const { return FNumSegments; }
    virtual void SetNumSegments(int v) { Store(FNumSegments, std::clamp(v, 1, 100)); }
    TOrientation GetOrientation() const { return FOrientation; }
    virtual void SetOrientation(TOrientation v) { Store(FOrientation, v); }
    std::uint32_t GetPartsComplete() const { return FPartsComplete; }
    virtual void SetPartsComplete(std::uint32_t v);
    std::uint32_t GetTotalParts() const { return FTotalParts; }
    virtual void SetTotalParts(std::uint32_t v);
    int GetPercent() const { return FPercent; }
    virtual void SetPercent(int v);
    bool GetShowPercent() const { return FShowPercent; }
    virtual void SetShowPercent(bool v) { Store(FShowPercent, v); }
    bool GetShowParts() const { return FShowParts; }
    virtual void SetShowParts(bool v) { Store(FShowParts, v); }
    bool GetThemeAware() const { return FThemeAware; }
    virtual void SetThemeAware(bool v);

    TUiFrameController* GetFrameController() const { return FFrameController; }
    void SetFrameController(TUiFrameController* v) { ChangeFrameController(this, FFrameController, v); }
    TUiFrameControllerNotifications GetFrameControllerNotifications() const override { return FNotifications; }
    void SetFrameControllerNotifications(TUiFrameControllerNotifications n) { FNotifications = n; }
    bool HandlesFrameControllerChange() const override { return true; }
    void FrameControllerChanged() override;

    TProgressChangeEvent OnChange;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    template <class T>
    void Store(T& field, T v) {
        if (field == v) return;
        field = v;
        Repaint();
    }

private:
    TColor FBackColor = clWhite, FBackColorStop = clBtnFace;
    TColor FBarColor = clHighlight, FBarColorStop = clHotLight;
    TBarStyle FBarStyle = bsTraditional;
    TUiBorderSettings FBorder;
    TGradientDirection FGradientDirection = gdHorizontalCenter;
    int FInteriorOffset = 0;
    int FNumSegments = 20;
    TOrientation FOrientation = orHorizontal;
    std::uint32_t FPartsComplete = 0, FTotalParts = 0;
    int FPercent = 0;
    bool FShowPercent = true, FShowParts = false;
    bool FThemeAware = true;
    TUiFrameController* FFrameController = nullptr;
    TUiFrameControllerNotifications FNotifications;
};

class TUiProgressBar : public TUiCustomProgressBar {
public:
    explicit TUiProgressBar(TComponent* AOwner) : TUiCustomProgressBar(AOwner) {}
};
