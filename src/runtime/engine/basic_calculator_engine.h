// The engine: one started calculator machine on a thread of its own, kept in step
// with real time (or as fast as it goes in turbo, and while keys typed ahead wait
// for their turn), fed by a queue of commands and publishing display and
// inspection snapshots to the main thread.
//
// Written over the machine type so that the loop can be driven deterministically in
// tests (virtual clock, fake machine, manual main queue); CalculatorEngine is the
// engine over CalculatorMachine.
#pragma once

#include "runtime/engine/engine_clock.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include <pthread.h>

namespace tw {

// A value or the error that prevented it.
template <class T>
struct EngineOutcome {
    std::optional<T> value;
    std::exception_ptr error;
    bool ok() const { return !error; }
};

// Runs a closure on the main thread, asynchronously and in order.
using MainExecutor = std::function<void(std::function<void()>)>;

// The text shown for an error: its description, else a generic form.
inline std::string engineErrorText(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "unknown error";
}

template <class Machine>
class BasicCalculatorEngine {
public:
    using Chord = typename Machine::Chord;
    using LCD = typename Machine::LCD;
    using Inspection = typename Machine::Inspection; // the inspection snapshot type
    using SavedState = typename Machine::SavedState;

    struct Snapshot {
        LCD lcd{};
        int model = 16;
        int variant = 160;
        int64_t simMs = 0;
        bool operator==(const Snapshot&) const = default;
    };

    struct Command {
        struct Press { int code; };
        struct PressShifted { int shift; int code; };
        struct Release { int code; };
        struct ReleaseLater { std::vector<int> codes; int64_t afterMs; };
        struct SwitchModel { int variant; std::function<void(EngineOutcome<int>)> completion; };
        struct PlayChord { Chord chord; };
        struct ChordWithON { std::vector<int> codes; };
        struct LoadMemory { std::vector<uint8_t> memory; std::function<void(std::exception_ptr)> completion; };
        struct SaveState { std::function<void(EngineOutcome<SavedState>)> completion; };
        struct SetTurbo { bool on; };
        struct SetInspector { bool on; };
        struct Perform { std::function<void(Machine&)> body; };
        struct ReleaseAll {};
        struct Stop {};
        // Presses ahead of this mark that cannot reach the firmware by the deadline
        // (the engine clock's nanoseconds) are dropped: someone waits behind them.
        struct DeliverBy { uint64_t deadlineNs; };
        using Value = std::variant<Press, PressShifted, Release, ReleaseLater, SwitchModel, PlayChord, ChordWithON,
                                   LoadMemory, SaveState, SetTurbo, SetInspector, Perform, ReleaseAll, Stop,
                                   DeliverBy>;

        Value value;
        template <class T>
        Command(T v) : value(std::move(v)) {}
    };

    struct Callbacks {
        std::function<void(const Snapshot&)> onSnapshot;
        std::function<void(const std::optional<Inspection>&)> onInspector;
        std::function<void(const std::string&)> onFault;
    };

    static constexpr uint64_t kSliceNs = 10'000'000;
    static constexpr uint64_t kResyncNs = 250'000'001;
    static constexpr uint64_t kTurboPassNs = 20'000'000;
    static constexpr uint64_t kFaultedWaitNs = 200'000'000;
    static constexpr uint64_t kInspectionIntervalNs = 100'000'000;
    // The longest a press waits for the keys before it (a key let go of later than
    // this is no longer waited for).
    static constexpr int64_t kLongestPressWaitMs = 1000;

    BasicCalculatorEngine(std::unique_ptr<Machine> machine, MainExecutor mainQueue,
                          std::shared_ptr<EngineClock> clock = std::make_shared<SystemEngineClock>())
        : machine_(std::move(machine)), mainQueue_(std::move(mainQueue)), clock_(std::move(clock)),
          callbacks_(std::make_shared<Callbacks>()) {}

    ~BasicCalculatorEngine() {
        if (thread_.joinable()) {
            stop();
            thread_.join();
        }
    }

    BasicCalculatorEngine(const BasicCalculatorEngine&) = delete;
    BasicCalculatorEngine& operator=(const BasicCalculatorEngine&) = delete;

    // Callbacks run on the main queue. Set them before start().
    Callbacks& callbacks() { return *callbacks_; }

    // Starts the engine thread once; later calls do nothing.
    void start() {
        if (started_) return;
        started_ = true;
        running_ = true;
        thread_ = std::thread([this] {
            pthread_setname_np(pthread_self(), "Tarnwick engine");
            runLoop();
        });
    }

    // Queues a command; callable from any thread.
    void send(Command command) {
        {
            std::lock_guard lock(queueMutex_);
            queue_.push_back(std::move(command));
        }
        clock_->signal();
    }

    // Queues several commands under one lock and signals once.
    void send(std::vector<Command> commands) {
        if (commands.empty()) return;
        {
            std::lock_guard lock(queueMutex_);
            for (auto& c : commands) queue_.push_back(std::move(c));
        }
        clock_->signal();
    }

    void stop() { send(Command{typename Command::Stop{}}); }

    bool isRunning() const { return running_; }

    // Runs `body` on the engine thread and waits up to `timeoutSeconds` for its value.
    // No value when the engine does not run or the wait timed out; a body that ends
    // later stores into a result that nobody reads any more.
    template <class F>
    auto performAndWait(double timeoutSeconds, F body) -> std::optional<std::invoke_result_t<F, Machine&>> {
        using R = std::invoke_result_t<F, Machine&>;
        if (!started_ || !running_) return std::nullopt;
        struct Shared {
            std::mutex mutex;
            std::condition_variable cv;
            std::optional<R> value;
            bool done = false;
        };
        auto shared = std::make_shared<Shared>();
        // Keys typed ahead get half the time to reach the firmware; the closure the rest.
        const double seconds = timeoutSeconds > 0 ? std::min(timeoutSeconds, 86400.0) : 0.0;
        const uint64_t deadline = clock_->now() + uint64_t(seconds * 0.5e9);
        std::vector<Command> commands;
        commands.push_back(Command{typename Command::DeliverBy{deadline}});
        commands.push_back(Command{typename Command::Perform{[shared, body = std::move(body)](Machine& m) mutable {
            std::optional<R> v;
            std::exception_ptr error;
            try {
                v.emplace(body(m));
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard lock(shared->mutex);
                shared->value = std::move(v);
                shared->done = true;
                shared->cv.notify_all();
            }
            // The waiter gets no value; the engine reports the error (a chip fault halts it).
            if (error) std::rethrow_exception(error);
        }}});
        send(std::move(commands));
        std::unique_lock lock(shared->mutex);
        // A negative or NaN time-out waits not at all; a huge one a day at most.
        auto until = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(seconds));
        if (!shared->cv.wait_until(lock, until, [&] { return shared->done; })) return std::nullopt;
        return std::move(shared->value);
    }

    // The thread body. Tests call it on their own thread after markRunningForTesting().
    void runLoop() {
        publishSnapshot();
        uint64_t next = clock_->now();
        while (running_) {
            {
                std::lock_guard lock(queueMutex_);
                for (auto& command : queue_) {
                    if (std::holds_alternative<typename Command::Stop>(command.value)) stopQueued_ = true;
                    backlog_.push_back(std::move(command));
                }
                queue_.clear();
            }
            deliverBacklog();
            if (!running_) break;

            if (faulted_) {
                clock_->wait(clock_->now() + kFaultedWaitNs);
                continue;
            }
            if (!backlog_.empty()) {
                // Keys typed ahead of the emulation: it catches up as fast as it goes,
                // a slice at a time so that each press goes as soon as it may.
                if (!runSlice()) continue;
                next = clock_->now();
            } else if (turbo_) {
                const uint64_t t0 = clock_->now();
                bool failed = false;
                do {
                    if (!runSlice()) {
                        failed = true;
                        break;
                    }
                } while (clock_->now() - t0 < kTurboPassNs);
                next = clock_->now();
                if (failed) continue;
            } else {
                const uint64_t now = clock_->now();
                if (now < next) {
                    clock_->wait(next);
                    continue;
                }
                if (now - next >= kResyncNs) next = now;
                if (!runSlice()) continue;
                next += kSliceNs;
            }
            publishSnapshot();
        }
        guarded([&] { machine_->releaseAll(); });
    }

    void markRunningForTesting() {
        started_ = true;
        running_ = true;
    }

    // Engine-thread state, for tests that drive runLoop() themselves.
    bool isFaulted() const { return faulted_; }
    const Snapshot& lastSnapshot() const { return last_; }
    Machine& machineForTesting() { return *machine_; }

private:
    // One 10 ms slice; a thrown error is a fault of the emulation. False when it failed.
    bool runSlice() {
        try {
            machine_->run(10);
            return true;
        } catch (...) {
            enterFault(std::current_exception());
            return false;
        }
    }

    void enterFault(std::exception_ptr error) {
        faulted_ = true;
        postFault(engineErrorText(error));
        publishSnapshot();
    }

    // Errors of commands are reported and the emulation goes on, except a fault of the
    // emulated chip, which halts it as a fault while running does.
    void reportError(std::exception_ptr error) {
        if (Machine::isChipFault(error)) {
            if (!faulted_) enterFault(error);
            return;
        }
        postFault(engineErrorText(error));
    }

    template <class Completion, class Value>
    void complete(Completion& completion, Value value) {
        if (!completion || !mainQueue_) return;
        mainQueue_([completion = std::move(completion), value = std::move(value)]() mutable {
            completion(std::move(value));
        });
    }

    // Marks the engine faulted when a completion's error is a chip fault.
    void noteFault(std::exception_ptr error) {
        if (error && Machine::isChipFault(error) && !faulted_) enterFault(error);
    }

    bool execute(Command& command) {
        Machine& m = *machine_;
        using C = Command;
        return std::visit(
            [&](auto& c) -> bool {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, typename C::Press>) {
                    guarded([&] { m.press(c.code); });
                } else if constexpr (std::is_same_v<T, typename C::PressShifted>) {
                    guarded([&] { m.pressShifted(c.shift, c.code); });
                } else if constexpr (std::is_same_v<T, typename C::Release>) {
                    guarded([&] { m.release(c.code); });
                } else if constexpr (std::is_same_v<T, typename C::ReleaseLater>) {
                    m.releaseLater(c.codes, c.afterMs);
                } else if constexpr (std::is_same_v<T, typename C::SwitchModel>) {
                    EngineOutcome<int> outcome;
                    try {
                        m.switchModel(c.variant);
                        outcome.value = m.variant();
                    } catch (...) {
                        outcome.error = std::current_exception();
                    }
                    noteFault(outcome.error);
                    publishSnapshot();
                    lastInspection_.reset();
                    publishInspection(true);
                    complete(c.completion, std::move(outcome));
                } else if constexpr (std::is_same_v<T, typename C::PlayChord>) {
                    if (guarded([&] { m.play(c.chord); })) publishSnapshot();
                } else if constexpr (std::is_same_v<T, typename C::ChordWithON>) {
                    guarded([&] { m.chordWithON(c.codes); });
                } else if constexpr (std::is_same_v<T, typename C::LoadMemory>) {
                    std::exception_ptr error;
                    try {
                        m.loadMemory(c.memory);
                    } catch (...) {
                        error = std::current_exception();
                    }
                    noteFault(error);
                    complete(c.completion, error);
                } else if constexpr (std::is_same_v<T, typename C::SaveState>) {
                    EngineOutcome<SavedState> outcome;
                    try {
                        outcome.value = m.savedState(true);
                    } catch (...) {
                        outcome.error = std::current_exception();
                    }
                    noteFault(outcome.error);
                    complete(c.completion, std::move(outcome));
                } else if constexpr (std::is_same_v<T, typename C::SetTurbo>) {
                    turbo_ = c.on;
                } else if constexpr (std::is_same_v<T, typename C::SetInspector>) {
                    inspector_ = c.on;
                    lastInspection_.reset();
                    publishInspection(true);
                } else if constexpr (std::is_same_v<T, typename C::Perform>) {
                    // A closure that throws must not end the engine thread.
                    if (c.body) guarded([&] { c.body(m); });
                } else if constexpr (std::is_same_v<T, typename C::ReleaseAll>) {
                    guarded([&] { m.releaseAll(); });
                } else if constexpr (std::is_same_v<T, typename C::Stop>) {
                    return false;
                } else if constexpr (std::is_same_v<T, typename C::DeliverBy>) {
                    // only a mark while presses wait
                }
                return true;
            },
            command.value);
    }

    // Runs the backlog in order. A press goes only when it reaches the firmware alone
    // (the machine's readiness), so no pass runs two presses, and everything after a
    // waiting press waits with it. Once stopping or faulted, no time passes any
    // more: everything left runs at once.
    void deliverBacklog() {
        while (!backlog_.empty()) {
            const bool atOnce = !running_ || faulted_ || stopQueued_;
            if (!atOnce && isPress(backlog_.front()) && !pressMayGo()) {
                if (!pastDeadline()) return;
                backlog_.pop_front(); // someone waits behind it and time is up: dropped
                pressWaitSince_.reset();
                continue;
            }
            Command command = std::move(backlog_.front());
            backlog_.pop_front();
            pressWaitSince_.reset();
            if (!execute(command)) running_ = false;
        }
    }

    static bool isPress(const Command& command) {
        return std::holds_alternative<typename Command::Press>(command.value) ||
               std::holds_alternative<typename Command::PressShifted>(command.value);
    }

    bool pressMayGo() {
        if (machine_->isReadyForPress()) return true;
        const int64_t now = machine_->simMs();
        if (!pressWaitSince_) pressWaitSince_ = now;
        return now - *pressWaitSince_ >= kLongestPressWaitMs;
    }

    // True when a caller waiting behind the backlog has run out of time for keys.
    bool pastDeadline() const {
        const uint64_t now = clock_->now();
        return std::any_of(backlog_.begin(), backlog_.end(), [&](const Command& c) {
            const auto* mark = std::get_if<typename Command::DeliverBy>(&c.value);
            return mark && now >= mark->deadlineNs;
        });
    }

    // Runs a machine operation whose errors are reported; true when it succeeded.
    template <class F>
    bool guarded(F&& f) {
        try {
            f();
            return true;
        } catch (...) {
            reportError(std::current_exception());
            return false;
        }
    }

    void publishSnapshot() {
        Snapshot s;
        s.lcd = machine_->lcd();
        s.model = machine_->model();
        s.variant = machine_->variant();
        s.simMs = machine_->simMs();
        if (!(s.lcd == last_.lcd && s.model == last_.model && s.variant == last_.variant)) {
            last_ = s;
            post([s](Callbacks& cb) {
                if (cb.onSnapshot) cb.onSnapshot(s);
            });
        }
        publishInspection(false);
    }

    void publishInspection(bool force) {
        if (!inspector_) return;
        const uint64_t now = clock_->now();
        if (!force && now < nextInspection_) return;
        nextInspection_ = now + kInspectionIntervalNs;
        std::optional<Inspection> snapshot = machine_->inspect();
        if (snapshot == lastInspection_) return;
        lastInspection_ = snapshot;
        post([snapshot = std::move(snapshot)](Callbacks& cb) {
            if (cb.onInspector) cb.onInspector(snapshot);
        });
    }

    void postFault(std::string text) {
        post([text = std::move(text)](Callbacks& cb) {
            if (cb.onFault) cb.onFault(text);
        });
    }

    // Posts to the main queue; nothing happens once the engine is gone.
    template <class F>
    void post(F f) {
        if (!mainQueue_) return;
        std::weak_ptr<Callbacks> weak = callbacks_;
        mainQueue_([weak, f = std::move(f)]() mutable {
            if (auto cb = weak.lock()) f(*cb);
        });
    }

    std::unique_ptr<Machine> machine_;
    MainExecutor mainQueue_;
    std::shared_ptr<EngineClock> clock_;
    std::shared_ptr<Callbacks> callbacks_;

    std::mutex queueMutex_;
    std::vector<Command> queue_;
    std::deque<Command> backlog_; // engine thread: taken from the queue, not yet executed
    bool stopQueued_ = false;     // engine thread: a stop waits in the backlog
    std::optional<int64_t> pressWaitSince_; // engine thread: emulated ms the front press waits since
    std::thread thread_;
    std::atomic<bool> started_{false};
    std::atomic<bool> running_{false};

    // Engine-thread state.
    bool faulted_ = false;
    bool turbo_ = false;
    bool inspector_ = false;
    Snapshot last_{};
    std::optional<Inspection> lastInspection_;
    uint64_t nextInspection_ = 0;
};

} // namespace tw
