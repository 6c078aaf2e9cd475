// How often the engine's thread has gone to sleep: what tells turbo, which never
// waits for the clock, from real time, which sleeps at every slice it is ahead, on
// a busy machine too, as a thread kept from running by load is not asleep.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace tw::test {

// The times the engine's thread (the first, should there be several) has given up
// the processor to wait (for the clock, a lock or a command), from Linux's count in
// /proc; nothing without an engine or where the system keeps no count.
inline std::optional<long long> engineSleeps() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name != "Tarnwick engine") continue; // as the engine names its thread
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("voluntary_ctxt_switches:")) return std::stoll(line.substr(24));
        return std::nullopt;
    }
    return std::nullopt;
}

// At most this many sleeps in a second of emulated time is turbo: real time, when it
// keeps up, sleeps at each of that second's hundred slices; turbo only when a lock it
// shares with another thread is taken.
inline constexpr long long kTurboSleepsPerSecond = 25;

} // namespace tw::test
