// 32-bit data processing: modified immediate, shifted register, plain binary
// immediate and register forms.
#include "core/cpu/decode.h"

namespace tw::cpu {
namespace {


// The operations shared by the modified-immediate and shifted-register forms
// (op = hw1[8:5]). Rd = 15 with S selects the test and compare forms; Rn = 15
// selects MOV and MVN.
// Op >= 0 fixes the operation for a handler of its own.
template <int Op>
inline void operate(Exec& e, uint32_t hw1, uint32_t hw2, uint32_t y, uint32_t shifterCarry) {
    tw_cpu* c = e.cpu;
    uint32_t op = Op >= 0 ? uint32_t(Op) : (hw1 >> 5) & 15, n = hw1 & 15, d = (hw2 >> 8) & 15;
    bool s = hw1 & 0x10;
    bool compare = d == 15 && s && (op == 0 || op == 4 || op == 8 || op == 13);
    if (d == 15 && !compare) return undefined(e, hw1, hw2);
    uint32_t x = reg(e, n), r;
    bool logical = true;
    switch (op) {
    case 0: r = x & y; break;                               // AND, TST
    case 1: r = x & ~y; break;                              // BIC
    case 2: r = n == 15 ? y : x | y; break;                 // ORR, MOV
    case 3: r = n == 15 ? ~y : x | ~y; break;               // ORN, MVN
    case 4: r = x ^ y; break;                               // EOR, TEQ
    case 8: r = addWithCarry(c, x, y, 0, s), logical = false; break;         // ADD, CMN
    case 10: r = addWithCarry(c, x, y, c->flagC, s), logical = false; break; // ADC
    case 11: r = addWithCarry(c, x, ~y, c->flagC, s), logical = false; break; // SBC
    case 13: r = addWithCarry(c, x, ~y, 1, s), logical = false; break;       // SUB, CMP
    case 14: r = addWithCarry(c, ~x, y, 1, s), logical = false; break;       // RSB
    default: return undefined(e, hw1, hw2);
    }
    if (logical && s) {
        setNZ(c, r);
        c->flagC = shifterCarry;
    }
    if (!compare) c->regs[d] = r;
}

// PKHBT / PKHTB: halves of Rn and of the shifted Rm.
void packHalfword(Exec& e, uint32_t hw1, uint32_t hw2) {
    uint32_t d = (hw2 >> 8) & 15;
    if ((hw1 & 0x10) || d == 15) return undefined(e, hw1, hw2);
    uint32_t amount = ((hw2 >> 10) & 0x1C) | ((hw2 >> 6) & 3);
    uint32_t x = reg(e, hw1 & 15), m = reg(e, hw2 & 15);
    bool top = hw2 & 0x20; // PKHTB: ASR, bottom half from the operand
    uint32_t carry;
    uint32_t y = top ? shiftC(m, TW_SHIFT_ASR, amount == 0 ? 32 : amount, 0, &carry)
                     : shiftC(m, TW_SHIFT_LSL, amount, 0, &carry);
    e.cpu->regs[d] = top ? (x & 0xFFFF0000u) | (y & 0xFFFF) : (y & 0xFFFF0000u) | (x & 0xFFFF);
}

} // namespace

namespace {

// 11110 i 0 oooo S nnnn | 0 iii dddd iiiiiiii
template <int Op>
void modifiedImmediate(Exec& e, uint32_t hw1, uint32_t hw2) {
    uint32_t imm12 = ((hw1 & 0x400) << 1) | ((hw2 >> 4) & 0x700) | (hw2 & 0xFF);
    uint32_t carry;
    uint32_t y = expandImmediate(imm12, e.cpu->flagC, &carry);
    operate<Op>(e, hw1, hw2, y, carry);
}

// 1110101 oooo S nnnn | 0 iii dddd ii tt mmmm
template <int Op>
void shiftedRegister(Exec& e, uint32_t hw1, uint32_t hw2) {
    if (Op < 0 && ((hw1 >> 5) & 15) == 6) return packHalfword(e, hw1, hw2);
    uint32_t imm5 = ((hw2 >> 10) & 0x1C) | ((hw2 >> 6) & 3), type = (hw2 >> 4) & 3;
    uint32_t amount = imm5;
    if (type == TW_SHIFT_ROR && imm5 == 0) type = TW_SHIFT_RRX;
    else if ((type == TW_SHIFT_LSR || type == TW_SHIFT_ASR) && imm5 == 0) amount = 32;
    uint32_t carry;
    uint32_t y = shiftC(reg(e, hw2 & 15), type, amount, e.cpu->flagC, &carry);
    operate<Op>(e, hw1, hw2, y, carry);
}

} // namespace

void dataProcessingModifiedImmediate(Exec& e, uint32_t hw1, uint32_t hw2) { modifiedImmediate<-1>(e, hw1, hw2); }
void dataProcessingShiftedRegister(Exec& e, uint32_t hw1, uint32_t hw2) { shiftedRegister<-1>(e, hw1, hw2); }

// One handler per operation for the two most common forms.
const Encoding kDataProcessing32[] = {
    {"11110i00000Snnnn", dataOrBranch<modifiedImmediate<0>>, endsIfBranch},  // AND, TST
    {"11110i00001Snnnn", dataOrBranch<modifiedImmediate<1>>, endsIfBranch},  // BIC
    {"11110i00010Snnnn", dataOrBranch<modifiedImmediate<2>>, endsIfBranch},  // ORR, MOV
    {"11110i00011Snnnn", dataOrBranch<modifiedImmediate<3>>, endsIfBranch},  // ORN, MVN
    {"11110i00100Snnnn", dataOrBranch<modifiedImmediate<4>>, endsIfBranch},  // EOR, TEQ
    {"11110i01000Snnnn", dataOrBranch<modifiedImmediate<8>>, endsIfBranch},  // ADD, CMN
    {"11110i01010Snnnn", dataOrBranch<modifiedImmediate<10>>, endsIfBranch}, // ADC
    {"11110i01011Snnnn", dataOrBranch<modifiedImmediate<11>>, endsIfBranch}, // SBC
    {"11110i01101Snnnn", dataOrBranch<modifiedImmediate<13>>, endsIfBranch}, // SUB, CMP
    {"11110i01110Snnnn", dataOrBranch<modifiedImmediate<14>>, endsIfBranch}, // RSB
    {"11101010000Snnnn", shiftedRegister<0>},                  // AND, TST
    {"11101010001Snnnn", shiftedRegister<1>},                  // BIC
    {"11101010010Snnnn", shiftedRegister<2>},                  // ORR, MOV and the shifts
    {"11101010011Snnnn", shiftedRegister<3>},                  // ORN, MVN
    {"11101010100Snnnn", shiftedRegister<4>},                  // EOR, TEQ
    {"11101011000Snnnn", shiftedRegister<8>},                  // ADD, CMN
    {"11101011010Snnnn", shiftedRegister<10>},                 // ADC
    {"11101011011Snnnn", shiftedRegister<11>},                 // SBC
    {"11101011101Snnnn", shiftedRegister<13>},                 // SUB, CMP
    {"11101011110Snnnn", shiftedRegister<14>},                 // RSB
};
const size_t kDataProcessing32Count = sizeof kDataProcessing32 / sizeof kDataProcessing32[0];

// 11110 i 1 ooooo nnnn | 0 iii dddd iiiiiiii
void dataProcessingPlainImmediate(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t op = (hw1 >> 4) & 31, n = hw1 & 15, d = (hw2 >> 8) & 15;
    if (d == 15) return undefined(e, hw1, hw2);
    uint32_t imm12 = ((hw1 & 0x400) << 1) | ((hw2 >> 4) & 0x700) | (hw2 & 0xFF);
    uint32_t imm16 = ((hw1 & 15) << 12) | imm12;
    uint32_t lsb = ((hw2 >> 10) & 0x1C) | ((hw2 >> 6) & 3), low5 = hw2 & 31;
    bool saturated = false;
    switch (op) {
    case 0x00: c->regs[d] = (n == 15 ? alignedPc(e) : c->regs[n]) + imm12; return; // ADDW, ADR
    case 0x0A: c->regs[d] = (n == 15 ? alignedPc(e) : c->regs[n]) - imm12; return; // SUBW, ADR
    case 0x04: c->regs[d] = imm16; return;                                          // MOVW
    case 0x0C: c->regs[d] = (c->regs[d] & 0xFFFF) | (imm16 << 16); return;           // MOVT
    case 0x10: case 0x12: case 0x18: case 0x1A: { // SSAT, USAT
        bool asr = op & 2;
        if (asr && lsb == 0) return undefined(e, hw1, hw2); // SSAT16, USAT16
        int64_t v = asr ? int64_t(int32_t(reg(e, n)) >> lsb) : int64_t(int32_t(reg(e, n) << lsb));
        if (op & 8)
            c->regs[d] = uint32_t(unsignedSaturate(v, low5, &saturated));
        else
            c->regs[d] = uint32_t(signedSaturate(v, low5 + 1, &saturated));
        if (saturated) c->flagQ = 1;
        return;
    }
    case 0x14: case 0x1C: { // SBFX, UBFX
        uint32_t width = low5 + 1;
        if (lsb + width > 32) return undefined(e, hw1, hw2);
        uint32_t field = reg(e, n) >> lsb;
        if (width < 32) field &= (1u << width) - 1;
        c->regs[d] = op == 0x14 ? signExtend(field, width) : field;
        return;
    }
    case 0x16: { // BFI, BFC (Rn = 15)
        uint32_t msb = low5;
        if (msb < lsb) return undefined(e, hw1, hw2);
        uint32_t width = msb - lsb + 1;
        uint32_t mask = (width == 32 ? 0xFFFFFFFFu : (1u << width) - 1) << lsb;
        uint32_t source = n == 15 ? 0 : c->regs[n] << lsb;
        c->regs[d] = (c->regs[d] & ~mask) | (source & mask);
        return;
    }
    default: return undefined(e, hw1, hw2);
    }
}

namespace {

// SXTAH and relatives: rotate Rm, extract, optionally add Rn (Rn = 15: none).
void extend(Exec& e, uint32_t hw1, uint32_t hw2) {
    uint32_t op = (hw1 >> 4) & 7, n = hw1 & 15, d = (hw2 >> 8) & 15;
    if (op > 5 || d == 15 || (hw2 & 0x40)) return undefined(e, hw1, hw2);
    uint32_t v = std::rotr(reg(e, hw2 & 15), int(((hw2 >> 4) & 3) * 8));
    uint32_t x = n == 15 ? 0 : e.cpu->regs[n];
    uint32_t r;
    switch (op) {
    case 0: r = x + signExtend(v & 0xFFFF, 16); break; // SXTAH
    case 1: r = x + (v & 0xFFFF); break;               // UXTAH
    case 2: {                                          // SXTAB16
        uint32_t lo = (x + signExtend(v & 0xFF, 8)) & 0xFFFF;
        uint32_t hi = ((x >> 16) + signExtend((v >> 16) & 0xFF, 8)) & 0xFFFF;
        r = hi << 16 | lo;
        break;
    }
    case 3: { // UXTAB16
        uint32_t lo = (x + (v & 0xFF)) & 0xFFFF;
        uint32_t hi = ((x >> 16) + ((v >> 16) & 0xFF)) & 0xFFFF;
        r = hi << 16 | lo;
        break;
    }
    case 4: r = x + signExtend(v & 0xFF, 8); break; // SXTAB
    default: r = x + (v & 0xFF); break;             // UXTAB
    }
    e.cpu->regs[d] = r;
}


} // namespace

// 11111010 oooo nnnn | 1111 dddd oooo mmmm
void dataProcessingRegister(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t op1 = (hw1 >> 4) & 15, op2 = (hw2 >> 4) & 15, d = (hw2 >> 8) & 15;
    if ((hw2 & 0xF000) != 0xF000 || d == 15) return undefined(e, hw1, hw2);
    if (op1 < 8 && (op2 & 8)) return extend(e, hw1, hw2);
    if (op1 < 8) { // LSL, LSR, ASR, ROR by register
        if (op2 != 0) return undefined(e, hw1, hw2);
        uint32_t carry;
        uint32_t r = shiftC(reg(e, hw1 & 15), op1 >> 1, reg(e, hw2 & 15) & 0xFF, c->flagC, &carry);
        c->regs[d] = r;
        if (op1 & 1) {
            setNZ(c, r);
            c->flagC = carry;
        }
        return;
    }
    if ((op2 & 0xC) != 8 || op1 >= 12) return undefined(e, hw1, hw2); // parallel add/subtract
    uint32_t m = reg(e, hw2 & 15), n = reg(e, hw1 & 15);
    bool saturated = false;
    switch ((op1 & 3) << 2 | (op2 & 3)) {
    case 0x0: // QADD
        c->regs[d] = uint32_t(signedSaturate(int64_t(int32_t(m)) + int32_t(n), 32, &saturated));
        break;
    case 0x2: // QSUB
        c->regs[d] = uint32_t(signedSaturate(int64_t(int32_t(m)) - int32_t(n), 32, &saturated));
        break;
    case 0x4: c->regs[d] = reverseBytes(m); break;                                            // REV
    case 0x5: c->regs[d] = reverseHalfwordBytes(m); break;             // REV16
    case 0x6: c->regs[d] = reverseBits(m); break;                                                  // RBIT
    case 0x7: c->regs[d] = reverseSignedHalfword(m); break;           // REVSH
    case 0xC: c->regs[d] = m == 0 ? 32 : uint32_t(std::countl_zero(m)); break;                     // CLZ
    default: return undefined(e, hw1, hw2); // QDADD, QDSUB, SEL
    }
    if (saturated) c->flagQ = 1;
}

} // namespace tw::cpu
