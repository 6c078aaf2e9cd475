// A machine whose bus is set up as the whole-calculator mode sets it up, for
// tests of the peripherals without a running firmware.
#pragma once

#include "core/machine.h"
#include "core/bus/peripherals.h"

#include <cstring>

namespace tw::test {

struct CalculatorBus {
    tw_machine* m = tw_create();
    tw_cpu* cpu = tw_machine_cpu(m);

    CalculatorBus() {
        cpu->bus.flash = m->flash.get();
        cpu->bus.flashSize = tw_machine::kFlashCapacity;
        cpu->bus.ram = m->ram.get();
        cpu->bus.ramSize = tw_machine::kRamCapacity;
        cpu->bus.context = m;
        cpu->bus.read = tw::calculatorBusRead;
        cpu->bus.write = tw::calculatorBusWrite;
        std::memset(m->window4k.get(), 0xFF, 4096);
        m->mode = 1;
    }
    ~CalculatorBus() { tw_destroy(m); }
    CalculatorBus(const CalculatorBus&) = delete;
    CalculatorBus& operator=(const CalculatorBus&) = delete;

    uint32_t read(uint32_t address, uint32_t width = 4) { return tw_bus_read(cpu, address, width); }
    void write(uint32_t address, uint32_t value, uint32_t width = 4) { tw_bus_write(cpu, address, width, value); }
};

} // namespace tw::test
