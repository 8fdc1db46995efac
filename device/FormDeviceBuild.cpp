#include "app/FormBuild.h"
#include "app/Unit1.h"

// Creates the components and controls of the main window that device/ owns.
void TForm1::BuildDeviceControls() {
    // The device port: everything but the five line settings is fixed here, before any
    // open; OpenPort sets port, speed and format each time.
    ComPort = NewPlainSerialPort(this, "ComPort", "COM1", br115200);
    ComPort->OnRxChar = [this](TObject* sender, int count) { ComPortRxChar(sender, count); };

    Timer1 = NewComponent<TTimer>(this, "Timer1");
    Timer1->SetInterval(10);
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    Timer1->OnDue = [this] { return Timer1Due(); };
    Find_device = NewComponent<TTimer>(this, "Find_device");
    Find_device->SetInterval(1000);
    Find_device->OnTimer = [this](TObject* sender) { Find_deviceTimer(sender); };
    Find_device->OnDue = [this] { return Find_deviceDue(); };
    Ftimer = NewComponent<TTimer>(this, "Ftimer");
    Ftimer->SetInterval(100);
    Ftimer->OnTimer = [this](TObject* sender) { FtimerTimer(sender); };
    Ftimer->OnDue = [this] { return FtimerDue(); };

    ENUMPORTS = NewControl<TComboBox>(this, this, "ENUMPORTS");
    ENUMPORTS->SetStyle(csDropDownList);
    ENUMPORTS->SetBounds(0, 0, 145, 21);
    ENUMPORTS->SetVisible(false);

    // The connection page: the cloud login on the left, the cable login on the right.
    TWinControl* page = UiPageControl1 ? UiPageControl1->Pages(4) : nullptr;
    // The cloud session fills these two boxes with its own controls.
    RABOX = NewControl<TUiGroupBox>(this, page, "RABOX");
    RABOX->SetCaption("Подключение через облачный сервис");
    RABOX->SetBounds(16, 16, 400, 200);
    UiGroupBox21 = NewControl<TUiGroupBox>(this, page, "UiGroupBox21");
    UiGroupBox21->SetCaption("Логирование");
    UiGroupBox21->SetBounds(16, 232, 400, 160);

    LABOX = NewControl<TUiGroupBox>(this, page, "LABOX");
    LABOX->SetCaption("Подключение по USB");
    LABOX->SetBounds(432, 16, 400, 200);
    LABOX->SetEnabled(false);  // until a device in working mode identifies itself
    TLabel* passLabel = NewControl<TLabel>(this, LABOX, "USBPASSCaption");
    passLabel->SetCaption("Пароль:");
    passLabel->SetBounds(24, 48, 60, 16);
    USBPASS = NewControl<TEdit>(this, LABOX, "USBPASS");
    USBPASS->SetBounds(96, 44, 120, 21);
    USBPASS->SetNumbersOnly(true);
    USBPASS->SetMaxLength(5);
    USBPASS->SetPasswordChar('*');
    // The one connect button of both links sits under the cable box, not in it: a disabled
    // box would take the cloud login away with it.
    Button5 = NewControl<TButton>(this, page, "Button5");
    Button5->SetCaption("Подключиться");
    Button5->SetBounds(528, 228, 120, 28);
    Button5->OnClick = [this](TObject* sender) { Button5Click(sender); };
}
