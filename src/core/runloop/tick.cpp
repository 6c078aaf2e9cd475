// tw_run: the whole calculator in 10 ms ticks. Each tick runs the firmware's main
// loop for a clock-scaled budget, then its timer and periodic handlers as interrupts.
#include "core/memory_map.h"
#include "core/runloop/run_loop.h"

namespace {

constexpr uint32_t kTimerWanted = 0x20000855u;  // byte: 1 when the firmware wants its timer handler
constexpr uint32_t kClockWord = 0x2000085Cu;    // the firmware's CPU clock in Hz
constexpr uint32_t kHandlerReturn = 0x2000F000u; // handlers return through LR = 0x2000F001
constexpr uint64_t kHandlerBudget = 5'000'000;
using tw::kFirmwareBase;

// Calls a handler like a function, without exception stacking; the main program's
// registers, flags and IT state come back whatever the handler did.
int runAsInterrupt(tw_machine* m, uint32_t handler) {
    tw_cpu& cpu = m->cpu;
    uint32_t regs[16];
    for (int i = 0; i < 16; ++i) regs[i] = cpu.regs[i];
    const uint32_t n = cpu.flagN, z = cpu.flagZ, c = cpu.flagC, v = cpu.flagV, q = cpu.flagQ;
    const uint8_t it = cpu.itState;

    cpu.regs[13] = (cpu.regs[13] & ~7u) - 256;
    cpu.regs[14] = kHandlerReturn | 1;
    cpu.regs[15] = handler & ~1u;
    cpu.itState = 0;
    int result = tw_cpu_run(&cpu, kHandlerBudget, kHandlerReturn);

    for (int i = 0; i < 16; ++i) cpu.regs[i] = regs[i];
    cpu.flagN = n, cpu.flagZ = z, cpu.flagC = c, cpu.flagV = v, cpu.flagQ = q;
    cpu.itState = it;
    return result;
}

// True when the main program stopped right after a WFI in the firmware. Signed
// arithmetic, so a PC just above 0x4000 does not read before the file.
bool stoppedOnWfi(const tw_machine* m) {
    int64_t pc = m->cpu.regs[15];
    if (pc - int64_t(kFirmwareBase + 2) < 0 || pc - int64_t(kFirmwareBase) > int64_t(m->firmwareSize)) return false;
    const uint8_t* before = m->flash.get() + (pc - 2);
    return before[0] == 0x30 && before[1] == 0xBF;
}

void updateBudget(tw_machine* m) {
    uint32_t clock = 0;
    if (tw_bus_read_quiet(&m->cpu, kClockWord, 4, &clock) != 0) return;
    if (clock == 4'000'000 || clock == 12'000'000 || clock == 48'000'000)
        m->tickBudget = uint32_t(clock / 100.0 * 0.75); // three quarters of the cycles in 10 ms
}

int tick(tw_machine* m) {
    tw_cpu& cpu = m->cpu;
    const uint64_t before = cpu.instructionCount;
    if (tw_cpu_run(&cpu, m->tickBudget, 0xFFFFFFFFu) == TW_RUN_FAULT) {
        tw::setLastErrorf(m, "%s", cpu.faultText);
        return TW_ERR_FAULT;
    }
    const bool idle = stoppedOnWfi(m);
    if (idle) {
        ++m->idleTicks;
        m->busyTicks = 0;
    } else {
        ++m->busyTicks;
    }
    m->tickInstructions += cpu.instructionCount - before;

    if (!m->peripherals.irq39Enabled) return TW_OK;
    if (cpu.primask && !idle) return TW_OK;

    uint32_t timerWanted = 0;
    if (tw_bus_read_quiet(&cpu, kTimerWanted, 1, &timerWanted) == 0 && timerWanted == 1 &&
        m->peripherals.timerRunning) {
        m->peripherals.inInterrupt = 1;
        int result = runAsInterrupt(m, m->timerHandler);
        m->peripherals.inInterrupt = 0;
        if (result == TW_RUN_FAULT) {
            tw::setLastErrorf(m, "in interrupt: %s", cpu.faultText);
            return TW_ERR_FAULT;
        }
    }

    updateBudget(m);

    if (runAsInterrupt(m, m->periodicHandler) == TW_RUN_FAULT) {
        tw::setLastErrorf(m, "in interrupt: %s", cpu.faultText);
        return TW_ERR_FAULT;
    }
    ++m->tickCount;
    return TW_OK;
}

} // namespace

extern "C" int tw_run(tw_machine* m, uint32_t milliseconds) {
    if (!m || m->mode != TW_MODE_CALCULATOR) return TW_ERR_STATE;
    const uint32_t ticks = milliseconds < 10 ? 1 : milliseconds / 10;
    for (uint32_t i = 0; i < ticks; ++i) {
        int status = tick(m);
        if (status != TW_OK) return status;
    }
    return TW_OK;
}
