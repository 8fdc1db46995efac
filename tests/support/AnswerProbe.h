#pragma once
// How long the window takes to answer: from construction to destruction another thread posts
// an event every few milliseconds, and the longest any waited to be handled is kept.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <atomic>
#include <chrono>
#include <thread>

namespace testsupport {

class TAnswerProbe : public QObject {
public:
    TAnswerProbe()
        : FPoster([this] {
              while (!FStop) {
                  QCoreApplication::postEvent(this, new TStamped);
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~TAnswerProbe() override {
        FStop = true;
        FPoster.join();
        QCoreApplication::removePostedEvents(this);
    }
    TAnswerProbe(const TAnswerProbe&) = delete;
    TAnswerProbe& operator=(const TAnswerProbe&) = delete;

    double LongestMs() {
        // What is still waiting counts too.
        QCoreApplication::sendPostedEvents(this, QEvent::User);
        return FLongest;
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        const auto waited = std::chrono::steady_clock::now() - static_cast<TStamped*>(e)->Sent;
        const double ms = std::chrono::duration<double, std::milli>(waited).count();
        if (ms > FLongest) FLongest = ms;
        return true;
    }

private:
    struct TStamped : QEvent {
        TStamped() : QEvent(QEvent::User) {}
        std::chrono::steady_clock::time_point Sent = std::chrono::steady_clock::now();
    };
    double FLongest = 0;
    std::atomic<bool> FStop{false};
    std::thread FPoster;
};

}  // namespace testsupport
