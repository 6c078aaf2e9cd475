#include "core/decode/registers.h"

#include "core/decode/program.h"
#include "core/decode/register_value.h"
#include "core/decode/text_out.h"

#include <cstring>

namespace tw::decode {

namespace {

constexpr const char* kStackNames[kStackIndexCount] = {"X", "Y", "Z", "T", "LAST X", "I", "n", "i", "PV", "PMT", "FV"};

//                                              X    Y    Z    T  LASTX     I     n     i    PV   PMT    FV
constexpr int kOffsets12c[kStackIndexCount] = {32, 112, 120, 128, 1856,   -1, 1896, 1888, 1880, 1872, 1864};
constexpr int kOffsets15c[kStackIndexCount] = {32, 112, 120, 128,  264,  256,   -1,   -1,   -1,   -1,   -1};
constexpr int kOffsets16c[kStackIndexCount] = {32, 112, 120, 128,  136, 2008,   -1,   -1,   -1,   -1,   -1};

// Nibble positions of the HP-16C high bytes of X, Y, Z, T and LAST X in the 48-bit
// field at bytes 168 to 173.
constexpr int kHighNibble16c[5] = {0, 3, 5, 7, 9};

Hp16Mode modeOf(const Context& c)
{
    return hp16Mode(static_cast<uint8_t>(byteAt(c, 166)), static_cast<uint8_t>(byteAt(c, 165)));
}

uint8_t highByte16c(const Context& c, int index)
{
    if (index == 5) // I keeps its high byte in bits 12 to 19 of the word at 2016
        return static_cast<uint8_t>(registerWord(c, 2016) >> 12);
    uint64_t field = 0;
    for (int i = 5; i >= 0; --i)
        field = (field << 8) | byteAt(c, 168 + i);
    return static_cast<uint8_t>(field >> (4 * kHighNibble16c[index]));
}

// Nibble j of the HP-16C storage stream: seven bytes of each 8-byte unit hold 14.
uint32_t streamNibble16c(const Context& c, int j)
{
    const int offset = c.layout16.base + 8 * (j / 14) + (j % 14) / 2;
    const uint32_t byte = byteAt(c, offset);
    return (j % 14) % 2 == 0 ? byte & 0xF : byte >> 4;
}

int storageOffset(const Context& c, int number)
{
    if (c.model == 12) {
        if (number == 0)
            return 1824;
        if (number <= 6)
            return 1776 + 8 * (number - 1);
        return 1848 + 8 * number;
    }
    // HP-15C: R0 and R1 are fixed, R2 on lie in the pool from register `data`.
    if (number == 0)
        return 240;
    if (number == 1)
        return 248;
    return 8 * (static_cast<int>(byteAt(c, 286)) + number) - 32;
}

} // namespace

const char* stackRegisterName(int index)
{
    return index >= 0 && index < kStackIndexCount ? kStackNames[index] : "";
}

int stackRegisterOffset(uint32_t model, int index)
{
    if (index < 0 || index >= kStackIndexCount)
        return -1;
    switch (model) {
    case 12: return kOffsets12c[index];
    case 15: return kOffsets15c[index];
    case 16: return kOffsets16c[index];
    default: return -1;
    }
}

void storageRegisterName(uint32_t model, int number, char (&name)[12])
{
    TextOut text(name, sizeof name);
    text.put('R');
    if (model == 16) {
        if (number >= 16 && number < 32) {
            text.put('.');
            number -= 16;
        }
        if (number < 16)
            text.put("0123456789ABCDEF"[number < 0 ? 0 : number]);
        else
            text.putNumber(number);
        return;
    }
    if (number >= 10 && number < 20) {
        text.put('.');
        number -= 10;
    }
    text.putNumber(number);
}

Result memoryStatus(const Context& c, const Activity& activity, struct tw_memory_status& out)
{
    out = {};
    const ProgramShape shape = programShape(c);
    out.model = c.model;
    out.modelCode = c.modelCode;
    out.base = 10;
    if (c.model == 16) {
        const Hp16Mode mode = modeOf(c);
        out.base = mode.floatMode ? 0 : mode.base;
        out.wordSize = mode.floatMode ? 56 : mode.wordSize;
        out.complement = mode.complement;
        out.flags = byteAt(c, 163) & 0x3F;
        out.extendedMemory = c.layout16.extended ? 1 : 0;
    } else if (c.model == 15) {
        out.flags = byteAt(c, 321) | ((byteAt(c, 76) >> 3) & 1) << 8 | ((byteAt(c, 322) >> 1) & 1) << 9;
    }
    out.programMode = (activity.lcdFlags >> 4) & 1;
    out.running = activity.mode == TW_MODE_CALCULATOR && activity.busyTicks >= 3 && activity.anyKeyDown == 0 ? 1 : 0;
    out.line = static_cast<uint32_t>(shape.line);
    out.lines = static_cast<uint32_t>(shape.lines);
    out.registerCount = static_cast<uint32_t>(shape.registerCount);
    out.hasI = c.model == 15 || c.model == 16 ? 1 : 0;
    out.hasProgram = 1;
    return ok();
}

Result stackRegister(const Context& c, int index, tw_register& out)
{
    out = tw_register{};
    TextOut(out.name, sizeof out.name).put(stackRegisterName(index));
    const int offset = stackRegisterOffset(c.model, index);
    if (offset < 0)
        return fail(TW_ERR_ARGUMENT);
    const uint64_t word = registerWord(c, offset);
    if (c.model == 16)
        formatInteger(word, highByte16c(c, index), modeOf(c), out);
    else
        formatDecimal(word, out);
    return ok();
}

Result storageRegister(const Context& c, int number, tw_register& out)
{
    if (c.model != 12 && c.model != 15 && c.model != 16)
        return fail(TW_ERR_STATE, "This calculator model has no storage registers that Tarnwick can read.");
    if (number < 0)
        return fail(TW_ERR_ARGUMENT);
    out = tw_register{};
    storageRegisterName(c.model, number, out.name);
    if (c.model == 16) {
        const ProgramShape shape = programShape(c);
        if (number >= shape.registerCount)
            return fail(TW_ERR_ARGUMENT);
        const int w = nibblesPerRegister16c(c);
        uint64_t low = 0;
        uint32_t high = 0;
        for (int i = 0; i < w; ++i) {
            const uint32_t v = streamNibble16c(c, number * w + i);
            if (i < 14)
                low |= uint64_t{v} << (4 * i);
            else
                high |= v << (4 * (i - 14));
        }
        formatInteger(low, static_cast<uint8_t>(high), modeOf(c), out);
        return ok();
    }
    if (c.model == 12) {
        // Registers from registerCount on hold program steps.
        if (number >= programShape(c).registerCount)
            return fail(TW_ERR_ARGUMENT);
    } else {
        const int b285 = static_cast<int>(byteAt(c, 285));
        const int b286 = static_cast<int>(byteAt(c, 286));
        if (b285 < b286 || number > b285 - b286 + 1)
            return fail(TW_ERR_ARGUMENT);
    }
    formatDecimal(registerWord(c, storageOffset(c, number)), out);
    return ok();
}

} // namespace tw::decode
