#pragma once
// The push button: press logic (mouse capture and tracking, space bar, Enter for the default
// button, Escape for the cancel button, accelerators, hot tracking) in TUiCustomButton, which
// the glyph buttons share, and the painted, grouped push button TUiButton.
#include <cstdint>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "widgets/UiCommon.h"
#include "widgets/UiStream.h"

class TUiCustomButton : public TCustomControl, public IUiTransparent {
public:
    explicit TUiCustomButton(TComponent* AOwner);
    ~TUiCustomButton() override;

    TAlignmentVertical GetAlignmentVertical() const { return FAlignmentVertical; }
    virtual void SetAlignmentVertical(TAlignmentVertical v) { Store(FAlignmentVertical, v); }
    TColor GetHotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor v) { Store(FHotTrackColor, v); }
    TUiHotTrackColorType GetHotTrackColorType() const { return FHotTrackColorType; }
    void SetHotTrackColorType(TUiHotTrackColorType v) { Store(FHotTrackColorType, v); }
    TColor GetHighlightColor() const { return FHighlightColor; }
    virtual void SetHighlightColor(TColor v) { Store(FHighlightColor, v); }
    bool GetLightTextStyle() const { return FLightTextStyle; }
    virtual void SetLightTextStyle(bool v) { Store(FLightTextStyle, v); }
    TTextStyle GetTextStyle() const { return FTextStyle; }
    virtual void SetTextStyle(TTextStyle v) { Store(FTextStyle, v); }
    TColor GetTextHighlightColor() const { return FTextHighlightColor; }
    virtual void SetTextHighlightColor(TColor v) { Store(FTextHighlightColor, v); }
    TColor GetTextShadowColor() const { return FTextShadowColor; }
    virtual void SetTextShadowColor(TColor v) { Store(FTextShadowColor, v); }
    int GetTextShadowDepth() const { return FTextShadowDepth; }
    virtual void SetTextShadowDepth(int v) { Store(FTextShadowDepth, v); }
    bool GetHotTrack() const { return FHotTrack; }
    virtual void SetHotTrack(bool v) { Store(FHotTrack, v); }
    bool GetThemeAware() const { return FThemeAware; }
    virtual void SetThemeAware(bool v) { Store(FThemeAware, v); }
    bool GetTransparent() const override { return FTransparent; }
    virtual void SetTransparent(bool v) { Store(FTransparent, v); }

    bool IsPressed() const { return FPressed; }
    bool IsTracking() const { return FTracking; }
    bool IsMouseInControl() const { return FMouseInControl; }
    virtual bool UsingXPThemes() const;
    // Keyboard cues start hidden and show once the keyboard is used in the window.
    bool FocusCuesShown() const;
    bool AcceleratorsShown() const;

    // Enter and Escape offered to the control by its form; true when taken.
    bool DialogKey(Word Key, TShiftState Shift) override;

    void Click() override = 0;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    bool DialogChar(char Key) override;
    void EnabledChanged() override;
    void TextChanged() override;

protected:
    virtual TRect GetContentRect() const { return GetClientRect(); }
    virtual void DrawCaption(TCanvas* Canvas, TRect Rect, unsigned Flags);
    virtual void RefreshDisplay() {}
    // Paints the parent's image behind a transparent button.
    virtual void PaintParentImage(TCanvas* Canvas);
    bool CanTakeFocus() const { return CanFocus(); }
    template <class T>
    void Store(T& field, T v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }

    bool FTracking = false;
    bool FHotTrack = false;
    bool FMouseInControl = false;
    bool FPressed = false;
    bool FTransparent = false;
    bool FThemeAware = true;
    bool FKeyPressed = false;

private:
    TAlignmentVertical FAlignmentVertical = avCenter;
    TColor FHotTrackColor = 0x00149BF0;
    TUiHotTrackColorType FHotTrackColorType = htctActual;
    TColor FHighlightColor = clHighlight;
    bool FLightTextStyle = false;
    TTextStyle FTextStyle = tsNormal;
    TColor FTextHighlightColor = clBtnHighlight;
    TColor FTextShadowColor = clBtnShadow;
    int FTextShadowDepth = 2;
};

class TUiButton : public TUiCustomButton {
public:
    explicit TUiButton(TComponent* AOwner);
    ~TUiButton() override;

    TAlignment GetAlignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment v) { Store(FAlignment, v); }
    bool GetDefault() const { return FDefault; }
    virtual void SetDefault(bool v);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    bool GetAllowAllUp() const { return FAllowAllUp; }
    virtual void SetAllowAllUp(bool v);
    bool GetDown() const { return FDown; }
    virtual void SetDown(bool v);
    int GetGroupIndex() const { return FGroupIndex; }
    virtual void SetGroupIndex(int v);
    bool GetShowDownPattern() const { return FShowDownPattern; }
    virtual void SetShowDownPattern(bool v) { Store(FShowDownPattern, v); }
    bool GetShowFocusRect() const { return FShowFocusRect; }
    virtual void SetShowFocusRect(bool v) { Store(FShowFocusRect, v); }
    bool GetDropDownOnEnter() const { return FDropDownOnEnter; }
    void SetDropDownOnEnter(bool v) { FDropDownOnEnter = v; }
    TColor GetFrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v) { Store(FFrameColor, v); }
    void SetHotTrack(bool v) override;

    // State: 0 up, 3 down within a group.
    int GetState() const { return FState; }
    // The button acts as its form's default button now: it has the focus, or it is the
    // default button and no other push button has the focus.
    bool IsActive() const;
    bool IsClicking() const { return FClicking; }

    void Click() override;
    bool DialogKey(Word Key, TShiftState Shift) override;
    void DefineProperties(TUiFiler& filer);
    TAccessibleInfo GetAccessibleInfo() const override;

    // The group notification: the sender went down (or changed its group settings).
    void GroupChanged(TUiButton* sender);

protected:
    void Paint() override;
    void RefreshDisplay() override { Invalidate(); }
    virtual TRect GetCaptionRect() const;
    virtual void PrepareCaption(TCanvas* Canvas);
    void PaintHotTrack(TCanvas* c, TRect r, bool downLook, bool defaulted);
    void PaintClassic(TCanvas* c, TRect r, bool downLook, bool defaulted);
    void PaintDownPattern(TCanvas* c, const TRect& r);
    void BroadcastGroup();
    bool DownLook() const { return FState == 2 || FState == 3 || FPressed; }

private:
    TAlignment FAlignment = taCenter;
    bool FClicking = false;
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FAllowAllUp = false;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FShowDownPattern = true;
    bool FShowFocusRect = true;
    bool FDropDownOnEnter = true;
    bool FEnterClicking = false;
    TColor FFrameColor = cl3DDkShadow;
    int FState = 0;
};

// Offers Enter or Escape to the push buttons under root, in creation order; true when one
// took it (Enter goes to the active button, Escape to the first cancel button).
bool UiDispatchDialogKey(TWinControl* root, Word key, TShiftState shift);
