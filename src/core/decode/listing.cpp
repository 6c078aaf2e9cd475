#include "core/decode/listing.h"

#include "core/decode/keycodes.h"
#include "core/decode/program.h"
#include "core/decode/text_out.h"

namespace tw::decode {

namespace {

void fill(tw_prog_line& record, int line, uint8_t first, uint8_t second, int length, const KeyRow& row)
{
    record = tw_prog_line{};
    record.line = line;
    record.code[0] = first;
    record.code[1] = length == 2 ? second : 0;
    record.len = static_cast<uint8_t>(length);
    record.prefix = static_cast<int8_t>(row.prefix);
    TextOut(record.keys, sizeof record.keys).put(row.keys);
    TextOut(record.mnemonic, sizeof record.mnemonic).put(row.mnemonic);
}

// HP-12C and HP-16C: one byte a step.
Result oneByteSteps(const Context& c, int first, tw_prog_line* out, int count)
{
    const ProgramShape shape = programShape(c);
    if (first > shape.lines || count < 1)
        return ok(0);
    const KeyTable& table = c.model == 12 ? keyTable12c() : keyTable16c();
    int written = 0;
    for (int line = first; line <= shape.lines && written < count; ++line) {
        const int offset = c.model == 12 ? stepOffset12c(line) : stepOffset16c(c.layout16, line);
        const auto byte = static_cast<uint8_t>(byteAt(c, offset));
        fill(out[written++], line, byte, 0, 1, table[byte]);
    }
    return ok(written);
}

// HP-15C: one- and two-byte steps packed in a byte stream; a two-byte step may
// straddle two registers.
Result packedSteps(const Context& c, int first, tw_prog_line* out, int count)
{
    const int last = lastProgramByte15c(c);
    int written = 0;
    int index = 0;
    for (int step = 0; index <= last && written < count && step < kMaxSteps15c; ++step) {
        const uint8_t b = streamByte15c(c, index);
        const int length = isTwoByteStep15c(b) ? 2 : 1;
        if (step + 1 >= first) {
            const uint8_t b2 = length == 2 ? streamByte15c(c, index + 1) : 0;
            fill(out[written++], step + 1, b, b2, length, keyRow15c(b, b2));
        }
        index += length;
    }
    return ok(written);
}

} // namespace

Result programLines(const Context& c, int first, tw_prog_line* out, int count)
{
    if (count < 1 || out == nullptr)
        return ok(0);
    switch (c.model) {
    case 12:
    case 16: return oneByteSteps(c, first, out, count);
    case 15: return packedSteps(c, first, out, count);
    default: return ok(0);
    }
}

} // namespace tw::decode
