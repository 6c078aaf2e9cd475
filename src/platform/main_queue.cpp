#include "platform/main_queue.h"

#include <QSocketNotifier>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/eventfd.h>
#include <unistd.h>

namespace tw {

MainQueue::MainQueue() {
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        std::perror("Tarnwick: eventfd");
        std::abort(); // without it nothing would ever reach the main thread
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(wakeFd_, &count, sizeof count);
        drain();
    });
}

MainQueue::~MainQueue() {
    notifier_.reset();
    close(wakeFd_);
}

MainThreadExecutor MainQueue::executor() {
    return [state = state_, fd = wakeFd_](std::function<void()> work) {
        {
            std::lock_guard lock(state->mutex);
            state->work.push_back(std::move(work));
        }
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
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
