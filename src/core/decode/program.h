// Where each model keeps its program in the image, how long it is, which line is the
// current one, and how many storage registers the program leaves free.
#pragma once

#include "core/decode/context.h"

namespace tw::decode {

struct ProgramShape {
    int lines = 0;
    int line = 0;
    int registerCount = 0;
};

ProgramShape programShape(const Context& c);

// HP-12C and HP-16C: the image offset of step l (from 1).
int stepOffset12c(int line);
int stepOffset16c(const Hp16Layout& layout, int line);

// HP-15C: the byte stream of one- and two-byte steps.
constexpr int kMaxSteps15c = 1000;
int streamOffset15c(int index);
uint8_t streamByte15c(const Context& c, int index);
// The stream index of the last program byte, -1 when there is no program.
int lastProgramByte15c(const Context& c);
constexpr bool isTwoByteStep15c(uint8_t first) { return (first & 0x0F) == 0x0F; }

// HP-16C: the storage-register nibble stream.
int nibblesPerRegister16c(const Context& c);
int freeUnits16c(const Context& c, int lines);

} // namespace tw::decode
