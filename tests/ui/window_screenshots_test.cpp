// Pictures of the window in its main states, for people to look at: the welcome
// view, each test-firmware model running, the inspector, the menus and every
// dialog. Written to screenshots/window/ in the build folder (a sub-folder named
// after the platform when it is not the offscreen one).
#include "ui/dialogs/file_panels.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/presentations.h"
#include "ui/main/quit_save.h"
#include "ui/menus/calculator_menu.h"
#include "ui/window/calculator_with_inspector.h"
#include "ui/window/content_view.h"
#include "window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

namespace tw::test {
namespace {

QString folder() {
    QString root = qEnvironmentVariable("TW_BINARY_DIR", QDir::currentPath());
    QString path = root + QStringLiteral("/screenshots/window");
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        path += QLatin1Char('/') + QGuiApplication::platformName();
    QDir().mkpath(path);
    return path;
}

bool save(const QImage& image, const QString& name) {
    return !image.isNull() && image.save(QDir(folder()).filePath(name + QStringLiteral(".png")));
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
}

// The window with a dialog drawn over its top centre, as a sheet appears.
QImage withDialog(QWidget* window, QWidget* dialog) {
    settle();
    QImage image = window->grab().toImage();
    const QImage over = dialog->grab().toImage();
    QPainter painter(&image);
    const QPoint at((image.width() - over.width()) / 2, 40);
    painter.fillRect(QRect(at, over.size()).adjusted(-1, -1, 1, 1), QColor(0, 0, 0, 90));
    painter.drawImage(at, over);
    return image;
}

struct Screenshots : ::testing::Test {
    WindowFixture f;
    Presentations* presentations = f.window->content()->presentations();
    void SetUp() override {
        f.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window.get()));
        settle();
    }
    QImage window() {
        settle();
        return f.window->grab().toImage();
    }
};

TEST_F(Screenshots, Welcome) {
    EXPECT_TRUE(save(window(), "welcome"));
    f.app->setIsStarting(true);
    EXPECT_TRUE(save(window(), "welcome-starting"));
    f.app->setIsStarting(false);
}

TEST_F(Screenshots, EachTestFirmwareRunning) {
    TW_REQUIRE_TEST_FIRMWARE();
    const std::pair<Firmware, QString> images[] = {{Firmware::Hp15c, "15c"},
                                                   {Firmware::Hp16c, "16c"},
                                                   {Firmware::Hp16cExtended, "16c-ext"},
                                                   {Firmware::Multi, "multi"}};
    for (const auto& [which, name] : images) {
        ASSERT_TRUE(f.start(which)) << name.toStdString();
        // The start ends with the calculator on; let a few frames arrive.
        QTest::qWait(300);
        EXPECT_TRUE(save(window(), "running-" + name));
    }
    f.app->setFaceStyle(FaceStyle::drawn);
    EXPECT_TRUE(save(window(), "running-multi-drawn"));
    f.app->setShowInspector(true);
    EXPECT_TRUE(save(window(), "running-multi-inspector"));
    f.window->resize(1400, 560);
    EXPECT_TRUE(save(window(), "running-multi-inspector-wide"));
    f.app->setShowInspector(false);
}

// The least window with and without the inspector, and the window on a right-to-left
// desktop.
TEST_F(Screenshots, LeastSizeAndRightToLeft) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    QTest::qWait(300);
    for (const FaceStyle style : allFaceStyles) {
        f.app->setFaceStyle(style);
        const QString face = style == FaceStyle::drawn ? QStringLiteral("drawn") : QStringLiteral("photo");
        for (const bool inspector : {false, true}) {
            f.app->setShowInspector(inspector);
            settle();
            f.window->resize(1, 1);
            EXPECT_TRUE(save(window(), QStringLiteral("least-size-%1%2").arg(face, inspector ? "-inspector" : "")));
        }
    }
    f.window->resize(1000, 600);
    QApplication::setLayoutDirection(Qt::RightToLeft);
    EXPECT_TRUE(save(window(), "right-to-left-drawn-inspector"));
    QApplication::setLayoutDirection(Qt::LeftToRight);
    f.app->setShowInspector(false);
    f.app->setFaceStyle(FaceStyle::photo);
}

TEST_F(Screenshots, Menus) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(f.start(Firmware::Multi));
    settle();
    for (const char* name : {"File", "View", "Calculator", "Model", "Keys", "Help"}) {
        const QString title = QString::fromLatin1(name);
        QMenu* menu = f.menu(title);
        menu->popup(f.window->mapToGlobal(QPoint(20, 20)));
        settle();
        EXPECT_TRUE(save(menu->grab().toImage(), "menu-" + title.toLower()));
        menu->hide();
    }
    CalculatorMenu* popup = f.window->content()->calculator()->menu();
    popup->popup(f.window->mapToGlobal(QPoint(400, 40)));
    settle();
    EXPECT_TRUE(save(popup->grab().toImage(), "menu-in-window"));
    popup->hide();
}

TEST_F(Screenshots, EachDialog) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    const std::vector<uint8_t> image(2048, 0);
    const std::pair<PendingAction, QString> actions[] = {
        {PendingAction::switchModel(150), "switch-model"},
        {PendingAction::loadMemory(image, "“prog.15c”"), "load-memory"},
        {PendingAction::loadMemoryAnyway(image, "“prog.15c”", "The memory from “prog.15c” does not look like a "
                                                               "memory of this firmware."),
         "load-memory-anyway"},
        {PendingAction::switchThenLoad(image, "the calculator", 120,
                                       "The calculator's memory belongs to the HP-12C image of this firmware."),
         "switch-then-load"},
        {PendingAction::memoryReset(), "memory-reset"},
    };
    for (const auto& [action, name] : actions) {
        f.app->setPendingAction(action);
        ASSERT_TRUE(presentations->actionDialog());
        EXPECT_TRUE(save(withDialog(f.window.get(), presentations->actionDialog()), "dialog-" + name));
        f.app->setPendingAction(std::nullopt);
    }
    f.app->setErrorMessage(QStringLiteral("The file “prog.15c” could not be opened because you don't have "
                                          "permission to view it."));
    EXPECT_TRUE(save(withDialog(f.window.get(), presentations->errorAlert()), "alert-error"));
    f.app->setErrorMessage(std::nullopt);
    f.app->setNotice(QStringLiteral("The saved calculator memory belongs to another firmware; starting with a "
                                    "cleared memory."));
    EXPECT_TRUE(save(withDialog(f.window.get(), presentations->noticeAlert()), "alert-notice"));
    f.app->setNotice(std::nullopt);

    PendingWrite write;
    write.emulatorModel = QStringLiteral("HP-15C");
    write.calculatorModels = {152};
    write.needs152 = true;
    write.backup = QStringLiteral("/home/user/Documents/Tarnwick Backups/HP-15C backup 2026-12-07 07.50.00.15c");
    f.app->setPendingWrite(write);
    EXPECT_TRUE(save(withDialog(f.window.get(), presentations->writeAlert()), "alert-write"));
    f.app->setPendingWrite(std::nullopt);

    auto* replace = new MessageDialog(f.window.get());
    const QString name = QStringLiteral("Amortisation-schedule-for-the-thirty-year-loan-at-six-percent-"
                                        "with-monthly-payments-and-a-balloon.15c");
    replace->setTitle(QStringLiteral("A file named “%1” already exists. Do you want to replace it?").arg(name));
    replace->setMessage(QStringLiteral("The file already exists in “/home/user/Documents”. Replacing it will "
                                       "overwrite its contents."));
    replace->addButton(QStringLiteral("Cancel"), MessageDialog::Role::cancel);
    replace->addButton(QStringLiteral("Replace"), MessageDialog::Role::destructive);
    replace->open();
    EXPECT_TRUE(save(withDialog(f.window.get(), replace), "dialog-replace-long-name"));
    replace->closeQuietly();

    f.app->setShowAbout(true);
    EXPECT_TRUE(save(withDialog(f.window.get(), presentations->aboutSheet()), "sheet-about"));
    f.app->setShowAbout(false);
    f.app->setShowProgramInfo(true);
    EXPECT_TRUE(save(withDialog(f.window.get(), presentations->programInfoSheet()), "sheet-program-info"));
    f.app->setShowProgramInfo(false);

    f.app->setLinkStatus(QStringLiteral("Reading the calculator's memory…"));
    EXPECT_TRUE(save(window(), "usb-status"));
    f.app->setLinkStatus(std::nullopt);

    f.app->setImportTask(FileTask::fonts);
    f.app->setShowImporter(true);
    ASSERT_TRUE(presentations->openPanel());
    presentations->openPanel()->setDirectory(QDir::tempPath());
    EXPECT_TRUE(save(presentations->openPanel()->grab().toImage(), "panel-open-fonts"));
    f.app->setShowImporter(false);
    settle();

    f.app->setExportType(UTType::memory15c);
    f.app->setExportDocument(MemoryFile{image});
    ASSERT_TRUE(presentations->savePanel());
    presentations->savePanel()->dialog()->setDirectory(QDir::tempPath());
    EXPECT_TRUE(save(presentations->savePanel()->dialog()->grab().toImage(), "panel-save-memory"));
    presentations->savePanel()->dialog()->reject();
    settle();
}

// The quit on a full disk: what could not be saved, over the running calculator.
TEST_F(Screenshots, TheQuitThatCouldNotSave) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    QuitSave quitSave(*f.app, *f.window, *qApp);
    f.platform.setSettingsFailure(WriteFailure{28, QStringLiteral("No space left on device")});
    EXPECT_FALSE(f.window->close());
    ASSERT_NE(quitSave.unsavedDialog(), nullptr);
    EXPECT_TRUE(save(withDialog(f.window.get(), quitSave.unsavedDialog()), "dialog-unsaved-at-quit"));
    quitSave.quit();
    settle();
}

} // namespace
} // namespace tw::test
