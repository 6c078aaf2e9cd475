#include <gtest/gtest.h>

#include "content_fixture.h"

namespace tw {
namespace {

using namespace tw::testing;

TEST(PlainText, SmallDocumentByteForByte) {
    useUtc();
    // Tabs and line breaks in notes and comments become spaces in the tables;
    // the description keeps its lines, with line feeds only.
    const std::string expected =
        "Solver demo\n"
        "===========\n"
        "Model:     HP-15C\n"
        "Memory:    demo.15c\n"
        "Steps:     6\n"
        "Date:      6 December 2026\n"
        "Author:    Ada\n"
        "\n"
        "Finds a root.\n"
        "Uses B.\n"
        "\n"
        "LABELS\n"
        "\n"
        "Label  Defined      Called from  Notes\n"
        "-----  -----------  -----------  -----------\n"
        "LBL 2  not defined  004 (SOLVE)\n"
        "LBL A  001          —            entry point\n"
        "\n"
        "REGISTERS AND FLAGS\n"
        "\n"
        "Register  Use  Steps  Name / meaning\n"
        "--------  ---  -----  --------------------------------------------------\n"
        "R1        STO  002    guess\n"
        "Matrix B  DIM  003\n"
        "Flag 8    SF   005    complex mode (5 registers for the imaginary stack)\n"
        "\n"
        "MEMORY CONFIGURATION\n"
        "\n"
        "DIM (i)         1: R0–R1, 2 storage registers\n"
        "Matrices        B 2×3 (6 registers)\n"
        "RESULT          matrix B\n"
        "Complex mode    off\n"
        "Flags set       1, 8 (complex)\n"
        "g MEM           1 88 1-1   (DIM (i), free registers, program registers–bytes left; pool 96 registers + R0, "
        "R1)\n"
        "Needs at least  12 of 96 pool registers (R2… 0, matrices 6, complex 0, program 1, SOLVE/∫ workspace 5)\n"
        "\n"
        "MATRICES AND COMPLEX\n"
        "\n"
        "Item               Operations  Steps  Notes\n"
        "-----------------  ----------  -----  "
        "----------------------------------------------------------------------------------------\n"
        "Matrix B           DIM         003    now 2×3, the RESULT matrix; dimensioned by the program at step 003 "
        "(size from the stack)\n"
        "Complex            SF 8        005    flag 8 = complex mode (5 registers)\n"
        "SOLVE/∫ workspace  SOLVE       004    SOLVE borrows 5 registers while it runs\n"
        "\n"
        "LISTING\n"
        "\n"
        "Step  Display       Keys       Comment\n"
        "----  ------------  ---------  ---------------\n"
        "001   001-42,21,11  f LBL A\n"
        "002   002-  44 1    STO 1      store the guess\n"
        "003   003-42,23,12  f DIM B    dimension\n"
        "004   004-42,10, 2  f SOLVE 2\n"
        "005   005-43, 4, 8  g SF 8\n"
        "006   006- 43 32    g RTN\n"
        "\n"
        "COMMENTS NO LONGER MATCHING A STEP\n"
        "\n"
        "was 007 (45 3): was here\n";
    EXPECT_EQ(solverContent().plainText(), expected);
}

TEST(PlainText, EmptyProgram) {
    useUtc();
    ProgramDocumentInfo info;
    info.modelName = "HP-15C";
    info.memoryFile = "loan.15c";
    info.model = 15;
    info.date = utcSeconds(917825400); // 31 January 1999, 23:30
    const ProgramDocumentContent content(ProgramDocument{}, info, {}, std::nullopt, {});
    EXPECT_EQ(content.plainText(),
              "loan.15c\n"
              "========\n"
              "Model:     HP-15C\n"
              "Memory:    loan.15c\n"
              "Steps:     0\n"
              "Date:      31 January 1999\n"
              "\n"
              "LISTING\n"
              "\n"
              "Step  Display  Keys  Comment\n"
              "----  -------  ----  -------\n");
}

TEST(PlainText, Hp12cLineLabelsAndOrphans) {
    useUtc();
    ProgramDocument doc;
    doc.title = "Abc";
    doc.description = "x";
    doc.comments.push_back(StepComment{7, "gone\tfor\r\nnow", "44 1", {}, {}, true});
    ProgramDocumentInfo info{"HP-12C", "HP-12C CE\n1.0", "", 12, utcSeconds(1796558400)};
    const std::vector<ProgramLine> lines = {step(1, "GTO 02", "43,33 02", "g"), step(2, "x̄", "43  0", "g")};
    const std::string text = ProgramDocumentContent(doc, info, lines, solverPool(), {}).plainText();
    EXPECT_EQ(text,
              "Abc\n"
              "========\n"
              "Model:     HP-12C\n"
              "Firmware:  HP-12C CE 1.0\n"
              "Steps:     2\n"
              "Date:      6 December 2026\n"
              "\n"
              "x\n"
              "\n"
              "LABELS\n"
              "\n"
              "Label    Defined  Called from  Notes\n"
              "-------  -------  -----------  -----\n"
              "line 02  02       01 (GTO)\n"
              "\n"
              "LISTING\n"
              "\n"
              "Step  Display      Keys      Comment\n"
              "----  -----------  --------  -------\n"
              "01    01-43,33 02  g GTO 02\n" // 11 positions: never cut
              "02    02-  43  0   g x̄\n"     // the combining macron takes no column
              "\n"
              "COMMENTS NO LONGER MATCHING A STEP\n"
              "\n"
              "was 007 (44 1): gone for now\n");
}

TEST(PlainText, DescriptionKeepsItsLinesWithoutPageBreaksOrCarriageReturns) {
    useUtc();
    ProgramDocument doc;
    doc.description = "one\r\ntwo\fthree\rfour\tend";
    ProgramDocumentInfo info{"HP-16C", "", "", 16, utcSeconds(0)};
    const std::string text = ProgramDocumentContent(doc, info, {}, {}, {}).plainText();
    EXPECT_NE(text.find("\n\none\ntwo\nthree\nfour end\n\nLISTING\n"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\r\f\t"), std::string::npos);
}

TEST(PlainText, FlagsAloneMakeTheRegisterSection) {
    useUtc();
    ProgramDocumentInfo info{"HP-16C", "", "", 16, utcSeconds(0)};
    const std::string text = ProgramDocumentContent({}, info, {step(1, "SF 1", "43, 4, 1", "g")}, {}, {}).plainText();
    EXPECT_NE(text.find("\nREGISTERS AND FLAGS\n\n"
                        "Register  Use  Steps  Name / meaning\n"
                        "--------  ---  -----  --------------\n"
                        "Flag 1    SF   001\n"),
              std::string::npos);
    EXPECT_EQ(text.find("MEMORY"), std::string::npos);
    EXPECT_NE(text.find("Untitled program\n================\n"), std::string::npos);
}

TEST(PlainText, TableLines) {
    using Content = ProgramDocumentContent;
    EXPECT_EQ(Content::tableLine({"a", "", "", ""}, {3, 2, 2, 5}), "a");
    EXPECT_EQ(Content::tableLine({"", "b", "c", "d  "}, {1, 2, 2, 5}), "b   c   d");
    std::vector<std::string> out;
    Content::appendTable({"Item", "Ops", "Steps", "Notes"}, {{"x", "y", "z", std::string(40, 'n')}}, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], "Item  Ops  Steps  Notes");
    EXPECT_EQ(out[2], "x     y    z      " + std::string(40, 'n'));
}

} // namespace
} // namespace tw
