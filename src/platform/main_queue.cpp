#include "platform/main_queue.h"

#include <QCoreApplication>
#include <QEvent>

namespace tw {

namespace {
const QEvent::Type drainEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

MainQueue::MainQueue() = default;
MainQueue::~MainQueue() = default;

MainThreadExecutor MainQueue::executor() {
    return [state = state_, receiver = this](std::function<void()> work) {
        {
            std::lock_guard lock(state->mutex);
            state->work.push_back(std::move(work));
        }
        QCoreApplication::postEvent(receiver, new QEvent(drainEvent));
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

bool MainQueue::event(QEvent* e) {
    if (e->type() == drainEvent) {
        drain();
        return true;
    }
    return QObject::event(e);
}

} // namespace tw
