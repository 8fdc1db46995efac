#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

namespace {
QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
}  // namespace

// ---- TButton ---------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, new QPushButton) {
    FQtClicks = true;
    SetColor(clBtnFace);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 75, 25);
    auto* b = static_cast<QPushButton*>(GetWidget());
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, b, [this, b, alive = TControlGuard(this)] {
        if (!alive.Alive()) return;
        ui::TBusyWidget busy(b);
        ui::SafeCall([this] { Click(); });
    });
}

void TButton::SetDefault(bool d) {
    FDefault = d;
    static_cast<QPushButton*>(GetWidget())->setDefault(d);
}

void TButton::UpdateWidgetText() { static_cast<QPushButton*>(GetWidget())->setText(Q(GetText())); }

void TButton::Click() {
    if (FModalResult != 0)
        if (TCustomForm* f = GetParentForm()) f->SetModalResult(FModalResult);
    TWinControl::Click();
}

bool TButton::DialogKey(Word Key, TShiftState Shift) {
    if (!Shift.Empty() || (Key != VK_RETURN && Key != VK_ESCAPE)) return false;
    bool active = FDefault;
    if (TCustomForm* form = GetParentForm())
        if (TWinControl* focused = form->GetActiveControl(); dynamic_cast<TButton*>(focused))
            active = focused == this;
    if (!((Key == VK_RETURN && active) || (Key == VK_ESCAPE && FCancel)) || !CanFocus()) return false;
    Click();
    return true;
}

TAccessibleInfo TButton::GetAccessibleInfo() const {
    TAccessibleInfo info = TWinControl::GetAccessibleInfo();
    info.Role = TAccessibleRole::PushButton;
    info.Action = TAccessibleAction::Press;
    return info;
}

// ---- TCheckBox -------------------------------------------------------------------------

// Qt moves its own box on a click, on Space and on the accessibility Toggle alike (the last
// without a clicked signal); whatever moved it, the box's state follows ours: Qt's is put
// back and our toggle decides, raising OnClick.
struct CheckSignals {
    static void Connect(TCheckBox* c) {
        auto* b = static_cast<QCheckBox*>(c->GetWidget());
        QObject::connect(b, &QCheckBox::stateChanged, b, [c, b, alive = TControlGuard(c)](int) {
            if (!alive.Alive()) return;
            ui::TBusyWidget busy(b);
            c->ShowState();
            ui::SafeCall([c] { c->Toggle(); });
        });
    }
};

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, new QCheckBox) {
    FQtClicks = true;
    SetColor(clBtnFace);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 97, 17);
    CheckSignals::Connect(this);
}

void TCheckBox::SetState(TCheckBoxState s) {
    if (s == FState) return;
    FState = s;
    ShowState();
    ui::UpdateAccessibleTexts(this);
    if (!IsLoading()) Click();
}

void TCheckBox::ShowState() {
    auto* b = static_cast<QCheckBox*>(GetWidget());
    const QSignalBlocker block(b);
    if (FState == cbGrayed) b->setTristate(true);
    b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

void TCheckBox::Toggle() {
    switch (FState) {
        case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
    }
}

void TCheckBox::SetAllowGrayed(bool a) {
    FAllowGrayed = a;
    static_cast<QCheckBox*>(GetWidget())->setTristate(a || FState == cbGrayed);
}

void TCheckBox::SetAlignment(TAlignment a) {
    FAlignment = a;
    GetWidget()->setLayoutDirection(a == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::UpdateWidgetText() { static_cast<QCheckBox*>(GetWidget())->setText(Q(GetText())); }

// ---- TRadioButton ----------------------------------------------------------------------

// As for the check box: whatever checked or unchecked Qt's button, ours decides. A checked
// radio button stays checked; an unchecked one becomes checked and raises OnClick.
struct RadioSignals {
    static void Connect(TRadioButton* r) {
        auto* b = static_cast<QRadioButton*>(r->GetWidget());
        b->setAutoExclusive(false);  // the group is kept here, by parent
        QObject::connect(b, &QRadioButton::toggled, b, [r, b, alive = TControlGuard(r)](bool checked) {
            if (!alive.Alive()) return;
            ui::TBusyWidget busy(b);
            {
                const QSignalBlocker block(b);
                b->setChecked(r->FChecked);
            }
            if (checked) ui::SafeCall([r] { r->SetChecked(true); });
        });
    }
};

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner, new QRadioButton) {
    FQtClicks = true;
    SetColor(clBtnFace);
    ApplyWidgetFont();
    SetBounds(0, 0, 113, 17);
    RadioSignals::Connect(this);
}

void TRadioButton::SetChecked(bool c) {
    if (c == FChecked) return;
    FChecked = c;
    SetTabStop(c);
    {
        auto* b = static_cast<QRadioButton*>(GetWidget());
        const QSignalBlocker block(b);
        b->setChecked(c);
    }
    ui::UpdateAccessibleTexts(this);
    if (!c) return;
    if (TWinControl* p = GetParent())
        for (int i = 0; i < p->GetControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(p->GetControl(i)); other && other != this)
                other->SetChecked(false);
    if (!IsLoading()) Click();
}

void TRadioButton::UpdateWidgetText() { static_cast<QRadioButton*>(GetWidget())->setText(Q(GetText())); }
