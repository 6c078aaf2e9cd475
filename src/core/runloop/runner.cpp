// The program runner (mode 0): the HP-16C firmware's own entry points called
// directly, one key at a time, without timer, key matrix or interrupts.
#include "core/runloop/run_loop.h"

#include <cstring>
#include <new>

namespace {

constexpr int kOnKey = 30;
constexpr int kClearKey = 24;

std::unique_ptr<uint8_t[]> zeroedBuffer() {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[tw_machine::kRunnerBufferSize]());
}

void callEntry(tw_machine* m, uint32_t entry, uint32_t r0) {
    tw_cpu& cpu = m->cpu;
    cpu.regs[13] = tw::kRunnerStack;
    cpu.regs[14] = tw::kRunnerReturn | 1;
    cpu.regs[0] = r0;
    cpu.regs[15] = entry;
}

void takeSnapshot(tw_machine* m) {
    auto& snapshot = m->runnerSnapshot;
    snapshot.cpu = m->cpu;
    std::memcpy(snapshot.ram.get(), m->ram.get(), tw_machine::kRunnerRamSize);
    snapshot.valid = 1;
}

// Back to before the shift key: registers and RAM; the bus and the instruction count stay.
void restoreSnapshot(tw_machine* m) {
    auto& snapshot = m->runnerSnapshot;
    tw_cpu& cpu = m->cpu;
    const tw_cpu_bus bus = cpu.bus;
    const uint64_t instructionCount = cpu.instructionCount;
    cpu = snapshot.cpu;
    cpu.bus = bus;
    cpu.instructionCount = instructionCount;
    std::memcpy(m->ram.get(), snapshot.ram.get(), tw_machine::kRunnerRamSize);
}

int pressInRunner(tw_machine* m, int code, uint64_t passLimit) {
    if (m->shiftPending == 0) takeSnapshot(m);
    m->passLimit = passLimit != 0 ? m->hookPasses + passLimit : tw::kNoPassLimit;
    callEntry(m, tw::kRunnerKeyRoutine, uint32_t(code));

    uint64_t passesBefore;
    do {
        passesBefore = m->hookPasses;
        int result = tw_cpu_run(&m->cpu, tw::kRunnerBudget, tw::kRunnerReturn);
        if (result == TW_RUN_STOP_PC) {
            m->shiftPending = (code == 31 || code == 32) ? 1 : 0;
            return TW_OK;
        }
        if (result == TW_RUN_FAULT) {
            tw::setLastErrorf(m, "%s", m->cpu.faultText);
            return TW_ERR_FAULT;
        }
        if (m->hookPasses > m->passLimit) return 1;
    } while (m->hookPasses != passesBefore);

    // The key routine waits for something the runner does not model.
    tw_display_text(m, m->statusText, sizeof m->statusText);
    if (m->shiftPending == 0 || !m->runnerSnapshot.valid) {
        m->shiftPending = 0;
        tw::setLastErrorf(m,
                          "key %s: the firmware is waiting for a timer or a key release (for example PSE in a "
                          "program); the runner cannot model that",
                          tw_key_name(16, code));
        return TW_ERR_RUNNER;
    }
    restoreSnapshot(m);
    m->shiftPending = 0;
    return 2;
}

int pressInCalculator(tw_machine* m, int code) {
    if (code == kOnKey)
        m->onKey = 1;
    else
        m->keys[code] = 1;
    int status = tw_run(m, 100);
    if (status != TW_OK) return status;
    if (m->mode == TW_MODE_CALCULATOR) {
        if (code == kOnKey)
            m->onKey = 0;
        else
            m->keys[code] = 0;
    }
    return tw_run(m, 250);
}

} // namespace

namespace tw {

int startRunner(tw_machine* m, bool pressOn) {
    m->runnerPeriph = zeroedBuffer();
    m->runnerSystem = zeroedBuffer();
    if (!m->runnerPeriph || !m->runnerSystem) {
        // Nothing may keep running over the freed buffers.
        m->runnerPeriph.reset();
        m->runnerSystem.reset();
        m->mode = TW_MODE_NONE;
        return TW_ERR_ARGUMENT;
    }
    tw_reset_mode(m, TW_MODE_RUNNER);
    // The reset cleared the hooks, so these two always find room.
    if (tw_cpu_add_hook(&m->cpu, kRunnerSkipped, tw_hook_return, nullptr) != TW_OK ||
        tw_cpu_add_hook(&m->cpu, kStepRoutine, tw_hook_step_limit, nullptr) != TW_OK)
        return TW_ERR_STATE;

    tw_bus_write_quiet(&m->cpu, 0x20000010u, 4, 55332);       // the running image's descriptor
    tw_bus_write_quiet(&m->cpu, 0x20000014u, 4, 0x20000020u); // the display block
    tw_bus_write_quiet(&m->cpu, 0x20000018u, 4, 2048);        // first 8 bytes of the memory image
    tw_bus_write_quiet(&m->cpu, 0x2000001Cu, 4, 0);

    m->mode = TW_MODE_RUNNER;
    m->passLimit = kNoPassLimit;
    callEntry(m, kRunnerInit, 0);

    int result;
    uint64_t passesBefore;
    do {
        passesBefore = m->hookPasses;
        result = tw_cpu_run(&m->cpu, kRunnerBudget, kRunnerReturn);
        if (result == TW_RUN_FAULT) {
            setLastErrorf(m, "%s", m->cpu.faultText);
            return TW_ERR_FAULT;
        }
    } while (result != TW_RUN_STOP_PC && m->hookPasses <= m->passLimit && m->hookPasses != passesBefore);
    if (result != TW_RUN_STOP_PC) {
        // The set-up never came back: the runner would work on a half-made firmware state.
        setLastErrorf(m, "the program runner's start did not return (pc 0x%08x)", unsigned(m->cpu.regs[15]));
        return TW_ERR_FAULT;
    }

    if (pressOn) {
        for (int code : {kOnKey, kClearKey}) {
            int status = tw_runner_key(m, code, 0);
            if (status < 0) return status;
        }
    }
    return TW_OK;
}

} // namespace tw

extern "C" int tw_runner_key(tw_machine* m, int code, uint64_t passLimit) {
    if (!m || code < 0 || code >= 40) return TW_ERR_ARGUMENT;
    switch (m->mode) {
    case 0: return pressInRunner(m, code, passLimit);
    case 1: return pressInCalculator(m, code);
    default: return TW_ERR_STATE;
    }
}
