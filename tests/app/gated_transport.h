// The simulated calculator behind a gate: open() waits until the test lets it
// through, so that a USB job can be held mid-way. Also counts how many transports
// are open at once.
#pragma once

#include "usblink/calculator_transport.h"
#include "usblink/simulated_calculator.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <functional>
#include <mutex>

namespace tw::test {

class GatedTransport final : public CalculatorTransport {
public:
    explicit GatedTransport(SimulatedCalculator& calculator) : calculator_(calculator) {}

    void hold() {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    // True once a job waits at the gate.
    bool waiting() const { return waiting_.load(); }

    void open() override {
        {
            std::unique_lock lock(mutex_);
            waiting_ = true;
            changed_.wait(lock, [&] { return open_; });
            waiting_ = false;
        }
        if (++concurrent_ > maxConcurrent) maxConcurrent = concurrent_.load();
        try {
            calculator_.open();
        } catch (...) {
            --concurrent_;
            throw;
        }
    }
    void close() noexcept override {
        if (calculator_.isOpen) --concurrent_;
        calculator_.close();
    }
    void send(std::span<const uint8_t> report) override { calculator_.send(report); }
    std::optional<std::vector<uint8_t>> receive(double timeout) override { return calculator_.receive(timeout); }

    std::atomic<int> maxConcurrent{0};

    // A factory that hands this transport to every job without owning it.
    std::function<std::shared_ptr<CalculatorTransport>()> factory() {
        return [this] { return std::shared_ptr<CalculatorTransport>(std::shared_ptr<void>{}, this); };
    }

private:
    SimulatedCalculator& calculator_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    std::atomic<bool> waiting_{false};
    std::atomic<int> concurrent_{0};
};

} // namespace tw::test
