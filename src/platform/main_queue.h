// Closures handed to the main thread from any thread. They wait in a queue under
// a standard mutex (so that the hand-over is visible to the thread sanitizer, which
// does not see Qt's own locks) and a queued call wakes the main thread to run them
// in order. The queued call carries no data of ours.
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

public slots:
    // Runs what is waiting now (main thread only).
    void drain();

private:
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> work;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace tw
