#pragma once
// Radio groups and check groups: group boxes holding one item control per line of Items,
// created, laid out and styled by the group; the user clicks the items themselves.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "widgets/UiIntLst.h"
#include "widgets/UiPanel.h"
#include "widgets/UiRadChk.h"

using TUiIndexChangingEvent = std::function<void(TObject* Sender, int NewIndex, bool& AllowChange)>;
using TStateChangeEvent = std::function<void(TObject* Sender, int Index, TCheckBoxState NewState)>;

class TUiItemGroup;

// A radio item: arrow keys move between the group's items.
class TUiGroupButton : public TUiRadioButton {
public:
    TUiGroupButton(TComponent* AOwner, TUiItemGroup* group) : TUiRadioButton(AOwner), FGroup(group) {}
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool DialogChar(char Key) override;
    void MouseLeave() override;

private:
    TUiItemGroup* FGroup;
};

class TUiGroupCheck : public TUiCheckBox {
public:
    TUiGroupCheck(TComponent* AOwner, TUiItemGroup* group) : TUiCheckBox(AOwner), FGroup(group) {}
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool DialogChar(char Key) override;

private:
    TUiItemGroup* FGroup;
};

// What the radio group and the check group share.
class TUiItemGroup : public TUiCustomGroupBox {
public:
    explicit TUiItemGroup(TComponent* AOwner);
    ~TUiItemGroup() override;

    TStrings* GetItems() { return FItems.get(); }
    void SetItems(const TStrings& items) { FItems->Assign(items); }
    int ItemCount() const { return static_cast<int>(FButtons.size()); }
    TUiCustomGlyphButton* GetButton(int index) const;
    int IndexOfButton(const TControl* button) const;

    TFont* GetItemFont() { return &FItemFont; }
    void SetItemFont(const TFont& f) { FItemFont.Assign(f); }
    bool IsItemFontStored() const { return FItemFontChanged; }
    int GetColumns() const { return FColumns; }
    virtual void SetColumns(int v);
    bool GetSpaceEvenly() const { return FSpaceEvenly; }
    void SetSpaceEvenly(bool v) { StoreArrange(FSpaceEvenly, v); }
    int GetStartXPos() const { return FStartXPos; }
    int GetStartYPos() const { return FStartYPos; }
    void SetStartPos(int index, int v);  // 1 x, 2 y
    void SetStartXPos(int v) { SetStartPos(1, v); }
    void SetStartYPos(int v) { SetStartPos(2, v); }
    int GetVerticalSpacing() const { return FVerticalSpacing; }
    void SetVerticalSpacing(int v) { StoreArrange(FVerticalSpacing, v); }
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v);
    bool IsItemHeightStored() const { return FItemHeightSet; }

    TBitmap* GetCustomGlyphs() { return FCustomGlyphs.get(); }
    void SetCustomGlyphs(const TBitmap* v);
    TImageList* GetCustomGlyphImages() const { return FCustomGlyphImages; }
    void SetCustomGlyphImages(TImageList* v);
    bool GetUseCustomGlyphs() const { return FUseCustomGlyphs; }
    void SetUseCustomGlyphs(bool v) { StoreArrange(FUseCustomGlyphs, v); }
    TColor GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor v) { StoreArrange(FTransparentColor, v); }
    TColor GetWinMaskColor() const { return FWinMaskColor; }
    void SetWinMaskColor(TColor v) { StoreArrange(FWinMaskColor, v); }
    bool GetLightTextStyle() const { return FLightTextStyle; }
    void SetLightTextStyle(bool v) { StoreArrange(FLightTextStyle, v); }
    TTextStyle GetTextStyle() const { return FTextStyle; }
    void SetTextStyle(TTextStyle v) { StoreArrange(FTextStyle, v); }
    TColor GetTextHighlightColor() const { return FTextHighlightColor; }
    void SetTextHighlightColor(TColor v) { StoreArrange(FTextHighlightColor, v); }
    TColor GetTextShadowColor() const { return FTextShadowColor; }
    void SetTextShadowColor(TColor v) { StoreArrange(FTextShadowColor, v); }
    int GetTextShadowDepth() const { return FTextShadowDepth; }
    void SetTextShadowDepth(int v) { StoreArrange(FTextShadowDepth, v); }
    bool GetTabOnEnter() const { return FTabOnEnter; }
    void SetTabOnEnter(bool v) { FTabOnEnter = v; }
    TColor GetItemFrameColor() const { return FItemFrameColor; }
    void SetItemFrameColor(TColor v) { StoreArrange(FItemFrameColor, v); }
    bool GetItemHotTrack() const { return FItemHotTrack; }
    void SetItemHotTrack(bool v) { StoreArrange(FItemHotTrack, v); }
    TColor GetItemHotTrackColor() const { return FItemHotTrackColor; }
    void SetItemHotTrackColor(TColor v) { StoreArrange(FItemHotTrackColor, v); }
    TUiHotTrackColorType GetItemHotTrackColorType() const { return FItemHotTrackColorType; }
    void SetItemHotTrackColorType(TUiHotTrackColorType v) { StoreArrange(FItemHotTrackColorType, v); }
    TColor GetItemHighlightColor() const { return FItemHighlightColor; }
    void SetItemHighlightColor(TColor v) { StoreArrange(FItemHighlightColor, v); }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { StoreArrange(FReadOnly, v); }
    TColor GetReadOnlyColor() const { return FReadOnlyColor; }
    void SetReadOnlyColor(TColor v) { StoreArrange(FReadOnlyColor, v); }
    bool GetReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    void SetReadOnlyColorOnFocus(bool v) { StoreArrange(FReadOnlyColorOnFocus, v); }
    void SetTransparent(bool v) override;
    void SetGroupStyle(TUiGroupBoxStyle v) override;
    void SetBannerHeight(int v) override;

    // Lays out and styles the items.
    virtual void ArrangeButtons();
    // Scales the group for a new pixel density (numerator m, denominator d).
    void ChangeScale(int m, int d);
    void DefineProperties(TUiFiler& filer);
    void FrameControllerChanged() override;

    // Item keys: moves between items (radio), Tab on Enter, read-only rules. True when taken.
    bool ItemKeyDown(TUiCustomGlyphButton* item, Word& key, TShiftState shift);
    bool ItemAcceleratorAllowed() const { return !FReadOnly; }
    void ItemKeyPress(char& key);

    void EnabledChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    void Resize() override;

protected:
    virtual TUiCustomGlyphButton* CreateItem() = 0;
    virtual void ItemClicked(TUiCustomGlyphButton* item) = 0;
    virtual void UpdateButtons();
    virtual void ItemsChanged();
    void SetButtonCount(int count);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ItemFontChanged();
    template <class T>
    void StoreArrange(T& field, T v) {
        if (field == v) return;
        field = v;
        ArrangeButtons();
    }

    std::vector<TUiCustomGlyphButton*> FButtons;
    std::unique_ptr<TStringList> FItems;
    bool FUpdating = false;
    bool FReadOnly = false;

private:
    TFont FItemFont;
    bool FItemFontChanged = false;
    bool FCopyingItemFont = false;
    int FColumns = 1;
    bool FSpaceEvenly = false;
    int FStartXPos = 8, FStartYPos = 2;
    int FVerticalSpacing = 3;
    int FItemHeight = 17;
    bool FItemHeightSet = false;
    std::unique_ptr<TBitmap> FCustomGlyphs;
    TImageList* FCustomGlyphImages = nullptr;
    bool FUseCustomGlyphs = false;
    TColor FTransparentColor = clOlive, FWinMaskColor = clLime;
    bool FLightTextStyle = false;
    TTextStyle FTextStyle = tsNormal;
    TColor FTextHighlightColor = clBtnHighlight, FTextShadowColor = clBtnShadow;
    int FTextShadowDepth = 2;
    bool FTabOnEnter = false;
    TColor FItemFrameColor = clBtnShadow;
    bool FItemHotTrack = false;
    TColor FItemHotTrackColor = 0x149BF0;
    TUiHotTrackColorType FItemHotTrackColorType = htctActual;
    TColor FItemHighlightColor = clHighlight;
    TColor FReadOnlyColor = clInfoBk;
    bool FReadOnlyColorOnFocus = false;
};

class TUiCustomRadioGroup : public TUiItemGroup {
public:
    explicit TUiCustomRadioGroup(TComponent* AOwner) : TUiItemGroup(AOwner) {}

    int GetItemIndex() const { return FItemIndex; }
    virtual void SetItemIndex(int index);

    TUiIndexChangingEvent OnChanging;

protected:
    TUiCustomGlyphButton* CreateItem() override;
    void ItemClicked(TUiCustomGlyphButton* item) override;
    void UpdateButtons() override;
    void ItemsChanged() override;

private:
    int FItemIndex = -1;
    bool FSettingIndex = false;
    int FIndexBefore = -1;
};

class TUiCustomCheckGroup : public TUiItemGroup {
public:
    explicit TUiCustomCheckGroup(TComponent* AOwner);

    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { StoreArrange(FAllowGrayed, v); }
    virtual bool GetItemChecked(int index) const;
    virtual void SetItemChecked(int index, bool checked);
    virtual bool GetItemEnabled(int index) const;
    virtual void SetItemEnabled(int index, bool enabled);
    virtual TCheckBoxState GetItemState(int index) const;
    virtual void SetItemState(int index, TCheckBoxState state);
    void ArrangeButtons() override;
    void DefineProperties(TUiFiler& filer);
    TUiIntegerList* GetCheckStates() { return &FCheckStates; }

    TStateChangeEvent OnChange;

protected:
    TUiCustomGlyphButton* CreateItem() override;
    void ItemClicked(TUiCustomGlyphButton* item) override;
    void Loaded() override;

private:
    TUiCheckBox* Check(int index) const;
    bool FAllowGrayed = false;
    TUiIntegerList FCheckStates;
};

class TUiRadioGroup : public TUiCustomRadioGroup {
public:
    explicit TUiRadioGroup(TComponent* AOwner) : TUiCustomRadioGroup(AOwner) {}
};

class TUiCheckGroup : public TUiCustomCheckGroup {
public:
    explicit TUiCheckGroup(TComponent* AOwner) : TUiCustomCheckGroup(AOwner) {}
};
