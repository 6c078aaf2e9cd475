#include "core/decode/program.h"

#include "core/decode/register_value.h"

namespace tw::decode {

namespace {

// HP-12C: the low nibble of byte 2017 counts the program's blocks of 7 steps down
// from 13; byte 2016 points at the current step.
ProgramShape shape12c(const Context& c)
{
    const int n = static_cast<int>(byteAt(c, 2017) & 0xF);
    const int k = n < 14 ? 13 - n : 0;
    ProgramShape s;
    s.lines = 8 + 7 * k;
    s.registerCount = 20 - k;
    const int b = static_cast<int>(byteAt(c, 2016));
    if (b == 0)
        s.line = 0;
    else if ((b & 0xF) == 15)
        s.line = 1;
    else
        s.line = (b >> 4) + 7 * (14 - (b & 0xF)) + 2;
    if (s.line > s.lines)
        s.line = s.lines;
    return s;
}

// A page pointer and its nibble, as the HP-16C keeps its end and current-line pointers.
int pointer16c(const Context& c, int offset, bool& valid)
{
    const int b = static_cast<int>(byteAt(c, offset));
    const int n = static_cast<int>(byteAt(c, offset + 1) & 0xF);
    valid = b >= 1 && b <= 252 && b >= c.layout16.lowestPage;
    return valid ? 7 * (252 - b) + n : 0;
}

ProgramShape shape16c(const Context& c)
{
    ProgramShape s;
    bool endValid = false;
    s.lines = pointer16c(c, 2016, endValid);
    bool lineValid = false;
    const int line = pointer16c(c, 2024, lineValid);
    s.line = endValid && lineValid ? (line < s.lines ? line : s.lines) : 0;
    const int free = freeUnits16c(c, s.lines);
    s.registerCount = free < 1 ? 0 : free * 14 / nibblesPerRegister16c(c);
    return s;
}

ProgramShape shape15c(const Context& c)
{
    ProgramShape s;
    const int b285 = static_cast<int>(byteAt(c, 285));
    const int b286 = static_cast<int>(byteAt(c, 286));
    s.registerCount = b285 < b286 ? 1 : b285 - b286 + 2;

    const int last = lastProgramByte15c(c);
    int current = -1;
    const int p = static_cast<int>(byteAt(c, 296));
    const int q = static_cast<int>(byteAt(c, 297) & 0xF);
    if (p >= 128 && q != 0)
        current = q + 7 * (255 - p) - 1;
    int index = 0;
    int steps = 0;
    while (index <= last && steps < kMaxSteps15c) {
        if (index == current)
            s.line = steps + 1;
        index += isTwoByteStep15c(streamByte15c(c, index)) ? 2 : 1;
        ++steps;
    }
    s.lines = steps;
    return s;
}

} // namespace

ProgramShape programShape(const Context& c)
{
    switch (c.model) {
    case 12: return shape12c(c);
    case 15: return shape15c(c);
    case 16: return shape16c(c);
    default: return {};
    }
}

int stepOffset12c(int line)
{
    if (line <= 1)
        return 2022;
    const int m = line - 2;
    return 2008 + m % 7 - 8 * (m / 7);
}

int stepOffset16c(const Hp16Layout& layout, int line)
{
    const int first = 2016 + layout.base - 8 * layout.lowestPage;
    const int m = line - 1;
    return first + m % 7 - 8 * (m / 7);
}

int streamOffset15c(int index)
{
    return 2024 - 8 * (index / 7) + index % 7;
}

uint8_t streamByte15c(const Context& c, int index)
{
    return static_cast<uint8_t>(byteAt(c, streamOffset15c(index)));
}

int lastProgramByte15c(const Context& c)
{
    const int p = static_cast<int>(byteAt(c, 288));
    const int q = static_cast<int>(byteAt(c, 289) & 0xF);
    if (p >= 128 && q != 0)
        return q + 7 * (255 - p) - 1;
    return -1;
}

int nibblesPerRegister16c(const Context& c)
{
    const Hp16Mode mode = hp16Mode(static_cast<uint8_t>(byteAt(c, 166)), static_cast<uint8_t>(byteAt(c, 165)));
    return mode.floatMode ? 14 : static_cast<int>((mode.wordSize + 3) / 4);
}

int freeUnits16c(const Context& c, int lines)
{
    return c.layout16.units - (lines + 6) / 7;
}

} // namespace tw::decode
