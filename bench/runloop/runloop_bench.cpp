// One emulated second (100 ticks) of the HP-15C test firmware, idle and busy.
#include "support/test_firmware.h"

#include <benchmark/benchmark.h>

namespace tw {

namespace {

using tw::test::Firmware;

// Busy: SST held, so the main loop spins through its whole budget in every tick.
void runOneSecond(benchmark::State& state, bool busy) {
    auto m = tw::test::startedMachine(Firmware::Hp15c);
    if (!m || tw_runner_key(m.get(), 30, 0) != TW_OK) {
        state.SkipWithError("test firmware not built");
        return;
    }
    if (busy) tw_key_down(m.get(), 21);
    uint64_t before[4], after[4];
    tw_stats(m.get(), before);
    for (auto _ : state)
        if (tw_run(m.get(), 1000) != TW_OK) state.SkipWithError(tw_last_error(m.get()));
    tw_stats(m.get(), after);
    state.SetItemsProcessed(int64_t(after[0] - before[0])); // instructions
}

void BM_IdleSecond(benchmark::State& state) { runOneSecond(state, false); }
void BM_BusySecond(benchmark::State& state) { runOneSecond(state, true); }

BENCHMARK(BM_IdleSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusySecond)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace tw
