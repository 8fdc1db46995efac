#pragma once
// Check boxes and radio buttons: a button control showing a small state glyph (box or circle)
// beside its caption, with the press logic and caption styles of the push button.
#include <cstdint>
#include <memory>

#include "platform/ui/ImgList.h"
#include "widgets/UiButton.h"
#include "widgets/UiCommon.h"

class TUiCustomGlyphButton : public TUiCustomButton, public IUiFrameControlled {
public:
    explicit TUiCustomGlyphButton(TComponent* AOwner);
    ~TUiCustomGlyphButton() override;

    TAlignment GetAlignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment v);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool GetWordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool v);
    TColor GetFrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v) { StoreGlyph(FFrameColor, v); }
    TBitmap* GetCustomGlyphs() const { return FCustomGlyphs.get(); }
    virtual void SetCustomGlyphs(const TBitmap* v);
    TImageList* GetCustomGlyphImages() const { return FCustomGlyphImages; }
    virtual void SetCustomGlyphImages(TImageList* v);
    bool GetUseCustomGlyphs() const { return FUseCustomGlyphs; }
    virtual void SetUseCustomGlyphs(bool v);
    TColor GetTransparentColor() const { return FTransparentColor; }
    virtual void SetTransparentColor(TColor v) { StoreGlyph(FTransparentColor, v); }
    TColor GetWinMaskColor() const { return FWinMaskColor; }
    virtual void SetWinMaskColor(TColor v) { StoreGlyph(FWinMaskColor, v); }
    TColor GetFillColor() const { return FFillColor; }
    virtual void SetFillColor(TColor v) { StoreGlyph(FFillColor, v); }
    TColor GetFocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v) { StoreGlyph(FFocusColor, v); }
    TColor GetDisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v) { StoreGlyph(FDisabledColor, v); }
    bool GetReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool v) { StoreGlyph(FReadOnly, v); }
    bool GetReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    void SetReadOnlyColorOnFocus(bool v) { StoreGlyph(FReadOnlyColorOnFocus, v); }
    TColor GetReadOnlyColor() const { return FReadOnlyColor; }
    virtual void SetReadOnlyColor(TColor v) { StoreGlyph(FReadOnlyColor, v); }
    bool GetTabOnEnter() const { return FTabOnEnter; }
    void SetTabOnEnter(bool v) { FTabOnEnter = v; }
    TUiButtonHotTrackStyle GetHotTrackStyle() const { return FHotTrackStyle; }
    void SetHotTrackStyle(TUiButtonHotTrackStyle v) { StoreGlyph(FHotTrackStyle, v); }
    int GetGlyphWidth() const { return FGlyphWidth; }
    int GetGlyphHeight() const { return FGlyphHeight; }
    virtual bool GetChecked() const = 0;
    virtual void SetChecked(bool v) = 0;
    // The window system's check query: 0 unchecked, 1 checked, 2 grayed.
    virtual int GetCheck() const { return GetChecked() ? 1 : 0; }

    TUiFrameController* GetFrameController() const { return FFrameController; }
    virtual void SetFrameController(TUiFrameController* v) { ChangeFrameController(this, FFrameController, v); }
    TUiFrameControllerNotifications GetFrameControllerNotifications() const override { return FNotifications; }
    void SetFrameControllerNotifications(TUiFrameControllerNotifications n) { FNotifications = n; }
    bool HandlesFrameControllerChange() const override { return true; }
    void FrameControllerChanged() override;

    // While an action link pushes its state, no click event fires.
    void SetClicksDisabled(bool v) { FClicksDisabled = v; }
    bool GetClicksDisabled() const { return FClicksDisabled; }

    TRect GlyphRect() const;
    // Re-measures the caption and sizes the control around it and the glyph.
    void AdjustBounds();
    void DefineProperties(TUiFiler& filer);

    void Click() override { Toggle(); }
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void FontChanged() override;
    void TextChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;
    void Resize() override;

protected:
    // Runs on a click: a radio button checks itself, a check box moves to its next state.
    virtual void Toggle() = 0;
    // Draws the glyph of the current state into the canvas over rect.
    virtual void DrawGlyph(TCanvas* c, const TRect& rect) = 0;
    // The glyph's visual state: 0 normal, 1 pressed, 2 hot, 3 disabled.
    int VisualState() const;
    void HotColors(TColor& start, TColor& stop) const;
    TUiGlyphColors GlyphColors() const;
    // An image of the custom glyphs: from the image list or a column of the strip.
    bool DrawCustomGlyph(TCanvas* c, const TRect& rect, int index);
    // Raises the click event unless clicks are disabled.
    void FireClick();
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    template <class T>
    void StoreGlyph(T& field, T v) {
        if (field == v) return;
        field = v;
        FBackgroundStale = true;
        Invalidate();
    }

    int FImageCount = 2;
    bool FMouseInside = false;

private:
    bool CaptionRight() const;
    unsigned CaptionFlags() const;
    void UpdateGlyphSize();

    TAlignment FAlignment = taRightJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    TColor FFrameColor = clBtnShadow;
    std::unique_ptr<TBitmap> FCustomGlyphs;
    TImageList* FCustomGlyphImages = nullptr;
    bool FUseCustomGlyphs = false;
    TColor FTransparentColor = clOlive, FWinMaskColor = clLime;
    TColor FFillColor = clWindow, FFocusColor = clWindow, FDisabledColor = clBtnFace;
    bool FReadOnly = false, FReadOnlyColorOnFocus = false;
    TColor FReadOnlyColor = clInfoBk;
    int FGlyphWidth = 13, FGlyphHeight = 13;
    int FDefaultGlyphWidth = 13, FDefaultGlyphHeight = 13;
    bool FTabOnEnter = false;
    TUiButtonHotTrackStyle FHotTrackStyle = htsInterior;
    TUiFrameController* FFrameController = nullptr;
    TUiFrameControllerNotifications FNotifications;
    bool FClicksDisabled = false;
    bool FBackgroundStale = true;
    bool FAdjusting = false;
};

class TUiRadioButton : public TUiCustomGlyphButton {
public:
    explicit TUiRadioButton(TComponent* AOwner);

    bool GetChecked() const override { return FChecked; }
    void SetChecked(bool v) override;
    void SetReadOnly(bool v) override;
    TAccessibleInfo GetAccessibleInfo() const override;
    void AccessiblePress() override { Click(); }

    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    bool DialogChar(char Key) override;

protected:
    void Toggle() override;
    void DrawGlyph(TCanvas* c, const TRect& rect) override;

private:
    bool FChecked = false;
};

class TUiCustomCheckBox : public TUiCustomGlyphButton {
public:
    explicit TUiCustomCheckBox(TComponent* AOwner);

    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    TCheckBoxState GetState() const { return FState; }
    virtual void SetState(TCheckBoxState v);
    bool GetChecked() const override { return FState == cbChecked; }
    void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }
    int GetCheck() const override { return int(FState); }
    TAccessibleInfo GetAccessibleInfo() const override;
    void AccessiblePress() override { Click(); }

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoExit() override;
    bool DialogChar(char Key) override;

protected:
    void Toggle() override;
    void DrawGlyph(TCanvas* c, const TRect& rect) override;

private:
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
    bool FSpaceDown = false;
};

class TUiCheckBox : public TUiCustomCheckBox {
public:
    explicit TUiCheckBox(TComponent* AOwner) : TUiCustomCheckBox(AOwner) {}
};

// Links a checked action to a control: the action's state reaches the control without a
// click event.
class TUiCheckedActionLink {
public:
    explicit TUiCheckedActionLink(TUiCustomGlyphButton* client) : FClient(client) {}
    void SetChecked(bool checked);
    bool IsCheckedLinked(bool actionChecked) const;

private:
    TUiCustomGlyphButton* FClient;
};
