// The program information sheet, the welcome view and the about box, driven
// through the application model on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "../../notes/listing.h"
#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "ui/dialogs/wrapped_text.h"
#include "ui/sheet/about_view.h"
#include "ui/sheet/program_info_view.h"
#include "ui/sheet/program_notes_rows.h"
#include "ui/sheet/program_notes_text.h"
#include "ui/sheet/welcome_view.h"
#include "support/tool_tip_shows.h"

namespace tw {
namespace {

using testing::listing;

const QString kMarkup = QStringLiteral("<b>x</b> then <i>y</i>");

// Every label and wrapped text of `root` holding `marker` shows it as written, not as
// markup; answers how many there are.
int labelsShowingLiterally(const QWidget& root, const QString& marker) {
    int found = 0;
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        if (!label->text().contains(marker)) continue;
        ++found;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
    }
    for (const WrappedText* text : root.findChildren<WrappedText*>()) {
        if (!text->text().contains(marker)) continue;
        ++found;
        EXPECT_EQ(text->document()->toPlainText(), text->text());
    }
    return found;
}

class SheetViews : public ::testing::Test {
protected:
    void SetUp() override {
        EngineSnapshot display;
        display.model = 15;
        display.variant = 150;
        app.setSnapshot(display);
    }

    void showProgram(std::vector<ProgramLine> lines) { app.setDocLines(std::move(lines)); }

    MemoryPlatform platform;
    AppModel app{platform};
};

TEST_F(SheetViews, AProgramWithoutItemsShowsOnlyProgramDescriptionAndComments) {
    showProgram(listing({"ENTER", "+"}));
    ProgramInfoView sheet(app);
    EXPECT_TRUE(sheet.labelsSection()->isHidden());
    EXPECT_TRUE(sheet.registersSection()->isHidden());
    EXPECT_TRUE(sheet.flagsSection()->isHidden());
    EXPECT_FALSE(sheet.commentsSection()->isHidden());
    EXPECT_EQ(sheet.commentsSection()->title(), "Comments");
    EXPECT_EQ(sheet.stepsValue()->text(), "2");
    EXPECT_EQ(sheet.modelValue()->text(), "HP-15C");
    EXPECT_TRUE(sheet.removeOrphansButton()->isHidden());
    EXPECT_TRUE(sheet.fileName()->isHidden());
    EXPECT_TRUE(sheet.doneButton()->isDefault());
    EXPECT_EQ(sheet.authorField()->placeholderText(), "optional");

    // Typing right after the sheet opens goes into the title.
    sheet.show();
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    EXPECT_EQ(QApplication::focusWidget(), sheet.titleField());
}

TEST_F(SheetViews, SectionsFollowTheAnalysisAndTheModel) {
    showProgram(listing({"LBL A", "STO 1", "SF 8", "GSB 3", "RTN"}));
    ProgramInfoView sheet(app);
    EXPECT_EQ(sheet.labelsSection()->title(), "Labels");
    EXPECT_FALSE(sheet.registersSection()->isHidden());
    EXPECT_FALSE(sheet.flagsSection()->isHidden());
    QStringList usages;
    for (NoteRow* row : sheet.rows())
        if (auto* label = qobject_cast<LabelNoteRow*>(row)) usages << label->usage()->text();
    EXPECT_TRUE(usages.contains(QString::fromUtf8("not defined \u00B7 called from 004 (GSB)"))) << usages.join("|").toStdString();

    // No inspection: the display's model decides; the HP-12C has line jumps.
    EngineSnapshot twelve;
    twelve.model = 12;
    twelve.variant = 120;
    app.setSnapshot(twelve);
    showProgram(listing({"STO 1", "GTO 03", "+"}));
    EXPECT_EQ(sheet.currentModel(), 12);
    EXPECT_FALSE(sheet.labelsSection()->isHidden());
    EXPECT_EQ(sheet.labelsSection()->title(), "Branch targets");
    ASSERT_FALSE(sheet.rows().empty());
    auto* line = qobject_cast<LabelNoteRow*>(sheet.rows()[0]);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->usage()->text(), QString::fromUtf8("at 03 \u00B7 called from 02 (GTO)"));
    EngineSnapshot fifteenTwo;
    fifteenTwo.model = 15;
    fifteenTwo.variant = 152;
    app.setSnapshot(fifteenTwo);
    EXPECT_EQ(sheet.modelValue()->text(), "HP-15C (15.2)");
}

TEST_F(SheetViews, EditsReachTheNotesAndNothingElse) {
    showProgram(listing({"LBL A", "STO 1", "SF 8"}));
    ProgramInfoView sheet(app);
    const auto before = app.docLines();

    QTest::keyClicks(sheet.titleField(), "Loan");
    QTest::keyClicks(sheet.authorField(), "Ada");
    sheet.descriptionField()->setPlainText("## Usage\n- press A");
    EXPECT_EQ(app.programDoc().title, "Loan");
    EXPECT_EQ(app.programDoc().author, "Ada");
    EXPECT_EQ(app.programDoc().description, "## Usage\n- press A");

    for (NoteRow* row : sheet.rows()) {
        if (auto* label = qobject_cast<LabelNoteRow*>(row)) QTest::keyClicks(label->notes(), "entry");
        if (auto* reg = qobject_cast<RegisterNoteRow*>(row)) QTest::keyClicks(reg->noteName(), "rate");
        if (auto* flag = qobject_cast<FlagNoteRow*>(row)) QTest::keyClicks(flag->meaning(), "complex");
    }
    const ProgramDocument& doc = app.programDoc();
    EXPECT_EQ(doc.labels.at("A"), "entry");
    EXPECT_EQ(doc.registers.at("R1"), (RegisterNote{"rate", ""}));
    EXPECT_EQ(doc.flags.at("8"), "complex");
    EXPECT_EQ(app.docLines(), before);

    // Clearing a label's note keeps the entry with an empty text.
    for (NoteRow* row : sheet.rows())
        if (auto* label = qobject_cast<LabelNoteRow*>(row)) {
            label->notes()->selectAll();
            QTest::keyClick(label->notes(), Qt::Key_Backspace);
        }
    ASSERT_TRUE(app.programDoc().labels.count("A"));
    EXPECT_EQ(app.programDoc().labels.at("A"), "");
}

// A register's two fields each keep their own text, both ways.
TEST_F(SheetViews, ARegistersNameAndMeaningAreKeptApart) {
    showProgram(listing({"STO 1", "STO 2"}));
    ProgramDocument doc;
    doc.registers["R2"] = RegisterNote{"total", "sum of the payments"};
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    QMap<QString, RegisterNoteRow*> registers;
    for (NoteRow* row : sheet.rows())
        if (auto* reg = qobject_cast<RegisterNoteRow*>(row)) registers[reg->noteName()->accessibleDescription()] = reg;
    RegisterNoteRow* r1 = registers.value("R1");
    RegisterNoteRow* r2 = registers.value("R2");
    ASSERT_TRUE(r1 && r2);
    EXPECT_EQ(r2->noteName()->text(), "total");
    EXPECT_EQ(r2->meaning()->text(), "sum of the payments");

    // The meaning typed first makes a note with an empty name.
    QTest::keyClicks(r1->meaning(), "yearly");
    EXPECT_EQ(app.programDoc().registers.at("R1"), (RegisterNote{"", "yearly"}));
    QTest::keyClicks(r1->noteName(), "rate");
    EXPECT_EQ(app.programDoc().registers.at("R1"), (RegisterNote{"rate", "yearly"}));
    QTest::keyClicks(r2->meaning(), "!");
    EXPECT_EQ(app.programDoc().registers.at("R2"), (RegisterNote{"total", "sum of the payments!"}));
}

TEST_F(SheetViews, TypingKeepsTheRowsSoTheCursorStays) {
    showProgram(listing({"LBL A"}));
    ProgramInfoView sheet(app);
    ASSERT_EQ(sheet.rows().size(), 1u);
    NoteRow* first = sheet.rows()[0];
    QTest::keyClicks(static_cast<LabelNoteRow*>(first)->notes(), "abc");
    EXPECT_EQ(sheet.rows()[0], first);
    EXPECT_EQ(static_cast<LabelNoteRow*>(first)->notes()->text(), "abc");
}

TEST_F(SheetViews, NotesOfItemsThatLeftTheProgramStayVisible) {
    showProgram(listing({"LBL A", "LBL B"}));
    ProgramInfoView sheet(app);
    for (NoteRow* row : sheet.rows())
        if (auto* label = qobject_cast<LabelNoteRow*>(row)) QTest::keyClicks(label->notes(), "kept");
    showProgram(listing({"LBL A"}));
    int left = 0;
    for (NoteRow* row : sheet.rows())
        if (auto* label = qobject_cast<LabelNoteRow*>(row)) {
            EXPECT_EQ(label->notes()->text(), "kept");
            if (label->usage()->text() == leftProgramText()) ++left;
        }
    EXPECT_EQ(left, 1);
    EXPECT_EQ(app.programDoc().labels.at("B"), "kept");
}

TEST_F(SheetViews, OrphanedCommentsAreListedAndRemoved) {
    showProgram(listing({"LBL A", "RTN"}));
    ProgramDocument doc;
    doc.comments.push_back({.step = 1, .text = "start", .keys = "LBL A", .before = {}, .after = {}});
    doc.comments.push_back({.step = 7, .text = "gone", .keys = "45 2", .before = {}, .after = {}, .orphaned = true});
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    EXPECT_EQ(sheet.commentsSection()->title(), "Comments that no longer match a step");
    EXPECT_EQ(sheet.orphanRows(), QStringList{"was step 007 (45 2): gone"});
    EXPECT_TRUE(sheet.commentCount()->text().endsWith(" 1 step comment(s) so far."));
    EXPECT_FALSE(sheet.removeOrphansButton()->isHidden());
}

// An orphaned comment is one row: each of its line breaks and tabs reads as one space,
// also a CR LF that the row's cut parts.
TEST_F(SheetViews, AnOrphansLineBreaksAndTabsShowAsSpaces) {
    ProgramDocument doc;
    const std::vector<std::string> separators{"\n", "\r\n", "\r", "\v", "\f", "\u0085", "\u2028", "\u2029", "\t"};
    for (std::size_t i = 0; i < separators.size(); ++i)
        doc.comments.push_back({.step = std::int64_t(i), .text = "one" + separators[i] + "two", .keys = "45 2",
                                .before = {}, .after = {}, .orphaned = true});
    doc.comments.push_back({.step = 9, .text = std::string(notes_text::kOrphanLineTextBytes - 1, 'c') + "\r\n",
                            .keys = "45 2", .before = {}, .after = {}, .orphaned = true});
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    const QStringList rows = sheet.orphanRows();
    ASSERT_EQ(rows.size(), qsizetype(separators.size()) + 1);
    for (std::size_t i = 0; i < separators.size(); ++i)
        EXPECT_EQ(rows[qsizetype(i)].toStdString(), "was step 00" + std::to_string(i) + " (45 2): one two");
    EXPECT_TRUE(rows.back().endsWith(QString(8, 'c') + " " + QChar(0x2026)));
    EXPECT_EQ(app.programDoc().comments[1].text, "one\r\ntwo"); // the notes keep the comment as it is
    EXPECT_EQ(app.programDoc().comments[8].text, "one\ttwo");
}

// An orphan of most of a megabyte without a space shows its start, cut short, and the
// sheet stays as narrow as without it; the notes keep the whole comment.
TEST_F(SheetViews, ALongOrphanShowsItsStartAndKeepsTheSheetNarrow) {
    ProgramDocument doc;
    doc.comments.push_back(
        {.step = 11, .text = std::string(800'000, 'q'), .keys = "22 3", .before = {}, .after = {}, .orphaned = true});
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(sheet.orphanRows().size(), 1);
    const QString row = sheet.orphanRows()[0];
    EXPECT_TRUE(row.startsWith("was step 011 (22 3): qqq"));
    EXPECT_TRUE(row.endsWith(QChar(0x2026))) << row.size() << " characters";
    const auto* area = sheet.findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_LE(area->widget()->minimumSizeHint().width(), area->viewport()->width());
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_EQ(app.programDoc().comments[0].text.size(), 800'000u);
}

// The rows of orphaned comments are kept while the sheet is open: typing elsewhere
// leaves every row as it is, and a change of the list touches only the rows it changes.
TEST_F(SheetViews, OrphanRowsChangeInPlace) {
    ProgramDocument doc;
    for (int step = 1; step <= 3; ++step)
        doc.comments.push_back({.step = step, .text = "note " + std::to_string(step), .keys = "45 2", .before = {},
                                .after = {}, .orphaned = true});
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    const auto rows = [&] {
        std::vector<QPointer<QLabel>> out;
        for (QLabel* label : sheet.findChildren<QLabel*>())
            if (label->text().startsWith("was step ")) out.emplace_back(label);
        return out;
    };
    const auto before = rows();
    ASSERT_EQ(before.size(), 3u);

    QTest::keyClicks(sheet.descriptionField(), "ab");
    QCoreApplication::processEvents(); // anything deleted later is gone now
    ASSERT_EQ(app.programDoc().description, "ab");
    EXPECT_EQ(rows(), before);

    doc = app.programDoc();
    doc.comments.push_back({.step = 9, .text = "late", .keys = "45 3", .before = {}, .after = {}, .orphaned = true});
    app.setProgramDoc(doc);
    QCoreApplication::processEvents();
    auto now = rows();
    ASSERT_EQ(now.size(), 4u);
    EXPECT_EQ(std::vector(now.begin(), now.begin() + 3), before);
    EXPECT_TRUE(now[3]->isVisible());
    EXPECT_EQ(sheet.orphanRows(), (QStringList{"was step 001 (45 2): note 1", "was step 002 (45 2): note 2",
                                               "was step 003 (45 2): note 3", "was step 009 (45 3): late"}));

    doc.comments.erase(doc.comments.begin() + 1);
    app.setProgramDoc(doc);
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet.orphanRows(), (QStringList{"was step 001 (45 2): note 1", "was step 003 (45 2): note 3",
                                               "was step 009 (45 3): late"}));
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_TRUE(before[0] && before[1] && before[2]); // the first rows took the new texts

    sheet.removeOrphansButton()->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet.orphanRows().isEmpty());
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(sheet.removeOrphansButton()->isHidden());
    EXPECT_EQ(sheet.commentsSection()->title(), "Comments");
}

TEST_F(SheetViews, TheFooterNamesTheNotesFile) {
    app.setProgramDocURL(QString("/home/u/loan.15c.orvanedoc"));
    ProgramInfoView sheet(app);
    EXPECT_FALSE(sheet.fileName()->isHidden());
    EXPECT_EQ(sheet.fileName()->text(), "loan.15c.orvanedoc");
}

TEST_F(SheetViews, TextFromTheUserAndFilesIsShownAsWritten) {
    showProgram(listing({"LBL A"}));
    ProgramDocument doc;
    doc.title = kMarkup.toStdString();
    doc.labels["<b>B</b>"] = kMarkup.toStdString(); // kept from a program that had it
    doc.comments.push_back({.step = 7, .text = kMarkup.toStdString(), .keys = "45 2", .before = {}, .after = {},
                            .orphaned = true});
    app.setProgramDoc(doc);
    const QString fileName = "<b>loan<b> then <i>rate.orvanedoc"; // no slash in a file name
    app.setProgramDocURL("/home/u/" + fileName);
    ProgramInfoView sheet(app);
    EXPECT_EQ(labelsShowingLiterally(sheet, kMarkup), 1); // the orphaned comment
    EXPECT_EQ(labelsShowingLiterally(sheet, "<b>B</b>"), 1); // the kept label's title
    EXPECT_EQ(labelsShowingLiterally(sheet, fileName), 1);
    EXPECT_EQ(test::toolTipShows(sheet.fileName()->toolTip()), fileName);

    // A firmware named like a tag keeps the about box's two firmware lines.
    app.setFirmwareInfo("HP-15C CE");
    app.setFirmwareName(QString("<table><tr><td>15c.bin"));
    AboutView about(app);
    EXPECT_EQ(labelsShowingLiterally(about, "<table>"), 1);
    EXPECT_EQ(about.firmwareLabel()->text(), "Firmware: <table><tr><td>15c.bin\nHP-15C CE");
}

TEST_F(SheetViews, OpeningTheSheetStoresNothingAndEditsStoreOnlyTheirField) {
    showProgram(listing({"LBL A"}));
    ProgramDocument doc;
    doc.description = "Line one\r\nLine two\r\n";
    app.setProgramDoc(doc);
    QSignalSpy stored(&app, &AppModel::programDocChanged);
    ProgramInfoView sheet(app);
    sheet.show();
    EngineSnapshot again = app.snapshot(); // a new display refreshes the sheet
    again.variant = 152;
    app.setSnapshot(again);
    QCoreApplication::processEvents();
    EXPECT_EQ(stored.count(), 0);
    EXPECT_EQ(app.programDoc().description, "Line one\r\nLine two\r\n");

    // An edit of the title stores the title; the description's text stays as it was.
    QTest::keyClicks(sheet.titleField(), "T");
    EXPECT_EQ(app.programDoc().title, "T");
    EXPECT_EQ(app.programDoc().description, "Line one\r\nLine two\r\n");
    // An edit of the description stores what the editor holds.
    sheet.descriptionField()->moveCursor(QTextCursor::End);
    QTest::keyClicks(sheet.descriptionField(), "3");
    EXPECT_EQ(app.programDoc().description, "Line one\nLine two\n3");
}

TEST_F(SheetViews, ALongNotesFileNameIsCutInTheMiddleAndTheSheetStaysNarrow) {
    const QString name = QString(115, 'a') + "-middle-" + QString(107, 'z') + ".orvanedoc";
    ASSERT_EQ(name.size(), 240);
    app.setProgramDocURL("/home/u/" + name);
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    EXPECT_LE(sheet.width(), 700);
    EXPECT_LE(sheet.minimumSizeHint().width(), 600);
    EXPECT_LE(sheet.doneButton()->geometry().right(), sheet.width());
    const QString shown = sheet.fileName()->shownText();
    EXPECT_LT(shown.size(), name.size());
    EXPECT_TRUE(shown.startsWith("aaa")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(".orvanedoc")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_EQ(sheet.fileName()->toolTip(), name);
}

// A description of a million characters without a space or line break: the editor wraps
// it anywhere (at word boundaries Qt takes half a minute to lay it out), and a key typed
// at its end stores the whole text.
TEST_F(SheetViews, AMillionCharacterRunIsWrappedAnywhereAndStoredWhole) {
    ProgramDocument doc;
    doc.description = std::string(999'997, 'x') + "end";
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet.descriptionField()->wordWrapMode(), QTextOption::WrapAnywhere);
    sheet.descriptionField()->moveCursor(QTextCursor::End);
    QTest::keyClicks(sheet.descriptionField(), "!");
    EXPECT_EQ(app.programDoc().description.size(), 1'000'001u);
    EXPECT_TRUE(app.programDoc().description == doc.description + "!"); // not printed whole when it fails
}

// Words wrap at their boundaries until a run too long for that comes in, and again
// once it is gone.
TEST_F(SheetViews, TheDescriptionWrapsAtWordsUnlessARunIsTooLong) {
    ProgramDocument doc;
    doc.description = "Computes the payment of a loan.";
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    QPlainTextEdit* description = sheet.descriptionField();
    EXPECT_EQ(description->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    description->moveCursor(QTextCursor::End);
    description->insertPlainText(" " + QString(5000, 'y'));
    EXPECT_EQ(description->wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(app.programDoc().description, doc.description + " " + std::string(5000, 'y'));
    description->selectAll();
    QTest::keyClicks(description, "short words");
    EXPECT_EQ(description->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_EQ(app.programDoc().description, "short words");

    // A line end breaks a run: short lines without a space (one key a line) are no run
    // too long, however many, when the sheet opens and when more are typed.
    QString keys;
    for (int i = 0; i < 600; ++i) keys += "STO" + QString::number(i % 10) + '\n';
    doc.description = keys.toStdString();
    app.setProgramDoc(doc);
    ProgramInfoView reopened(app);
    QPlainTextEdit* lines = reopened.descriptionField();
    EXPECT_EQ(lines->toPlainText(), keys);
    EXPECT_EQ(lines->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    lines->moveCursor(QTextCursor::End);
    lines->insertPlainText(keys);
    EXPECT_EQ(lines->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_EQ(app.programDoc().description, (keys + keys).toStdString());
}

TEST_F(SheetViews, AnEmptiedKeptNoteKeepsItsRowUntilTheSheetOpensAgain) {
    showProgram(listing({"LBL A", "STO 1", "SF 8"}));
    {
        ProgramInfoView sheet(app);
        for (NoteRow* row : sheet.rows()) {
            if (auto* label = qobject_cast<LabelNoteRow*>(row)) QTest::keyClicks(label->notes(), "kept");
            if (auto* reg = qobject_cast<RegisterNoteRow*>(row)) QTest::keyClicks(reg->meaning(), "kept");
            if (auto* flag = qobject_cast<FlagNoteRow*>(row)) QTest::keyClicks(flag->meaning(), "kept");
        }
    }
    showProgram(listing({"ENTER"}));
    ProgramInfoView sheet(app);
    ASSERT_EQ(sheet.rows().size(), 3u);
    const std::vector<NoteRow*> rows = sheet.rows();
    auto empty = [](QLineEdit* field) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
    };
    for (NoteRow* row : rows) {
        if (auto* label = qobject_cast<LabelNoteRow*>(row)) empty(label->notes());
        if (auto* reg = qobject_cast<RegisterNoteRow*>(row)) empty(reg->meaning());
        if (auto* flag = qobject_cast<FlagNoteRow*>(row)) empty(flag->meaning());
        EXPECT_EQ(sheet.rows(), rows); // the row being typed in stays
    }
    // Typing again goes into the same field.
    auto* label = qobject_cast<LabelNoteRow*>(rows[0]);
    ASSERT_NE(label, nullptr);
    QTest::keyClicks(label->notes(), "b");
    EXPECT_EQ(app.programDoc().labels.at("A"), "b");
    empty(label->notes());

    ProgramInfoView reopened(app);
    EXPECT_TRUE(reopened.rows().empty());
    EXPECT_TRUE(reopened.labelsSection()->isHidden());
}

TEST_F(SheetViews, WelcomeFollowsStartingAndAsksForFirmware) {
    WelcomeView welcome(app);
    EXPECT_FALSE(welcome.showsSpinner());
    EXPECT_FALSE(welcome.chooseButton()->isHidden());
    app.setIsStarting(true);
    EXPECT_TRUE(welcome.showsSpinner());
    EXPECT_TRUE(welcome.chooseButton()->isHidden());
    app.setIsStarting(false);
    EXPECT_FALSE(welcome.showsSpinner());

    app.setImportTask(FileTask::notes);
    FileTask taskWhenAsked = FileTask::notes;
    QObject::connect(&app, &AppModel::showImporterChanged, [&] { taskWhenAsked = app.importTask(); });
    welcome.chooseButton()->click();
    EXPECT_TRUE(app.showImporter());
    EXPECT_EQ(taskWhenAsked, FileTask::firmware);
}

TEST_F(SheetViews, AboutShowsTheFirmwareOnlyWhenOneIsLoaded) {
    EXPECT_EQ(versionText("", ""), "1.0 (1)");
    EXPECT_EQ(versionText("0.1", "7"), "0.1 (7)");
    AboutView about(app);
    EXPECT_TRUE(about.firmwareLabel()->isHidden());
    app.setFirmwareInfo("HP-15C CE");
    app.setFirmwareName(QString("15c.bin"));
    EXPECT_FALSE(about.firmwareLabel()->isHidden());
    EXPECT_EQ(about.firmwareLabel()->text(), "Firmware: 15c.bin\nHP-15C CE");

    about.show();
    QSignalSpy closed(&about, &QDialog::finished);
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_EQ(closed.count(), 1);
}

} // namespace
} // namespace tw

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
