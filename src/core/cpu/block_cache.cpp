#include "core/cpu/block_cache.h"
#include "core/memory_map.h"

#include <algorithm>
#include <cstring>

namespace tw::cpu {
namespace {

inline bool sameBytes(const uint8_t* a, const uint8_t* b, uint32_t n) {
    uint32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) return false;
    }
    for (; i < n; i += 2) {
        uint16_t x, y;
        std::memcpy(&x, a + i, 2);
        std::memcpy(&y, b + i, 2);
        if (x != y) return false;
    }
    return true;
}

void decode(Block& b, uint32_t pc, const uint8_t* host, uint32_t available) {
    const Handler* table = dispatchTable();
    const EndsBlock* ends = blockEndTable();
    uint32_t offset = 0, count = 0;
    b.hasIt = false;
    while (count < kBlockOps && available - offset >= 2) {
        uint16_t hw1, hw2 = 0;
        std::memcpy(&hw1, host + offset, 2);
        uint32_t length = 2;
        if (hw1 >= 0xE800) {
            if (available - offset < 4) break;
            std::memcpy(&hw2, host + offset + 2, 2);
            length = 4;
        }
        offset += length;
        b.ops[count++] = {table[hw1], hw1, hw2, pc + offset};
        if ((hw1 & 0xFF00) == 0xBF00 && (hw1 & 0xF)) b.hasIt = true;
        if (ends[hw1](hw1, hw2)) break;
    }
    b.start = count ? pc : 1;
    b.bytes = offset;
    b.count = count;
    std::memcpy(b.code, host, offset);
}

} // namespace

BlockCache::BlockCache() : slots_(std::make_unique<Block[]>(kSlots)) {}

const Block* BlockCache::check(const tw_cpu* c, uint32_t pc, Block& b) {
    const MemoryRegion region = regionOf(c, pc);
    if (!region.size) return nullptr;
    const uint8_t* host = region.host + (pc - region.base);
    const uint32_t available = region.size - (pc - region.base);
    if (!(b.start == pc && b.bytes <= available && sameBytes(b.code, host, b.bytes))) decode(b, pc, host, available);
    if (!b.count) return nullptr;
    b.generation = generation_;
    cover(b);
    return &b;
}

// Widens the watched range to the block, with three bytes before it for stores
// that overlap its start.
void BlockCache::cover(const Block& b) {
    uint64_t low = b.start >= 3 ? b.start - 3 : 0, high = uint64_t(b.start) + b.bytes;
    if (codeSpan_ != 0) {
        low = std::min<uint64_t>(low, codeLow_);
        high = std::max<uint64_t>(high, uint64_t(codeLow_) + codeSpan_);
    }
    codeLow_ = uint32_t(low);
    codeSpan_ = uint32_t(std::min<uint64_t>(high - low, 0xFFFFFFFFu));
}

BlockCache& threadBlockCache() {
    thread_local BlockCache cache;
    return cache;
}

} // namespace tw::cpu
