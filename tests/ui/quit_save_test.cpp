// The quit when something could not be saved: the window stays and says what and
// why; Try Again writes it once there is room, Quit Without Saving lets it go, and
// a quit the desktop insists on goes without asking again.
#include "app/app_model.h"
#include "inspector/comment_editor.h"
#include "platform/memory_platform.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/main/quit_save.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "support/hang_watch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tw {
namespace {

struct Quitting {
    MemoryPlatform platform;
    AppModel model{platform};
    QWidget window;
    QuitSave quitSave{model, window, *qApp};

    Quitting() {
        window.resize(400, 300);
        window.show();
        platform.setSettingsFailure(WriteFailure{ENOSPC, QStringLiteral("No space left on device")});
    }
    // The window asked to close, as a quit asks it.
    bool close() {
        const bool closed = window.close();
        QApplication::processEvents();
        return closed;
    }
    MessageDialog* dialog() const { return quitSave.unsavedDialog(); }
    QPushButton* button(const QString& text) const {
        for (QPushButton* b : dialog()->buttons())
            if (b->text() == text) return b;
        return nullptr;
    }
    void click(const QString& text) {
        QPushButton* b = button(text);
        ASSERT_NE(b, nullptr) << text.toStdString();
        QTest::mouseClick(b, Qt::LeftButton);
        QApplication::processEvents();
    }
};

TEST(QuitSaveDialog, TellsWhatCouldNotBeSavedAndTriesAgainOnceThereIsRoom) {
    Quitting q;
    EXPECT_FALSE(q.close());
    EXPECT_TRUE(q.window.isVisible()); // the window stays while the user decides
    ASSERT_NE(q.dialog(), nullptr);
    EXPECT_TRUE(q.dialog()->isVisible());
    EXPECT_EQ(q.dialog()->message(),
              "Your program notes and settings could not be saved: No space left on device. Make room on the "
              "disk (or make the folder writable) and try again, or quit without saving.");
    QStringList texts;
    for (QPushButton* b : q.dialog()->buttons()) texts << b->text();
    EXPECT_EQ(texts, (QStringList{"Quit Without Saving", "Try Again"}));
    EXPECT_TRUE(q.button("Try Again")->isDefault());
    EXPECT_EQ(q.quitSave.runs(), 1);

    // Still full: asked again.
    q.click("Try Again");
    EXPECT_TRUE(q.window.isVisible());
    ASSERT_NE(q.dialog(), nullptr);
    EXPECT_TRUE(q.dialog()->isVisible());
    // Escape does not give anything up: it tries again too.
    QTest::keyClick(q.dialog(), Qt::Key_Escape);
    QApplication::processEvents();
    ASSERT_NE(q.dialog(), nullptr);
    EXPECT_TRUE(q.window.isVisible());

    // Room made: the next try writes and the window goes.
    q.platform.setSettingsFailure(std::nullopt);
    q.click("Try Again");
    EXPECT_EQ(q.dialog(), nullptr);
    EXPECT_FALSE(q.window.isVisible());
    EXPECT_EQ(q.quitSave.runs(), 1); // one save at quit; the tries only write again
}

TEST(QuitSaveDialog, QuitWithoutSavingLetsTheWindowGo) {
    Quitting q;
    EXPECT_FALSE(q.close());
    ASSERT_NE(q.dialog(), nullptr);
    q.click("Quit Without Saving");
    EXPECT_EQ(q.dialog(), nullptr);
    EXPECT_FALSE(q.window.isVisible());
}

TEST(QuitSaveDialog, AQuitTheDesktopInsistsOnGoesWithoutAskingAgain) {
    Quitting q;
    EXPECT_FALSE(q.close());
    ASSERT_NE(q.dialog(), nullptr);
    q.quitSave.quit(); // a second termination signal
    QApplication::processEvents();
    EXPECT_EQ(q.dialog(), nullptr);
    EXPECT_FALSE(q.window.isVisible());
}

TEST(QuitSaveDialog, EverythingWrittenClosesAtOnce) {
    Quitting q;
    q.platform.setSettingsFailure(std::nullopt);
    EXPECT_TRUE(q.close());
    EXPECT_EQ(q.dialog(), nullptr);
    EXPECT_FALSE(q.window.isVisible());
    EXPECT_EQ(q.quitSave.runs(), 1);
}

// A quit (the menu's, or a termination signal's) ends the application with the comment
// editor open over the window: Qt asks every window shown to close, and the editor, which
// hides rather than closes when the user closes it from its frame, lets a quit close it.
// In a process of its own: a quit ends the application's event loop for good.
TEST(QuitSaveDialog, AQuitEndsTheApplicationWithTheCommentEditorOpen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Quitting q;
            q.platform.setSettingsFailure(std::nullopt);
            CommentEditor editor(&q.window);
            // As the inspector does: Cancel, Escape and the frame's close button hide it.
            QObject::connect(&editor, &CommentEditor::cancelRequested, &editor, &QWidget::hide);
            editor.present(QStringLiteral("Comment for step 001"));
            if (!QTest::qWaitForWindowExposed(&editor)) std::_Exit(2);
            QTimer::singleShot(0, &q.quitSave, &QuitSave::quit);
            int ended = 0;
            {
                test::HangWatch watch([] { QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(3); }); });
                ended = QApplication::exec(); // a quit asks only while the application's loop runs
            }
            if (ended == 3) std::fputs("the quit did not end the application: a window refused to close\n", stderr);
            // Ended without the exit handlers, which would find the application and its
            // windows still standing (a leak check among them).
            std::_Exit(ended == 0 && !editor.isVisible() && !q.window.isVisible() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace tw
