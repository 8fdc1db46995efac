#pragma once
// A frame-only graphic control and the level meter built on it (bar or LED segments,
// rectangular or fitted into a trapezoid).
#include <cstdint>
#include <memory>

#include "platform/ui/Controls.h"
#include "widgets/UiBarLayout.h"
#include "widgets/UiCommon.h"

class TUiBorder : public TGraphicControl, public IUiFrameControlled {
public:
    explicit TUiBorder(TComponent* AOwner);
    ~TUiBorder() override;

    TRect GetClientRect() const override;
    TAccessibleInfo GetAccessibleInfo() const override;

    int GetBevelWidth() const { return FBorder.BevelWidth; }
    virtual void SetBevelWidth(int v);
    TColor GetBorderColor() const { return FBorder.BorderColor; }
    virtual void SetBorderColor(TColor v);
    TColor GetBorderHighlight() const { return FBorder.BorderHighlight; }
    virtual void SetBorderHighlight(TColor v);
    TFrameStyleEx GetBorderInner() const { return FBorder.BorderInner; }
    virtual void SetBorderInner(TFrameStyleEx v);
    TFrameStyleEx GetBorderOuter() const { return FBorder.BorderOuter; }
    virtual void SetBorderOuter(TFrameStyleEx v);
    TColor GetBorderShadow() const { return FBorder.BorderShadow; }
    virtual void SetBorderShadow(TColor v);
    TSides GetBorderSides() const { return FBorder.BorderSides; }
    virtual void SetBorderSides(TSides v);
    int GetBorderWidth() const { return FBorder.BorderWidth; }
    virtual void SetBorderWidth(int v);
    TColor GetFlatColor() const { return FBorder.FlatColor; }
    virtual void SetFlatColor(TColor v);
    int GetFlatColorAdjustment() const { return FBorder.FlatColorAdjustment; }
    virtual void SetFlatColorAdjustment(int v);
    TUiFrameController* GetFrameController() const { return FFrameController; }
    virtual void SetFrameController(TUiFrameController* v);
    TUiFrameControllerNotifications GetFrameControllerNotifications() const override {
        return FNotifications;
    }
    void SetFrameControllerNotifications(TUiFrameControllerNotifications n) { FNotifications = n; }

    // The frame controller's settings, taken under this control's notification bits.
    bool HandlesFrameControllerChange() const override { return true; }
    void FrameControllerChanged() override;

    void MouseEnter() override;

protected:
    // The colour an opaque control's flat-rounded frame fills with.
    virtual TColor FlatRoundedFillColor() const { return GetColor(); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void PaintBorder(TCanvas* canvas);
    bool IsOpaque() const { return GetControlStyle().Contains(csOpaque); }
    TColor ParentBackColor() const;
    template <class T>
    void Store(T& field, T v) {
        if (field == v) return;
        field = v;
        Repaint();
    }

    TUiBorderSettings FBorder;

private:
    TUiFrameController* FFrameController = nullptr;
    TUiFrameControllerNotifications FNotifications;
};

enum TUiMeterType : std::uint8_t { mtNormal, mtBar3D, mtLED };
enum TUiMeterShape : std::uint8_t { msRectangular, msTrapezoidal };
enum TTrapDirect : std::uint8_t { tdLargeToSmall, tdSmallToLarge };
enum TTrapShape : std::uint8_t { tsLeft, tsCenter, tsRight };

class TUiMeter : public TUiBorder {
public:
    explicit TUiMeter(TComponent* AOwner);
    ~TUiMeter() override;

    TAccessibleInfo GetAccessibleInfo() const override;

    int GetMin() const { return FMin; }
    virtual void SetMin(int v);
    int GetMax() const { return FMax; }
    virtual void SetMax(int v);
    int GetValue() const { return FValue; }
    virtual void SetValue(int v);
    TColor GetBarColor() const { return FBarColor; }
    virtual void SetBarColor(TColor v) { Store(FBarColor, v); }
    TColor GetBackColor() const { return FBackColor; }
    virtual void SetBackColor(TColor v) { Store(FBackColor, v); }
    TUiMeterType GetMeterType() const { return FMeterType; }
    virtual void SetMeterType(TUiMeterType v) { Store(FMeterType, v); }
    TUiMeterShape GetMeterShape() const { return FMeterShape; }
    virtual void SetMeterShape(TUiMeterShape v) { Store(FMeterShape, v); }
    TTrapDirect GetTrapezoidDir() const { return FTrapezoidDir; }
    virtual void SetTrapezoidDir(TTrapDirect v) { Store(FTrapezoidDir, v); }
    TTrapShape GetTrapezoidShape() const { return FTrapezoidShape; }
    virtual void SetTrapezoidShape(TTrapShape v) { Store(FTrapezoidShape, v); }
    int GetTrapezoidMin() const { return FTrapezoidMin; }
    virtual void SetTrapezoidMin(int v) { Store(FTrapezoidMin, v); }
    TDirection GetDirection() const { return FDirection; }
    virtual void SetDirection(TDirection v) { Store(FDirection, v); }
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    virtual void SetBitmap(const TBitmap* v);  // copies the picture
    TBrushStyle GetBrushStyle() const { return FBrushStyle; }
    virtual void SetBrushStyle(TBrushStyle v) { Store(FBrushStyle, v); }
    bool GetShowPercent() const { return FShowPercent; }
    virtual void SetShowPercent(bool v) { Store(FShowPercent, v); }
    virtual int GetPercent() const;
    int GetSegSpacing() const { return FSegSpacing; }
    virtual void SetSegSpacing(int v);
    TColor GetSegOffColor() const { return FSegOffColor; }
    virtual void SetSegOffColor(TColor v) { Store(FSegOffColor, v); }
    // Bands 0..2; counts are 1..255 and together at most 255.
    virtual int GetSegCount(int index) const;
    virtual void SetSegCount(int index, int v);
    virtual TColor GetSegColor(int index) const;
    virtual void SetSegColor(int index, TColor v);

protected:
    TColor FlatRoundedFillColor() const override { return FBackColor; }
    void Paint() override;

private:
    void PaintBar(TCanvas* c, const TRect& work, int inset);
    void PaintSegments(TCanvas* c, const TRect& work, int inset);

    int FMin = 0, FMax = 100, FValue = 0;
    int FBorderInset = 0;
    TColor FBarColor = 255, FBackColor = 0;
    TUiMeterType FMeterType = mtLED;
    TUiMeterShape FMeterShape = msRectangular;
    TTrapDirect FTrapezoidDir = tdLargeToSmall;
    TTrapShape FTrapezoidShape = tsCenter;
    int FTrapezoidMin = 6;
    TDirection FDirection = dirRight;
    std::unique_ptr<TBitmap> FBitmap;
    TBrushStyle FBrushStyle = bsSolid;
    bool FShowPercent = true;
    int FSegSpacing = 2;
    TColor FSegOffColor = 0;
    int FSegCount[3] = {5, 3, 2};
    TColor FSegColor[3] = {32768, 65535, 255};
};
