// Every 16-bit halfword either executes or faults with the text its class calls
// for: the Thumb instruction classes the interpreter supports (and those it must
// refuse as undefined) are listed here by bit pattern, apart from the decoder, so
// that a wrong row in the decode table shows up as a mismatch.
#include "core/cpu/bare_cpu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tw {

namespace {

using tw::test::BareCpu;

enum class Expect { Runs, Undefined, Svc, Bkpt };

Expect expected16(uint32_t h) {
    if (h >= 0xDE00 && h <= 0xDEFF) return Expect::Undefined; // UDF
    if (h >= 0xDF00 && h <= 0xDFFF) return Expect::Svc;
    if (h >= 0xBE00 && h <= 0xBEFF) return Expect::Bkpt;
    if (h >= 0xBA80 && h <= 0xBABF) return Expect::Undefined;
    if ((h & 0xFF00) == 0xB600) return (h & 0xFFEC) == 0xB660 ? Expect::Runs : Expect::Undefined; // CPS only
    if ((h & 0xFF00) == 0xB700 || (h & 0xFF00) == 0xB800) return Expect::Undefined;
    if ((h & 0xFF00) == 0x4700 && (h & 7) != 0) return Expect::Undefined; // BX/BLX with reserved bits
    return Expect::Runs;
}

TEST(CpuEncodings, EveryFirstHalfwordDecodesOrFaultsWithItsText) {
    BareCpu m;
    int mismatches = 0;
    for (uint32_t h = 0; h < 0xE800; ++h) {
        tw_cpu_reset(&m.cpu);
        for (int r = 0; r < 13; ++r) m.cpu.regs[r] = 0x20004001; // odd: BX targets stay Thumb
        m.cpu.regs[13] = 0x20008000;
        m.cpu.regs[14] = 0x20004001;
        tw_bus_write_quiet(&m.cpu, 0x20008000, 4, 0x20004001); // POP reads Thumb addresses
        m.cpu.regs[15] = 0x1000;
        m.code(0x1000, {uint16_t(h), 0xBF00});
        int result = m.run(1);
        char undefined[96];
        std::snprintf(undefined, sizeof undefined, "undefined/unsupported instruction %04x 0000 at 0x00001000", h);
        std::string text = result == TW_RUN_FAULT ? m.cpu.faultText : "";
        bool ok = false;
        switch (expected16(h)) {
        case Expect::Runs: ok = text.rfind("undefined", 0) != 0 && text.rfind("SVC", 0) != 0 && text.rfind("BKPT", 0) != 0; break;
        case Expect::Undefined: ok = text == undefined; break;
        case Expect::Svc: ok = text == "SVC at 0x00001000"; break;
        case Expect::Bkpt: ok = text == "BKPT at 0x00001000"; break;
        }
        if (!ok && ++mismatches <= 10) ADD_FAILURE() << std::hex << h << ": " << text;
        if (result == TW_RUN_FAULT) {
            EXPECT_EQ(m.cpu.regs[15], 0x1000u);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The coprocessor space (first halfwords 0xEC00-0xEFFF and 0xFC00-0xFFFF), which the
// chip does not implement, faults as undefined for every second halfword.
TEST(CpuEncodings, CoprocessorSpaceIsUndefined) {
    BareCpu m;
    for (uint32_t h : {0xEC00u, 0xED00u, 0xEE00u, 0xEF00u, 0xFC00u, 0xFD00u, 0xFE00u, 0xFF00u})
        for (uint32_t h2 = 0; h2 < 0x10000; h2 += 0x111) {
            m.cpu.regs[15] = 0x1000;
            m.code(0x1000, {uint16_t(h), uint16_t(h2)});
            ASSERT_EQ(m.run(1), TW_RUN_FAULT);
            ASSERT_EQ(std::string(m.cpu.faultText).rfind("undefined/unsupported instruction", 0), 0u) << std::hex << h;
        }
}

} // namespace

} // namespace tw
