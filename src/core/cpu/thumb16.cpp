// The 16-bit Thumb instructions. Dispatch on the top six bits, as the manual's
// first decode table lays them out:
//   00xxxx shift (immediate), add, subtract, move, compare
//   010000 data processing            010001 special data, BX, BLX
//   01001x LDR (literal)              0101xx / 011xxx / 1000xx / 1001xx load/store single
//   10100x ADR                        10101x ADD (SP plus immediate)
//   1011xx miscellaneous              11000x STM   11001x LDM
//   1101xx B<cond>, UDF, SVC          11100x B
#include "core/cpu/exec.h"

#include <cstdio>

namespace tw::cpu {
namespace {

inline uint32_t signExtend(uint32_t v, uint32_t bits) { return uint32_t(int32_t(v << (32 - bits)) >> (32 - bits)); }

// Shift by immediate (LSL/LSR/ASR Rd, Rm, #imm5): imm5 = 0 means 32 for LSR and ASR.
void shiftImmediate(Exec& e, uint32_t hw, bool setFlags) {
    tw_cpu* c = e.cpu;
    uint32_t type = (hw >> 11) & 3, imm5 = (hw >> 6) & 31, m = (hw >> 3) & 7, d = hw & 7;
    uint32_t amount = (type != 0 && imm5 == 0) ? 32 : imm5;
    uint32_t carry;
    uint32_t r = tw_shift_c(c->regs[m], type, amount, c->flagC, &carry);
    c->regs[d] = r;
    if (setFlags) {
        setNZ(c, r);
        c->flagC = carry;
    }
}

// 010000 oooo mmm ddd: the sixteen register-to-register operations.
void dataProcessing(Exec& e, uint32_t hw, bool setFlags) {
    tw_cpu* c = e.cpu;
    uint32_t m = (hw >> 3) & 7, d = hw & 7;
    uint32_t x = c->regs[d], y = c->regs[m];
    uint32_t r = 0, carry = c->flagC;
    bool write = true, logical = true;
    switch ((hw >> 6) & 15) {
    case 0x0: r = x & y; break;                                                // AND
    case 0x1: r = x ^ y; break;                                                // EOR
    case 0x2: r = tw_shift_c(x, TW_SHIFT_LSL, y & 0xFF, carry, &carry); break; // LSL
    case 0x3: r = tw_shift_c(x, TW_SHIFT_LSR, y & 0xFF, carry, &carry); break; // LSR
    case 0x4: r = tw_shift_c(x, TW_SHIFT_ASR, y & 0xFF, carry, &carry); break; // ASR
    case 0x5: r = addWithCarry(c, x, y, c->flagC, setFlags), logical = false; break;  // ADC
    case 0x6: r = addWithCarry(c, x, ~y, c->flagC, setFlags), logical = false; break; // SBC
    case 0x7: r = tw_shift_c(x, TW_SHIFT_ROR, y & 0xFF, carry, &carry); break;        // ROR
    case 0x8: r = x & y, write = false; break;                                         // TST
    case 0x9: r = addWithCarry(c, 0, ~y, 1, setFlags), logical = false; break;         // RSB #0
    case 0xA: addWithCarry(c, x, ~y, 1, true), logical = false, write = false; break;  // CMP
    case 0xB: addWithCarry(c, x, y, 0, true), logical = false, write = false; break;   // CMN
    case 0xC: r = x | y; break;                                                        // ORR
    case 0xD: r = x * y, carry = c->flagC; break;                                      // MUL
    case 0xE: r = x & ~y; break;                                                       // BIC
    default: r = ~y; break;                                                            // MVN
    }
    if (write) c->regs[d] = r;
    if (logical && (setFlags || !write)) {
        setNZ(c, r);
        c->flagC = carry;
    }
}

// 010001 oo: ADD, CMP and MOV with high registers; BX and BLX.
void specialData(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    uint32_t m = (hw >> 3) & 15, d = ((hw >> 4) & 8) | (hw & 7);
    switch ((hw >> 8) & 3) {
    case 0: setReg(e, d, reg(e, d) + reg(e, m)); break;
    case 1: addWithCarry(c, reg(e, d), ~reg(e, m), 1, true); break;
    case 2: setReg(e, d, reg(e, m)); break;
    default: {
        if (hw & 7) return undefined(e, hw, 0);
        uint32_t target = reg(e, m);
        if (!(target & 1)) {
            char text[TW_FAULT_TEXT_SIZE];
            std::snprintf(text, sizeof text, "BX to ARM state 0x%08x at 0x%08x", unsigned(target), unsigned(e.address));
            return fault(e, text);
        }
        if (hw & 0x80) c->regs[14] = e.next | 1; // BLX
        e.next = target & ~1u;
        break;
    }
    }
}

// 0101 ooo mmm nnn ttt: load/store with a register offset.
void loadStoreRegister(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    uint32_t t = hw & 7, address = c->regs[(hw >> 3) & 7] + c->regs[(hw >> 6) & 7];
    switch ((hw >> 9) & 7) {
    case 0: write32(e, address, c->regs[t]); break;
    case 1: write16(e, address, c->regs[t]); break;
    case 2: write8(e, address, c->regs[t]); break;
    case 3: c->regs[t] = signExtend(read8(e, address), 8); break;
    case 4: c->regs[t] = read32(e, address); break;
    case 5: c->regs[t] = read16(e, address); break;
    case 6: c->regs[t] = read8(e, address); break;
    default: c->regs[t] = signExtend(read16(e, address), 16); break;
    }
}

void push(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    uint32_t list = (hw & 0xFF) | ((hw & 0x100) << 6); // M puts LR in
    uint32_t address = c->regs[13] - 4 * uint32_t(std::popcount(list));
    uint32_t start = address;
    for (uint32_t i = 0; i < 15; ++i)
        if (list & (1u << i)) {
            write32(e, address, c->regs[i]);
            address += 4;
        }
    c->regs[13] = start;
}

void pop(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    uint32_t address = c->regs[13];
    for (uint32_t i = 0; i < 8; ++i)
        if (hw & (1u << i)) {
            c->regs[i] = read32(e, address);
            address += 4;
        }
    uint32_t pc = 0;
    bool loadsPc = hw & 0x100;
    if (loadsPc) {
        pc = read32(e, address);
        address += 4;
    }
    c->regs[13] = address;
    if (loadsPc) loadPc(e, pc, PcLoad::Pop);
}

// 1011 xxxx: the miscellaneous 16-bit instructions.
void miscellaneous(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    switch ((hw >> 8) & 15) {
    case 0x0: // ADD/SUB SP, SP, #imm7 * 4
        c->regs[13] += (hw & 0x80) ? -((hw & 0x7F) << 2) : (hw & 0x7F) << 2;
        return;
    case 0x1: case 0x3: case 0x9: case 0xB: { // CBZ, CBNZ
        uint32_t offset = ((hw >> 3) & 0x1F) << 1 | ((hw >> 9) & 1) << 6;
        bool zero = c->regs[hw & 7] == 0;
        if (zero != bool(hw & 0x800)) e.next = e.address + 4 + offset;
        return;
    }
    case 0x2: { // SXTH, SXTB, UXTH, UXTB
        uint32_t v = c->regs[(hw >> 3) & 7], d = hw & 7;
        switch ((hw >> 6) & 3) {
        case 0: c->regs[d] = signExtend(v & 0xFFFF, 16); break;
        case 1: c->regs[d] = signExtend(v & 0xFF, 8); break;
        case 2: c->regs[d] = v & 0xFFFF; break;
        default: c->regs[d] = v & 0xFF; break;
        }
        return;
    }
    case 0x4: case 0x5: return push(e, hw);
    case 0xC: case 0xD: return pop(e, hw);
    case 0x6: // CPS: 1011 0110 011 im 0 0 I F
        if ((hw & 0xFFEC) != 0xB660) return undefined(e, hw, 0);
        if (hw & 1) c->faultmask = (hw >> 4) & 1;
        if (hw & 2) c->primask = (hw >> 4) & 1;
        return;
    case 0xA: { // REV, REV16, (undefined), REVSH
        uint32_t v = c->regs[(hw >> 3) & 7], d = hw & 7;
        switch ((hw >> 6) & 3) {
        case 0: c->regs[d] = __builtin_bswap32(v); return;
        case 1: c->regs[d] = ((v & 0xFF00FF00u) >> 8) | ((v & 0x00FF00FFu) << 8); return;
        case 2: return undefined(e, hw, 0);
        default: c->regs[d] = signExtend(((v & 0xFF) << 8) | ((v >> 8) & 0xFF), 16); return;
        }
    }
    case 0xE: {
        char text[TW_FAULT_TEXT_SIZE];
        std::snprintf(text, sizeof text, "BKPT at 0x%08x", unsigned(e.address));
        return fault(e, text);
    }
    case 0xF:
        if (hw & 0xF) { // IT
            c->itState = uint8_t(hw);
            e.itLoaded = true;
        } else if (((hw >> 4) & 0xF) == 3) {
            e.wfi = true;
        } // other hints: no effect
        return;
    default: return undefined(e, hw, 0);
    }
}

void storeMultiple(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    uint32_t n = (hw >> 8) & 7, address = c->regs[n];
    for (uint32_t i = 0; i < 8; ++i)
        if (hw & (1u << i)) {
            write32(e, address, c->regs[i]);
            address += 4;
        }
    c->regs[n] = address;
}

void loadMultiple(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    uint32_t n = (hw >> 8) & 7, address = c->regs[n];
    for (uint32_t i = 0; i < 8; ++i)
        if (hw & (1u << i)) {
            c->regs[i] = read32(e, address);
            address += 4;
        }
    if (!(hw & (1u << n))) c->regs[n] = address;
}

} // namespace

void execute16(Exec& e, uint32_t hw) {
    tw_cpu* c = e.cpu;
    bool setFlags = !inItBlock(c); // 16-bit data processing sets flags outside IT blocks only
    switch (hw >> 10) {
    case 0x00: case 0x01: case 0x02: case 0x03: case 0x04: case 0x05:
        return shiftImmediate(e, hw, setFlags);
    case 0x06: case 0x07: { // ADD/SUB register or 3-bit immediate
        uint32_t d = hw & 7, x = c->regs[(hw >> 3) & 7];
        uint32_t y = (hw & 0x400) ? (hw >> 6) & 7 : c->regs[(hw >> 6) & 7];
        c->regs[d] = (hw & 0x200) ? addWithCarry(c, x, ~y, 1, setFlags) : addWithCarry(c, x, y, 0, setFlags);
        return;
    }
    case 0x08: case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F: {
        uint32_t d = (hw >> 8) & 7, imm = hw & 0xFF;
        switch ((hw >> 11) & 3) {
        case 0: // MOV
            c->regs[d] = imm;
            if (setFlags) setNZ(c, imm);
            return;
        case 1: addWithCarry(c, c->regs[d], ~imm, 1, true); return; // CMP
        case 2: c->regs[d] = addWithCarry(c, c->regs[d], imm, 0, setFlags); return;
        default: c->regs[d] = addWithCarry(c, c->regs[d], ~imm, 1, setFlags); return;
        }
    }
    case 0x10: return dataProcessing(e, hw, setFlags);
    case 0x11: return specialData(e, hw);
    case 0x12: case 0x13: // LDR (literal)
        c->regs[(hw >> 8) & 7] = read32(e, alignedPc(e) + ((hw & 0xFF) << 2));
        return;
    case 0x14: case 0x15: case 0x16: case 0x17: return loadStoreRegister(e, hw);
    case 0x18: case 0x19: case 0x1A: case 0x1B: case 0x1C: case 0x1D: case 0x1E: case 0x1F: {
        // 011 B L imm5 nnn ttt: word (imm5 * 4) or byte (imm5)
        uint32_t t = hw & 7, base = c->regs[(hw >> 3) & 7], imm5 = (hw >> 6) & 31;
        bool byte = hw & 0x1000, load = hw & 0x800;
        uint32_t address = base + (byte ? imm5 : imm5 << 2);
        if (byte) {
            if (load) c->regs[t] = read8(e, address);
            else write8(e, address, c->regs[t]);
        } else {
            if (load) c->regs[t] = read32(e, address);
            else write32(e, address, c->regs[t]);
        }
        return;
    }
    case 0x20: case 0x21: case 0x22: case 0x23: { // STRH/LDRH (imm5 * 2)
        uint32_t t = hw & 7, address = c->regs[(hw >> 3) & 7] + (((hw >> 6) & 31) << 1);
        if (hw & 0x800) c->regs[t] = read16(e, address);
        else write16(e, address, c->regs[t]);
        return;
    }
    case 0x24: case 0x25: case 0x26: case 0x27: { // STR/LDR SP-relative
        uint32_t t = (hw >> 8) & 7, address = c->regs[13] + ((hw & 0xFF) << 2);
        if (hw & 0x800) c->regs[t] = read32(e, address);
        else write32(e, address, c->regs[t]);
        return;
    }
    case 0x28: case 0x29: // ADR
        c->regs[(hw >> 8) & 7] = alignedPc(e) + ((hw & 0xFF) << 2);
        return;
    case 0x2A: case 0x2B: // ADD Rd, SP, #imm8 * 4
        c->regs[(hw >> 8) & 7] = c->regs[13] + ((hw & 0xFF) << 2);
        return;
    case 0x2C: case 0x2D: case 0x2E: case 0x2F: return miscellaneous(e, hw);
    case 0x30: case 0x31: return storeMultiple(e, hw);
    case 0x32: case 0x33: return loadMultiple(e, hw);
    case 0x34: case 0x35: case 0x36: case 0x37: { // B<cond>, UDF, SVC
        uint32_t cond = (hw >> 8) & 15;
        if (cond == 14) return undefined(e, hw, 0);
        if (cond == 15) {
            char text[TW_FAULT_TEXT_SIZE];
            std::snprintf(text, sizeof text, "SVC at 0x%08x", unsigned(e.address));
            return fault(e, text);
        }
        if (tw_cpu_condition(c, cond)) e.next = e.address + 4 + (signExtend(hw & 0xFF, 8) << 1);
        return;
    }
    case 0x38: case 0x39: // B
        e.next = e.address + 4 + (signExtend(hw & 0x7FF, 11) << 1);
        return;
    default: return undefined(e, hw, 0); // 32-bit first halfwords never come here
    }
}

} // namespace tw::cpu
