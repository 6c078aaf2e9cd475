#include "core/machine.h"
#include "core/bus/peripherals.h"

#include <gtest/gtest.h>

namespace tw {

namespace {

struct Store {
    tw_machine* m = tw_create();
    ~Store() { tw_destroy(m); }
};

TEST(RegisterStore, InsertUpdateAndAbsentKeys) {
    Store s;
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0x40000000), 0u);
    tw::registerStoreInsert(s.m, 0x40000000, 5);
    tw::registerStoreInsert(s.m, 0xE000E104, 7);
    tw::registerStoreInsert(s.m, 0x40000000, 6);
    EXPECT_EQ(s.m->regCount, 2u);
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0x40000000), 6u);
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0xE000E104), 7u);
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0x40000004), 0u);
    tw::registerStoreInsert(s.m, 0, 9); // key 0 is a key like any other
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0), 9u);
}

TEST(RegisterStore, GrowsBeforeTheFirstStoreAtHalfLoad) {
    Store s;
    for (uint32_t i = 0; i < 512; ++i) tw::registerStoreInsert(s.m, 0x40000000 + 4 * i, i + 1);
    EXPECT_EQ(s.m->regCapacity, 1024u);
    EXPECT_EQ(s.m->regCount, 512u);
    // Even an update of a key already held grows the table first.
    tw::registerStoreInsert(s.m, 0x40000000, 1000);
    EXPECT_EQ(s.m->regCapacity, 2048u);
    EXPECT_EQ(s.m->regCount, 512u);
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0x40000000), 1000u);
    for (uint32_t i = 1; i < 512; ++i) ASSERT_EQ(tw::registerStoreLookup(s.m, 0x40000000 + 4 * i), i + 1) << i;
}

TEST(RegisterStore, ThousandsOfRegistersStayRetrievableAndClearingKeepsTheCapacity) {
    Store s;
    const uint32_t n = 20000;
    for (uint32_t i = 0; i < n; ++i) tw::registerStoreInsert(s.m, 0x40000000 + 0x1000 * (i % 256) + 4 * (i / 256), ~i);
    EXPECT_EQ(s.m->regCount, n);
    EXPECT_LE(2 * s.m->regCount, s.m->regCapacity);
    for (uint32_t i = 0; i < n; ++i)
        ASSERT_EQ(tw::registerStoreLookup(s.m, 0x40000000 + 0x1000 * (i % 256) + 4 * (i / 256)), ~i);
    const uint32_t capacity = s.m->regCapacity;
    tw::clearRegisterStore(s.m);
    EXPECT_EQ(s.m->regCount, 0u);
    EXPECT_EQ(s.m->regCapacity, capacity);
    EXPECT_EQ(tw::registerStoreLookup(s.m, 0x40000000), 0u);
}

} // namespace

} // namespace tw
