#pragma once
// What a user does to a control, delivered the way the user's tools deliver it.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QWidget>

#include "platform/ui/Controls.h"

namespace testsupport {

// The accessibility Press action of a button, as a screen reader or a keyboard tool gives it.
inline bool Press(TControl* control) {
    QAccessibleInterface* acc = control ? QAccessible::queryAccessibleInterface(control->GetWidget()) : nullptr;
    QAccessibleActionInterface* act = acc ? acc->actionInterface() : nullptr;
    if (!act || !act->actionNames().contains(QAccessibleActionInterface::pressAction())) return false;
    act->doAction(QAccessibleActionInterface::pressAction());
    return true;
}

}  // namespace testsupport
