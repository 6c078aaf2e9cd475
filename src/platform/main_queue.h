// Closures handed to the main thread from any thread. They wait in a queue under
// a standard mutex and an event counter (eventfd) wakes the main thread's event
// loop, which runs them in order. No Qt object or event crosses threads, so the
// thread sanitizer sees every hand-over (it does not see Qt's own locks).
#pragma once

#include "platform/platform.h"

#include <QObject>

#include <deque>
#include <memory>
#include <mutex>

class QSocketNotifier;

namespace tw {

class MainQueue : public QObject {
    Q_OBJECT

public:
    // Create on the main thread.
    MainQueue();
    ~MainQueue() override;

    // Callable from any thread while this object exists.
    MainThreadExecutor executor();
    // Runs what is waiting now (main thread only).
    void drain();

private:
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> work;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
    int wakeFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_; // goes before the counter is closed
};

} // namespace tw
