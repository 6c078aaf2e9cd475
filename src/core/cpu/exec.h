// Shared pieces of the Thumb-2 interpreter: the per-instruction context, register
// and memory access with the direct flash/RAM path, flag helpers and fault texts.
// Included only by the interpreter's own files.
#pragma once

#include "core/bits.h"
#include "core/memory_map.h"
#include "core/tw.h"

#include <bit>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "direct memory access assumes a little-endian host");

namespace tw::cpu {

// One instruction being executed. Handlers read the PC from `address` (regs[15]
// is brought up to date only where the bus may report a fault against it) and
// leave the result PC in `next`.
struct Exec {
    tw_cpu* cpu;
    uint32_t address; // of the instruction
    uint32_t next;    // PC after it: the following instruction or a branch target
    uint32_t events;  // Event bits: anything the run loop must look at after the instruction
    uint32_t codeLow, codeSpan; // stores here may rewrite decoded code
};

enum : uint32_t {
    kEventFault = 1,    // a fault was recorded (bus fault or a fault text)
    kEventWfi = 2,      // WFI executed
    kEventItLoaded = 4, // the IT instruction set itState itself
    kEventCodeWritten = 8, // a store reached decoded code
};

inline void noteStore(Exec& e, uint32_t address) {
    if (address - e.codeLow < e.codeSpan) [[unlikely]]
        e.events |= kEventCodeWritten;
}

inline bool inItBlock(const tw_cpu* c) { return (c->itState & 0xF) != 0; }

// A register as an operand: the PC reads as the instruction's address + 4.
inline uint32_t reg(const Exec& e, uint32_t n) { return n == 15 ? e.address + 4 : e.cpu->regs[n]; }
// The word-aligned PC of literal loads, ADR and ADDW/SUBW from the PC.
inline uint32_t alignedPc(const Exec& e) { return (e.address + 4) & ~3u; }

void undefined(Exec& e, uint32_t hw1, uint32_t hw2);
void fault(Exec& e, const char* text);

// Writes of 16-bit ADD/MOV to the PC: a plain branch with bit 0 dropped.
inline void setReg(Exec& e, uint32_t d, uint32_t value) {
    if (d == 15)
        e.next = value & ~1u;
    else
        e.cpu->regs[d] = value;
}

// --- Memory -----------------------------------------------------------------

// The backing bytes of an access wholly inside flash or RAM, else null.
inline uint8_t* direct(const tw_cpu* c, uint32_t address, uint32_t width) { return directBytes(c, address, width); }

// Accesses outside flash and RAM: through the checked bus, which names the
// instruction's address in a fault text.
[[gnu::noinline]] inline uint32_t slowRead(Exec& e, uint32_t address, uint32_t width) {
    e.cpu->regs[15] = e.address;
    uint32_t v = tw_bus_read(e.cpu, address, width);
    if (e.cpu->faultFlag) e.events |= kEventFault;
    return v;
}
[[gnu::noinline]] inline void slowWrite(Exec& e, uint32_t address, uint32_t width, uint32_t value) {
    e.cpu->regs[15] = e.address;
    tw_bus_write(e.cpu, address, width, value);
    if (e.cpu->faultFlag) e.events |= kEventFault;
}

// Loads of 1, 2 or 4 bytes, zero-extended.
template <typename T>
inline uint32_t readAs(Exec& e, uint32_t address) {
    if (const uint8_t* p = direct(e.cpu, address, sizeof(T))) {
        T v;
        std::memcpy(&v, p, sizeof(T));
        return v;
    }
    return slowRead(e, address, sizeof(T));
}
inline uint32_t read32(Exec& e, uint32_t address) { return readAs<uint32_t>(e, address); }
inline uint32_t read16(Exec& e, uint32_t address) { return readAs<uint16_t>(e, address); }
inline uint32_t read8(Exec& e, uint32_t address) { return readAs<uint8_t>(e, address); }

inline void write32(Exec& e, uint32_t address, uint32_t value) {
    if (uint8_t* p = direct(e.cpu, address, 4)) {
        std::memcpy(p, &value, 4);
        noteStore(e, address);
    } else {
        slowWrite(e, address, 4, value);
    }
}
inline void write16(Exec& e, uint32_t address, uint32_t value) {
    if (uint8_t* p = direct(e.cpu, address, 2)) {
        uint16_t v = uint16_t(value);
        std::memcpy(p, &v, 2);
        noteStore(e, address);
    } else {
        slowWrite(e, address, 2, value & 0xFFFF);
    }
}
inline void write8(Exec& e, uint32_t address, uint32_t value) {
    if (uint8_t* p = direct(e.cpu, address, 1)) {
        *p = uint8_t(value);
        noteStore(e, address);
    } else {
        slowWrite(e, address, 1, value & 0xFF);
    }
}

// Accesses by size in bytes, for handlers made per size.
template <uint32_t Size>
inline uint32_t readSized(Exec& e, uint32_t address) {
    return Size == 4 ? read32(e, address) : Size == 2 ? read16(e, address) : read8(e, address);
}
template <uint32_t Size>
inline void writeSized(Exec& e, uint32_t address, uint32_t value) {
    if (Size == 4)
        write32(e, address, value);
    else if (Size == 2)
        write16(e, address, value);
    else
        write8(e, address, value);
}

// Shift_C: type 0 LSL, 1 LSR, 2 ASR, 3 ROR, 4 RRX (amount ignored); amount 0
// leaves value and carry; amounts of 32 and more follow the ARM rules.
inline uint32_t shiftC(uint32_t value, uint32_t type, uint32_t amount, uint32_t carryIn, uint32_t* carryOut) {
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
    *carryOut = carry;
    return result;
}

// The ARM condition test; 14 and 15 both pass. Bit (N:Z:C:V) of each mask says
// whether the condition holds for those flags.
inline constexpr uint16_t kConditionMasks[16] = {
    0xF0F0, 0x0F0F, 0xCCCC, 0x3333, 0xFF00, 0x00FF, 0xAAAA, 0x5555, // EQ NE CS CC MI PL VS VC
    0x0C0C, 0xF3F3, 0xAA55, 0x55AA, 0x0A05, 0xF5FA, 0xFFFF, 0xFFFF, // HI LS GE LT GT LE AL (NV)
};
inline bool conditionPassed(const tw_cpu* cpu, uint32_t cond) {
    uint32_t flags = cpu->flagN << 3 | cpu->flagZ << 2 | cpu->flagC << 1 | cpu->flagV;
    return (kConditionMasks[cond & 15] >> flags) & 1;
}

inline uint32_t bitCount(uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

// --- Flags ------------------------------------------------------------------

inline void setNZ(tw_cpu* c, uint32_t r) {
    c->flagN = r >> 31;
    c->flagZ = r == 0;
}

// AddWithCarry; writes all four flags when `setFlags`.
inline uint32_t addWithCarry(tw_cpu* c, uint32_t x, uint32_t y, uint32_t carry, bool setFlags) {
    uint64_t unsignedSum = uint64_t(x) + y + carry;
    uint32_t r = uint32_t(unsignedSum);
    if (setFlags) {
        setNZ(c, r);
        c->flagC = uint32_t(unsignedSum >> 32);
        c->flagV = (~(x ^ y) & (x ^ r)) >> 31;
    }
    return r;
}

// ThumbExpandImm_C of a 12-bit modified immediate; carry unchanged unless rotated.
inline uint32_t expandImmediate(uint32_t imm12, uint32_t carryIn, uint32_t* carryOut) {
    if ((imm12 >> 10) == 0) {
        *carryOut = carryIn;
        uint32_t b = imm12 & 0xFF;
        switch ((imm12 >> 8) & 3) {
        case 0: return b;
        case 1: return b << 16 | b;
        case 2: return b << 24 | b << 8;
        default: return b * 0x01010101u;
        }
    }
    uint32_t r = std::rotr(0x80u | (imm12 & 0x7F), int(imm12 >> 7));
    *carryOut = r >> 31;
    return r;
}

// Saturation of a signed value to `bits` (1..32) bits; sets *saturated.
inline int64_t signedSaturate(int64_t v, uint32_t bits, bool* saturated) {
    int64_t hi = (int64_t(1) << (bits - 1)) - 1, lo = -(int64_t(1) << (bits - 1));
    *saturated = v > hi || v < lo;
    return v > hi ? hi : v < lo ? lo : v;
}
inline int64_t unsignedSaturate(int64_t v, uint32_t bits, bool* saturated) {
    int64_t hi = (int64_t(1) << bits) - 1;
    *saturated = v > hi || v < 0;
    return v > hi ? hi : v < 0 ? 0 : v;
}

// --- Instruction classes ------------------------------------------------------

void dataProcessingModifiedImmediate(Exec& e, uint32_t hw1, uint32_t hw2);
void dataProcessingShiftedRegister(Exec& e, uint32_t hw1, uint32_t hw2);
void dataProcessingPlainImmediate(Exec& e, uint32_t hw1, uint32_t hw2);
void dataProcessingRegister(Exec& e, uint32_t hw1, uint32_t hw2);
void branchesAndMiscellaneous(Exec& e, uint32_t hw1, uint32_t hw2);
void loadStoreSingle(Exec& e, uint32_t hw1, uint32_t hw2);
void loadStoreMultiple(Exec& e, uint32_t hw1, uint32_t hw2);
void loadStoreDualExclusiveTable(Exec& e, uint32_t hw1, uint32_t hw2);
void multiply(Exec& e, uint32_t hw1, uint32_t hw2);
void longMultiplyDivide(Exec& e, uint32_t hw1, uint32_t hw2);

// Load of the PC by POP, LDM or LDR: Thumb targets only.
enum class PcLoad { Pop, Ldm, Ldr };
void loadPc(Exec& e, uint32_t value, PcLoad kind);

} // namespace tw::cpu
