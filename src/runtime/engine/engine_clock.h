// Time and waiting for the engine thread. The engine reads a monotonic clock and
// sleeps on a counting wake signal; tests replace both with a virtual clock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tw {

class EngineClock {
public:
    virtual ~EngineClock() = default;
    // Monotonic time in nanoseconds.
    virtual uint64_t now() = 0;
    // Waits until `deadline` (monotonic ns) or until a signal arrives; a signal that
    // arrived earlier ends the wait at once. Consumes one signal when there is one.
    virtual void wait(uint64_t deadline) = 0;
    // Counts one signal (one per queued command).
    virtual void signal() = 0;
};

// The real clock: std::chrono::steady_clock and a counting semaphore.
class SystemEngineClock final : public EngineClock {
public:
    uint64_t now() override;
    void wait(uint64_t deadline) override;
    void signal() override;

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    uint64_t signals_ = 0;
};

} // namespace tw
