// The main queue of the engine tests: closures are collected and run on the thread
// that drains them.
#pragma once

#include "runtime/engine/basic_calculator_engine.h"

#include <functional>
#include <mutex>
#include <vector>

namespace tw::test {

struct ManualQueue {
    std::mutex mutex;
    std::vector<std::function<void()>> pending;
    MainExecutor executor() {
        return [this](std::function<void()> f) {
            std::lock_guard lock(mutex);
            pending.push_back(std::move(f));
        };
    }
    void drain() {
        std::vector<std::function<void()>> now;
        {
            std::lock_guard lock(mutex);
            now.swap(pending);
        }
        for (auto& f : now) f();
    }
};

} // namespace tw::test
