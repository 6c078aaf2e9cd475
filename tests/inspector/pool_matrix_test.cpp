// The memory pool bar and legend, and the matrix rows.
#include <gtest/gtest.h>

#include <algorithm>

#include <QClipboard>
#include <QTest>

#include "inspector/inspector_fixtures.h"
#include "inspector/inspector_style.h"
#include "inspector/matrix_row.h"
#include "inspector/pool_section.h"
#include "inspector/registers_panel.h"

namespace tw {
namespace {

using Case = Pool15::Kind::Case;

class PoolTest : public test::WithApp {
protected:
};

TEST_F(PoolTest, TooltipsNameTheSegmentItsCountAndItsAddresses) {
    EXPECT_EQ(PoolBar::help({Pool15::Kind::of(Case::storage), 0xBE, 18}), "R2–R19: 18 registers, Nut BE–CF");
    EXPECT_EQ(PoolBar::help({Pool15::Kind::of(Case::free), 0x05, 1}), "free: 1 register, Nut 05–05");
    EXPECT_EQ(PoolBar::help({Pool15::Kind::of(Case::workspace), 0x90, 23}),
              "SOLVE/∫ workspace: 23 registers, Nut 90–A6 (freed at the next key)");
    EXPECT_EQ(PoolBar::help({Pool15::Kind::ofMatrix(2), 0xD0, 5}), "matrix C: 5 registers, Nut D0–D4");
    EXPECT_EQ(PoolBar::help({Pool15::Kind::of(Case::complex), 0xA0, 5}),
              "complex (imaginary stack): 5 registers, Nut A0–A4");
    EXPECT_EQ(PoolBar::help({Pool15::Kind::of(Case::program), 0x100, 3}), "program: 3 registers, Nut 100–102");
}

TEST_F(PoolTest, BlocksAreProportionalWithGapsAndNeverNarrowerThanTwo) {
    const std::vector<Pool15::Segment> segs{{Pool15::Kind::of(Case::storage), 0, 1},
                                            {Pool15::Kind::of(Case::free), 1, 199}};
    const auto rects = PoolBar::segmentRects(segs, 151, 14);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_DOUBLE_EQ(rects[0].width(), 2.0);
    EXPECT_DOUBLE_EQ(rects[1].left(), 3.0);
    EXPECT_DOUBLE_EQ(rects[1].width(), 150.0 * 199 / 200);
    EXPECT_TRUE(PoolBar::segmentRects({}, 150, 14).empty());
}

TEST_F(PoolTest, TheBarAnswersTheSegmentUnderThePointer) {
    PoolBar bar;
    bar.resize(113, 14);
    Pool15 p = *test::hp15cSnapshot().pool;
    bar.setPool(p);
    const auto first = bar.segmentAt(QPoint(1, 7));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->kind.kind, Case::workspace);
    const auto last = bar.segmentAt(QPoint(112, 7));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->kind.kind, Case::program);
    EXPECT_TRUE(bar.accessibleDescription().startsWith("SOLVE/∫ workspace: 23 registers, Nut 90–A6"));
}

TEST_F(PoolTest, TheLegendGroupsByLabelAndFollowsMemoryOrder) {
    Pool15 p = *test::hp15cSnapshot().pool;
    const auto legend = poolLegend(p);
    QStringList texts;
    for (const auto& e : legend) texts << e.text();
    // Both kinds of free registers form one entry; the matrices one more.
    EXPECT_EQ(texts, (QStringList{"SOLVE/∫ workspace 23", "free 35", "R2… 18", "matrices 24", "program 12"}));
    // Matrices B and D only: the entry takes B's kind.
    p.rows = {0, 2, 0, 1, 0};
    p.cols = {0, 2, 0, 3, 0};
    p.starts = {0xD0, 0xD0, 0xD4, 0xD4, 0xD7};
    const auto again = poolLegend(p);
    const auto m = std::find_if(again.begin(), again.end(), [](const auto& e) { return e.label == "A–E"; });
    ASSERT_NE(m, again.end());
    EXPECT_EQ(m->kind, Pool15::Kind::ofMatrix(1));
    EXPECT_EQ(m->count, 7);
    EXPECT_EQ(poolColor(Pool15::Kind::ofMatrix(1), QPalette()), QColor(212, 176, 76));
    EXPECT_EQ(poolColor(Pool15::Kind::ofMatrix(3), QPalette()), QColor(157, 191, 98));
}

TEST_F(PoolTest, TheSectionShowsTheSummaryAndLegendInLinesOfThree) {
    PoolSection section;
    auto p = *test::hp15cSnapshot().pool;
    p.complex = true;
    section.setPool(p);
    EXPECT_EQ(section.summaryText(), "g MEM 19 12 46-4  ·  pool 112 registers + R0, R1");
    const auto lines = section.legendLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 3);
    EXPECT_EQ(lines[1].size(), 3);
    Pool15 empty;
    empty.base = empty.top = empty.pool = empty.programLow = 0x100;
    empty.gmem = "0 0 00-0";
    section.setPool(empty);
    EXPECT_TRUE(section.legendLines().empty());
    EXPECT_EQ(section.summaryText(), "g MEM 0 0 00-0  ·  pool 0 registers + R0, R1");
}

// Each legend line is laid out on its own, its entries 10 apart (a grid would
// align them in columns across lines); nothing is cut in the narrowest column;
// a summary that does not fit ends with an ellipsis.
TEST_F(PoolTest, LegendLinesStandOnTheirOwnAndTheSummaryIsCutWithAnEllipsis) {
    auto p = *test::hp15cSnapshot().pool;
    p.complex = true;
    {
        PoolSection section;
        section.setPool(p);
        section.show();
        QCoreApplication::processEvents();
        const auto& items = section.legendItems();
        ASSERT_EQ(items.size(), 6u);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const QRect at = items[i]->geometry();
            if (i % 3 == 0) {
                EXPECT_EQ(at.left(), 10) << i;
                continue;
            }
            const QRect before = items[i - 1]->geometry();
            EXPECT_EQ(at.left() - before.right() - 1, 10) << i;
            EXPECT_EQ(at.center().y(), before.center().y()) << i;
        }
        EXPECT_GT(items[3]->geometry().top(), items[0]->geometry().bottom());
    }
    p.complex = false;
    p.scratch = 0; // no SOLVE/∫ running: its registers are free
    p.gap = 46;
    PoolSection section;
    section.setPool(p);
    section.resize(260, section.sizeHint().height()); // the column's narrowest
    section.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(section.width(), 260);
    for (const QWidget* item : section.legendItems()) {
        EXPECT_GE(item->width(), item->sizeHint().width());
        EXPECT_LE(item->geometry().right(), section.width() - 10);
    }
    EXPECT_EQ(section.shownSummary(), section.summaryText());
    p.gmem = "19 12 46-4 19 12 46-4 19 12 46-4"; // too long even shrunk
    section.setPool(p);
    const QString shown = section.shownSummary();
    EXPECT_TRUE(shown.startsWith("g MEM 19")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(section.summaryText().endsWith("+ R0, R1"));

    // With SOLVE/∫ running and complex mode on, the first line is wider than the
    // narrowest column: its entries give way, none reaches past the margin.
    auto busy = *test::hp15cSnapshot().pool;
    busy.complex = true;
    PoolSection narrow;
    narrow.setPool(busy);
    narrow.resize(260, narrow.sizeHint().height());
    narrow.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(narrow.width(), 260);
    int lineWidth = 0;
    for (std::size_t i = 0; i < 3; ++i) lineWidth += narrow.legendItems()[i]->sizeHint().width() + (i ? 10 : 0);
    ASSERT_GT(lineWidth, 260 - 20); // the case that was cut through a letter
    for (const QWidget* item : narrow.legendItems()) EXPECT_LE(item->geometry().right(), narrow.width() - 10);
    // Only the line's widest entry gives way; the short ones keep their whole text.
    const auto& first = narrow.legendItems();
    const auto widest = std::max_element(first.begin(), first.begin() + 3, [](QWidget* a, QWidget* b) {
        return a->sizeHint().width() < b->sizeHint().width();
    });
    for (auto it = first.begin(); it != first.begin() + 3; ++it) {
        if (it == widest)
            EXPECT_LT((*it)->width(), (*it)->sizeHint().width());
        else
            EXPECT_GE((*it)->width(), (*it)->sizeHint().width());
    }
}

MatrixValue matrix(int index, int rows, int cols, int first, bool withValues = true) {
    MatrixValue m;
    m.index = index;
    m.rows = rows;
    m.cols = cols;
    m.first = first;
    if (withValues)
        for (int e = 0; e < rows * cols; ++e) m.values.push_back(test::decimalRegister("", std::to_string(e + 1), 1));
    return m;
}

TEST_F(PoolTest, MatrixHeadersNameSizeAndRegisters) {
    EXPECT_EQ(matrixSpanText(matrix(0, 2, 3, 0xA5)), "(6 regs, Nut A5–AA)");
    EXPECT_EQ(matrixSpanText(matrix(0, 1, 1, 0xA5)), "(1 regs, Nut A5–A5)");
    MatrixRow row;
    row.setMatrix(matrix(3, 0, 0, 0xD0));
    EXPECT_EQ(row.headerText(), "D 0×0");
    EXPECT_EQ(row.copyItemText(), "");
    row.toggle();
    EXPECT_FALSE(row.isExpanded());
    auto result = matrix(1, 2, 2, 0xC0);
    result.isResult = true;
    row.setMatrix(result);
    EXPECT_TRUE(row.resultShown());
    EXPECT_EQ(row.copyItemText(), "Copy Matrix B as TSV");
}

TEST_F(PoolTest, AClickOnTheHeaderUnfoldsTheGridWithinItsLimits) {
    MatrixRow row;
    row.setMatrix(matrix(0, 100, 1, 0x10));
    row.show();
    QTest::mouseClick(row.findChildren<QWidget*>().first(), Qt::LeftButton);
    ASSERT_TRUE(row.isExpanded());
    EXPECT_TRUE(row.gridShown());
    EXPECT_EQ(row.grid()->model()->rowCount(), 99);
    EXPECT_EQ(row.moreText(), "100×1: copy as TSV to see all");
    row.setMatrix(matrix(0, 3, 7, 0x10));
    EXPECT_EQ(row.grid()->model()->columnCount(), 7); // row number and six columns
    EXPECT_EQ(row.moreText(), "3×7: copy as TSV to see all");
    row.setMatrix(matrix(0, 3, 6, 0x10));
    EXPECT_EQ(row.moreText(), "");
    EXPECT_EQ(row.grid()->model()->index(1, 2).data().toString(), "8");
    EXPECT_EQ(row.grid()->model()->index(2, 0).data().toString(), "3");
}

// A cell's number shrinks to half its size before it is cut, and is cut at its
// end: its sign and leading digits are what a reader needs.
TEST_F(PoolTest, GridCellsShrinkToHalfSizeBeforeTheyAreCutAtTheEnd) {
    RegistersPanel panel;
    auto s = test::hp15cSnapshot();
    MatrixValue& a = s.matrices[0];
    a.rows = 3;
    a.cols = 6;
    a.values.clear();
    for (int e = 0; e < 18; ++e) a.values.push_back(test::decimalRegister("", "-1234500" + std::to_string(e % 10), 1));
    panel.setSnapshot(s);
    panel.resize(320, 900); // the column's default width
    panel.show();
    panel.matrixRow(0)->toggle();
    QCoreApplication::processEvents();
    const MatrixGridView* grid = panel.matrixRow(0)->grid();
    ASSERT_TRUE(panel.matrixRow(0)->gridShown());
    for (int r = 0; r < 3; ++r)
        for (int c = 1; c <= 6; ++c)
            EXPECT_EQ(grid->shownText(r, c), QString::fromStdString(a.value(r + 1, c)->text)) << r << "," << c;

    // Too long even at half size: cut at the end.
    panel.resize(200, 900);
    QCoreApplication::processEvents();
    const QString shown = grid->shownText(0, 1);
    EXPECT_TRUE(shown.startsWith("-1")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
}

TEST_F(PoolTest, UnfoldingLastsWhileTheMatrixIsRedimensioned) {
    MatrixRow row;
    row.setMatrix(matrix(0, 2, 2, 0x10));
    row.toggle();
    row.setMatrix(matrix(0, 0, 0, 0x10));
    EXPECT_FALSE(row.gridShown());
    EXPECT_TRUE(row.isExpanded());
    row.setMatrix(matrix(0, 2, 2, 0x10));
    EXPECT_TRUE(row.gridShown());
    // Dimensioned without values: it still folds and unfolds, with no grid.
    row.setMatrix(matrix(0, 2, 2, 0x10, false));
    EXPECT_FALSE(row.gridShown());
    row.toggle();
    EXPECT_FALSE(row.isExpanded());
}

TEST_F(PoolTest, CopyingAMatrixGivesTabSeparatedRowsWithoutATrailingLineFeed) {
    MatrixRow row;
    row.setMatrix(matrix(0, 2, 2, 0x10));
    QGuiApplication::clipboard()->setText("stale");
    row.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "1\t2\n3\t4");
    // Every element, beyond the grid's limits.
    row.setMatrix(matrix(0, 1, 8, 0x10));
    row.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "1\t2\t3\t4\t5\t6\t7\t8");
}

} // namespace
} // namespace tw
