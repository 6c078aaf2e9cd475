#include "ui/dialogs/message_dialog.h"
#include "support/shows_whole.h"
#include "ui/dialogs/wrapped_text.h"
#include "ui/window/status_capsule.h"
#include "window_fixture.h" // readable texts in failure messages

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace tw {
namespace {

struct Dialog {
    QWidget window;
    MessageDialog* dialog = new MessageDialog(&window);
    QStringList log;

    Dialog() {
        dialog->setTitle(QStringLiteral("Title"));
        dialog->setMessage(QStringLiteral("Message"));
        dialog->addButton(QStringLiteral("Second Thoughts…"), MessageDialog::Role::defaultAction, [this] { log << "first"; });
        dialog->addButton(QStringLiteral("Do It"), MessageDialog::Role::destructive, [this] { log << "do"; });
        dialog->addButton(QStringLiteral("Cancel"), MessageDialog::Role::cancel, [this] { log << "cancel"; });
        dialog->setOnDismiss([this] { log << "dismissed"; });
        window.show();
        dialog->open();
    }
};

// Shows the dialog again, laid out for the texts it was given since.
void reopen(MessageDialog& dialog) {
    dialog.hide();
    dialog.open();
    QApplication::processEvents();
}

WrappedText* part(const MessageDialog& dialog, const char* name) {
    return dialog.findChild<WrappedText*>(QString::fromLatin1(name));
}

// Each line of a wrapped text as laid out: its characters, and whether the character
// (grapheme) that starts the next line of its paragraph would have fit on it too.
struct Line {
    QString text;
    bool roomForNext = false;
};

std::vector<Line> linesOf(const QTextEdit& text) {
    std::vector<Line> lines;
    const QFontMetricsF metrics(text.font());
    (void)text.document()->size(); // laid out to its end
    for (QTextBlock block = text.document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout& layout = *block.layout();
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, block.text());
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            lines.push_back({block.text().mid(line.textStart(), line.textLength())});
            if (i + 1 == layout.lineCount()) continue;
            const QTextLine next = layout.lineAt(i + 1);
            graphemes.setPosition(next.textStart());
            const int end = int(graphemes.toNextBoundary());
            // A glyph that reaches past its advance needs that room too.
            const qreal needed = next.cursorToX(end) - next.cursorToX(next.textStart()) +
                                 std::max(0.0, -metrics.rightBearing(block.text()[end - 1]));
            lines.back().roomForNext = line.naturalTextWidth() + needed <= line.width();
        }
    }
    return lines;
}

QStringList texts(const MessageDialog& dialog) {
    QStringList result;
    for (auto* b : dialog.buttons()) result << b->text();
    return result;
}

TEST(MessageDialog, ButtonsStayInTheirOrderLeftToRight) {
    Dialog d;
    EXPECT_EQ(texts(*d.dialog), (QStringList{"Second Thoughts…", "Do It", "Cancel"}));
    const auto buttons = d.dialog->buttons();
    EXPECT_LT(buttons[0]->geometry().x(), buttons[1]->geometry().x());
    EXPECT_LT(buttons[1]->geometry().x(), buttons[2]->geometry().x());
    EXPECT_TRUE(buttons[0]->isDefault());
    EXPECT_EQ(d.dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(d.dialog->title(), "Title");
    EXPECT_EQ(d.dialog->message(), "Message");
}

// A file or firmware named like markup reads as its name in an alert and in the
// status line, not as formatted text.
TEST(MessageDialog, AlertsAndTheStatusShowFileNamesAsWritten) {
    const QString named = QStringLiteral("“<b>x</b> then <i>y</i>.bin” could not be read.");
    Dialog d;
    d.dialog->setTitle(named);
    d.dialog->setMessage(named);
    for (const char* name : {"title", "message"}) {
        const WrappedText* text = part(*d.dialog, name);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->document()->toPlainText(), named) << name;
    }
    StatusCapsule capsule(&d.window);
    capsule.setStatus(named);
    EXPECT_EQ(capsule.text(), named);
    for (const QLabel* label : capsule.findChildren<QLabel*>()) EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

// A long file name without spaces wraps inside the dialog rather than running past
// its edge, so that its extension shows; the texts read back as given.
TEST(MessageDialog, ALongUnbrokenFileNameWrapsWithItsExtensionShown) {
    const QString name = QStringLiteral("Loan") + QString(160, QLatin1Char('x')) + QStringLiteral("\u00e9.16c");
    const QString title = QStringLiteral("A file named “%1” already exists. Do you want to replace it?").arg(name);
    const QString message = QStringLiteral("The file already exists in “/home/%1”.").arg(name);
    Dialog d;
    d.dialog->setTitle(title);
    d.dialog->setMessage(message);
    reopen(*d.dialog);
    EXPECT_EQ(d.dialog->title(), title);
    EXPECT_EQ(d.dialog->message(), message);
    EXPECT_LE(d.dialog->width(), 560);
    for (const char* which : {"title", "message"}) {
        const WrappedText* text = part(*d.dialog, which);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->document()->toPlainText(), QString::fromLatin1(which) == "title" ? title : message);
        // Every line fits the text's width, and all of them its height.
        EXPECT_LE(text->document()->idealWidth(), text->viewport()->width()) << which;
        EXPECT_LE(text->document()->size().height(), text->viewport()->height()) << which;
        EXPECT_LE(text->geometry().right(), d.dialog->rect().right()) << which;
    }
}

// A long name without spaces fills each line it wraps over but its last, up to the
// character that would not fit, rather than breaking early.
TEST(MessageDialog, ALongNameFillsEachLineItWrapsOver) {
    Dialog d;
    d.dialog->setMessage(QStringLiteral("Loan") + QString(200, QLatin1Char('x')) + QStringLiteral("\u00e9.16c"));
    reopen(*d.dialog);
    const std::vector<Line> lines = linesOf(*part(*d.dialog, "message"));
    ASSERT_GT(lines.size(), 2u);
    for (const Line& line : lines) EXPECT_FALSE(line.roomForNext) << line.text.toStdString();
}

// A run wider than the line breaks between characters as the reader sees them: a letter
// with a combining accent, or an emoji written as two UTF-16 units, is never split.
TEST(MessageDialog, ALongRunBreaksBetweenWholeCharacters) {
    const QString accented = QStringLiteral("e\u0301").repeated(90);
    Dialog d;
    d.dialog->setMessage(accented + QStringLiteral("\U0001F600").repeated(60) + accented);
    reopen(*d.dialog);
    const std::vector<Line> lines = linesOf(*part(*d.dialog, "message"));
    ASSERT_GT(lines.size(), 3u);
    for (const Line& line : lines) {
        ASSERT_FALSE(line.text.isEmpty());
        EXPECT_FALSE(line.text.front().isMark() || line.text.front().isLowSurrogate()) << line.text.toStdString();
        EXPECT_FALSE(line.text.back().isHighSurrogate()) << line.text.toStdString();
    }
}

// What the user copies from an alert is its text as written, however its lines wrap: by
// Ctrl+C and by the context menu's Copy, and what the mouse selection or a drag carries.
TEST(MessageDialog, AWrappedNameIsCopiedAsWritten) {
    const QString name = QStringLiteral("Loan") + QString(160, QLatin1Char('x')) + QStringLiteral("\u00a0\u00e9.16c");
    const QString message = QStringLiteral("The file “%1” could not be read.\nChoose another one.").arg(name);
    Dialog d;
    d.dialog->setMessage(message);
    reopen(*d.dialog);
    WrappedText* text = part(*d.dialog, "message");
    ASSERT_GT(linesOf(*text).size(), 3u);
    QClipboard* clipboard = QGuiApplication::clipboard();
    text->selectAll();
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), message);
    clipboard->clear();
    const std::unique_ptr<QMenu> menu(text->createStandardContextMenu());
    auto* copy = menu->findChild<QAction*>(QStringLiteral("edit-copy"));
    ASSERT_TRUE(copy);
    copy->trigger();
    EXPECT_EQ(clipboard->text(), message);

    QTextCursor selection = text->textCursor();
    selection.setPosition(int(message.indexOf(name)));
    selection.setPosition(int(message.indexOf(name) + name.size()), QTextCursor::KeepAnchor);
    text->setTextCursor(selection);
    const std::unique_ptr<QMimeData> carried(text->createMimeDataFromSelection());
    EXPECT_EQ(carried->formats(), QStringList{"text/plain"});
    EXPECT_EQ(carried->text(), name);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Name), message);
}

// Asked for less room than its text takes, dragged narrow, or made as wide as it goes, an
// alert keeps all of its text and its buttons in view and its least width: short texts, a
// message of several lines, and a long file name without spaces.
TEST(MessageDialog, AnAlertIsNeverSmallerThanItsTextAndButtons) {
    const QString name = QStringLiteral("Loan") + QString(120, QLatin1Char('x')) + QStringLiteral(".15c");
    const std::vector<std::pair<QString, QString>> texts = {
        {"Title", "Message"},
        {"Load the memory from “prog.15c”?",
         "This replaces the emulator's memory (programs, registers and settings) with the one from “prog.15c”. "
         "You can save a backup of the emulator's memory first."},
        {"The calculator's state could not be saved",
         "Tarnwick could not write its state file, so the calculator's memory would be lost. Free some space on "
         "the disk or check the folder's permissions, then try again. The disk said: no space left on the "
         "device. Quitting without saving starts the calculator with a cleared memory next time."},
        {QStringLiteral("A file named “%1” already exists. Do you want to replace it?").arg(name),
         QStringLiteral("The file already exists in “/home/%1”.").arg(name)},
    };
    for (const auto& [title, message] : texts) {
        SCOPED_TRACE(title.left(40).toStdString());
        Dialog d;
        d.dialog->setTitle(title);
        d.dialog->setMessage(message);
        reopen(*d.dialog);
        test::expectShowsWhole(*d.dialog);
        const QSize natural = d.dialog->size();
        for (const QSize asked : {QSize(1, 1), QSize(120, natural.height())}) {
            test::giveSize(*d.dialog, asked);
            test::expectShowsWhole(*d.dialog);
            EXPECT_GE(d.dialog->height(), natural.height());
            EXPECT_GE(d.dialog->width(), 420); // its least width
        }
        test::giveSize(*d.dialog, {d.dialog->maximumWidth(), 1});
        test::expectShowsWhole(*d.dialog);
        test::giveSize(*d.dialog, natural);
        EXPECT_EQ(d.dialog->size(), natural);
    }
}

TEST(MessageDialog, AButtonRunsItsActionThenTheDismissalOnce) {
    Dialog d;
    d.dialog->buttons()[1]->click();
    EXPECT_EQ(d.log, (QStringList{"do", "dismissed"}));
}

TEST(MessageDialog, EscapeAndTheCloseBoxAreTheCancelButton) {
    {
        Dialog d;
        QTest::keyClick(d.dialog, Qt::Key_Escape);
        EXPECT_EQ(d.log, (QStringList{"cancel", "dismissed"}));
    }
    {
        Dialog d;
        d.dialog->close();
        EXPECT_EQ(d.log, (QStringList{"cancel", "dismissed"}));
    }
    {
        Dialog d;
        d.dialog->closeQuietly();
        EXPECT_TRUE(d.log.isEmpty());
    }
}

// Return and Escape reach the buttons from the message the user selected, as from anywhere.
TEST(MessageDialog, ReturnAndEscapePassTheSelectedMessage) {
    for (const auto& [key, log] : {std::pair{Qt::Key_Return, QStringList{"first", "dismissed"}},
                                   std::pair{Qt::Key_Escape, QStringList{"cancel", "dismissed"}}}) {
        Dialog d;
        part(*d.dialog, "message")->selectAll();
        QTest::keyClick(part(*d.dialog, "message"), key);
        EXPECT_EQ(d.log, log);
    }
}

} // namespace
} // namespace tw
