#include "platform/ui/Forms.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/sys/GuiThread.h"
#include "platform/sys/Timer.h"
#include "platform/ui/ControlWidget.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/PixelOps.h"
#include "platform/ui/QtStartFailure.h"

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->GetParent()) c = c->GetParent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

// ---- TCustomForm -----------------------------------------------------------------------

namespace {
// Every form that exists, so that a control being destroyed can be cleared from the form that
// tracks it even when its chain of parents is already coming apart.
std::vector<TCustomForm*>& LiveForms() {
    static std::vector<TCustomForm*> forms;
    return forms;
}
}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    LiveForms().push_back(this);
    SetColor(clBtnFace);
    TControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
    ApplyWindowFlags();
}

TCustomForm::~TCustomForm() {
    // OnDestroy must not reach parts of a derived form that are already gone: the application
    // frees its forms through BeforeDestruction. Here only the layer's own state is touched.
    FDestroyed = true;
    BeginDestroy();
    FActiveControl = nullptr;
    auto& forms = LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Application) Application->FormDestroyed(this);
}

void TCustomForm::ControlDestroying(TControl* control) {
    for (TCustomForm* form : LiveForms()) {
        if (form == control) {
            form->FActiveControl = nullptr;
            continue;
        }
        for (const TControl* c = form->FActiveControl; c; c = c->GetParent())
            if (c == control) {
                form->FActiveControl = nullptr;
                break;
            }
    }
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    ui::SafeCall([this] {
        if (OnCreate) OnCreate(this);
    });
}

void TCustomForm::BeforeDestruction() {
    if (FDestroyed) return;
    FDestroyed = true;
    ui::SafeCall([this] {
        if (OnDestroy) OnDestroy(this);
    });
    // Its timers stop with it: their steps reach into the form, whose parts go before they do.
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* timer = dynamic_cast<TTimer*>(GetComponent(i))) timer->SetEnabled(false);
}

void TCustomForm::ApplyWindowFlags() {
    QWidget* w = GetWidget();
    if (!w) return;
    Qt::WindowFlags f = Qt::Window;
    if (FBorderStyle == bsNone) f |= Qt::FramelessWindowHint;
    else if (FBorderStyle == bsDialog || FBorderStyle == bsSingle) f |= Qt::MSWindowsFixedSizeDialogHint;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) f |= Qt::Tool;
    if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    bool visible = w->isVisible();
    w->setWindowFlags(f);
    if (visible) w->show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
    if (s == FBorderStyle) return;
    FBorderStyle = s;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState s) {
    FWindowState = s;
    QWidget* w = GetWidget();
    if (!w || !w->isVisible()) return;
    if (s == wsMinimized) w->showMinimized();
    else if (s == wsMaximized) w->showMaximized();
    else w->showNormal();
}

void TCustomForm::CenterOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect g = screen->geometry();
    SetBounds(g.x() + (g.width() - GetWidth()) / 2, g.y() + (g.height() - GetHeight()) / 2, GetWidth(), GetHeight());
}

void TCustomForm::SetVisible(bool v) {
    QWidget* w = GetWidget();
    if (v) {
        bool first = !FShown;
        if (first && (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
                      FPosition == poOwnerFormCenter))
            CenterOnScreen();
        TControl::SetVisible(true);
        if (w) {
            w->setWindowTitle(QString::fromStdString(GetText()));
            w->setGeometry(GetLeft(), GetTop(), GetWidth(), GetHeight());
            if (FWindowState == wsMinimized) w->showMinimized();
            else if (FWindowState == wsMaximized) w->showMaximized();
            else w->show();
        }
        if (first) {
            FShown = true;
            ui::SafeCall([this] { DoShow(); });
        }
    } else {
        bool was = GetVisible();
        TControl::SetVisible(false);
        if (w) w->hide();
        if (was) ui::SafeCall([this] { DoHide(); });
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

bool TCustomForm::CloseQuery() {
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close() {
    if (FClosing) return;
    FClosing = true;
    TControlGuard alive(this);
    bool can = true;
    ui::SafeCall([&] { can = CloseQuery(); });
    if (!alive.Alive()) return;
    if (!can) {
        FClosing = false;
        return;
    }
    bool main = Application && Application->GetMainForm() == this;
    TCloseAction action = main ? caFree : caHide;
    ui::SafeCall([&] { FireEvent(OnClose, this, action); });
    if (!alive.Alive()) return;
    FClosing = false;
    if (action == caNone) return;
    if (FModal && FModalResult == mrNone) FModalResult = mrCancel;
    if (action == caMinimize) {
        SetWindowState(wsMinimized);
        return;
    }
    Hide();
    if (!alive.Alive()) return;
    if (Application) Application->FormClosed(this);
    if (action == caFree && !main) Release();
}

void TCustomForm::Release() {
    TControlGuard alive(this);
    sys::PostToGuiThread([this, alive] {
        if (!alive.Alive()) return;
        BeforeDestruction();
        if (alive.Alive()) delete this;
    });
}

TModalResult TCustomForm::ShowModal() {
    FModalResult = mrNone;
    FModal = true;
    if (QWidget* w = GetWidget()) w->setWindowModality(Qt::ApplicationModal);
    Show();
    TControlGuard alive(this);
    QEventLoop loop;
    while (alive.Alive() && FModalResult == mrNone && GetVisible()) {
        sys::ServeGuiCalls();
        if (!alive.Alive()) break;
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    // A handler inside the loop may have freed the form.
    if (!alive.Alive()) return mrCancel;
    if (GetVisible()) Hide();
    FModal = false;
    if (QWidget* w = GetWidget()) w->setWindowModality(Qt::NonModal);
    return FModalResult;
}

bool TCustomForm::GetActive() const {
    QWidget* w = GetWidget();
    return w && w->isActiveWindow();
}

void TCustomForm::BringToFront() {
    if (QWidget* w = GetWidget()) {
        w->raise();
        w->activateWindow();
    }
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    if (c == this) c = nullptr;
    if (c && ::GetParentForm(c) != this) return;
    TControlGuard alive(c);
    FocusControlChanged(c);
    if (c && alive.Alive())  // the enter handler may have freed it
        if (QWidget* w = c->GetWidget()) {
            if (w->focusPolicy() == Qt::NoFocus) w->setFocusPolicy(Qt::StrongFocus);
            w->setFocus(Qt::OtherFocusReason);
        }
}

void TCustomForm::FocusControlChanged(TWinControl* c) {
    if (c == FActiveControl) return;
    // A control on its way out never becomes active.
    if (c && !TControlGuard(c).Alive()) c = nullptr;
    TWinControl* prev = FActiveControl;
    FActiveControl = c;
    // The exit and enter handlers may free either control (or this form).
    TControlGuard self(this), prevAlive(prev), cAlive(c);
    if (prev && !FDestroyed && prevAlive.Alive()) {
        ui::SafeCall([&] {
            prev->DoExit();
            if (prevAlive.Alive()) prev->FocusChanged();
        });
        if (prevAlive.Alive()) prev->Invalidate();
    }
    if (!self.Alive()) return;
    if (c && FActiveControl == c && cAlive.Alive()) {
        ui::SafeCall([&] {
            c->DoEnter();
            if (cAlive.Alive()) c->FocusChanged();
        });
        if (cAlive.Alive()) c->Invalidate();
    }
}

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return;
    auto it = std::find(list.begin(), list.end(), current);
    long n = long(list.size());
    long start = it == list.end() ? (forward ? -1 : n) : long(it - list.begin());
    for (long k = 1; k <= n; ++k) {
        long i = ((start + (forward ? k : -k)) % n + n) % n;
        TWinControl* c = list[size_t(i)];
        if (c->GetTabStop() && c->CanFocus()) {
            SetActiveControl(c);
            return;
        }
    }
}

bool TCustomForm::TabKey(TWinControl* current, TShiftState Shift) {
    if (!current || current == this) current = FActiveControl;
    if (Shift.Contains(ssCtrl)) return DialogKey(VK_TAB, Shift);
    SelectNext(current, !Shift.Contains(ssShift));
    return true;
}

void TCustomForm::StartSystemMove() {
    QWidget* w = GetWidget();
    if (!w) return;
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    if (QWindow* win = w->windowHandle()) win->startSystemMove();
}

void TCustomForm::TextChanged() {
    if (QWidget* w = GetWidget()) w->setWindowTitle(QString::fromStdString(GetText()));
    TWinControl::TextChanged();
}

TAccessibleInfo TCustomForm::GetAccessibleInfo() const {
    TAccessibleInfo info = TWinControl::GetAccessibleInfo();
    info.Role = TAccessibleRole::Window;
    return info;
}

void TCustomForm::PaintWidgetImage(QImage& image, const TRegion& area) {
    TWinControl::PaintWidgetImage(image, area);
    if (OnPaint) OnPaint(this);
}

bool TCustomForm::HandleWidgetEvent(QEvent* e) {
    // A handler may free the form: the event is then taken, so Qt leaves the widget alone.
    TControlGuard alive(this);
    switch (e->type()) {
        case QEvent::Close: {
            // The window system's close goes through Close (OnCloseQuery, OnClose).
            e->ignore();
            if (!FClosing) Close();
            return true;
        }
        case QEvent::Resize: {
            QWidget* w = GetWidget();
            if (w && (w->width() != GetWidth() || w->height() != GetHeight()))
                TControl::SetBounds(GetLeft(), GetTop(), w->width(), w->height());
            return !alive.Alive();
        }
        case QEvent::Move: {
            QWidget* w = GetWidget();
            if (w && (w->x() != GetLeft() || w->y() != GetTop()))
                TControl::SetBounds(w->x(), w->y(), GetWidth(), GetHeight());
            return !alive.Alive();
        }
        case QEvent::WindowActivate:
            ui::SafeCall([this] { FireEvent(OnActivate, this); });
            return !alive.Alive();
        case QEvent::WindowDeactivate:
            ui::SafeCall([this] { FireEvent(OnDeactivate, this); });
            return !alive.Alive();
        case QEvent::WindowStateChange: {
            QWidget* w = GetWidget();
            if (w) FWindowState = w->isMinimized() ? wsMinimized : w->isMaximized() ? wsMaximized : wsNormal;
            return false;
        }
        default: return TWinControl::HandleWidgetEvent(e);
    }
}

// ---- TApplication ----------------------------------------------------------------------

namespace {
int g_argc = 1;
char g_arg0[] = "zentor";
char* g_argv[] = {g_arg0, nullptr};
std::unique_ptr<QApplication> g_qapp;
QEventLoop* g_loop = nullptr;  // the running message loop
}  // namespace

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen();

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    sys::SetExceptionHandler([this](std::exception_ptr e) { HandleException(e); });
}

TApplication::~TApplication() = default;

namespace {

// What Qt says while it connects to the display, held until it has connected or failed.
struct THeldMessage {
    QtMsgType Type;
    std::string Category;
    QString Text;
};
std::vector<THeldMessage> g_heldMessages;

// Qt ends with a core dump and its plugins' words when it cannot start; a person who started
// the tool from a terminal or a session without a display reads one line instead.
void HoldConnectMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        g_heldMessages.push_back({type, context.category ? context.category : "", text});
        return;
    }
    std::vector<std::string> said;
    for (const THeldMessage& m : g_heldMessages)
        if (m.Type != QtDebugMsg) said.push_back(m.Text.toStdString());
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    const std::string name = std::filesystem::path(Application->GetExeName()).filename().string();
    const std::string line = ui::QtStartFailureLine(name.empty() ? "zentor" : name, said, text.toStdString(),
                                                    {env("DISPLAY"), env("WAYLAND_DISPLAY"), env("QT_QPA_PLATFORM")});
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

void CreateQtApplication() {
    g_heldMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(HoldConnectMessage);
    g_qapp = std::make_unique<QApplication>(g_argc, g_argv);
    qInstallMessageHandler(previous);
    for (const THeldMessage& m : g_heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.Category.c_str());
        if (previous) previous(m.Type, context, m.Text);
        else qt_message_output(m.Type, context, m.Text);
    }
    g_heldMessages.clear();
}

}  // namespace

void TApplication::Initialize() {
    if (!QCoreApplication::instance()) CreateQtApplication();
    // The standard controls are drawn alike on every desktop, whatever its platform theme.
    if (QStyle* style = QStyleFactory::create("Fusion")) QApplication::setStyle(style);
    sys::SetGuiThread();
    RegisterApplicationFonts();
    sys::SetExceptionHandler([this](std::exception_ptr e) { HandleException(e); });
}

void TApplication::FormCreated(TCustomForm* form) {
    if (!FMainForm) FMainForm = form;
}

void TApplication::FormClosed(TCustomForm* form) {
    if (form == FMainForm && !FTerminated && FRunning) Terminate();
}

void TApplication::FormDestroyed(TCustomForm* form) {
    if (form != FMainForm) return;
    if (!FTerminated && FRunning) Terminate();
    FMainForm = nullptr;
}

void TApplication::Run() {
    if (!QCoreApplication::instance()) Initialize();
    FRunning = true;
    if (FMainForm && FShowMainForm && !FTerminated) FMainForm->Show();
    if (!FTerminated) {
        // Hand-overs from other threads wake this loop themselves (platform/sys posts to it).
        sys::ServeGuiCalls();
        QEventLoop loop;
        g_loop = &loop;
        // A hand-over served just now may already have ended the application.
        if (!FTerminated) loop.exec();
        g_loop = nullptr;
    }
    FRunning = false;
    // The run is over; a later one (a test repeated in one process) starts afresh.
    FTerminated = false;
    FreeForms();
}

void TApplication::FreeForms() {
    // Forms go in reverse order of creation, each told first. An OnDestroy handler may free
    // components itself (its own form included).
    while (GetComponentCount() > 0) {
        TComponent* c = GetComponent(GetComponentCount() - 1);
        if (auto* f = dynamic_cast<TCustomForm*>(c)) {
            f->BeforeDestruction();
            bool still = false;
            for (int i = 0; i < GetComponentCount(); ++i) still = still || GetComponent(i) == c;
            if (!still) continue;
        }
        if (c == FMainForm) FMainForm = nullptr;
        delete c;
    }
}

void TApplication::Finalize() {
    FreeForms();
    g_qapp.reset();
}

void TApplication::ProcessMessages() {
    sys::ServeGuiCalls();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::Terminate() {
    FTerminated = true;
    if (g_loop) g_loop->quit();
}

void TApplication::SetIcon(const std::vector<std::unique_ptr<TBitmap>>& sizes) {
    QIcon icon;
    for (const auto& image : sizes)
        if (image) icon.addPixmap(QPixmap::fromImage(image->GetImage()));
    QApplication::setWindowIcon(icon);
}

bool TApplication::HasIcon() const { return QCoreApplication::instance() && !QApplication::windowIcon().isNull(); }

std::string TApplication::GetExeName() const {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

void TApplication::ShowException(const std::exception& e) {
    std::string msg = e.what();
    // The library ends the message with a full stop unless it ends with one already.
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
    ::MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(std::exception_ptr e) {
    if (!e) return;
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        if (OnException) OnException(this, ex);
        else ShowException(ex);
    } catch (...) {
        std::runtime_error unknown("Unknown exception");
        if (OnException) OnException(this, unknown);
        else ShowException(unknown);
    }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
    return ::MessageBox(text, caption, flags);
}

// ---- TScreen ---------------------------------------------------------------------------

int TScreen::GetWidth() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::GetHeight() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

void TScreen::SetCursor(TCursor c) {
    if (c == FCursor) return;
    if (FCursor != crDefault) QApplication::restoreOverrideCursor();
    FCursor = c;
    if (c != crDefault) QApplication::setOverrideCursor(c == crHourGlass ? Qt::WaitCursor : Qt::ArrowCursor);
}

TCustomForm* TScreen::GetActiveForm() const {
    QWidget* w = QApplication::activeWindow();
    return w ? dynamic_cast<TCustomForm*>(ui::ControlOf(w)) : nullptr;
}
