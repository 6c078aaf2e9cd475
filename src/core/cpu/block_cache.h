// Decoded straight-line code, so that a run executes pre-decoded instructions
// instead of fetching and decoding each one.
#pragma once

#include "core/cpu/decode.h"

#include <memory>

namespace tw::cpu {

struct Op {
    Handler handler;
    uint16_t hw1, hw2; // hw2 is 0 for a 16-bit instruction
    uint32_t next;     // address of the following instruction
};

inline constexpr uint32_t kBlockOps = 16;

// Up to kBlockOps instructions from `start`, ending early after an unconditional
// change of flow. Conditional branches end a run of the block only when taken.
struct Block {
    uint32_t start = 1; // odd: an empty slot
    uint32_t bytes = 0;
    uint32_t count = 0;
    uint64_t generation = 0; // 64 bits: a count that wraps would trust a stale block again
    bool hasIt = false; // holds an IT instruction
    Op ops[kBlockOps];
    uint8_t code[kBlockOps * 4]; // the bytes the block was decoded from
};

// Blocks by start address for the thread running the interpreter.
//
// A block is trusted only within the generation it was checked in: each run call
// and each hook starts a new generation, and so does a store that the
// interpreter makes into the range of code checked in the current one. A block
// of an older generation is compared with the bytes in memory before use and
// decoded again when they differ. So machines on one thread share entries
// safely, and code rewritten by the firmware, a hook or the host is never run
// stale.
class BlockCache {
public:
    BlockCache();

    // The block starting at `pc` (even), or null when `pc` is not in flash or RAM.
    const Block* find(const tw_cpu* c, uint32_t pc) {
        Block& b = slots_[(pc >> 1) & (kSlots - 1)];
        if (b.start == pc && b.generation == generation_) [[likely]]
            return &b;
        return check(c, pc, b);
    }
    void newGeneration() {
        ++generation_;
        codeLow_ = 0, codeSpan_ = 0;
    }
    // A run that starts while another runs on this thread (a bus callback or hook
    // that runs the CPU) must not reuse blocks the outer run is executing.
    bool busy = false;

    // Stores into [codeLow, codeLow + codeSpan) may rewrite checked code.
    uint32_t codeLow() const { return codeLow_; }
    uint32_t codeSpan() const { return codeSpan_; }

private:
    const Block* check(const tw_cpu* c, uint32_t pc, Block& b);
    void cover(const Block& b);

    static constexpr uint32_t kSlots = 2048;
    std::unique_ptr<Block[]> slots_;
    uint64_t generation_ = 1;
    uint32_t codeLow_ = 0, codeSpan_ = 0;
};

BlockCache& threadBlockCache();

} // namespace tw::cpu
