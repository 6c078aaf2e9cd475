// Region selection and the two kinds of bus access (quiet and checked), hooks and
// the CPU reset. Flash and RAM are served directly; everything else goes to the
// callbacks that the reset into a mode installs.
#include "core/bits.h"
#include "core/memory_map.h"
#include "core/tw.h"

#include <cstdio>
#include <cstring>

namespace {

inline uint32_t normalWidth(uint32_t width) { return (width == 1 || width == 2) ? width : 4; }

using tw::directBytes;
using tw::loadLE;
using tw::storeLE;

void recordBusFault(tw_cpu* cpu, const char* kind, uint32_t address, uint32_t width) {
    if (cpu->faultFlag) return;
    std::snprintf(cpu->faultText, sizeof cpu->faultText, "bus fault: %s%u at 0x%08x (pc 0x%08x)", kind,
                  unsigned(width * 8), unsigned(address), unsigned(cpu->regs[15]));
    cpu->faultFlag = 1;
}

} // namespace

extern "C" {

void tw_cpu_reset(tw_cpu* cpu) {
    if (!cpu) return;
    const tw_cpu_bus bus = cpu->bus;
    std::memset(cpu, 0, sizeof *cpu);
    cpu->bus = bus;
    cpu->hookLow = 0xFFFFFFFFu;
    cpu->hookHigh = 0;
}

int tw_cpu_add_hook(tw_cpu* cpu, uint32_t address, tw_hook_fn action, void* context) {
    if (!cpu) return TW_ERR_ARGUMENT;
    if (cpu->hookCount >= TW_MAX_HOOKS || cpu->hookCount < 0) return TW_ERR_STATE;
    auto i = cpu->hookCount++;
    cpu->hookAddress[i] = address;
    cpu->hookAction[i] = action;
    cpu->hookContext[i] = context;
    if (address < cpu->hookLow) cpu->hookLow = address;
    if (address > cpu->hookHigh) cpu->hookHigh = address;
    return TW_OK;
}

int tw_bus_read_quiet(tw_cpu* cpu, uint32_t address, uint32_t width, uint32_t* out) {
    if (!cpu || !out) return 1;
    width = normalWidth(width);
    if (const uint8_t* p = directBytes(cpu, address, width)) {
        *out = loadLE(p, width);
        return 0;
    }
    if (!cpu->bus.read) return 1;
    uint32_t value = 0;
    if (cpu->bus.read(cpu->bus.context, address, width, &value) != 0) return 1;
    *out = width == 4 ? value : value & ((1u << (width * 8)) - 1);
    return 0;
}

int tw_bus_write_quiet(tw_cpu* cpu, uint32_t address, uint32_t width, uint32_t value) {
    if (!cpu) return 1;
    width = normalWidth(width);
    if (uint8_t* p = directBytes(cpu, address, width)) {
        storeLE(p, width, value);
        return 0;
    }
    if (!cpu->bus.write) return 1;
    return cpu->bus.write(cpu->bus.context, address, width, value) != 0 ? 1 : 0;
}

uint32_t tw_bus_read(tw_cpu* cpu, uint32_t address, uint32_t width) {
    uint32_t value = 0;
    if (tw_bus_read_quiet(cpu, address, width, &value) != 0) {
        if (cpu) recordBusFault(cpu, "read", address, normalWidth(width));
        return 0;
    }
    return value;
}

void tw_bus_write(tw_cpu* cpu, uint32_t address, uint32_t width, uint32_t value) {
    if (tw_bus_write_quiet(cpu, address, width, value) != 0 && cpu)
        recordBusFault(cpu, "write", address, normalWidth(width));
}

} // extern "C"
