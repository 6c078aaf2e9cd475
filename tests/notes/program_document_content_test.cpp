#include <gtest/gtest.h>

#include "content_fixture.h"

namespace tw {
namespace {

using namespace tw::testing;
using Content = ProgramDocumentContent;

ProgramDocumentInfo infoFor(std::int64_t model, std::string memoryFile = {}) {
    return ProgramDocumentInfo{ProgramDocumentInfo::modelNameFor(static_cast<int>(model) * 10, static_cast<int>(model)),
                               "", std::move(memoryFile), model, utcSeconds(1796558400)};
}

Content contentOf(std::vector<ProgramLine> lines, std::int64_t model = 15, ProgramDocument doc = {},
                  std::optional<Pool15> pool = std::nullopt, std::vector<int> setFlags = {}) {
    return Content(std::move(doc), infoFor(model), std::move(lines), std::move(pool), std::move(setFlags));
}

std::string memoryValue(const Content& content, const std::string& label) {
    for (const auto& row : content.memoryRows()) {
        if (row.label == label) return row.value;
    }
    return "(missing)";
}

TEST(DocumentInfo, ModelNamesAndDates) {
    EXPECT_EQ(ProgramDocumentInfo::modelNameFor(150, 15), "HP-15C");
    EXPECT_EQ(ProgramDocumentInfo::modelNameFor(152, 15), "HP-15C (15.2)");
    EXPECT_EQ(ProgramDocumentInfo::modelNameFor(120, 12), "HP-12C");
    EXPECT_EQ(ProgramDocumentInfo::modelNameFor(999, 42), "HP-42C");
    useUtc();
    ProgramDocumentInfo info;
    info.date = utcSeconds(1796558400);
    EXPECT_EQ(info.dateText(), "6 December 2026");
    setenv("TZ", "Pacific/Kiritimati", 1); // UTC+14: already the next day
    tzset();
    EXPECT_EQ(info.dateText(), "7 December 2026");
    useUtc();
}

TEST(DocumentContent, DisplayTitleAndPoolOnlyForTheHp15c) {
    ProgramDocument doc;
    EXPECT_EQ(Content(doc, infoFor(15, "loan.15c"), {}, std::nullopt, {}).displayTitle(), "loan.15c");
    EXPECT_EQ(Content(doc, infoFor(15), {}, std::nullopt, {}).displayTitle(), "Untitled program");
    doc.title = "Loan";
    EXPECT_EQ(Content(doc, infoFor(15, "loan.15c"), {}, std::nullopt, {}).displayTitle(), "Loan");

    EXPECT_TRUE(contentOf({}, 15, {}, Pool15{}).pool);
    EXPECT_FALSE(contentOf({}, 16, {}, Pool15{}).pool);
    EXPECT_TRUE(contentOf({}, 12, {}, Pool15{}).memoryRows().empty());
    EXPECT_TRUE(contentOf({}, 15).memoryRows().empty());
    EXPECT_EQ(contentOf(listing({"LBL A"}), 15).analysis, ProgramAnalysis(listing({"LBL A"}), 15));
}

TEST(DocumentContent, ScreenTextFillsTenPositions) {
    EXPECT_EQ(screenText(step(1, "", "42, 21,11"), 15), "001-42, 21,11"); // 7 visible: no space
    EXPECT_EQ(screenText(step(7, "", "25"), 12), "07-     25");
    EXPECT_EQ(screenText(step(12, "", "44 .3"), 16), "012-  44 .3");
    EXPECT_EQ(screenText(step(1000, "", "43 32"), 15), "1000-43 32");
}

TEST(DocumentContent, LabelRows) {
    ProgramDocument doc;
    doc.labels["A"] = "entry";
    const Content c = contentOf(listing({"LBL A", "GTO A", "GSB 3", "GSB I", "LBL 5"}), 15, doc);
    const auto rows = c.labelRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (Content::LabelRow{"LBL 3", "", "not defined", "003 (GSB)"}));
    EXPECT_EQ(rows[1], (Content::LabelRow{"LBL 5", "", "005", "—"}));
    EXPECT_EQ(rows[2], (Content::LabelRow{"LBL A", "entry", "001", "002 (GTO)"}));
    EXPECT_EQ(rows[3], (Content::LabelRow{"I (indirect)", "", "computed in I", "004 (GSB)"}));

    const Content twelve = contentOf(listing({"GTO 03", "STO 1", "GTO 03", "GTO 00"}), 12);
    EXPECT_EQ(twelve.labelRows().at(0), (Content::LabelRow{"line 00", "", "00", "04 (GTO)"}));
    EXPECT_EQ(twelve.labelRows().at(1), (Content::LabelRow{"line 03", "", "03", "01, 03 (GTO)"}));

    ProgramAnalysis::Label quiet{"7", {2}, {4, 9}, {}, false};
    EXPECT_EQ(c.labelRow(quiet).called, "004, 009"); // calls without kinds: the steps alone
}

TEST(DocumentContent, RegisterAndFlagRows) {
    ProgramDocument doc;
    doc.registers["R1"] = {"", "the rate"};
    doc.registers["R2"] = {"count", "loop counter"};
    doc.flags["8"] = "";
    doc.flags["1"] = "print";
    const Content c = contentOf(listing({"STO 1", "RCL 1", "STO + 2", "RCL 3", "SF 1", "SF 8", "CF 8", "SF 2"}), 15, doc);
    const auto regs = c.registerRows();
    ASSERT_EQ(regs.size(), 3u);
    EXPECT_EQ(regs[0], (Content::RegisterRow{"R1", "the rate", "STO, RCL", "001, 002"}));
    EXPECT_EQ(regs[1], (Content::RegisterRow{"R2", "count: loop counter", "STO +", "003"}));
    EXPECT_EQ(regs[2], (Content::RegisterRow{"R3", "", "RCL", "004"}));
    const auto flags = c.flagRows();
    ASSERT_EQ(flags.size(), 3u);
    EXPECT_EQ(flags[0], (Content::RegisterRow{"Flag 1", "print", "SF", "005"}));
    EXPECT_EQ(flags[1], (Content::RegisterRow{"Flag 2", "", "SF", "008"}));
    EXPECT_EQ(flags[2].name, "complex mode (5 registers for the imaginary stack)"); // an empty note
    EXPECT_EQ(flags[2].use, "SF, CF");
}

TEST(DocumentContent, MatrixRowsNoteTheCurrentDimensions) {
    Pool15 pool;
    pool.rows = {2, 0, 3, 0, 0};
    pool.cols = {2, 0, 1, 0, 0};
    pool.result = 2;
    const Content c = contentOf(listing({"STO A", "RCL g C", "RCL MATRIX B", "MATRIX 9"}), 15, {}, pool);
    const auto rows = c.matrixRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].notes, "now 2×2; element at R0, R1 (USER mode steps the indices)");
    EXPECT_EQ(rows[1].notes, "now 0×0; descriptor recalled to X (for matrix arithmetic)");
    EXPECT_EQ(rows[2].notes, "now 3×1, the RESULT matrix; element at row Y, column X");
    EXPECT_EQ(rows[3], (Content::MatrixOpRow{"MATRIX n", "MATRIX 9", "004", "MATRIX 9: determinant"}));
    // Without a pool no dimensions are known.
    EXPECT_EQ(contentOf(listing({"STO A"}), 15).matrixRows()[0].notes, "element at R0, R1 (USER mode steps the indices)");
}

// A RESULT index that names no matrix (a damaged or foreign memory) marks none of them,
// even where the memory table shows it clamped to a letter.
TEST(DocumentContent, ResultIndexOutsideTheMatricesMarksNoMatrix) {
    const auto lines = listing({"STO A", "STO B", "STO C", "STO D", "STO E"});
    for (int result : {5, 7, -1, -5, 1000}) {
        Pool15 pool;
        pool.result = result;
        const auto rows = contentOf(lines, 15, {}, pool).matrixRows();
        ASSERT_EQ(rows.size(), 5u);
        for (const auto& row : rows) {
            EXPECT_EQ(row.notes.find("RESULT"), std::string::npos) << "result " << result << ": " << row.notes;
        }
    }
    Pool15 pool;
    pool.result = 4;
    EXPECT_EQ(contentOf(lines, 15, {}, pool).matrixRows()[4].notes,
              "now 0×0, the RESULT matrix; element at R0, R1 (USER mode steps the indices)");
}

TEST(DocumentContent, ListingRows) {
    ProgramDocument doc;
    const auto lines = solverListing();
    ASSERT_EQ(doc.setComment("here", 2, lines), ProgramDocument::CommentChange::stored);
    doc.comments.push_back(StepComment{3, "orphan", "42,23,12", {}, {}, true});
    const auto rows = contentOf(lines, 15, doc).listingRows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (Content::ListingRow{"001", "001-42,21,11", "f LBL A", "", true}));
    EXPECT_EQ(rows[1], (Content::ListingRow{"002", "002-  44 1", "STO 1", "here", false}));
    EXPECT_EQ(rows[2].comment, ""); // orphans are not shown on their old step
}

TEST(DocumentContent, MemoryRows) {
    const Content c = solverContent();
    const auto rows = c.memoryRows();
    ASSERT_EQ(rows.size(), 7u);
    std::vector<std::string> labels;
    for (const auto& row : rows) labels.push_back(row.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"DIM (i)", "Matrices", "RESULT", "Complex mode", "Flags set", "g MEM",
                                                "Needs at least"}));

    Pool15 pool;
    for (const auto& [dimI, last] : std::vector<std::pair<int, std::string>>{
             {9, "R9"}, {10, "R.0"}, {19, "R.9"}, {20, "R20"}, {25, "R25"}}) {
        pool.dimI = dimI;
        EXPECT_EQ(memoryValue(contentOf({}, 15, {}, pool), "DIM (i)"),
                  std::to_string(dimI) + ": R0–" + last + ", " + std::to_string(dimI + 1) + " storage registers");
    }
    EXPECT_EQ(memoryValue(contentOf({}, 15, {}, pool), "Matrices"), "none dimensioned (all 0×0)");
    pool.rows = {2, 0, 3, 0, 0};
    pool.cols = {2, 0, 1, 0, 0};
    pool.matrixRegisters = 7;
    pool.result = -4;
    pool.complex = true;
    const Content dimensioned = contentOf({}, 15, {}, pool, {1, 8, 9, 12});
    EXPECT_EQ(memoryValue(dimensioned, "Matrices"), "A 2×2, C 3×1 (7 registers)");
    EXPECT_EQ(memoryValue(dimensioned, "RESULT"), "matrix A");
    EXPECT_EQ(memoryValue(dimensioned, "Complex mode"), "on (flag 8): 5 registers hold the imaginary stack");
    EXPECT_EQ(memoryValue(dimensioned, "Flags set"), "1, 8 (complex), 9 (overflow)");
    EXPECT_EQ(memoryValue(contentOf({}, 15, {}, pool), "Flags set"), "none");
}

TEST(DocumentContent, NeedsAtLeastCountsTheSolveAndIntegrateWorkspace) {
    Pool15 pool;
    pool.storage = 3;
    pool.matrixRegisters = 4;
    pool.programRegisters = 2;
    pool.complex = true;
    const auto needs = [&](std::vector<std::string> mnemonics) {
        return memoryValue(contentOf(listing(mnemonics), 15, {}, pool), "Needs at least");
    };
    EXPECT_EQ(needs({}), "14 of 96 pool registers (R2… 3, matrices 4, complex 5, program 2)");
    EXPECT_EQ(needs({"∫ʸₓ 1"}), "37 of 96 pool registers (R2… 3, matrices 4, complex 5, program 2, SOLVE/∫ workspace 23)");
    EXPECT_EQ(needs({"SOLVE 1", "∫ʸₓ 1"}),
              "42 of 96 pool registers (R2… 3, matrices 4, complex 5, program 2, SOLVE/∫ workspace 28)");
    EXPECT_EQ(needs({"SOLVE 1"}), "19 of 96 pool registers (R2… 3, matrices 4, complex 5, program 2, SOLVE/∫ workspace 5)");
}

} // namespace
} // namespace tw
