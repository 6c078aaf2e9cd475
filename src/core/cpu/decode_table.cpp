// The 32-bit classes by first halfword, and the dispatch table compiled from the
// 16- and 32-bit decode tables.
#include "core/cpu/decode.h"

#include <vector>

namespace tw::cpu {

namespace {

void undefinedInstruction(Exec& e, uint32_t hw1, uint32_t hw2) { undefined(e, hw1, hw2); }
void undefinedNarrow(Exec& e, uint32_t hw, uint32_t) { undefined(e, hw, 0); }

std::vector<Handler> buildDispatchTable() {
    struct Compiled {
        uint32_t mask, value;
        Handler handler;
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
            out.push_back({mask, value, rows[i].handler});
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
    std::vector<Handler> table(0x10000, undefinedInstruction);
    for (uint32_t hw = 0; hw < 0xE800; ++hw) table[hw] = undefinedNarrow;
    for (uint32_t hw = 0; hw < 0x10000; ++hw)
        for (const Compiled& row : hw < 0xE800 ? narrow : wide)
            if ((hw & row.mask) == row.value) {
                table[hw] = row.handler;
                break;
            }
    return table;
}

} // namespace

// The first halfword of a 32-bit instruction picks its class:
const Encoding kThumb32[] = {
    {"1110100oo0WLnnnn", loadStoreMultiple},                         // LDM, STM (SRS, RFE undefined)
    {"1110100PU1WLnnnn", loadStoreDualExclusiveTable},               // LDRD, STRD, LDREX.., TBB, TBH
    {"1110101ooooSnnnn", dataProcessingShiftedRegister},             // AND.. RSB, PKH (shifted register)
    {"11110i0ooooSnnnn", dataOrBranch<dataProcessingModifiedImmediate>}, // or branches, miscellaneous
    {"11110i1ooooonnnn", dataOrBranch<dataProcessingPlainImmediate>},    // or branches, miscellaneous
    {"11111000sss0nnnn", loadStoreSingle},                           // STRB, STRH, STR
    // Byte and halfword loads (with PLD and PLI) have handlers of their own for every S and U.
    {"1111100SU101nnnn", loadStoreSingle},                           // LDR (word; S = 1 is undefined)
    {"11111010oooonnnn", dataProcessingRegister},                    // shifts, extends, REV.., CLZ, QADD
    {"111110110ooonnnn", multiply},                                  // MUL, MLA, MLS, SMULxy, SMLAxy
    {"111110111ooonnnn", longMultiplyDivide},                        // SMULL.., SDIV, UDIV
};
const size_t kThumb32Count = sizeof kThumb32 / sizeof kThumb32[0];

const Handler* dispatchTable() {
    static const std::vector<Handler> table = buildDispatchTable();
    return table.data();
}

bool endsBlock(uint32_t hw1, uint32_t hw2) {
    Handler h = dispatchTable()[hw1];
    if (h == undefinedNarrow || h == undefinedInstruction) return true;
    if (hw1 < 0xE800) {
        return (hw1 & 0xF800) == 0xE000       // B
               || (hw1 & 0xFF00) == 0x4700    // BX, BLX
               || (hw1 & 0xFF00) == 0xBD00    // POP with the PC
               || (hw1 & 0xFD87) == 0x4487    // ADD PC, MOV PC
               || (hw1 & 0xFF00) == 0xBE00    // BKPT
               || (hw1 & 0xFE00) == 0xDE00    // UDF, SVC
               || hw1 == 0xBF30;              // WFI
    }
    if ((hw1 & 0xF800) == 0xF000 && (hw2 & 0x8000) && (hw2 & 0x5000)) return true; // B.W, BL, BLX
    if (hw1 == 0xF3AF && (hw2 & 0xD7FF) == 0x8003) return true;                 // WFI.W
    if ((hw1 & 0xFFF0) == 0xE8D0 && (hw2 & 0xFFE0) == 0xF000) return true;                   // TBB, TBH
    if ((hw1 & 0xFE50) == 0xE810 && (hw2 & 0x8000)) return true;                               // LDM with the PC
    if ((hw1 & 0xFF70) == 0xF850 && (hw2 >> 12) == 15) return true;                            // LDR to the PC
    return false;
}

} // namespace tw::cpu
