#pragma once
// A shared set of frame and colour settings that framed controls take over, property by
// property, as each setting changes; and the holder of where settings are to be stored.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "widgets/UiFrameTypes.h"
#include "widgets/UiStream.h"

enum TUiFrameControllerProperty : std::uint8_t {
    fcpColor, fcpFocusColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus,
    fcpParentColor, fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor,
    fcpFrameHotTrack, fcpFrameHotStyle, fcpFrameSides, fcpFrameStyle, fcpFrameVisible,
    fcpFramingPreference, fcpAll
};

// A set over the first sixteen properties, in 16 bits.
struct TUiFrameControllerNotifications {
    std::uint16_t Bits = 0xFFFF;
    constexpr bool Has(TUiFrameControllerProperty p) const { return p < 16 && ((Bits >> p) & 1); }
    constexpr void Include(TUiFrameControllerProperty p) { Bits |= std::uint16_t(1u << p); }
    constexpr void Exclude(TUiFrameControllerProperty p) { Bits &= std::uint16_t(~(1u << p)); }
};

class TUiFrameController;

// What a control offers the controller. A control that takes the settings itself (borders,
// glyph buttons, progress bars, panels) overrides FrameControllerChanged; the others write
// each setting they have through SetFrameProperty and report false for those they lack.
class IUiFrameControlled {
public:
    virtual ~IUiFrameControlled() = default;
    virtual TUiFrameControllerNotifications GetFrameControllerNotifications() const {
        return {};
    }
    virtual bool HandlesFrameControllerChange() const { return false; }
    virtual void FrameControllerChanged() {}
    virtual bool SetFrameProperty(TUiFrameControllerProperty, const TUiFrameController&) {
        return false;
    }
};

class TUiRegIniFile;

class TUiFrameController : public TComponent {
public:
    explicit TUiFrameController(TComponent* AOwner);
    ~TUiFrameController() override;

    void AddControl(TComponent* control);
    void RemoveControl(TComponent* control);
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    virtual void UpdateControlFrame(TComponent* control, TUiFrameControllerProperty property);
    virtual void UpdateControls(TUiFrameControllerProperty property);
    void Assign(const TObject* source);
    void DefineProperties(TUiFiler& filer);

    TColor GetColor() const { return FColor; }
    virtual void SetColor(TColor v);
    bool GetParentColor() const { return FParentColor; }
    virtual void SetParentColor(bool v);
    TColor GetFlatButtonColor() const { return FFlatButtonColor; }
    virtual void SetFlatButtonColor(TColor v);
    bool GetFlatButtons() const { return FFlatButtons; }
    virtual void SetFlatButtons(bool v);
    TColor GetDisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v);
    TColor GetReadOnlyColor() const { return FReadOnlyColor; }
    virtual void SetReadOnlyColor(TColor v);
    bool GetReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    virtual void SetReadOnlyColorOnFocus(bool v);
    TColor GetFocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v);
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
    TUiRegIniFile* GetRegIniFile() const { return FRegIniFile; }
    virtual void SetRegIniFile(TUiRegIniFile* v);

    // The Color setting is stored only while ParentColor is off.
    bool IsColorStored() const { return !FParentColor; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    TColor FColor = clWindow;
    bool FParentColor = false;
    std::vector<TComponent*> FControls;
    TColor FFlatButtonColor = clBtnFace;
    bool FFlatButtons = true;
    TColor FDisabledColor = clBtnFace;
    TColor FReadOnlyColor = clInfoBk;
    bool FReadOnlyColorOnFocus = false;
    TColor FFocusColor = clWindow;
    TColor FFrameColor = clBtnShadow;
    TColor FFrameHotColor = clBtnShadow;
    bool FFrameHotTrack = false;
    TFrameStyle FFrameHotStyle = fsFlatBold;
    TSides FFrameSides = AllSides;
    TFrameStyle FFrameStyle = fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = fpXPThemes;
    int FUpdateCount = 0;
    TUiRegIniFile* FRegIniFile = nullptr;
};

// Connects a framed control to a controller: unregisters from the old one, registers with
// the new one and asks for its destruction notice.
void ChangeFrameController(TComponent* control, TUiFrameController*& field,
                           TUiFrameController* value);

enum TUiPathType : std::uint8_t { ptIniFile, ptRegistry };
enum TUiRegKey : std::uint8_t {
    hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData,
    hkeyCurrentConfig, hkeyDynData
};
enum TUiRegAccessFlag : std::uint8_t {
    keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink,
    keyRead, keyWrite, keyExecute, keyAllAccess
};
struct TUiRegAccess {
    std::uint16_t Bits = 1u << keyAllAccess;
    friend constexpr bool operator==(TUiRegAccess, TUiRegAccess) = default;
};
enum TUiSpecialFolder : std::uint8_t {
    sfNone, sfUserAppDataRoaming, sfUserAppDataLocal, sfUserDocuments, sfProgramData
};
enum TUiIniFileEncoding : std::uint8_t { feDefault, feUTF8, feUnicode };

// Where settings would be stored; this tool keeps only the settings themselves.
class TUiRegIniFile : public TComponent {
public:
    explicit TUiRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}

    const std::string& GetPath() const { return FPath; }
    virtual void SetPath(const std::string& v);
    TUiPathType GetPathType() const { return FPathType; }
    virtual void SetPathType(TUiPathType v);
    TUiRegKey GetRegKey() const { return FRegKey; }
    virtual void SetRegKey(TUiRegKey v);
    TUiRegAccess GetRegAccess() const { return FRegAccess; }
    virtual void SetRegAccess(TUiRegAccess v);
    TUiSpecialFolder GetSpecialFolder() const { return FSpecialFolder; }
    virtual void SetSpecialFolder(TUiSpecialFolder v);
    TUiIniFileEncoding GetFileEncoding() const { return FFileEncoding; }
    virtual void SetFileEncoding(TUiIniFileEncoding v);
    bool Changed = true;

private:
    std::string FPath;
    TUiPathType FPathType = ptIniFile;
    TUiRegKey FRegKey = hkeyCurrentUser;
    TUiRegAccess FRegAccess;
    TUiSpecialFolder FSpecialFolder = sfNone;
    TUiIniFileEncoding FFileEncoding = feDefault;
};

// The platform version test: 0 Windows 95 .. 8 Windows 7. Versions compare as
// (major, minor) pairs, so a later major release passes every test.
bool RunningAtLeast(int index);
bool RunningAtLeastVersion(int index, int platformId, int major, int minor);
constexpr int VER_PLATFORM_WIN32_WINDOWS = 1, VER_PLATFORM_WIN32_NT = 2;

class TControl;
struct TUiBorderSettings;

// Takes the controller's frame into a bordered control (a border or a panel), as far as the
// control asked to follow it; with the colour, the bevel's highlight and shadow follow too.
void ApplyControllerFrame(TControl& Control, TUiBorderSettings& Border, const TUiFrameController& Controller,
                          const TUiFrameControllerNotifications& Notifications);
