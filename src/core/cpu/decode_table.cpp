// The 32-bit classes by first halfword, and the dispatch table and its column of
// block ends compiled from the 16- and 32-bit decode tables.
#include "core/cpu/decode.h"

#include <vector>

namespace tw::cpu {

namespace {

void undefinedInstruction(Exec& e, uint32_t hw1, uint32_t hw2) { undefined(e, hw1, hw2); }
void undefinedNarrow(Exec& e, uint32_t hw, uint32_t) { undefined(e, hw, 0); }

struct DecodeTables {
    std::vector<Handler> handlers;
    std::vector<EndsBlock> ends;
};

DecodeTables buildDecodeTables() {
    struct Compiled {
        uint32_t mask, value;
        const Encoding* row;
    };
    auto compile = [](const Encoding* rows, size_t count) {
        std::vector<Compiled> out;
        for (size_t i = 0; i < count; ++i) {
            uint32_t mask = 0, value = 0;
            for (int bit = 0; bit < 16; ++bit) {
                char ch = rows[i].pattern[bit];
                if (ch == '0' || ch == '1') {
                    mask |= 0x8000u >> bit;
                    if (ch == '1') value |= 0x8000u >> bit;
                }
            }
            out.push_back({mask, value, &rows[i]});
        }
        return out;
    };
    std::vector<Compiled> narrow = compile(kThumb16, kThumb16Count), wide;
    const std::pair<const Encoding*, size_t> parts[] = {
        {kDataProcessing32, kDataProcessing32Count}, {kLoadStore32, kLoadStore32Count}, {kThumb32, kThumb32Count}};
    for (auto [rows, count] : parts) {
        std::vector<Compiled> part = compile(rows, count);
        wide.insert(wide.end(), part.begin(), part.end());
    }
    DecodeTables tables{std::vector<Handler>(0x10000, undefinedInstruction),
                        std::vector<EndsBlock>(0x10000, alwaysEnds)};
    for (uint32_t hw = 0; hw < 0xE800; ++hw) tables.handlers[hw] = undefinedNarrow;
    for (uint32_t hw = 0; hw < 0x10000; ++hw)
        for (const Compiled& c : hw < 0xE800 ? narrow : wide)
            if ((hw & c.mask) == c.value) {
                tables.handlers[hw] = c.row->handler;
                tables.ends[hw] = c.row->endsBlock;
                break;
            }
    return tables;
}

const DecodeTables& decodeTables() {
    static const DecodeTables tables = buildDecodeTables();
    return tables;
}

} // namespace

// The first halfword of a 32-bit instruction picks its class:
const Encoding kThumb32[] = {
    {"1110100oo0W1nnnn", loadStoreMultiple, endsIfPcInList},         // LDM (RFE undefined)
    {"1110100oo0W0nnnn", loadStoreMultiple},                         // STM (SRS undefined)
    {"111010001101nnnn", loadStoreDualExclusiveTable, endsIfTableBranch}, // TBB, TBH, LDREXB, LDREXH
    {"1110100PU1WLnnnn", loadStoreDualExclusiveTable},               // LDRD, STRD, LDREX, STREX..
    {"1110101ooooSnnnn", dataProcessingShiftedRegister},             // AND.. RSB, PKH (shifted register)
    {"11110i0ooooSnnnn", dataOrBranch<dataProcessingModifiedImmediate>, endsIfBranch}, // or branches, ..
    {"11110i1ooooonnnn", dataOrBranch<dataProcessingPlainImmediate>, endsIfBranch},    // or branches, ..
    {"11111000sss0nnnn", loadStoreSingle},                           // STRB, STRH, STR
    // Byte and halfword loads (with PLD and PLI) have handlers of their own for every S and U.
    {"1111100SU101nnnn", loadStoreSingle, endsIfLoadsPc},            // LDR (word; S = 1 is undefined)
    {"11111010oooonnnn", dataProcessingRegister},                    // shifts, extends, REV.., CLZ, QADD
    {"111110110ooonnnn", multiply},                                  // MUL, MLA, MLS, SMULxy, SMLAxy
    {"111110111ooonnnn", longMultiplyDivide},                        // SMULL.., SDIV, UDIV
};
const size_t kThumb32Count = sizeof kThumb32 / sizeof kThumb32[0];

const Handler* dispatchTable() { return decodeTables().handlers.data(); }

const EndsBlock* blockEndTable() { return decodeTables().ends.data(); }

} // namespace tw::cpu
