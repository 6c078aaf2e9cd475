#include "platform/main_queue.h"

#include <QMetaObject>

namespace tw {

MainQueue::MainQueue() = default;
MainQueue::~MainQueue() = default;

MainThreadExecutor MainQueue::executor() {
    return [state = state_, receiver = this](std::function<void()> work) {
        {
            std::lock_guard lock(state->mutex);
            state->work.push_back(std::move(work));
        }
        QMetaObject::invokeMethod(receiver, "drain", Qt::QueuedConnection);
    };
}

void MainQueue::drain() {
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(state_->mutex);
            if (state_->work.empty()) return;
            next = std::move(state_->work.front());
            state_->work.pop_front();
        }
        if (next) next();
    }
}

} // namespace tw
