// Creates the controls of the main window that cloud/ owns: the cloud login and group boxes
// of the connection page, the login animation, the remote-configuration page and the
// service commands.
#include "app/FormBuild.h"
#include "app/Unit1.h"
#include "cloud/AnimationPictures.h"
#include "device/LinkPeers.h"
#include "platform/sys/Hosts.h"
#include "widgets/UiPrgres.h"

namespace {

TLabel* Caption(TForm1* owner, TWinControl* parent, const char* text, int left, int top, int width) {
    TLabel* l = NewControl<TLabel>(owner, parent, "", left, top, width, 16);
    l->SetCaption(text);
    return l;
}

TImage* Picture(TForm1* owner, TWinControl* parent, const char* name, TAnimationPicture picture, int left,
               int top, int size) {
    TImage* image = NewControl<TImage>(owner, parent, name, left, top, size, size);
    TBitmap bitmap;
    DrawAnimationPicture(bitmap, picture, size);
    image->SetPicture(bitmap);
    image->SetTransparent(true);
    return image;
}

TUiButton* Button(TForm1* owner, TWinControl* parent, const char* name, const char* text, int left,
                  int top, int width, TNotifyEvent click) {
    TUiButton* b = NewControl<TUiButton>(owner, parent, name, left, top, width, 28);
    b->SetCaption(text);
    b->OnClick = std::move(click);
    return b;
}

TEdit* Edit(TForm1* owner, TWinControl* parent, const char* name, const char* text, int left, int top,
            int width) {
    TEdit* e = NewControl<TEdit>(owner, parent, name, left, top, width, 22);
    e->SetText(text);
    return e;
}

}  // namespace

void TForm1::BuildCloudControls() {
    ClientSocket = NewComponent<TClientSocket>(this, "ClientSocket");
    ClientSocket->SetPort(sys::kCloudServerPort);
    ClientSocket->OnConnect = [this](TObject* s, TCustomWinSocket* k) { ClientSocketConnect(s, k); };
    ClientSocket->OnDisconnect = [this](TObject* s, TCustomWinSocket* k) { ClientSocketDisconnect(s, k); };
    ClientSocket->OnRead = [this](TObject* s, TCustomWinSocket* k) { ClientSocketRead(s, k); };
    ClientSocket->OnError = [this](TObject* s, TCustomWinSocket* k, TErrorEvent e, int& code) {
        ClientSocketError(s, k, e, code);
    };

    ConfServer = NewComponent<TServerSocket>(this, "ConfServer");
    ConfServer->OnClientConnect = [this](TObject* s, TCustomWinSocket* k) { ConfServerClientConnect(s, k); };
    ConfServer->OnClientDisconnect = [this](TObject* s, TCustomWinSocket* k) {
        ConfServerClientDisconnect(s, k);
    };
    ConfServer->OnClientRead = [this](TObject* s, TCustomWinSocket* k) { ConfServerClientRead(s, k); };
    ConfServer->OnClientError = [this](TObject* s, TCustomWinSocket* k, TErrorEvent e, int& code) {
        ConfServerClientError(s, k, e, code);
    };

    AnimateTimer = NewComponent<TTimer>(this, "AnimateTimer");
    AnimateTimer->SetInterval(200);
    AnimateTimer->SetEnabled(false);
    AnimateTimer->OnTimer = [this](TObject* s) { AnimateTimerTimer(s); };

    // Device commands leave through the cloud socket during a session, else to a device on
    // the local configuration server (the window may be gone before the senders are).
    g_CloudFrameSender = [](const std::uint8_t* bytes, int len) {
        TCustomWinSocket* socket = Form1 ? Form1->CloudSocket() : nullptr;
        return socket ? socket->SendBuf(bytes, len) : -1;
    };
    g_ConfServerFrameSender = [](const std::uint8_t* bytes, int len) {
        return Form1 ? Form1->Send_gprs_data(bytes, len) : -1;
    };

    BuildCloudLoginBox();
    BuildAnimationPanel();
    BuildRemotePage();
    BuildServiceControls();
    InstallMemoryHooks();
}

void TForm1::BuildCloudLoginBox() {
    TWinControl* box = RABOX ? static_cast<TWinControl*>(RABOX) : TabSheet4;
    Caption(this, box, "IMEI:", 16, 36, 90);
    AIMEI = NewControl<TComboBox>(this, box, "AIMEI", 110, 32, 200, 22);
    AIMEI->OnChange = [this](TObject* s) { AIMEIChange(s); };
    Caption(this, box, "Пароль:", 16, 68, 90);
    APASS = Edit(this, box, "APASS", "", 110, 64, 200);
    Caption(this, box, "Описание:", 16, 100, 90);
    INFODEV = Edit(this, box, "INFODEV", "", 110, 96, 200);
    Button17 = Button(this, box, "Button17", "Добавить в группу", 16, 132, 180,
                      [this](TObject* s) { Button17Click(s); });
    Button18 = Button(this, box, "Button18", "Убрать из группы", 204, 132, 180,
                      [this](TObject* s) { Button18Click(s); });

    TWinControl* logBox = UiGroupBox21 ? static_cast<TWinControl*>(UiGroupBox21) : TabSheet4;
    Group_panel = NewControl<TUiGroupBox>(this, logBox, "Group_panel", 16, 24, 220, 120);
    Group_panel->SetCaption("Группа");
    Group_panel->SetVisible(false);
    Group_memo = NewControl<TMemo>(this, Group_panel, "Group_memo", 8, 20, 204, 92);
    Group_memo->SetReadOnly(true);
    Button15 = Button(this, logBox, "Button15", "Трафик сервера", 248, 24, 140,
                      [this](TObject* s) { Button15Click(s); });
}

void TForm1::BuildAnimationPanel() {
    AnimateConnectionPanel = NewControl<TUiPanel>(this, this, "AnimateConnectionPanel", 0, 0, 420,
                                               kAnimPanelHeight);
    AnimateConnectionPanel->SetVisible(false);
    TUiPanel* p = AnimateConnectionPanel;
    AnIm1 = Picture(this, p, "AnIm1", TAnimationPicture::Workstation, 20, 20, 64);
    AnIm2 = Picture(this, p, "AnIm2", TAnimationPicture::Cloud, 178, 20, 64);
    AnIm3 = Picture(this, p, "AnIm3", TAnimationPicture::Device, 336, 20, 64);
    AnL1 = NewControl<TLabel>(this, p, "AnL1", 110, 44, 40, 16);
    AnL1->SetCaption("...");
    AnL2 = NewControl<TLabel>(this, p, "AnL2", 268, 44, 40, 16);
    AnL2->SetCaption("...");
    AnCh1 = Picture(this, p, "AnCh1", TAnimationPicture::Tick, 114, 36, 32);
    AnUnCh1 = Picture(this, p, "AnUnCh1", TAnimationPicture::Cross, 114, 36, 32);
    AnCh2 = Picture(this, p, "AnCh2", TAnimationPicture::Tick, 272, 36, 32);
    AnUnCh2 = Picture(this, p, "AnUnCh2", TAnimationPicture::Cross, 272, 36, 32);
    AnMes = NewControl<TLabel>(this, p, "AnMes", 10, 100, 400, 96);
    AnMes->SetAlignment(taCenter);
    AnMes->SetWordWrap(true);
    AnMes->OnClick = [this](TObject* s) { AnMesClick(s); };
}

void TForm1::BuildRemotePage() {
    TWinControl* page = TabSheet3;
    TUiGroupBox* server = NewControl<TUiGroupBox>(this, page, "ConfServerBox", 16, 16, 400, 120);
    server->SetCaption("Сервер удалённой настройки");
    Caption(this, server, "Порт:", 16, 36, 60);
    RconfPort = Edit(this, server, "RconfPort", "12500", 80, 32, 80);
    RconfPort->SetMaxLength(5);
    Button1 = Button(this, server, "Button1", "Open", 176, 30, 100, [this](TObject* s) { Button1Click(s); });
    ConfServState = NewControl<TLabel>(this, server, "ConfServState", 16, 72, 370, 16);
    ConfServState->SetCaption("Порт закрыт");

    TUiGroupBox* rport = NewControl<TUiGroupBox>(this, page, "RPortBox", 16, 152, 400, 180);
    rport->SetCaption("Прозрачный порт через сервер");
    Caption(this, rport, "IP:", 16, 32, 80);
    RIP = Edit(this, rport, "RIP", "", 110, 28, 160);
    Caption(this, rport, "Порт:", 16, 60, 80);
    RPORT = Edit(this, rport, "RPORT", "", 110, 56, 160);
    Caption(this, rport, "Скорость:", 16, 88, 80);
    RBAUD = Edit(this, rport, "RBAUD", "", 110, 84, 160);
    Caption(this, rport, "Таймаут:", 16, 116, 80);
    RTOUT = Edit(this, rport, "RTOUT", "", 110, 112, 160);
    Button11 = Button(this, rport, "Button11", "Открыть", 280, 140, 100,
                      [this](TObject* s) { Button11Click(s); });
}

void TForm1::BuildServiceControls() {
    TWinControl* page = TabSheet8;
    TUiGroupBox* box = NewControl<TUiGroupBox>(this, page, "ServiceBox", 16, 16, 420, 330);
    box->SetCaption("Сервисные команды");
    Bdef = Button(this, box, "Bdef", "Дефрагментация памяти", 16, 28, 190, [this](TObject* s) { BdefClick(s); });
    Button8 = Button(this, box, "Button8", "Перезагрузка", 214, 28, 190, [this](TObject* s) { Button8Click(s); });
    Bupd = Button(this, box, "Bupd", "Обновить прошивку", 16, 64, 190, [this](TObject* s) { BupdClick(s); });
    BfactoryDefault = Button(this, box, "BfactoryDefault", "Заводские настройки", 214, 64, 190,
                             [this](TObject* s) { BfactoryDefaultClick(s); });
    UiButton9 = Button(this, box, "UiButton9", "Очистить память номеров", 16, 100, 190,
                       [this](TObject* s) { UiButton9Click(s); });
    SetNumberBaseButtonLook(UiButton9);
    SCConnect = Button(this, box, "SCConnect", "Тест Безопасный город", 214, 100, 190,
                       [this](TObject* s) { SCConnectClick(s); });
    Caption(this, box, "Номер для SMS:", 16, 146, 110);
    STSMS = Edit(this, box, "STSMS", "", 130, 142, 120);
    Button14 = Button(this, box, "Button14", "Номер СИМ", 260, 138, 144, [this](TObject* s) { Button14Click(s); });
    Caption(this, box, "Порт:", 16, 190, 60);
    TransPort = NewControl<TComboBox>(this, box, "TransPort", 80, 186, 100, 22);
    TransPort->GetItems()->AddStrings(std::vector<std::string>{"RS-485", "RS-232", "Wiegand"});
    TransPort->SetItemIndex(0);
    Caption(this, box, "Скорость:", 190, 190, 70);
    TransBaud = Edit(this, box, "TransBaud", "9600", 260, 186, 80);
    OpenTransPort = Button(this, box, "OpenTransPort", "Прозрачный порт", 16, 222, 190,
                           [this](TObject* s) { OpenTransPortClick(s); });

    // The output button sits on the status page beside the automatic registration.
    Bactout = Button(this, TabSheet2, "Bactout", "Активировать выход", 380, 424, 180,
                     [this](TObject* s) { BactoutClick(s); });

    // The camera photo button and the remote update's bar, unless the photo and firmware
    // pages placed their own.
    auto* photo = dynamic_cast<TUiButton*>(FindComponent("Bupdimage"));
    if (!photo) photo = Button(this, TabSheet2, "Bupdimage", "Фото с камеры", 570, 424, 180, nullptr);
    photo->OnClick = [this](TObject* s) { BupdimageClick(s); };
    if (!FindComponent("UPDPR")) {
        NewProgressBar(this, TabSheet2, "UPDPR", 380, 462, 370, 18)->SetVisible(false);
    }

    // Buttons other subsystems place; their handlers are the cable-or-cloud ones here.
    if (Bar) Bar->OnClick = [this](TObject* s) { BarClick(s); };
    if (Bdevice) Bdevice->OnClick = [this](TObject* s) { BdeviceClick(s); };
    if (Busers) Busers->OnClick = [this](TObject* s) { BusersClick(s); };
    if (Blog) Blog->OnClick = [this](TObject* s) { BlogClick(s); };
    if (BService) BService->OnClick = [this](TObject* s) { BServiceClick(s); };
    if (Bsetting && !Bsetting->OnClick) Bsetting->OnClick = [this](TObject* s) { BsettingClick(s); };
    if (Bshedl && !Bshedl->OnClick) Bshedl->OnClick = [this](TObject* s) { BshedlClick(s); };
    if (CloseSession) CloseSession->OnClick = [this](TObject* s) { CloseSessionClick(s); };
}
