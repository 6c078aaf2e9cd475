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
    if (c->flash && address < c->flashSize) return {c->flash, 0, c->flashSize};
    if (c->ram && address - kRamBase < c->ramSize) return {c->ram, kRamBase, c->ramSize};
    return {};
}

// The backing bytes of an access of `width` bytes wholly inside flash or RAM, else null.
// On the interpreter's path for every load and store: kept to two comparisons each.
inline uint8_t* directBytes(const tw_cpu* c, uint32_t address, uint32_t width) {
    if (address < c->flashSize && c->flashSize - address >= width && c->flash) return c->flash + address;
    uint32_t offset = address - kRamBase;
    if (offset < c->ramSize && c->ramSize - offset >= width && c->ram) return c->ram + offset;
    return nullptr;
}

} // namespace tw
