#include "runtime/engine/engine_clock.h"

#include <chrono>

namespace tw {

uint64_t SystemEngineClock::now() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

void SystemEngineClock::wait(uint64_t deadline) {
    using namespace std::chrono;
    const auto until = steady_clock::time_point(duration_cast<steady_clock::duration>(nanoseconds(deadline)));
    std::unique_lock lock(mutex_);
    cv_.wait_until(lock, until, [&] { return signals_ > 0; });
    if (signals_ > 0) --signals_;
}

void SystemEngineClock::signal() {
    {
        std::lock_guard lock(mutex_);
        ++signals_;
    }
    cv_.notify_one();
}

} // namespace tw
