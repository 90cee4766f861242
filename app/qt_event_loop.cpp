#include "app/qt_event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace warenkai {

void QtEventLoop::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void QtEventLoop::Pause(std::chrono::milliseconds duration) {
    if (duration <= std::chrono::milliseconds::zero()) {
        QCoreApplication::processEvents();
        return;
    }
    // A local event loop sleeps in the system until an event or the timer arrives.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(duration);
    loop.exec();
}

std::chrono::steady_clock::time_point QtEventLoop::Now() const {
    return std::chrono::steady_clock::now();
}

}  // namespace warenkai
