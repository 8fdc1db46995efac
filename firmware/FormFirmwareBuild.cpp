// The firmware page, the update server's offer panel and the two server connections.
#include "app/FormBuild.h"
#include "app/Unit1.h"
#include "platform/net/ScktComp.h"
#include "platform/sys/Shell.h"
#include "platform/ui/Graphics.h"

namespace {

TLabel* MakeLabel(TForm1* owner, TWinControl* parent, const char* name, int l, int t, int w,
                  const std::string& caption) {
    auto* label = NewControl<TLabel>(owner, parent, name, l, t, w, 18);
    label->SetAutoSize(false);
    label->SetTransparent(true);
    label->SetCaption(caption);
    label->GetFont()->SetHeight(-13);
    return label;
}

TUiButton* MakeButton(TForm1* owner, TWinControl* parent, const char* name, int l, int t, int w,
                      const std::string& caption) {
    auto* b = NewControl<TUiButton>(owner, parent, name, l, t, w, 32);
    b->SetCaption(caption);
    return b;
}

// The offer panel's close mark: a dark cross on the panel's white.
void DrawOfferCloseMark(TBitmap& b, int size) {
    b.SetSize(size, size);
    TCanvas* c = b.GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, size, size));
    c->GetPen()->SetColor(clGray);
    for (int d = 0; d < 2; ++d) {
        c->MoveTo(4 + d, 4);
        c->LineTo(size - 4 + d, size - 4);
        c->MoveTo(size - 5 + d, 4);
        c->LineTo(3 + d, size - 4);
    }
}

}  // namespace

void TForm1::BuildFirmwareControls() {
    TUiTabSheet* page = TabSheet9;
    Label63 = MakeLabel(this, page, "Label63", 24, 24, 400, "Выберите файл прошивки");
    Firmware_name = NewControl<TEdit>(this, page, "Firmware_name", 24, 50, 560, 24);
    Firmware_name->SetReadOnly(true);
    Open_fw = MakeButton(this, page, "Open_fw", 596, 46, 150, "Открыть");
    Open_fw->OnClick = [this](TObject* s) { Open_fwClick(s); };

    FWVer = MakeLabel(this, page, "FWVer", 24, 96, 500, "");
    FWHARDVER = MakeLabel(this, page, "FWHARDVER", 24, 120, 500, "");
    FWSize = MakeLabel(this, page, "FWSize", 24, 144, 500, "");
    FWCRC = MakeLabel(this, page, "FWCRC", 24, 168, 500, "");
    FWbuild = MakeLabel(this, page, "FWbuild", 24, 192, 500, "");
    BootVer = MakeLabel(this, page, "BootVer", 24, 216, 500, "");
    BootVer->SetVisible(false);

    Progress_flash = NewProgressBar(this, page, "Progress_flash", 24, 252, 722, 22);
    Progress_flash->SetVisible(false);

    Program_flash = MakeButton(this, page, "Program_flash", 24, 292, 220, "Обновить прошивку");
    Program_flash->SetEnabled(false);
    Program_flash->OnClick = [this](TObject* s) { Program_flashClick(s); };
    RebootinBoot = MakeButton(this, page, "RebootinBoot", 260, 292, 220, "Перезагрузить в загрузчик");
    RebootinBoot->OnClick = [this](TObject* s) { RebootinBootClick(s); };
    Getfirmware = MakeButton(this, page, "Getfirmware", 496, 292, 250, "Проверить обновления");
    Getfirmware->OnClick = [this](TObject* s) { GetfirmwareClick(s); };

    OpenFirmwareDialog = new TOpenDialog(this);
    OpenFirmwareDialog->SetName("OpenFirmwareDialog");
    OpenFirmwareDialog->SetFilter("Firmware (*.bin)|*.bin");

    TabSheet9->OnShow = [this](TObject* s) { TabSheet9Show(s); };

    // The offer panel: hidden until the update server names something newer; the showing
    // sequence centres it on the window.
    Panel32 = NewControl<TUiPanel>(this, this, "Panel32", 262, 236, 500, 200);
    Panel32->SetCaption("");
    Panel32->SetBorderOuter(fsFlatBold);
    Panel32->SetColor(clWhite);
    Panel32->SetVisible(false);
    Label429 = MakeLabel(this, Panel32, "Label429", 12, 12, 440, "");
    Label430 = MakeLabel(this, Panel32, "Label430", 12, 36, 476, "");
    Label430->SetWordWrap(true);
    Label430->SetHeight(36);
    Image4 = NewControl<TImage>(this, Panel32, "Image4", 472, 6, 20, 20);
    TBitmap mark;
    DrawOfferCloseMark(mark, 20);
    Image4->SetPicture(mark);
    Image4->SetCursor(crHandPoint);
    Image4->OnClick = [this](TObject* s) { Image4Click(s); };
    UiRadioGroup1 = NewControl<TUiRadioGroup>(this, Panel32, "UiRadioGroup1", 12, 76, 300, 68);
    UiRadioGroup1->SetCaption("Выберите действие");
    UiRadioGroup1->GetItems()->Add("Загрузить");
    UiRadioGroup1->GetItems()->Add("Загрузить и обновить");
    UiRadioGroup1->SetItemIndex(1);
    Button29 = MakeButton(this, Panel32, "Button29", 340, 100, 140, "Выполнить");
    Button29->OnClick = [this](TObject* s) { Button29Click(s); };
    UiProgressBar3 = NewProgressBar(this, Panel32, "UiProgressBar3", 12, 152, 476, 16);
    UiProgressBar3->SetVisible(false);
    Label431 = MakeLabel(this, Panel32, "Label431", 12, 174, 476, "");

    GetFWClient = new TClientSocket(this);
    GetFWClient->SetName("GetFWClient");
    GetFWClient->OnConnect = [this](TObject* s, TCustomWinSocket* k) { GetFWClientConnect(s, k); };
    GetFWClient->OnRead = [this](TObject* s, TCustomWinSocket* k) { GetFWClientRead(s, k); };
    GetFWClient->OnDisconnect = [this](TObject* s, TCustomWinSocket* k) { GetFWClientDisconnect(s, k); };
    GetFWClient->OnError = [this](TObject* s, TCustomWinSocket* k, TErrorEvent, int& code) {
        GetFWClientError(s, k, code);
    };
    FilesClient = new TClientSocket(this);
    FilesClient->SetName("FilesClient");
    FilesClient->OnConnect = [this](TObject* s, TCustomWinSocket* k) { FilesClientConnect(s, k); };
    FilesClient->OnRead = [this](TObject* s, TCustomWinSocket* k) { FilesClientRead(s, k); };
    FilesClient->OnDisconnect = [this](TObject* s, TCustomWinSocket* k) { FilesClientDisconnect(s, k); };
    FilesClient->OnError = [this](TObject* s, TCustomWinSocket* k, TErrorEvent, int& code) {
        FilesClientError(s, k, code);
    };
    DownloadOpener = new sys::TShellOpener(this);
}
