// The bus callbacks of the two run modes, the peripherals' run state and the store
// of peripheral registers that the firmware writes. The reset into a mode installs
// one pair of callbacks with the machine record as their context.
#pragma once

#include "core/tw.h"

#include <cstdint>

namespace tw {

// What the whole-calculator peripherals hold between accesses; a start clears it whole.
struct PeripheralState {
    uint32_t portDir[3] = {};
    uint32_t portOut[3] = {};
    uint32_t irq39Enabled = 0;
    uint32_t timerRunning = 0;
    uint32_t timerPending = 0;
    uint32_t inInterrupt = 0;
    uint32_t adcValue = 0;
    // The register read last, how often in a row, and whether its complement shows now.
    uint32_t repeatAddress = 0;
    uint32_t repeatCount = 0;
    uint32_t repeatInvert = 0;
    uint32_t repeatValid = 0;
};

// Whole calculator: key matrix, ON key, timer, ADC, NVIC enable watch, the
// register store and the two extra windows.
int calculatorBusRead(void* machine, uint32_t address, uint32_t width, uint32_t* out);
int calculatorBusWrite(void* machine, uint32_t address, uint32_t width, uint32_t value);

// Program runner: the peripheral and system ranges are plain memory.
int runnerBusRead(void* machine, uint32_t address, uint32_t width, uint32_t* out);
int runnerBusWrite(void* machine, uint32_t address, uint32_t width, uint32_t value);

// Register store: open addressing with linear probing; entries are never removed.
void clearRegisterStore(tw_machine* m);
uint32_t registerStoreLookup(const tw_machine* m, uint32_t key); // 0 when absent
void registerStoreInsert(tw_machine* m, uint32_t key, uint32_t value);

} // namespace tw
