// The sheet's texts: step lists, usage lines and the comment section.
#include <gtest/gtest.h>

#include "ui/sheet/program_notes_text.h"

namespace tw {
namespace {

using notes_text::stepList;

TEST(ProgramNotesText, StepListsShowEightStepsInTheModelsDigits) {
    EXPECT_EQ(stepList({}, 15), "");
    EXPECT_EQ(stepList({1, 2, 3, 4, 5, 6, 7, 8}, 15), "001, 002, 003, 004, 005, 006, 007, 008");
    EXPECT_EQ(stepList({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 15), "001, 002, 003, 004, 005, 006, 007, 008 \u2026");
    EXPECT_EQ(stepList({5, 12}, 12), "05, 12");
    EXPECT_EQ(stepList({5, 123}, 16), "005, 123");
}

TEST(ProgramNotesText, LabelRowsSayWhereTheLabelIsAndWhoCallsIt) {
    ProgramAnalysis::Label a{"A", {1}, {7, 9}, {"GSB", "GTO"}, false};
    EXPECT_EQ(notes_text::labelTitle(a, 15), "LBL A");
    EXPECT_EQ(notes_text::labelUsage(a, 15), "at 001 \u00B7 called from 007, 009 (GSB, GTO)");
    EXPECT_FALSE(notes_text::labelIsUndefined(a));

    ProgramAnalysis::Label line{"05", {5}, {}, {}, false};
    EXPECT_EQ(notes_text::labelTitle(line, 12), "line 05");
    EXPECT_EQ(notes_text::labelUsage(line, 12), "at 05 \u00B7 not called");

    ProgramAnalysis::Label missing{"3", {}, {4}, {"GTO"}, false};
    EXPECT_EQ(notes_text::labelUsage(missing, 15), "not defined \u00B7 called from 004 (GTO)");
    EXPECT_TRUE(notes_text::labelIsUndefined(missing));

    ProgramAnalysis::Label indirect{"I (indirect)", {}, {2}, {"GTO"}, true};
    EXPECT_EQ(notes_text::labelTitle(indirect, 15), "I (indirect)");
    EXPECT_EQ(notes_text::labelUsage(indirect, 15), "computed in I \u00B7 called from 002 (GTO)");
    EXPECT_FALSE(notes_text::labelIsUndefined(indirect));
}

TEST(ProgramNotesText, RegisterAndFlagUsage) {
    ProgramAnalysis::Register r;
    r.name = "R1";
    r.steps = {3, 8};
    r.operations = {"STO", "RCL"};
    EXPECT_EQ(notes_text::registerUsage(r, 15), "STO, RCL \u2014 003, 008");
    ProgramAnalysis::Flag f;
    f.name = "8";
    f.operations = {"SF", "F?"};
    EXPECT_EQ(notes_text::flagUsage(f), "SF, F?");
}

TEST(ProgramNotesText, CommentSectionCountsLiveCommentsAndListsOrphansWithThreeDigits) {
    ProgramDocument doc;
    EXPECT_EQ(notes_text::commentsHeader(doc), "Comments");
    doc.comments.push_back({.step = 2, .text = "live", .keys = "45 1", .before = {}, .after = {}});
    doc.comments.push_back({.step = 7, .text = "lost", .keys = "44 2", .before = {}, .after = {}, .orphaned = true});
    EXPECT_EQ(notes_text::commentsHeader(doc), "Comments that no longer match a step");
    EXPECT_EQ(notes_text::commentCountLine(doc),
              "Comments per step: double-click a line in the inspector's program list. 1 step comment(s) so far.");
    EXPECT_EQ(notes_text::orphanLine(doc.comments[1]), "was step 007 (44 2): lost");
}

// A long orphan shows its start, cut at a character and marked as cut; one at the
// limit shows whole.
TEST(ProgramNotesText, ALongOrphanShowsItsStart) {
    StepComment c{.step = 7, .text = {}, .keys = "44 2", .before = {}, .after = {}, .orphaned = true};
    c.text = std::string(notes_text::kOrphanLineTextBytes, 'a');
    EXPECT_EQ(notes_text::orphanLine(c), "was step 007 (44 2): " + c.text);
    c.text = std::string(notes_text::kOrphanLineTextBytes - 1, 'a') + "\u00e9" + std::string(800'000, 'b');
    const std::string line = notes_text::orphanLine(c); // compared, never printed: it could be a megabyte
    EXPECT_TRUE(line == "was step 007 (44 2): " + std::string(notes_text::kOrphanLineTextBytes - 1, 'a') + "\u2026")
        << line.size() << " bytes";
}

TEST(ProgramNotesText, TheInspectionsModelWinsOverTheDisplays) {
    EXPECT_EQ(notes_text::currentModel(12, 15), 12);
    EXPECT_EQ(notes_text::currentModel(std::nullopt, 16), 16);
}

} // namespace
} // namespace tw
