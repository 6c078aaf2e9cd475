#include "core/cpu/oracle.h"

#include "core/cpu/bare_cpu.h"

#include <cstdio>

namespace tw::test {

Oracle::Oracle(int model) {
    // UC_MODE_THUMB only: the M-class mode flag would silently select a Cortex-M33.
    if (uc_open(UC_ARCH_ARM, UC_MODE_THUMB, &uc_) != UC_ERR_OK) {
        uc_ = nullptr;
        return;
    }
    if (uc_ctl_set_cpu_model(uc_, model) != UC_ERR_OK || uc_mem_map(uc_, 0, kFlashSize, UC_PROT_ALL) != UC_ERR_OK ||
        uc_mem_map(uc_, kRamBase, kRamSize, UC_PROT_ALL) != UC_ERR_OK) {
        uc_close(uc_);
        uc_ = nullptr;
    }
}

Oracle::~Oracle() {
    if (uc_) uc_close(uc_);
}

void Oracle::write(uint32_t address, const void* bytes, size_t size) { uc_mem_write(uc_, address, bytes, size); }
void Oracle::read(uint32_t address, void* bytes, size_t size) { uc_mem_read(uc_, address, bytes, size); }

void Oracle::setState(const tw_cpu& c) {
    uint32_t zero = 0;
    uc_reg_write(uc_, UC_ARM_REG_CONTROL, &zero);
    uint32_t msp = tw_cpu_mrs(&c, 8), psp = tw_cpu_mrs(&c, 9);
    uc_reg_write(uc_, UC_ARM_REG_MSP, &msp);
    uc_reg_write(uc_, UC_ARM_REG_PSP, &psp);
    uint32_t control = c.control;
    uc_reg_write(uc_, UC_ARM_REG_CONTROL, &control);
    for (int r = 0; r < 13; ++r) uc_reg_write(uc_, UC_ARM_REG_R0 + r, &c.regs[r]);
    uc_reg_write(uc_, UC_ARM_REG_SP, &c.regs[13]);
    uc_reg_write(uc_, UC_ARM_REG_LR, &c.regs[14]);
    uint32_t pc = c.regs[15] | 1;
    uc_reg_write(uc_, UC_ARM_REG_PC, &pc);
    uint32_t flags = tw_cpu_mrs(&c, 0);
    uc_reg_write(uc_, UC_ARM_REG_XPSR_NZCVQ, &flags);
    uc_reg_write(uc_, UC_ARM_REG_PRIMASK, &c.primask);
    uc_reg_write(uc_, UC_ARM_REG_BASEPRI, &c.basepri);
    uc_reg_write(uc_, UC_ARM_REG_FAULTMASK, &c.faultmask);
}

void Oracle::getState(tw_cpu& c) {
    for (int r = 0; r < 13; ++r) uc_reg_read(uc_, UC_ARM_REG_R0 + r, &c.regs[r]);
    uc_reg_read(uc_, UC_ARM_REG_SP, &c.regs[13]);
    uc_reg_read(uc_, UC_ARM_REG_LR, &c.regs[14]);
    uc_reg_read(uc_, UC_ARM_REG_PC, &c.regs[15]);
    c.regs[15] &= ~1u;
    uint32_t apsr = 0;
    uc_reg_read(uc_, UC_ARM_REG_APSR, &apsr);
    c.flagN = apsr >> 31, c.flagZ = apsr >> 30 & 1, c.flagC = apsr >> 29 & 1, c.flagV = apsr >> 28 & 1;
    c.flagQ = apsr >> 27 & 1;
    uc_reg_read(uc_, UC_ARM_REG_PRIMASK, &c.primask);
    uc_reg_read(uc_, UC_ARM_REG_BASEPRI, &c.basepri);
    uc_reg_read(uc_, UC_ARM_REG_FAULTMASK, &c.faultmask);
    uc_reg_read(uc_, UC_ARM_REG_CONTROL, &c.control);
    uint32_t msp = 0, psp = 0;
    uc_reg_read(uc_, UC_ARM_REG_MSP, &msp);
    uc_reg_read(uc_, UC_ARM_REG_PSP, &psp);
    // Keep the inactive stack pointer in its bank, as our CPU block does.
    if (c.control & 2)
        c.mspBank = msp;
    else
        c.pspBank = psp;
}

uc_err Oracle::step() {
    // A count-limited run would reuse blocks translated without the count check.
    uc_ctl_remove_cache(uc_, 0, kFlashSize);
    uc_ctl_remove_cache(uc_, kRamBase, kRamBase + kRamSize);
    uint32_t pc = 0;
    uc_reg_read(uc_, UC_ARM_REG_PC, &pc);
    return uc_emu_start(uc_, pc | 1, 0xFFFFFFFF, 0, 1);
}

namespace {

// Unicorn's code hook fires only for instructions that pass their IT condition,
// so it counts what our instructionCount counts.
void countInstruction(uc_engine*, uint64_t, uint32_t, void* context) { ++*static_cast<uint64_t*>(context); }

} // namespace

uc_err Oracle::runUntil(uint32_t stopPc, uint64_t* executed) {
    uc_ctl_remove_cache(uc_, 0, kFlashSize); // code written since an earlier run
    uc_ctl_remove_cache(uc_, kRamBase, kRamBase + kRamSize);
    uint64_t count = 0;
    uc_hook hook{};
    // Adding a code hook flushes Unicorn's translations: only when counting.
    if (executed) uc_hook_add(uc_, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(countInstruction), &count, 1, 0);
    uint32_t pc = 0;
    uc_reg_read(uc_, UC_ARM_REG_PC, &pc);
    uc_err err = uc_emu_start(uc_, pc | 1, stopPc, 0, 0);
    if (executed) {
        uc_hook_del(uc_, hook);
        *executed = count;
    }
    return err;
}

std::string compareState(const tw_cpu& a, const tw_cpu& b) {
    char text[160];
    for (int r = 0; r < 16; ++r)
        if (a.regs[r] != b.regs[r]) {
            std::snprintf(text, sizeof text, "r%d: ours %08x, Unicorn %08x", r, a.regs[r], b.regs[r]);
            return text;
        }
    const char* names[] = {"N", "Z", "C", "V", "Q", "PRIMASK", "FAULTMASK", "BASEPRI", "CONTROL"};
    const uint32_t ours[] = {a.flagN, a.flagZ, a.flagC, a.flagV, a.flagQ, a.primask, a.faultmask, a.basepri, a.control};
    const uint32_t theirs[] = {b.flagN, b.flagZ, b.flagC, b.flagV, b.flagQ, b.primask, b.faultmask, b.basepri, b.control};
    for (int i = 0; i < 9; ++i)
        if (ours[i] != theirs[i]) {
            std::snprintf(text, sizeof text, "%s: ours %x, Unicorn %x", names[i], ours[i], theirs[i]);
            return text;
        }
    uint32_t inactiveOurs = (a.control & 2) ? a.mspBank : a.pspBank;
    uint32_t inactiveTheirs = (b.control & 2) ? b.mspBank : b.pspBank;
    if (inactiveOurs != inactiveTheirs) {
        std::snprintf(text, sizeof text, "inactive SP: ours %08x, Unicorn %08x", inactiveOurs, inactiveTheirs);
        return text;
    }
    return {};
}

} // namespace tw::test
