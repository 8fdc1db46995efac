#pragma once
// Panels with outer and inner frames, flat or gradient fills, a caption and a dotted grid;
// group boxes in six styles with an optional caption check box; the status bar with its size
// grip; and the painter of docked clients' caption bars.
#include <cstdint>
#include <map>
#include <memory>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "widgets/UiCommon.h"

enum TUiGradientColorStyle : std::uint8_t { gcsSystem, gcsMSOffice, gcsCustom };

class TUiPanelDockManager;

class TUiCustomPanel : public TCustomControl, public IUiFrameControlled, public IUiTransparent {
public:
    explicit TUiCustomPanel(TComponent* AOwner);
    ~TUiCustomPanel() override;

    void AdjustClientRect(TRect& rect) const override;
    TAccessibleInfo GetAccessibleInfo() const override;
    void SetBounds(int left, int top, int width, int height) override;

    // The library panel's own settings.
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { StoreAndRepaint(FAlignment, v); }
    int GetBevelWidth() const { return FBorder.BevelWidth; }
    void SetBevelWidth(int v);
    int GetBorderWidth() const { return FBorder.BorderWidth; }
    void SetBorderWidth(int v);
    bool GetFullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool v) { FFullRepaint = v; }
    bool GetLocked() const { return FLocked; }
    void SetLocked(bool v) { FLocked = v; }

    TAlignmentVertical GetAlignmentVertical() const { return FAlignmentVertical; }
    void SetAlignmentVertical(TAlignmentVertical v) { StoreAndRepaint(FAlignmentVertical, v); }
    TFrameStyleEx GetBorderInner() const { return FBorder.BorderInner; }
    virtual void SetBorderInner(TFrameStyleEx v);
    TFrameStyleEx GetBorderOuter() const { return FBorder.BorderOuter; }
    virtual void SetBorderOuter(TFrameStyleEx v);
    TSides GetBorderSides() const { return FBorder.BorderSides; }
    virtual void SetBorderSides(TSides v);
    TColor GetBorderColor() const { return FBorder.BorderColor; }
    void SetBorderColor(TColor v) { StoreAndRepaint(FBorder.BorderColor, v); }
    TColor GetBorderHighlight() const { return FBorder.BorderHighlight; }
    void SetBorderHighlight(TColor v) { StoreAndRepaint(FBorder.BorderHighlight, v); }
    TColor GetBorderShadow() const { return FBorder.BorderShadow; }
    void SetBorderShadow(TColor v) { StoreAndRepaint(FBorder.BorderShadow, v); }
    TColor GetFlatColor() const { return FBorder.FlatColor; }
    void SetFlatColor(TColor v) { StoreAndRepaint(FBorder.FlatColor, v); }
    int GetFlatColorAdjustment() const { return FBorder.FlatColorAdjustment; }
    void SetFlatColorAdjustment(int v) { StoreAndRepaint(FBorder.FlatColorAdjustment, v); }
    TUiVisualStyle GetVisualStyle() const { return FVisualStyle; }
    void SetVisualStyle(TUiVisualStyle v) { StoreAndRepaint(FVisualStyle, v); }
    TUiGradientColorStyle GetGradientColorStyle() const { return FGradientColorStyle; }
    void SetGradientColorStyle(TUiGradientColorStyle v) { StoreAndRepaint(FGradientColorStyle, v); }
    TColor GetGradientColorStart() const { return FGradientColorStart; }
    void SetGradientColorStart(TColor v) { StoreAndRepaint(FGradientColorStart, v); }
    TColor GetGradientColorStop() const { return FGradientColorStop; }
    void SetGradientColorStop(TColor v) { StoreAndRepaint(FGradientColorStop, v); }
    TGradientDirection GetGradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection v) { StoreAndRepaint(FGradientDirection, v); }
    bool GetGridShow() const { return FGridShow; }
    void SetGridShow(bool v) { StoreAndRepaint(FGridShow, v); }
    TColor GetGridColor() const { return FGridColor; }
    void SetGridColor(TColor v) { StoreAndRepaint(FGridColor, v); }
    int GetGridStyle() const { return FGridStyle; }
    void SetGridStyle(int v) { StoreAndRepaint(FGridStyle, v); }
    int GetGridXSpacing() const { return FGridXSpacing; }
    void SetGridXSpacing(int v) { StoreAndRepaint(FGridXSpacing, std::uint16_t(v)); }
    int GetGridYSpacing() const { return FGridYSpacing; }
    void SetGridYSpacing(int v) { StoreAndRepaint(FGridYSpacing, std::uint16_t(v)); }
    int GetMarginHorizontal() const { return FMarginHorizontal; }
    void SetMarginHorizontal(int v) { StoreAndRepaint(FMarginHorizontal, v); }
    int GetMarginVertical() const { return FMarginVertical; }
    void SetMarginVertical(int v) { StoreAndRepaint(FMarginVertical, v); }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { StoreAndRepaint(FWordWrap, v); }
    bool GetTransparent() const override { return FTransparent; }
    virtual void SetTransparent(bool v);
    bool GetShowDockClientCaptions() const { return FShowDockClientCaptions; }
    void SetShowDockClientCaptions(bool v) { StoreAndRepaint(FShowDockClientCaptions, v); }

    TUiFrameController* GetFrameController() const { return FFrameController; }
    void SetFrameController(TUiFrameController* v);
    TUiFrameControllerNotifications GetFrameControllerNotifications() const override { return FNotifications; }
    void SetFrameControllerNotifications(TUiFrameControllerNotifications n) { FNotifications = n; }
    bool HandlesFrameControllerChange() const override { return true; }
    void FrameControllerChanged() override;

    // Disabling records each child's enabled state (by control) and disables them all;
    // enabling gives each child the state it had before.
    void EnableControls(bool enable);
    // The dock-caption painter, created on first request.
    TUiPanelDockManager* GetDockManager();

    TNotifyEvent OnPaint;

    void EnabledChanged() override;
    void TextChanged() override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The frames and the fill; returns the interior.
    TRect PaintPanelFrame(TCanvas* c);
    void PaintGrid(TCanvas* c, const TRect& interior);
    void PaintCaption(TCanvas* c, const TRect& interior);
    TColor ParentBackColor() const;
    template <class T>
    void StoreAndRepaint(T& field, T v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    void FrameChanged();

    TUiBorderSettings FBorder;
    bool FTransparent = false;
    TUiVisualStyle FVisualStyle = vsWinXP;
    TUiGradientColorStyle FGradientColorStyle = gcsSystem;
    TColor FGradientColorStart = clWhite;
    TColor FGradientColorStop = clBtnFace;

private:
    TAlignment FAlignment = taCenter;
    bool FFullRepaint = true;
    bool FLocked = false;
    TAlignmentVertical FAlignmentVertical = avCenter;
    TGradientDirection FGradientDirection = gdHorizontalEnd;
    bool FGridShow = false;
    TColor FGridColor = clBtnShadow;
    int FGridStyle = 0;
    std::uint16_t FGridXSpacing = 8, FGridYSpacing = 8;
    int FMarginHorizontal = 0, FMarginVertical = 0;
    bool FWordWrap = true;
    bool FShowDockClientCaptions = true;
    TUiFrameController* FFrameController = nullptr;
    TUiFrameControllerNotifications FNotifications;
    std::map<TComponent*, bool> FEnabledStates;
    std::unique_ptr<TUiPanelDockManager> FDockManager;
};

class TUiPanel : public TUiCustomPanel {
public:
    explicit TUiPanel(TComponent* AOwner) : TUiCustomPanel(AOwner) {}
};

enum TUiGroupBoxStyle : std::uint8_t { gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline };

class TUiCustomGroupBox : public TUiCustomPanel {
public:
    explicit TUiCustomGroupBox(TComponent* AOwner);
    ~TUiCustomGroupBox() override;

    void AdjustClientRect(TRect& rect) const override;
    TAccessibleInfo GetAccessibleInfo() const override;
    void AccessiblePress() override;

    TUiGroupBoxStyle GetGroupStyle() const { return FGroupStyle; }
    virtual void SetGroupStyle(TUiGroupBoxStyle v);
    int GetBannerHeight() const { return FBannerHeight; }
    virtual void SetBannerHeight(int v);
    TFont* GetCaptionFont() { return &FCaptionFont; }
    void SetCaptionFont(const TFont& f);
    bool IsCaptionFontStored() const { return FCaptionFontChanged; }
    bool GetEnableControlsOnCheck() const { return FEnableControlsOnCheck; }
    void SetEnableControlsOnCheck(bool v);
    bool GetShowCheckBox() const { return FShowCheckBox; }
    void SetShowCheckBox(bool v);
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool v);
    // The caption rectangle of the last paint.
    TRect GetCaptionRect() const { return FCaptionRect; }

    TNotifyEvent OnCheckBoxClick;

    void FontChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    bool DialogChar(char Key) override;

protected:
    void Paint() override;
    void FrameChanged() { Realign(); }
    // The caption rectangle for the current caption and style.
    TRect ComputeCaptionRect(TCanvas* c) const;

private:
    void PaintGroupFrame(TCanvas* c, TColor flat, int captionHeight);
    void PaintCaptionCheckBox(TCanvas* c, const TRect& box);

    TUiGroupBoxStyle FGroupStyle = gsFlat;
    int FBannerHeight = 0;
    TFont FCaptionFont;
    bool FCaptionFontChanged = false;
    bool FCopyingFont = false;
    TRect FCaptionRect;
    bool FEnableControlsOnCheck = true;
    bool FShowCheckBox = false;
    int FCheckBoxSize = 13;
    bool FTracking = false, FHot = false, FSpaceDown = false, FPressed = false;
    bool FChecked = true;
};

class TUiGroupBox : public TUiCustomGroupBox {
public:
    explicit TUiGroupBox(TComponent* AOwner) : TUiCustomGroupBox(AOwner) {}
};

class TUiStatusBar : public TUiCustomPanel {
public:
    explicit TUiStatusBar(TComponent* AOwner);

    bool GetAutoStyle() const { return FAutoStyle; }
    void SetAutoStyle(bool v);
    bool GetSimpleStatus() const { return FSimpleStatus; }
    void SetSimpleStatus(bool v);
    const std::string& GetSimpleCaption() const { return FSimpleCaption; }
    void SetSimpleCaption(const std::string& v) { StoreAndRepaint(FSimpleCaption, v); }
    TFrameStyle GetSimpleFrameStyle() const { return FSimpleFrameStyle; }
    void SetSimpleFrameStyle(TFrameStyle v) { StoreAndRepaint(FSimpleFrameStyle, v); }
    bool GetShowSizeGrip() const { return FShowSizeGrip; }
    void SetShowSizeGrip(bool v) { StoreAndRepaint(FShowSizeGrip, v); }
    bool GetAutoScalePanes() const { return FAutoScalePanes; }
    void SetAutoScalePanes(bool v) { FAutoScalePanes = v; }

    void SetBorderInner(TFrameStyleEx v) override;
    void SetBorderOuter(TFrameStyleEx v) override;
    void SetBorderSides(TSides v) override;
    // The grip shows while the form is sizable and not maximised.
    bool SizeGripVisible() const;
    TRect SizeGripRect() const;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;

protected:
    void Paint() override;

private:
    void PaintGrip(TCanvas* c);
    bool FAutoStyle = true;
    bool FSimpleStatus = false;
    std::string FSimpleCaption;
    TFrameStyle FSimpleFrameStyle = fsFlat;
    bool FShowSizeGrip = true;
    bool FAutoScalePanes = false;
    int FPrevWidth = 0;
    bool FFirstResize = true;
    std::map<TControl*, bool> FHiddenBySimple;
};

// Paints the caption bar of a docked client: 14 pixels in "Verdana" 8 with a close glyph.
class TUiPanelDockManager {
public:
    explicit TUiPanelDockManager(TUiCustomPanel* site) : FSite(site) {}
    static constexpr int CaptionHeight = 14;
    void PaintDockCaption(TCanvas* c, const TRect& clientBounds, const std::string& caption,
                          bool active);
    TUiCustomPanel* GetSite() const { return FSite; }

private:
    TUiCustomPanel* FSite;
};
