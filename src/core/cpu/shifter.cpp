// The ARM barrel shifter (Shift_C) and the condition test on N, Z, C, V.
#include "core/tw.h"

extern "C" {

uint32_t tw_shift_c(uint32_t value, uint32_t type, uint32_t amount, uint32_t carryIn, uint32_t* carryOut) {
    uint32_t carry = carryIn;
    uint32_t result = value;
    if (type == TW_SHIFT_RRX) {
        carry = value & 1;
        result = (carryIn << 31) | (value >> 1);
    } else if (amount != 0) {
        switch (type) {
        case TW_SHIFT_LSL:
            if (amount < 32) {
                carry = (value >> (32 - amount)) & 1;
                result = value << amount;
            } else {
                carry = amount == 32 ? value & 1 : 0;
                result = 0;
            }
            break;
        case TW_SHIFT_LSR:
            if (amount < 32) {
                carry = (value >> (amount - 1)) & 1;
                result = value >> amount;
            } else {
                carry = amount == 32 ? value >> 31 : 0;
                result = 0;
            }
            break;
        case TW_SHIFT_ASR:
            if (amount < 32) {
                carry = (value >> (amount - 1)) & 1;
                result = uint32_t(int32_t(value) >> amount);
            } else {
                carry = value >> 31;
                result = uint32_t(int32_t(value) >> 31);
            }
            break;
        default: { // ROR
            uint32_t n = amount & 31;
            result = n ? (value >> n) | (value << (32 - n)) : value;
            carry = result >> 31;
            break;
        }
        }
    }
    if (carryOut) *carryOut = carry;
    return result;
}

int tw_cpu_condition(const tw_cpu* cpu, uint32_t cond) {
    uint32_t n = cpu->flagN, z = cpu->flagZ, c = cpu->flagC, v = cpu->flagV;
    bool r;
    switch ((cond >> 1) & 7) {
    case 0: r = z; break;
    case 1: r = c; break;
    case 2: r = n; break;
    case 3: r = v; break;
    case 4: r = c && !z; break;
    case 5: r = n == v; break;
    case 6: r = n == v && !z; break;
    default: return 1; // AL, and 15 too
    }
    return (cond & 1) ? !r : r;
}

} // extern "C"
