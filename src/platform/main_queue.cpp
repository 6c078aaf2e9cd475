#include "platform/main_queue.h"

#include <QSocketNotifier>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/eventfd.h>
#include <unistd.h>

namespace tw {

MainQueue::MainQueue() {
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        std::perror("Tarnwick: eventfd");
        std::abort(); // without it nothing would ever reach the main thread
    }
    state_->wakeFd = fd;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this, fd] {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(fd, &count, sizeof count);
        drain();
    });
}

MainQueue::~MainQueue() { close(); }

void MainQueue::close() {
    if (!notifier_) return;
    notifier_.reset();
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(state_->mutex);
        ::close(state_->wakeFd);
        state_->wakeFd = -1;
        dropped.swap(state_->work);
    }
    // Destroyed outside the lock: a closure's captures may post again.
}

MainThreadExecutor MainQueue::executor() {
    return [state = state_](std::function<void()> work) {
        std::lock_guard lock(state->mutex);
        // Closed: the work is destroyed on return, once the lock is released.
        if (state->wakeFd < 0) return;
        state->work.push_back(std::move(work));
        // Written under the lock, so that close() cannot come between the check and the write.
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(state->wakeFd, &one, sizeof one);
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
