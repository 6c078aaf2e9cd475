// The decode tables: encodings written as bit patterns, compiled once into one
// handler per first halfword.
#pragma once

#include "core/cpu/exec.h"

#include <cstddef>

namespace tw::cpu {

using Handler = void (*)(Exec& e, uint32_t hw1, uint32_t hw2);

// Whether a pre-decoded block ends after an instruction: it does after those that
// always leave straight-line code (B, BX, POP or LDM or LDR of the PC, TBB, WFI,
// the faulting encodings), not after a conditional branch. Where the first
// halfword alone cannot tell, a predicate looks at the second.
using EndsBlock = bool (*)(uint32_t hw1, uint32_t hw2);

inline bool neverEnds(uint32_t, uint32_t) { return false; }
inline bool alwaysEnds(uint32_t, uint32_t) { return true; }
// B.W, BL, BLX and WFI.W among the branches and miscellaneous (hw2[15] set).
inline bool endsIfBranch(uint32_t hw1, uint32_t hw2) {
    return ((hw2 & 0x8000) && (hw2 & 0x5000)) || (hw1 == 0xF3AF && (hw2 & 0xD7FF) == 0x8003);
}
inline bool endsIfTableBranch(uint32_t, uint32_t hw2) { return (hw2 & 0xFFE0) == 0xF000; } // TBB, TBH
inline bool endsIfPcInList(uint32_t, uint32_t hw2) { return (hw2 & 0x8000) != 0; }      // LDM
inline bool endsIfLoadsPc(uint32_t, uint32_t hw2) { return (hw2 >> 12) == 15; }          // LDR

// One row of a decode table: 16 characters, '0' and '1' fixed, anything else a
// field; the handler; and whether the instruction ends a block.
struct Encoding {
    const char* pattern;
    Handler handler;
    EndsBlock endsBlock = neverEnds;
};

extern const Encoding kThumb16[];
extern const size_t kThumb16Count;
extern const Encoding kThumb32[]; // patterns on the first halfword
extern const size_t kThumb32Count;
// Handlers of their own for the most common 32-bit operations; they come first.
extern const Encoding kDataProcessing32[];
extern const size_t kDataProcessing32Count;
extern const Encoding kLoadStore32[];
extern const size_t kLoadStore32Count;

// Data processing and branches share their first halfwords; hw2[15] tells them apart.
template <Handler DataProcessing>
void dataOrBranch(Exec& e, uint32_t hw1, uint32_t hw2) {
    if (hw2 & 0x8000)
        branchesAndMiscellaneous(e, hw1, hw2);
    else
        DataProcessing(e, hw1, hw2);
}

// The handler of every first halfword: 16-bit instructions below 0xE800, the
// 32-bit ones from there on; unmatched halfwords fault as undefined.
const Handler* dispatchTable();

// The same table's column of block ends; unmatched halfwords end a block.
const EndsBlock* blockEndTable();

} // namespace tw::cpu
