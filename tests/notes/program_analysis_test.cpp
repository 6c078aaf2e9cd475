#include <gtest/gtest.h>

#include "notes/program_analysis.h"
#include "listing.h"

namespace tw {
namespace {

using testing::listing;
using testing::step;
using Kind = ProgramAnalysis::RegisterKind;
using Strings = std::vector<std::string>;
using Steps = std::vector<int>;

const ProgramAnalysis::Label* findLabel(const ProgramAnalysis& a, const std::string& name) {
    for (const auto& label : a.labels) {
        if (label.name == name) return &label;
    }
    return nullptr;
}

const ProgramAnalysis::Register* findRegister(const ProgramAnalysis& a, const std::string& name) {
    for (const auto& reg : a.registers) {
        if (reg.name == name) return &reg;
    }
    return nullptr;
}

Strings registerNames(const ProgramAnalysis& a) {
    Strings names;
    for (const auto& reg : a.registers) names.push_back(reg.name);
    return names;
}

TEST(ProgramAnalysis, EmptyOrWordlessListingsKeepTheModel) {
    const ProgramAnalysis a({}, 16);
    EXPECT_EQ(a.model, 16);
    EXPECT_TRUE(a.labels.empty() && a.registers.empty() && a.flags.empty() && a.matrixOps.empty());
    const ProgramAnalysis b({step(1, ""), step(2, "   ")}, 15);
    EXPECT_EQ(b, ProgramAnalysis({}, 15));
}

TEST(ProgramAnalysis, Hp15cProgram) {
    // A small HP-15C program as the listing decoder prints it.
    const auto lines = listing({
        "LBL A",     // 1
        "STO 1",     // 2
        "LBL .1",    // 3
        "RCL × .3",  // 4
        "GSB 2",     // 5
        "GTO I",     // 6
        "x≷ (i)",    // 7
        "DSE I",     // 8
        "SF 8",      // 9
        "F? 8",      // 10
        "CF 12",     // 11: not a flag
        "GTO 12",    // 12: not a label
        "STO   +   1", // 13: several spaces count as one
        "LBL 1",     // 14
        "LBL 1",     // 15
        "SOLVE 1",   // 16
        "∫ʸₓ .1",    // 17
        "STO RAN#",  // 18
        "RCL RESULT", // 19
        "RTN",       // 20
    });
    const ProgramAnalysis a(lines, 15);

    EXPECT_EQ(a.labelNames(), (Strings{"1", "2", ".1", "A", "I (indirect)"}));
    EXPECT_EQ(findLabel(a, "1")->defined, (Steps{14, 15}));
    EXPECT_EQ(findLabel(a, "1")->callKinds, (Strings{"SOLVE"}));
    EXPECT_EQ(findLabel(a, ".1")->called, (Steps{17}));
    EXPECT_EQ(findLabel(a, ".1")->callKinds, (Strings{"∫ʸₓ"}));
    EXPECT_TRUE(findLabel(a, "I (indirect)")->isIndirect);
    EXPECT_EQ(findLabel(a, "I (indirect)")->callKinds, (Strings{"GTO"}));
    EXPECT_EQ(a.undefinedLabels(), (Strings{"2"}));

    EXPECT_EQ(registerNames(a), (Strings{"R1", "R.3", "I", "(i)", "RAN#", "RESULT"}));
    const auto* r1 = findRegister(a, "R1");
    EXPECT_EQ(r1->steps, (Steps{2, 13}));
    EXPECT_EQ(r1->operations, (Strings{"STO", "STO +"}));
    EXPECT_EQ(findRegister(a, "R.3")->operations, (Strings{"RCL ×"}));
    const auto* index = findRegister(a, "I");
    EXPECT_EQ(index->kind, Kind::index);
    EXPECT_EQ(index->steps, (Steps{6, 7, 8}));
    EXPECT_EQ(index->operations, (Strings{"GTO", "(i)", "DSE"}));
    EXPECT_EQ(findRegister(a, "(i)")->operations, (Strings{"x≷"}));
    EXPECT_EQ(findRegister(a, "RAN#")->kind, Kind::random);
    EXPECT_EQ(findRegister(a, "RESULT")->kind, Kind::result);

    ASSERT_EQ(a.flags.size(), 1u);
    EXPECT_EQ(a.flags[0].name, "8");
    EXPECT_EQ(a.flags[0].operations, (Strings{"SF", "F?"}));
    EXPECT_EQ(a.flags[0].meaning, "complex mode (5 registers for the imaginary stack)");
}

TEST(ProgramAnalysis, Hp15cMatrixOperands) {
    const auto lines = listing({"STO A", "RCL g B", "DIM (i)", "MATRIX 1", "RCL DIM (i)", "DIM C",
                                "RESULT D", "RCL MATRIX E", "STO MATRIX E", "STO g MATRIX", "RCL DIM A"});
    const ProgramAnalysis a(lines, 15);
    EXPECT_EQ(registerNames(a), (Strings{"Matrix A", "Matrix B", "Matrix C", "Matrix D", "Matrix E"}));
    EXPECT_EQ(findRegister(a, "Matrix A")->operations, (Strings{"STO", "RCL DIM"}));
    EXPECT_EQ(findRegister(a, "Matrix A")->kind, Kind::matrix);
    EXPECT_EQ(findRegister(a, "Matrix B")->operations, (Strings{"RCL g"}));
    EXPECT_EQ(findRegister(a, "Matrix C")->operations, (Strings{"DIM"}));
    EXPECT_EQ(findRegister(a, "Matrix D")->operations, (Strings{"RESULT"}));
    EXPECT_EQ(findRegister(a, "Matrix E")->operations, (Strings{"RCL MATRIX", "STO MATRIX"}));

    // Lettered operands are storage registers on the HP-16C and nothing on the HP-12C.
    EXPECT_EQ(registerNames(ProgramAnalysis(listing({"STO A", "RCL .B"}), 16)), (Strings{"R.B", "RA"})); // dotted before lettered
    EXPECT_TRUE(ProgramAnalysis(listing({"STO A", "LBL A"}), 12).registers.empty());
}

TEST(ProgramAnalysis, Hp16cProgram) {
    const auto lines = listing({"LBL F", "DSZ", "x≷I", "x≷(i)", "ISZ", "STO .F", "RCL 5", "SF 3", "CF I",
                                "F? (i)", "GSB b", "LBL .1", "WINDOW 2"});
    const ProgramAnalysis a(lines, 16);
    EXPECT_EQ(a.labelNames(), (Strings{".1", "F"}));
    const auto* index = findRegister(a, "I");
    EXPECT_EQ(index->operations, (Strings{"DSZ", "x≷", "(i)", "ISZ", "CF", "F?"}));
    EXPECT_EQ(index->steps, (Steps{2, 3, 4, 5, 9, 10}));
    EXPECT_EQ(findRegister(a, "(i)")->operations, (Strings{"x≷"}));
    EXPECT_EQ(registerNames(a), (Strings{"R5", "R.F", "I", "(i)"}));
    ASSERT_EQ(a.flags.size(), 2u);
    EXPECT_EQ(a.flags[0].name, "3");
    EXPECT_EQ(a.flags[1].name, "I (indirect)");
    EXPECT_EQ(a.flags[1].operations, (Strings{"CF", "F?"}));
    EXPECT_EQ(a.flags[0].meaning, ""); // meanings are the HP-15C's only
    EXPECT_TRUE(a.matrixOps.empty());
}

TEST(ProgramAnalysis, Hp12cProgram) {
    // Line jumps: the target line becomes the definition when the listing holds it, and
    // line 00, the top of program memory, is always there.
    const auto lines = listing({"STO 1", "GTO 05", "STO PV", "RCL g 12×", "n", "STO + 3", "RCL FV", "GTO 05",
                                "STO .5", "GTO 09", "GTO 40", "GTO 15", "GTO 00", "GTO 00"});
    const ProgramAnalysis a(lines, 12);
    EXPECT_EQ(a.labelNames(), (Strings{"00", "05", "09", "15", "40"}));
    EXPECT_EQ(findLabel(a, "00")->defined, (Steps{0}));
    EXPECT_EQ(findLabel(a, "00")->called, (Steps{13, 14}));
    EXPECT_EQ(a.undefinedLabels(), (Strings{"15", "40"}));
    const auto* five = findLabel(a, "05");
    EXPECT_EQ(five->defined, (Steps{5}));
    EXPECT_EQ(five->called, (Steps{2, 8}));
    EXPECT_EQ(five->callKinds, (Strings{"GTO"}));
    EXPECT_EQ(findLabel(a, "09")->defined, (Steps{9}));
    EXPECT_TRUE(findLabel(a, "40")->defined.empty()); // beyond the 14 lines
    EXPECT_TRUE(findLabel(a, "15")->defined.empty()); // one past the last line
    EXPECT_EQ(registerNames(a), (Strings{"R1", "R3", "R.5", "PV", "FV"}));
    EXPECT_EQ(findRegister(a, "PV")->kind, Kind::financial);
    EXPECT_EQ(findRegister(a, "R3")->operations, (Strings{"STO +"}));
    EXPECT_TRUE(a.flags.empty());
    EXPECT_TRUE(a.matrixOps.empty());

    // "LBL A" is no label there, and a STO with the operands g and 5 adds nothing.
    EXPECT_TRUE(ProgramAnalysis(listing({"LBL A", "STO g 5", "SF 1"}), 12).labels.empty());
    EXPECT_TRUE(ProgramAnalysis(listing({"STO g 5"}), 12).registers.empty());
}

TEST(ProgramAnalysis, NameTests) {
    EXPECT_TRUE(ProgramAnalysis::isLabelName("A", 15));
    EXPECT_FALSE(ProgramAnalysis::isLabelName("F", 15));
    EXPECT_TRUE(ProgramAnalysis::isLabelName("F", 16));
    EXPECT_FALSE(ProgramAnalysis::isLabelName("A", 12));
    EXPECT_TRUE(ProgramAnalysis::isLabelName(".7", 12));
    EXPECT_FALSE(ProgramAnalysis::isLabelName("12", 15));
    EXPECT_FALSE(ProgramAnalysis::isLabelName(".A", 16));
    EXPECT_TRUE(ProgramAnalysis::isRegisterName(".A", 16));
    EXPECT_FALSE(ProgramAnalysis::isRegisterName(".A", 15));
    EXPECT_FALSE(ProgramAnalysis::isRegisterName("", 15));
    EXPECT_FALSE(ProgramAnalysis::isRegisterName("×", 15)); // one character, not one byte, and not a digit
    EXPECT_FALSE(ProgramAnalysis::registerKind(7));
    EXPECT_EQ(ProgramAnalysis::registerKind(6), Kind::result);
}

TEST(ProgramAnalysis, SortOrders) {
    const ProgramAnalysis labels(listing({"GTO I", "LBL A", "LBL .1", "LBL 2"}), 15);
    EXPECT_EQ(labels.labelNames(), (Strings{"2", ".1", "A", "I (indirect)"}));

    const ProgramAnalysis flags(listing({"SF I", "SF 9", "CF 0"}), 15);
    ASSERT_EQ(flags.flags.size(), 3u);
    EXPECT_EQ(flags.flags[0].name, "0");
    EXPECT_EQ(flags.flags[1].name, "9");
    EXPECT_EQ(flags.flags[1].meaning, "overflow (blinking display)");
    EXPECT_EQ(flags.flags[2].name, "I (indirect)");

    // Financial registers in their own order, after the storage registers.
    const ProgramAnalysis money(listing({"RCL FV", "STO PMT", "STO n", "RCL i", "STO PV", "STO .0", "STO 9"}), 12);
    EXPECT_EQ(registerNames(money), (Strings{"R9", "R.0", "n", "i", "PV", "PMT", "FV"}));
}

TEST(ProgramAnalysis, RegisterStepsAndOperationsOnce) {
    const auto lines = std::vector<ProgramLine>{step(3, "STO 5"), step(7, "RCL 5"), step(9, "STO 5")};
    const ProgramAnalysis a(lines, 15);
    ASSERT_EQ(a.registers.size(), 1u);
    EXPECT_EQ(a.registers[0].steps, (Steps{3, 7, 9}));
    EXPECT_EQ(a.registers[0].operations, (Strings{"STO", "RCL"}));
    // A register keeps the kind of its first use.
    const ProgramAnalysis b(listing({"STO − .3", "RCL (i)"}), 15);
    EXPECT_EQ(findRegister(b, "R.3")->operations, (Strings{"STO −"}));
    EXPECT_EQ(findRegister(b, "(i)")->kind, Kind::indirect);
    EXPECT_EQ(findRegister(b, "I")->operations, (Strings{"(i)"}));
}

using Op = ProgramAnalysis::MatrixOp;

TEST(MatrixOperations, ItemsNotesAndOrder) {
    const auto lines = std::vector<ProgramLine>{
        step(3, "DIM A"),       step(9, "DIM A"),      step(10, "MATRIX 7"),   step(11, "MATRIX X"),
        step(12, "RESULT C"),   step(13, "RCL MATRIX A"), step(14, "STO MATRIX A"), step(15, "RCL + MATRIX B"),
        step(16, "STO + A"),    step(17, "SF 8"),      step(18, "F? 8"),       step(19, "CF 9"),
        step(20, "SOLVE 1"),    step(21, "∫ʸₓ 2"),     step(22, "DIM (i)"),    step(23, "STO g C"),
        step(24, "RCL DIM (i)"), step(25, "I"),        step(26, "Re≷Im"),      step(1234, "STO RESULT"),
    };
    const auto ops = ProgramAnalysis::matrixOperations(lines);
    Strings items;
    for (const Op& op : ops) items.push_back(op.item);
    EXPECT_EQ(items, (Strings{"DIM (i)", "Matrix A", "Matrix B", "Matrix C", "RESULT", "MATRIX n", "Complex",
                              "SOLVE/∫ workspace"}));

    EXPECT_EQ(ops[0], (Op{"DIM (i)", {22, 24}, {"DIM (i)", "RCL DIM (i)"},
                          {"storage registers set by the program at step 022 (from X)"}}));
    EXPECT_EQ(ops[1], (Op{"Matrix A",
                          {3, 9, 13, 14, 16},
                          {"DIM", "RCL MATRIX", "STO MATRIX", "STO +"},
                          {"dimensioned by the program at step 003 (size from the stack)",
                           "dimensioned by the program at step 009 (size from the stack)",
                           "descriptor recalled to X (for matrix arithmetic)",
                           "element at R0, R1 (USER mode steps the indices)"}}));
    EXPECT_EQ(ops[2], (Op{"Matrix B", {15}, {"RCL + MATRIX"}, {}}));
    EXPECT_EQ(ops[3], (Op{"Matrix C", {12, 23}, {"RESULT", "STO g"}, {"element at row Y, column X"}}));
    EXPECT_EQ(ops[4], (Op{"RESULT", {12, 1234}, {"RESULT C", "STO RESULT"}, {"results go to matrix C"}}));
    EXPECT_EQ(ops[5], (Op{"MATRIX n", {10, 11}, {"MATRIX 7", "MATRIX X"}, {"MATRIX 7: row norm"}}));
    EXPECT_EQ(ops[6], (Op{"Complex", {17, 18, 25, 26}, {"SF 8", "F? 8", "f I", "Re≷Im"},
                          {"flag 8 = complex mode (5 registers)", "f I and Re≷Im turn on complex mode (flag 8)"}}));
    EXPECT_EQ(ops[7], (Op{"SOLVE/∫ workspace", {20, 21}, {"SOLVE", "∫ʸₓ"},
                          {"SOLVE borrows 5 registers while it runs", "∫ borrows 23 registers while it runs"}}));

    EXPECT_TRUE(ProgramAnalysis::matrixOperations(listing({"STO 1", "CF 9", "DIM", "RESULT 5"})).empty());
    // Only the HP-15C analysis lists them.
    EXPECT_TRUE(ProgramAnalysis(listing({"DIM A", "SOLVE 1"}), 16).matrixOps.empty());
    EXPECT_EQ(ProgramAnalysis(listing({"DIM A"}), 15).matrixOps.size(), 1u);
}

// The HP-12C has no flags: flag-like lines of its listing record none (and no index register).
TEST(ProgramAnalysis, Hp12cRecordsNoFlags) {
    const auto lines = listing({"SF 3", "CF 0", "F? 1", "SF I", "CF (i)"});
    const ProgramAnalysis a(lines, 12);
    EXPECT_TRUE(a.flags.empty());
    EXPECT_TRUE(a.registers.empty());
    EXPECT_EQ(ProgramAnalysis(lines, 15).flags.size(), 4u) << "the same lines are flags on the HP-15C";
}

// "DIM I" names neither a matrix nor DIM (i): it adds no item and no register.
TEST(MatrixOperations, DimIAddsNothing) {
    EXPECT_TRUE(ProgramAnalysis::matrixOperations(listing({"DIM I"})).empty());
    const ProgramAnalysis a(listing({"DIM I", "DIM (i)"}), 15);
    ASSERT_EQ(a.matrixOps.size(), 1u);
    EXPECT_EQ(a.matrixOps[0].item, "DIM (i)");
    EXPECT_EQ(a.matrixOps[0].steps, (Steps{2}));
    EXPECT_TRUE(a.registers.empty());
}

TEST(MatrixOperations, StepTextsGrowBeyondThreeDigits) {
    const auto ops = ProgramAnalysis::matrixOperations({step(1000, "DIM B")});
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].notes, (Strings{"dimensioned by the program at step 1000 (size from the stack)"}));
}

} // namespace
} // namespace tw
