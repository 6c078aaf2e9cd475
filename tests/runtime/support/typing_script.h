// Keys typed into the engine on a virtual clock, at a typist's spacing or all in
// one batch (a busy host that delivers them together), and what slow typing of
// the same keys gives, for comparison.
#pragma once

#include "runtime/engine/calculator_engine.h"
#include "runtime/support/firmware_calculator.h"
#include "runtime/support/manual_queue.h"
#include "runtime/support/virtual_clock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

// One key of a script: a tap, a press that is never let go (a latch), or a tap of
// a shifted legend (the engine taps the shift unless it is lit).
struct TypedKey {
    int code;
    bool letGo = true;
    int shift = 0;
    TypedKey(int c) : code(c) {}
    static TypedKey held(int c) {
        TypedKey k(c);
        k.letGo = false;
        return k;
    }
    static TypedKey shifted(int s, int c) {
        TypedKey k(c);
        k.shift = s;
        return k;
    }
};

// Slow typing: far apart and held well beyond the minimum hold.
constexpr int64_t slowSpacingMs = 400;

struct TypingRun {
    std::string display;          // after the script and a second of quiet
    std::vector<uint8_t> memory;  // read with the calculator off, after that
    std::vector<std::string> displays; // every display the engine published
};

// Types `keys` on a fresh 15C machine, a key every `spacingMs` of virtual time (0:
// the whole script in one batch), each let go a third of the spacing after its
// press; `then` is sent one spacing after the last key (with the batch for 0).
// The engine runs until a second after that, then stops. `then` gets the machine
// on the engine thread.
inline TypingRun typeOnVirtualClock(const std::vector<TypedKey>& keys, int64_t spacingMs,
                                    std::function<void(CalculatorMachine&)> then = nullptr) {
    using Command = CalculatorEngine::Command;
    auto clock = std::make_shared<VirtualClock>();
    ManualQueue main;
    TypingRun run;
    CalculatorEngine engine(startedCalculator(Firmware::Hp15c), main.executor(), clock);
    engine.callbacks().onSnapshot = [&](const EngineSnapshot& s) { run.displays.push_back(s.lcd.text); };

    std::multimap<int64_t, Command> script;
    int64_t at = 0;
    for (const TypedKey& key : keys) {
        if (key.shift)
            script.emplace(at, Command{Command::PressShifted{key.shift, key.code}});
        else
            script.emplace(at, Command{Command::Press{key.code}});
        if (key.letGo) script.emplace(at + spacingMs / 3, Command{Command::Release{key.code}});
        at += spacingMs;
    }
    if (then) script.emplace(at, Command{Command::Perform{then}});
    const int64_t stopAt = at + 1000;

    const uint64_t start = clock->now();
    bool stopped = false;
    const auto feed = [&](int64_t elapsed) {
        std::vector<Command> due;
        for (auto it = script.begin(); it != script.end() && it->first <= elapsed;) {
            due.push_back(std::move(it->second));
            it = script.erase(it);
        }
        engine.send(std::move(due));
        if (elapsed >= stopAt && !stopped) {
            stopped = true;
            engine.stop();
        }
    };
    feed(0);
    clock->onWait = [&](uint64_t now) { feed(int64_t((now - start) / 1'000'000)); };
    engine.markRunningForTesting();
    engine.runLoop();
    main.drain();

    CalculatorMachine& m = engine.machineForTesting();
    m.run(1000);
    run.display = shown(m);
    run.memory = m.readMemoryOff(false);
    return run;
}

// The part of a memory image that the keys decide (what a power cycle keeps).
inline std::vector<uint8_t> keptMemory(const std::vector<uint8_t>& memory) {
    return {memory.begin() + CalculatorMachine::comparedBegin, memory.begin() + CalculatorMachine::comparedEnd};
}

} // namespace tw::test
