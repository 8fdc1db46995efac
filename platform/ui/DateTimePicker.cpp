#include <QDateTimeEdit>
#include <cmath>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/ControlWidget.h"

namespace {

QDateTimeEdit* Edit(const TDateTimePicker* p) { return static_cast<QDateTimeEdit*>(p->GetWidget()); }

// Both sides count local wall time; no zone is involved.
QDateTime ToQt(TDateTime dt) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(dt, y, mo, d);
    DecodeTime(dt, h, mi, s, ms);
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

TDateTime FromQt(const QDateTime& q) {
    QDate d = q.date();
    QTime t = q.time();
    return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
}

}  // namespace

struct PickerSignals {
    static void Connect(TDateTimePicker* p) {
        QDateTimeEdit* e = Edit(p);
        QObject::connect(e, &QDateTimeEdit::dateTimeChanged, e, [p, e, alive = TControlGuard(p)](const QDateTime&) {
            if (!alive.Alive()) return;
            ui::TBusyWidget busy(e);
            ui::SafeCall([p] {
                if (p->OnChange && !p->IsLoading()) p->OnChange(p);
            });
        });
    }
};

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner, new QDateTimeEdit) {
    QDateTimeEdit* e = Edit(this);
    e->setCalendarPopup(true);
    e->setTimeSpec(Qt::LocalTime);
    e->setDisplayFormat("dd.MM.yyyy");
    e->setMinimumDateTime(QDateTime(QDate(1752, 9, 14), QTime(0, 0)));
    SetColor(clWindow);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 186, 21);
    PickerSignals::Connect(this);
}

TDateTime TDateTimePicker::GetDateTime() const { return FromQt(Edit(this)->dateTime()); }

void TDateTimePicker::SetDateTime(TDateTime dt) {
    QDateTimeEdit* e = Edit(this);
    const QSignalBlocker block(e);
    e->setDateTime(ToQt(dt));
}

TDateTime TDateTimePicker::GetDate() const { return DateOf(GetDateTime()); }
void TDateTimePicker::SetDate(TDateTime d) { SetDateTime(TDateTime(std::floor(double(d)) + double(TimeOf(GetDateTime())))); }
TDateTime TDateTimePicker::GetTime() const { return TimeOf(GetDateTime()); }
void TDateTimePicker::SetTime(TDateTime t) { SetDateTime(TDateTime(double(DateOf(GetDateTime())) + double(TimeOf(t)))); }

void TDateTimePicker::SetKind(TDateTimeKind k) {
    FKind = k;
    QDateTimeEdit* e = Edit(this);
    e->setDisplayFormat(k == dtkDate ? "dd.MM.yyyy" : "H:mm:ss");
    e->setCalendarPopup(k == dtkDate);
}

void TDateTimePicker::SetMinDate(TDateTime d) {
    FMinDate = d;
    if (double(d) != 0) Edit(this)->setMinimumDateTime(ToQt(d));
}

void TDateTimePicker::SetMaxDate(TDateTime d) {
    FMaxDate = d;
    if (double(d) != 0) Edit(this)->setMaximumDateTime(ToQt(d));
}
