#include "app/Unit1.h"

#include "app/FormSettings.h"
#include "app/LangFile.h"
#include "app/ShellState.h"
#include "cloud/CloudSession.h"
#include "config/ConfigTransfer.h"
#include "device/DeviceLink.h"
#include "firmware/FirmwareState.h"
#include "memory/MemoryState.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Folders.h"
#include "platform/sys/HotKeys.h"
#include "rfid/RfidState.h"

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;

// Module initialisation: the defaults that hold before any window exists.
std::string g_ProgramVersion = "1.0.0";
std::string g_Language = "russian";
std::string g_SettingsPath = SettingsPathIn(sys::AppDataFolder());
std::string g_LangFilePath = LangFilePathFor(sys::ExeFolder());
static std::unique_ptr<TMemoryStream> s_DownloadStream = std::make_unique<TMemoryStream>();
TMemoryStream* g_DownloadStream = s_DownloadStream.get();
TStringList* g_GroupList = nullptr;
std::int32_t g_SessionUid = 0;
std::uint32_t g_WaitTicks = 0;
std::uint32_t g_WaitLimit = 0;

void ResetShellState() {
    g_WaitTicks = g_WaitLimit = 0;
    delete g_GroupList;
    g_GroupList = nullptr;
}

void ResetModuleState() {
    ResetShellState();
    ResetDeviceLinkState();
    ResetConfigState();
    ResetMemoryState();
    ResetFirmwareState();
    ResetCloudState();
    ResetRfidState();
}

namespace {
// System-wide Alt+E, Alt+H and Alt+S; their notifications are ignored.
constexpr int kHotKeyIds[] = {125, 126, 127};
constexpr unsigned kHotKeyKeys[] = {'E', 'H', 'S'};
}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form1");
    SetBorderStyle(bsNone);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetPosition(poScreenCenter);
    SetClientSize(1024, 672);
    SetColor(clWhite);
    GetFont()->SetName("Tahoma");
    SetCaption("Конфигуратор Talivex Lumtac");
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    // The shell first: the others sit on its pages.
    BuildShellControls();
    BuildDeviceControls();
    BuildConfigControls();
    BuildMemoryControls();
    BuildFirmwareControls();
    BuildCloudControls();
    BuildRfidControls();
    FinishShellControls();
    for (int i = 0; i < 3; ++i) sys::RegisterHotKey(this, kHotKeyIds[i], sys::MOD_ALT, kHotKeyKeys[i]);
}

TForm1::~TForm1() {
    // A form deleted directly still runs its destroy handler while its parts exist.
    BeforeDestruction();
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormDestroy(TObject* /*Sender*/) {
    for (int id : kHotKeyIds) sys::UnregisterHotKey(this, id);
    // What it set goes with it (its server's connections among them): a window made after it
    // starts as the first one did.
    ResetModuleState();
}

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form2");
    SetCaption("Server traffic");
}
