#include <string>
#include <vector>

#include "app/FormBuild.h"
#include "app/Unit1.h"
#include "config/ConfigDefaults.h"
#include "config/ConfigFields.h"
#include "config/ConfigItems.h"
#include "config/FormConfigControls.h"

namespace {

std::vector<std::string> Numbered(int count, bool twoDigits) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back(twoDigits && i < 10 ? "0" + std::to_string(i) : std::to_string(i));
    return items;
}

template <class List>
std::vector<std::string> Texts(const List& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

// Creates the controls of one page with the form as their owner.
class TPageBuilder {
public:
    explicit TPageBuilder(TForm1* form) : FForm(form) {}

    template <class T>
    T* Add(TWinControl* parent, const std::string& name, int left, int top, int width, int height) {
        return NewControl<T>(FForm, parent, name, left, top, width, height);
    }

    TLabel* Caption(TWinControl* parent, const std::string& name, const std::string& text, int left, int top) {
        auto* l = Add<TLabel>(parent, name, left, top + 3, 10, 16);
        l->SetCaption(text);
        return l;
    }

    TEdit* Edit(TWinControl* parent, const std::string& name, int left, int top, int width) {
        return Add<TEdit>(parent, name, left, top, width, 22);
    }

    // Number edits: the maximum length doubles as the largest value of the key-release guard.
    TEdit* NumberEdit(TWinControl* parent, const std::string& name, int left, int top, int width, int max) {
        TEdit* e = Edit(parent, name, left, top, width);
        e->SetMaxLength(max);
        return e;
    }

    TComboBox* Combo(TWinControl* parent, const std::string& name, int left, int top, int width,
                     const std::vector<std::string>& items) {
        auto* c = Add<TComboBox>(parent, name, left, top, width, 22);
        c->SetStyle(csDropDownList);
        c->SetDropDownCount(items.size() > 24 ? 16 : 12);
        for (const std::string& item : items) c->GetItems()->Add(item);
        return c;
    }

    TCheckBox* Check(TWinControl* parent, const std::string& name, const std::string& text, int left,
                     int top, int width) {
        auto* c = Add<TCheckBox>(parent, name, left, top, width, 20);
        c->SetCaption(text);
        return c;
    }

    TUiGroupBox* Group(TWinControl* parent, const std::string& name, const std::string& text, int left,
                       int top, int width, int height) {
        auto* g = Add<TUiGroupBox>(parent, name, left, top, width, height);
        g->SetCaption(text);
        g->SetColor(clWhite);
        g->SetTransparent(true);  // the items show the page's white through
        return g;
    }

    TUiButton* Button(TWinControl* parent, const std::string& name, const std::string& text, int left,
                      int top, int width) {
        auto* b = Add<TUiButton>(parent, name, left, top, width, 30);
        b->SetCaption(text);
        return b;
    }

    TLabel* StatusLabel(TWinControl* parent, const std::string& name, int left, int top) {
        auto* l = Add<TLabel>(parent, name, left, top, 10, 18);
        l->GetFont()->SetSize(10);
        return l;
    }

private:
    TForm1* FForm;
};

}  // namespace

// Creates the controls of the main window that config/ owns: the settings page (0), the
// status page (1) and the schedules page (7).
void TForm1::BuildConfigControls() {
    BuildSettingsPage(TabSheet1);
    BuildStatusPage(TabSheet2);
    BuildSchedulesPage(TabSheet7);
    // The side panel's read buttons start a configuration transfer.
    Bsetting->OnClick = [this](TObject* s) { BsettingClick(s); };
    Bshedl->OnClick = [this](TObject* s) { BshedlClick(s); };

    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetName("OpenDialog");
    SaveDialog = new TSaveDialog(this);
    SaveDialog->SetName("SaveDialog");

    // The factory values are the design values: a start-up that opens no configuration
    // file (or one that is not a configuration file) never leaves the pages blank.
    ConfigValues defaults;
    defaults.RFIDAnts = 0;
    SetConfigDefaults(defaults);
    ShowConfigValues(defaults);
}

void TForm1::BuildSettingsPage(TWinControl* page) {
    TPageBuilder b(this);

    // The write and defaults buttons stay under every tab.
    auto* bottom = b.Add<TUiPanel>(page, "ConfButtonsPanel", 0, 0, 100, 46);
    bottom->SetAlign(alBottom);
    bottom->SetBorderOuter(fsNone);
    bottom->SetColor(clWhite);
    Button6 = b.Button(bottom, "Button6", "ЗАПИСАТЬ НАСТРОЙКИ", 8, 8, 260);
    Button12 = b.Button(bottom, "Button12", "НАСТРОЙКИ ПО УМОЛЧАНИЮ", 280, 8, 260);
    Button6->OnClick = [this](TObject* s) { Button6Click(s); };
    Button12->OnClick = [this](TObject* s) { Button12Click(s); };

    ConfPages = b.Add<TUiPageControl>(page, "ConfPages", 0, 0, 100, 100);
    ConfPages->SetAlign(alClient);
    ConfPages->SetParentFont(false);
    ConfPages->GetFont()->SetName("Tahoma");
    ConfPages->GetFont()->SetHeight(-19);
    ConfPages->SetFixedDimension(29);
    ConfPages->SetButtonColor(clWhite);
    auto sheet = [&](const std::string& name, const std::string& caption) {
        auto* s = new TUiTabSheet(this);
        s->SetName(name);
        s->SetPageControl(ConfPages);
        s->SetCaption(caption);
        s->SetColor(clWhite);
        // The tab strip's large font is for the tabs; the page reads in the window's font.
        s->SetParentFont(false);
        s->GetFont()->SetName("Tahoma");
        s->GetFont()->SetSize(9);
        return s;
    };
    ConfSheetMain = sheet("ConfSheetMain", "Основные параметры");
    ConfSheetInOut = sheet("ConfSheetInOut", "Входы/Выходы");
    ConfSheetExtra = sheet("ConfSheetExtra", "Доп. оборудование");
    // The design leaves the third tab shown; reading a configuration returns to the first.
    ConfPages->SetActivePageIndex(2);

    // Main parameters: connection on the left, access and balance on the right.
    CNP1 = b.Group(ConfSheetMain, "CNP1", "Параметры связи", 8, 8, 410, 440);
    b.Caption(CNP1, "OPERATORCaption", "Оператор GSM:", 12, 26);
    OPERATOR = b.Combo(CNP1, "OPERATOR", 150, 26, 248, OperatorItems({}));
    OPERATOR->OnChange = [this](TObject* s) { OPERATORChange(s); };
    UserAPN = b.Edit(CNP1, "UserAPN", 150, 54, 248);
    UserAPN->SetHint("APN");
    UserAPN->SetShowHint(true);
    b.Caption(CNP1, "SIMPINCaption", "PIN-код СИМ карты:", 12, 82);
    SIMPIN = b.NumberEdit(CNP1, "SIMPIN", 150, 82, 80, kMaxSIMPIN);
    b.Caption(CNP1, "SIMNUM1Caption", "Номер СИМ карты:", 12, 110);
    SIMNUM1 = b.Edit(CNP1, "SIMNUM1", 150, 110, 160);
    CON_EN1 = b.Check(CNP1, "CON_EN1", "Использовать облачный сервис", 12, 144, 380);
    b.Caption(CNP1, "CON_ADR1Caption", "Адрес сервера:", 12, 170);
    CON_ADR1 = b.Edit(CNP1, "CON_ADR1", 150, 170, 248);
    Label40 = b.Caption(CNP1, "Label40", "Отсутствует разделитель ':'", 150, 194);
    Label40->GetFont()->SetColor(clRed);
    Label40->SetVisible(false);
    NTPEN = b.Check(CNP1, "NTPEN", "Синхронизировать время с сервером", 12, 222, 380);
    b.Caption(CNP1, "NTPADRCaption", "Сервер времени:", 12, 248);
    NTPADR = b.Edit(CNP1, "NTPADR", 150, 248, 248);
    b.Caption(CNP1, "TimeZoneCaption", "Часовой пояс, ч:", 12, 278);
    TimeZone = b.Edit(CNP1, "TimeZone", 150, 278, 60);
    UseGNSSTime = b.Check(CNP1, "UseGNSSTime", "Брать время от спутникового приемника", 12, 308, 380);
    RESETINTIME = b.Check(CNP1, "RESETINTIME", "Ежедневная перезагрузка в (ч):", 12, 340, 250);
    RESETTIME = b.Combo(CNP1, "RESETTIME", 270, 340, 60, Numbered(kHourItems, true));

    AGROUP = b.Group(ConfSheetMain, "AGROUP", "Доступ", 428, 8, 410, 230);
    b.Caption(AGROUP, "ADMINPASSCaption", "Пароль администратора:", 12, 26);
    ADMINPASS = b.NumberEdit(AGROUP, "ADMINPASS", 230, 26, 80, kMaxADMINPASS);
    b.Caption(AGROUP, "USERPASSCaption", "Пароль управляющего:", 12, 54);
    USERPASS = b.NumberEdit(AGROUP, "USERPASS", 230, 54, 80, kMaxUSERPASS);
    CallFromAll = b.Check(AGROUP, "CallFromAll", "Реагировать на все вызовы", 12, 86, 380);
    b.Caption(AGROUP, "FromAllSheduleCaption", "Расписание для всех номеров:", 12, 112);
    FromAllShedule = b.Combo(AGROUP, "FromAllShedule", 230, 112, 168, Texts(kFromAllSheduleItems));
    SMSTOUNREG = b.Check(AGROUP, "SMSTOUNREG", "Отправлять СМС номерам не из списка", 12, 144, 380);
    b.Caption(AGROUP, "RingCountLimitCaption", "Гудков до сброса вызова:", 12, 172);
    RingCountLimit = b.Combo(AGROUP, "RingCountLimit", 230, 172, 60, Numbered(kRingCountItems, false));

    BalanceGroup = b.Group(ConfSheetMain, "BalanceGroup", "Баланс СИМ карты", 428, 246, 410, 202);
    InfAdminBalance = b.Check(BalanceGroup, "InfAdminBalance", "Сообщать администратору о низком балансе",
                              12, 26, 390);
    b.Caption(BalanceGroup, "BalanceLimitCaption", "Порог баланса:", 12, 56);
    BalanceLimit = b.NumberEdit(BalanceGroup, "BalanceLimit", 230, 56, 80, kMaxBalanceLimit);
    b.Caption(BalanceGroup, "BalanceGetNumberCaption", "Запрос баланса:", 12, 86);
    BalanceGetNumber = b.Edit(BalanceGroup, "BalanceGetNumber", 230, 86, 120);
    ResendSMS = b.Check(BalanceGroup, "ResendSMS", "Пересылать входящие СМС администратору", 12, 120, 390);

    // Inputs and outputs.
    WGROUP = b.Group(ConfSheetInOut, "WGROUP", "Параметры управления выходом", 8, 8, 410, 190);
    Label3 = b.Caption(WGROUP, "Label3", "При входящем вызове:", 12, 26);
    OUTTYPE = b.Combo(WGROUP, "OUTTYPE", 200, 26, 198, Texts(kOutTypeItems));
    Panel4 = b.Add<TUiPanel>(WGROUP, "Panel4", 6, 56, 396, 120);
    Panel4->SetBorderOuter(fsNone);
    Panel4->SetColor(clWhite);
    b.Caption(Panel4, "OUTIMPCaption", "Длительность импульса, с:", 6, 6);
    OUTIMP = b.NumberEdit(Panel4, "OUTIMP", 194, 6, 70, kMaxOUTIMP);
    b.Caption(Panel4, "OUTPAUSECaption", "Пауза, с:", 6, 36);
    OUTPAUSE = b.NumberEdit(Panel4, "OUTPAUSE", 194, 36, 70, kMaxOUTPAUSE);
    b.Caption(Panel4, "OUTREPEATECaption", "Количество повторов:", 6, 66);
    OUTREPEATE = b.NumberEdit(Panel4, "OUTREPEATE", 194, 66, 70, kMaxOUTREPEATE);

    PeriodGroup = b.Group(ConfSheetInOut, "PeriodGroup", "Управление выходом по времени", 8, 206, 410, 242);
    ACTOUTINPERIOD = b.Check(PeriodGroup, "ACTOUTINPERIOD", "Включать выход в период", 12, 26, 380);
    b.Caption(PeriodGroup, "STOUTPERIODCaption", "с", 12, 56);
    STOUTPERIOD = b.Combo(PeriodGroup, "STOUTPERIOD", 34, 56, 56, Numbered(kHourItems, true));
    b.Caption(PeriodGroup, "STOUTPERIODMINCaption", ":", 94, 56);
    STOUTPERIODMIN = b.Combo(PeriodGroup, "STOUTPERIODMIN", 104, 56, 56, Numbered(kMinuteItems, true));
    b.Caption(PeriodGroup, "EDOUTPERIODCaption", "до", 176, 56);
    EDOUTPERIOD = b.Combo(PeriodGroup, "EDOUTPERIOD", 204, 56, 56, Numbered(kHourItems, true));
    b.Caption(PeriodGroup, "EDOUTPERIODMINCaption", ":", 264, 56);
    EDOUTPERIODMIN = b.Combo(PeriodGroup, "EDOUTPERIODMIN", 274, 56, 56, Numbered(kMinuteItems, true));
    b.Caption(PeriodGroup, "OutTypeInTimeActionCaption", "Режим выхода:", 12, 88);
    OutTypeInTimeAction = b.Combo(PeriodGroup, "OutTypeInTimeAction", 130, 88, 150,
                                  Texts(kOutTypeInTimeActionItems));
    ACTOUTDAYS = b.Add<TUiCheckGroup>(PeriodGroup, "ACTOUTDAYS", 8, 122, 394, 56);
    ACTOUTDAYS->SetCaption("Дни недели");
    ACTOUTDAYS->SetColor(clWhite);
    ACTOUTDAYS->SetTransparent(true);
    AddWeekdayItems(ACTOUTDAYS);

    InputsGroup = b.Group(ConfSheetInOut, "InputsGroup", "Входы", 428, 8, 410, 190);
    USEIN1 = b.Check(InputsGroup, "USEIN1", "Использовать вход 1", 12, 26, 380);
    InFun1 = b.Combo(InputsGroup, "InFun1", 30, 52, 368, Texts(kInFun1Items));
    USEIN2 = b.Check(InputsGroup, "USEIN2", "Использовать вход 2", 12, 96, 380);
    InFun2 = b.Combo(InputsGroup, "InFun2", 30, 122, 368, Texts(kInFun2Items));

    // Extra equipment.
    UiGroupBox1 = b.Group(ConfSheetExtra, "UiGroupBox1", "Параметры фотокамеры", 8, 8, 410, 150);
    EnPhotoFix = b.Check(UiGroupBox1, "EnPhotoFix", "Фотофиксация событий", 12, 26, 380);
    IMGREZ = b.Add<TUiRadioGroup>(UiGroupBox1, "IMGREZ", 12, 54, 386, 50);
    IMGREZ->SetCaption("Разрешение снимка");
    IMGREZ->SetColor(clWhite);
    IMGREZ->SetTransparent(true);
    IMGREZ->SetColumns(3);
    for (const std::string& item : Texts(kImgRezItems)) IMGREZ->GetItems()->Add(item);
    b.Caption(UiGroupBox1, "FotoDelayCaption", "Задержка снимка, с:", 12, 114);
    FotoDelay = b.NumberEdit(UiGroupBox1, "FotoDelay", 200, 114, 70, kMaxFotoDelay);

    ReadersGroup = b.Group(ConfSheetExtra, "ReadersGroup", "Считыватели RFID", 8, 166, 410, 110);
    b.Caption(ReadersGroup, "RFIDAntsCaption", "Подключено:", 12, 30);
    RFIDAnts = b.Combo(ReadersGroup, "RFIDAnts", 150, 30, 248, Texts(kRfidAntsItems));
    b.Caption(ReadersGroup, "ReaderTypeCaption", "Тип считывателей:", 12, 64);
    ReaderType = b.Combo(ReadersGroup, "ReaderType", 150, 64, 248, Texts(kReaderTypeItems));

    // The pulse panel follows OUTTYPE whichever of these four changed.
    for (TComboBox* c : {OUTTYPE, RingCountLimit, InFun1, InFun2})
        c->OnChange = [this](TObject* s) { OUTTYPEChange(s); };
    CON_ADR1->OnChange = [this](TObject* s) { CON_ADR1Change(s); };
    // The key-release guard keeps each number edit within its largest value.
    for (TEdit* e : {SIMPIN, BalanceLimit, USERPASS, ADMINPASS, OUTIMP, OUTPAUSE, OUTREPEATE, FotoDelay})
        e->OnKeyUp = [this](TObject* s, Word& key, TShiftState shift) { EditKeyUp(s, key, shift); };
    // The passwords and the photo delay take digits only.
    for (TEdit* e : {USERPASS, ADMINPASS, FotoDelay}) e->SetNumbersOnly(true);
}

void TForm1::BuildSchedulesPage(TWinControl* page) {
    TPageBuilder b(this);
    auto* title = b.Caption(page, "SchedulesTitle", "Шаблоны расписаний", 12, 6);
    title->GetFont()->SetSize(12);
    TUiCheckGroup** days[7] = {&WD1, &WD2, &WD3, &WD4, &WD5, &WD6, &WD7};
    TComboBox** starts[7] = {&ST1, &ST2, &ST3, &ST4, &ST5, &ST6, &ST7};
    TComboBox** ends[7] = {&ET1, &ET2, &ET3, &ET4, &ET5, &ET6, &ET7};
    for (int k = 0; k < 7; ++k) {
        const std::string n = std::to_string(k + 1);
        const int top = 40 + k * 66;
        auto* g = b.Add<TUiCheckGroup>(page, "WD" + n, 8, top, 400, 54);
        g->SetCaption("Расписание " + n);
        g->SetColor(clWhite);
        g->SetTransparent(true);  // the items show the page's white through
        AddWeekdayItems(g);
        *days[k] = g;
        b.Caption(page, "ST" + n + "Caption", "с", 420, top + 20);
        *starts[k] = b.Combo(page, "ST" + n, 440, top + 20, 56, Numbered(kHourItems, true));
        b.Caption(page, "ET" + n + "Caption", "до", 510, top + 20);
        *ends[k] = b.Combo(page, "ET" + n, 536, top + 20, 56, Numbered(kHourItems, true));
    }
    Button13 = b.Button(page, "Button13", "ЗАПИСАТЬ ШАБЛОНЫ", 8, 40 + 7 * 66 + 8, 260);
    Button13->OnClick = [this](TObject* s) { Button6Click(s); };
}

void TForm1::BuildStatusPage(TWinControl* page) {
    TPageBuilder b(this);
    int y = 10;
    auto next = [&](int step = 24) { const int at = y; y += step; return at; };
    auto* title = b.Caption(page, "StatusTitle", "Мониторинг состояния", 12, next(30));
    title->GetFont()->SetSize(12);
    Limei = b.StatusLabel(page, "Limei", 12, next());
    Limei->SetCaption("IMEI:");
    Lfw = b.StatusLabel(page, "Lfw", 12, next());
    Lfw->SetCaption("FW:");
    Lhw = b.StatusLabel(page, "Lhw", 12, next());
    Lhw->SetCaption("HW:");
    LACCESS = b.StatusLabel(page, "LACCESS", 12, next());
    LACCESS->SetCaption("Не подтвержден");
    const int sigTop = next(28);
    Lsig = b.StatusLabel(page, "Lsig", 12, sigTop);
    Lsig->SetCaption("Сигнал:");
    Msig = b.Add<TUiMeter>(page, "Msig", 120, sigTop, 150, 20);
    Msig->SetMax(31);
    Msig->SetMeterType(mtLED);
    for (int band = 0; band < 3; ++band) {
        Msig->SetSegCount(band, 5);
        Msig->SetSegColor(band, clHighlight);
    }
    Msig->SetSegOffColor(0x00E0E0E0);
    Msig->SetBackColor(clWhite);
    Msig->SetBorderOuter(fsNone);
    Msig->SetShowPercent(false);
    LNET = b.StatusLabel(page, "LNET", 280, sigTop);
    LNET->SetCaption(" ");
    GSMBER = b.StatusLabel(page, "GSMBER", 12, next());
    Lgsm = b.StatusLabel(page, "Lgsm", 12, next());
    Lgsm->SetCaption("GSM reg.:");
    Lgprs = b.StatusLabel(page, "Lgprs", 12, next());
    Lgprs->SetCaption("GPRS reg.:");
    Lserver = b.StatusLabel(page, "Lserver", 12, next());
    Lserver->SetCaption("CloudTalivex: not connected");
    netTime = b.StatusLabel(page, "netTime", 12, next());
    netTime->SetVisible(false);
    Balance = b.StatusLabel(page, "Balance", 12, next());
    Balance->SetVisible(false);
    Lmem = b.StatusLabel(page, "Lmem", 12, next());
    Lmem->SetCaption("Память пользователей:");
    Linput1 = b.StatusLabel(page, "Linput1", 12, next());
    Linput1->SetCaption("Вход 1: не активен");
    Linput2 = b.StatusLabel(page, "Linput2", 12, next());
    Linput2->SetCaption("Вход 2: не активен");
    Lout_ = b.StatusLabel(page, "Lout_", 12, next());
    Lout_->SetCaption("Выход: выкл.");
    const int arTop = next(34);
    Lar = b.StatusLabel(page, "Lar", 12, arTop + 4);
    Lar->SetCaption("Авторегистрация: выкл.");
    Bar = b.Button(page, "Bar", "Включить", 240, arTop, 120);
    SafeCityStat = b.StatusLabel(page, "SafeCityStat", 12, next());
    SafeCityStat->SetCaption("Безопасный город: отключен");
    SafeCityTags = b.StatusLabel(page, "SafeCityTags", 12, next());
    SafeCityBaseDate = b.StatusLabel(page, "SafeCityBaseDate", 12, next());
    SafeCityAccessDate = b.StatusLabel(page, "SafeCityAccessDate", 12, next());
    const int rfidTop = next();
    b.StatusLabel(page, "RFID1Caption", 12, rfidTop)->SetCaption("Считыватель 1:");
    RFID1ST = b.StatusLabel(page, "RFID1ST", 120, rfidTop);
    b.StatusLabel(page, "RFID2Caption", 170, rfidTop)->SetCaption("Считыватель 2:");
    RFID2ST = b.StatusLabel(page, "RFID2ST", 280, rfidTop);
    for (TLabel* l : {RFID1ST, RFID2ST}) {
        l->SetShowHint(true);
        SetRFIDState(l, -1);
    }
}

TUiCheckGroup* TForm1::WeekdayGroup(int k) {
    TUiCheckGroup* const groups[7] = {WD1, WD2, WD3, WD4, WD5, WD6, WD7};
    return groups[k];
}
TComboBox* TForm1::StartHour(int k) {
    TComboBox* const boxes[7] = {ST1, ST2, ST3, ST4, ST5, ST6, ST7};
    return boxes[k];
}
TComboBox* TForm1::EndHour(int k) {
    TComboBox* const boxes[7] = {ET1, ET2, ET3, ET4, ET5, ET6, ET7};
    return boxes[k];
}
