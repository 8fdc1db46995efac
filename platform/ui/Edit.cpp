#include <QLineEdit>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/StdCtrls.h"

namespace {
QLineEdit* Line(const TEdit* e) { return static_cast<QLineEdit*>(e->GetWidget()); }
QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
}  // namespace

struct EditSignals {
    static void Connect(TEdit* e) {
        QLineEdit* w = Line(e);
        // The edit's OnChange may free it while Qt is still reporting the change.
        QObject::connect(w, &QLineEdit::textChanged, w, [e, w, alive = TControlGuard(e)](const QString&) {
            if (!alive.Alive()) return;
            ui::TBusyWidget busy(w);
            ui::SafeCall([e] { e->Change(); });
        });
        QObject::connect(w, &QLineEdit::textEdited, w, [e, w, alive = TControlGuard(e)](const QString& now) {
            if (!alive.Alive()) return;
            ui::SafeCall([&] {
                e->FModified = true;
                std::string kept = e->FilterTyped(e->FLastText, now.toStdString());
                if (kept != now.toStdString()) {
                    // A paste that would pass the limit is undone.
                    const QSignalBlocker block(w);
                    w->setText(Q(kept));
                }
                e->FLastText = kept;
            });
        });
    }
};

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner, new QLineEdit) {
    SetColor(clWindow);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 121, 21);
    EditSignals::Connect(this);
}

std::string TEdit::GetText() const { return Line(this)->text().toStdString(); }

void TEdit::SetText(const std::string& s) {
    if (s == GetText()) return;
    FLastText = s;
    Line(this)->setText(Q(s));  // textChanged raises OnChange
    ui::UpdateAccessibleTexts(this);
}

std::string TEdit::FilterTyped(const std::string& before, const std::string& typed) const {
    if (FMaxLength > 0 && Q(typed).size() > FMaxLength && Q(typed).size() > Q(before).size()) return before;
    return typed;
}

void TEdit::SetPasswordChar(char c) {
    FPasswordChar = c;
    Line(this)->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
}

bool TEdit::GetReadOnly() const { return Line(this)->isReadOnly(); }
void TEdit::SetReadOnly(bool r) { Line(this)->setReadOnly(r); }

void TEdit::SetAlignment(TAlignment a) {
    FAlignment = a;
    Line(this)->setAlignment(a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
}

int TEdit::GetSelStart() const {
    QLineEdit* w = Line(this);
    return w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
}
void TEdit::SetSelStart(int s) { Line(this)->setCursorPosition(s); }
int TEdit::GetSelLength() const { return int(Line(this)->selectedText().size()); }
void TEdit::SetSelLength(int n) { Line(this)->setSelection(GetSelStart(), n); }
void TEdit::SelectAll() { Line(this)->selectAll(); }

void TEdit::Change() {
    if (IsLoading()) return;
    if (OnChange) OnChange(this);
}

void TEdit::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
}

bool TEdit::AcceptTyping(const std::string& text) {
    if (GetReadOnly()) return true;
    if (FNumbersOnly) {
        for (char ch : text)
            if (ch < '0' || ch > '9') return false;
    }
    if (FMaxLength > 0) {
        QLineEdit* w = Line(this);
        qsizetype after = w->text().size() - w->selectedText().size() + Q(text).size();
        if (after > FMaxLength) return false;
    }
    return true;
}
