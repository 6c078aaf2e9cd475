// Closures handed to the main thread from any thread. They wait in a queue under
// a standard mutex (so that the hand-over is visible to the thread sanitizer) and
// a posted event wakes the main thread to run them in order.
#pragma once

#include "platform/platform.h"

#include <QObject>

#include <deque>
#include <memory>
#include <mutex>

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

protected:
    bool event(QEvent* e) override;

private:
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> work;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace tw
