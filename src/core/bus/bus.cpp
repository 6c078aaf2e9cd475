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
    uint8_t* flash = cpu->flash;
    uint32_t flashSize = cpu->flashSize;
    uint8_t* ram = cpu->ram;
    uint32_t ramSize = cpu->ramSize;
    void* context = cpu->busContext;
    tw_bus_read_fn busRead = cpu->busRead;
    tw_bus_write_fn busWrite = cpu->busWrite;
    std::memset(cpu, 0, sizeof *cpu);
    cpu->flash = flash;
    cpu->flashSize = flashSize;
    cpu->ram = ram;
    cpu->ramSize = ramSize;
    cpu->busContext = context;
    cpu->busRead = busRead;
    cpu->busWrite = busWrite;
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
    if (!cpu->busRead) return 1;
    uint32_t value = 0;
    if (cpu->busRead(cpu->busContext, address, width, &value) != 0) return 1;
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
    if (!cpu->busWrite) return 1;
    return cpu->busWrite(cpu->busContext, address, width, value) != 0 ? 1 : 0;
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
