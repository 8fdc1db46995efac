#include "platform/ui/ControlWidget.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <vector>

#include "platform/sys/GuiThread.h"
#include "platform/ui/PaintArea.h"

namespace ui {

void SafeCall(const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
}

namespace {
const char* const kControlProperty = "zentorControl";
}

TControl* ControlOf(const QObject* widget) {
    if (!widget) return nullptr;
    QVariant v = widget->property(kControlProperty);
    return v.isValid() ? reinterpret_cast<TControl*>(v.value<quintptr>()) : nullptr;
}

void SetControlOf(QObject* widget, TControl* control) {
    if (widget) widget->setProperty(kControlProperty, QVariant::fromValue(reinterpret_cast<quintptr>(control)));
}

TControlWidget::TControlWidget(TControl* c, QWidget* parent) : QWidget(parent), control(c) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

bool TControlWidget::event(QEvent* e) {
    if (control && DispatchToControl(control, e)) return true;
    return QWidget::event(e);
}

// Only what Qt asks for is painted and copied: the image keeps the rest from earlier paints.
void TControlWidget::paintEvent(QPaintEvent* e) {
    if (!control || painting) return;
    QRegion area = e->region();
    if (image.width() != width() || image.height() != height()) {
        image = QImage(std::max(width(), 0), std::max(height(), 0), QImage::Format_ARGB32_Premultiplied);
        image.fill(0u);
        area = image.rect();
    }
    area &= image.rect();
    if (image.isNull() || area.isEmpty()) return;
    painting = true;
    TControl* c = control;
    {
        TBusyWidget busy(this);
        SafeCall([&] { c->PaintWidgetImage(image, ToTRegion(area)); });
    }
    painting = false;
    if (!control) return;  // a paint handler freed the control
    ShowImage(*this, image, area);
}

namespace {
std::vector<QPointer<QWidget>>& BusyWidgets() {
    static std::vector<QPointer<QWidget>> busy;
    return busy;
}
}  // namespace

TBusyWidget::TBusyWidget(QWidget* widget) { BusyWidgets().emplace_back(widget); }
TBusyWidget::~TBusyWidget() { BusyWidgets().pop_back(); }

void DisposeWidget(QWidget* widget) {
    if (!widget) return;
    bool busy = false;
    for (const QPointer<QWidget>& b : BusyWidgets())
        busy = busy || (b && (b == widget || widget->isAncestorOf(b)));
    if (!busy) {
        delete widget;
        return;
    }
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

bool DispatchToControl(TControl* control, QEvent* e) {
    TBusyWidget busy(control->GetWidget());
    // No exception may cross back into Qt: whatever a control's own event code throws is
    // shown by the application, and the event counts as taken.
    try {
        return control->HandleWidgetEvent(e);
    } catch (...) {
        sys::HandleException(std::current_exception());
        return true;
    }
}

bool TControlEventFilter::eventFilter(QObject* watched, QEvent* e) {
    if (control && watched == control->GetWidget()) return DispatchToControl(control, e);
    return false;
}

// ---- keys ------------------------------------------------------------------------------

Word VirtualKeyFromQt(int k) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return Word('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return Word('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return Word(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt: return VK_MENU;
        case Qt::Key_Pause: return VK_PAUSE;
        case Qt::Key_CapsLock: return VK_CAPITAL;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Print: return VK_SNAPSHOT;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Help: return VK_HELP;
        case Qt::Key_Meta: return VK_LWIN;
        case Qt::Key_Menu: return VK_APPS;
        case Qt::Key_NumLock: return VK_NUMLOCK;
        case Qt::Key_ScrollLock: return VK_SCROLL;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return 0xBD;
        case Qt::Key_Period: return 0xBE;
        case Qt::Key_Comma: return 0xBC;
        case Qt::Key_Slash: return 0xBF;
        case Qt::Key_Semicolon: return 0xBA;
        case Qt::Key_Equal: return 0xBB;
        default: return 0;
    }
}

TShiftState ShiftFromQt(int modifiers, int buttons) {
    TShiftState s;
    if (modifiers & Qt::ShiftModifier) s.Include(ssShift);
    if (modifiers & Qt::AltModifier) s.Include(ssAlt);
    if (modifiers & Qt::ControlModifier) s.Include(ssCtrl);
    if (buttons & Qt::LeftButton) s.Include(ssLeft);
    if (buttons & Qt::RightButton) s.Include(ssRight);
    if (buttons & Qt::MiddleButton) s.Include(ssMiddle);
    return s;
}

}  // namespace ui
