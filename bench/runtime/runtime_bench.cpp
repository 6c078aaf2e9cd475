// Emulated milliseconds per real millisecond when the machine runs flat out (the
// engine's turbo) on a busy firmware, and the cost of one trial memory check.
#include "runtime/support/firmware_calculator.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace tw {

namespace {

using namespace tw::test;
using tw::CalculatorMachine;

// The engine's turbo: 10 ms slices back to back. One iteration is one emulated
// second. Busy: SST held keeps the firmware's main loop spinning through its whole
// budget in every tick; idle: it waits in WFI between ticks.
void turbo(benchmark::State& state, bool busy) {
    if (!firmwareBuilt()) {
        state.SkipWithError("test firmware not built");
        return;
    }
    auto m = startedCalculator(Firmware::Hp15c);
    if (busy) {
        m->press(21);
        m->run(100);
    }
    const auto start = std::chrono::steady_clock::now();
    const int64_t simStart = m->simMs();
    for (auto _ : state)
        for (int slice = 0; slice < 100; ++slice) m->run(10);
    const double realMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    state.counters["emulated_ms_per_real_ms"] = double(m->simMs() - simStart) / realMs;
}

void BM_TurboBusySecond(benchmark::State& state) { turbo(state, true); }
void BM_TurboIdleSecond(benchmark::State& state) { turbo(state, false); }

// One trial check: a scratch machine loads, starts, power-cycles and reads g MEM.
void BM_TrialCheck(benchmark::State& state, Firmware which, int variant) {
    if (!firmwareBuilt()) {
        state.SkipWithError("test firmware not built");
        return;
    }
    auto m = startedCalculator(which);
    if (variant != m->variant()) m->switchModel(variant);
    const auto memory = m->readMemoryOff(false);
    for (auto _ : state) {
        auto check = CalculatorMachine::checkMemory(memory, firmwareBytes(which), variant);
        benchmark::DoNotOptimize(check);
    }
}

BENCHMARK(BM_TurboBusySecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurboIdleSecond)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TrialCheck, hp15c, Firmware::Hp15c, 150)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TrialCheck, multi_switch_to_152, Firmware::Multi, 152)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace tw
