// The store of peripheral registers the firmware has written: an open-addressed
// table kept at most half full, so probes stay short while the firmware touches
// thousands of distinct registers.
#include "core/bus/peripherals.h"
#include "core/machine.h"

#include <cstring>
#include <new>

namespace {

inline uint32_t slotOf(uint32_t key, uint32_t capacity) {
    uint32_t h = key ^ (key >> 16);
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h & (capacity - 1);
}

// Puts a key into arrays that are known to have a free slot.
void place(uint32_t* keys, uint32_t* values, uint8_t* used, uint32_t capacity, uint32_t key, uint32_t value,
           uint32_t& count) {
    uint32_t slot = slotOf(key, capacity);
    while (used[slot]) {
        if (keys[slot] == key) {
            values[slot] = value;
            return;
        }
        slot = (slot + 1) & (capacity - 1);
    }
    used[slot] = 1;
    keys[slot] = key;
    values[slot] = value;
    ++count;
}

// Doubles the table. On an allocation failure the old table stays as it was.
bool grow(tw_machine* m) {
    const uint32_t oldCapacity = m->regCapacity;
    if (oldCapacity > 0x80000000u / 2) return false;
    const uint32_t capacity = oldCapacity ? oldCapacity * 2 : 1024;
    std::unique_ptr<uint32_t[]> keys(new (std::nothrow) uint32_t[capacity]());
    std::unique_ptr<uint32_t[]> values(new (std::nothrow) uint32_t[capacity]());
    std::unique_ptr<uint8_t[]> used(new (std::nothrow) uint8_t[capacity]());
    if (!keys || !values || !used) return false;
    uint32_t count = 0;
    for (uint32_t i = 0; i < oldCapacity; ++i)
        if (m->regUsed[i])
            place(keys.get(), values.get(), used.get(), capacity, m->regKeys[i], m->regValues[i], count);
    m->regKeys = std::move(keys);
    m->regValues = std::move(values);
    m->regUsed = std::move(used);
    m->regCapacity = capacity;
    m->regCount = count;
    return true;
}

} // namespace

namespace tw {

void clearRegisterStore(tw_machine* m) {
    if (m->regUsed) std::memset(m->regUsed.get(), 0, m->regCapacity);
    m->regCount = 0;
}

uint32_t registerStoreLookup(const tw_machine* m, uint32_t key) {
    const uint32_t capacity = m->regCapacity;
    if (capacity == 0) return 0;
    uint32_t slot = slotOf(key, capacity);
    // The table is never full, so the probe always meets a free slot.
    while (m->regUsed[slot]) {
        if (m->regKeys[slot] == key) return m->regValues[slot];
        slot = (slot + 1) & (capacity - 1);
    }
    return 0;
}

void registerStoreInsert(tw_machine* m, uint32_t key, uint32_t value) {
    if (2ull * m->regCount >= m->regCapacity && !grow(m)) return; // the value is lost, the store goes on
    place(m->regKeys.get(), m->regValues.get(), m->regUsed.get(), m->regCapacity, key, value, m->regCount);
}

} // namespace tw
