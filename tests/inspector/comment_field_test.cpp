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
#include "support/shows_whole.h"

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

    // Undone, the key typed goes and the text given stays: that is where undoing stops.
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), expected.replace(QStringLiteral("new\n"), QString()));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), kMixed);

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


// An editor the user types into, checked at each change of its lines against an editor
// opened on the same text: as high, the field as high with the same lines and the same
// scroll bar, at once and once Qt has laid the window out. The text shows whole up to
// the most lines at once; from the line after, it scrolls. With a width, both editors are
// given it before the text, as the user does who widens the editor and opens it again.
class TypedAndOpened {
public:
    explicit TypedAndOpened(int width) : width_(width) { open(editor_, QString()); }
    CommentField* typed() { return editor_.field(); }

    // Checks when the lines changed in number, or always.
    void check(const char* how, bool always = false) {
        const int lines = test::linesOf(*editor_.field());
        if (lines == linesChecked_ && !always) return;
        linesChecked_ = lines;
        SCOPED_TRACE(testing::Message() << how << ", " << lines << " lines, "
                                        << editor_.field()->toPlainText().size() << " characters");
        CommentEditor opened;
        open(opened, editor_.draft());
        {
            SCOPED_TRACE("at once");
            compare(opened);
        }
        QCoreApplication::processEvents();
        SCOPED_TRACE("laid out");
        compare(opened);
    }

private:
    void open(CommentEditor& editor, const QString& text) const {
        editor.setDraft(width_ > 0 ? QString() : text);
        editor.present(kTitle);
        if (width_ <= 0) return;
        test::giveSize(editor, {width_, editor.height()});
        editor.hide();
        editor.setDraft(text);
        editor.present(kTitle);
    }

    void compare(const CommentEditor& opened) const {
        const CommentField& field = *editor_.field();
        const CommentField& same = *opened.field();
        const int lines = test::linesOf(field);
        EXPECT_EQ(lines, test::linesOf(same));
        EXPECT_EQ(field.height(), same.height());
        EXPECT_EQ(editor_.size(), opened.size());
        EXPECT_EQ(field.verticalScrollBar()->isVisibleTo(&field), same.verticalScrollBar()->isVisibleTo(&same));
        EXPECT_EQ(field.verticalScrollBar()->maximum(), same.verticalScrollBar()->maximum());
        // Up to the most lines, the text shows whole. Past them it scrolls at the editor's
        // own width; made wider, the editor keeps the height of its lines at that width,
        // and the field shows the lines that this room holds.
        const bool scrolls = field.verticalScrollBar()->maximum() > 0;
        EXPECT_EQ(field.verticalScrollBar()->isVisibleTo(&field), scrolls);
        const bool whole = lines <= CommentField::kMostLinesShown;
        if (whole || width_ <= 0) {
            EXPECT_EQ(scrolls, !whole);
        }
        if (!scrolls) {
            EXPECT_EQ(field.verticalScrollBar()->value(), 0);
            EXPECT_EQ(field.cursorForPosition({0, 0}).position(), 0); // the first line is in view
        }
    }

    static inline const QString kTitle = QStringLiteral("Comment for step 004");
    const int width_;
    CommentEditor editor_;
    int linesChecked_ = 0;
};

// At the editor's own width, and at a width the user gave it.
class TypingTest : public test::WithApp, public testing::WithParamInterface<int> {};
INSTANTIATE_TEST_SUITE_P(Widths, TypingTest, testing::Values(0, 700));

// Typed, pasted or deleted in words and lines.
TEST_P(TypingTest, TheFieldIsAsHighAsItsTextOpenedWhileTheTextChanges) {
    TypedAndOpened editor(GetParam());
    CommentField* typed = editor.typed();
    while (test::linesOf(*typed) <= CommentField::kMostLinesShown + 1) {
        QTest::keyClicks(typed, "balance ");
        editor.check("typed");
    }
    EXPECT_GT(typed->height(), 0);
    while (test::linesOf(*typed) > 1) {
        for (int i = 0; i < 8; ++i) QTest::keyClick(typed, Qt::Key_Backspace);
        editor.check("deleted");
    }
    QGuiApplication::clipboard()->setText("first\nsecond\nthird");
    QTest::keyClick(typed, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(typed->document()->blockCount(), 3);
    editor.check("pasted", true);
    QGuiApplication::clipboard()->setText(QString("pasted\n").repeated(4));
    QTest::keyClick(typed, Qt::Key_V, Qt::ControlModifier);
    editor.check("pasted again", true);
    typed->selectAll();
    QTest::keyClick(typed, Qt::Key_Delete);
    editor.check("cleared", true);
}

// A run without a space wraps anywhere, a character at a time: typed to the line past the
// most shown and deleted back a character at a time, it scrolls exactly as when opened.
TEST_P(TypingTest, AnUnbrokenRunScrollsAsWhenOpenedAtEachCharacter) {
    TypedAndOpened editor(GetParam());
    CommentField* typed = editor.typed();
    while (test::linesOf(*typed) <= CommentField::kMostLinesShown) {
        QTest::keyClicks(typed, "w");
        editor.check("typed");
    }
    // The characters about the ninth line's start, each way.
    for (int i = 0; i < 6; ++i) {
        QTest::keyClicks(typed, "w");
        editor.check("typed past", true);
    }
    while (test::linesOf(*typed) > CommentField::kMostLinesShown - 1) {
        QTest::keyClick(typed, Qt::Key_Backspace);
        editor.check("deleted", true);
    }
}

// A first paragraph that wraps, then short lines typed one by one up to the ninth line and
// taken away again.
TEST_P(TypingTest, AWrappedParagraphAndShortLinesScrollAsWhenOpened) {
    TypedAndOpened editor(GetParam());
    CommentField* typed = editor.typed();
    while (test::linesOf(*typed) < 3) QTest::keyClicks(typed, "interest ");
    editor.check("a paragraph", true);
    for (int n = 0; test::linesOf(*typed) <= CommentField::kMostLinesShown + 1; ++n) {
        // A line break put in as the user pastes one; Return saves.
        typed->textCursor().insertText("\n");
        editor.check("a line begun", true);
        QTest::keyClicks(typed, QStringLiteral("line %1").arg(n));
        editor.check("a short line", true);
    }
    while (typed->document()->blockCount() > 1) {
        QTest::keyClick(typed, Qt::Key_Backspace);
        editor.check("deleted");
    }
    editor.check("the paragraph again", true);
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
