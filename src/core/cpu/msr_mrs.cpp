// MSR and MRS: the APSR flags, the two stack pointers, the masks and CONTROL.
#include "core/tw.h"

namespace {

enum : uint32_t { SPSEL = 2 };

} // namespace

extern "C" {

void tw_cpu_msr(tw_cpu* cpu, uint32_t sysm, uint32_t mask, uint32_t value) {
    uint32_t& sp = cpu->regs[13];
    bool processStack = cpu->control & SPSEL;
    switch (sysm) {
    case 0: case 1: case 2: case 3:
        if (mask & 2) {
            cpu->flagN = value >> 31;
            cpu->flagZ = (value >> 30) & 1;
            cpu->flagC = (value >> 29) & 1;
            cpu->flagV = (value >> 28) & 1;
            cpu->flagQ = (value >> 27) & 1;
        }
        break;
    case 8: (processStack ? cpu->mspBank : sp) = value & ~3u; break;
    case 9: (processStack ? sp : cpu->pspBank) = value & ~3u; break;
    case 16: cpu->primask = value & 1; break;
    case 17: cpu->basepri = value & 0xFF; break;
    case 18: {
        uint32_t v = value & 0xFF;
        if (v != 0 && (cpu->basepri == 0 || v < cpu->basepri)) cpu->basepri = v;
        break;
    }
    case 19: cpu->faultmask = value & 1; break;
    case 20: {
        uint32_t next = value & 3;
        if ((next & SPSEL) != (cpu->control & SPSEL)) {
            if (processStack) {
                cpu->pspBank = sp;
                sp = cpu->mspBank;
            } else {
                cpu->mspBank = sp;
                sp = cpu->pspBank;
            }
        }
        cpu->control = next;
        break;
    }
    default: break;
    }
}

uint32_t tw_cpu_mrs(const tw_cpu* cpu, uint32_t sysm) {
    bool processStack = cpu->control & SPSEL;
    switch (sysm) {
    case 0: case 1: case 2: case 3:
        return cpu->flagN << 31 | cpu->flagZ << 30 | cpu->flagC << 29 | cpu->flagV << 28 | cpu->flagQ << 27;
    case 8: return processStack ? cpu->mspBank : cpu->regs[13];
    case 9: return processStack ? cpu->regs[13] : cpu->pspBank;
    case 16: return cpu->primask;
    case 17: case 18: return cpu->basepri;
    case 19: return cpu->faultmask;
    case 20: return cpu->control;
    default: return 0;
    }
}

} // extern "C"
