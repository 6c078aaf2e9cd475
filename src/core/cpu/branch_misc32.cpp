// 32-bit branches and miscellaneous control: B, B<cond>, BL, MSR, MRS, hints and
// barriers.
#include "core/cpu/exec.h"

namespace tw::cpu {

// 11110 S oooooooooo | 1 J1 x J2 ...
void branchesAndMiscellaneous(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t s = (hw1 >> 10) & 1, j1 = (hw2 >> 13) & 1, j2 = (hw2 >> 11) & 1;
    uint32_t op1 = (hw2 >> 12) & 5; // hw2[14] and hw2[12]
    if (op1 & 1) {
        // B (T4) and BL: offset S:I1:I2:imm10:imm11:0 with In = NOT(Jn XOR S)
        uint32_t i1 = ~(j1 ^ s) & 1, i2 = ~(j2 ^ s) & 1;
        uint32_t offset = (s << 24) | (i1 << 23) | (i2 << 22) | ((hw1 & 0x3FF) << 12) | ((hw2 & 0x7FF) << 1);
        offset = uint32_t(int32_t(offset << 7) >> 7);
        if (op1 & 4) c->regs[14] = e.next | 1; // BL
        e.next = e.address + 4 + offset;
        return;
    }
    if (op1 == 4) return undefined(e, hw1, hw2); // BLX (immediate): there is no ARM state
    uint32_t op = (hw1 >> 4) & 0x7F;
    if ((op & 0x38) != 0x38) { // B<cond> (T3): offset S:J2:J1:imm6:imm11:0
        uint32_t offset = (s << 20) | (j2 << 19) | (j1 << 18) | ((hw1 & 0x3F) << 12) | ((hw2 & 0x7FF) << 1);
        offset = uint32_t(int32_t(offset << 11) >> 11);
        if (conditionPassed(c, (hw1 >> 6) & 15)) e.next = e.address + 4 + offset;
        return;
    }
    if (hw2 & 0x2000) return undefined(e, hw1, hw2); // UDF.W and the rest of that space
    switch (op) {
    case 0x38: case 0x39: // MSR: 11110 0111 00 R nnnn | 10 0 0 mm 00 ssssssss
        if ((hw2 & 0x0300) || (hw1 & 15) == 13 || (hw1 & 15) == 15) return undefined(e, hw1, hw2);
        tw_cpu_msr(c, hw2 & 0xFF, (hw2 >> 10) & 3, c->regs[hw1 & 15]);
        return;
    case 0x3A: // hints: 10 0 0 0 000 hint
        if ((hw2 & 0x0700) || (hw2 & 0xFF) > 4) return undefined(e, hw1, hw2);
        if ((hw2 & 0xFF) == 3) e.events |= kEventWfi;
        return;
    case 0x3B: // CLREX, DSB, DMB, ISB
        switch ((hw2 >> 4) & 15) {
        case 2: case 4: case 5: case 6: return;
        default: return undefined(e, hw1, hw2);
        }
    case 0x3E: case 0x3F: { // MRS: 11110 0111 11 R 1111 | 10 0 0 dddd ssssssss
        uint32_t d = (hw2 >> 8) & 15;
        if (d == 13 || d == 15) return undefined(e, hw1, hw2);
        c->regs[d] = tw_cpu_mrs(c, hw2 & 0xFF);
        return;
    }
    default: return undefined(e, hw1, hw2);
    }
}

} // namespace tw::cpu
