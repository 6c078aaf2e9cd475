#include "ui/dialogs/message_dialog.h"

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
