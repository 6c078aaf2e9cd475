// Where the chip's memories lie in its address space, and the one lookup from an
// address to the flash or RAM bytes that back it.
#pragma once

#include "core/tw.h"

#include <cstdint>

namespace tw {

// Flash is mapped from address 0; the firmware file starts at this address in it
// (file offset d is emulated address d + kFirmwareBase).
inline constexpr uint32_t kFirmwareBase = 0x4000;
inline constexpr uint32_t kRamBase = 0x20000000u;

// The flash or RAM region that holds an address: its host bytes, its emulated base
// and its size. Empty (size 0) when the address is in neither.
struct MemoryRegion {
    uint8_t* host = nullptr;
    uint32_t base = 0;
    uint32_t size = 0;
};

inline MemoryRegion regionOf(const tw_cpu* c, uint32_t address) {
    if (c->bus.flash && address < c->bus.flashSize) return {c->bus.flash, 0, c->bus.flashSize};
    if (c->bus.ram && address - kRamBase < c->bus.ramSize) return {c->bus.ram, kRamBase, c->bus.ramSize};
    return {};
}

// The backing bytes of an access of `width` bytes wholly inside flash or RAM, else null.
// On the interpreter's path for every load and store: kept to two comparisons each.
inline uint8_t* directBytes(const tw_cpu* c, uint32_t address, uint32_t width) {
    if (address < c->bus.flashSize && c->bus.flashSize - address >= width && c->bus.flash) return c->bus.flash + address;
    uint32_t offset = address - kRamBase;
    if (offset < c->bus.ramSize && c->bus.ramSize - offset >= width && c->bus.ram) return c->bus.ram + offset;
    return nullptr;
}

} // namespace tw
