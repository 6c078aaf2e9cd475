// Where pre-decoded blocks end: right after every instruction that always leaves
// straight-line code, and not after one that may fall through. A block that ran
// on past a branch would still compute the right results (a taken branch stops
// it), so only this test notices a flow change missing from the decode tables.
#include "core/cpu/block_cache.h"
#include "core/cpu/bare_cpu.h"

#include <gtest/gtest.h>

#include <memory>

namespace tw {

namespace {

using tw::test::BareCpu;

struct Case {
    const char* name;
    uint16_t hw1, hw2;
};

// The number of instructions in the block at 0x1000: the instruction, then NOPs.
uint32_t blockLength(BareCpu& m, const Case& c) {
    constexpr uint16_t kNop = 0xBF00;
    uint32_t after = c.hw1 >= 0xE800 ? m.code(0x1000, {c.hw1, c.hw2}) : m.code(0x1000, {c.hw1});
    m.code(after, {kNop, kNop, kNop});
    cpu::BlockCache& cache = cpu::threadBlockCache();
    cache.newGeneration(); // checked against memory again: the code changed
    const cpu::Block* block = cache.find(&m.cpu, 0x1000);
    return block ? block->count : 0;
}

TEST(CpuBlockCache, BlocksEndWhereStraightLineCodeEnds) {
    const Case leaving[] = {
        {"B", 0xE7FE, 0},
        {"BX LR", 0x4770, 0},
        {"BLX R3", 0x4798, 0},
        {"POP {R4, PC}", 0xBD10, 0},
        {"ADD PC, R0", 0x4487, 0},
        {"MOV PC, LR", 0x46F7, 0},
        {"BKPT", 0xBE00, 0},
        {"UDF", 0xDE00, 0},
        {"SVC", 0xDF00, 0},
        {"WFI", 0xBF30, 0},
        {"undefined 16-bit", 0xBA80, 0},
        {"B.W", 0xF000, 0xB800},
        {"BL", 0xF000, 0xF800},
        {"BLX (immediate)", 0xF000, 0xE800},
        {"WFI.W", 0xF3AF, 0x8003},
        {"TBB", 0xE8D0, 0xF001},
        {"TBH", 0xE8D0, 0xF011},
        {"LDM R0!, {R4, PC}", 0xE8B0, 0x8010},
        {"POP.W {R4, PC}", 0xE8BD, 0x8010},
        {"LDR PC, [SP], #4", 0xF85D, 0xFB04},
        {"LDR.W PC, [R0, #4]", 0xF8D0, 0xF004},
        {"LDR PC, literal", 0xF8DF, 0xF004},
        {"undefined 32-bit", 0xFFFF, 0xFFFF},
    };
    const Case fallingThrough[] = {
        {"NOP", 0xBF00, 0},
        {"BEQ", 0xD0FE, 0},
        {"CBZ", 0xB100, 0},
        {"IT EQ", 0xBF08, 0},
        {"MOV R0, R1", 0x4608, 0},
        {"ADD R1, PC", 0x4479, 0},
        {"POP {R4}", 0xBC10, 0},
        {"BEQ.W", 0xF000, 0x8000},
        {"NOP.W", 0xF3AF, 0x8000},
        {"MSR", 0xF380, 0x8800},
        {"MOV.W R0, #0", 0xF04F, 0x0000},
        {"LDM R0!, {R4, R5}", 0xE8B0, 0x0030},
        {"LDREXB R0, [R0]", 0xE8D0, 0x0F4F},
        {"LDRD R2, R3, [R0]", 0xE9D0, 0x2300},
        {"LDR.W R0, [R1, #4]", 0xF8D1, 0x0004},
    };
    auto m = std::make_unique<BareCpu>();
    for (const Case& c : leaving) EXPECT_EQ(blockLength(*m, c), 1u) << c.name;
    for (const Case& c : fallingThrough) EXPECT_GT(blockLength(*m, c), 1u) << c.name;
}

} // namespace

} // namespace tw
