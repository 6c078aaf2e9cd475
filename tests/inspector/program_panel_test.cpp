// The program listing: rows, comments and their tooltips, menu, double-click and keeping the
// current step in view.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "inspector/inspector_fixtures.h"
#include "inspector/program_list.h"
#include "inspector/program_panel.h"
#include "inspector/section_header.h"
#include "support/hang_limit.h"
#include "support/tool_tip_shows.h"

namespace tw {
namespace {

class ProgramPanelTest : public test::WithApp {
protected:
    QString rowText(int row) const { return model()->index(row, 0).data(Qt::AccessibleTextRole).toString(); }
    ProgramListModel* model() const { return panel.list()->listing(); }
    ProgramPanel panel;
};

TEST_F(ProgramPanelTest, WithoutAListingOnlyThePlaceholderIsShown) {
    auto s = test::hp16cSnapshot();
    s.hasProgram = false;
    panel.setSnapshot(s, {});
    EXPECT_TRUE(panel.placeholderShown());
    panel.setSnapshot(test::hp16cSnapshot(), {});
    EXPECT_FALSE(panel.placeholderShown());
}

TEST_F(ProgramPanelTest, RowsCarryLabelsKeysPrefixesMnemonicsAndComments) {
    auto s = test::hp15cSnapshot(12);
    s.lines = 1; // the header counts what the calculator reports, never singular
    panel.setSnapshot(s, {{1, "entry point"}, {99, "nowhere"}});
    EXPECT_EQ(panel.header()->shownTitle(), "PROGRAM (1 LINES)");
    ASSERT_EQ(model()->rowCount(), 13);
    EXPECT_EQ(rowText(0), "000-");
    EXPECT_EQ(rowText(1), "001- 42,21,11 f LBL A entry point");
    EXPECT_EQ(rowText(4), "004- 43 30 g x≠0");
    EXPECT_EQ(model()->index(1, 0).data(Qt::ToolTipRole).toString(), "entry point");
    EXPECT_FALSE(model()->index(2, 0).data(Qt::ToolTipRole).isValid());
    EXPECT_EQ(ProgramListModel::stepLabel(7, 12), "07");
    EXPECT_EQ(ProgramListModel::stepLabel(100, 12), "100");
    EXPECT_EQ(ProgramListModel::stepLabel(7, 16), "007");
}

TEST_F(ProgramPanelTest, AStepCommentsTooltipShowsItsMarkupAsWritten) {
    const QString comment = QStringLiteral("<b>x</b> &amp; <i>y</i>  two  spaces");
    panel.setSnapshot(test::hp15cSnapshot(12), {{1, comment}});
    EXPECT_EQ(test::toolTipShows(model()->index(1, 0).data(Qt::ToolTipRole).toString()), comment);
}

// The line breaks and tabs a comment can hold (notes files carry them, the editor keeps
// pasted ones), each with the same comment written with a space in its place.
struct BrokenComment {
    QString broken;
    QString spaced;
};

std::vector<BrokenComment> brokenComments() {
    std::vector<BrokenComment> out;
    for (const QString& lineBreak : {QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r"),
                                     QStringLiteral("\v"), QStringLiteral("\f"), QStringLiteral(u"\u0085"),
                                     QStringLiteral(u"\u2028"), QStringLiteral(u"\u2029")})
        out.push_back({"para one" + lineBreak + "para two", "para one para two"});
    // Two breaks in a row are two spaces; a long comment is still cut at the row's end.
    QString longBroken = "blank\r\n\r\nline";
    QString longSpaced = "blank  line";
    for (int n = 0; n < 30; ++n) {
        longBroken += "\nmore " + QString::number(n);
        longSpaced += " more " + QString::number(n);
    }
    out.push_back({longBroken, longSpaced});
    // A tab was measured to its tab stop, and the row cut the comment short for it.
    out.push_back({"tab\tseparated\ttext", "tab separated text"});
    // At the start, a space is drawn in their place, as a comment's own leading space is.
    out.push_back({"\tafter a tab", " after a tab"});
    out.push_back({"\nafter a break", " after a break"});
    out.push_back({"\r\n\tafter both", "  after both"});
    return out;
}

// The comment as its tooltip holds it: each line break, a CR LF as one, as an LF.
QString withLineFeeds(QString text) {
    return text.replace(QRegularExpression(QStringLiteral(u"\r\n|[\r\v\f\u0085\u2028\u2029]")),
                        QStringLiteral("\n"));
}

TEST_F(ProgramPanelTest, EachLineBreakOrTabOfACommentShowsAsOneSpaceAndTheTooltipKeepsTheLines) {
    const auto comments = brokenComments();
    std::map<int, QString> byStep;
    for (std::size_t i = 0; i < comments.size(); ++i) byStep[int(i) + 11] = comments[i].broken;
    // A CR LF that the listing's cut parts: the CR left before the cut is one space too.
    const std::string cutInBreak = std::string(ProgramListModel::kListedCommentBytes - 1, 'a') + "\r\nb";
    byStep[1] = ProgramListModel::listedComment(cutInBreak);
    panel.setSnapshot(test::hp15cSnapshot(int(comments.size()) + 11), byStep);

    for (std::size_t i = 0; i < comments.size(); ++i) {
        const QModelIndex row = model()->index(int(i) + 11, 0);
        EXPECT_EQ(row.data(ProgramListModel::CommentRole).toString().toStdString(), comments[i].spaced.toStdString());
        EXPECT_TRUE(row.data(Qt::AccessibleTextRole).toString().endsWith(" " + comments[i].spaced)) << i;
        EXPECT_EQ(row.data(Qt::ToolTipRole).toString().toStdString(), withLineFeeds(comments[i].broken).toStdString());
    }
    const QString cut = model()->index(1, 0).data(ProgramListModel::CommentRole).toString();
    EXPECT_TRUE(cut == QString(qsizetype(ProgramListModel::kListedCommentBytes - 1), 'a') + " " + QChar(0x2026))
        << cut.right(3).toStdString();
}

// Rows 011 to 024 of a listing whose comments hold line breaks or tabs look, pixel for
// pixel, as with spaces in their place: no comment spills over the rows around it or is
// cut short before the row's end.
TEST_F(ProgramPanelTest, RowsOfCommentsWithLineBreaksOrTabsLookAsWithSpaces) {
    panel.resize(320, 700);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const auto comments = brokenComments();
    ASSERT_EQ(comments.size(), 13u);
    const int last = 11 + int(comments.size());
    auto s = test::hp15cSnapshot(last);
    s.line = 15; // a highlighted row among them
    const auto rowsShown = [&] {
        QCoreApplication::processEvents();
        std::vector<QImage> rows;
        for (int row = 11; row <= last; ++row) {
            const QRect r = panel.list()->visualRect(model()->index(row, 0));
            EXPECT_TRUE(panel.list()->viewport()->rect().contains(r)) << row;
            rows.push_back(panel.list()->viewport()->grab(r).toImage());
        }
        return rows;
    };
    const auto show = [&](bool broken) {
        std::map<int, QString> byStep;
        for (std::size_t i = 0; i < comments.size(); ++i)
            byStep[int(i) + 11] = broken ? comments[i].broken : comments[i].spaced;
        byStep[last] = broken ? "last\r\n" : "last "; // a break at the end
        panel.setSnapshot(s, byStep);
        return rowsShown();
    };
    const auto withSpaces = show(false);
    const auto withBreaks = show(true);
    for (std::size_t i = 0; i < withSpaces.size(); ++i)
        EXPECT_TRUE(withBreaks[i] == withSpaces[i]) << "step " << i + 11;
    panel.setSnapshot(s, {});
    EXPECT_FALSE(rowsShown()[0] == withSpaces[0]); // the comments are painted at all
}

// The size QToolTip gives a tip's label: a tip that looks like markup is laid out as a
// document, wrapped at a width Qt picks; a plain one is not wrapped unless it is wider than
// the screen. With `format` plain, the size of `tip` drawn as the plain text it is.
QSize tipLabelSize(const QString& tip, Qt::TextFormat format = Qt::AutoText) {
    QLabel label;
    label.setTextFormat(format);
    label.setWordWrap(format == Qt::AutoText && Qt::mightBeRichText(tip));
    label.setText(tip);
    if (!label.wordWrap() && label.sizeHint().width() > QGuiApplication::primaryScreen()->geometry().width())
        label.setWordWrap(true);
    return label.sizeHint();
}

// Each kind of line break of a comment starts a line of its own in the tooltip, a CR LF
// one line: Qt draws VT, FF, NEL and U+2029 as nothing, a plain tip's CR as a space and a
// document's CR LF as two breaks. A comment that looks like markup has the lines of its
// text drawn plain: a document wrapped a short line, and dropped a line feed at the start
// or the end and the first of two at the start.
TEST_F(ProgramPanelTest, EachLineBreakOfACommentStartsALineOfItsTooltip) {
    const QSize twoLines = tipLabelSize("delta\nepsilon");
    ASSERT_GT(twoLines.height(), tipLabelSize("delta epsilon").height());
    ASSERT_EQ(twoLines.width(), tipLabelSize("epsilon").width());
    std::vector<std::pair<QString, QString>> comments; // a comment, and its lines with LFs
    for (const QString& lineBreak : {QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r"),
                                     QStringLiteral("\v"), QStringLiteral("\f"), QStringLiteral(u"\u0085"),
                                     QStringLiteral(u"\u2028"), QStringLiteral(u"\u2029")}) {
        comments.push_back({"delta" + lineBreak + "epsilon", "delta\nepsilon"});
        comments.push_back({"<i>delta</i>" + lineBreak + "epsilon", "<i>delta</i>\nepsilon"});
        comments.push_back({lineBreak + "<b>rich</b>", "\n<b>rich</b>"});
    }
    const QString wide = QStringLiteral("<b>wider</b> than the screen ").repeated(60);
    for (const QString& lines : {QStringLiteral("\n\n<b>rich</b>"), QStringLiteral("<b>rich</b>\n"),
                                 QStringLiteral("<b>rich</b> one leading"), QStringLiteral("&lt;b&gt; one entity"),
                                 QStringLiteral("<!DOCTYPE html> one"), wide})
        comments.push_back({lines, lines});
    for (const auto& [comment, lines] : comments) {
        panel.setSnapshot(test::hp15cSnapshot(12), {{1, comment}});
        const QSize shown = tipLabelSize(model()->index(1, 0).data(Qt::ToolTipRole).toString());
        const QSize plain = tipLabelSize(lines, Qt::PlainText);
        EXPECT_TRUE(shown == plain) << comment.left(40).toStdString() << ": " << shown.width() << "x"
                                    << shown.height() << ", not " << plain.width() << "x" << plain.height();
    }
    // The line wider than the screen is wrapped, plain too.
    EXPECT_LT(tipLabelSize(wide, Qt::PlainText).width(), QGuiApplication::primaryScreen()->geometry().width());
}

TEST_F(ProgramPanelTest, AssistiveToolsSeeTheCurrentStepAsTheSelectedRow) {
    auto s = test::hp15cSnapshot(12);
    s.line = 4;
    panel.setSnapshot(s, {});
    const auto selected = [&] { return panel.list()->selectionModel()->selectedRows(); };
    ASSERT_EQ(selected().size(), 1);
    EXPECT_EQ(selected()[0].row(), 4);
    s.line = 7;
    panel.setSnapshot(s, {});
    ASSERT_EQ(selected().size(), 1);
    EXPECT_EQ(selected()[0].row(), 7);
    // A click does not move the selection away from the current step.
    panel.resize(320, 400);
    panel.show();
    const QRect other = panel.list()->visualRect(model()->index(2, 0));
    QTest::mouseClick(panel.list()->viewport(), Qt::LeftButton, {}, other.center());
    ASSERT_EQ(selected().size(), 1);
    EXPECT_EQ(selected()[0].row(), 7);
}

TEST_F(ProgramPanelTest, TheTopRowIsCurrentAtLineZeroAndTheHp12CUsesTwoDigits) {
    auto s = test::hp12cSnapshot();
    s.program.clear();
    s.line = 0;
    panel.setSnapshot(s, {});
    ASSERT_EQ(model()->rowCount(), 1);
    EXPECT_EQ(rowText(0), "00-");
    EXPECT_TRUE(model()->index(0, 0).data(ProgramListModel::CurrentRole).toBool());
}

TEST_F(ProgramPanelTest, MenuAndDoubleClickAskForTheEditorExceptOnTheTopRow) {
    panel.resize(320, 400);
    panel.show();
    panel.setSnapshot(test::hp15cSnapshot(12), {{3, "note"}});
    EXPECT_EQ(panel.list()->menuItemText(3), "Edit Comment…");
    EXPECT_EQ(panel.list()->menuItemText(2), "Add Comment…");
    EXPECT_EQ(panel.list()->menuItemText(0), "");
    QSignalSpy edits(&panel, &ProgramPanel::editRequested);
    panel.list()->scrollToTop();
    const QRect top = panel.list()->visualRect(model()->index(0, 0));
    QTest::mouseDClick(panel.list()->viewport(), Qt::LeftButton, {}, top.center());
    EXPECT_EQ(edits.count(), 0);
    const QRect third = panel.list()->visualRect(model()->index(3, 0));
    QTest::mouseDClick(panel.list()->viewport(), Qt::LeftButton, {}, QPoint(third.right() - 2, third.center().y()));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits[0][0].toInt(), 3);
}

TEST_F(ProgramPanelTest, ANewSnapshotRepaintsOnlyTheRowsThatChanged) {
    auto s = test::hp15cSnapshot(448);
    s.line = 10;
    panel.setSnapshot(s, {});
    QSignalSpy changed(model(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model(), &QAbstractItemModel::modelReset);
    s.line = 11;
    s.program[300].mnemonic = "STO 5";
    panel.setSnapshot(s, {{200, "loop"}});
    EXPECT_EQ(reset.count(), 0);
    QList<int> rows;
    for (const auto& args : changed) rows << args[0].value<QModelIndex>().row();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (QList<int>{10, 11, 200, 301}));
    EXPECT_TRUE(model()->index(11, 0).data(ProgramListModel::CurrentRole).toBool());
    // A step inserted: the listing is rebuilt.
    s.program.insert(s.program.begin() + 5, ProgramLine{1000, "40", "+", "", {}});
    panel.setSnapshot(s, {});
    EXPECT_EQ(reset.count(), 1);
}

TEST_F(ProgramPanelTest, TheCurrentStepIsCentredWhenItMovesAndWhenTheListingComesIntoView) {
    panel.resize(320, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    auto s = test::hp15cSnapshot(448);
    s.line = 0;
    s.running = true;
    panel.setSnapshot(s, {});
    QCoreApplication::processEvents();
    const auto centreOf = [&](int step) {
        const QRect r = panel.list()->visualRect(model()->index(model()->rowOfStep(step), 0));
        return r.center().y() - panel.list()->viewport()->height() / 2;
    };
    s.line = 300;
    panel.setSnapshot(s, {}); // running: a jump, no animation
    EXPECT_LE(std::abs(centreOf(300)), panel.list()->visualRect(model()->index(0, 0)).height());
    // A line that no row carries leaves the listing where it is.
    const int before = panel.list()->verticalScrollBar()->value();
    s.line = 5000;
    panel.setSnapshot(s, {});
    EXPECT_EQ(panel.list()->verticalScrollBar()->value(), before);
    // Stopped: the next move is animated and ends centred.
    s.running = false;
    s.line = 120;
    panel.setSnapshot(s, {});
    const auto centred = [&] {
        return std::abs(centreOf(120)) <= panel.list()->visualRect(model()->index(0, 0)).height();
    };
    EXPECT_TRUE(QTest::qWaitFor(centred, test::kHangLimitMs));
    // Hidden, scrolled away, shown again: centred on the current step.
    panel.hide();
    panel.list()->scrollToTop();
    panel.show();
    EXPECT_TRUE(QTest::qWaitFor(centred, test::kHangLimitMs));
}

} // namespace
} // namespace tw
