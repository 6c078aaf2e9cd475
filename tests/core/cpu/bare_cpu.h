// A bare CPU block over 256 KB of flash and 64 KB of RAM, for the interpreter's
// tests, the differential runs, the fuzzer and the benchmark.
#pragma once

#include "core/tw.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tw::test {

inline constexpr uint32_t kFlashSize = 0x40000;
inline constexpr uint32_t kRamBase = 0x20000000;
inline constexpr uint32_t kRamSize = 0x10000;

struct BareCpu {
    std::vector<uint8_t> flash = std::vector<uint8_t>(kFlashSize);
    std::vector<uint8_t> ram = std::vector<uint8_t>(kRamSize);
    tw_cpu cpu{};

    BareCpu() {
        cpu.bus.flash = flash.data();
        cpu.bus.flashSize = kFlashSize;
        cpu.bus.ram = ram.data();
        cpu.bus.ramSize = kRamSize;
        tw_cpu_reset(&cpu);
    }
    BareCpu(const BareCpu&) = delete;
    BareCpu& operator=(const BareCpu&) = delete;

    // Writes halfwords from `address` (flash or RAM) and returns the address after them.
    uint32_t code(uint32_t address, std::initializer_list<uint16_t> halfwords) {
        for (uint16_t h : halfwords) {
            tw_bus_write_quiet(&cpu, address, 2, h);
            address += 2;
        }
        return address;
    }
    uint32_t word(uint32_t address) {
        uint32_t v = 0;
        tw_bus_read_quiet(&cpu, address, 4, &v);
        return v;
    }
    int run(uint64_t budget, uint32_t stopPc = 0xFFFFFFFF) { return tw_cpu_run(&cpu, budget, stopPc); }
};

} // namespace tw::test
