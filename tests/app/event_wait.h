// Runs the main thread's event loop until a condition holds or a time runs out.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace tw::test {

inline bool waitUntil(const std::function<bool()>& condition, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Lets queued events and short timers run for a while.
inline void spin(int milliseconds) {
    waitUntil([] { return false; }, milliseconds);
}

} // namespace tw::test
