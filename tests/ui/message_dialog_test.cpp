#include "ui/dialogs/message_dialog.h"
#include "support/shows_whole.h"
#include "ui/window/status_capsule.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>

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
        auto* label = d.dialog->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
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
    d.dialog->hide();
    d.dialog->open();
    QApplication::processEvents();
    EXPECT_EQ(d.dialog->title(), title);
    EXPECT_EQ(d.dialog->message(), message);
    EXPECT_LE(d.dialog->width(), 560);
    for (const char* which : {"title", "message"}) {
        auto* label = d.dialog->findChild<QLabel*>(QString::fromLatin1(which));
        ASSERT_NE(label, nullptr);
        const QString shown = label->text();
        EXPECT_EQ(QString(shown).remove(QChar(0x200B)), QString::fromLatin1(which) == "title" ? title : message);
        // Every line fits the label, and the whole text fits its height.
        const QRect needed = QFontMetrics(label->font())
                                 .boundingRect(QRect(0, 0, label->contentsRect().width(), 100000),
                                               Qt::TextWordWrap, shown);
        EXPECT_LE(needed.width(), label->contentsRect().width()) << which;
        EXPECT_LE(needed.height(), label->contentsRect().height() + 2) << which;
        EXPECT_LE(label->geometry().right(), d.dialog->rect().right()) << which;
    }
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
        d.dialog->hide();
        d.dialog->open();
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

} // namespace
} // namespace tw
