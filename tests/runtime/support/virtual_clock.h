// The engine tests' clock: virtual time, with a hook that runs at each wait.
#pragma once

#include "runtime/engine/engine_clock.h"

#include <cstdint>
#include <functional>
#include <mutex>

namespace tw::test {

// Virtual time: waiting jumps the clock to the deadline unless a signal is pending.
class VirtualClock final : public tw::EngineClock {
public:
    uint64_t now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void wait(uint64_t deadline) override {
        uint64_t reached;
        {
            std::lock_guard lock(mutex_);
            ++waits_;
            if (signals_ > 0) {
                --signals_;
                return;
            }
            if (deadline > now_) now_ = deadline;
            reached = now_;
        }
        if (onWait) onWait(reached);
    }
    void signal() override {
        std::lock_guard lock(mutex_);
        ++signals_;
        ++signalsSent_;
    }
    void advance(uint64_t ns) {
        std::lock_guard lock(mutex_);
        now_ += ns;
    }
    int waits() {
        std::lock_guard lock(mutex_);
        return waits_;
    }
    // Signals counted so far, taken by a wait or not: one per send to the engine.
    int signalsSent() {
        std::lock_guard lock(mutex_);
        return signalsSent_;
    }
    std::function<void(uint64_t)> onWait;

private:
    std::mutex mutex_;
    uint64_t now_ = 0;
    uint64_t signals_ = 0;
    int waits_ = 0;
    int signalsSent_ = 0;
};

} // namespace tw::test
