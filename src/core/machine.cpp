// Creation and destruction of the machine record, its small accessors and the
// copy of the calculator's memory image into and out of emulated RAM.
#include "core/machine.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kMemoryImageOffset = 24; // 0x20000018 in RAM
constexpr uint32_t kInitialStoreCapacity = 1024;

template <class T> std::unique_ptr<T[]> allocateZeroed(size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

} // namespace

namespace tw {

void setLastError(tw_machine* m, const char* text) {
    if (!m) return;
    std::snprintf(m->lastError, sizeof m->lastError, "%s", text ? text : "");
}

} // namespace tw

extern "C" {

tw_machine* tw_create(void) {
    // The record's members are unique_ptrs: returning early frees whatever was allocated.
    std::unique_ptr<tw_machine> m(new (std::nothrow) tw_machine());
    if (!m) return nullptr;
    m->flash = allocateZeroed<uint8_t>(tw_machine::kFlashCapacity);
    m->ram = allocateZeroed<uint8_t>(tw_machine::kRamCapacity);
    m->window64k = allocateZeroed<uint8_t>(64 * 1024);
    m->window4k = allocateZeroed<uint8_t>(4 * 1024);
    m->runnerSnapshot.ram = allocateZeroed<uint8_t>(tw_machine::kRunnerRamSize);
    m->regKeys = allocateZeroed<uint32_t>(kInitialStoreCapacity);
    m->regValues = allocateZeroed<uint32_t>(kInitialStoreCapacity);
    m->regUsed = allocateZeroed<uint8_t>(kInitialStoreCapacity);
    if (!m->flash || !m->ram || !m->window64k || !m->window4k || !m->runnerSnapshot.ram || !m->regKeys ||
        !m->regValues || !m->regUsed)
        return nullptr;
    m->regCapacity = kInitialStoreCapacity;
    m->mode = TW_MODE_NONE;
    m->battery = 3.0;
    tw_cpu_reset(&m->cpu);
    return m.release();
}

void tw_destroy(tw_machine* machine) {
    if (!machine) return;
    machine->regCapacity = 0;
    delete machine;
}

tw_cpu* tw_machine_cpu(tw_machine* machine) { return machine ? &machine->cpu : nullptr; }

int tw_mode(tw_machine* machine) { return machine ? machine->mode : -1; }

const char* tw_last_error(tw_machine* machine) { return machine ? machine->lastError : "no calculator"; }

uint32_t tw_read_word(tw_machine* machine, uint32_t address) {
    if (!machine || machine->mode == TW_MODE_NONE) return 0;
    uint32_t value = 0;
    if (tw_bus_read_quiet(&machine->cpu, address, 4, &value) != 0) return 0;
    return value;
}

int tw_set_battery(tw_machine* machine, double volts) {
    // Written so that NaN fails the range test too.
    if (!machine || !(volts >= 0.0 && volts <= 4.0)) return TW_ERR_ARGUMENT;
    machine->battery = volts;
    return TW_OK;
}

int tw_write_memory(tw_machine* machine, const uint8_t* memory2048) {
    if (!machine || !memory2048) return TW_ERR_ARGUMENT;
    if (machine->mode == TW_MODE_NONE || !machine->ram) return TW_ERR_STATE;
    std::memcpy(machine->ram.get() + kMemoryImageOffset, memory2048, TW_MEMORY_SIZE);
    return TW_OK;
}

int tw_read_memory(tw_machine* machine, uint8_t* memory2048) {
    if (!machine || !memory2048) return TW_ERR_ARGUMENT;
    if (machine->mode == TW_MODE_NONE || !machine->ram) return TW_ERR_STATE;
    std::memcpy(memory2048, machine->ram.get() + kMemoryImageOffset, TW_MEMORY_SIZE);
    return TW_OK;
}

} // extern "C"
