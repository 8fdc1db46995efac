#pragma once
// Real input for the tests: keys as a keyboard layout sends them (the key's code and the text
// it carries, Cyrillic letters and shifted signs included) and mouse clicks, delivered to a
// widget the way the window system delivers them.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace realinput {

// Makes a shown window the active one, as the window system does when it comes up; keys
// then go to the widget with the focus.
inline bool Activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window, 5000);
}

// The widget that has the keyboard focus now.
inline QWidget* Focus() { return QApplication::focusWidget(); }

// Qt's code for the key that types ch: letters and digits by their key, other characters by
// their own code (a Cyrillic letter by its capital), signs of the upper row with Shift.
inline void KeyOf(QChar ch, Qt::Key& key, Qt::KeyboardModifiers& mods) {
    mods = Qt::NoModifier;
    const char16_t u = ch.toUpper().unicode();
    key = Qt::Key(u);
    if (ch.isUpper() || QString("~!@#$%^&*()_+{}|:\"<>?").contains(ch)) mods = Qt::ShiftModifier;
}

// Types text into whatever has the focus, each character a press and a release carrying
// it, as the window system delivers them (the focus may move while typing).
inline void Type(const QString& text) {
    for (QChar ch : text) {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        KeyOf(ch, key, mods);
        QTest::sendKeyEvent(QTest::Press, Focus(), key, QString(ch), mods);
        QTest::sendKeyEvent(QTest::Release, Focus(), key, QString(ch), mods);
    }
}

// One key (Tab, an arrow, Enter) pressed and released on whatever has the focus.
inline void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::sendKeyEvent(QTest::Press, Focus(), key, QTest::keyToAscii(key), mods);
    QTest::sendKeyEvent(QTest::Release, Focus(), key, QTest::keyToAscii(key), mods);
}

// A click at the middle of the widget as the window system delivers it: to whatever lies on
// top there, which is the widget only when nothing covers it.
inline void ClickThroughWindow(QWidget* w) {
    QWidget* window = w->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, w->mapTo(window, w->rect().center()));
}

// A double click as the window system sends it: press, release, press, double click, release.
inline void DoubleClick(QWidget* w, QPoint at) {
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at);
}

// What a user meets in the next modal box, read from inside its loop once it is up: the names
// of its buttons as a screen reader says them (sorted). answer then acts on it, with keys on
// the box's focused button (BoxKey): the box is the active window by then.
inline void OnNextBox(QStringList& buttons, std::function<void(QWidget* box)> answer) {
    QMetaObject::invokeMethod(
        qApp,
        [&buttons, answer] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            if (!Activate(box)) {
                box->close();  // the test fails on what it reads rather than hanging
                return;
            }
            for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
                buttons << QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
            std::sort(buttons.begin(), buttons.end());
            answer(box);
        },
        Qt::QueuedConnection);
}

// A key pressed and released on the box's focused control (the press may close the box).
inline void BoxKey(QWidget* box, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(box->focusWidget(), key, mods);
}

}  // namespace realinput
