// USB jobs: blocking work with a real calculator, run one at a time on the link's
// own worker thread. Each job has a ticket, a status text shown while it runs, a
// header line in the USB log and a watchdog on the main thread that detaches the
// job from the user interface when it takes too long. The work itself is never
// cancelled: a job that outlives its watchdog goes on, and later jobs wait for it.
#pragma once

#include "platform/platform.h"
#include "runtime/engine/basic_calculator_engine.h"
#include "usblink/calculator_link.h"
#include "usblink/calculator_transport.h"
#include "usblink/link_clock.h"
#include "usblink/link_error.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace tw {

class LinkJobRunner {
public:
    using TransportFactory = std::function<std::shared_ptr<CalculatorTransport>()>;
    using StatusHandler = std::function<void(const std::optional<std::string>&)>;

    // Results reach the main thread through `main`. Without a factory every job talks
    // to the real calculator over USB. The clock (the system clock when null) paces
    // the link and must outlive the runner.
    explicit LinkJobRunner(MainThreadExecutor main, TransportFactory transports = {}, LinkClock* clock = nullptr);
    // Drops jobs that have not started. A job still running is left to finish on its
    // own; call waitUntilIdle() first to let it.
    ~LinkJobRunner();
    LinkJobRunner(const LinkJobRunner&) = delete;
    LinkJobRunner& operator=(const LinkJobRunner&) = delete;

    // Called on the main thread whenever the status text changes.
    StatusHandler statusChanged;

    // Main thread. Starts a job and returns at once; the completion gets the work's
    // value or error on the main thread. When the watchdog fires first the work's own
    // result is dropped, and `watchdog` runs instead, or without one the completion
    // with LinkError::timeout(0).
    template <class T>
    void run(const std::string& title, double timeoutSeconds, std::function<T(CalculatorLink&)> work,
             std::function<void(EngineOutcome<T>)> completion, std::function<void()> watchdog = {});

    int ticket() const { return ticket_; }
    const std::optional<std::string>& status() const { return status_; }
    LinkClock& clock() const { return *clock_; }

    // Blocks until no job is queued or running, at most until the given time or, by
    // default, the watchdog of the newest job; true when idle. For the quit path, so
    // that a transfer is not cut off.
    bool waitUntilIdle(std::optional<std::chrono::steady_clock::time_point> until = std::nullopt);

private:
    struct Delivery {
        std::exception_ptr error;      // logged on the worker
        std::function<void()> deliver; // hands the outcome to the completion, main thread
    };
    using ErasedWork = std::function<Delivery(CalculatorLink&)>;
    struct Shared;

    void start(const std::string& title, double timeoutSeconds, ErasedWork work, std::function<void()> onWatchdog);
    void setStatus(std::optional<std::string> status);

    MainThreadExecutor main_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    LinkClock* clock_;
    int ticket_ = 0;
    std::optional<std::string> status_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0); // expires with the runner
    std::unique_ptr<QObject> timers_;                      // watchdogs die with the runner
};

template <class T>
void LinkJobRunner::run(const std::string& title, double timeoutSeconds, std::function<T(CalculatorLink&)> work,
                        std::function<void(EngineOutcome<T>)> completion, std::function<void()> watchdog) {
    // Shared, so that the worker only moves a pointer and never copies what the
    // completion captured.
    auto done = std::make_shared<std::function<void(EngineOutcome<T>)>>(std::move(completion));
    if (!watchdog)
        watchdog = [done] {
            (*done)(EngineOutcome<T>{std::nullopt, std::make_exception_ptr(LinkError::timeout(0))});
        };
    start(
        title, timeoutSeconds,
        [work = std::move(work), done](CalculatorLink& link) -> Delivery {
            EngineOutcome<T> outcome;
            try {
                outcome.value.emplace(work(link));
            } catch (...) {
                outcome.error = std::current_exception();
            }
            std::exception_ptr error = outcome.error;
            return {error, [done, outcome = std::move(outcome)]() mutable { (*done)(std::move(outcome)); }};
        },
        std::move(watchdog));
}

} // namespace tw
