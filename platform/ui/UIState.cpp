// The keyboard cues of a window. The window keeps them for all its controls: the keyboard used
// on any of them shows the cues on every one, and they stay shown.
#include <QWidget>

#include "platform/ui/Forms.h"

namespace {
void Broadcast(TControl* c) {
    c->UIStateChanged();
    if (auto* w = dynamic_cast<TWinControl*>(c))
        for (int i = 0; i < w->GetControlCount(); ++i) Broadcast(w->GetControl(i));
}
}  // namespace

unsigned TControl::QueryUIState() const {
    const TCustomForm* form = ::GetParentForm(this);
    return form ? form->GetUIState() : UISF_HIDEFOCUS | UISF_HIDEACCEL;
}

void TControl::ChangeUIState(int action, unsigned flags) {
    TCustomForm* form = ::GetParentForm(this);
    if (!form) return;
    unsigned state = form->GetUIState();
    if (action == UIS_SET) state |= flags;
    else if (action == UIS_CLEAR) state &= ~flags;
    form->SetUIState(state);
}

void TCustomForm::SetUIState(unsigned state) {
    state &= UISF_HIDEFOCUS | UISF_HIDEACCEL;
    if (state == FUIState) return;
    FUIState = state;
    // Qt's styles draw the focus of the wrapped widgets (check boxes, combo boxes, buttons) only
    // in a window where the keyboard has moved the focus.
    if (QWidget* w = GetWidget()) w->setAttribute(Qt::WA_KeyboardFocusChange, !(state & UISF_HIDEFOCUS));
    Broadcast(this);
}
