// Random instruction streams, one encoding class at a time, run on our
// interpreter and on Unicorn side by side and compared after every step:
// registers, flags, masks, stack pointers and all of RAM.
//
// TW_CPU_SEED=<n> picks another seed, TW_CPU_STREAMS=<n> the streams per class.
//
// Known differences of Unicorn 2.0.1 from the architecture, kept out of the streams:
// - It models an exclusive monitor, so STREX without a matching LDREX fails; our
//   exclusive stores always succeed. Streams put an LDREX of the same address
//   first.
// - A Cortex-M3 has no DSP instructions (SMULxy, SMLAxy, QADD, QSUB, PKH, the
//   extend-and-add forms, UMAAL); those classes run against a Cortex-M4.
// - nPRIV = 1 makes it ignore later MSR writes (we model no privilege levels), and
//   it faults on unaligned LDRD/STRD/LDM/STM/LDREX as the chip does where we
//   do not: CONTROL writes keep nPRIV 0 and those addresses stay aligned.
// - MSR MSP/PSP keeps bits 1 and 0 of the value, which the architecture clears:
//   stack pointer values written by MSR stay word-aligned.
// - YIELD stops it as an invalid instruction; WFI and WFE stop it; they are covered by the hand-written tests instead.
#include "core/cpu/bare_cpu.h"
#include "core/cpu/oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace tw {

namespace {

using namespace tw::test;

constexpr uint32_t kCodeBase = 0x1000;
constexpr uint32_t kCodeEnd = 0x1800;
constexpr uint32_t kTableBase = 0x1800; // entries 0 to 5, for TBB and TBH
constexpr uint16_t kSelfLoop = 0xE7FE; // B .

uint64_t envNumber(const char* name, uint64_t fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 0) : fallback;
}

// A stream under construction.
struct Stream {
    std::mt19937 rng;
    std::vector<uint16_t> code;

    explicit Stream(uint32_t seed) : rng(seed) {}
    uint32_t below(uint32_t n) { return uint32_t(rng() % n); }
    uint32_t bits(uint32_t n) { return n >= 32 ? uint32_t(rng()) : uint32_t(rng()) & ((1u << n) - 1); }
    bool coin() { return rng() & 1; }
    uint32_t low() { return below(8); }
    // r0-r12 or LR: any register that may hold data.
    uint32_t any() {
        uint32_t r = below(14);
        return r == 13 ? 14 : r;
    }
    uint32_t anyBut(std::initializer_list<uint32_t> avoid) { return avoiding(&Stream::any, avoid); }
    uint32_t lowBut(std::initializer_list<uint32_t> avoid) { return avoiding(&Stream::low, avoid); }
    uint32_t avoiding(uint32_t (Stream::*pick)(), std::initializer_list<uint32_t> avoid) {
        for (;;) {
            uint32_t r = (this->*pick)();
            if (std::find(avoid.begin(), avoid.end(), r) == avoid.end()) return r;
        }
    }
    uint32_t value() {
        switch (below(6)) {
        case 0: return 0;
        case 1: return 0x80000000u >> below(32);
        case 2: return uint32_t(-int32_t(below(4)));
        case 3: return below(256);
        default: return uint32_t(rng());
        }
    }
    uint32_t ramAddress(uint32_t align) { return (0x20002000u + below(0xA000)) & ~(align - 1); }

    // Branches name a target unit (one generator call each) and are encoded once
    // the layout is known, so every target is the start of an instruction.
    enum class Branch { Cond16, Always16, Cbz, Always32, Link, Cond32 };
    struct Fixup {
        size_t at;
        Branch kind;
        uint32_t bits; // condition, or CBZ's op and register
        int64_t targetUnit;
    };
    std::vector<size_t> unitStarts;
    std::vector<Fixup> fixups;

    void branch(Branch kind, uint32_t fieldBits, int64_t delta) {
        fixups.push_back({code.size(), kind, fieldBits, int64_t(unitStarts.size()) - 1 + delta});
        h16(0);
        if (kind >= Branch::Always32) h16(0);
    }
    void resolve() {
        for (const Fixup& f : fixups) {
            int64_t unit = f.targetUnit < 0 ? 0 : f.targetUnit;
            size_t target = size_t(unit) < unitStarts.size() ? unitStarts[size_t(unit)] : code.size();
            uint32_t offset = uint32_t(int32_t(2 * target) - int32_t(2 * f.at + 4));
            uint16_t* p = &code[f.at];
            switch (f.kind) {
            case Branch::Cond16: p[0] = uint16_t(0xD000 | f.bits << 8 | (offset >> 1 & 0xFF)); break;
            case Branch::Always16: p[0] = uint16_t(0xE000 | (offset >> 1 & 0x7FF)); break;
            case Branch::Cbz: p[0] = uint16_t(0xB100 | f.bits | (offset & 0x40) << 3 | (offset >> 1 & 0x1F) << 3); break;
            case Branch::Cond32: {
                uint32_t sign = offset >> 31, j1 = offset >> 18 & 1, j2 = offset >> 19 & 1;
                p[0] = uint16_t(0xF000 | sign << 10 | f.bits << 6 | (offset >> 12 & 0x3F));
                p[1] = uint16_t(0x8000 | j1 << 13 | j2 << 11 | (offset >> 1 & 0x7FF));
                break;
            }
            default: {
                uint32_t sign = offset >> 31, i1 = offset >> 23 & 1, i2 = offset >> 22 & 1;
                uint32_t j1 = (i1 ^ sign ^ 1), j2 = (i2 ^ sign ^ 1);
                p[0] = uint16_t(0xF000 | sign << 10 | (offset >> 12 & 0x3FF));
                p[1] = uint16_t((f.kind == Branch::Link ? 0xD000 : 0x9000) | j1 << 13 | j2 << 11 | (offset >> 1 & 0x7FF));
                break;
            }
            }
        }
    }

    void h16(uint32_t h) { code.push_back(uint16_t(h)); }
    void h32(uint32_t hw1, uint32_t hw2) {
        code.push_back(uint16_t(hw1));
        code.push_back(uint16_t(hw2));
    }
    // MOVW, and MOVT when the top half is not zero.
    void set(uint32_t d, uint32_t v) {
        auto movImm = [&](uint32_t base, uint32_t imm16) {
            h32(base | ((imm16 >> 1) & 0x400) | (imm16 >> 12), ((imm16 << 4) & 0x7000) | d << 8 | (imm16 & 0xFF));
        };
        movImm(0xF240, v & 0xFFFF);
        if (v >> 16) movImm(0xF2C0, v >> 16);
    }
    uint32_t modifiedImmediate() { return bits(12); }
};

using Generator = std::function<void(Stream&)>;

// --- 16-bit classes ----------------------------------------------------------

void shiftAddSubMoveCompare(Stream& s) { s.h16(s.bits(14)); }
void dataProcessing16(Stream& s) { s.h16(0x4000 | s.bits(10)); }

void specialData(Stream& s) {
    uint32_t op = s.below(3), d = s.any(), m = s.coin() ? 15 : s.any();
    if (op == 1) { // CMP: not both low, no PC
        m = s.any();
        if (d < 8 && m < 8) d = 8 + s.below(5);
    }
    s.h16(0x4400 | op << 8 | (d & 8) << 4 | m << 3 | (d & 7));
}

void loadStoreRegister16(Stream& s) {
    uint32_t n = s.low(), m = s.lowBut({n}), t = s.low();
    s.set(n, s.ramAddress(1));
    s.set(m, s.below(0x100));
    s.h16(0x5000 | s.below(8) << 9 | m << 6 | n << 3 | t);
}

void loadStoreImmediate16(Stream& s) {
    uint32_t n = s.low();
    s.set(n, s.ramAddress(1));
    uint32_t top = 0x6000 + 0x800 * s.below(6); // STR/LDR, STRB/LDRB, STRH/LDRH
    s.h16(top | s.bits(5) << 6 | n << 3 | s.low());
}

void spRelativeAndAddresses(Stream& s) {
    switch (s.below(5)) {
    case 0: s.h16(0x9000 | s.bits(12)); break;        // STR/LDR [SP, #imm8 * 4]
    case 1: s.h16(0xA000 | s.bits(11)); break;        // ADR
    case 2: s.h16(0xA800 | s.bits(11)); break;        // ADD Rd, SP, #imm8 * 4
    case 3: s.h16(0xB000 | s.bits(8)); break;         // ADD/SUB SP, SP, #imm7 * 4
    default: s.h16(0x4800 | s.bits(11)); break;       // LDR (literal)
    }
}

void miscellaneous16(Stream& s) {
    switch (s.below(7)) {
    case 0: s.h16(0xB200 | s.bits(6)); break; // SXTH, SXTB, UXTH, UXTB
    case 1: {                                  // REV, REV16, REVSH
        const uint32_t ops[] = {0xBA00, 0xBA40, 0xBAC0};
        s.h16(ops[s.below(3)] | s.bits(6));
        break;
    }
    case 2: s.h16(0xB400 | s.bits(9) | 1); break; // PUSH (non-empty)
    case 3: s.h16(0xBC00 | s.bits(8) | 1); break; // POP without PC
    case 4: s.h16(0xB660 | s.bits(1) << 4 | (1 + s.below(3))); break; // CPS
    case 5: {                                                          // NOP, SEV, hint 7
        const uint32_t hints[] = {0xBF00, 0xBF40, 0xBF70};
        s.h16(hints[s.below(3)]);
        break;
    }
    default: s.h16(0xB000 | s.bits(8)); break;
    }
}

void loadStoreMultiple16(Stream& s) {
    uint32_t n = s.low();
    s.set(n, s.ramAddress(4));
    uint32_t list = s.bits(8) | (1u << s.low());
    if (s.coin()) {
        list &= ~(1u << n); // STM: the base stays out of the list
        if (!list) list = 1u << ((n + 1) & 7);
        s.h16(0xC000 | n << 8 | list);
    } else {
        s.h16(0xC800 | n << 8 | list);
    }
}

// --- 32-bit classes ------------------------------------------------------------

const uint32_t kDataOps[] = {0, 1, 2, 3, 4, 8, 10, 11, 13, 14};

// Shared register choice for the two data-processing forms: compare forms write
// no register; MOV/MVN read none.
void dataOperands(Stream& s, uint32_t& op, uint32_t& S, uint32_t& n, uint32_t& d) {
    op = kDataOps[s.below(10)];
    S = s.coin();
    n = s.any();
    d = s.any();
    if ((op == 2 || op == 3) && s.coin()) n = 15;
    if (S && (op == 0 || op == 4 || op == 8 || op == 13) && s.below(3) == 0) d = 15;
}

void modifiedImmediate(Stream& s) {
    uint32_t op, S, n, d;
    dataOperands(s, op, S, n, d);
    uint32_t imm = s.modifiedImmediate();
    s.h32(0xF000 | (imm >> 1 & 0x400) | op << 5 | S << 4 | n, (imm << 4 & 0x7000) | d << 8 | (imm & 0xFF));
}

void shiftedRegister(Stream& s) {
    uint32_t op, S, n, d;
    dataOperands(s, op, S, n, d);
    s.h32(0xEA00 | op << 5 | S << 4 | n, s.bits(3) << 12 | d << 8 | s.bits(2) << 6 | s.bits(2) << 4 | s.any());
}

void plainImmediate(Stream& s) {
    uint32_t d = s.any(), n = s.any();
    switch (s.below(7)) {
    case 0: // ADDW, SUBW (ADR from the PC)
        if (s.coin()) n = 15;
        s.h32(0xF200 | s.bits(1) << 10 | (s.coin() ? 0xA0 : 0) | n, s.bits(3) << 12 | d << 8 | s.bits(8));
        break;
    case 1: s.h32(0xF240 | s.bits(1) << 10 | (s.coin() ? 0x80 : 0) | s.bits(4), s.bits(3) << 12 | d << 8 | s.bits(8));
        break; // MOVW, MOVT
    case 2: case 3: { // SSAT, USAT (LSL any, ASR 1..31)
        bool asr = s.coin();
        uint32_t amount = asr ? 1 + s.below(31) : s.below(32);
        uint32_t base = s.coin() ? 0xF300 : 0xF380;
        s.h32(base | (asr ? 0x20 : 0) | n, (amount >> 2) << 12 | d << 8 | (amount & 3) << 6 | s.bits(5));
        break;
    }
    case 4: { // SBFX, UBFX
        uint32_t lsb = s.below(32), width = 1 + s.below(32 - lsb);
        s.h32((s.coin() ? 0xF340 : 0xF3C0) | n, (lsb >> 2) << 12 | d << 8 | (lsb & 3) << 6 | (width - 1));
        break;
    }
    default: { // BFI, BFC
        uint32_t lsb = s.below(32), msb = lsb + s.below(32 - lsb);
        if (s.below(3) == 0) n = 15;
        s.h32(0xF360 | n, (lsb >> 2) << 12 | d << 8 | (lsb & 3) << 6 | msb);
        break;
    }
    }
}

void dataProcessingRegister(Stream& s) {
    uint32_t d = s.any(), m = s.any(), n = s.any();
    switch (s.below(3)) {
    case 0: s.h32(0xFA00 | s.bits(3) << 4 | n, 0xF000 | d << 8 | m); break;                       // LSL/LSR/ASR/ROR(S)
    case 1: {                                                                                     // SXTH..UXTB
        const uint32_t ops[] = {0x00, 0x10, 0x40, 0x50};
        s.h32(0xFA0F | ops[s.below(4)], 0xF080 | d << 8 | s.bits(2) << 4 | m);
        break;
    }
    default: {                                                                                    // REV.., CLZ
        const uint32_t ops[][2] = {{0xFA90, 0x80}, {0xFA90, 0x90}, {0xFA90, 0xA0}, {0xFA90, 0xB0}, {0xFAB0, 0x80}};
        auto op = ops[s.below(5)];
        s.h32(op[0] | m, 0xF000 | d << 8 | op[1] | m);
    }
    }
}

void multiply32(Stream& s) {
    uint32_t d = s.any(), n = s.any(), m = s.any(), a = s.coin() ? 15 : s.any();
    uint32_t op2 = a == 15 ? 0 : s.below(2); // MUL, MLA, MLS
    s.h32(0xFB00 | n, a << 12 | d << 8 | op2 << 4 | m);
}

void longMultiplyDivide(Stream& s) {
    uint32_t n = s.any(), m = s.any(), lo = s.any(), hi = s.anyBut({lo});
    if (s.below(3) == 0) { // awkward dividends and divisors
        s.set(n, s.coin() ? 0x80000000u : s.value());
        s.set(m, s.coin() ? 0xFFFFFFFFu : s.below(3));
    }
    switch (s.below(6)) {
    case 0: s.h32(0xFB80 | n, lo << 12 | hi << 8 | m); break; // SMULL
    case 1: s.h32(0xFBA0 | n, lo << 12 | hi << 8 | m); break; // UMULL
    case 2: s.h32(0xFBC0 | n, lo << 12 | hi << 8 | m); break; // SMLAL
    case 3: s.h32(0xFBE0 | n, lo << 12 | hi << 8 | m); break; // UMLAL
    case 4: s.h32(0xFB90 | n, 0xF0F0 | hi << 8 | m); break;   // SDIV
    default: s.h32(0xFBB0 | n, 0xF0F0 | hi << 8 | m); break;  // UDIV
    }
}

void loadStoreSingle32(Stream& s) {
    uint32_t n = s.any(), t = s.anyBut({n}), m = s.anyBut({n});
    uint32_t size = s.below(3);
    bool load = s.coin(), sign = load && size < 2 && s.coin();
    uint32_t hw1 = 0xF800 | sign << 8 | size << 5 | load << 4;
    s.set(n, s.ramAddress(1));
    switch (s.below(4)) {
    case 0: s.h32(hw1 | 0x80 | n, t << 12 | s.bits(12)); break; // 12-bit offset
    case 1: {                                                     // 8-bit: offset, pre, post, unprivileged
        const uint32_t puw[] = {0xC, 0xD, 0xF, 0x9, 0xB, 0xE};
        s.h32(hw1 | n, t << 12 | 0x800 | puw[s.below(6)] << 8 | s.bits(8));
        break;
    }
    case 2: s.set(m, s.below(0x400)); s.h32(hw1 | n, t << 12 | s.bits(2) << 4 | m); break; // register
    default:
        if (load) s.h32(hw1 | s.bits(1) << 7 | 0xF, t << 12 | s.bits(10)); // literal
        else s.h32(hw1 | 0x80 | n, t << 12 | s.bits(12));
        break;
    }
}

void loadStoreMultiple32(Stream& s) {
    uint32_t n = s.any();
    s.set(n, s.ramAddress(4));
    uint32_t list;
    do list = s.bits(13) | (s.coin() ? 0x4000 : 0);
    while (std::popcount(list & ~(1u << n)) < 2);
    list &= ~(1u << n);
    bool load = s.coin(), writeback = s.coin(), decrement = s.coin();
    s.h32((decrement ? 0xE900 : 0xE880) | writeback << 5 | load << 4 | n, list);
}

void dualAndExclusive(Stream& s) {
    uint32_t n = s.any(), t = s.anyBut({n}), t2 = s.anyBut({n, t});
    s.set(n, s.ramAddress(4));
    switch (s.below(4)) {
    case 0: { // LDRD/STRD: offset, pre-indexed, post-indexed
        const uint32_t pw[] = {0x100, 0x120, 0x020};
        s.h32(0xE840 | pw[s.below(3)] | s.bits(1) << 7 | s.bits(1) << 4 | n, t << 12 | t2 << 8 | s.bits(6));
        break;
    }
    case 1: s.h32(0xE95F | s.bits(1) << 7, t << 12 | t2 << 8 | s.bits(8)); break; // LDRD (literal)
    case 2: {                                                      // LDREX + STREX
        uint32_t imm = s.bits(4);
        s.h32(0xE850 | n, t2 << 12 | 0xF00 | imm);
        s.h32(0xE840 | n, t << 12 | t2 << 8 | imm);
        break;
    }
    default: { // LDREXB/H + STREXB/H
        uint32_t half = s.coin();
        s.h32(0xE8D0 | n, t2 << 12 | 0xF4F | half << 4);
        s.h32(0xE8C0 | n, t << 12 | 0xF40 | half << 4 | t2);
        break;
    }
    }
}

// Direct branches to the start of a unit up to six units away.
void branches(Stream& s) {
    int64_t delta = int64_t(s.below(13)) - 6;
    switch (s.below(8)) {
    case 0: s.branch(Stream::Branch::Cond16, s.below(14), delta); break;
    case 1: s.branch(Stream::Branch::Always16, 0, delta); break;
    case 2: s.branch(Stream::Branch::Cbz, s.bits(1) << 11 | s.low(), 1 + s.below(6)); break;
    case 3: s.branch(Stream::Branch::Always32, 0, delta); break;
    case 4: s.branch(Stream::Branch::Link, 0, delta); break;
    case 5: s.branch(Stream::Branch::Cond32, s.below(14), delta); break;
    case 6: shiftAddSubMoveCompare(s); break;
    default: dataProcessing16(s); break;
    }
}

// BX, BLX, TBB and TBH, each jumping into 16-bit instructions of its own unit.
void indirectBranches(Stream& s) {
    uint32_t n = s.any(), m = s.anyBut({n});
    if (s.coin()) {
        uint32_t at = kCodeBase + 2 * uint32_t(s.code.size() + 3 + s.below(6));
        s.set(m, at | 1);
        s.h16(0x4700 | s.bits(1) << 7 | m << 3);
    } else { // the table lies in flash: entries 0 to 5
        s.set(n, kTableBase);
        s.set(m, s.below(16));
        s.h32(0xE8D0 | n, 0xF000 | s.bits(1) << 4 | m);
    }
    for (int i = 0; i < 8; ++i) dataProcessing16(s);
}

void specialRegisters(Stream& s) {
    uint32_t r = s.any();
    switch (s.below(5)) {
    case 4: { // DSB, DMB, ISB, CLREX, NOP.W, SEV.W: no effect
        const uint32_t ops[][2] = {{0xF3BF, 0x8F4F}, {0xF3BF, 0x8F5F}, {0xF3BF, 0x8F6F},
                                   {0xF3BF, 0x8F2F}, {0xF3AF, 0x8000}, {0xF3AF, 0x8004}};
        auto op = ops[s.below(6)];
        s.h32(op[0], op[1]);
        break;
    }
    case 0: { // MSR APSR_nzcvq, PRIMASK, BASEPRI, BASEPRI_MAX, FAULTMASK
        const uint32_t sysm[] = {0, 1, 2, 3, 16, 17, 18, 19};
        s.set(r, s.value());
        uint32_t which = sysm[s.below(8)];
        s.h32(0xF380 | r, 0x8800 | which); // mask 2: nzcvq
        break;
    }
    case 1: { // MSR MSP, PSP
        s.set(r, s.ramAddress(4));
        s.h32(0xF380 | r, 0x8800 | (8 + s.below(2)));
        break;
    }
    case 2: s.set(r, s.coin() ? 2 : 0); s.h32(0xF380 | r, 0x8814); break; // MSR CONTROL (SPSEL)
    default: {                                                              // MRS
        const uint32_t sysm[] = {0, 1, 2, 3, 5, 6, 7, 8, 9, 16, 17, 18, 19, 20};
        s.h32(0xF3EF, 0x8000 | r << 8 | sysm[s.below(14)]);
        break;
    }
    }
}

// An IT block over data-processing instructions of both sizes.
void itBlock(Stream& s) {
    uint32_t cond = s.below(14), mask = 1 + s.bits(4);
    if (!(mask & 0xF)) mask = 8;
    s.h16(0xBF00 | cond << 4 | (mask & 0xF));
    int count = 4 - std::countr_zero(mask & 0xF);
    for (int i = 0; i < count; ++i) {
        switch (s.below(3)) {
        case 0: shiftAddSubMoveCompare(s); break;
        case 1: dataProcessing16(s); break;
        default: modifiedImmediate(s); break;
        }
    }
}

// --- DSP classes (Cortex-M4 oracle) -------------------------------------------

void dsp(Stream& s) {
    uint32_t d = s.any(), n = s.any(), m = s.any(), a = s.any();
    switch (s.below(6)) {
    case 0: s.h32(0xFB10 | n, 0xF000 | d << 8 | s.bits(2) << 4 | m); break;         // SMULxy
    case 1: s.h32(0xFB10 | n, a << 12 | d << 8 | s.bits(2) << 4 | m); break;        // SMLAxy
    case 2: s.h32(0xFA80 | n, 0xF000 | d << 8 | (s.coin() ? 0xA0 : 0x80) | m); break; // QADD, QSUB
    case 3: s.h32(0xEAC0 | n, s.bits(3) << 12 | d << 8 | s.bits(2) << 6 | s.bits(1) << 5 | m); break; // PKH
    case 4: s.h32(0xFA00 | s.bits(1) << 4 | s.below(3) << 5 | n, 0xF080 | d << 8 | s.bits(2) << 4 | m); break; // xXTAxx
    default: s.h32(0xFBE0 | n, a << 12 | s.anyBut({a}) << 8 | 0x60 | m); break; // UMAAL
    }
}

struct Class {
    const char* name;
    Generator generate;
    int model;
};

const Class kClasses[] = {
    {"shift/add/sub/mov/cmp", shiftAddSubMoveCompare, UC_CPU_ARM_CORTEX_M3},
    {"data processing 16", dataProcessing16, UC_CPU_ARM_CORTEX_M3},
    {"special data", specialData, UC_CPU_ARM_CORTEX_M3},
    {"load/store register 16", loadStoreRegister16, UC_CPU_ARM_CORTEX_M3},
    {"load/store immediate 16", loadStoreImmediate16, UC_CPU_ARM_CORTEX_M3},
    {"SP-relative, ADR, literal", spRelativeAndAddresses, UC_CPU_ARM_CORTEX_M3},
    {"miscellaneous 16", miscellaneous16, UC_CPU_ARM_CORTEX_M3},
    {"STM/LDM 16", loadStoreMultiple16, UC_CPU_ARM_CORTEX_M3},
    {"IT blocks", itBlock, UC_CPU_ARM_CORTEX_M3},
    {"modified immediate", modifiedImmediate, UC_CPU_ARM_CORTEX_M3},
    {"shifted register", shiftedRegister, UC_CPU_ARM_CORTEX_M3},
    {"plain immediate", plainImmediate, UC_CPU_ARM_CORTEX_M3},
    {"data processing register", dataProcessingRegister, UC_CPU_ARM_CORTEX_M3},
    {"multiply", multiply32, UC_CPU_ARM_CORTEX_M3},
    {"long multiply, divide", longMultiplyDivide, UC_CPU_ARM_CORTEX_M3},
    {"load/store single 32", loadStoreSingle32, UC_CPU_ARM_CORTEX_M3},
    {"load/store multiple 32", loadStoreMultiple32, UC_CPU_ARM_CORTEX_M3},
    {"dual, exclusive", dualAndExclusive, UC_CPU_ARM_CORTEX_M3},
    {"branches", branches, UC_CPU_ARM_CORTEX_M3},
    {"indirect branches", indirectBranches, UC_CPU_ARM_CORTEX_M3},
    {"special registers", specialRegisters, UC_CPU_ARM_CORTEX_M3},
    {"DSP", dsp, UC_CPU_ARM_CORTEX_M4},
};

// Builds one stream, runs it on both and returns the first difference.
// `oracle` steps, `whole` runs whole streams: switching one engine between
// count-limited and free runs makes Unicorn flush all its translations.
std::string runStream(const Class& cls, Oracle& oracle, Oracle& whole, uint32_t seed) {
    Stream s(seed);
    for (int i = 0; i < 24 && s.code.size() < (kCodeEnd - kCodeBase) / 2 - 64; ++i) {
        s.unitStarts.push_back(s.code.size());
        cls.generate(s);
    }
    s.resolve();

    BareCpu ours;
    for (size_t i = 0; i < ours.ram.size(); ++i) ours.ram[i] = uint8_t(s.rng());
    for (uint32_t a = kCodeBase; a < kCodeEnd; a += 2) ours.code(a, {kSelfLoop});
    for (size_t i = 0; i < s.code.size(); ++i) ours.code(kCodeBase + 2 * uint32_t(i), {s.code[i]});
    for (uint32_t i = 0; i < 64; ++i) ours.flash[kTableBase + i] = uint8_t(i % 2 ? 0 : i / 2 % 6);
    for (int r = 0; r < 13; ++r) ours.cpu.regs[r] = s.value();
    ours.cpu.regs[13] = 0x20008000;
    ours.cpu.regs[14] = s.value();
    ours.cpu.regs[15] = kCodeBase;
    ours.cpu.pspBank = 0x20009000;
    ours.cpu.flagN = s.coin(), ours.cpu.flagZ = s.coin(), ours.cpu.flagC = s.coin(), ours.cpu.flagV = s.coin();
    ours.cpu.flagQ = s.coin();
    const tw_cpu initialCpu = ours.cpu;
    const std::vector<uint8_t> initialRam = ours.ram;

    auto startOracle = [&](Oracle& o) {
        o.write(0, ours.flash.data(), ours.flash.size());
        o.write(kRamBase, ours.ram.data(), ours.ram.size());
        o.setState(ours.cpu);
    };
    std::vector<uint8_t> theirRam(kRamSize);
    auto compareAll = [&](Oracle& other, const char* where) -> std::string {
        tw_cpu theirs = ours.cpu;
        other.getState(theirs);
        std::string diff = compareState(ours.cpu, theirs);
        if (!diff.empty()) return diff + where;
        other.read(kRamBase, theirRam.data(), theirRam.size());
        if (theirRam != ours.ram) {
            size_t i = 0;
            while (theirRam[i] == ours.ram[i]) ++i;
            char text[96];
            std::snprintf(text, sizeof text, "RAM at %08x: ours %02x, Unicorn %02x", unsigned(kRamBase + i),
                          ours.ram[i], theirRam[i]);
            return text + std::string(where);
        }
        return {};
    };

    // Step by step: one instruction (or one whole IT block) at a time.
    startOracle(oracle);
    uint32_t end = 0;
    std::vector<uint32_t> visited;
    for (int stepCount = 0; stepCount < 400 && !end; ++stepCount) {
        uint32_t pc = ours.cpu.regs[15];
        visited.push_back(pc);
        char where[96];
        std::snprintf(where, sizeof where, " (step %d at %08x: %04x %04x, seed %u)", stepCount, pc,
                      ours.word(pc) & 0xFFFF, ours.word(pc) >> 16, seed);
        int result = ours.run(1);
        if (result != TW_RUN_BUDGET) return std::string("our run ended with ") + ours.cpu.faultText + where;
        uc_err err = oracle.step();
        if (err != UC_ERR_OK) return std::string("Unicorn: ") + uc_strerror(err) + where;
        std::string diff = compareAll(oracle, where);
        if (!diff.empty()) return diff;
        if (ours.cpu.regs[15] == pc) end = pc; // B . ends the stream
    }
    // Streams that loop, or that passed their last address before (a conditional
    // branch to itself, not taken at first), are compared step by step only.
    if (!end || std::count(visited.begin(), visited.end(), end) > 1) return {};

    // In one call, as the firmware runs: pre-decoded blocks, IT blocks inside them.
    uint64_t steppedCount = ours.cpu.instructionCount;
    ours.cpu = initialCpu;
    ours.ram = initialRam;
    startOracle(whole);
    char where[64];
    std::snprintf(where, sizeof where, " (whole run, seed %u)", seed);
    if (ours.run(1'000'000, end) != TW_RUN_STOP_PC) return std::string("our whole run ended early") + where;
    if (ours.cpu.instructionCount + 1 != steppedCount) return std::string("whole run count differs") + where;
    // (Counting on Unicorn's side would flush its translations for every stream;
    // the compiled programs compare counts with it.)
    uc_err err = whole.runUntil(end, nullptr);
    if (err != UC_ERR_OK) return std::string("Unicorn: ") + uc_strerror(err) + where;
    return compareAll(whole, where);
}

TEST(CpuDifferential, RandomStreamsPerClassMatchUnicorn) {
    const uint32_t seed = uint32_t(envNumber("TW_CPU_SEED", 20261207));
    const uint64_t streams = envNumber("TW_CPU_STREAMS", 40);
    for (const Class& cls : kClasses) {
        Oracle oracle(cls.model), whole(cls.model);
        ASSERT_TRUE(oracle.ok() && whole.ok());
        int failures = 0;
        for (uint64_t i = 0; i < streams && failures < 3; ++i) {
            std::string diff = runStream(cls, oracle, whole, seed + uint32_t(i) * 7919u);
            if (!diff.empty()) {
                ++failures;
                ADD_FAILURE() << cls.name << ": " << diff;
            }
        }
    }
}

} // namespace

} // namespace tw
