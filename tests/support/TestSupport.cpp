#include "support/TestSupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Controls.h"

namespace testsupport {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        sys::ServeGuiCalls();
        QCoreApplication::processEvents();
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Pump(int ms) {
    WaitUntil([] { return false; }, ms);
}

long long RunClockAlong(const std::function<bool()>& done, long long limitMs) {
    const auto start = std::chrono::steady_clock::now();
    long long clock = 0;
    for (;;) {
        sys::ServeGuiCalls();
        QCoreApplication::processEvents();
        if (done()) return clock;
        if (clock >= limitMs) return -1;
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (clock + 10 <= wall.count()) {
            sys::AdvanceMs(10);
            clock += 10;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void Click(TControl* control) {
    if (QWidget* w = control ? control->GetWidget() : nullptr) Click(w);
}

void KeyClick(QWidget* widget, int qtKey, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

void AccessibleAction(QWidget* widget, const QString& action) {
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(widget);
    QAccessibleActionInterface* act = acc ? acc->actionInterface() : nullptr;
    ASSERT_NE(act, nullptr);
    ASSERT_FALSE(act->actionNames().isEmpty());
    const QString name = action.isEmpty() ? act->actionNames().front() : action;
    ASSERT_TRUE(act->actionNames().contains(name)) << name.toStdString();
    act->doAction(name);
}

TEnvGuard::~TEnvGuard() {
    for (auto& [name, old] : FSaved) {
        if (old.first) setenv(name.c_str(), old.second.c_str(), 1);
        else unsetenv(name.c_str());
    }
}

void TEnvGuard::Set(const char* name, const char* value) {
    if (!FSaved.count(name)) {
        const char* v = std::getenv(name);
        FSaved[name] = {v != nullptr, v ? v : ""};
    }
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

void QuietWindowEnvironment(TEnvGuard& env) {
    env.Set("ZENTOR_NEWS_URL", "about:blank");
    env.Set("ZENTOR_ONLINE", "0");
    env.Set("ZENTOR_PORTS", "");
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TempDir(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("zentor-test-" + std::to_string(getpid())) / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string();
}

}  // namespace testsupport
