// Decoded straight-line code, so that a run executes pre-decoded instructions
// instead of fetching and decoding each one.
#ifndef TARNWICK_CORE_CPU_BLOCK_CACHE_H
#define TARNWICK_CORE_CPU_BLOCK_CACHE_H

#include "core/cpu/decode.h"

#include <memory>

namespace tw::cpu {

struct Op {
    Handler handler;
    uint16_t hw1, hw2; // hw2 is 0 for a 16-bit instruction
};

inline constexpr uint32_t kBlockOps = 16;

// Up to kBlockOps instructions from `start`, ending early after an unconditional
// change of flow. Conditional branches end a run of the block only when taken.
struct Block {
    uint32_t start = 1; // odd: an empty slot
    uint32_t bytes = 0;
    uint32_t count = 0;
    Op ops[kBlockOps];
    uint8_t code[kBlockOps * 4]; // the bytes the block was decoded from
};

// Blocks by start address for the thread running the interpreter. A block is
// compared with the bytes in memory before each use, so machines on one thread
// share entries safely and code rewritten by stores, hooks or the host is
// decoded again. (Within one block, as on the chip without an ISB, a store to a
// later instruction of the same block is not seen.)
class BlockCache {
public:
    BlockCache();
    // The block starting at `pc` (even), or null when `pc` is not in flash or RAM.
    const Block* find(const tw_cpu* c, uint32_t pc);

private:
    static constexpr uint32_t kSlots = 2048;
    std::unique_ptr<Block[]> slots_;
};

BlockCache& threadBlockCache();

} // namespace tw::cpu

#endif
