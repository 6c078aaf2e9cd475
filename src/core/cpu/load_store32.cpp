// 32-bit loads and stores: single items, multiple registers, doubleword,
// exclusive and table branch.
#include "core/cpu/decode.h"

namespace tw::cpu {
namespace {


} // namespace

// 1111100 S Y zz L nnnn | tttt ...: S sign-extends, Y selects the 12-bit offset,
// zz is the size (0 byte, 1 halfword, 2 word), L loads.
void loadStoreSingle(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t size = (hw1 >> 5) & 3, n = hw1 & 15, t = hw2 >> 12;
    bool sign = hw1 & 0x100, load = hw1 & 0x10;
    if (size == 3 || (sign && (!load || size == 2))) return undefined(e, hw1, hw2);

    uint32_t address;
    bool writeback = false;
    uint32_t wbAddress = 0;
    if (n == 15) { // literal: U = hw1[7]
        if (!load) return undefined(e, hw1, hw2);
        uint32_t imm12 = hw2 & 0xFFF;
        address = (hw1 & 0x80) ? alignedPc(e) + imm12 : alignedPc(e) - imm12;
    } else if (hw1 & 0x80) { // 12-bit offset
        address = c->regs[n] + (hw2 & 0xFFF);
    } else if (hw2 & 0x800) { // 8-bit offset: 1 P U W imm8
        bool index = hw2 & 0x400, add = hw2 & 0x200;
        writeback = hw2 & 0x100;
        if (!index && !writeback) return undefined(e, hw1, hw2);
        uint32_t offsetAddress = add ? c->regs[n] + (hw2 & 0xFF) : c->regs[n] - (hw2 & 0xFF);
        address = index ? offsetAddress : c->regs[n];
        wbAddress = offsetAddress;
    } else { // register offset: 0 00000 ii mmmm
        if (hw2 & 0x7C0) return undefined(e, hw1, hw2);
        address = c->regs[n] + (reg(e, hw2 & 15) << ((hw2 >> 4) & 3));
    }

    if (!load) {
        uint32_t v = reg(e, t);
        switch (size) {
        case 0: write8(e, address, v); break;
        case 1: write16(e, address, v); break;
        default: write32(e, address, v); break;
        }
        if (writeback) c->regs[n] = wbAddress;
        return;
    }
    if (t == 15 && size != 2) { // PLD, PLI and the unallocated hints: no access
        if (writeback) c->regs[n] = wbAddress;
        return;
    }
    uint32_t v;
    switch (size) {
    case 0: v = read8(e, address); if (sign) v = signExtend(v, 8); break;
    case 1: v = read16(e, address); if (sign) v = signExtend(v, 16); break;
    default: v = read32(e, address); break;
    }
    if (writeback) c->regs[n] = wbAddress;
    if (t == 15) // LDR pc, [sp], #4 is the one-register form of POP.W
        loadPc(e, v, n == 13 && (hw2 & 0xFFF) == 0xB04 && !(hw1 & 0x80) ? PcLoad::Pop : PcLoad::Ldr);
    else
        c->regs[t] = v;
}

// 1110100 oo 0 W L nnnn | P M 0 list: op 01 = increment after, 10 = decrement before.
void loadStoreMultiple(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t op = (hw1 >> 7) & 3, n = hw1 & 15;
    bool load = hw1 & 0x10, writeback = hw1 & 0x20;
    if (op == 0 || op == 3 || n == 15) return undefined(e, hw1, hw2); // SRS, RFE
    uint32_t list = hw2 & (load ? 0xFFFF : 0x7FFF); // the PC is never stored
    uint32_t count = bitCount(list);
    uint32_t base = c->regs[n];
    uint32_t start = op == 1 ? base : base - 4 * count;
    uint32_t end = op == 1 ? base + 4 * count : start;
    uint32_t address = start;
    if (!load) {
        for (uint32_t i = 0; i < 15; ++i)
            if (list & (1u << i)) {
                write32(e, address, c->regs[i]);
                address += 4;
            }
        if (writeback) c->regs[n] = end;
        return;
    }
    for (uint32_t i = 0; i < 15; ++i)
        if (list & (1u << i)) {
            c->regs[i] = read32(e, address);
            address += 4;
        }
    uint32_t pc = (list & 0x8000) ? read32(e, address) : 0;
    if (writeback && !(list & (1u << n))) c->regs[n] = end;
    if (list & 0x8000) loadPc(e, pc, n == 13 && writeback && op == 1 ? PcLoad::Pop : PcLoad::Ldm);
}

// 1110100 P U 1 W L nnnn: LDRD/STRD, exclusives and TBB/TBH.
void loadStoreDualExclusiveTable(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t op1 = (hw1 >> 7) & 3, op2 = (hw1 >> 4) & 3, op3 = (hw2 >> 4) & 15, n = hw1 & 15;
    uint32_t t = hw2 >> 12, t2d = (hw2 >> 8) & 15;
    // The PC is never loaded here, nor a status register.
    bool dual = op1 >= 2 || op2 >= 2;
    if ((dual || (op1 == 0 && op2 == 0)) && t2d == 15) return undefined(e, hw1, hw2);
    if (t == 15 && (hw1 & 0x10) && !(op1 == 1 && op2 == 1 && op3 < 2)) return undefined(e, hw1, hw2);
    bool exclusive = op1 < 2 && op2 < 2 && !(op1 == 1 && op2 == 1 && op3 < 2);
    if (exclusive && n == 15) return undefined(e, hw1, hw2);
    if (op1 == 0 && op2 == 0) { // STREX
        write32(e, c->regs[n] + ((hw2 & 0xFF) << 2), reg(e, t));
        c->regs[t2d] = 0;
        return;
    }
    if (op1 == 0 && op2 == 1) { // LDREX
        c->regs[t] = read32(e, c->regs[n] + ((hw2 & 0xFF) << 2));
        return;
    }
    if (op1 == 1 && op2 == 0) { // STREXB, STREXH: 1111 0100/0101 dddd
        uint32_t d = hw2 & 15;
        if (d == 15) return undefined(e, hw1, hw2);
        if (op3 == 4)
            write8(e, c->regs[n], reg(e, t));
        else if (op3 == 5)
            write16(e, c->regs[n], reg(e, t));
        else
            return undefined(e, hw1, hw2);
        c->regs[d] = 0;
        return;
    }
    if (op1 == 1 && op2 == 1) { // TBB, TBH, LDREXB, LDREXH
        switch (op3) {
        case 0: e.next = e.address + 4 + 2 * read8(e, reg(e, n) + reg(e, hw2 & 15)); return;
        case 1: e.next = e.address + 4 + 2 * read16(e, reg(e, n) + 2 * reg(e, hw2 & 15)); return;
        case 4: c->regs[t] = read8(e, c->regs[n]); return;
        case 5: c->regs[t] = read16(e, c->regs[n]); return;
        default: return undefined(e, hw1, hw2);
        }
    }
    // LDRD, STRD: P = hw1[8], U = hw1[7], W = hw1[5]
    bool index = hw1 & 0x100, add = hw1 & 0x80, writeback = hw1 & 0x20, load = hw1 & 0x10;
    uint32_t imm = (hw2 & 0xFF) << 2;
    uint32_t base = n == 15 ? alignedPc(e) : c->regs[n];
    if (n == 15 && (!load || writeback)) return undefined(e, hw1, hw2);
    uint32_t offsetAddress = add ? base + imm : base - imm;
    uint32_t address = index ? offsetAddress : base;
    if (load) {
        uint32_t lo = read32(e, address);
        uint32_t hi = read32(e, address + 4);
        c->regs[t] = lo;
        c->regs[t2d] = hi;
    } else {
        write32(e, address, reg(e, t));
        write32(e, address + 4, reg(e, t2d));
    }
    if (writeback) c->regs[n] = offsetAddress;
}

namespace {

// LDR, STR and relatives from a base other than the PC: a 12-bit offset, or an
// 8-bit offset (offset, pre- or post-indexed) or a shifted register; the rarer
// cases go to the general handler.
template <uint32_t Size, bool Load, bool Sign, bool Offset12>
void single(Exec& e, uint32_t hw1, uint32_t hw2) {
    tw_cpu* c = e.cpu;
    uint32_t n = hw1 & 15, t = hw2 >> 12;
    if (n == 15 || t == 15) [[unlikely]]
        return loadStoreSingle(e, hw1, hw2);
    uint32_t address, base = c->regs[n];
    bool writeback = false;
    if (Offset12) {
        address = base + (hw2 & 0xFFF);
    } else if (hw2 & 0x800) {
        bool index = hw2 & 0x400;
        writeback = hw2 & 0x100;
        if (!index && !writeback) [[unlikely]]
            return loadStoreSingle(e, hw1, hw2);
        uint32_t offsetAddress = (hw2 & 0x200) ? base + (hw2 & 0xFF) : base - (hw2 & 0xFF);
        address = index ? offsetAddress : base;
        base = offsetAddress;
    } else {
        if (hw2 & 0x7C0) [[unlikely]]
            return loadStoreSingle(e, hw1, hw2);
        address = base + (reg(e, hw2 & 15) << ((hw2 >> 4) & 3));
    }
    if (Load) {
        uint32_t v = readSized<Size>(e, address);
        if (writeback) c->regs[n] = base;
        c->regs[t] = Sign ? signExtend(v, Size * 8) : v;
    } else {
        writeSized<Size>(e, address, c->regs[t]);
        if (writeback) c->regs[n] = base;
    }
}

} // namespace

const Encoding kLoadStore32[] = {
    {"111110000000nnnn", single<1, false, false, false>}, // STRB (8-bit or register offset)
    {"111110000010nnnn", single<2, false, false, false>}, // STRH (8-bit or register offset)
    {"111110000100nnnn", single<4, false, false, false>}, // STR (8-bit or register offset)
    {"111110000001nnnn", single<1, true, false, false>}, // LDRB (8-bit or register offset)
    {"111110000011nnnn", single<2, true, false, false>}, // LDRH (8-bit or register offset)
    {"111110000101nnnn", single<4, true, false, false>, endsIfLoadsPc}, // LDR (8-bit or register offset)
    {"111110010001nnnn", single<1, true, true, false>}, // LDRSB (8-bit or register offset)
    {"111110010011nnnn", single<2, true, true, false>}, // LDRSH (8-bit or register offset)
    {"111110001000nnnn", single<1, false, false, true>}, // STRB (12-bit offset)
    {"111110001010nnnn", single<2, false, false, true>}, // STRH (12-bit offset)
    {"111110001100nnnn", single<4, false, false, true>}, // STR (12-bit offset)
    {"111110001001nnnn", single<1, true, false, true>}, // LDRB (12-bit offset)
    {"111110001011nnnn", single<2, true, false, true>}, // LDRH (12-bit offset)
    {"111110001101nnnn", single<4, true, false, true>, endsIfLoadsPc}, // LDR (12-bit offset)
    {"111110011001nnnn", single<1, true, true, true>}, // LDRSB (12-bit offset)
    {"111110011011nnnn", single<2, true, true, true>}, // LDRSH (12-bit offset)
};
const size_t kLoadStore32Count = sizeof kLoadStore32 / sizeof kLoadStore32[0];

} // namespace tw::cpu
