// The shell's own controls: title panel, side panel with the page buttons and the action log,
// the nine pages, the message overlay, the news panel and the timers.
#include <memory>

#include "app/TitleIcons.h"
#include "app/FormBuild.h"
#include "app/ShellState.h"
#include "app/Unit1.h"

namespace {

TUiPanel* MakePanel(TForm1* owner, TWinControl* parent, const char* name, int l, int t, int w, int h) {
    TUiPanel* p = NewControl<TUiPanel>(owner, parent, name, l, t, w, h);
    p->SetCaption("");
    p->SetBorderOuter(fsNone);
    return p;
}

TLabel* MakeLabel(TForm1* owner, TWinControl* parent, const char* name, int l, int t, int w, int h,
                  const std::string& caption) {
    TLabel* label = NewControl<TLabel>(owner, parent, name, l, t, w, h);
    label->SetAutoSize(false);
    label->SetTransparent(true);
    label->SetCaption(caption);
    return label;
}

TUiButton* MakeButton(TForm1* owner, TWinControl* parent, const char* name, int l, int t, int w, int h,
                      const std::string& caption) {
    TUiButton* b = NewControl<TUiButton>(owner, parent, name, l, t, w, h);
    b->SetCaption(caption);
    return b;
}

TUiTabSheet* MakePage(TForm1* owner, TUiPageControl* control, const char* name, const std::string& caption) {
    TUiTabSheet* page = new TUiTabSheet(owner);
    page->SetName(name);
    page->SetPageControl(control);
    page->SetTabVisible(false);
    page->SetColor(clWhite);
    page->SetCaption(caption);
    return page;
}

std::unique_ptr<TBitmap> Picture(void (*draw)(TBitmap&)) {
    auto b = std::make_unique<TBitmap>();
    draw(*b);
    return b;
}

}  // namespace

void TForm1::BuildShellControls() {
    BuildTitlePanel();
    BuildSidePanel();
    BuildPages();
    BuildMessagePanel();
    TimerProgress = new TTimer(this);
    TimerProgress->SetName("TimerProgress");
    TimerProgress->SetInterval(1000);
    TimerProgress->OnTimer = [this](TObject* s) { TimerProgressTimer(s); };
    TimerProgress->OnDue = [] { return g_WaitTicks != 0 ? 1u : 0u; };
}

void TForm1::FinishShellControls() {
    // The news panel lies over the connection page's own controls, the overlay over all.
    BuildNewsPanel();
    MESPANEL->BringToFront();
}

void TForm1::BuildTitlePanel() {
    Panel9 = MakePanel(this, this, "Panel9", 0, 0, 1024, 18);
    Panel9->SetAlign(alTop);
    Panel9->SetColor(kTitleColor);
    Panel9->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        Panel9MouseDown(s, b, sh, x, y);
    };

    ProcPanel = NewControl<TPanel>(this, Panel9, "ProcPanel", 0, 0, 1, 18);
    ProcPanel->SetAlign(alLeft);
    ProcPanel->SetBevelOuter(bvNone);
    ProcPanel->SetColor(RGB(0, 160, 80));
    ProcPanel->GetFont()->SetColor(clWhite);
    ProcPanel->SetCaption("");
    ProcPanel->SetVisible(false);

    Panel22 = MakePanel(this, Panel9, "Panel22", 909, 0, 115, 18);
    Panel22->SetAlign(alRight);
    Panel22->SetColor(kTitleColor);

    FormCaption = MakeLabel(this, Panel9, "FormCaption", 8, 2, 480, 15, "");
    FormCaption->GetFont()->SetColor(kTitleTextColor);
    FormCaption->GetFont()->SetStyle(TFontStyles{fsBold});
    FormCaption->OnMouseDown = Panel9->OnMouseDown;

    ComPortDeviceCaption = MakeLabel(this, Panel9, "ComPortDeviceCaption", 500, 2, 390, 15, "");
    ComPortDeviceCaption->GetFont()->SetColor(kTitleTextColor);
    ComPortDeviceCaption->OnMouseDown = Panel9->OnMouseDown;
    // The strip covers the title while it shows.
    ProcPanel->BringToFront();

    ImageList3 = new TImageList(this);
    ImageList3->SetName("ImageList3");
    ImageList3->SetWidth(kTitleIconWidth);
    ImageList3->SetHeight(kTitleIconHeight);
    for (bool english : {false, true}) {
        TBitmap b;
        DrawLanguageIcon(b, english);
        ImageList3->Add(&b, nullptr);
    }

    auto icon = [this](const char* name, int left, TBitmap* picture) {
        TImage* image = NewControl<TImage>(this, Panel22, name, left, 0, kTitleIconWidth, kTitleIconHeight);
        image->SetPicture(*picture);
        image->SetShowHint(true);
        image->SetCursor(crHandPoint);
        return image;
    };
    TBitmap russian;
    ImageList3->GetBitmap(0, &russian);
    LangImage = icon("LangImage", 37, &russian);
    LangImage->SetHint("English");
    LangImage->OnClick = [this](TObject* s) { LangImageClick(s); };
    MinzImage = icon("MinzImage", 63, Picture(DrawMinimizeIcon).get());
    MinzImage->SetHint("Свернуть");
    MinzImage->OnClick = [this](TObject* s) { MinzImageClick(s); };
    CloseImage = icon("CloseImage", 89, Picture(DrawCloseIcon).get());
    CloseImage->SetHint("Закрыть");
    CloseImage->OnClick = [this](TObject* s) { CloseImageClick(s); };
}

void TForm1::BuildSidePanel() {
    PanelMenu = MakePanel(this, this, "PanelMenu", 0, 18, 157, 654);
    PanelMenu->SetAlign(alLeft);
    PanelMenu->SetColor(RGB(242, 244, 247));
    PanelMenu->SetBorderOuter(fsFlat);
    PanelMenu->SetBorderSides(TSides{sdRight});

    struct TButtonDesign {
        TUiButton** field;
        const char* name;
        const char* caption;
    };
    const TButtonDesign buttons[] = {
        {&Bdevice, "Bdevice", "Устройство"},   {&Busers, "Busers", "Пользователи"},
        {&Blog, "Blog", "Журнал"},             {&Bsetting, "Bsetting", "Настройки"},
        {&Bshedl, "Bshedl", "Расписания"},     {&BService, "BService", "Сервис"},
        {&CloseSession, "CloseSession", "Выход"},
    };
    int top = 12;
    for (const auto& b : buttons) {
        *b.field = MakeButton(this, PanelMenu, b.name, 10, top, 137, 34, b.caption);
        (*b.field)->SetEnabled(false);
        top += 42;
    }
    CloseSession->SetEnabled(true);
    CloseSession->SetVisible(false);

    // The action log is never cleared: its memo keeps a line in few bytes.
    MiniLOG = NewControl<TLogMemo>(this, PanelMenu, "MiniLOG", 6, top + 4, 145, 654 - top - 14);
    MiniLOG->SetScrollBars(ssVertical);
    MiniLOG->GetFont()->SetHeight(-11);
    MiniLOG->SetColor(clWhite);
}

void TForm1::BuildPages() {
    UiPageControl1 = NewControl<TUiPageControl>(this, this, "UiPageControl1", 157, 18, 867, 654);
    UiPageControl1->SetAlign(alClient);
    UiPageControl1->SetFlatColor(clWhite);
    UiPageControl1->SetFixedDimension(0);
    // With every tab hidden the control has nothing of its own to focus: Tab goes straight to
    // the shown page's controls (and Shift+Tab back out of them).
    UiPageControl1->SetTabStop(false);
    TabSheet1 = MakePage(this, UiPageControl1, "TabSheet1", "Настройки");
    TabSheet2 = MakePage(this, UiPageControl1, "TabSheet2", "Мониторинг состояния");
    TabSheet9 = MakePage(this, UiPageControl1, "TabSheet9", "Обновление ПО трэкера");
    TabSheet3 = MakePage(this, UiPageControl1, "TabSheet3", "Удаленное конфигурирование");
    TabSheet4 = MakePage(this, UiPageControl1, "TabSheet4", "Облачный сервис");
    TabSheet5 = MakePage(this, UiPageControl1, "TabSheet5", "Авторизованные номера");
    TabSheet6 = MakePage(this, UiPageControl1, "TabSheet6", "Журнал");
    TabSheet7 = MakePage(this, UiPageControl1, "TabSheet7", "Расписания");
    TabSheet8 = MakePage(this, UiPageControl1, "TabSheet8", "Сервис");
    // The design opens on the firmware page; the showing sequence then selects the connection page.
    UiPageControl1->SetActivePage(TabSheet9);
}

void TForm1::BuildMessagePanel() {
    MESPANEL = MakePanel(this, this, "MESPANEL", 251, 257, 521, 157);
    MESPANEL->SetBorderOuter(fsFlatBold);
    MESPANEL->SetColor(clWhite);
    MESPANEL->SetVisible(false);

    PageControlMes = NewControl<TUiPageControl>(this, MESPANEL, "PageControlMes", 2, 2, 517, 153);
    PageControlMes->SetAlign(alClient);
    PageControlMes->SetFlatColor(clWhite);
    PageControlMes->SetFixedDimension(0);
    PageControlMes->SetTabStop(false);
    MesSheetMessage = MakePage(this, PageControlMes, "MesSheetMessage", "Сообщение");
    MesSheetPassword = MakePage(this, PageControlMes, "MesSheetPassword", "Пароль");
    MesSheetQuestion = MakePage(this, PageControlMes, "MesSheetQuestion", "Вопрос");
    MesSheetWait = MakePage(this, PageControlMes, "MesSheetWait", "Ожидание");

    MESLABEL = MakeLabel(this, MesSheetMessage, "MESLABEL", 10, 8, 493, 88, "");
    MESLABEL->SetAlignment(taCenter);
    MESLABEL->SetLayout(tlCenter);
    MESLABEL->SetWordWrap(true);
    MESLABEL->GetFont()->SetHeight(-15);
    OKMES = MakeButton(this, MesSheetMessage, "OKMES", 208, 104, 100, 32, "ОК");
    OKMES->OnClick = [this](TObject* s) { OKMESClick(s); };

    Label20 = MakeLabel(this, MesSheetPassword, "Label20", 10, 14, 493, 22, "Введите пароль");
    Label20->SetAlignment(taCenter);
    Label20->GetFont()->SetHeight(-15);
    PassEdit = NewControl<TEdit>(this, MesSheetPassword, "PassEdit", 183, 50, 150, 24);
    PassEdit->SetPasswordChar('*');
    PassEdit->GetFont()->SetHeight(-15);
    PassEdit->OnKeyPress = [this](TObject* s, char& k) { PassEditKeyPress(s, k); };
    PassButOK = MakeButton(this, MesSheetPassword, "PassButOK", 148, 104, 100, 32, "ОК");
    PassButOK->OnClick = [this](TObject* s) { PassButOKClick(s); };
    Button2 = MakeButton(this, MesSheetPassword, "Button2", 268, 104, 100, 32, "Отмена");
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };

    Lprocess = MakeLabel(this, MesSheetWait, "Lprocess", 10, 14, 493, 50, "");
    Lprocess->SetAlignment(taCenter);
    Lprocess->SetLayout(tlCenter);
    Lprocess->SetWordWrap(true);
    Lprocess->GetFont()->SetHeight(-15);
    ProgressBar2 = NewProgressBar(this, MesSheetWait, "ProgressBar2", 58, 84, 400, 24);

    PageControlMes->SetActivePage(MesSheetMessage);
}

void TForm1::BuildNewsPanel() {
    Panel10 = MakePanel(this, TabSheet4, "Panel10", 5, 547, 844, 24);
    Panel10->SetBorderOuter(fsFlat);
    Panel10->SetColor(clWhite);
    Panel12 = MakePanel(this, Panel10, "Panel12", 1, 1, 842, 22);
    Panel12->SetAlign(alTop);
    Panel12->SetColor(RGB(242, 244, 247));
    Button19 = MakeButton(this, Panel12, "Button19", 818, 0, 22, 22, "X");
    Button19->SetAnchors(TAnchors{akTop, akRight});
    Button19->SetVisible(false);
    Button19->OnClick = [this](TObject* s) { Button19Click(s); };
    WebBrowser1 = NewControl<TWebBrowser>(this, Panel10, "WebBrowser1", 1, 23, 842, 0);
    WebBrowser1->SetAlign(alClient);
    WebBrowser1->OnDocumentComplete = [this](TObject* s, const std::string& url) {
        WebBrowser1DocumentComplete(s, url);
    };
    WebBrowser1->OnNavigateError = [this](TObject* s, const std::string& url, int status, bool& cancel) {
        WebBrowser1NavigateError(s, url, status, cancel);
    };
}
