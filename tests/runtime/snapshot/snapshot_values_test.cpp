#include <cstring>

#include <gtest/gtest.h>

#include "runtime/snapshot/inspector_snapshot.h"
#include "runtime/snapshot/utf8.h"

namespace tw {
namespace {

RegisterValue named(std::string name, std::string text = {}) {
    RegisterValue value;
    value.name = std::move(name);
    value.text = std::move(text);
    return value;
}

TEST(RecordConversion, RegisterTextsStopAtZeroAndAreRepaired) {
    tw_register record{};
    record.kind = TW_REGISTER_DECIMAL;
    record.raw = 0x0012345000000001ull;
    record.word = 7;
    record.isNegative = 2;
    record.number = -1.5;
    std::memcpy(record.text, "-1.5\0garbage", 12);
    std::memset(record.decimal, 'x', sizeof record.decimal); // no terminating zero
    std::memcpy(record.name, "R\xC3", 2);                    // a cut sequence

    const RegisterValue value = RegisterValue::fromRecord(record);
    EXPECT_EQ(value.text, "-1.5");
    EXPECT_EQ(value.decimal, std::string(sizeof record.decimal, 'x'));
    EXPECT_EQ(value.name, "R\xEF\xBF\xBD");
    EXPECT_FALSE(value.isInteger);
    EXPECT_TRUE(value.isNegative);
    EXPECT_EQ(value.number, -1.5);
    EXPECT_EQ(value.word, 7u);
    EXPECT_EQ(value.raw, 0x0012345000000001ull);
}

TEST(RecordConversion, ProgramLineTakesOnlyTheStepsBytes) {
    tw_prog_line record{};
    record.line = 1;
    record.code[0] = 0x0F;
    record.code[1] = 0x05;
    record.len = 1;
    record.prefix = 'g';
    std::strcpy(record.keys, "43,22,11");
    std::strcpy(record.mnemonic, "LBL A");
    ProgramLine line = ProgramLine::fromRecord(record);
    EXPECT_EQ(line.bytes, (std::vector<std::uint8_t>{0x0F}));
    EXPECT_EQ(line.prefix, "g");
    EXPECT_EQ(line.mnemonicWithPrefix(), "g LBL A");
    EXPECT_EQ(line.lineText(), "001");

    record.len = 9; // never more than the two code bytes
    record.prefix = 0;
    line = ProgramLine::fromRecord(record);
    EXPECT_EQ(line.bytes, (std::vector<std::uint8_t>{0x0F, 0x05}));
    EXPECT_EQ(line.mnemonicWithPrefix(), "LBL A");
    record.len = 0;
    EXPECT_TRUE(ProgramLine::fromRecord(record).bytes.empty());
}

TEST(Utf8Repair, KeepsValidTextAndReplacesEachBadByte) {
    EXPECT_EQ(repairUtf8("x≷y ∫ʸₓ 😀"), "x≷y ∫ʸₓ 😀");
    EXPECT_EQ(repairUtf8("a\x80z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(repairUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");       // overlong
    EXPECT_EQ(repairUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"); // surrogate
    EXPECT_EQ(repairUtf8("\xF4\x90\x80\x80").size(), 12u);             // above U+10FFFF
    EXPECT_EQ(repairUtf8("\xE2\x89"), "\xEF\xBF\xBD");                    // cut at the end: one
}

TEST(Snapshot, StatusFieldsAndEmptyValue) {
    const InspectorSnapshot empty;
    EXPECT_EQ(empty.base, 10);
    EXPECT_FALSE(empty.pool);

    struct tw_memory_status status{};
    status.model = 16;
    status.modelCode = 160;
    status.base = 16;
    status.wordSize = 16;
    status.complement = 2;
    status.flags = (1u << 0) | (1u << 3) | (1u << 12);
    status.programMode = 5;
    status.lines = 3;
    status.hasI = 1;
    const InspectorSnapshot s = InspectorSnapshot::fromStatus(status);
    EXPECT_EQ(s.variant, 160);
    EXPECT_TRUE(s.programMode);
    EXPECT_TRUE(s.hasI);
    EXPECT_FALSE(s.running);
    EXPECT_EQ(s.setFlags(), (std::vector<int>{0, 3}));
    EXPECT_EQ(s.modeText(), "HEX  WSIZE 16  2's");

    InspectorSnapshot other = s;
    other.base = 0;
    EXPECT_EQ(other.modeText(), "FLOAT");
    other.base = 10;
    other.complement = 7;
    EXPECT_EQ(other.modeText(), "DEC  WSIZE 16  2's");
    other.complement = -3;
    EXPECT_EQ(other.complementName(), "UNSGN");
    other.model = 15;
    EXPECT_FALSE(other.modeText());
    EXPECT_NE(other, s);
}

TEST(Snapshot, StackIndicesPerModel) {
    EXPECT_EQ(InspectorSnapshot::stackIndices(12, true), (std::vector<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 10}));
    EXPECT_EQ(InspectorSnapshot::stackIndices(15, true), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(InspectorSnapshot::stackIndices(16, false), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(Snapshot, MatrixDescriptorsOnlyInDecimalHp15cRegisters) {
    InspectorSnapshot s;
    s.model = 15;
    RegisterValue value;
    value.raw = 0x001B000000000000ull;
    EXPECT_EQ(s.matrixDescriptorText(value), "matrix B");
    Pool15 pool;
    pool.rows[1] = 2;
    pool.cols[1] = 3;
    s.pool = pool;
    EXPECT_EQ(s.matrixDescriptorText(value), "matrix B (2×3)");
    EXPECT_EQ(value.descriptorMatrixIndex(), 1);

    value.raw = 0xFF1E000000000000ull; // the top nibbles are not looked at
    EXPECT_EQ(s.matrixDescriptorText(value), "matrix E (0×0)");
    value.raw = 0x001F000000000000ull;
    EXPECT_FALSE(s.matrixDescriptorText(value));
    EXPECT_EQ(value.descriptorMatrixIndex(), 0);
    value.raw = 0x001B000000000100ull;
    EXPECT_FALSE(s.matrixDescriptorText(value));
    value.raw = 0x001A000000000000ull;
    value.isInteger = true;
    EXPECT_FALSE(s.matrixDescriptorText(value));
    value.isInteger = false;
    s.model = 16;
    EXPECT_FALSE(s.matrixDescriptorText(value));
}

TEST(Snapshot, ImaginaryPartsOnlyInComplexMode) {
    InspectorSnapshot s;
    s.model = 15;
    for (const char* name : {"X", "Y", "Z", "T", "LAST X"}) s.imaginary.push_back(named(name));
    EXPECT_FALSE(s.imaginaryValue("X"));
    s.flags = 1u << 8;
    EXPECT_TRUE(s.isComplexMode());
    EXPECT_EQ(s.imaginaryValue("LAST X")->name, "LAST X");
    EXPECT_FALSE(s.imaginaryValue("I"));
    s.imaginary.resize(2);
    EXPECT_FALSE(s.imaginaryValue("Z"));
    EXPECT_EQ(s.imaginaryValue("Y")->name, "Y");
}

TEST(Pool, EmptyPoolIsOneFreeStretch) {
    const Pool15 pool;
    ASSERT_EQ(pool.segments().size(), 1u);
    const Pool15::Segment segment = pool.segments()[0];
    EXPECT_EQ(segment.kind, Pool15::Kind::of(Pool15::Kind::Case::free));
    EXPECT_EQ(segment.first, 178);
    EXPECT_EQ(segment.count, 78);
    EXPECT_EQ(segment.label(), "free");
    EXPECT_EQ(pool.registerCount(), 96);
    EXPECT_EQ(pool.summary(), "g MEM   ·  pool 96 registers + R0, R1");
    EXPECT_EQ(pool.resultLetter(), "A");
}

TEST(Pool, SegmentsInOrderWithTheirLabels) {
    Pool15 pool;
    pool.scratch = 23;
    pool.gap = 4;
    pool.complex = true;
    pool.storage = 19;
    pool.data = 200;
    pool.starts = {219, 0, 223, 0, 0};
    pool.rows = {2, 0, 3, 0, 0};
    pool.cols = {2, 0, 1, 0, 0};
    pool.pool = 226;
    pool.programLow = 240;
    pool.programRegisters = 16;
    pool.result = 9;
    pool.gmem = "19 4 16-0";
    std::vector<std::string> labels;
    std::vector<int> firsts;
    for (const auto& segment : pool.segments()) {
        labels.push_back(segment.label());
        firsts.push_back(segment.first);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"SOLVE/∫ workspace", "free", "complex (imaginary stack)", "R2–R20",
                                                "matrix A", "matrix C", "free", "program"}));
    EXPECT_EQ(firsts, (std::vector<int>{160, 183, 187, 200, 219, 223, 226, 240}));
    EXPECT_EQ(pool.segments()[3].kind.shortLabel(), "R2…");
    EXPECT_EQ(pool.resultLetter(), "E");
    EXPECT_EQ(pool.dimensionText(2), "3×1");
    EXPECT_EQ(Pool15::Segment({Pool15::Kind::of(Pool15::Kind::Case::storage), 5, 0}).label(), "");
}

TEST(Pool, RecordConversionReadsEveryField) {
    tw_pool record{};
    record.variant = 152;
    record.top = 512;
    record.starts[4] = 300;
    record.rows[4] = 4;
    record.cols[4] = 5;
    record.complex = 1;
    record.dimI = 25;
    std::strcpy(record.gmem, "25 0 12-3");
    const Pool15 pool = Pool15::fromRecord(record);
    EXPECT_EQ(pool.variant, 152);
    EXPECT_EQ(pool.top, 512);
    EXPECT_EQ(pool.starts[4], 300);
    EXPECT_EQ(pool.dimensionText(4), "4×5");
    EXPECT_TRUE(pool.complex);
    EXPECT_EQ(pool.dimI, 25);
    EXPECT_EQ(pool.gmem, "25 0 12-3");
}

TEST(Matrices, AllFiveListedLargeOnesWithoutValues) {
    Pool15 pool;
    pool.rows = {17, 2, 0, 0, 0};
    pool.cols = {16, 3, 0, 0, 0};
    pool.starts = {10, 20, 30, 40, 50};
    pool.result = 1;
    int reads = 0;
    const auto matrices = MatrixValue::allOf(pool, [&](int m, int r, int c) -> std::optional<RegisterValue> {
        ++reads;
        if (r == 2 && c == 2) return std::nullopt; // unreadable element left out
        return named(std::to_string(m), std::to_string(r) + std::to_string(c));
    });
    ASSERT_EQ(matrices.size(), 5u);
    EXPECT_TRUE(matrices[0].values.empty());
    EXPECT_FALSE(matrices[0].isEmpty());
    EXPECT_EQ(reads, 6);
    EXPECT_TRUE(matrices[1].isResult);
    EXPECT_EQ(matrices[1].first, 20);
    EXPECT_EQ(matrices[1].values.size(), 5u);
    EXPECT_EQ(matrices[1].letter(), "B");
    EXPECT_TRUE(matrices[4].isEmpty());

    MatrixValue m = matrices[1];
    EXPECT_EQ(m.value(1, 3)->text, "13");
    EXPECT_FALSE(m.value(0, 1));
    EXPECT_FALSE(m.value(2, 3)); // the missing element shortened the list
    EXPECT_FALSE(m.value(1, 4));  // a column beyond the matrix is no element of the next row
    EXPECT_FALSE(m.value(3, 1));
    EXPECT_EQ(m.copyText(), "11\t12\t13\n21\t23\t");
    EXPECT_EQ(matrices[4].copyText(), "");
}

} // namespace
} // namespace tw
