#pragma once
// A user's click on a control: a left press and release at its middle, sent to its widget as
// the window system would send them.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "platform/ui/Controls.h"

namespace testsupport {

inline void Click(TControl* control) {
    QWidget* w = control->GetWidget();
    const QPointF at(w->width() / 2, w->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

}  // namespace testsupport
