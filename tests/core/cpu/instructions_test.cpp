// Hand-assembled cases for the rules that are easy to get wrong: PC as operand,
// interworking, division, saturation, exclusives, undefined encodings and the
// special registers.
#include "core/cpu/bare_cpu.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tw {

namespace {

using tw::test::BareCpu;

// Runs one instruction (16 or 32 bits) at `address` and returns the run result.
int step(BareCpu& m, std::initializer_list<uint16_t> code, uint32_t address = 0x1000) {
    m.code(address, code);
    m.cpu.regs[15] = address;
    return m.run(1);
}

TEST(CpuInstructions, PcAsOperandAndLiteralAlignment) {
    BareCpu m;
    EXPECT_EQ(step(m, {0x4478}, 0x1002), TW_RUN_BUDGET); // ADD r0, pc
    EXPECT_EQ(m.cpu.regs[0], 0x1006u);
    tw_bus_write_quiet(&m.cpu, 0x1004, 4, 0xCAFEF00D);
    EXPECT_EQ(step(m, {0x4900}, 0x1002), TW_RUN_BUDGET); // LDR r1, [pc, #0]: Align(0x1006, 4)
    EXPECT_EQ(m.cpu.regs[1], 0xCAFEF00Du);
    step(m, {0xA201}, 0x1002); // ADR r2, +4
    EXPECT_EQ(m.cpu.regs[2], 0x1008u);
    step(m, {0xF2AF, 0x0302}, 0x1002); // SUBW r3, pc, #2
    EXPECT_EQ(m.cpu.regs[3], 0x1002u);
    tw_bus_write_quiet(&m.cpu, 0x1000, 4, 0x11223344);
    tw_bus_write_quiet(&m.cpu, 0x1004, 4, 0x55667788);
    step(m, {0xE95F, 0x4503}, 0x100E); // LDRD r4, r5, [pc, #-12]: Align(0x1012, 4) - 12
    EXPECT_EQ(m.cpu.regs[4], 0x55667788u);
    m.cpu.regs[6] = 0x1234;
    step(m, {0x46B7}, 0x1000); // MOV pc, r6: a plain branch, bit 0 dropped without a check
    EXPECT_EQ(m.cpu.regs[15], 0x1234u);
    EXPECT_EQ(m.cpu.faultFlag, 0u);
}

TEST(CpuInstructions, InterworkingFaults) {
    BareCpu m;
    m.cpu.regs[0] = 0x1000;
    EXPECT_EQ(step(m, {0x4700}, 0x2000), TW_RUN_FAULT); // BX r0
    EXPECT_STREQ(m.cpu.faultText, "BX to ARM state 0x00001000 at 0x00002000");
    EXPECT_EQ(m.cpu.regs[15], 0x2000u);

    m.cpu.regs[0] = 0x3001;
    EXPECT_EQ(step(m, {0x4780}, 0x2000), TW_RUN_BUDGET); // BLX r0
    EXPECT_EQ(m.cpu.regs[15], 0x3000u);
    EXPECT_EQ(m.cpu.regs[14], 0x2003u);

    m.cpu.regs[13] = 0x20000100;
    tw_bus_write_quiet(&m.cpu, 0x20000100, 4, 0x4000);
    EXPECT_EQ(step(m, {0xBD00}, 0x2000), TW_RUN_FAULT); // POP {pc}
    EXPECT_STREQ(m.cpu.faultText, "POP pc to ARM state 0x00004000 at 0x00002000");

    // A POP whose PC load fails ends with the interworking text for 0.
    m.cpu.regs[13] = 0x2000FFFC;
    EXPECT_EQ(step(m, {0xBD01}, 0x2000), TW_RUN_FAULT); // POP {r0, pc}
    EXPECT_STREQ(m.cpu.faultText, "POP pc to ARM state 0x00000000 at 0x00002000");

    m.cpu.regs[0] = 0x20000100;
    EXPECT_EQ(step(m, {0xE890, 0x8002}, 0x2000), TW_RUN_FAULT); // LDM r0, {r1, pc}
    EXPECT_STREQ(m.cpu.faultText, "LDM pc to ARM state at 0x00002000");
    EXPECT_EQ(step(m, {0xF8D0, 0xF000}, 0x2000), TW_RUN_FAULT); // LDR pc, [r0]
    EXPECT_STREQ(m.cpu.faultText, "LDR pc to ARM state at 0x00002000");

    // The 32-bit forms of POP: LDMIA sp! and LDR pc, [sp], #4.
    m.cpu.regs[13] = 0x20000100;
    tw_bus_write_quiet(&m.cpu, 0x20000104, 4, 0x4002);
    EXPECT_EQ(step(m, {0xE8BD, 0x8002}, 0x2000), TW_RUN_FAULT); // POP.W {r1, pc}
    EXPECT_STREQ(m.cpu.faultText, "POP pc to ARM state 0x00004002 at 0x00002000");
    m.cpu.regs[13] = 0x20000100;
    EXPECT_EQ(step(m, {0xF85D, 0xFB04}, 0x2000), TW_RUN_FAULT); // POP.W {pc}
    EXPECT_STREQ(m.cpu.faultText, "POP pc to ARM state 0x00004000 at 0x00002000");
    EXPECT_EQ(m.cpu.regs[13], 0x20000104u);

    tw_bus_write_quiet(&m.cpu, 0x20000100, 4, 0x4001);
    EXPECT_EQ(step(m, {0xF8D0, 0xF000}, 0x2000), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.regs[15], 0x4000u);
}

TEST(CpuInstructions, FaultTextsOfUndefinedSvcAndBkpt) {
    BareCpu m;
    EXPECT_EQ(step(m, {0xDE00}, 0x1234), TW_RUN_FAULT);
    EXPECT_STREQ(m.cpu.faultText, "undefined/unsupported instruction de00 0000 at 0x00001234");
    EXPECT_EQ(step(m, {0xDF05}), TW_RUN_FAULT);
    EXPECT_STREQ(m.cpu.faultText, "SVC at 0x00001000");
    EXPECT_EQ(step(m, {0xBE01}), TW_RUN_FAULT);
    EXPECT_STREQ(m.cpu.faultText, "BKPT at 0x00001000");
    // 32-bit data processing into the PC, BLX (immediate), coprocessor, SSAT16.
    for (auto [hw1, hw2] : {std::pair{0xF100, 0x0F01}, {0xF000, 0xE800}, {0xEE00, 0x0A10}, {0xF320, 0x0000}}) {
        EXPECT_EQ(step(m, {uint16_t(hw1), uint16_t(hw2)}), TW_RUN_FAULT);
        char expected[96];
        std::snprintf(expected, sizeof expected, "undefined/unsupported instruction %04x %04x at 0x00001000", hw1, hw2);
        EXPECT_STREQ(m.cpu.faultText, expected);
        EXPECT_EQ(m.cpu.regs[15], 0x1000u);
    }
}

TEST(CpuInstructions, DivisionNeverTraps) {
    BareCpu m;
    m.cpu.regs[0] = 7;
    m.cpu.regs[1] = 100;
    m.cpu.regs[2] = 0;
    EXPECT_EQ(step(m, {0xFBB1, 0xF0F2}), TW_RUN_BUDGET); // UDIV r0, r1, r2
    EXPECT_EQ(m.cpu.regs[0], 0u);
    m.cpu.regs[1] = 0x80000000;
    m.cpu.regs[2] = 0xFFFFFFFF;
    step(m, {0xFB91, 0xF0F2}); // SDIV r0, r1, r2
    EXPECT_EQ(m.cpu.regs[0], 0x80000000u);
    m.cpu.regs[1] = uint32_t(-7);
    m.cpu.regs[2] = 2;
    step(m, {0xFB91, 0xF0F2});
    EXPECT_EQ(m.cpu.regs[0], uint32_t(-3)); // rounds toward zero
}

TEST(CpuInstructions, ExclusiveStoresAlwaysSucceed) {
    BareCpu m;
    m.cpu.regs[0] = 0x20000200;
    m.cpu.regs[1] = 0xDEADBEEF;
    m.cpu.regs[2] = 7;
    EXPECT_EQ(step(m, {0xE840, 0x1200}), TW_RUN_BUDGET); // STREX r2, r1, [r0]
    EXPECT_EQ(m.word(0x20000200), 0xDEADBEEFu);
    EXPECT_EQ(m.cpu.regs[2], 0u);
    m.cpu.regs[2] = 7;
    step(m, {0xE8C0, 0x1F52}); // STREXH r2, r1, [r0]
    EXPECT_EQ(m.word(0x20000200), 0xDEADBEEFu);
    EXPECT_EQ(m.cpu.regs[2], 0u);
}

TEST(CpuInstructions, SaturationSetsQ) {
    BareCpu m;
    m.cpu.regs[1] = 300;
    step(m, {0xF301, 0x0007}); // SSAT r0, #8, r1
    EXPECT_EQ(m.cpu.regs[0], 127u);
    EXPECT_EQ(m.cpu.flagQ, 1u);
    m.cpu.flagQ = 0;
    m.cpu.regs[1] = uint32_t(-5);
    step(m, {0xF381, 0x0008}); // USAT r0, #8, r1
    EXPECT_EQ(m.cpu.regs[0], 0u);
    EXPECT_EQ(m.cpu.flagQ, 1u);
    m.cpu.flagQ = 0;
    m.cpu.regs[1] = 0x7FFFFFFF;
    m.cpu.regs[2] = 1;
    step(m, {0xFA82, 0xF081}); // QADD r0, r1, r2
    EXPECT_EQ(m.cpu.regs[0], 0x7FFFFFFFu);
    EXPECT_EQ(m.cpu.flagQ, 1u);
    m.cpu.flagQ = 0;
    m.cpu.regs[1] = 0x7FFF;
    m.cpu.regs[2] = 0x7FFF;
    m.cpu.regs[3] = 0x7FFFFFFF;
    step(m, {0xFB11, 0x3002}); // SMLABB r0, r1, r2, r3
    EXPECT_EQ(m.cpu.regs[0], 0x7FFFFFFFu + 0x3FFF0001u);
    EXPECT_EQ(m.cpu.flagQ, 1u);
}

TEST(CpuInstructions, BitFieldsAndCountLeadingZeros) {
    BareCpu m;
    m.cpu.regs[1] = 0;
    step(m, {0xFAB1, 0xF081}); // CLZ r0, r1
    EXPECT_EQ(m.cpu.regs[0], 32u);
    m.cpu.regs[1] = 0xF0;
    step(m, {0xF341, 0x1003}); // SBFX r0, r1, #4, #4
    EXPECT_EQ(m.cpu.regs[0], 0xFFFFFFFFu);
    EXPECT_EQ(step(m, {0xF341, 0x7083}), TW_RUN_FAULT); // SBFX r0, r1, #30, #4: over 32
    m.cpu.regs[0] = 0xFFFFFFFF;
    step(m, {0xF36F, 0x1007}); // BFC r0, #4, #4
    EXPECT_EQ(m.cpu.regs[0], 0xFFFFFF0Fu);
    EXPECT_EQ(step(m, {0xF361, 0x1003}), TW_RUN_FAULT); // BFI with msb 3 below lsb 4
}

TEST(CpuInstructions, UnalignedAccessGoesByteByByte) {
    BareCpu m;
    for (uint32_t i = 0; i < 12; ++i) m.ram[i] = uint8_t(0x10 + i);
    m.cpu.regs[1] = 0x20000001;
    step(m, {0x6808}); // LDR r0, [r1]
    EXPECT_EQ(m.cpu.regs[0], 0x14131211u);
    step(m, {0xE9D1, 0x2300}); // LDRD r2, r3, [r1]
    EXPECT_EQ(m.cpu.regs[3], 0x18171615u);
}

TEST(CpuInstructions, FlagsOfAddSubtractAndShifts) {
    BareCpu m;
    m.cpu.regs[0] = 0x7FFFFFFF;
    step(m, {0x1C41}); // ADDS r1, r0, #1
    EXPECT_EQ(m.cpu.regs[1], 0x80000000u);
    EXPECT_EQ(m.cpu.flagN + 2 * m.cpu.flagZ + 4 * m.cpu.flagC + 8 * m.cpu.flagV, 1u + 8u);
    m.cpu.regs[0] = 0;
    step(m, {0x1E41}); // SUBS r1, r0, #1: borrow clears C
    EXPECT_EQ(m.cpu.flagC, 0u);
    m.cpu.regs[0] = 0x80000001;
    m.cpu.regs[2] = 33;
    step(m, {0x4090}); // LSLS r0, r2: by 33 gives 0 with carry 0
    EXPECT_EQ(m.cpu.regs[0], 0u);
    EXPECT_EQ(m.cpu.flagC, 0u);
    EXPECT_EQ(m.cpu.flagZ, 1u);
    m.cpu.flagV = 1;
    m.cpu.regs[1] = 0x80000000;
    step(m, {0xEA5F, 0x0031}); // MOVS r0, r1, RRX with C = 0
    EXPECT_EQ(m.cpu.regs[0], 0x40000000u);
    EXPECT_EQ(m.cpu.flagV, 1u); // logical operations leave V
}

TEST(CpuShifter, ShiftCFollowsTheArmRules) {
    struct Case {
        uint32_t value, type, amount, carryIn, result, carry;
    };
    const Case cases[] = {
        {0x80000001, TW_SHIFT_LSL, 0, 1, 0x80000001, 1}, {0x80000001, TW_SHIFT_LSL, 1, 0, 0x00000002, 1},
        {0x80000001, TW_SHIFT_LSL, 32, 0, 0, 1},          {0x80000001, TW_SHIFT_LSL, 33, 1, 0, 0},
        {0x80000001, TW_SHIFT_LSR, 32, 0, 0, 1},          {0x80000001, TW_SHIFT_LSR, 40, 1, 0, 0},
        {0x80000001, TW_SHIFT_LSR, 1, 0, 0x40000000, 1},  {0x80000000, TW_SHIFT_ASR, 31, 0, 0xFFFFFFFF, 0},
        {0x80000000, TW_SHIFT_ASR, 100, 0, 0xFFFFFFFF, 1}, {0x40000000, TW_SHIFT_ASR, 32, 1, 0, 0},
        {0x80000001, TW_SHIFT_ROR, 1, 0, 0xC0000000, 1},  {0x80000001, TW_SHIFT_ROR, 64, 0, 0x80000001, 1},
        {0x00000001, TW_SHIFT_ROR, 32, 1, 0x00000001, 0}, {0x00000003, TW_SHIFT_RRX, 7, 1, 0x80000001, 1},
        {0x12345678, TW_SHIFT_ASR, 0, 1, 0x12345678, 1},
    };
    for (const Case& c : cases) {
        uint32_t carry = 99;
        EXPECT_EQ(tw_shift_c(c.value, c.type, c.amount, c.carryIn, &carry), c.result) << c.type << " " << c.amount;
        EXPECT_EQ(carry, c.carry) << c.type << " " << c.amount;
    }
}

TEST(CpuConditions, AllSixteen) {
    tw_cpu cpu{};
    for (uint32_t flags = 0; flags < 16; ++flags) {
        cpu.flagN = flags & 1, cpu.flagZ = flags >> 1 & 1, cpu.flagC = flags >> 2 & 1, cpu.flagV = flags >> 3 & 1;
        bool n = cpu.flagN, z = cpu.flagZ, c = cpu.flagC, v = cpu.flagV;
        const bool expected[16] = {z, !z, c, !c, n, !n, v, !v, c && !z, !c || z, n == v, n != v, !z && n == v,
                                   z || n != v, true, true};
        for (uint32_t cond = 0; cond < 16; ++cond)
            EXPECT_EQ(tw_cpu_condition(&cpu, cond), expected[cond] ? 1 : 0) << cond << " " << flags;
    }
}

TEST(CpuSpecialRegisters, MsrAndMrsTable) {
    BareCpu m;
    tw_cpu& c = m.cpu;
    tw_cpu_msr(&c, 0, 1, 0xF8000000); // mask without nzcvq: nothing
    EXPECT_EQ(tw_cpu_mrs(&c, 0), 0u);
    tw_cpu_msr(&c, 3, 2, 0xA8000000);
    EXPECT_EQ(tw_cpu_mrs(&c, 1), 0xA8000000u);
    EXPECT_EQ(c.flagN + c.flagC + c.flagQ, 3u);

    c.basepri = 0x20;
    tw_cpu_msr(&c, 18, 0, 0x40);
    EXPECT_EQ(c.basepri, 0x20u);
    tw_cpu_msr(&c, 18, 0, 0x10);
    EXPECT_EQ(c.basepri, 0x10u);
    tw_cpu_msr(&c, 18, 0, 0);
    EXPECT_EQ(c.basepri, 0x10u);
    tw_cpu_msr(&c, 17, 0, 0x1FF);
    EXPECT_EQ(tw_cpu_mrs(&c, 18), 0xFFu);
    c.basepri = 0;
    tw_cpu_msr(&c, 18, 0, 0x30);
    EXPECT_EQ(c.basepri, 0x30u);

    // Stack pointers: the bank follows SPSEL.
    c.regs[13] = 0x20001000;
    tw_cpu_msr(&c, 9, 0, 0x20002003); // PSP while on the main stack
    EXPECT_EQ(c.pspBank, 0x20002000u);
    tw_cpu_msr(&c, 20, 0, 2);         // switch to the process stack
    EXPECT_EQ(c.regs[13], 0x20002000u);
    EXPECT_EQ(tw_cpu_mrs(&c, 8), 0x20001000u);
    tw_cpu_msr(&c, 8, 0, 0x20003000);
    EXPECT_EQ(c.mspBank, 0x20003000u);
    tw_cpu_msr(&c, 20, 0, 1);         // back to main, nPRIV set
    EXPECT_EQ(c.regs[13], 0x20003000u);
    EXPECT_EQ(tw_cpu_mrs(&c, 9), 0x20002000u);
    EXPECT_EQ(tw_cpu_mrs(&c, 20), 1u);

    tw_cpu_msr(&c, 16, 0, 3);
    tw_cpu_msr(&c, 19, 0, 2);
    EXPECT_EQ(c.primask, 1u);
    EXPECT_EQ(c.faultmask, 0u);
    tw_cpu_msr(&c, 7, 0, 1); // unknown: ignored, reads 0
    EXPECT_EQ(tw_cpu_mrs(&c, 7), 0u);

    // Through the instructions: MSR BASEPRI_MAX, r0 and MRS r1, PRIMASK; CPSID f.
    c.basepri = 0x20;
    c.regs[0] = 0x10;
    step(m, {0xF380, 0x8812});
    EXPECT_EQ(c.basepri, 0x10u);
    step(m, {0xF3EF, 0x8110});
    EXPECT_EQ(c.regs[1], 1u);
    step(m, {0xB671});
    EXPECT_EQ(c.faultmask, 1u);
}

} // namespace

} // namespace tw
