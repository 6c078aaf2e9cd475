// 32-bit multiplies (MUL, MLA, MLS, the halfword SMULxy/SMLAxy), long multiplies
// and the two divisions.
#include "core/cpu/exec.h"

namespace tw::cpu {

// 111110110 ooo nnnn | aaaa dddd 00 NM mmmm
void multiply(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t op1 = (hw1 >> 4) & 7, op2 = (hw2 >> 4) & 3, a = hw2 >> 12, d = (hw2 >> 8) & 15;
    if ((hw2 & 0xC0) || d == 15) return undefined(e, hw1, hw2);
    uint32_t n = reg(e, hw1 & 15), m = reg(e, hw2 & 15);
    if (op1 == 0) {
        if (op2 == 0) c->regs[d] = n * m + (a == 15 ? 0 : c->regs[a]); // MUL, MLA
        else if (op2 == 1 && a != 15) c->regs[d] = c->regs[a] - n * m;  // MLS
        else return undefined(e, hw1, hw2);
        return;
    }
    if (op1 != 1) return undefined(e, hw1, hw2); // dual, word and most-significant forms
    int32_t x = int16_t(op2 & 2 ? n >> 16 : n);  // SMULxy, SMLAxy: N picks Rn's half, M Rm's
    int32_t y = int16_t(op2 & 1 ? m >> 16 : m);
    int64_t product = int64_t(x) * y;
    if (a == 15) {
        c->regs[d] = uint32_t(product);
        return;
    }
    int64_t sum = product + int32_t(c->regs[a]);
    if (sum != int32_t(sum)) c->flagQ = 1;
    c->regs[d] = uint32_t(sum);
}

// 111110111 ooo nnnn | llll hhhh oooo mmmm
void longMultiplyDivide(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t op1 = (hw1 >> 4) & 7, op2 = (hw2 >> 4) & 15, lo = hw2 >> 12, hi = (hw2 >> 8) & 15;
    uint32_t n = reg(e, hw1 & 15), m = reg(e, hw2 & 15);
    if (op1 == 1 || op1 == 3) { // SDIV, UDIV: 1111 dddd 1111 mmmm
        if (op2 != 15 || lo != 15 || hi == 15) return undefined(e, hw1, hw2);
        uint32_t q;
        if (m == 0)
            q = 0;
        else if (op1 == 3)
            q = n / m;
        else if (n == 0x80000000u && m == 0xFFFFFFFFu)
            q = 0x80000000u;
        else
            q = uint32_t(int32_t(n) / int32_t(m));
        c->regs[hi] = q;
        return;
    }
    if (lo == 15 || hi == 15) return undefined(e, hw1, hw2);
    uint64_t acc = uint64_t(c->regs[hi]) << 32 | c->regs[lo];
    uint64_t r;
    if (op1 == 0 && op2 == 0) r = uint64_t(int64_t(int32_t(n)) * int32_t(m));                // SMULL
    else if (op1 == 2 && op2 == 0) r = uint64_t(n) * m;                                     // UMULL
    else if (op1 == 4 && op2 == 0) r = uint64_t(int64_t(int32_t(n)) * int32_t(m)) + acc;    // SMLAL
    else if (op1 == 6 && op2 == 0) r = uint64_t(n) * m + acc;                               // UMLAL
    else if (op1 == 6 && op2 == 6) r = uint64_t(n) * m + c->regs[hi] + c->regs[lo];          // UMAAL
    else return undefined(e, hw1, hw2);
    c->regs[lo] = uint32_t(r);
    c->regs[hi] = uint32_t(r >> 32);
}

} // namespace tw::cpu
