#include "app/Unit1.h"

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form1");
    SetBorderStyle(bsNone);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetPosition(poScreenCenter);
    SetClientSize(1024, 672);
    SetColor(clWhite);
    GetFont()->SetName("Tahoma");
    SetCaption("Конфигуратор Talivex Lumtac");
    // Each subsystem builds its own controls; the shell first, as the others sit on its pages.
    BuildShellControls();
    BuildDeviceControls();
    BuildConfigControls();
    BuildMemoryControls();
    BuildFirmwareControls();
    BuildCloudControls();
    BuildRfidControls();
}

TForm1::~TForm1() = default;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form2");
    SetCaption("Server traffic");
}
