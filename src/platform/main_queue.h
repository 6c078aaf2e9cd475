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
    // Closes the queue (below).
    ~MainQueue() override;

    // Callable from any thread, also after the queue is closed or gone: work posted
    // then is dropped (destroyed in the posting thread), never run.
    MainThreadExecutor executor();
    // Runs what is waiting now (main thread only).
    void drain();
    // Stops taking work, drops what waits and closes the event counter, in that
    // order and under the queue's lock, so that a late post can never write into a
    // descriptor number that a file opened meanwhile has taken (main thread only).
    void close();

private:
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> work;
        int wakeFd = -1; // -1 once closed
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::unique_ptr<QSocketNotifier> notifier_; // goes before the counter is closed
};

} // namespace tw
