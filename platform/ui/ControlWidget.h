#pragma once
// Internal: the Qt side of a control. A control's own widget (TControlWidget) paints the
// control's off-screen image; a wrapped Qt widget gets an event filter instead. Both hand
// their input events to the control.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <functional>

#include "platform/ui/Controls.h"

namespace ui {

// Runs a handler; an exception that leaves it goes to the application's handler.
void SafeCall(const std::function<void()>& fn);

// Hands a widget's event to its control; an exception never crosses back into Qt.
bool DispatchToControl(TControl* control, QEvent* e);

// Marks a widget as busy while Qt is inside one of its events or signals and the layer runs
// handlers from there: a handler that frees the widget's control must not free the widget
// under Qt's feet.
class TBusyWidget {
public:
    explicit TBusyWidget(QWidget* widget);
    ~TBusyWidget();
    TBusyWidget(const TBusyWidget&) = delete;
    TBusyWidget& operator=(const TBusyWidget&) = delete;
};
// Frees a control's widget: now, or once Qt has left it when it (or a widget inside it) is
// busy; until then it is hidden and out of its parent.
void DisposeWidget(QWidget* widget);

// The control that owns a widget, or nullptr.
TControl* ControlOf(const QObject* widget);
void SetControlOf(QObject* widget, TControl* control);

class TControlWidget : public QWidget {
public:
    explicit TControlWidget(TControl* control, QWidget* parent = nullptr);
    TControl* control;
    QImage image;  // the control's off-screen image
    bool painting = false;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

class TControlEventFilter : public QObject {
public:
    explicit TControlEventFilter(TControl* control) : control(control) {}
    TControl* control;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// Accessibility bridge: installs the factory once.
void InstallAccessibility();
// Keeps a control's accessible name and description current.
void UpdateAccessibleTexts(TControl* control);

// Virtual key codes from Qt's keys and back.
Word VirtualKeyFromQt(int qtKey);
TShiftState ShiftFromQt(int modifiers, int buttons);

}  // namespace ui
