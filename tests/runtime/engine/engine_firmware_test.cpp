// The engine running the real calculator machine on our test firmware, in real
// time and in turbo, on its own thread.
#include "runtime/engine/calculator_engine.h"
#include "runtime/support/engine_sleeps.h"
#include "runtime/support/firmware_calculator.h"
#include "runtime/support/manual_queue.h"
#include "runtime/support/typing_script.h"
#include "runtime/support/virtual_clock.h"
#include "support/hang_limit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <thread>

namespace tw {

namespace {

using namespace tw::test;
using tw::CalculatorEngine;
using tw::CalculatorMachine;
using Command = CalculatorEngine::Command;

using MainQueue = tw::test::ManualQueue;
using tw::test::VirtualClock;

int64_t simMs(CalculatorEngine& engine) {
    return engine.performAndWait(kHangLimitSeconds, [](CalculatorMachine& m) { return m.simMs(); }).value_or(-1);
}

// Waits (in real time) until `done` holds; false after the hang limit.
bool waitUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + kHangLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool waitForDisplay(CalculatorEngine& engine, const std::string& text) {
    return waitUntil([&] {
        return engine.performAndWait(kHangLimitSeconds, [](CalculatorMachine& m) { return shown(m); }) == text;
    });
}

void tapKey(CalculatorEngine& engine, int code) {
    engine.send(std::vector<Command>{Command{Command::Press{code}}, Command{Command::Release{code}}});
}

TEST(EngineOnFirmware, RunsTheCalculatorInRealTimeAndInTurbo) {
    TW_REQUIRE_TEST_FIRMWARE();
    MainQueue main;
    CalculatorEngine engine(startedCalculator(Firmware::Hp15c), main.executor());
    std::vector<std::string> displays;
    engine.callbacks().onSnapshot = [&](const tw::EngineSnapshot& s) { displays.push_back(s.lcd.text); };
    engine.start();

    // 2 ENTER 3 +, each key a tap that the minimum hold keeps down long enough.
    for (int code : {k2, kEnter, k3, kPlus}) {
        tapKey(engine, code);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    ASSERT_TRUE(waitForDisplay(engine, "5."));
    auto x = engine.performAndWait(kHangLimitSeconds,
                                   [](CalculatorMachine& m) { return m.inspect()->stack.at(0).number; });
    EXPECT_EQ(x, 5);

    // Real time: emulated time never runs ahead of the wall clock. Only that way is
    // bounded: a busy machine may hold it back.
    const auto t0 = std::chrono::steady_clock::now();
    const int64_t before = simMs(engine);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int64_t realTime = simMs(engine) - before;
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
    EXPECT_LE(realTime, wall.count() + 260); // at most the wall time plus one resynchronised backlog

    // Turbo: as fast as it goes, a second of emulated time without the engine once
    // waiting for the clock.
    engine.send(Command{Command::SetTurbo{true}});
    const int64_t turboStart = simMs(engine); // commands run in order: turbo is on
    const auto asleep = engineSleeps();
    ASSERT_TRUE(asleep);
    ASSERT_TRUE(waitUntil([&] { return simMs(engine) - turboStart >= 1000; }));
    EXPECT_LE(engineSleeps().value_or(0) - *asleep, kTurboSleepsPerSecond) << "the engine waited for the clock";
    engine.send(Command{Command::SetTurbo{false}});

    engine.stop();
    while (engine.isRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    main.drain();
    ASSERT_FALSE(displays.empty());
    EXPECT_EQ(displays.back().substr(0, 2), "5.");
}

// Three taps of 7 on a virtual clock: pressed every `periodMs`, each let go `holdMs`
// after its press (or, without a hold, together with the next press, as the desktop
// keyboard delivers a release it held back). Answers the display at the end.
std::string threeSevens(int64_t periodMs, std::optional<int64_t> holdMs) {
    auto clock = std::make_shared<VirtualClock>();
    MainQueue main;
    CalculatorEngine engine(startedCalculator(Firmware::Hp15c), main.executor(), clock);
    std::multimap<int64_t, Command> script;
    for (int64_t tap = 0; tap < 3; ++tap) {
        const int64_t at = tap * periodMs;
        script.emplace(at, Command{Command::Press{k7}});
        script.emplace(holdMs ? at + *holdMs : at + periodMs, Command{Command::Release{k7}});
    }
    const uint64_t start = clock->now();
    bool stopped = false;
    clock->onWait = [&](uint64_t now) {
        const int64_t elapsed = int64_t((now - start) / 1'000'000);
        for (auto it = script.begin(); it != script.end() && it->first <= elapsed;) {
            engine.send(std::move(it->second));
            it = script.erase(it);
        }
        if (elapsed >= 3 * periodMs + 1500 && !stopped) {
            stopped = true;
            engine.stop();
        }
    };
    engine.markRunningForTesting();
    engine.runLoop();
    return shown(engine.machineForTesting());
}

TEST(EngineOnFirmware, EveryTapOfARepeatedKeyCountsHoweverFastTheTapsCome) {
    TW_REQUIRE_TEST_FIRMWARE();
    EXPECT_EQ(threeSevens(150, 60), "777");          // slow taps that leave time to spare
    EXPECT_EQ(threeSevens(150, std::nullopt), "777"); // each release arrives with the next press
    EXPECT_EQ(threeSevens(80, 70), "777");           // released before the minimum hold, pressed again just after
    EXPECT_EQ(threeSevens(40, 0), "777");            // faster than a hold and a release together
}

TEST(EngineOnFirmware, SwitchesModelsAndSavesAndLoadsMemoryThroughCommands) {
    TW_REQUIRE_TEST_FIRMWARE();
    MainQueue main;
    CalculatorEngine engine(startedCalculator(Firmware::Multi), main.executor());
    std::optional<int> inspectedVariant;
    engine.callbacks().onInspector = [&](const std::optional<tw::InspectorSnapshot>& s) {
        if (s) inspectedVariant = s->variant;
    };
    engine.start();
    engine.send(Command{Command::SetTurbo{true}});
    engine.send(Command{Command::SetInspector{true}});

    std::optional<tw::EngineOutcome<int>> switched;
    engine.send(Command{Command::SwitchModel{160, [&](tw::EngineOutcome<int> r) { switched = r; }}});
    std::optional<tw::EngineOutcome<tw::SavedState>> saved;
    engine.send(Command{Command::SaveState{[&](tw::EngineOutcome<tw::SavedState> r) { saved = r; }}});
    std::optional<std::exception_ptr> loaded;
    engine.send(Command{Command::LoadMemory{std::vector<uint8_t>(10), [&](std::exception_ptr e) { loaded = e; }}});
    ASSERT_TRUE(engine.performAndWait(kHangLimitSeconds, [](CalculatorMachine&) { return true; }));
    main.drain();

    ASSERT_TRUE(switched && switched->ok());
    EXPECT_EQ(switched->value, 160);
    EXPECT_EQ(inspectedVariant, 160);
    ASSERT_TRUE(saved && saved->ok());
    EXPECT_EQ(saved->value->variant, 160);
    EXPECT_EQ(saved->value->memory.size(), 2048u);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(*loaded); // a memory of ten bytes is refused
    EXPECT_TRUE(waitForDisplay(engine, "0."));
}

// Typing ahead of the emulation, at a quick typist's spacings and all in one batch:
// every key reaches the firmware once, alone and in order, so the display and the
// memory are what slow typing gives; no key becomes a chord the user did not make.
void expectAsTypedSlowly(const std::vector<TypedKey>& keys, const std::string& what) {
    const TypingRun slow = typeOnVirtualClock(keys, slowSpacingMs);
    for (int64_t spacing : {20, 75, 150, 0}) {
        SCOPED_TRACE(what + (spacing ? " typed " + std::to_string(spacing) + " ms apart" : " in one batch"));
        const TypingRun quick = typeOnVirtualClock(keys, spacing);
        EXPECT_EQ(quick.display, slow.display);
        EXPECT_EQ(keptMemory(quick.memory), keptMemory(slow.memory));
    }
}

TEST(EngineTyping, EveryKeyArrivesOnceInOrderAndAloneHoweverFastItIsTyped) {
    TW_REQUIRE_TEST_FIRMWARE();
    const TypingRun digits = typeOnVirtualClock({k1, k0, k0, k0, k5}, slowSpacingMs);
    ASSERT_EQ(digits.display.substr(0, 5), "10005"); // the reference itself is right
    expectAsTypedSlowly({k1, k0, k0, k0, k5}, "10005");
    expectAsTypedSlowly({k1, k0, k0, k2}, "1002");
    expectAsTypedSlowly({k1, k2, k3, k4, k5, k6, k7, k8, k9, k0}, "1234567890");
    expectAsTypedSlowly({k1, k0, k0, k0, kEnter, k2, kPlus}, "1000 ENTER 2 +");
    expectAsTypedSlowly({k3, k3, k3, k3, k3, kSto, k2, kClear, kRcl, k2}, "33333 STO 2 CLx RCL 2");
    // A shifted legend right after a key the firmware scans after the shift, and
    // right after quick taps of its own shift key.
    // (g R/S switches to program entry, where 6 becomes a step.)
    expectAsTypedSlowly({k5, k0, TypedKey::shifted(kG, kRunStop), k6}, "5 0 g-R/S 6");
    expectAsTypedSlowly({k4, kG, kG, TypedKey::shifted(kG, kRunStop), k6}, "4 g g g-R/S 6");
}

TEST(EngineTyping, QuickMinusesThenOnTurnTheCalculatorOffAndKeepItsMemory) {
    TW_REQUIRE_TEST_FIRMWARE();
    // ON right after "−" must not become the memory-reset chord (ON with "−" held).
    const std::vector<TypedKey> keys{k7, kSto, k1, kMinus, kMinus, kMinus, kMinus, kMinus, kOn};
    const TypingRun slow = typeOnVirtualClock(keys, slowSpacingMs);
    EXPECT_EQ(slow.display, "");
    expectAsTypedSlowly(keys, "7 STO 1, five −, ON");
}

TEST(EngineTyping, SavesLoadsAndChordsRightBehindQuickTypingKeepEveryKeyAndMakeNoOtherChord) {
    TW_REQUIRE_TEST_FIRMWARE();
    // Each operation turns the calculator off or reads or replaces its memory: the
    // keys before it count, and none is down (a latched "−" with ON is the reset).
    const std::vector<TypedKey> typed{k5, kEnter, k3, TypedKey::held(kMinus)};
    const std::vector<TypedKey> slowKeys{k5, kEnter, k3, kMinus};
    const auto saved = [](const std::vector<TypedKey>& keys, int64_t spacing) {
        std::vector<uint8_t> memory;
        typeOnVirtualClock(keys, spacing, [&](CalculatorMachine& m) { memory = m.savedState(true).memory; });
        return keptMemory(memory);
    };
    auto other = startedCalculator(Firmware::Hp15c);
    keys(*other, {k4, k2});
    const std::vector<uint8_t> image = other->readMemoryOff(false);
    const auto reloaded = [&](const std::vector<TypedKey>& keys, int64_t spacing) {
        return typeOnVirtualClock(keys, spacing, [&](CalculatorMachine& m) { m.loadMemory(image); }).display;
    };
    const auto selfTest = [](const std::vector<TypedKey>& keys, int64_t spacing) {
        return typeOnVirtualClock(keys, spacing, [](CalculatorMachine& m) {
                   m.play(KeyChord::selfTest);
                   m.clearPrError();
                   m.turnOff();
                   m.turnOn();
               })
            .display;
    };
    const std::vector<uint8_t> slowSave = saved(slowKeys, slowSpacingMs);
    const std::string slowReload = reloaded(slowKeys, slowSpacingMs);
    const std::string slowSelfTest = selfTest(slowKeys, slowSpacingMs);
    EXPECT_EQ(slowReload, "42.");
    for (int64_t spacing : {20, 0}) {
        SCOPED_TRACE(spacing ? "typed 20 ms apart" : "in one batch");
        EXPECT_EQ(saved(typed, spacing), slowSave);
        EXPECT_EQ(reloaded(typed, spacing), slowReload);
        EXPECT_EQ(selfTest(typed, spacing), slowSelfTest);
    }
}

} // namespace

} // namespace tw
