#include "runtime/engine/basic_calculator_engine.h"
#include "runtime/support/manual_queue.h"
#include "runtime/support/virtual_clock.h"
#include "support/hang_limit.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <thread>
#include <utility>

namespace tw {

namespace {

using tw::test::VirtualClock;

struct ChipFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct FakeLCD {
    int shown = 0;
    bool operator==(const FakeLCD&) const = default;
};

struct FakeMachine {
    using Chord = int;
    using LCD = FakeLCD;
    using Inspection = int;
    using SavedState = std::vector<uint8_t>;

    static bool isChipFault(std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const ChipFault&) {
            return true;
        } catch (...) {
        }
        return false;
    }

    VirtualClock* clock = nullptr;
    uint64_t sliceCostNs = 0;           // virtual time each slice takes
    std::map<int64_t, uint64_t> jumps;  // at simMs: an extra jump of the clock
    int64_t faultAtMs = -1;             // run() throws from this simMs on
    int64_t sim = 0;
    int slices = 0;
    int shownEvery = 0;                 // the display changes every n ms (0: never)
    int64_t readyAtMs = 0;              // presses would merge with a tap before this simMs
    int64_t pressGapMs = 0;             // and within this long after the last press
    std::vector<int64_t> pressedAt;     // simMs of each press
    std::optional<int> inspection;      // what inspect() answers
    int inspections = 0;
    std::vector<std::string> log;

    void run(int ms) {
        if (faultAtMs >= 0 && sim >= faultAtMs) throw ChipFault("The emulated chip stopped: bus fault");
        sim += ms;
        ++slices;
        if (clock) {
            clock->advance(sliceCostNs);
            if (auto it = jumps.find(sim); it != jumps.end()) clock->advance(it->second);
        }
    }
    void press(int code) {
        if (code == 99) throw ChipFault("The emulated chip stopped: in a command");
        if (code == 98) throw std::runtime_error("not now");
        log.push_back("press " + std::to_string(code));
        pressedAt.push_back(sim);
    }
    void pressShifted(int shift, int code) { log.push_back("shifted " + std::to_string(shift) + " " + std::to_string(code)); }
    void release(int code) { log.push_back("release " + std::to_string(code)); }
    bool isReadyForPress() const {
        return sim >= readyAtMs && (pressedAt.empty() || sim - pressedAt.back() >= pressGapMs);
    }
    void releaseLater(const std::vector<int>& codes, int64_t after) {
        log.push_back("later " + std::to_string(codes.size()) + " " + std::to_string(after));
    }
    void switchModel(int variant) {
        if (variant == 0) throw std::runtime_error("This firmware has no 0 image.");
        log.push_back("switch " + std::to_string(variant));
        currentVariant = variant;
    }
    void play(int chord) { log.push_back("chord " + std::to_string(chord)); }
    void chordWithON(const std::vector<int>& codes) { log.push_back("on-chord " + std::to_string(codes.size())); }
    void loadMemory(const std::vector<uint8_t>& memory) {
        if (memory.size() == 1) throw ChipFault("The emulated chip stopped: while loading");
        if (memory.size() != 2048) throw std::invalid_argument("A memory file must be exactly 2048 bytes");
        log.push_back("load");
    }
    SavedState savedState(bool) { return SavedState(2048, 7); }
    void releaseAll() { log.push_back("releaseAll"); }
    LCD lcd() const { return {shownEvery ? int(sim / shownEvery) : 0}; }
    int model() const { return currentVariant / 10; }
    int variant() const { return currentVariant; }
    int64_t simMs() const { return sim; }
    std::optional<int> inspect() {
        ++inspections;
        return inspection;
    }

    int currentVariant = 150;
};

using Engine = tw::BasicCalculatorEngine<FakeMachine>;
using Command = Engine::Command;

using tw::test::kHangLimitSeconds;
using tw::test::ManualQueue;

struct Harness {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    ManualQueue main;
    FakeMachine* machine;
    std::unique_ptr<Engine> engine;
    std::vector<Engine::Snapshot> snapshots;
    std::vector<std::optional<int>> inspections;
    std::vector<std::string> faults;

    Harness() {
        auto m = std::make_unique<FakeMachine>();
        m->clock = clock.get();
        machine = m.get();
        engine = std::make_unique<Engine>(std::move(m), main.executor(), clock);
        engine->callbacks().onSnapshot = [this](const Engine::Snapshot& s) { snapshots.push_back(s); };
        engine->callbacks().onInspector = [this](const std::optional<int>& i) { inspections.push_back(i); };
        engine->callbacks().onFault = [this](const std::string& t) { faults.push_back(t); };
    }

    // Runs the loop on this thread until the virtual clock reaches `untilNs`.
    void runUntil(uint64_t untilNs) {
        bool sent = false;
        clock->onWait = [&](uint64_t now) {
            if (now >= untilNs && !sent) {
                sent = true;
                engine->stop();
            }
        };
        engine->markRunningForTesting();
        engine->runLoop();
        clock->onWait = nullptr;
        main.drain();
    }
};

constexpr uint64_t ms = 1'000'000;

TEST(EnginePacing, RealTimeRunsOneSlicePerTenMilliseconds) {
    Harness h;
    h.runUntil(1000 * ms);
    EXPECT_EQ(h.machine->sim, 1000);
    EXPECT_EQ(h.machine->slices, 100);
    EXPECT_EQ(h.machine->log.back(), "releaseAll");
}

TEST(EnginePacing, ABacklogUpTo250MsIsCaughtUpWithoutWaiting) {
    for (uint64_t jump : {200 * ms, 260 * ms}) {
        SCOPED_TRACE(jump);
        Harness h;
        // The slice that reaches 50 ms runs at 40 ms of real time: the jump leaves the
        // emulation jump - 10 ms behind, for 260 ms exactly 250 ms.
        h.machine->jumps[50] = jump;
        h.runUntil(1000 * ms);
        EXPECT_EQ(h.machine->sim, 1000); // every slice of the second still ran
    }
    Harness h;
    h.machine->jumps[50] = 260 * ms + 1; // a nanosecond more than 250 ms behind
    h.runUntil(1000 * ms);
    EXPECT_LT(h.machine->sim, 1000);
}

TEST(EnginePacing, ALargerBacklogIsDropped) {
    Harness h;
    h.machine->jumps[50] = 300 * ms;
    h.runUntil(1000 * ms);
    // Five slices, the jump to 340 ms, one resynchronised slice, then 350..990 ms.
    EXPECT_EQ(h.machine->sim, 50 + 10 + 650);
}

TEST(EnginePacing, TurboRunsSlicesForTwentyMillisecondsPerPass) {
    Harness h;
    h.machine->sliceCostNs = 1 * ms;
    h.engine->send(Command{Command::SetTurbo{true}});
    bool sent = false;
    int passes = 0;
    h.engine->callbacks().onSnapshot = nullptr;
    h.machine->shownEvery = 0;
    // Stop after the virtual clock has passed 100 ms; turbo never waits, so count
    // via a perform command re-queued each pass. Should the clock stand still, the
    // loop is stopped after far more passes than the six it takes.
    constexpr int kPassLimit = 1000;
    std::function<void(FakeMachine&)> probe = [&](FakeMachine&) {
        ++passes;
        if ((h.clock->now() >= 100 * ms || passes == kPassLimit) && !sent) {
            sent = true;
            h.engine->stop();
        } else {
            h.engine->send(Command{Command::Perform{probe}});
        }
    };
    h.engine->send(Command{Command::Perform{probe}});
    h.engine->markRunningForTesting();
    h.engine->runLoop();
    ASSERT_LT(passes, kPassLimit) << "turbo never ran its slices: the engine's clock was still at "
                                  << h.clock->now() / ms << " ms after " << passes << " passes";
    // Passes start at 0, 20, ..., 100 ms; the stop queued at 100 ms ends the loop after
    // that pass's slices: six passes of twenty slices, no waiting.
    EXPECT_EQ(h.machine->slices, 120);
    EXPECT_EQ(h.clock->waits(), 0);
}

TEST(EnginePublishing, SnapshotsArePublishedOnlyWhenTheDisplayChanges) {
    Harness h;
    h.machine->shownEvery = 100; // a new display every 100 ms of emulation
    h.runUntil(1000 * ms);
    // The first pass publishes the initial display (shown 0 differs from nothing only
    // by model/variant), then one per change.
    ASSERT_FALSE(h.snapshots.empty());
    for (size_t i = 1; i < h.snapshots.size(); ++i) EXPECT_NE(h.snapshots[i].lcd, h.snapshots[i - 1].lcd);
    EXPECT_EQ(h.snapshots.size(), 11u); // shown 0..10
    EXPECT_EQ(h.snapshots.front().variant, 150);
}

TEST(EnginePublishing, InspectionsComeAtOnceWhenTurnedOnThenAtMostEvery100Ms) {
    Harness h;
    h.machine->inspection = 1;
    h.engine->send(Command{Command::SetInspector{true}});
    h.runUntil(1000 * ms);
    ASSERT_EQ(h.inspections.size(), 1u); // unchanged afterwards: published once
    EXPECT_EQ(h.inspections[0], 1);
    EXPECT_LE(h.machine->inspections, 12); // at most every 100 ms (plus the forced one)
    EXPECT_GE(h.machine->inspections, 10);
}

TEST(EnginePublishing, TurningTheInspectorOffPublishesNothing) {
    Harness h;
    h.machine->inspection = 1;
    h.engine->send(Command{Command::SetInspector{false}});
    h.runUntil(100 * ms);
    EXPECT_TRUE(h.inspections.empty());
    EXPECT_EQ(h.machine->inspections, 0);
}

TEST(EngineCommands, StopInTheMiddleOfABatchStillRunsTheRestThenReleasesAll) {
    Harness h;
    h.engine->send(std::vector<Command>{Command{Command::Press{1}}, Command{Command::Stop{}},
                                        Command{Command::Press{2}}});
    h.engine->markRunningForTesting();
    h.engine->runLoop();
    EXPECT_EQ(h.machine->log, (std::vector<std::string>{"press 1", "press 2", "releaseAll"}));
    EXPECT_EQ(h.machine->slices, 0);
    EXPECT_FALSE(h.engine->isRunning());
}

TEST(EngineCommands, APressThatWouldMergeWithItsKeysLastTapWaitsWithEverythingAfterIt) {
    Harness h;
    h.machine->readyAtMs = 50;
    std::vector<int64_t> performedAt;
    const auto recordSim = [&] { return Command{Command::Perform{[&](FakeMachine& m) { performedAt.push_back(m.sim); }}}; };
    h.engine->send(std::vector<Command>{recordSim(), Command{Command::Press{5}}, Command{Command::Release{5}},
                                        recordSim(), Command{Command::PressShifted{32, 5}}, recordSim()});
    h.runUntil(200 * ms);
    EXPECT_EQ(performedAt, (std::vector<int64_t>{0, 50, 50})); // in step with real time, in order
    EXPECT_EQ(h.machine->log,
              (std::vector<std::string>{"press 5", "release 5", "shifted 32 5", "releaseAll"}));

    // Stopping, or a halted emulation where no time passes, lets everything waiting run.
    Harness stopping;
    stopping.machine->readyAtMs = 1'000'000;
    stopping.engine->send(std::vector<Command>{Command{Command::Press{5}}, Command{Command::Stop{}}});
    stopping.runUntil(100 * ms);
    EXPECT_EQ(stopping.machine->log, (std::vector<std::string>{"press 5", "releaseAll"}));
    EXPECT_EQ(stopping.machine->slices, 0);

    Harness faulted;
    faulted.machine->readyAtMs = 1'000'000;
    faulted.machine->faultAtMs = 30;
    bool sent = false;
    faulted.clock->onWait = [&](uint64_t now) {
        if (now >= 100 * ms && !sent) {
            sent = true;
            faulted.engine->send(std::vector<Command>{Command{Command::Press{5}}, Command{Command::Release{5}}});
        }
        if (now >= 500 * ms) faulted.engine->stop();
    };
    faulted.engine->markRunningForTesting();
    faulted.engine->runLoop();
    EXPECT_EQ(faulted.machine->log, (std::vector<std::string>{"press 5", "release 5", "releaseAll"}));
}

TEST(EngineCommands, TypedAheadPressesGoOnePerPassAsSoonAsEachMayAndTimeCatchesUpAtOnce) {
    Harness h;
    h.machine->pressGapMs = 80;
    std::vector<Command> typed;
    for (int code : {1, 2, 3}) {
        typed.push_back(Command{Command::Press{code}});
        typed.push_back(Command{Command::Release{code}});
    }
    h.engine->send(std::move(typed));
    int64_t clockAtThird = -1;
    h.engine->send(Command{Command::Perform{[&](FakeMachine&) { clockAtThird = int64_t(h.clock->now()); }}});
    h.runUntil(500 * ms);
    EXPECT_EQ(h.machine->pressedAt, (std::vector<int64_t>{0, 80, 160}));
    EXPECT_EQ(clockAtThird, 0); // emulated time ran ahead without waiting for the clock
    EXPECT_EQ(h.machine->log, (std::vector<std::string>{"press 1", "release 1", "press 2", "release 2", "press 3",
                                                        "release 3", "releaseAll"}));
}

TEST(EngineCommands, PressesThatCannotGoBeforeAWaitingCallersDeadlineAreDropped) {
    Harness h;
    h.machine->readyAtMs = 1'000'000;
    bool performed = false;
    h.engine->send(std::vector<Command>{Command{Command::Release{4}}, Command{Command::Press{5}},
                                        Command{Command::Release{5}}, Command{Command::DeliverBy{0}},
                                        Command{Command::Perform{[&](FakeMachine&) { performed = true; }}}});
    h.runUntil(100 * ms);
    EXPECT_TRUE(performed);
    EXPECT_EQ(h.machine->log, (std::vector<std::string>{"release 4", "release 5", "releaseAll"}));

    // Without anyone waiting, a press goes at the latest after a second of waiting.
    Harness alone;
    alone.machine->readyAtMs = 1'000'000;
    alone.engine->send(Command{Command::Press{5}});
    alone.runUntil(100 * ms);
    EXPECT_EQ(alone.machine->pressedAt, std::vector<int64_t>{1000});
}

TEST(EngineCommands, CompletionsArriveOnTheMainQueueWithTheirResults) {
    Harness h;
    std::optional<tw::EngineOutcome<int>> switched, failedSwitch;
    std::optional<std::exception_ptr> loaded;
    std::optional<tw::EngineOutcome<FakeMachine::SavedState>> saved;
    h.engine->send(std::vector<Command>{
        Command{Command::SwitchModel{160, [&](tw::EngineOutcome<int> r) { switched = r; }}},
        Command{Command::SwitchModel{0, [&](tw::EngineOutcome<int> r) { failedSwitch = r; }}},
        Command{Command::LoadMemory{std::vector<uint8_t>(10), [&](std::exception_ptr e) { loaded = e; }}},
        Command{Command::SaveState{[&](tw::EngineOutcome<FakeMachine::SavedState> r) { saved = r; }}},
        Command{Command::Stop{}}});
    h.engine->markRunningForTesting();
    h.engine->runLoop();
    EXPECT_FALSE(switched.has_value()); // not before the main queue runs
    h.main.drain();
    ASSERT_TRUE(switched && failedSwitch && loaded && saved);
    EXPECT_EQ(switched->value, 160);
    EXPECT_FALSE(failedSwitch->ok());
    EXPECT_EQ(tw::engineErrorText(failedSwitch->error), "This firmware has no 0 image.");
    EXPECT_NE(*loaded, nullptr);
    EXPECT_EQ(saved->value->size(), 2048u);
    EXPECT_TRUE(h.faults.empty()); // completion errors do not go to onFault
}

TEST(EngineFaults, AFaultIsReportedOnceAndHaltsTheEmulationButNotTheCommands) {
    Harness h;
    h.machine->faultAtMs = 50;
    int performed = 0;
    std::optional<std::exception_ptr> loaded;
    bool queued = false;
    h.clock->onWait = [&](uint64_t now) {
        if (now >= 500 * ms && !queued) {
            queued = true;
            h.engine->send(std::vector<Command>{
                Command{Command::Perform{[&](FakeMachine&) { ++performed; }}},
                Command{Command::LoadMemory{std::vector<uint8_t>(2048), [&](std::exception_ptr e) { loaded = e; }}}});
        }
        if (now >= 1000 * ms) h.engine->stop();
    };
    h.engine->markRunningForTesting();
    h.engine->runLoop();
    h.main.drain();
    EXPECT_EQ(h.machine->sim, 50);
    ASSERT_EQ(h.faults.size(), 1u);
    EXPECT_EQ(h.faults[0], "The emulated chip stopped: bus fault");
    EXPECT_EQ(performed, 1);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, nullptr);
    EXPECT_TRUE(h.engine->isFaulted());
}

TEST(EngineFaults, CommandErrorsAreReportedAndAChipFaultInACommandHaltsTheEmulation) {
    Harness h;
    h.engine->send(Command{Command::Press{98}});
    h.runUntil(50 * ms);
    EXPECT_EQ(h.faults, std::vector<std::string>{"not now"});
    EXPECT_FALSE(h.engine->isFaulted());
    EXPECT_GT(h.machine->sim, 0);

    Harness f;
    f.engine->send(Command{Command::Press{99}});
    f.runUntil(50 * ms);
    EXPECT_TRUE(f.engine->isFaulted());
    EXPECT_EQ(f.machine->sim, 0);
    EXPECT_EQ(f.faults.size(), 1u);
}

TEST(EngineFaults, AClosureThatThrowsIsReportedAndAChipFaultInItHaltsTheEmulation) {
    Harness h;
    h.engine->send(Command{Command::Perform{[](FakeMachine&) { throw std::runtime_error("closure failed"); }}});
    h.runUntil(50 * ms);
    EXPECT_EQ(h.faults, std::vector<std::string>{"closure failed"});
    EXPECT_FALSE(h.engine->isFaulted());

    Harness f;
    f.engine->send(Command{Command::Perform{[](FakeMachine&) { throw ChipFault("The emulated chip stopped: x"); }}});
    f.runUntil(50 * ms);
    EXPECT_TRUE(f.engine->isFaulted());
    EXPECT_EQ(f.machine->sim, 0);
    EXPECT_EQ(f.faults, std::vector<std::string>{"The emulated chip stopped: x"});
}

TEST(EngineFaults, AChipFaultWhileLoadingAMemoryGoesToTheCompletionAndHaltsTheEmulation) {
    Harness h;
    std::optional<std::exception_ptr> loaded;
    h.engine->send(Command{Command::LoadMemory{std::vector<uint8_t>(1), [&](std::exception_ptr e) { loaded = e; }}});
    h.runUntil(50 * ms);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(tw::engineErrorText(*loaded), "The emulated chip stopped: while loading");
    EXPECT_TRUE(h.engine->isFaulted());
    EXPECT_EQ(h.machine->sim, 0);
    EXPECT_EQ(h.faults.size(), 1u); // the halt itself is reported once
}

TEST(EngineThread, APerformAndWaitWhoseClosureThrowsAnswersNoValue) {
    ManualQueue main;
    Engine engine(std::make_unique<FakeMachine>(), main.executor());
    engine.start();
    auto value = engine.performAndWait(kHangLimitSeconds, [](FakeMachine&) -> int { throw std::runtime_error("no"); });
    EXPECT_FALSE(value.has_value());
    EXPECT_TRUE(engine.isRunning());
    EXPECT_EQ(engine.performAndWait(kHangLimitSeconds, [](FakeMachine&) { return 3; }), 3);
}

// A caller waiting behind presses that cannot go (here never ready) still gets its
// value: once half its time-out has passed on the engine's clock, the presses ahead
// of it are dropped and its closure runs, well before a press's longest wait ends.
TEST(EngineThread, PerformAndWaitDropsThePressesThatCannotGoWithinHalfItsTimeOut) {
    auto clock = std::make_shared<VirtualClock>();
    ManualQueue main;
    auto machine = std::make_unique<FakeMachine>();
    machine->clock = clock.get();
    machine->readyAtMs = 1'000'000'000;
    // A press's longest wait, a second of emulation, costs 7.5 s of the clock: more
    // than half the time-out below, less than the whole.
    machine->sliceCostNs = 75 * ms;
    Engine engine(std::move(machine), main.executor(), clock);
    // The engine holds still (its clock too) until the caller's commands are queued.
    engine.send(std::vector<Command>{Command{Command::Perform{[&](FakeMachine&) {
                                         while (clock->signalsSent() < 2) std::this_thread::yield();
                                     }}},
                                     Command{Command::Press{5}}});
    engine.start();
    const auto seen = engine.performAndWait(10.0, [](FakeMachine& m) { return std::pair(m.sim, m.log); });
    ASSERT_TRUE(seen.has_value());
    EXPECT_TRUE(seen->second.empty()) << seen->second.front();
    EXPECT_EQ(seen->first, 670); // the first slice ending at or past 5 s of the clock: 67 of 75 ms
}

TEST(EngineThread, CommandsFromSeveralThreadsKeepEachThreadsOrder) {
    ManualQueue main;
    auto machine = std::make_unique<FakeMachine>();
    Engine engine(std::move(machine), main.executor());
    engine.start();
    constexpr int kThreads = 4, kEach = 200;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t)
        senders.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) engine.send(Command{Command::Press{t * 1000 + 100 + i}});
        });
    for (auto& s : senders) s.join();
    // A copy of the log taken on the engine thread, after every send above.
    auto log = engine.performAndWait(kHangLimitSeconds, [](FakeMachine& fm) { return fm.log; });
    ASSERT_TRUE(log.has_value());
    EXPECT_EQ(log->size(), size_t(kThreads * kEach));
    std::vector<int> last(kThreads, -1);
    for (const auto& line : *log) {
        int code = std::stoi(line.substr(6)) - 100;
        EXPECT_GT(code % 1000, last[code / 1000]);
        last[code / 1000] = code % 1000;
    }
}

TEST(EngineThread, PerformAndWaitWithoutARunningEngineAnswersAtOnce) {
    ManualQueue main;
    Engine engine(std::make_unique<FakeMachine>(), main.executor());
    EXPECT_FALSE(engine.performAndWait(10.0, [](FakeMachine&) { return 1; }).has_value());
    engine.start();
    EXPECT_EQ(engine.performAndWait(kHangLimitSeconds, [](FakeMachine&) { return 7; }), 7);
    EXPECT_EQ(engine.performAndWait(1e300, [](FakeMachine&) { return 8; }), 8); // no overflowing deadline
    engine.stop();
    while (engine.isRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(engine.performAndWait(10.0, [](FakeMachine&) { return 1; }).has_value());
}

TEST(EngineThread, ALateResultOfPerformAndWaitIsDroppedSafely) {
    ManualQueue main;
    Engine engine(std::make_unique<FakeMachine>(), main.executor());
    engine.start();
    auto value = engine.performAndWait(0.01, [](FakeMachine&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return std::string(1000, 'x');
    });
    EXPECT_FALSE(value.has_value());
    // The engine finishes the closure after the wait gave up; the stored value must
    // still be valid memory when it is written.
    EXPECT_EQ(engine.performAndWait(kHangLimitSeconds, [](FakeMachine&) { return 1; }), 1);
}

TEST(EngineThread, CallbacksPostedAfterTheEngineIsGoneDoNothing) {
    ManualQueue main;
    int calls = 0;
    {
        Engine engine(std::make_unique<FakeMachine>(), main.executor());
        engine.callbacks().onSnapshot = [&](const Engine::Snapshot&) { ++calls; };
        engine.start();
        engine.performAndWait(kHangLimitSeconds, [](FakeMachine&) { return 0; });
    }
    main.drain();
    EXPECT_EQ(calls, 0);
}

} // namespace

} // namespace tw
