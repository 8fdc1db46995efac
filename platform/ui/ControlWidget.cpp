#include "platform/ui/ControlWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
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
    QPainter p(this);
    p.setClipRegion(area);
    const QRect box = area.boundingRect();
    p.drawImage(box.topLeft(), image, box);
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

// ---- accessibility ---------------------------------------------------------------------

namespace {

QAccessible::Role QtRole(TAccessibleRole r) {
    switch (r) {
        case TAccessibleRole::Client: return QAccessible::Client;
        case TAccessibleRole::Window: return QAccessible::Window;
        case TAccessibleRole::Pane: return QAccessible::Pane;
        case TAccessibleRole::Grouping: return QAccessible::Grouping;
        case TAccessibleRole::PushButton: return QAccessible::Button;
        case TAccessibleRole::CheckBox: return QAccessible::CheckBox;
        case TAccessibleRole::RadioButton: return QAccessible::RadioButton;
        case TAccessibleRole::PageTab: return QAccessible::PageTab;
        case TAccessibleRole::PageTabList: return QAccessible::PageTabList;
        case TAccessibleRole::ProgressBar: return QAccessible::ProgressBar;
        case TAccessibleRole::StaticText: return QAccessible::StaticText;
        case TAccessibleRole::Graphic: return QAccessible::Graphic;
        case TAccessibleRole::Table: return QAccessible::Table;
        case TAccessibleRole::Cell: return QAccessible::Cell;
        case TAccessibleRole::Indicator: return QAccessible::Indicator;
    }
    return QAccessible::Client;
}

// Runs a query of accessibility (a screen reader asks often): an exception from the control's
// code reads as nothing to report and shows no message.
template <class F>
void Quietly(F&& fn) {
    try {
        fn();
    } catch (...) {
    }
}

TAccessibleInfo InfoOf(const TControl* c) {
    TAccessibleInfo info;
    Quietly([&] { info = c->GetAccessibleInfo(); });
    return info;
}

class TControlAccessible;

// One part of a composite control (a grid cell): no widget of its own; it asks the control
// for its text and place each time, so it stays right when the control changes.
class TItemAccessible : public QAccessibleInterface {
public:
    TItemAccessible(TControlAccessible* owner, int index) : FOwner(owner), FIndex(index) {}

    TControl* Control() const;
    bool isValid() const override {
        TControl* c = Control();
        return c && FIndex < ItemCount(c);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        TAccessibleInfo info = Info();
        if (t == QAccessible::Name) return QString::fromStdString(info.Name);
        if (t == QAccessible::Value) return QString::fromStdString(info.Value);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        TControl* c = Control();
        if (!isValid() || !c->GetWidget()) return {};
        TRect r;
        Quietly([&] { r = c->GetAccessibleItemRect(FIndex); });
        if (r.IsEmpty()) return {};
        QPoint g = c->GetWidget()->mapToGlobal(QPoint(r.Left, r.Top));
        return QRect(g, QSize(r.Width(), r.Height()));
    }
    QAccessible::Role role() const override { return isValid() ? QtRole(Info().Role) : QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        TAccessibleInfo info = Info();
        s.checkable = info.Checkable;
        s.checked = info.Checked;
        s.disabled = !info.Enabled;
        s.invisible = rect().isEmpty();
        return s;
    }
    int Index() const { return FIndex; }
    static int ItemCount(const TControl* c) {
        int n = 0;
        Quietly([&] { n = std::max(0, c->GetAccessibleItemCount()); });
        return n;
    }

private:
    TAccessibleInfo Info() const {
        TAccessibleInfo info;
        if (TControl* c = Control()) Quietly([&] { info = c->GetAccessibleItem(FIndex); });
        return info;
    }
    TControlAccessible* FOwner;
    int FIndex;
};

// Custom-painted controls speak through their GetAccessibleInfo and AccessiblePress; a
// composite one adds its parts after its child widgets.
class TControlAccessible : public QAccessibleWidget {
public:
    explicit TControlAccessible(QWidget* w) : QAccessibleWidget(w) {}
    ~TControlAccessible() override {
        for (QAccessible::Id id : std::as_const(FItems)) QAccessible::deleteAccessibleInterface(id);
    }

    TControl* Control() const { return ControlOf(object()); }

    int childCount() const override {
        TControl* c = Control();
        return QAccessibleWidget::childCount() + (c ? TItemAccessible::ItemCount(c) : 0);
    }
    QAccessibleInterface* child(int index) const override {
        int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        TControl* c = Control();
        int item = index - widgets;
        if (!c || item < 0 || item >= TItemAccessible::ItemCount(c)) return nullptr;
        auto it = FItems.find(item);
        if (it != FItems.end()) return QAccessible::accessibleInterface(*it);
        auto* iface = new TItemAccessible(const_cast<TControlAccessible*>(this), item);
        FItems.insert(item, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = FItems.begin(); it != FItems.end(); ++it)
            if (QAccessible::accessibleInterface(*it) == child) {
                const auto* item = static_cast<const TItemAccessible*>(child);
                return item->isValid() ? QAccessibleWidget::childCount() + item->Index() : -1;
            }
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessible::Role role() const override {
        TControl* c = Control();
        return c ? QtRole(InfoOf(c).Role) : QAccessibleWidget::role();
    }
    QString text(QAccessible::Text t) const override {
        TControl* c = Control();
        if (!c) return QAccessibleWidget::text(t);
        switch (t) {
            case QAccessible::Name: return QString::fromStdString(InfoOf(c).Name);
            case QAccessible::Description: return QString::fromStdString(c->GetName());
            case QAccessible::Value: return QString::fromStdString(InfoOf(c).Value);
            default: return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (TControl* c = Control()) {
            TAccessibleInfo info = InfoOf(c);
            s.checkable = info.Checkable;
            s.checked = info.Checked;
            s.disabled = !info.Enabled;
        }
        return s;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        TControl* c = Control();
        if (c && InfoOf(c).Pressable && !names.contains(pressAction())) names << pressAction();
        return names;
    }
    void doAction(const QString& name) override {
        TControl* c = Control();
        if (c && name == pressAction() && InfoOf(c).Pressable) {
            SafeCall([c] { c->AccessiblePress(); });
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    mutable QHash<int, QAccessible::Id> FItems;  // parts asked for so far
};

TControl* TItemAccessible::Control() const { return FOwner->Control(); }
QWindow* TItemAccessible::window() const { return FOwner->window(); }
QAccessibleInterface* TItemAccessible::parent() const { return FOwner; }

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* w = dynamic_cast<TControlWidget*>(object)) return new TControlAccessible(w);
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

void UpdateAccessibleTexts(TControl* control) {
    QWidget* w = control ? control->GetWidget() : nullptr;
    if (!w) return;
    w->setAccessibleDescription(QString::fromStdString(control->GetName()));
    std::string text = control->GetText();
    if (!text.empty()) w->setAccessibleName(QString::fromStdString(text));
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
