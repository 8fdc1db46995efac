#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

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

void Click(TControl* control) {
    QWidget* w = control ? control->GetWidget() : nullptr;
    if (!w) return;
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

std::string TempDir(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("zentor-test-" + std::to_string(getpid())) / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string();
}

}  // namespace testsupport
