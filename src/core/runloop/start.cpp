// tw_start: rebuilds the machine from its firmware in one of the two run modes.
#include "core/bits.h"
#include "core/runloop/run_loop.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tw {

uint32_t firmwareWord(const tw_machine* m, uint32_t index) {
    uint64_t offset = uint64_t(index) * 4;
    if (!m->firmware || offset + 4 > m->firmwareSize) return 0;
    const uint8_t* p = m->firmware.get() + offset;
    return loadLE32(p);
}

void setLastErrorf(tw_machine* m, const char* format, ...) {
    char text[sizeof m->lastError];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    setLastError(m, text);
}

} // namespace tw

namespace {

constexpr uint32_t kTimerVector = 85;    // exception 85: the timer
constexpr uint32_t kPeriodicVector = 55; // exception 55: interrupt 39
constexpr uint32_t kInitialBudget = 30'000;

void clearRunState(tw_machine* m) {
    m->model = m->family == TW_FAMILY_MULTI ? uint32_t(TW_FAMILY_12C) : m->family;
    m->modelCode = 0;
    m->hookPasses = 0;
    m->shiftPending = 0;
    m->runnerSnapshot.valid = 0;
    std::memset(m->statusText, 0, sizeof m->statusText);
    m->textCount = 0;
    m->tickCount = 0;
    m->idleTicks = 0;
    m->tickInstructions = 0;
    m->peripherals = {}; // the calculator's start then sets the ADC reading from the battery
    std::memset(m->keys, 0, sizeof m->keys);
    m->onKey = 0;
}

int startCalculator(tw_machine* m) {
    m->runnerPeriph.reset();
    m->runnerSystem.reset();
    tw_reset_mode(m, TW_MODE_CALCULATOR);

    // The reset cleared the hooks, so these two always find room.
    if (m->anchor != 0 && tw_cpu_add_hook(&m->cpu, m->anchor, tw_hook_capture_text, nullptr) != TW_OK)
        return TW_ERR_STATE;
    m->passLimit = tw::kNoPassLimit;
    if (m->family == TW_FAMILY_16C && tw_cpu_add_hook(&m->cpu, tw::kStepRoutine, tw_hook_step_limit, nullptr) != TW_OK)
        return TW_ERR_STATE;

    m->tickBudget = kInitialBudget;
    m->peripherals.adcValue = uint32_t(m->battery * 1024.0 + 0.5);
    m->timerHandler = tw::firmwareWord(m, kTimerVector);
    m->periodicHandler = tw::firmwareWord(m, kPeriodicVector);
    m->cpu.regs[13] = tw::firmwareWord(m, 0);
    m->cpu.regs[15] = tw::firmwareWord(m, 1) & ~1u;
    m->mode = TW_MODE_CALCULATOR;
    return tw_run(m, 300); // the boot
}

} // namespace

extern "C" int tw_start(tw_machine* m, int mode, int pressOn) {
    if (!m) return TW_ERR_ARGUMENT;
    if (m->family == TW_FAMILY_NONE) {
        tw::setLastError(m, "no supported firmware loaded");
        return TW_ERR_STATE;
    }
    if (mode == TW_MODE_RUNNER && m->family != TW_FAMILY_16C) {
        tw::setLastError(m, "the program runner needs an HP-16C CE firmware; use the whole-calculator engine");
        return TW_ERR_STATE;
    }
    // Refused before anything is cleared, so a running calculator keeps its keys and interrupts.
    if (mode != TW_MODE_RUNNER && mode != TW_MODE_CALCULATOR) return TW_ERR_ARGUMENT;

    clearRunState(m);
    return mode == TW_MODE_CALCULATOR ? startCalculator(m) : tw::startRunner(m, pressOn != 0);
}
