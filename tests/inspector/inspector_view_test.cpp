// The inspector column on AppModel: placeholder, pane choice, step comments
// and the comment editor.
#include <gtest/gtest.h>

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextItem>
#include <QTextLayout>

#include "app/app_model.h"
#include "inspector/comment_editor.h"
#include "inspector/comment_field.h"
#include "inspector/content_unavailable.h"
#include "inspector/inspector_fixtures.h"
#include "inspector/inspector_header.h"
#include "inspector/inspector_view.h"
#include "inspector/program_list.h"
#include "inspector/program_panel.h"
#include "inspector/register_list.h"
#include "inspector/registers_panel.h"
#include "long_text_layouts.h"
#include "platform/memory_platform.h"

namespace tw {
namespace {

StepComment comment(int step, const std::string& text, bool orphaned = false) {
    StepComment c;
    c.step = step;
    c.text = text;
    c.orphaned = orphaned;
    return c;
}

// A paint device that keeps no picture, only a count of the characters drawn on it.
class DrawnCharacters : public QPaintDevice {
public:
    qsizetype count() const { return engine_.count; }
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 1000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { count += item.text().size(); }
        Type type() const override { return User; }
        qsizetype count = 0;
    };
    mutable Engine engine_;
};

class InspectorViewTest : public test::WithApp {
protected:
    MemoryPlatform platform;
    AppModel app{platform};
};

TEST_F(InspectorViewTest, ThePlaceholderSaysWhyThereIsNothingToInspect) {
    InspectorView view(app);
    EXPECT_TRUE(view.placeholderShown());
    EXPECT_EQ(view.placeholder()->title(), "Nothing to inspect");
    EXPECT_EQ(view.placeholder()->description(), "Choose a firmware file first.");
    app.setIsRunning(true);
    EXPECT_EQ(view.placeholder()->description(), "The calculator is switching models.");
    app.setInspection(test::hp15cSnapshot());
    EXPECT_FALSE(view.placeholderShown());
    EXPECT_EQ(view.header()->titleText(), "HP-15C");
    app.setInspection(std::nullopt);
    EXPECT_TRUE(view.placeholderShown());
}

TEST_F(InspectorViewTest, ThePaneChoiceIsReadAndKeptInTheSettings) {
    platform.setSetting(InspectorView::kPaneKey, "program");
    app.setInspection(test::hp15cSnapshot());
    {
        InspectorView view(app);
        view.show();
        EXPECT_EQ(view.pane(), InspectorPane::program);
        EXPECT_TRUE(view.picker()->button(int(InspectorPane::program))->isChecked());
        EXPECT_TRUE(view.registers()->isHidden());
        EXPECT_FALSE(view.program()->isHidden());
        view.picker()->button(int(InspectorPane::registers))->click();
        EXPECT_FALSE(view.registers()->isHidden());
        EXPECT_TRUE(view.program()->isHidden());
        EXPECT_EQ(platform.setting(InspectorView::kPaneKey).toString(), "registers");
    }
    platform.setSetting(InspectorView::kPaneKey, "everything");
    InspectorView other(app);
    EXPECT_EQ(other.pane(), InspectorPane::both);
    EXPECT_TRUE(other.picker()->button(int(InspectorPane::both))->isChecked());
    QStringList titles;
    for (QAbstractButton* b : other.picker()->buttons()) titles << b->text();
    EXPECT_EQ(titles, (QStringList{"Both", "Registers", "Program"}));
}

// The calculator is not inspected while the column is hidden: the first
// inspection after it comes back shows the registers as they are, without a
// flash; changes after that flash again.
TEST_F(InspectorViewTest, RegistersThatChangedWhileTheColumnWasHiddenDoNotFlash) {
    QWidget column;
    auto* view = new InspectorView(app, &column);
    app.setIsRunning(true);
    InspectorSnapshot s = test::hp15cSnapshot();
    app.setInspection(s);
    column.show();
    RegisterListModel* stack = view->registers()->stackList()->registers();
    auto flashing = [&] {
        for (int i = 0; i < stack->rowCount(); ++i)
            if (stack->isFlashing(i)) return true;
        return false;
    };
    column.hide();
    s.stack[0] = test::decimalRegister("X", "7.000000000", 0x7);
    column.show();
    app.setInspection(s);
    EXPECT_FALSE(flashing());
    s.stack[0] = test::decimalRegister("X", "8.000000000", 0x8);
    app.setInspection(s);
    EXPECT_TRUE(stack->isFlashing(0));

    // Nor does a change that reached the hidden column.
    column.hide();
    s.stack[1] = test::decimalRegister("Y", "9.000000000", 0x9);
    app.setInspection(s);
    column.show();
    EXPECT_FALSE(flashing());
}

TEST_F(InspectorViewTest, LiveCommentsReachTheListingTheFirstOneWinning) {
    ProgramDocument doc;
    doc.comments = {comment(2, "gone", true), comment(12, "a"), comment(12, "b")};
    const auto map = InspectorView::stepComments(doc);
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(map.at(12), "a");

    app.setInspection(test::hp15cSnapshot(12));
    app.setProgramDoc(doc);
    InspectorView view(app);
    const auto* listing = view.program()->list()->listing();
    EXPECT_EQ(listing->index(12, 0).data(ProgramListModel::CommentRole).toString(), "a");
    EXPECT_EQ(listing->index(2, 0).data(ProgramListModel::CommentRole).toString(), "");
    // The editor starts from the live comment; an orphan gives an empty draft.
    view.editComment(12);
    EXPECT_EQ(view.editor()->draft(), "a");
    view.cancel();
    view.editComment(2);
    EXPECT_EQ(view.editor()->draft(), "");
    view.cancel();
    // New notes repaint the listing.
    doc.comments.push_back(comment(3, "new"));
    app.setProgramDoc(doc);
    EXPECT_EQ(listing->index(3, 0).data(ProgramListModel::CommentRole).toString(), "new");
}

// A comment of most of a megabyte: the listing and its tooltip show its start, cut at
// a character, and the editor still gets, and saves, the whole text.
TEST_F(InspectorViewTest, AVeryLongCommentIsListedByItsStartAndEditedWhole) {
    std::string text = std::string(ProgramListModel::kListedCommentBytes - 1, 'a') + "\u00e9"; // é across the cut
    for (int n = 0; text.size() < 835'000; ++n) text += " word" + std::to_string(n);
    app.setInspection(test::hp15cSnapshot(12));
    ProgramDocument doc;
    ASSERT_EQ(doc.setComment(text, 4, app.inspection()->program), ProgramDocument::CommentChange::stored);
    app.setProgramDoc(doc);
    InspectorView view(app);
    view.show();

    const QModelIndex row = view.program()->list()->listing()->index(4, 0);
    const QString listed = row.data(ProgramListModel::CommentRole).toString();
    // Compared, never printed: the whole comment would be megabytes of output.
    const QString start = QString(qsizetype(ProgramListModel::kListedCommentBytes - 1), 'a') + QChar(0x2026);
    EXPECT_TRUE(listed == start) << listed.size() << " characters listed";
    EXPECT_TRUE(row.data(Qt::ToolTipRole).toString() == start);
    EXPECT_TRUE(row.data(Qt::AccessibleTextRole).toString().endsWith(start));

    view.editComment(4);
    EXPECT_EQ(view.editor()->draft().size(), QString::fromStdString(text).size());
    view.editor()->saveButton()->click();
    EXPECT_TRUE(app.programDoc().comment(4) == text); // not printed whole when it fails
}

// The editor on a comment of 835,000 characters opens, and what a paint of it costs
// follows what it shows, as for a short one: the field shows a few lines of it, whose
// shaping it keeps, also after End and Home. It saves the comment whole.
TEST_F(InspectorViewTest, TheEditorOnAVeryLongCommentDrawsOnlyWhatItShowsAndSavesItWhole) {
    std::string text = "Amortization\r\n";
    for (int n = 0; text.size() < 835'000; ++n) text += "balance" + std::to_string(n % 97) + " ";
    text += "end";
    app.setInspection(test::hp15cSnapshot(30));
    ProgramDocument doc;
    ASSERT_EQ(doc.setComment("Short one", 10, app.inspection()->program), ProgramDocument::CommentChange::stored);
    ASSERT_EQ(doc.setComment(text, 20, app.inspection()->program), ProgramDocument::CommentChange::stored);
    app.setProgramDoc(doc);
    InspectorView view(app);
    view.show();
    CommentField* field = view.editor()->field();
    const auto drawn = [&] {
        QCoreApplication::processEvents();
        DrawnCharacters device;
        field->viewport()->render(&device);
        return device.count();
    };

    view.editComment(10);
    ASSERT_TRUE(view.editor()->isVisible());
    const int shortHeight = field->height();
    EXPECT_EQ(drawn(), 9);
    view.cancel();

    // The long text is laid out once, at the width it is shown with: its scroll bar is
    // there before, or the bar coming would narrow the lines and lay it all out again.
    const int layoutsBefore = test::longTextLayouts();
    view.editComment(20);
    ASSERT_TRUE(view.editor()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(test::longTextLayouts() - layoutsBefore, 1);
    EXPECT_LE(field->height(), shortHeight * CommentField::kMostLinesShown);
    // No more characters than a few lines' pixels hold (one line of the comment alone
    // is a million pixels wide).
    const qsizetype onScreen = qsizetype(CommentField::kMostLinesShown) * field->viewport()->width();
    EXPECT_GT(drawn(), 0);
    EXPECT_LE(drawn(), onScreen);
    const QTextBlock longLine = field->document()->lastBlock();
    EXPECT_GT(longLine.length(), 800'000);
    EXPECT_TRUE(longLine.layout()->cacheEnabled());
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_Home);
    EXPECT_LE(drawn(), onScreen);

    view.editor()->saveButton()->click();
    EXPECT_TRUE(app.programDoc().comment(20) == text); // not printed whole when it fails
    view.editComment(20);
    QTest::keyClicks(field, " paid");
    view.editor()->saveButton()->click();
    EXPECT_TRUE(app.programDoc().comment(20) == text + " paid");
}

// The listing follows the notes: a change of the other fields touches no row, a changed
// comment repaints its row only.
TEST_F(InspectorViewTest, AChangedCommentRepaintsItsRowOnly) {
    app.setInspection(test::hp15cSnapshot(12));
    ProgramDocument doc;
    const std::string longText(900'000, 'z');
    for (int step : {2, 3, 5})
        ASSERT_EQ(doc.setComment(std::to_string(step) + longText, step, app.inspection()->program),
                  ProgramDocument::CommentChange::stored);
    app.setProgramDoc(doc);
    InspectorView view(app);
    const auto* listing = view.program()->list()->listing();
    QSignalSpy changed(listing, &QAbstractItemModel::dataChanged);

    app.changeProgramDocFields([](ProgramDocument& d) { d.title = "typed"; });
    EXPECT_EQ(changed.count(), 0);

    app.setStepComment(QString::fromStdString("now" + longText), 3);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 3);
    EXPECT_TRUE(listing->index(3, 0).data(ProgramListModel::CommentRole).toString().startsWith("nowzzz"));
    EXPECT_TRUE(listing->index(2, 0).data(ProgramListModel::CommentRole).toString().startsWith("2zzz"));
}

TEST_F(InspectorViewTest, TheEditorIsTitledByTheModelsStepWidthAndFollowsTheEditingStep) {
    EXPECT_EQ(InspectorView::editorTitle(5, 12), "Comment for step 05");
    EXPECT_EQ(InspectorView::editorTitle(5, 15), "Comment for step 005");
    EXPECT_EQ(InspectorView::editorTitle(5, 0), "Comment for step 005");
    EXPECT_EQ(InspectorView::editorTitle(1234, 12), "Comment for step 1234");
    app.setInspection(test::hp12cSnapshot());
    InspectorView view(app);
    view.show();
    view.program()->list()->editRequested(5);
    EXPECT_EQ(app.editingCommentStep(), std::optional<int>(5));
    EXPECT_TRUE(view.editor()->isVisible());
    EXPECT_EQ(view.editor()->windowTitle(), "Comment for step 05");
    EXPECT_EQ(view.editor()->title(), "Comment for step 05");
    EXPECT_EQ(view.editor()->message(),
              "Shown in the listing and the exported documentation. It stays with this step when lines are "
              "inserted or deleted.");
    EXPECT_EQ(view.editor()->field()->placeholderText(), "Comment");
    app.setEditingCommentStep(std::nullopt);
    EXPECT_FALSE(view.editor()->isVisible());
}

// A comment longer than a line editor holds by default comes back whole from the
// editor, saved as it is and with a word typed at its end.
TEST_F(InspectorViewTest, TheEditorNeverShortensALongComment) {
    app.setInspection(test::hp15cSnapshot(12));
    InspectorView view(app);
    view.show();
    std::string text;
    for (int n = 0; text.size() < 40'000; ++n) text += "word" + std::to_string(n) + " ";
    text += "end";
    ProgramDocument doc = app.programDoc();
    ASSERT_EQ(doc.setComment(text, 4, app.inspection()->program), ProgramDocument::CommentChange::stored);
    app.setProgramDoc(doc);

    view.editComment(4);
    EXPECT_EQ(view.editor()->draft().size(), qsizetype(text.size()));
    view.editor()->saveButton()->click();
    EXPECT_TRUE(app.programDoc().comment(4) == text); // not printed whole when it fails

    view.editComment(4);
    view.editor()->field()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view.editor()->field(), " more");
    view.editor()->saveButton()->click();
    EXPECT_TRUE(app.programDoc().comment(4) == text + " more");
}

TEST_F(InspectorViewTest, SaveRemoveAndCancelReachTheNotes) {
    app.setInspection(test::hp15cSnapshot(12));
    InspectorView view(app);
    view.show();
    view.editComment(4);
    view.editor()->field()->setText("  doubles Y  ");
    view.editor()->saveButton()->click();
    EXPECT_EQ(app.programDoc().comment(4), std::optional<std::string>("doubles Y"));
    EXPECT_FALSE(app.editingCommentStep().has_value());
    EXPECT_FALSE(view.editor()->isVisible());

    view.editComment(4);
    EXPECT_EQ(view.editor()->draft(), "doubles Y");
    view.editor()->field()->setText("changed my mind");
    view.editor()->cancelButton()->click();
    EXPECT_EQ(app.programDoc().comment(4), std::optional<std::string>("doubles Y"));
    EXPECT_FALSE(app.editingCommentStep().has_value());
    view.editComment(4);
    EXPECT_EQ(view.editor()->draft(), "doubles Y"); // reloaded from the notes

    view.editor()->removeButton()->click();
    EXPECT_FALSE(app.programDoc().comment(4).has_value());
    EXPECT_FALSE(view.editor()->isVisible());

    // A blank draft removes, as "Remove" does.
    view.editComment(6);
    view.editor()->field()->setText("x");
    view.save();
    view.editComment(6);
    view.editor()->field()->setText("   ");
    view.save();
    EXPECT_FALSE(app.programDoc().comment(6).has_value());
}

TEST_F(InspectorViewTest, SavingForAStepThatLeftTheListingKeepsTheEditorAndItsText) {
    auto s = test::hp15cSnapshot(12);
    app.setInspection(s);
    InspectorView view(app);
    view.show();
    const ProgramDocument before = app.programDoc();
    view.editComment(12);
    view.editor()->field()->setText("final step");
    s.program.resize(10); // the program was shortened on the calculator meanwhile
    s.lines = 10;
    app.setInspection(s);
    view.editor()->saveButton()->click();
    EXPECT_EQ(app.editingCommentStep(), std::optional<int>(12));
    EXPECT_TRUE(view.editor()->isVisible());
    EXPECT_EQ(view.editor()->draft(), "final step");
    EXPECT_TRUE(view.editor()->notice().contains("no longer in the program")) << view.editor()->notice().toStdString();
    EXPECT_EQ(app.programDoc(), before);
    // Cancel still closes it, and "Remove" writes nothing that could be lost.
    view.cancel();
    EXPECT_FALSE(view.editor()->isVisible());
}

TEST_F(InspectorViewTest, SaveAndRemoveWithNoStepLeftOnlyClose) {
    app.setInspection(test::hp15cSnapshot(12));
    InspectorView view(app);
    const ProgramDocument before = app.programDoc();
    view.save();
    view.remove();
    EXPECT_EQ(app.programDoc(), before);
    EXPECT_FALSE(app.editingCommentStep().has_value());
}

// The editor is kept and shown again. A button clicked to close it took the focus, and
// with it the dialog's default; Return in the field must still save the next time, and
// Save is drawn as the default again.
TEST_F(InspectorViewTest, ReturnInTheFieldSavesWhicheverButtonClosedTheEditorBefore) {
    auto s = test::hp15cSnapshot(20);
    app.setInspection(s);
    ProgramDocument doc = app.programDoc();
    for (int step = 1; step <= 20; ++step)
        ASSERT_EQ(doc.setComment("step " + std::to_string(step), step, s.program),
                  ProgramDocument::CommentChange::stored);
    app.setProgramDoc(doc);
    InspectorView view(app);
    view.show();
    CommentEditor* editor = view.editor();

    const auto editAndPressReturn = [&](int step, const QString& typed) {
        view.program()->list()->editRequested(step);
        ASSERT_TRUE(editor->isVisible());
        EXPECT_TRUE(editor->saveButton()->isDefault());
        EXPECT_FALSE(editor->cancelButton()->isDefault());
        EXPECT_FALSE(editor->removeButton()->isDefault());
        EXPECT_EQ(editor->focusWidget(), editor->field());
        QTest::keyClicks(editor->field(), typed);
        QTest::keyClick(editor->field(), Qt::Key_Return);
        EXPECT_FALSE(editor->isVisible());
    };

    // Closed by Cancel, then opened again on the same step.
    view.program()->list()->editRequested(20);
    QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
    ASSERT_FALSE(editor->isVisible());
    editAndPressReturn(20, " edited");
    EXPECT_EQ(app.programDoc().comment(20), std::optional<std::string>("step 20 edited"));

    // Closed by Remove, then opened on another step.
    view.program()->list()->editRequested(19);
    QTest::mouseClick(editor->removeButton(), Qt::LeftButton);
    ASSERT_FALSE(app.programDoc().comment(19).has_value());
    editAndPressReturn(18, " kept");
    EXPECT_EQ(app.programDoc().comment(18), std::optional<std::string>("step 18 kept"));

    // Enter on the keypad saves too, after Save itself was clicked.
    view.program()->list()->editRequested(17);
    QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
    view.program()->list()->editRequested(17);
    QTest::keyClicks(editor->field(), "!");
    QTest::keyClick(editor->field(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(app.programDoc().comment(17), std::optional<std::string>("step 17!"));

    // A button with the focus still answers Space; Escape still cancels.
    view.program()->list()->editRequested(16);
    editor->cancelButton()->setFocus();
    QTest::keyClick(editor->cancelButton(), Qt::Key_Space);
    EXPECT_FALSE(editor->isVisible());
    view.program()->list()->editRequested(16);
    QTest::keyClicks(editor->field(), " lost");
    QTest::keyClick(editor->field(), Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(app.programDoc().comment(16), std::optional<std::string>("step 16"));
    // Closed by Space on Cancel, then by Escape: Return still saves.
    editAndPressReturn(16, " again");
    EXPECT_EQ(app.programDoc().comment(16), std::optional<std::string>("step 16 again"));
}

TEST_F(InspectorViewTest, ClosingTheEditorByEscapeCancels) {
    app.setInspection(test::hp15cSnapshot(12));
    InspectorView view(app);
    view.show();
    view.editComment(3);
    ASSERT_TRUE(view.editor()->isVisible());
    QTest::keyClick(view.editor(), Qt::Key_Escape);
    EXPECT_FALSE(app.editingCommentStep().has_value());
    EXPECT_FALSE(view.editor()->isVisible());
}

} // namespace
} // namespace tw
