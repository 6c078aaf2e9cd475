// The decode tables: encodings written as bit patterns, compiled once into one
// handler per first halfword.
#pragma once

#include "core/cpu/exec.h"

#include <cstddef>

namespace tw::cpu {

using Handler = void (*)(Exec& e, uint32_t hw1, uint32_t hw2);

// One row of a decode table: 16 characters, '0' and '1' fixed, anything else a field.
struct Encoding {
    const char* pattern;
    Handler handler;
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

// True after instructions that always leave straight-line code (B, BX, POP or
// LDM or LDR of the PC, TBB, WFI, the faulting encodings): decoding stops.
bool endsBlock(uint32_t hw1, uint32_t hw2);

} // namespace tw::cpu
