// How a key reaches the focused control: the form's preview, the control's key-down, the
// form's own keys (Tab, the arrows between buttons, Enter and Escape for its buttons), the
// typed character and the accelerators. A key event never climbs to the parents' widgets:
// the form library gives keys to the focused control only.
#include <QKeyEvent>

#include "platform/rtl/CodePage.h"
#include "platform/ui/ControlWidget.h"
#include "platform/ui/Forms.h"

namespace {

bool IsArrow(Word key) { return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN; }

// The typed character as the key-press event carries it: its Windows-1251 byte, "?" when it
// has none. A character that needs more than one code point has no byte of its own.
bool KeyPressChar(const QString& text, char& ch) {
    const QList<uint> points = text.toUcs4();
    if (points.size() != 1) return false;
    const uint cp = points[0];
    if (cp < 0x80) {
        ch = char(cp);
        return true;
    }
    if (!QChar::isPrint(char32_t(cp))) return false;
    const int b = UnicodeToCp1251(char32_t(cp));
    ch = b < 0 ? '?' : char(b);
    return true;
}

// Alt and a letter: the first control on the form that takes it as its accelerator.
bool OfferAccelerator(TWinControl* parent, char ch) {
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* c = parent->GetControl(i);
        if (!c->GetVisible() || !c->GetEnabled()) continue;
        if (c->DialogChar(ch)) return true;  // the taker may have changed the controls
        if (auto* w = dynamic_cast<TWinControl*>(c); w && OfferAccelerator(w, ch)) return true;
    }
    return false;
}

QString TextOfChar(char ch) {
    return QString(QChar(char16_t(Cp1251ToUnicode(static_cast<unsigned char>(ch)))));
}

}  // namespace

bool TControl::HandleKeyEvent(QKeyEvent* ke) {
    auto* win = static_cast<TWinControl*>(this);
    QWidget* widget = GetWidget();
    const bool custom = dynamic_cast<ui::TControlWidget*>(widget) != nullptr;
    TControlGuard alive(this);
    // A key with no virtual-key code (a Cyrillic letter, most signs) raises no key-down or
    // key-up, but is never dropped for that: its character still reaches the control.
    Word key = ui::VirtualKeyFromQt(ke->key());
    const bool hasKey = key != 0;
    TShiftState shift = ui::ShiftFromQt(int(ke->modifiers()), 0);
    if (ke->key() == Qt::Key_Backtab) shift.Include(ssShift);
    TCustomForm* form = GetParentForm();
    const bool preview = form && form != win && form->GetKeyPreview();
    bool taken = false;

    if (ke->type() == QEvent::KeyRelease) {
        if (hasKey && !ke->isAutoRepeat()) {
            ui::SafeCall([&] {
                if (preview) form->KeyUp(key, shift);
                if (key && alive.Alive()) win->KeyUp(key, shift);
            });
            taken = key == 0;
        }
    } else {
        // Moving about with the keyboard shows the window's focus cues.
        if (key == VK_TAB || IsArrow(key)) ChangeUIState(UIS_CLEAR, UISF_HIDEFOCUS);
        const QString text = ke->text();
        ui::SafeCall([&] {
            if (preview && hasKey) form->KeyDown(key, shift);
            if (!alive.Alive() || (hasKey && key == 0)) {
                taken = true;
                return;
            }
            if (!text.isEmpty() && text[0].isPrint() && !shift.Contains(ssCtrl) && !AcceptTyping(text.toStdString())) {
                taken = true;
                return;
            }
            if (hasKey) win->KeyDown(key, shift);
            if (!alive.Alive() || (hasKey && key == 0)) {
                taken = true;
                return;
            }
            const bool alt = shift.Contains(ssAlt);
            if (form && !alt && key == VK_TAB && !win->WantsSpecialKey(VK_TAB)) {
                taken = form->TabKey(win, shift) || !alive.Alive();
                if (taken || shift.Contains(ssCtrl)) return;
            }
            // A painted control that leaves the arrows alone hands them to the form, which
            // moves the focus to the tab stop beside it (the page buttons in their column).
            if (custom && !alt && IsArrow(key) && !win->WantsSpecialKey(key) && GetParent()) {
                taken = GetParent()->SelectNextChild(win, key == VK_RIGHT || key == VK_DOWN);
                if (taken) return;
            }
            // The focused control had first refusal; the form offers Enter to its default
            // button and Escape to its cancel button.
            if ((key == VK_RETURN || key == VK_ESCAPE) && form && !win->WantsSpecialKey(key) &&
                (form->DialogKey(key, shift) || !alive.Alive())) {
                taken = true;
                return;
            }
            char ch = 0;
            if (!alt && KeyPressChar(text, ch)) {
                const char before = ch;
                if (preview) form->KeyPress(ch);
                if (ch && alive.Alive()) win->KeyPress(ch);
                if (!alive.Alive()) return;
                if (ch == 0) {
                    taken = true;
                } else if (ch != before && !custom && widget) {
                    // A handler replaced the character: the wrapped widget gets the new one,
                    // past this filter (the handlers have seen it).
                    QKeyEvent replaced(QEvent::KeyPress, 0, ke->modifiers(), TextOfChar(ch));
                    static_cast<QObject*>(widget)->event(&replaced);
                    taken = true;
                }
            }
            if (!taken && alt && form && key >= '0' && key <= 'Z') taken = OfferAccelerator(form, char(key));
        });
    }
    if (!alive.Alive()) return true;
    if (taken || custom) return true;
    // The wrapped widget still sees the key, but one it ignores must not climb to the
    // parents' widgets: each would run the key through its own control again.
    if (widget) static_cast<QObject*>(widget)->event(ke);
    ke->accept();
    return true;
}
