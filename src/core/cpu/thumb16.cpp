// The 16-bit Thumb instructions, one handler per operation. The decode table at
// the end lists their encodings as the manual does.
#include "core/cpu/decode.h"

#include <cstdio>

namespace tw::cpu {
namespace {

inline uint32_t low3(uint32_t hw, uint32_t at) { return (hw >> at) & 7; }

// --- Shift (immediate), add, subtract, move, compare ----------------------------

template <uint32_t Type>
void shiftImmediate(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t imm5 = (hw >> 6) & 31;
    uint32_t amount = (Type != TW_SHIFT_LSL && imm5 == 0) ? 32 : imm5;
    uint32_t carry;
    uint32_t r = shiftC(c->regs[low3(hw, 3)], Type, amount, c->flagC, &carry);
    c->regs[low3(hw, 0)] = r;
    if (!inItBlock(c)) {
        setNZ(c, r);
        c->flagC = carry;
    }
}

template <bool Subtract, bool Immediate>
void addSubtract3(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t x = c->regs[low3(hw, 3)], y = Immediate ? low3(hw, 6) : c->regs[low3(hw, 6)];
    c->regs[low3(hw, 0)] = Subtract ? addWithCarry(c, x, ~y, 1, !inItBlock(c)) : addWithCarry(c, x, y, 0, !inItBlock(c));
}

void movImmediate(Exec& e, uint32_t hw, uint32_t) {
    uint32_t imm = hw & 0xFF;
    e.cpu->regs[low3(hw, 8)] = imm;
    if (!inItBlock(e.cpu)) setNZ(e.cpu, imm);
}
void cmpImmediate(Exec& e, uint32_t hw, uint32_t) { addWithCarry(e.cpu, e.cpu->regs[low3(hw, 8)], ~(hw & 0xFF), 1, true); }
void addImmediate8(Exec& e, uint32_t hw, uint32_t) {
    uint32_t& r = e.cpu->regs[low3(hw, 8)];
    r = addWithCarry(e.cpu, r, hw & 0xFF, 0, !inItBlock(e.cpu));
}
void subImmediate8(Exec& e, uint32_t hw, uint32_t) {
    uint32_t& r = e.cpu->regs[low3(hw, 8)];
    r = addWithCarry(e.cpu, r, ~(hw & 0xFF), 1, !inItBlock(e.cpu));
}

// --- Data processing: 010000 oooo mmm ddd ------------------------------------------

template <uint32_t Op>
void dataProcessing(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    bool setFlags = !inItBlock(c);
    uint32_t d = low3(hw, 0);
    uint32_t x = c->regs[d], y = c->regs[low3(hw, 3)];
    uint32_t r = 0, carry = c->flagC;
    switch (Op) {
    case 0x0: r = x & y; break;                                           // AND
    case 0x1: r = x ^ y; break;                                           // EOR
    case 0x2: r = shiftC(x, TW_SHIFT_LSL, y & 0xFF, carry, &carry); break; // LSL
    case 0x3: r = shiftC(x, TW_SHIFT_LSR, y & 0xFF, carry, &carry); break; // LSR
    case 0x4: r = shiftC(x, TW_SHIFT_ASR, y & 0xFF, carry, &carry); break; // ASR
    case 0x5: c->regs[d] = addWithCarry(c, x, y, c->flagC, setFlags); return;  // ADC
    case 0x6: c->regs[d] = addWithCarry(c, x, ~y, c->flagC, setFlags); return; // SBC
    case 0x7: r = shiftC(x, TW_SHIFT_ROR, y & 0xFF, carry, &carry); break;     // ROR
    case 0x8: setNZ(c, x & y); c->flagC = carry; return;                       // TST
    case 0x9: c->regs[d] = addWithCarry(c, 0, ~y, 1, setFlags); return;        // RSB #0
    case 0xA: addWithCarry(c, x, ~y, 1, true); return;                         // CMP
    case 0xB: addWithCarry(c, x, y, 0, true); return;                          // CMN
    case 0xC: r = x | y; break;                                                // ORR
    case 0xD: r = x * y; break;                                                // MUL
    case 0xE: r = x & ~y; break;                                               // BIC
    default: r = ~y; break;                                                    // MVN
    }
    c->regs[d] = r;
    if (setFlags) {
        setNZ(c, r);
        c->flagC = carry;
    }
}

// --- Special data and branch and exchange -------------------------------------------

inline uint32_t highD(uint32_t hw) { return ((hw >> 4) & 8) | (hw & 7); }
void addHigh(Exec& e, uint32_t hw, uint32_t) { setReg(e, highD(hw), reg(e, highD(hw)) + reg(e, (hw >> 3) & 15)); }
void cmpHigh(Exec& e, uint32_t hw, uint32_t) { addWithCarry(e.cpu, reg(e, highD(hw)), ~reg(e, (hw >> 3) & 15), 1, true); }
void movHigh(Exec& e, uint32_t hw, uint32_t) { setReg(e, highD(hw), reg(e, (hw >> 3) & 15)); }

template <bool Link>
void branchExchange(Exec& e, uint32_t hw, uint32_t) {
    uint32_t target = reg(e, (hw >> 3) & 15);
    if (!(target & 1)) {
        char text[TW_FAULT_TEXT_SIZE];
        std::snprintf(text, sizeof text, "BX to ARM state 0x%08x at 0x%08x", unsigned(target), unsigned(e.address));
        return fault(e, text);
    }
    if (Link) e.cpu->regs[14] = e.next | 1;
    e.next = target & ~1u;
}

// --- Loads and stores ---------------------------------------------------------------

void ldrLiteral(Exec& e, uint32_t hw, uint32_t) { e.cpu->regs[low3(hw, 8)] = read32(e, alignedPc(e) + ((hw & 0xFF) << 2)); }

// 0101 ooo mmm nnn ttt
template <uint32_t Op>
void loadStoreRegister(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t t = low3(hw, 0), address = c->regs[low3(hw, 3)] + c->regs[low3(hw, 6)];
    switch (Op) {
    case 0: write32(e, address, c->regs[t]); break;                          // STR
    case 1: write16(e, address, c->regs[t]); break;                          // STRH
    case 2: write8(e, address, c->regs[t]); break;                           // STRB
    case 3: c->regs[t] = signExtend(read8(e, address), 8); break;            // LDRSB
    case 4: c->regs[t] = read32(e, address); break;                          // LDR
    case 5: c->regs[t] = read16(e, address); break;                          // LDRH
    case 6: c->regs[t] = read8(e, address); break;                           // LDRB
    default: c->regs[t] = signExtend(read16(e, address), 16); break;         // LDRSH
    }
}

// Immediate offsets scaled by the access size.
template <uint32_t Size, bool Load>
void loadStoreImmediate(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t t = low3(hw, 0), address = c->regs[low3(hw, 3)] + ((hw >> 6) & 31) * Size;
    if (Load)
        c->regs[t] = readSized<Size>(e, address);
    else
        writeSized<Size>(e, address, c->regs[t]);
}

template <bool Load>
void loadStoreSp(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t t = low3(hw, 8), address = c->regs[13] + ((hw & 0xFF) << 2);
    if (Load)
        c->regs[t] = read32(e, address);
    else
        write32(e, address, c->regs[t]);
}

void adr(Exec& e, uint32_t hw, uint32_t) { e.cpu->regs[low3(hw, 8)] = alignedPc(e) + ((hw & 0xFF) << 2); }
void addSpImmediate(Exec& e, uint32_t hw, uint32_t) { e.cpu->regs[low3(hw, 8)] = e.cpu->regs[13] + ((hw & 0xFF) << 2); }
void adjustSp(Exec& e, uint32_t hw, uint32_t) {
    uint32_t imm = (hw & 0x7F) << 2;
    e.cpu->regs[13] += (hw & 0x80) ? 0u - imm : imm;
}

void push(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t list = (hw & 0xFF) | ((hw & 0x100) << 6); // M adds LR
    uint32_t start = c->regs[13] - 4 * bitCount(list), address = start;
    for (uint32_t i = 0; i < 15; ++i)
        if (list & (1u << i)) {
            write32(e, address, c->regs[i]);
            address += 4;
        }
    c->regs[13] = start;
}

void pop(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t address = c->regs[13];
    for (uint32_t i = 0; i < 8; ++i)
        if (hw & (1u << i)) {
            c->regs[i] = read32(e, address);
            address += 4;
        }
    if (!(hw & 0x100)) {
        c->regs[13] = address;
        return;
    }
    uint32_t pc = read32(e, address);
    c->regs[13] = address + 4;
    loadPc(e, pc, PcLoad::Pop);
}

void storeMultiple(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t n = low3(hw, 8), address = c->regs[n];
    for (uint32_t i = 0; i < 8; ++i)
        if (hw & (1u << i)) {
            write32(e, address, c->regs[i]);
            address += 4;
        }
    c->regs[n] = address; // always written back
}

void loadMultiple(Exec& e, uint32_t hw, uint32_t) {
    tw_cpu* c = e.cpu;
    uint32_t n = low3(hw, 8), address = c->regs[n];
    for (uint32_t i = 0; i < 8; ++i)
        if (hw & (1u << i)) {
            c->regs[i] = read32(e, address);
            address += 4;
        }
    if (!(hw & (1u << n))) c->regs[n] = address;
}

// --- Miscellaneous ------------------------------------------------------------------

void compareBranch(Exec& e, uint32_t hw, uint32_t) {
    uint32_t offset = ((hw >> 3) & 0x1F) << 1 | ((hw >> 9) & 1) << 6;
    bool zero = e.cpu->regs[low3(hw, 0)] == 0;
    if (zero != bool(hw & 0x800)) e.next = e.address + 4 + offset;
}

template <uint32_t Op>
void extend(Exec& e, uint32_t hw, uint32_t) {
    uint32_t v = e.cpu->regs[low3(hw, 3)];
    uint32_t r = Op == 0 ? signExtend(v & 0xFFFF, 16) : Op == 1 ? signExtend(v & 0xFF, 8) : Op == 2 ? v & 0xFFFF : v & 0xFF;
    e.cpu->regs[low3(hw, 0)] = r;
}

template <uint32_t Op>
void reverse(Exec& e, uint32_t hw, uint32_t) {
    uint32_t v = e.cpu->regs[low3(hw, 3)];
    uint32_t r = Op == 0 ? reverseBytes(v) : Op == 1 ? reverseHalfwordBytes(v) : reverseSignedHalfword(v);
    e.cpu->regs[low3(hw, 0)] = r;
}

void changeProcessorState(Exec& e, uint32_t hw, uint32_t) {
    if (hw & 1) e.cpu->faultmask = (hw >> 4) & 1;
    if (hw & 2) e.cpu->primask = (hw >> 4) & 1;
}

void ifThen(Exec& e, uint32_t hw, uint32_t) {
    e.cpu->itState = uint8_t(hw);
    e.events |= kEventItLoaded;
}

void hint(Exec& e, uint32_t hw, uint32_t) {
    if (((hw >> 4) & 15) == 3) e.events |= kEventWfi; // WFI; NOP, YIELD, WFE, SEV and the rest do nothing
}

void breakpoint(Exec& e, uint32_t, uint32_t) {
    char text[TW_FAULT_TEXT_SIZE];
    std::snprintf(text, sizeof text, "BKPT at 0x%08x", unsigned(e.address));
    fault(e, text);
}

void supervisorCall(Exec& e, uint32_t, uint32_t) {
    char text[TW_FAULT_TEXT_SIZE];
    std::snprintf(text, sizeof text, "SVC at 0x%08x", unsigned(e.address));
    fault(e, text);
}

// --- Branches -----------------------------------------------------------------------

template <uint32_t Cond>
void branchConditional(Exec& e, uint32_t hw, uint32_t) {
    if (conditionPassed(e.cpu, Cond)) e.next = e.address + 4 + (signExtend(hw & 0xFF, 8) << 1);
}
void branch(Exec& e, uint32_t hw, uint32_t) { e.next = e.address + 4 + (signExtend(hw & 0x7FF, 11) << 1); }

void undefined16(Exec& e, uint32_t hw, uint32_t) { undefined(e, hw, 0); }

} // namespace

// First match wins; letters are fields, 0 and 1 fixed bits.
const Encoding kThumb16[] = {
    {"00000iiiiimmmddd", shiftImmediate<TW_SHIFT_LSL>},  // LSL (MOV when imm5 = 0)
    {"00001iiiiimmmddd", shiftImmediate<TW_SHIFT_LSR>},  // LSR
    {"00010iiiiimmmddd", shiftImmediate<TW_SHIFT_ASR>},  // ASR
    {"0001100mmmnnnddd", addSubtract3<false, false>},    // ADD (register)
    {"0001101mmmnnnddd", addSubtract3<true, false>},     // SUB (register)
    {"0001110iiinnnddd", addSubtract3<false, true>},     // ADD (3-bit immediate)
    {"0001111iiinnnddd", addSubtract3<true, true>},      // SUB (3-bit immediate)
    {"00100dddiiiiiiii", movImmediate},                  // MOV
    {"00101nnniiiiiiii", cmpImmediate},                  // CMP
    {"00110dddiiiiiiii", addImmediate8},                 // ADD
    {"00111dddiiiiiiii", subImmediate8},                 // SUB
    {"0100000000mmmddd", dataProcessing<0x0>},           // AND
    {"0100000001mmmddd", dataProcessing<0x1>},           // EOR
    {"0100000010mmmddd", dataProcessing<0x2>},           // LSL (register)
    {"0100000011mmmddd", dataProcessing<0x3>},           // LSR (register)
    {"0100000100mmmddd", dataProcessing<0x4>},           // ASR (register)
    {"0100000101mmmddd", dataProcessing<0x5>},           // ADC
    {"0100000110mmmddd", dataProcessing<0x6>},           // SBC
    {"0100000111mmmddd", dataProcessing<0x7>},           // ROR
    {"0100001000mmmnnn", dataProcessing<0x8>},           // TST
    {"0100001001nnnddd", dataProcessing<0x9>},           // RSB #0
    {"0100001010mmmnnn", dataProcessing<0xA>},           // CMP (register)
    {"0100001011mmmnnn", dataProcessing<0xB>},           // CMN
    {"0100001100mmmddd", dataProcessing<0xC>},           // ORR
    {"0100001101nnnddd", dataProcessing<0xD>},           // MUL
    {"0100001110mmmddd", dataProcessing<0xE>},           // BIC
    {"0100001111mmmddd", dataProcessing<0xF>},           // MVN
    {"010001001mmmm111", addHigh, alwaysEnds},           // ADD PC, Rm
    {"01000100dmmmmddd", addHigh},                       // ADD (high registers)
    {"01000101nmmmmnnn", cmpHigh},                       // CMP (high registers)
    {"010001101mmmm111", movHigh, alwaysEnds},           // MOV PC, Rm
    {"01000110dmmmmddd", movHigh},                       // MOV (high registers)
    {"010001110mmmm000", branchExchange<false>, alwaysEnds}, // BX
    {"010001111mmmm000", branchExchange<true>, alwaysEnds},  // BLX (register)
    {"01001tttiiiiiiii", ldrLiteral},                    // LDR (literal)
    {"0101000mmmnnnttt", loadStoreRegister<0>},          // STR (register)
    {"0101001mmmnnnttt", loadStoreRegister<1>},          // STRH (register)
    {"0101010mmmnnnttt", loadStoreRegister<2>},          // STRB (register)
    {"0101011mmmnnnttt", loadStoreRegister<3>},          // LDRSB (register)
    {"0101100mmmnnnttt", loadStoreRegister<4>},          // LDR (register)
    {"0101101mmmnnnttt", loadStoreRegister<5>},          // LDRH (register)
    {"0101110mmmnnnttt", loadStoreRegister<6>},          // LDRB (register)
    {"0101111mmmnnnttt", loadStoreRegister<7>},          // LDRSH (register)
    {"01100iiiiinnnttt", loadStoreImmediate<4, false>},  // STR (immediate)
    {"01101iiiiinnnttt", loadStoreImmediate<4, true>},   // LDR (immediate)
    {"01110iiiiinnnttt", loadStoreImmediate<1, false>},  // STRB (immediate)
    {"01111iiiiinnnttt", loadStoreImmediate<1, true>},   // LDRB (immediate)
    {"10000iiiiinnnttt", loadStoreImmediate<2, false>},  // STRH (immediate)
    {"10001iiiiinnnttt", loadStoreImmediate<2, true>},   // LDRH (immediate)
    {"10010tttiiiiiiii", loadStoreSp<false>},            // STR (SP plus immediate)
    {"10011tttiiiiiiii", loadStoreSp<true>},             // LDR (SP plus immediate)
    {"10100dddiiiiiiii", adr},                           // ADR
    {"10101dddiiiiiiii", addSpImmediate},                // ADD (SP plus immediate)
    {"10110000Siiiiiii", adjustSp},                      // ADD/SUB SP, SP, #imm7 * 4
    {"1011o0i1iiiiinnn", compareBranch},                 // CBZ, CBNZ
    {"1011001000mmmddd", extend<0>},                     // SXTH
    {"1011001001mmmddd", extend<1>},                     // SXTB
    {"1011001010mmmddd", extend<2>},                     // UXTH
    {"1011001011mmmddd", extend<3>},                     // UXTB
    {"1011010Mrrrrrrrr", push},                          // PUSH
    {"10110110011m00IF", changeProcessorState},          // CPS
    {"1011101000mmmddd", reverse<0>},                    // REV
    {"1011101001mmmddd", reverse<1>},                    // REV16
    {"1011101011mmmddd", reverse<2>},                    // REVSH
    {"10111101rrrrrrrr", pop, alwaysEnds},               // POP with the PC
    {"1011110Prrrrrrrr", pop},                           // POP
    {"10111110iiiiiiii", breakpoint, alwaysEnds},        // BKPT
    {"1011111100110000", hint, alwaysEnds},              // WFI
    {"10111111hhhh0000", hint},                          // NOP, YIELD, WFE, SEV, ...
    {"10111111ccccmmmm", ifThen},                        // IT
    {"11000nnnrrrrrrrr", storeMultiple},                 // STMIA
    {"11001nnnrrrrrrrr", loadMultiple},                  // LDMIA
    {"11011110iiiiiiii", undefined16, alwaysEnds},       // UDF
    {"11011111iiiiiiii", supervisorCall, alwaysEnds},    // SVC
    {"11010000iiiiiiii", branchConditional<0>}, // BEQ
    {"11010001iiiiiiii", branchConditional<1>}, // BNE
    {"11010010iiiiiiii", branchConditional<2>}, // BCS
    {"11010011iiiiiiii", branchConditional<3>}, // BCC
    {"11010100iiiiiiii", branchConditional<4>}, // BMI
    {"11010101iiiiiiii", branchConditional<5>}, // BPL
    {"11010110iiiiiiii", branchConditional<6>}, // BVS
    {"11010111iiiiiiii", branchConditional<7>}, // BVC
    {"11011000iiiiiiii", branchConditional<8>}, // BHI
    {"11011001iiiiiiii", branchConditional<9>}, // BLS
    {"11011010iiiiiiii", branchConditional<10>}, // BGE
    {"11011011iiiiiiii", branchConditional<11>}, // BLT
    {"11011100iiiiiiii", branchConditional<12>}, // BGT
    {"11011101iiiiiiii", branchConditional<13>}, // BLE
    {"11100iiiiiiiiiii", branch, alwaysEnds},            // B
};
const size_t kThumb16Count = sizeof kThumb16 / sizeof kThumb16[0];

} // namespace tw::cpu
