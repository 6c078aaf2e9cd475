// The decode tables are data: every row is well formed and reachable, and the
// compiled dispatch table and its column of block ends agree with them.
#include "core/cpu/decode.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tw {

namespace {

using namespace tw::cpu;

struct Row {
    uint32_t mask, value;
};

Row compile(const char* pattern) {
    Row r{0, 0};
    for (int bit = 0; bit < 16; ++bit) {
        char ch = pattern[bit];
        if (ch == '0' || ch == '1') {
            r.mask |= 0x8000u >> bit;
            if (ch == '1') r.value |= 0x8000u >> bit;
        }
    }
    return r;
}

void checkTable(const std::vector<std::pair<const Encoding*, size_t>>& parts, uint32_t low, uint32_t high) {
    std::vector<Row> earlier;
    const Handler* table = dispatchTable();
    const EndsBlock* ends = blockEndTable();
    for (auto [rows, count] : parts)
        for (size_t i = 0; i < count; ++i) {
            std::string pattern = rows[i].pattern;
            ASSERT_EQ(pattern.size(), 16u) << pattern;
            Row row = compile(rows[i].pattern);
            bool reachable = false;
            for (uint32_t hw = low; hw <= high && !reachable; ++hw) {
                if ((hw & row.mask) != row.value) continue;
                bool shadowed = false;
                for (const Row& e : earlier) shadowed |= (hw & e.mask) == e.value;
                if (!shadowed) {
                    reachable = true;
                    EXPECT_EQ(table[hw], rows[i].handler) << pattern;
                    EXPECT_EQ(ends[hw], rows[i].endsBlock) << pattern;
                }
            }
            EXPECT_TRUE(reachable) << pattern << " is hidden by earlier rows";
            earlier.push_back(row);
        }
}

TEST(CpuDecodeTable, RowsAreWellFormedAndReachable) {
    checkTable({{kThumb16, kThumb16Count}}, 0, 0xE7FF);
    checkTable({{kDataProcessing32, kDataProcessing32Count}, {kLoadStore32, kLoadStore32Count}, {kThumb32, kThumb32Count}},
               0xE800, 0xFFFF);
}

} // namespace

} // namespace tw
