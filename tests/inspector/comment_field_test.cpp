// The comment editor's field: a comment comes back exactly as it came in, line ends
// and all, where it was not edited; the field grows with its lines up to a few; Return
// saves and Tab moves on, as in a line editor.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>

#include "inspector/comment_editor.h"
#include "inspector/comment_field.h"
#include "inspector/inspector_fixtures.h"

namespace tw {
namespace {

class CommentFieldTest : public test::WithApp {
protected:
    CommentFieldTest() {
        auto* column = new QVBoxLayout(&host);
        field = new CommentField(&host);
        column->addWidget(field);
        host.show();
    }
    // Puts the cursor at `at` in the field's own text (whose line ends are one character).
    void typeAt(int at, const QString& keys) {
        QTextCursor cursor = field->textCursor();
        cursor.setPosition(at);
        field->setTextCursor(cursor);
        QTest::keyClicks(field, keys);
    }

    QWidget host;
    CommentField* field;
};

// Every kind of line end a text document breaks a line at, the characters it would
// rewrite as spaces or line breaks, and a tab.
const QString kMixed = QString::fromUtf16(u"one\r\ntwo\rthree\u2029four\u2028five\u00a0six\tseven\nframe\ufdd0end");

TEST_F(CommentFieldTest, TheTextComesBackAsItCameInWhereItWasNotEdited) {
    field->setText(kMixed);
    EXPECT_EQ(field->text(), kMixed);
    EXPECT_EQ(field->document()->blockCount(), 6); // each line end breaks a line on screen

    // A key typed in the middle line leaves every line end as it was.
    const int inThree = field->document()->findBlockByNumber(2).position() + 2;
    typeAt(inThree, "X");
    QString expected = kMixed;
    expected.replace(QStringLiteral("three"), QStringLiteral("thXree"));
    EXPECT_EQ(field->text(), expected);

    // Joining two lines takes out that line's end only ("\r" after "two").
    typeAt(field->document()->findBlockByNumber(2).position(), QString());
    QTest::keyClick(field, Qt::Key_Backspace);
    expected.replace(QStringLiteral("two\rthXree"), QStringLiteral("twothXree"));
    EXPECT_EQ(field->text(), expected);

    // A line break put in (pasted) is a plain one; the others stay.
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(field->document()->findBlockByNumber(3).position()); // "frame"
    cursor.insertText("new\n");
    expected.replace(QStringLiteral("\nframe"), QStringLiteral("\nnew\nframe"));
    EXPECT_EQ(field->text(), expected);

    // Everything selected and typed over: only what was typed.
    field->selectAll();
    QTest::keyClicks(field, "plain");
    EXPECT_EQ(field->text(), "plain");
}

// Given while the editor is hidden, the text waits for the field's width; closed, the
// field keeps the text, not its layout.
TEST_F(CommentFieldTest, AHiddenFieldHoldsItsTextWhole) {
    host.hide();
    field->setText(kMixed);
    EXPECT_EQ(field->text(), kMixed);
    EXPECT_TRUE(field->document()->isEmpty());
    host.show();
    EXPECT_EQ(field->document()->blockCount(), 6);
    QTest::keyClicks(field, "!"); // typed at the end, where the cursor starts
    host.hide();
    EXPECT_TRUE(field->document()->isEmpty());
    EXPECT_EQ(field->text(), kMixed + "!");
    host.show();
    EXPECT_EQ(field->text(), kMixed + "!");
}

TEST_F(CommentFieldTest, TheFieldGrowsWithItsLinesUpToAFewThenScrolls) {
    // The height the field asks for, which it is then given.
    const auto heightFor = [&](const QString& text) {
        field->setText(text);
        field->setFixedHeight(field->sizeHint().height());
        QCoreApplication::processEvents();
        return field->height();
    };
    const int one = heightFor("loop back to the start");
    EXPECT_EQ(field->verticalScrollBar()->maximum(), 0); // shown whole
    const int three = heightFor("first\nsecond\nthird");
    EXPECT_EQ(field->verticalScrollBar()->maximum(), 0);
    EXPECT_GT(three, one);
    const QString manyLines = QString("line\n").repeated(200);
    const int most = heightFor(manyLines);
    EXPECT_GT(most, three);
    EXPECT_GT(field->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(heightFor(manyLines.repeated(10)), most);
    // A single long line wraps to the same few lines.
    QString words;
    while (words.size() < 100'000) words += "balance ";
    EXPECT_EQ(heightFor(words), most);
    EXPECT_EQ(field->text(), words);
}

// The lines the field's text takes at the width it has.
int linesOf(const CommentField& field) {
    int lines = 0;
    for (QTextBlock block = field.document()->begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return lines;
}

// Typed, pasted or deleted, the text shows whole up to the most lines at once, with the
// field and the editor as high as for the same text opened; from the line after, it scrolls.
TEST_F(CommentFieldTest, TheFieldIsAsHighAsItsTextOpenedWhileTheTextChanges) {
    const QString title = "Comment for step 004";
    CommentEditor editor;
    editor.setDraft(QString());
    editor.present(title);
    CommentField* typed = editor.field();
    int linesChecked = 0;
    const auto check = [&](const char* how) {
        const int lines = linesOf(*typed);
        SCOPED_TRACE(testing::Message() << how << ", " << lines << " lines");
        CommentEditor opened;
        opened.setDraft(editor.draft());
        opened.present(title);
        EXPECT_EQ(typed->height(), opened.field()->height());
        EXPECT_EQ(editor.height(), opened.height());
        const bool whole = lines <= CommentField::kMostLinesShown;
        EXPECT_EQ(typed->verticalScrollBar()->maximum() == 0, whole);
        EXPECT_EQ(typed->verticalScrollBar()->isVisibleTo(typed), !whole);
        if (whole) {
            EXPECT_EQ(typed->verticalScrollBar()->value(), 0);
            EXPECT_EQ(typed->cursorForPosition({0, 0}).position(), 0); // the first line is in view
        }
        linesChecked = lines;
    };

    while (linesOf(*typed) <= CommentField::kMostLinesShown + 1) {
        QTest::keyClicks(typed, "balance ");
        if (linesOf(*typed) != linesChecked) check("typed");
    }
    EXPECT_GT(typed->height(), 0);
    while (linesOf(*typed) > 1) {
        for (int i = 0; i < 8; ++i) QTest::keyClick(typed, Qt::Key_Backspace);
        if (linesOf(*typed) != linesChecked) check("deleted");
    }
    QGuiApplication::clipboard()->setText("first\nsecond\nthird");
    QTest::keyClick(typed, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(typed->document()->blockCount(), 3);
    check("pasted");
    QGuiApplication::clipboard()->setText(QString("pasted\n").repeated(4));
    QTest::keyClick(typed, Qt::Key_V, Qt::ControlModifier);
    check("pasted again");
    typed->selectAll();
    QTest::keyClick(typed, Qt::Key_Delete);
    check("cleared");
}

TEST_F(CommentFieldTest, ReturnSavesOnceAndTabMovesOnWithoutChangingTheText) {
    CommentEditor editor;
    QSignalSpy saved(&editor, &CommentEditor::saveRequested);
    editor.setDraft("doubles Y");
    editor.present("Comment for step 004");
    editor.field()->setFocus();
    QTest::keyClick(editor.field(), Qt::Key_Return);
    EXPECT_EQ(saved.count(), 1);
    QTest::keyClick(editor.field(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(saved.count(), 2);
    QTest::keyClick(editor.field(), Qt::Key_Tab);
    EXPECT_EQ(editor.draft(), "doubles Y");
}

} // namespace
} // namespace tw
