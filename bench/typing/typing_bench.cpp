// Keys typed faster than the calculator takes them, on the engine in real time:
// from the last keystroke to the display that shows every key, for ten distinct
// keys and for ten taps of one key 30 ms apart; and the quit-time capture after
// 40 quick taps, from the last keystroke to the captured state.
#include "app/app_model.h"
#include "runtime/engine/calculator_engine.h"
#include "runtime/support/firmware_calculator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tw {

namespace {

using namespace tw::test;
using Clock = std::chrono::steady_clock;
using Command = CalculatorEngine::Command;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// What the same keys show when typed slowly, straight on a machine.
std::string slowly(const std::vector<int>& codes) {
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, codes);
    return shown(*m);
}

// Taps 30 ms apart, each held 10 ms, as a quick typist's keyboard delivers them.
Clock::time_point type(CalculatorEngine& engine, const std::vector<int>& codes) {
    Clock::time_point last;
    for (int code : codes) {
        last = Clock::now();
        engine.send(Command{Command::Press{code}});
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        engine.send(Command{Command::Release{code}});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return last;
}

void toFinalDisplay(benchmark::State& state, std::vector<int> codes) {
    if (!firmwareBuilt()) {
        state.SkipWithError("test firmware not built");
        return;
    }
    const std::string expected = slowly(codes);
    for (auto _ : state) {
        std::mutex mutex;
        std::condition_variable shownNow;
        std::optional<Clock::time_point> shownAt;
        // Callbacks run on the engine thread: the moment the display changes.
        CalculatorEngine engine(startedCalculator(Firmware::Hp15c), [](std::function<void()> f) { f(); });
        engine.callbacks().onSnapshot = [&](const EngineSnapshot& s) {
            std::lock_guard lock(mutex);
            if (trimmed(s.lcd.text) == expected) {
                shownAt = Clock::now();
                shownNow.notify_all();
            } else {
                shownAt.reset();
            }
        };
        engine.start();
        const Clock::time_point last = type(engine, codes);
        std::unique_lock lock(mutex);
        if (!shownNow.wait_for(lock, std::chrono::seconds(10), [&] { return shownAt.has_value(); })) {
            state.SkipWithError("the display never showed what slow typing shows");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(*shownAt - last).count());
    }
}

void BM_TenDistinctKeysToDisplay(benchmark::State& state) {
    toFinalDisplay(state, {k1, k2, k3, k4, k5, k6, k7, k8, k9, k0});
}
void BM_TenRepeatedKeysToDisplay(benchmark::State& state) { toFinalDisplay(state, std::vector<int>(10, k7)); }

// 1 ENTER ENTER ENTER, then 40 taps of + 20 ms apart, then the capture of the quit.
void BM_QuitAfterFortyTaps(benchmark::State& state) {
    if (!firmwareBuilt()) {
        state.SkipWithError("test firmware not built");
        return;
    }
    int capturedRuns = 0;
    for (auto _ : state) {
        auto engine = std::make_unique<CalculatorEngine>(startedCalculator(Firmware::Hp15c),
                                                         [](std::function<void()>) {});
        engine->start();
        for (int code : {k1, kEnter, kEnter, kEnter}) {
            engine->send(std::vector<Command>{Command{Command::Press{code}}, Command{Command::Release{code}}});
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        Clock::time_point last;
        for (int tap = 0; tap < 40; ++tap) {
            last = Clock::now();
            engine->send(Command{Command::Press{kPlus}});
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            engine->send(Command{Command::Release{kPlus}});
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
        auto captured = engine->performAndWait(3.0, &AppModel::captureStateOnQuit);
        engine.reset(); // the engine thread ends, as the process would
        const double seconds = std::chrono::duration<double>(Clock::now() - last).count();
        if (captured && *captured) ++capturedRuns;
        state.SetIterationTime(seconds);
    }
    state.counters["captured_runs"] = capturedRuns;
}

BENCHMARK(BM_TenDistinctKeysToDisplay)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenRepeatedKeysToDisplay)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuitAfterFortyTaps)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace tw
