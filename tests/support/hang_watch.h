// A watch that ends a hang: should the test still be inside its scope after the hang
// limit, it notes so and keeps doing what frees a blocked wait (opening a gate, a
// writer for a FIFO), so that the test goes on to fail with a message rather than hang.
#pragma once

#include "support/hang_limit.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tw::test {

class HangWatch {
public:
    explicit HangWatch(std::function<void()> endHang, std::chrono::milliseconds limit = kHangLimit)
        : endHang_(std::move(endHang)), watch_([this, limit] { run(limit); }) {}
    ~HangWatch() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watch_.join();
    }
    HangWatch(const HangWatch&) = delete;
    HangWatch& operator=(const HangWatch&) = delete;

    // True once the limit has passed inside the scope: what the test waited for hung.
    bool fired() const { return fired_; }

private:
    void run(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, limit, [this] { return done_; })) return;
        fired_ = true;
        // Again and again: the next wait may block on the same thing.
        do {
            endHang_();
        } while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return done_; }));
    }

    std::function<void()> endHang_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread watch_; // last: starts once the rest is set up
};

} // namespace tw::test
