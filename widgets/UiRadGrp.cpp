#include "widgets/UiRadGrp.h"

#include <algorithm>
#include <cctype>

#include "widgets/UiGroupLayout.h"

// ---- Items ------------------------------------------------------------------------------------

void TUiGroupButton::KeyDown(Word& Key, TShiftState Shift) {
    if (FGroup && FGroup->ItemKeyDown(this, Key, Shift)) return;
    TUiRadioButton::KeyDown(Key, Shift);
}

void TUiGroupButton::KeyPress(char& Key) {
    TUiRadioButton::KeyPress(Key);
    if (FGroup && Key) FGroup->ItemKeyPress(Key);
}

bool TUiGroupButton::DialogChar(char Key) {
    if (FGroup && !FGroup->ItemAcceleratorAllowed()) return false;
    return TUiRadioButton::DialogChar(Key);
}

void TUiGroupButton::MouseLeave() {
    // A read-only group keeps the hot look of the item left.
    if (FGroup && !FGroup->ItemAcceleratorAllowed()) {
        TControl::MouseLeave();
        return;
    }
    TUiRadioButton::MouseLeave();
}

void TUiGroupCheck::KeyDown(Word& Key, TShiftState Shift) {
    if (FGroup && FGroup->ItemKeyDown(this, Key, Shift)) return;
    TUiCheckBox::KeyDown(Key, Shift);
}

void TUiGroupCheck::KeyPress(char& Key) {
    TUiCheckBox::KeyPress(Key);
    if (FGroup && Key) FGroup->ItemKeyPress(Key);
}

bool TUiGroupCheck::DialogChar(char Key) {
    if (FGroup && !FGroup->ItemAcceleratorAllowed()) return false;
    return TUiCheckBox::DialogChar(Key);
}

// ---- TUiItemGroup -----------------------------------------------------------------------------

TUiItemGroup::TUiItemGroup(TComponent* AOwner)
    : TUiCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()),
      FCustomGlyphs(std::make_unique<TBitmap>()) {
    FCustomGlyphs->SetSize(0, 0);
    FItemFont.SetName("Tahoma");
    FItemFont.SetSize(8);
    FItemFont.OnChange = [this](TObject*) { ItemFontChanged(); };
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    FCustomGlyphs->OnChange = [this](TObject*) {
        SetUseCustomGlyphs(!FCustomGlyphs->GetEmpty());
        ArrangeButtons();
    };
}

TUiItemGroup::~TUiItemGroup() {
    FItems->OnChange = nullptr;
    FItemFont.OnChange = nullptr;
}

TUiCustomGlyphButton* TUiItemGroup::GetButton(int index) const {
    if (index < 0 || index >= ItemCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FButtons[size_t(index)];
}

int TUiItemGroup::IndexOfButton(const TControl* button) const {
    auto it = std::find(FButtons.begin(), FButtons.end(), button);
    return it == FButtons.end() ? -1 : int(it - FButtons.begin());
}

void TUiItemGroup::SetColumns(int v) {
    v = std::clamp(v, 1, 16);
    if (v == FColumns) return;
    FColumns = v;
    ArrangeButtons();
    Invalidate();
}

void TUiItemGroup::SetStartPos(int index, int v) {
    if (index == 1)
        StoreArrange(FStartXPos, v);
    else
        StoreArrange(FStartYPos, v);
}

void TUiItemGroup::SetItemHeight(int v) {
    FItemHeightSet = true;
    StoreArrange(FItemHeight, v);
}

void TUiItemGroup::SetCustomGlyphs(const TBitmap* v) {
    if (v)
        FCustomGlyphs->Assign(*v);
    else
        FCustomGlyphs->SetSize(0, 0);
    SetUseCustomGlyphs(!FCustomGlyphs->GetEmpty());
    ArrangeButtons();
}

void TUiItemGroup::SetCustomGlyphImages(TImageList* v) {
    if (v == FCustomGlyphImages) return;
    if (FCustomGlyphImages) RemoveFreeNotification(FCustomGlyphImages);
    FCustomGlyphImages = v;
    if (v) {
        FreeNotification(v);
        v->OnChange = [this](TObject*) {
            SetUseCustomGlyphs(FCustomGlyphImages && FCustomGlyphImages->GetCount() > 0);
            ArrangeButtons();
        };
    }
    SetUseCustomGlyphs(v && v->GetCount() > 0);
    ArrangeButtons();
}

void TUiItemGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TUiCustomGroupBox::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FCustomGlyphImages) FCustomGlyphImages = nullptr;
    // An item freed from outside leaves the list.
    FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), AComponent), FButtons.end());
}

void TUiItemGroup::SetTransparent(bool v) {
    TUiCustomGroupBox::SetTransparent(v);
    ArrangeButtons();
}

void TUiItemGroup::SetGroupStyle(TUiGroupBoxStyle v) {
    TUiCustomGroupBox::SetGroupStyle(v);
    ArrangeButtons();
    Invalidate();
}

void TUiItemGroup::SetBannerHeight(int v) {
    TUiCustomGroupBox::SetBannerHeight(v);
    ArrangeButtons();
    Invalidate();
}

void TUiItemGroup::ItemFontChanged() {
    FItemHeight = GetFontLineHeight(FItemFont);
    if (!FCopyingItemFont) FItemFontChanged = true;
    ArrangeButtons();
    Invalidate();
}

void TUiItemGroup::FontChanged() {
    TUiCustomGroupBox::FontChanged();
    // The item font follows the font until it is changed on its own.
    if (!FItemFontChanged) {
        FCopyingItemFont = true;
        FItemFont.Assign(*GetFont());
        FCopyingItemFont = false;
    }
    ArrangeButtons();
}

void TUiItemGroup::TextChanged() {
    TUiCustomGroupBox::TextChanged();
    ArrangeButtons();
}

void TUiItemGroup::Resize() {
    TUiCustomGroupBox::Resize();
    ArrangeButtons();
}

void TUiItemGroup::EnabledChanged() {
    TCustomControl::EnabledChanged();
    Invalidate();
    for (TUiCustomGlyphButton* b : FButtons) b->SetEnabled(GetEnabled());
}

void TUiItemGroup::ItemsChanged() {
    if (IsLoading()) return;
    UpdateButtons();
}

void TUiItemGroup::SetButtonCount(int count) {
    while (ItemCount() < count) {
        TUiCustomGlyphButton* b = CreateItem();
        FButtons.push_back(b);
        FreeNotification(b);
        b->SetAutoSize(false);  // the group places its items
        b->SetEnabled(GetEnabled());
        b->SetParentShowHint(false);
        b->SetParentFont(false);
        b->SetParent(this);
        b->OnClick = [this](TObject* sender) { ItemClicked(static_cast<TUiCustomGlyphButton*>(sender)); };
    }
    while (ItemCount() > count) {
        TUiCustomGlyphButton* b = FButtons.back();
        FButtons.pop_back();
        RemoveFreeNotification(b);
        delete b;
    }
}

void TUiItemGroup::UpdateButtons() {
    SetButtonCount(FItems->Count());
    for (int i = 0; i < ItemCount(); ++i) FButtons[size_t(i)]->SetCaption(FItems->Get(i));
    ArrangeButtons();
    Invalidate();
}

void TUiItemGroup::ArrangeButtons() {
    if (FButtons.empty() || IsLoading()) return;
    TGroupLayoutInput in;
    TBitmap probe(1, 1);
    probe.GetCanvas()->SetFont(FItemFont);
    for (TUiCustomGlyphButton* b : FButtons) {
        in.Visible.push_back(b->GetVisible());
        in.CaptionWidths.push_back(probe.GetCanvas()->TextWidth(b->GetCaption()));
    }
    TRect client(0, 0, GetWidth(), GetHeight());
    AdjustClientRect(client);
    in.Columns = FColumns;
    in.SpaceEvenly = FSpaceEvenly;
    in.GroupWidth = GetWidth();
    in.ClientWidth = GetClientWidth();
    in.ClientTop = client.Top;
    in.StartXPos = FStartXPos;
    in.StartYPos = FStartYPos;
    in.BorderWidth = GetBorderWidth();
    in.ItemHeight = FItemHeight;
    in.VerticalSpacing = FVerticalSpacing;
    in.GlyphWidth = 13;
    in.RightToLeft = UseRightToLeftAlignment();
    std::vector<TRect> rects = ArrangeGroupItems(in);
    for (size_t i = 0; i < FButtons.size(); ++i) {
        TUiCustomGlyphButton* b = FButtons[i];
        b->SetFont(FItemFont);
        b->SetBiDiMode(GetBiDiMode());
        b->SetTextHighlightColor(FTextHighlightColor);
        b->SetTextShadowColor(FTextShadowColor);
        b->SetTextShadowDepth(FTextShadowDepth);
        b->SetLightTextStyle(FLightTextStyle);
        b->SetTextStyle(FTextStyle);
        b->SetTransparent(GetTransparent());
        b->SetWinMaskColor(FWinMaskColor);
        b->SetTransparentColor(FTransparentColor);
        if (!FCustomGlyphs->GetEmpty()) b->SetCustomGlyphs(FCustomGlyphs.get());
        b->SetCustomGlyphImages(FCustomGlyphImages);
        b->SetUseCustomGlyphs(FUseCustomGlyphs);
        b->SetFrameColor(FItemFrameColor);
        b->SetHotTrack(FItemHotTrack);
        b->SetHighlightColor(FItemHighlightColor);
        b->SetHotTrackColor(FItemHotTrackColor);
        b->SetHotTrackColorType(FItemHotTrackColorType);
        b->SetReadOnly(FReadOnly);
        b->SetReadOnlyColor(FReadOnlyColor);
        b->SetReadOnlyColorOnFocus(FReadOnlyColorOnFocus);
        b->SetTabOnEnter(FTabOnEnter);
        if (b->GetVisible()) b->SetBoundsRect(rects[i]);
    }
}

void TUiItemGroup::ChangeScale(int m, int d) {
    if (d == 0) return;
    auto scale = [m, d](int v) { return int((long long)v * m / d); };
    if (FItemFontChanged) FItemFont.SetHeight(scale(FItemFont.GetHeight()));
    FVerticalSpacing = scale(FVerticalSpacing);
    FItemHeight = scale(FItemHeight);
    FStartYPos = scale(FStartYPos);
    FStartXPos = scale(FStartXPos);
    ArrangeButtons();
}

void TUiItemGroup::DefineProperties(TUiFiler& filer) {
    filer.DefineBoolean("Flat", [this](bool v) { SetItemHotTrack(v); });
}

void TUiItemGroup::FrameControllerChanged() {
    TUiCustomGroupBox::FrameControllerChanged();
    TUiFrameController* c = GetFrameController();
    if (!c || !c->GetFrameVisible()) return;
    FItemFrameColor = c->GetFrameColor();
    for (TUiCustomGlyphButton* b : FButtons) b->SetDisabledColor(c->GetDisabledColor());
    ArrangeButtons();
}

bool TUiItemGroup::ItemKeyDown(TUiCustomGlyphButton* item, Word& key, TShiftState shift) {
    if (key == VK_RETURN && (FTabOnEnter || item->GetTabOnEnter())) {
        key = 0;
        if (TCustomForm* form = GetParentForm()) form->SelectNext(item, true);
        return true;
    }
    bool radio = dynamic_cast<TUiRadioButton*>(item) != nullptr;
    bool arrow = key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
    if (FReadOnly && ((radio && arrow) || key == VK_BACK || key == VK_SPACE)) {
        key = 0;
        return true;
    }
    if (radio && arrow) {
        // The previous or next visible item, wrapping around; focusing it selects it.
        bool back = key == VK_LEFT || key == VK_UP;
        key = 0;
        int n = ItemCount(), at = IndexOfButton(item);
        int visible = int(std::count_if(FButtons.begin(), FButtons.end(), [](auto* b) { return b->GetVisible(); }));
        if (visible < 2 || at < 0) return true;
        int i = at;
        do {
            i = (i + (back ? n - 1 : 1)) % n;
        } while (!FButtons[size_t(i)]->GetVisible());
        if (FButtons[size_t(i)]->CanFocus()) FButtons[size_t(i)]->SetFocus();
        return true;
    }
    // Every other key also reaches the group's own handlers.
    Word k = key;
    if (OnKeyDown) OnKeyDown(this, k, shift);
    key = k;
    return key == 0;
}

void TUiItemGroup::ItemKeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TUiItemGroup::Loaded() {
    TUiCustomGroupBox::Loaded();
    UpdateButtons();
}

// ---- TUiCustomRadioGroup ----------------------------------------------------------------------

TUiCustomGlyphButton* TUiCustomRadioGroup::CreateItem() { return new TUiGroupButton(this, this); }

void TUiCustomRadioGroup::SetItemIndex(int index) {
    if (IsLoading()) {
        FItemIndex = index;
        return;
    }
    index = std::clamp(index, -1, ItemCount() - 1);
    if (index == FItemIndex) return;
    FIndexBefore = FItemIndex;
    FSettingIndex = true;
    if (FItemIndex >= 0) FButtons[size_t(FItemIndex)]->SetChecked(false);
    FItemIndex = index;
    // Checking the item raises its click, which runs the same steps as a user's click.
    if (index >= 0) FButtons[size_t(index)]->SetChecked(true);
    FSettingIndex = false;
}

void TUiCustomRadioGroup::ItemClicked(TUiCustomGlyphButton* item) {
    if (FUpdating) return;
    int index = IndexOfButton(item);
    if (index < 0) return;
    int before = FSettingIndex ? FIndexBefore : FItemIndex;
    bool allow = true;
    if (OnChanging) OnChanging(this, index, allow);
    if (allow) {
        FItemIndex = index;
        Invalidate();
        TCustomControl::Click();
        return;
    }
    // Refused: the previous item gets its check back (or none is checked).
    FUpdating = true;
    FItemIndex = before;
    if (before < 0) {
        item->SetChecked(false);
    } else {
        TUiCustomGlyphButton* previous = FButtons[size_t(before)];
        previous->SetChecked(true);
        if (item->Focused() && previous->CanFocus()) previous->SetFocus();
    }
    FUpdating = false;
}

void TUiCustomRadioGroup::ItemsChanged() {
    if (IsLoading()) return;
    if (FItems->Count() <= FItemIndex) FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TUiCustomRadioGroup::UpdateButtons() {
    SetButtonCount(FItems->Count());
    for (int i = 0; i < ItemCount(); ++i) FButtons[size_t(i)]->SetCaption(FItems->Get(i));
    if (FItemIndex >= ItemCount()) FItemIndex = ItemCount() - 1;
    if (FItemIndex >= 0) {
        FUpdating = true;
        FButtons[size_t(FItemIndex)]->SetChecked(true);
        FUpdating = false;
    }
    ArrangeButtons();
    Invalidate();
}

// ---- TUiCustomCheckGroup ----------------------------------------------------------------------

TUiCustomCheckGroup::TUiCustomCheckGroup(TComponent* AOwner) : TUiItemGroup(AOwner) {
    FCheckStates.SetDuplicates(TDuplicates::dupAccept);
}

TUiCustomGlyphButton* TUiCustomCheckGroup::CreateItem() { return new TUiGroupCheck(this, this); }

TUiCheckBox* TUiCustomCheckGroup::Check(int index) const {
    return static_cast<TUiCheckBox*>(GetButton(index));
}

bool TUiCustomCheckGroup::GetItemChecked(int index) const { return Check(index)->GetChecked(); }
void TUiCustomCheckGroup::SetItemChecked(int index, bool checked) { Check(index)->SetChecked(checked); }
bool TUiCustomCheckGroup::GetItemEnabled(int index) const { return Check(index)->GetEnabled(); }
void TUiCustomCheckGroup::SetItemEnabled(int index, bool enabled) { Check(index)->SetEnabled(enabled); }
TCheckBoxState TUiCustomCheckGroup::GetItemState(int index) const { return Check(index)->GetState(); }
void TUiCustomCheckGroup::SetItemState(int index, TCheckBoxState state) { Check(index)->SetState(state); }

void TUiCustomCheckGroup::ArrangeButtons() {
    TUiItemGroup::ArrangeButtons();
    if (IsLoading()) return;
    for (TUiCustomGlyphButton* b : FButtons) static_cast<TUiCheckBox*>(b)->SetAllowGrayed(FAllowGrayed);
}

void TUiCustomCheckGroup::ItemClicked(TUiCustomGlyphButton* item) {
    int index = IndexOfButton(item);
    if (index >= 0 && OnChange) OnChange(this, index, static_cast<TUiCheckBox*>(item)->GetState());
}

void TUiCustomCheckGroup::DefineProperties(TUiFiler& filer) {
    TUiItemGroup::DefineProperties(filer);
    filer.DefineIntegerList(
        "CheckStates",
        [this](const std::vector<int>& values) {
            FCheckStates.Clear();
            for (int v : values) FCheckStates.Add(v);
        },
        [this] {
            std::vector<int> states;
            for (int i = 0; i < ItemCount(); ++i) states.push_back(int(GetItemState(i)));
            return states;
        },
        ItemCount() > 0);
}

void TUiCustomCheckGroup::Loaded() {
    TUiItemGroup::Loaded();
    for (int i = 0; i < FCheckStates.Count() && i < ItemCount(); ++i) {
        int s = FCheckStates.Get(i);
        if (s < 0 || s > 2) continue;
        Check(i)->SetClicksDisabled(true);
        Check(i)->SetState(TCheckBoxState(s));
        Check(i)->SetClicksDisabled(false);
    }
}
