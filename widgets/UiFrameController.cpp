#include "widgets/UiFrameController.h"

#include "platform/ui/Controls.h"
#include "widgets/UiFrames.h"

#include <algorithm>
#include <utility>

TUiFrameController::TUiFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TUiFrameController::~TUiFrameController() = default;

void TUiFrameController::AddControl(TComponent* control) {
    if (!control) return;
    if (std::find(FControls.begin(), FControls.end(), control) == FControls.end())
        FControls.push_back(control);
    UpdateControlFrame(control, fcpAll);
}

void TUiFrameController::RemoveControl(TComponent* control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

void TUiFrameController::EndUpdate() {
    --FUpdateCount;
    if (FUpdateCount < 1) {
        FUpdateCount = 0;
        UpdateControls(fcpAll);
    }
}

void TUiFrameController::UpdateControls(TUiFrameControllerProperty property) {
    if (FUpdateCount >= 1) return;
    // A control may leave the list while it is being updated.
    std::vector<TComponent*> controls = FControls;
    for (TComponent* c : controls)
        if (std::find(FControls.begin(), FControls.end(), c) != FControls.end())
            UpdateControlFrame(c, property);
}

void TUiFrameController::UpdateControlFrame(TComponent* control, TUiFrameControllerProperty property) {
    auto* framed = dynamic_cast<IUiFrameControlled*>(control);
    if (!framed) return;
    if (framed->HandlesFrameControllerChange()) {
        framed->FrameControllerChanged();
        return;
    }
    TUiFrameControllerNotifications n = framed->GetFrameControllerNotifications();
    auto write = [&](TUiFrameControllerProperty p) {
        if (n.Has(p)) framed->SetFrameProperty(p, *this);
    };
    if (property != fcpAll) {
        write(property);
        return;
    }
    write(fcpParentColor);
    if (!FParentColor) write(fcpColor);
    for (TUiFrameControllerProperty p :
         {fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpFocusColor,
          fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack,
          fcpFrameHotStyle, fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference})
        write(p);
}

void TUiFrameController::SetColor(TColor v) {
    if (v == FColor) return;
    if (FFocusColor == FColor) FFocusColor = v;
    FColor = v;
    FParentColor = false;
    UpdateControls(fcpColor);
}

void TUiFrameController::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    UpdateControls(fcpParentColor);
    if (!v) UpdateControls(fcpColor);
}

#define UI_CONTROLLER_SETTER(Name, Type, Field, Prop) \
    void TUiFrameController::Set##Name(Type v) {      \
        if (v == Field) return;                       \
        Field = v;                                    \
        UpdateControls(Prop);                         \
    }
UI_CONTROLLER_SETTER(FlatButtonColor, TColor, FFlatButtonColor, fcpFlatButtonColor)
UI_CONTROLLER_SETTER(FlatButtons, bool, FFlatButtons, fcpFlatButtons)
UI_CONTROLLER_SETTER(DisabledColor, TColor, FDisabledColor, fcpDisabledColor)
UI_CONTROLLER_SETTER(ReadOnlyColor, TColor, FReadOnlyColor, fcpReadOnlyColor)
UI_CONTROLLER_SETTER(ReadOnlyColorOnFocus, bool, FReadOnlyColorOnFocus, fcpReadOnlyColorOnFocus)
UI_CONTROLLER_SETTER(FocusColor, TColor, FFocusColor, fcpFocusColor)
UI_CONTROLLER_SETTER(FrameColor, TColor, FFrameColor, fcpFrameColor)
UI_CONTROLLER_SETTER(FrameHotColor, TColor, FFrameHotColor, fcpFrameHotColor)
UI_CONTROLLER_SETTER(FrameHotStyle, TFrameStyle, FFrameHotStyle, fcpFrameHotStyle)
UI_CONTROLLER_SETTER(FrameSides, TSides, FFrameSides, fcpFrameSides)
UI_CONTROLLER_SETTER(FrameStyle, TFrameStyle, FFrameStyle, fcpFrameStyle)
UI_CONTROLLER_SETTER(FrameVisible, bool, FFrameVisible, fcpFrameVisible)
UI_CONTROLLER_SETTER(FramingPreference, TFramingPreference, FFramingPreference, fcpFramingPreference)
#undef UI_CONTROLLER_SETTER

void TUiFrameController::SetFrameHotTrack(bool v) {
    if (v == FFrameHotTrack) return;
    FFrameHotTrack = v;
    if (v) {
        FFrameVisible = true;
        if (!IsLoading()) FFrameSides = AllSides;
    }
    UpdateControls(fcpFrameHotTrack);
}

void TUiFrameController::SetRegIniFile(TUiRegIniFile* v) {
    if (v == FRegIniFile) return;
    if (FRegIniFile) RemoveFreeNotification(FRegIniFile);
    FRegIniFile = v;
    if (v) FreeNotification(v);
}

void TUiFrameController::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FRegIniFile) FRegIniFile = nullptr;
    RemoveControl(AComponent);
}

void TUiFrameController::Loaded() {
    TComponent::Loaded();
    UpdateControls(fcpAll);
}

void TUiFrameController::Assign(const TObject* source) {
    auto* other = dynamic_cast<const TUiFrameController*>(source);
    if (!other) return;
    BeginUpdate();
    SetColor(other->FColor);
    SetDisabledColor(other->FDisabledColor);
    SetReadOnlyColor(other->FReadOnlyColor);
    SetReadOnlyColorOnFocus(other->FReadOnlyColorOnFocus);
    SetFlatButtonColor(other->FFlatButtonColor);
    SetFlatButtons(other->FFlatButtons);
    SetFocusColor(other->FFocusColor);
    SetFrameColor(other->FFrameColor);
    SetFrameHotColor(other->FFrameHotColor);
    SetFrameHotTrack(other->FFrameHotTrack);
    SetFrameHotStyle(other->FFrameHotStyle);
    SetFrameSides(other->FFrameSides);
    SetFrameStyle(other->FFrameStyle);
    SetFrameVisible(other->FFrameVisible);
    SetFramingPreference(other->FFramingPreference);
    SetParentColor(other->FParentColor);
    EndUpdate();
}

void TUiFrameController::DefineProperties(TUiFiler& filer) {
    filer.DefineBoolean("FrameFlat", [this](bool v) {
        SetFrameHotTrack(v);
        if (v) {
            SetFrameStyle(fsStatus);
            SetFrameHotStyle(fsLowered);
        }
    });
    filer.DefineIdent("FrameFocusStyle", [this](const std::string& name) {
        TFrameStyle s;
        if (FrameStyleFromName(name.c_str(), s)) SetFrameHotStyle(s);
    });
    filer.DefineIdent("FrameFlatStyle", [](const std::string&) {});
}

void ChangeFrameController(TComponent* control, TUiFrameController*& field,
                           TUiFrameController* value) {
    if (value == field) return;
    if (field) {
        field->RemoveControl(control);
        control->RemoveFreeNotification(field);
    }
    field = value;
    if (value) {
        value->FreeNotification(control);
        value->AddControl(control);
    }
}

#define UI_REGINI_SETTER(Name, Type, Field) \
    void TUiRegIniFile::Set##Name(Type v) { \
        if (v == Field) return;             \
        Field = v;                          \
        Changed = true;                     \
    }
UI_REGINI_SETTER(Path, const std::string&, FPath)
UI_REGINI_SETTER(PathType, TUiPathType, FPathType)
UI_REGINI_SETTER(RegKey, TUiRegKey, FRegKey)
UI_REGINI_SETTER(RegAccess, TUiRegAccess, FRegAccess)
UI_REGINI_SETTER(SpecialFolder, TUiSpecialFolder, FSpecialFolder)
UI_REGINI_SETTER(FileEncoding, TUiIniFileEncoding, FFileEncoding)
#undef UI_REGINI_SETTER

bool RunningAtLeastVersion(int index, int platformId, int major, int minor) {
    bool nt = platformId == VER_PLATFORM_WIN32_NT;
    bool any = nt || platformId == VER_PLATFORM_WIN32_WINDOWS;
    auto atLeast = [&](int ma, int mi) { return std::pair(major, minor) >= std::pair(ma, mi); };
    switch (index) {
    case 0: return any && atLeast(4, 0);
    case 1: return nt && atLeast(4, 0);
    case 2: return any && atLeast(4, 10);
    case 3: return any && atLeast(4, 90);
    case 4: return nt && atLeast(5, 0);
    case 5: return nt && atLeast(5, 1);
    case 6: return nt && atLeast(5, 2);
    case 7: return nt && atLeast(6, 0);
    case 8: return nt && atLeast(6, 1);
    default: return false;
    }
}

bool RunningAtLeast(int index) {
    // The layer reports Windows 10 (10.0).
    return RunningAtLeastVersion(index, VER_PLATFORM_WIN32_NT, 10, 0);
}

void ApplyControllerFrame(TControl& Control, TUiBorderSettings& Border, const TUiFrameController& Controller,
                          const TUiFrameControllerNotifications& Notifications) {
    const TUiFrameControllerNotifications& n = Notifications;
    if (n.Has(fcpFrameStyle)) Border.BorderOuter = Controller.GetFrameStyle();
    if (n.Has(fcpFrameSides)) Border.BorderSides = Controller.GetFrameSides();
    if (n.Has(fcpFrameColor)) {
        Border.FlatColor = Controller.GetFrameColor();
        Border.FlatColorAdjustment = 0;
    }
    if (n.Has(fcpColor)) {
        Control.SetColor(Controller.GetColor());
        Border.BorderHighlight = LighterColor(Controller.GetColor(), 100);
        Border.BorderShadow = DarkerColor(Controller.GetColor(), 50);
    }
    if (n.Has(fcpParentColor)) Control.SetParentColor(Controller.GetParentColor());
}
