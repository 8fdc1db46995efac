#pragma once
// The framed string grid: the platform grid with a custom frame (a style and colour, a hot
// frame while the mouse is over it or it has the focus, or the theme's edit border), colours
// that follow its state, and grid lines in two chosen colours.
#include "platform/ui/Grids.h"
#include "widgets/UiCommon.h"

class TUiStringGrid : public TStringGrid, public IUiFrameControlled {
public:
    explicit TUiStringGrid(TComponent* AOwner);
    ~TUiStringGrid() override;

    TColor GetLineColor() const { return FLineColor; }
    virtual void SetLineColor(TColor v);
    TColor GetFixedLineColor() const { return FFixedLineColor; }
    virtual void SetFixedLineColor(TColor v);
    TColor GetDisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v);
    TColor GetFocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v);
    TColor GetNormalColor() const { return FNormalColor; }
    TColor GetFrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    TColor GetFrameHotColor() const { return FFrameHotColor; }
    virtual void SetFrameHotColor(TColor v);
    bool GetFrameHotTrack() const { return FFrameHotTrack; }
    virtual void SetFrameHotTrack(bool v);
    TFrameStyle GetFrameHotStyle() const { return FFrameHotStyle; }
    virtual void SetFrameHotStyle(TFrameStyle v);
    TSides GetFrameSides() const { return FFrameSides; }
    virtual void SetFrameSides(TSides v);
    TFrameStyle GetFrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle v);
    bool GetFrameVisible() const { return FFrameVisible; }
    virtual void SetFrameVisible(bool v);
    TFramingPreference GetFramingPreference() const { return FFramingPreference; }
    virtual void SetFramingPreference(TFramingPreference v);
    TUiFrameController* GetFrameController() const { return FFrameController; }
    virtual void SetFrameController(TUiFrameController* v) { ChangeFrameController(this, FFrameController, v); }
    TUiFrameControllerNotifications GetFrameControllerNotifications() const override { return FNotifications; }
    void SetFrameControllerNotifications(TUiFrameControllerNotifications n) { FNotifications = n; }
    bool SetFrameProperty(TUiFrameControllerProperty p, const TUiFrameController& c) override;

    bool IsOverControl() const { return FOverControl; }
    virtual bool UseThemes() const;
    virtual void UpdateColors();
    virtual void UpdateFrame(bool viaMouse, bool inControl);
    virtual void RepaintFrame() { Invalidate(); }
    // Whether a form stream would store the property (a controller may supply it).
    bool IsColorStored() const;
    bool IsFocusColorStored() const;
    bool IsFrameSettingStored(TUiFrameControllerProperty p) const;

    void ColorChanged() override;
    void ParentColorChanged() override;
    void EnabledChanged() override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Resize() override;

protected:
    void PaintBorder(TCanvas* c) override;
    TColor GridLineColor(TGridLineKind kind, bool vertical) const override;
    TEdit* CreateEditor() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool ControlledBy(TUiFrameControllerProperty p) const;
    bool EditorFocused() const;
    void DrawFrame(TCanvas* c, TFrameStyle style, TColor color, TSides sides);

    TColor FLineColor = clBtnFace, FFixedLineColor = clBtnShadow;
    bool FUpdatingColor = false;
    TColor FDisabledColor = clBtnFace, FFocusColor = clWindow, FNormalColor = clWindow;
    TColor FFrameColor = clBtnShadow;
    TUiFrameController* FFrameController = nullptr;
    TUiFrameControllerNotifications FNotifications;
    TColor FFrameHotColor = clBtnShadow;
    bool FFrameHotTrack = false;
    TFrameStyle FFrameHotStyle = fsFlatBold;
    TSides FFrameSides = AllSides;
    TFrameStyle FFrameStyle = fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = fpXPThemes;
    bool FOverControl = false;
};
