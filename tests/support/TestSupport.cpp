#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "platform/sys/GuiThread.h"

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

void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

std::string TempDir(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("zentor-test-" + std::to_string(getpid())) / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string();
}

}  // namespace testsupport
