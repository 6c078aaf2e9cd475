// How long a test waits for something that must come before it calls the wait a hang.
#pragma once

#include <chrono>

namespace tw::test {

// Far beyond what anything a test waits for takes in the slowest stage (a sanitizer's
// Debug build) on a machine whose every core is busy, so that only a fault reaches it.
// Waits that end at what they wait for cost no more for it.
inline constexpr std::chrono::milliseconds kHangLimit = std::chrono::minutes(2);

// The same for Qt's waits, which take milliseconds as an int, and for the engine's,
// which take seconds.
inline constexpr int kHangLimitMs = int(kHangLimit.count());
inline constexpr double kHangLimitSeconds = std::chrono::duration<double>(kHangLimit).count();

// The hang limit from now, for all the waits of one step of a test: a wait that the step
// repeats, as a test that can never pass does, does not start its limit over.
class Deadline {
public:
    Deadline() : at_(std::chrono::steady_clock::now() + kHangLimit) {}
    bool passed() const { return std::chrono::steady_clock::now() >= at_; }

private:
    std::chrono::steady_clock::time_point at_;
};

} // namespace tw::test
