#include <gtest/gtest.h>

#include "notes/program_document.h"
#include "listing.h"

namespace tw {
namespace {

using testing::listing;
using testing::step;
using Report = ProgramDocument::RematchReport;
using Strings = std::vector<std::string>;

// Distinct key texts k1, k2, ... for filler steps.
Strings filler(int first, int count) {
    Strings keys;
    for (int i = first; i < first + count; ++i) keys.push_back("k" + std::to_string(i));
    return keys;
}

Strings concat(std::initializer_list<Strings> parts) {
    Strings all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

ProgramDocument commented(const std::vector<ProgramLine>& lines, std::initializer_list<std::pair<int, const char*>> notes) {
    ProgramDocument doc;
    for (const auto& [line, text] : notes) {
        EXPECT_EQ(doc.setComment(text, line, lines), ProgramDocument::CommentChange::stored);
    }
    return doc;
}

TEST(Rematch, UnchangedListingKeepsEveryComment) {
    const auto lines = listing(filler(1, 10));
    ProgramDocument doc = commented(lines, {{1, "one"}, {5, "five"}, {10, "ten"}});
    const ProgramDocument before = doc;
    EXPECT_EQ(doc.rematch(lines), (Report{3, 0, 0}));
    EXPECT_EQ(doc, before);
}

TEST(Rematch, InsertedAndDeletedStepsMoveComments) {
    const auto old = listing(filler(1, 10));
    ProgramDocument doc = commented(old, {{6, "six"}, {9, "nine"}});

    // A step inserted at line 2: both comments move one on with their neighbours.
    const auto inserted = listing(concat({{"k1", "new"}, filler(2, 9)}));
    EXPECT_EQ(doc.rematch(inserted), (Report{0, 2, 0}));
    EXPECT_EQ(doc.comment(7), "six");
    EXPECT_EQ(doc.comment(10), "nine");
    EXPECT_EQ(doc.comments[0].before, (Strings{"k4", "k5"}));

    // Two steps deleted before them: they move back.
    const auto deleted = listing(concat({{"k1"}, filler(4, 7)}));
    EXPECT_EQ(doc.rematch(deleted), (Report{0, 2, 0}));
    EXPECT_EQ(doc.comment(4), "six");
    EXPECT_EQ(doc.comment(7), "nine");

    // The commented step itself deleted: its comment is orphaned, not lost.
    auto withoutSix = filler(4, 7);
    withoutSix.erase(withoutSix.begin() + 2); // k6
    EXPECT_EQ(doc.rematch(listing(concat({{"k1"}, withoutSix}))), (Report{0, 1, 1}));
    ASSERT_EQ(doc.orphanedComments().size(), 1u);
    EXPECT_EQ(doc.orphanedComments()[0].step, 4);
    EXPECT_EQ(doc.comment(6), "nine");
    EXPECT_EQ(doc.comments.back().text, "six"); // orphans after the live comments
}

TEST(Rematch, MovedStepFollowsItsNeighbourhood) {
    // "x" at step 2 with neighbours a, b | c, d; the block moves 30 steps on,
    // while an "x" stays one step away with other neighbours.
    const auto old = listing({"a", "b", "x", "c", "d"});
    ProgramDocument doc = commented(old, {{3, "the x"}});
    auto lines = concat({{"p", "x", "q"}, filler(1, 27), {"a", "b", "x", "c", "d"}});
    EXPECT_EQ(doc.rematch(listing(lines)), (Report{0, 1, 0}));
    EXPECT_EQ(doc.comment(33), "the x");
}

TEST(Rematch, EqualScoresPreferTheNearerThenTheEarlierLine) {
    // No context matches anywhere: the comment stored none (a one-line program).
    ProgramDocument doc = commented(listing({"x"}), {{1, "c"}});
    doc.comments[0].step = 10;
    auto lines = listing(concat({filler(1, 4), {"x"}, filler(6, 9), {"x"}}));
    ASSERT_EQ(lines[4].line, 5);
    ASSERT_EQ(lines[14].line, 15);
    EXPECT_EQ(doc.rematch(lines), (Report{0, 1, 0}));
    EXPECT_EQ(doc.comment(5), "c"); // distance 5 both ways: the earlier line
    doc.comments[0] = StepComment{11, "c", "x", {}, {}, false};
    EXPECT_EQ(doc.rematch(lines), (Report{0, 1, 0}));
    EXPECT_EQ(doc.comment(15), "c"); // 6 against 4
}

// A comment stored for step `from` with the given context, rematched against
// a listing that has its keys only at `to`, with `score` neighbours repeated.
Report rematchAt(int from, int to, int score, int storedKeys = 4) {
    StepComment c{from, "t", "x", {"b2", "b1"}, {"a1", "a2"}, false};
    c.before.resize(static_cast<std::size_t>(std::min(storedKeys, 2)));
    c.after.resize(static_cast<std::size_t>(std::max(storedKeys - 2, 0)));
    if (storedKeys == 1) c.before = {"b1"};
    Strings keys = filler(1, to + 3);
    keys[static_cast<std::size_t>(to - 1)] = "x";
    const Strings context = {"b2", "b1", "x", "a1", "a2"};
    // Repeat the `score` nearest neighbours: b1, a1, b2, a2 in that order.
    const std::pair<int, const char*> order[] = {{-1, "b1"}, {1, "a1"}, {-2, "b2"}, {2, "a2"}};
    for (int i = 0; i < score; ++i) keys[static_cast<std::size_t>(to - 1 + order[i].first)] = order[i].second;
    ProgramDocument doc;
    doc.comments.push_back(c);
    return doc.rematch(listing(keys));
}

TEST(Rematch, DistanceLimits) {
    const Report moved{0, 1, 0};
    const Report lost{0, 0, 1};
    // Three or four neighbours: any distance.
    EXPECT_EQ(rematchAt(3, 400, 3), moved);
    // Two neighbours: up to 60 steps.
    EXPECT_EQ(rematchAt(10, 70, 2), moved);
    EXPECT_EQ(rematchAt(10, 71, 2), lost);
    // One neighbour: up to 3 steps.
    EXPECT_EQ(rematchAt(10, 13, 1), moved);
    EXPECT_EQ(rematchAt(10, 14, 1), lost);
    EXPECT_EQ(rematchAt(10, 7, 1), moved);
    // ...unless the comment stored only that one key: then up to 60.
    EXPECT_EQ(rematchAt(10, 70, 1, 1), moved);
    EXPECT_EQ(rematchAt(10, 71, 1, 1), lost);
    // No stored context: the nearest line with its keys within 60 steps.
    EXPECT_EQ(rematchAt(10, 70, 0, 0), moved);
    EXPECT_EQ(rematchAt(10, 71, 0, 0), lost);
    // Nothing repeated of a stored context: only the keys, never enough.
    EXPECT_EQ(rematchAt(10, 10, 0), lost);
}

TEST(Rematch, OrphansRevive) {
    const auto lines = listing({"a", "b", "x", "c", "d"});
    ProgramDocument doc = commented(lines, {{3, "x note"}});
    EXPECT_EQ(doc.rematch(listing({"a", "b", "c", "d"})), (Report{0, 0, 1}));
    EXPECT_EQ(doc.rematch(listing({"a", "b"})), (Report{0, 0, 0})); // not counted twice
    EXPECT_TRUE(doc.comments[0].orphaned);
    // The step comes back at its old place: live again, counted as moved.
    EXPECT_EQ(doc.rematch(lines), (Report{0, 1, 0}));
    EXPECT_EQ(doc.comment(3), "x note");
    EXPECT_FALSE(doc.comments[0].orphaned);
}

TEST(Rematch, EmptyListingOrphansEveryLiveComment) {
    ProgramDocument doc = commented(listing({"a", "b", "c"}), {{1, "1"}, {3, "3"}});
    doc.comments.push_back(StepComment{2, "old", "z", {}, {}, true});
    EXPECT_EQ(doc.rematch({}), (Report{0, 0, 2}));
    EXPECT_TRUE(doc.orphanedComments().size() == 3u);
    EXPECT_EQ(doc.comments[0].keys, "a"); // everything kept for later
    EXPECT_EQ(doc.comments[0].after, (Strings{"b", "c"}));
}

TEST(Rematch, EachLineTakesOneCommentSmallerStepsChooseFirst) {
    // Two live comments stored for the same step, as a hand-edited file may have.
    ProgramDocument doc;
    doc.comments.push_back(StepComment{2, "first", "x", {"a"}, {"x"}, false});
    doc.comments.push_back(StepComment{2, "second", "x", {"a"}, {"x"}, false});
    doc.comments.push_back(StepComment{9, "far", "x", {}, {}, true});
    const auto lines = listing({"a", "x", "x"});
    // "second" finds only line 3, where neither stored neighbour repeats; the
    // orphan "far" stored no context and takes that line within 60 steps.
    EXPECT_EQ(doc.rematch(lines), (Report{1, 1, 1}));
    EXPECT_EQ(doc.comment(2), "first");
    EXPECT_EQ(doc.comment(3), "far");
    ASSERT_EQ(doc.comments.size(), 3u);
    EXPECT_TRUE(doc.comments[2].orphaned);
    EXPECT_EQ(doc.comments[2].text, "second");
}

// An orphan and a live comment on one step: the first sort goes by step alone, so the
// one earlier in the document chooses first, whether it is orphaned or not.
TEST(Rematch, OrphanEarlierInTheDocumentChoosesFirstOnItsStep) {
    ProgramDocument doc;
    doc.comments.push_back(StepComment{2, "orphan", "x", {"a"}, {"b"}, true});
    doc.comments.push_back(StepComment{2, "live", "x", {"a"}, {"b"}, false});
    EXPECT_EQ(doc.rematch(listing({"a", "x", "b"})), (Report{0, 1, 1}));
    EXPECT_EQ(doc.comment(2), "orphan");
    ASSERT_EQ(doc.orphanedComments().size(), 1u);
    EXPECT_EQ(doc.orphanedComments()[0].text, "live");
}

// What users do to a program, with the counts the application reports.

TEST(Rematch, StepInsertedRightAfterACommentedStep) {
    const auto old = listing(filler(1, 10));
    ProgramDocument doc = commented(old, {{5, "five"}, {6, "six"}});
    const auto lines = listing(concat({filler(1, 5), {"new"}, filler(6, 5)}));
    // "five" keeps its step with three neighbours; "six" follows its key one step on.
    EXPECT_EQ(doc.rematch(lines), (Report{1, 1, 0}));
    EXPECT_EQ(doc.comment(5), "five");
    EXPECT_EQ(doc.comment(7), "six");
    EXPECT_EQ(doc.comment(6), std::nullopt);
    // The stored neighbours are those of the new listing, for the next change.
    EXPECT_EQ(doc.comments[0].after, (Strings{"new", "k6"}));
    EXPECT_EQ(doc.comments[1].before, (Strings{"k5", "new"}));
    EXPECT_EQ(doc.comments[1].after, (Strings{"k7", "k8"}));
    EXPECT_EQ(doc.rematch(lines), (Report{2, 0, 0}));
}

TEST(Rematch, TwoLabelledBlocksSwapped) {
    const auto old = listing({"LBL A", "1", "+", "RTN", "LBL B", "2", "×", "RTN"});
    ProgramDocument doc = commented(old, {{2, "one"}, {4, "end of A"}, {7, "times"}, {8, "end of B"}});
    const auto swapped = listing({"LBL B", "2", "×", "RTN", "LBL A", "1", "+", "RTN"});
    // Each comment goes with its block; the two RTNs trade places by their neighbours.
    EXPECT_EQ(doc.rematch(swapped), (Report{0, 4, 0}));
    EXPECT_EQ(doc.comment(6), "one");
    EXPECT_EQ(doc.comment(8), "end of A");
    EXPECT_EQ(doc.comment(3), "times");
    EXPECT_EQ(doc.comment(4), "end of B");
    // Swapped back, everything returns.
    EXPECT_EQ(doc.rematch(old), (Report{0, 4, 0}));
    EXPECT_EQ(doc.comment(2), "one");
    EXPECT_EQ(doc.comment(4), "end of A");
    EXPECT_EQ(doc.comment(7), "times");
    EXPECT_EQ(doc.comment(8), "end of B");
}

TEST(Rematch, RoutineDuplicatedAtTheTop) {
    const auto old = listing({"LBL A", "2", "×", "RTN", "LBL B", "3", "+", "RTN"});
    ProgramDocument doc = commented(old, {{3, "double"}, {7, "add three"}});
    // B copied to the top as C: the comments stay with the original routines, not the copy
    // that now stands nearer to "add three"'s old step.
    const auto lines = listing({"LBL C", "3", "+", "RTN", "LBL A", "2", "×", "RTN", "LBL B", "3", "+", "RTN"});
    EXPECT_EQ(doc.rematch(lines), (Report{0, 2, 0}));
    EXPECT_EQ(doc.comment(7), "double");
    EXPECT_EQ(doc.comment(11), "add three");
    EXPECT_EQ(doc.comment(3), std::nullopt);
}

TEST(Rematch, CommentedStepDeletedAndPutBack) {
    const auto old = listing(filler(1, 10));
    ProgramDocument doc = commented(old, {{5, "five"}, {8, "eight"}});
    auto without = filler(1, 10);
    without.erase(without.begin() + 4); // k5
    EXPECT_EQ(doc.rematch(listing(without)), (Report{0, 1, 1}));
    EXPECT_EQ(doc.comment(7), "eight");
    ASSERT_EQ(doc.orphanedComments().size(), 1u);
    EXPECT_EQ(doc.orphanedComments()[0].text, "five");
    // Put back where it was: the orphan comes back to life, counted as moved.
    EXPECT_EQ(doc.rematch(old), (Report{0, 2, 0}));
    EXPECT_EQ(doc.comment(5), "five");
    EXPECT_EQ(doc.comment(8), "eight");
    EXPECT_TRUE(doc.orphanedComments().empty());
}

TEST(Rematch, ExtremeStepsFromAFileDoNotOverflow) {
    ProgramDocument doc;
    doc.comments.push_back(StepComment{INT64_MIN, "low", "x", {}, {}, false});
    doc.comments.push_back(StepComment{INT64_MAX, "high", "x", {}, {}, false});
    EXPECT_EQ(doc.rematch(listing({"x"})), (Report{0, 0, 2}));
}

TEST(Rematch, ContextScore) {
    const auto lines = listing({"a", "b", "x", "c", "d"});
    StepComment c{3, "t", "x", {"a", "b"}, {"c", "d"}, false};
    EXPECT_EQ(ProgramDocument::contextScore(c, lines, 2), 4);
    c.before = {"q", "b"}; // a mismatch does not stop the count
    c.after = {"q", "d"};
    EXPECT_EQ(ProgramDocument::contextScore(c, lines, 2), 2);
    EXPECT_EQ(ProgramDocument::contextScore(c, lines, 0), 0);
    c.before = {"a"}; // one stored key compares with the nearest
    EXPECT_EQ(ProgramDocument::contextScore(c, lines, 1), 1);
}

} // namespace
} // namespace tw
