// The ARM barrel shifter (Shift_C) and the condition test on N, Z, C, V, for
// callers outside the interpreter.
#include "core/cpu/exec.h"

extern "C" {

uint32_t tw_shift_c(uint32_t value, uint32_t type, uint32_t amount, uint32_t carryIn, uint32_t* carryOut) {
    uint32_t carry;
    uint32_t result = tw::cpu::shiftC(value, type, amount, carryIn, &carry);
    if (carryOut) *carryOut = carry;
    return result;
}

int tw_cpu_condition(const tw_cpu* cpu, uint32_t cond) { return tw::cpu::conditionPassed(cpu, cond) ? 1 : 0; }

} // extern "C"
