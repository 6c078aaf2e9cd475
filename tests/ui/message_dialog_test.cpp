#include "ui/dialogs/message_dialog.h"
#include "ui/window/status_capsule.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>

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
