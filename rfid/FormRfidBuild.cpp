// Creates the controls of the main window that rfid/ owns: the desk reader's group and the
// parameters of the readers wired to the device, both beside the service box.
#include <string>
#include <vector>

#include "app/FormBuild.h"
#include "app/Unit1.h"
#include "platform/comm/PortList.h"
#include "rfid/ReaderParams.h"
#include "rfid/RfidState.h"
#include "serial/SerialPort.h"
#include "widgets/UiButton.h"
#include "widgets/UiPanel.h"
#include "widgets/UiRadGrp.h"
#include "widgets/UiTabsPages.h"

namespace {

TLabel* Caption(TForm1* owner, TWinControl* parent, const char* name, const char* text, int left, int top,
                int width) {
    TLabel* l = NewControl<TLabel>(owner, parent, name, left, top, width, 16);
    l->SetCaption(text);
    return l;
}

TUiButton* Button(TForm1* owner, TWinControl* parent, const char* name, const char* text, int left, int top,
                  int width, TNotifyEvent click) {
    TUiButton* b = NewControl<TUiButton>(owner, parent, name, left, top, width, 28);
    b->SetCaption(text);
    b->OnClick = std::move(click);
    return b;
}

TEdit* NumberEdit(TForm1* owner, TWinControl* parent, const char* name, int left, int top, int width) {
    TEdit* e = NewControl<TEdit>(owner, parent, name, left, top, width, 22);
    e->SetText("0");
    e->SetNumbersOnly(true);
    e->SetMaxLength(255);  // the key-release guard reads it as the largest value
    e->OnKeyUp = [owner](TObject* s, Word& key, TShiftState shift) { owner->EditKeyUp(s, key, shift); };
    return e;
}

}  // namespace

void TForm1::BuildRfidControls() {
    ComPortRFID = NewPlainSerialPort(this, "ComPortRFID", "COM4", br57600);
    ComPortRFID->OnRxChar = [this](TObject* s, int count) { ComPortRFIDRxChar(s, count); };

    RFIDTimer = NewComponent<TTimer>(this, "RFIDTimer");
    RFIDTimer->SetInterval(100);
    RFIDTimer->OnTimer = [this](TObject* s) { RFIDTimerTimer(s); };
    RFIDTimer->OnDue = [] { return g_RfidPoll.TicksToWork(); };
    RFIDTimer->SetEnabled(true);

    TWinControl* page = TabSheet8;
    UiGroupBox25 = NewControl<TUiGroupBox>(this, page, "UiGroupBox25", 452, 16, 400, 230);
    UiGroupBox25->SetCaption("USB cчитыватель RFID меток");
    COMUSBSELECT = NewControl<TUiRadioGroup>(this, UiGroupBox25, "COMUSBSELECT", 16, 24, 110, 70);
    COMUSBSELECT->GetItems()->AddStrings(std::vector<std::string>{"COM", "USB"});
    COMUSBSELECT->SetItemIndex(0);
    COMUSBSELECT->OnClick = [this](TObject* s) { COMUSBSELECTClick(s); };
    RFIDReaderPort = NewControl<TComboBox>(this, UiGroupBox25, "RFIDReaderPort", 140, 30, 240, 22);
    // The system's serial ports, as the COM choice lists them; the first is chosen.
    RFIDReaderPort->GetItems()->AddStrings(comm::PortChoices());
    RFIDReaderPort->SetItemIndex(0);
    RFIDReaderConnect = Button(this, UiGroupBox25, "RFIDReaderConnect", "Открыть порт", 140, 62, 116,
                               [this](TObject* s) { RFIDReaderConnectClick(s); });
    RFIDReaderDisConnect = Button(this, UiGroupBox25, "RFIDReaderDisConnect", "Закрыть порт", 264, 62, 116,
                                  [this](TObject* s) { RFIDReaderDisConnectClick(s); });
    RFIDL = Caption(this, UiGroupBox25, "RFIDL", "RFID: ", 16, 110, 370);
    RFIDSCOUNT = Caption(this, UiGroupBox25, "RFIDSCOUNT", "Count: ", 16, 136, 200);
    StartRFIDRec = Button(this, UiGroupBox25, "StartRFIDRec", "Начать запись", 16, 180, 180,
                          [this](TObject* s) { StartRFIDRecClick(s); });
    StopRFIDRec = Button(this, UiGroupBox25, "StopRFIDRec", "Остановить запись", 204, 180, 176,
                         [this](TObject* s) { StopRFIDRecClick(s); });

    // The device's own readers are set up beside the other extra equipment of the settings.
    TWinControl* extra = ConfSheetExtra ? static_cast<TWinControl*>(ConfSheetExtra) : page;
    GETSETRFID = NewControl<TUiGroupBox>(this, extra, "GETSETRFID", 428, 8, 400, 250);
    GETSETRFID->SetCaption("Параметры считывателей RFID");
    Caption(this, GETSETRFID, "", "Текущий адрес считывателя", 16, 30, 200);
    RFIDAdr = NumberEdit(this, GETSETRFID, "RFIDAdr", 220, 26, 80);
    Caption(this, GETSETRFID, "", "Параметр", 16, 60, 200);
    RFIDParam = NewControl<TComboBox>(this, GETSETRFID, "RFIDParam", 220, 56, 160, 22);
    RFIDParam->SetStyle(csDropDownList);
    for (const TReaderParam& p : kReaderParams) RFIDParam->GetItems()->Add(p.Item);
    RFIDParam->SetItemIndex(0);
    Caption(this, GETSETRFID, "", "Значение", 16, 90, 200);
    RFIDValue = NumberEdit(this, GETSETRFID, "RFIDValue", 220, 86, 80);
    RFIDGet = Button(this, GETSETRFID, "RFIDGet", "Считать", 16, 118, 180, [this](TObject* s) { RFIDGetClick(s); });
    RFIDSet = Button(this, GETSETRFID, "RFIDSet", "Записать", 204, 118, 176,
                     [this](TObject* s) { RFIDSetClick(s); });
    TLabel* help = Caption(this, GETSETRFID, "RFIDHelp",
                           "Адрес: 0 - 254; Мощность: 0 - 30;\n"
                           "Скорость: 0 - 9600, 1 - 19200, 2 - 38400, 3 - 57600, 4 - 115200;\n"
                           "РЧ диапазон: 0 - US, 1 - EU;\n"
                           "Обл. чтения: 0 - резерв, 1 - EPC, 2 - TID, 3 - user",
                           16, 154, 370);
    help->SetWordWrap(true);
    help->SetHeight(86);

    // Usable only while the cable connection is.
    if (TabSheet1) {
        TNotifyEvent shown = TabSheet1->OnShow;
        TabSheet1->OnShow = [this, shown](TObject* s) {
            if (shown) shown(s);
            TabSheet1Show(s);
        };
    }
}
