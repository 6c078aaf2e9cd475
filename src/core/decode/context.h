// What every memory-image decoder starts from: the 2048-byte image and the few facts
// about the machine that decide its layout. Decoders are pure functions of these.
#pragma once

#include "core/tw.h"

#include <cstdint>

namespace tw::decode {

// The result of a decoding call: a status (or a count) and, for a failure that the
// caller reports to the user, the text to report.
struct Result {
    int value = TW_OK;
    const char* message = nullptr;
};

constexpr Result ok(int value = TW_OK) { return {value, nullptr}; }
constexpr Result fail(int status, const char* message = nullptr) { return {status, message}; }

// Where an HP-16C keeps its storage registers and program; a unit is 8 image bytes
// of which 7 hold 14 nibbles.
struct Hp16Layout {
    bool extended = false;
    int base = 1776;
    int lowestPage = 224;
    int units = 29;
};

// Picks the HP-16C layout of a firmware. descriptorWord468 is the 16-bit word 468 of
// the running image's descriptor (anything above 0xFFFF when there is none).
Hp16Layout hp16Layout(uint32_t family, uint32_t extendedMemory, uint32_t descriptorWord468);

struct Context {
    const uint8_t* image = nullptr; // TW_MEMORY_SIZE bytes
    uint32_t model = 0;             // 12, 15 or 16
    uint32_t modelCode = 0;         // 120, 150, 152 or 160
    Hp16Layout layout16;
};

// What the memory summary needs beyond the image: the run state of the machine.
struct Activity {
    int mode = -1;
    uint32_t lcdFlags = 0;
    uint32_t busyTicks = 0;
    uint32_t anyKeyDown = 0;
};

// The image byte at an offset; 0 outside the image.
inline uint32_t byteAt(const Context& c, int offset)
{
    return offset >= 0 && offset < TW_MEMORY_SIZE ? c.image[offset] : 0u;
}

// The 56-bit register word stored little-endian at an offset; 0 unless the whole
// word lies inside the image (offsets 0 to 2041).
uint64_t registerWord(const Context& c, int offset);

// Builds the context of a machine through the core's accessors. Fails with -3 (and a
// text for the user) when the machine is not started or runs no known model.
Result contextOf(tw_machine* machine, Context& out);
Activity activityOf(tw_machine* machine);

} // namespace tw::decode
