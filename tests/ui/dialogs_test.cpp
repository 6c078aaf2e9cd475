#include "runtime/support/firmware_calculator.h"
#include "ui/dialogs/file_panels.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/presentations.h"
#include "ui/dialogs/wrapped_text.h"
#include "ui/sheet/about_view.h"
#include "ui/sheet/program_info_view.h"
#include "ui/window/content_view.h"
#include "ui/window/status_capsule.h"
#include "support/capped_child.h"
#include "support/system_reason.h"
#include "support/shows_whole.h"
#include "window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>

namespace tw::test {
namespace {

using Role = MessageDialog::Role;

struct Shown {
    QString title;
    QString message;
    QStringList buttons;
    QList<Role> roles;
};

Shown shown(const MessageDialog* dialog) {
    Shown s{dialog->title(), dialog->message(), {}, {}};
    for (const QPushButton* b : dialog->buttons()) {
        s.buttons << b->text();
        s.roles << MessageDialog::roleOf(b);
    }
    return s;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's whole contents; empty when it cannot be read.
QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Dialogs : ::testing::Test {
    WindowFixture f;
    Presentations* presentations = f.window->content()->presentations();
    void SetUp() override { f.window->show(); }
};

TEST_F(Dialogs, EachPendingActionWithItsTextsAndButtons) {
    const std::vector<uint8_t> image(2048, 0);
    struct Case {
        PendingAction action;
        QString title, message, confirm;
    };
    const std::vector<Case> cases = {
        {PendingAction::switchModel(150), "Switch to the 15C?",
         "Switching model clears the calculator's memory (programs, registers and settings), as on the calculator. "
         "You can save a backup first.",
         "Switch Model"},
        {PendingAction::loadMemory(image, "“prog.15c”"), "Load the memory from “prog.15c”?",
         "This replaces the emulator's memory (programs, registers and settings) with the one from “prog.15c”. You "
         "can save a backup of the emulator's memory first.",
         "Load Memory"},
        {PendingAction::loadMemoryAnyway(image, "the calculator", "It looks odd."),
         "The memory from the calculator may not fit",
         "It looks odd. You can load it anyway; save a backup of the emulator's memory first if you want to keep it.",
         "Load Anyway"},
        {PendingAction::switchThenLoad(image, "the calculator", 120, "It is a 12C memory."),
         "The memory from the calculator is for the HP-12C", "It is a 12C memory.", "Switch to 12C and Load"},
        {PendingAction::memoryReset(), "Reset the calculator's memory?",
         "ON + − clears all programs, registers and settings (Pr Error). You can save a backup first.",
         "Reset Memory"},
    };
    for (const Case& c : cases) {
        f.app->setPendingAction(c.action);
        MessageDialog* dialog = presentations->actionDialog();
        ASSERT_TRUE(dialog) << c.title.toStdString();
        const Shown s = shown(dialog);
        EXPECT_EQ(s.title, c.title);
        EXPECT_EQ(s.message, c.message);
        EXPECT_EQ(s.buttons, (QStringList{"Save Backup First…", c.confirm, "Cancel"}));
        EXPECT_EQ(s.roles, (QList<Role>{Role::defaultAction, Role::destructive, Role::cancel}));
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        EXPECT_TRUE(dialog->isVisible());
        // Cancel: the field is cleared and the dialog goes.
        dialog->buttons()[2]->click();
        EXPECT_FALSE(f.app->pendingAction());
        QApplication::processEvents();
        EXPECT_FALSE(presentations->actionDialog() && presentations->actionDialog()->isVisible());
    }
}

TEST_F(Dialogs, TheButtonsActOnTheActionShown) {
    f.app->setPendingAction(PendingAction::memoryReset());
    MessageDialog* first = presentations->actionDialog();
    // Another action replaces the dialog's content with its own.
    f.app->setPendingAction(PendingAction::switchModel(160));
    ASSERT_TRUE(presentations->actionDialog());
    EXPECT_EQ(presentations->actionDialog()->title(), "Switch to the 16C?");
    EXPECT_NE(presentations->actionDialog(), first);
    // The same action again leaves the dialog as it is.
    MessageDialog* second = presentations->actionDialog();
    f.app->setPendingAction(PendingAction::switchModel(160));
    EXPECT_EQ(presentations->actionDialog(), second);

    // Confirm runs the action (the model clears the field), once the replaced dialog's pause is over.
    QTest::qWait(Presentations::replacedDialogPauseMs + 200);
    second->buttons()[1]->click();
    EXPECT_FALSE(f.app->pendingAction());

    // The model clearing the field closes the dialog without running anything.
    f.app->setPendingAction(PendingAction::memoryReset());
    QPointer<MessageDialog> third = presentations->actionDialog();
    f.app->setPendingAction(std::nullopt);
    QApplication::processEvents();
    EXPECT_FALSE(third && third->isVisible());
}

// Two files of the same name handed in one after the other: the dialog shows and
// carries out the newer one, and Cancel leaves nothing pending.
TEST_F(Dialogs, ANewerActionWithTheSameIdIsTheOneShownAndCarriedOut) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    const auto memoryShowing = [](int digit) {
        auto m = startedCalculator(Firmware::Hp15c);
        keys(*m, {digit});
        return m->readMemoryOff(false);
    };
    const auto first = memoryShowing(k1), second = memoryShowing(k2);
    const QString source = QStringLiteral("“prog.15c”");

    f.app->setPendingAction(PendingAction::loadMemoryAnyway(first, source, "The first file."));
    f.app->setPendingAction(PendingAction::loadMemoryAnyway(second, source, "The second file."));
    ASSERT_TRUE(presentations->actionDialog());
    EXPECT_TRUE(presentations->actionDialog()->message().startsWith("The second file. "));
    presentations->actionDialog()->buttons()[2]->click(); // Cancel
    EXPECT_FALSE(f.app->pendingAction());

    f.app->setPendingAction(PendingAction::loadMemory(first, source));
    f.app->setPendingAction(PendingAction::loadMemory(second, source));
    QTest::qWait(Presentations::replacedDialogPauseMs + 200);
    presentations->actionDialog()->buttons()[0]->click(); // Save Backup First…
    ASSERT_TRUE(QTest::qWaitFor([&] { return presentations->savePanel() != nullptr; }, kHangLimitMs));
    ASSERT_TRUE(f.app->afterExport());
    EXPECT_EQ(*f.app->afterExport(), PendingAction::loadMemory(second, source));
    presentations->savePanel()->dialog()->reject();

    f.app->setPendingAction(PendingAction::loadMemory(first, source));
    f.app->setPendingAction(PendingAction::loadMemory(second, source));
    QTest::qWait(Presentations::replacedDialogPauseMs + 200);
    presentations->actionDialog()->buttons()[1]->click(); // Load Memory
    EXPECT_FALSE(f.app->pendingAction());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QString::fromStdString(f.app->snapshot().lcd.text).trimmed() == "2."; }, kHangLimitMs))
        << f.app->snapshot().lcd.text;
}

// A dialog whose action is replaced while it is shown: a click aimed at the earlier
// dialog's button lands on the new one's and must not carry out the new action.
TEST_F(Dialogs, AReplacedActionsDialogTakesNoClickForAMoment) {
    f.app->setPendingAction(PendingAction::switchModel(150));
    ASSERT_TRUE(presentations->actionDialog());
    f.app->setPendingAction(PendingAction::memoryReset());
    MessageDialog* dialog = presentations->actionDialog();
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->buttons()[1]->text(), "Reset Memory");
    QApplication::processEvents();
    QTest::mouseClick(dialog->buttons()[1], Qt::LeftButton);
    QTest::keyClick(dialog, Qt::Key_Return);
    EXPECT_EQ(f.app->pendingAction(), PendingAction::memoryReset());
    EXPECT_FALSE(f.app->afterExport());
    EXPECT_EQ(presentations->actionDialog(), dialog);

    // Then it does.
    QTest::qWait(Presentations::replacedDialogPauseMs + 200);
    QTest::mouseClick(dialog->buttons()[1], Qt::LeftButton);
    EXPECT_FALSE(f.app->pendingAction());

    // A dialog that replaces none (the last one was answered) takes the click at once.
    f.app->setPendingAction(PendingAction::switchModel(150));
    ASSERT_TRUE(presentations->actionDialog());
    QApplication::processEvents();
    QTest::mouseClick(presentations->actionDialog()->buttons()[1], Qt::LeftButton);
    EXPECT_FALSE(f.app->pendingAction());
}

TEST_F(Dialogs, SaveBackupFirstClosesTheDialogAndAsksForTheBackup) {
    f.app->setPendingAction(PendingAction::memoryReset());
    presentations->actionDialog()->buttons()[0]->click();
    EXPECT_FALSE(f.app->pendingAction());
    QApplication::processEvents();
    EXPECT_FALSE(presentations->actionDialog() && presentations->actionDialog()->isVisible());
}

// The button asks for the backup; the reset waits until the backup is saved.
TEST_F(Dialogs, SaveBackupFirstAsksForTheBackupBeforeCarryingOutTheAction) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    // The memory's file type follows the model the first display snapshot names.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.app->model().id == 15; }, kHangLimitMs));
    const auto display = [&] { return QString::fromStdString(f.app->snapshot().lcd.text).trimmed(); };
    f.app->setPendingAction(PendingAction::memoryReset());
    ASSERT_TRUE(presentations->actionDialog());
    presentations->actionDialog()->buttons()[0]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return presentations->savePanel() != nullptr; }, kHangLimitMs));
    EXPECT_EQ(f.app->afterExport(), PendingAction::memoryReset());
    SavePanel* save = presentations->savePanel();
    EXPECT_EQ(save->type(), UTType::memory15c);
    EXPECT_EQ(save->document().data.size(), 2048u);
    QTest::qWait(300);
    EXPECT_NE(display(), "Pr Error"); // nothing was reset yet

    QTemporaryDir dir;
    // A shown panel keeps the name field as it is while the field has the focus.
    if (QWidget* focused = save->dialog()->focusWidget()) focused->clearFocus();
    save->dialog()->setDirectory(dir.path());
    save->dialog()->selectFile(QDir(dir.path()).filePath("backup"));
    save->dialog()->accept();
    EXPECT_EQ(readFile(QDir(dir.path()).filePath("backup.15c")).size(), 2048);
    EXPECT_TRUE(QTest::qWaitFor([&] { return display() == "Pr Error"; }, kHangLimitMs)) << display().toStdString();
    EXPECT_FALSE(f.app->pendingAction()); // carried out without asking again
}

TEST_F(Dialogs, TheErrorAndNoticeAlerts) {
    f.app->setErrorMessage(QStringLiteral("The file could not be read."));
    ASSERT_TRUE(presentations->errorAlert());
    Shown s = shown(presentations->errorAlert());
    EXPECT_EQ(s.title, "Tarnwick");
    EXPECT_EQ(s.message, "The file could not be read.");
    EXPECT_EQ(s.buttons, QStringList{"OK"});
    presentations->errorAlert()->buttons()[0]->click();
    EXPECT_FALSE(f.app->errorMessage());

    f.app->setNotice(QStringLiteral("Starting with a cleared memory."));
    ASSERT_TRUE(presentations->noticeAlert());
    s = shown(presentations->noticeAlert());
    EXPECT_EQ(s.title, "Note");
    EXPECT_EQ(s.buttons, QStringList{"OK"});
    QTest::keyClick(presentations->noticeAlert(), Qt::Key_Escape);
    EXPECT_FALSE(f.app->notice());
}

// Each alert, and the About sheet, asked by the window manager for less room than its
// text takes, or dragged narrow, keeps all of its text and buttons in view and its least
// width (alerts 420, About 400).
TEST_F(Dialogs, AlertsAndAboutKeepTheirTextWhenAskedForLessRoom) {
    const auto askedForLess = [](QDialog* dialog, const char* which, int leastWidth = 420) {
        SCOPED_TRACE(which);
        ASSERT_TRUE(dialog);
        QApplication::processEvents();
        const int natural = dialog->height();
        for (const QSize asked : {QSize(1, 1), QSize(120, natural)}) {
            giveSize(*dialog, asked);
            expectShowsWhole(*dialog);
            EXPECT_GE(dialog->height(), natural);
            EXPECT_GE(dialog->width(), leastWidth);
        }
    };
    const std::vector<uint8_t> image(2048, 0);
    for (const PendingAction& action :
         {PendingAction::loadMemory(image, "“prog.15c”"), PendingAction::memoryReset(), PendingAction::switchModel(150)}) {
        f.app->setPendingAction(action);
        askedForLess(presentations->actionDialog(), "an action's question");
        f.app->setPendingAction(std::nullopt);
    }
    f.app->setErrorMessage(QStringLiteral("“firmware.bin” is not the firmware of a CE calculator: none of the "
                                          "known calculators was found in it. Choose the .bin file you flash to "
                                          "the calculator."));
    askedForLess(presentations->errorAlert(), "an error");
    f.app->setErrorMessage(std::nullopt);
    f.app->setNotice(QStringLiteral("The USB log is written to “/home/u/.local/state/Tarnwick/usb.log”."));
    askedForLess(presentations->noticeAlert(), "a notice");
    f.app->setNotice(std::nullopt);
    PendingWrite write;
    write.emulatorModel = QStringLiteral("HP-15C");
    write.calculatorModels = {150};
    write.backup = QStringLiteral("/home/u/Documents/Tarnwick Backups/b.15c");
    f.app->setPendingWrite(write);
    askedForLess(presentations->writeAlert(), "the write question");
    f.app->setPendingWrite(std::nullopt);
    f.app->setFirmwareInfo(QStringLiteral("HP-15C CE"));
    f.app->setFirmwareName(QStringLiteral("hp15c-ce-firmware.bin"));
    f.app->setShowAbout(true);
    askedForLess(presentations->aboutSheet(), "About", 400);
}

// A firmware's file name, however long, wraps inside About (between its words, or anywhere
// when it has none), when About opens with it and when it appears or grows while About is
// open, and when About is asked for 1 x 1: About shows it whole, stays between its least
// and most widths, 400 and 440, and stays inside the screen with Close in view. The line
// copies as the name is written.
TEST_F(Dialogs, AboutWrapsALongFirmwareNameInsideItsWidthsAndTheScreen) {
    const auto unbroken = [](qsizetype length) { return "hp15c-" + QString(length - 10, 'x') + ".bin"; };
    const QString spaced = QStringList(24, QStringLiteral("firmware")).join(' ') + ".bin";
    const auto fits = [](const QDialog* about, const char* when) {
        SCOPED_TRACE(when);
        ASSERT_TRUE(about);
        expectShowsWhole(*about);
        EXPECT_GE(about->width(), 400);
        EXPECT_LE(about->width(), 440);
        EXPECT_TRUE(about->screen()->availableGeometry().contains(about->frameGeometry()));
    };
    f.app->setFirmwareInfo(QStringLiteral("HP-15C CE"));
    for (const QString& name : {unbroken(91), unbroken(239), spaced}) {
        SCOPED_TRACE(name.size());
        f.app->setFirmwareName(std::nullopt);
        f.app->setShowAbout(true);
        fits(presentations->aboutSheet(), "opened with no firmware");
        f.app->setFirmwareName(name.left(name.size() / 3));
        fits(presentations->aboutSheet(), "the firmware appeared");
        f.app->setFirmwareName(name);
        fits(presentations->aboutSheet(), "its name grew");
        giveSize(*presentations->aboutSheet(), {1, 1});
        fits(presentations->aboutSheet(), "asked for 1 x 1");
        f.app->setShowAbout(false);
        QApplication::processEvents();
        f.app->setShowAbout(true);
        fits(presentations->aboutSheet(), "opened with the name");
        WrappedText* line = qobject_cast<AboutView*>(presentations->aboutSheet())->firmwareLabel();
        line->selectAll();
        EXPECT_EQ(std::unique_ptr<QMimeData>(line->createMimeDataFromSelection())->text(),
                  "Firmware: " + name + "\nHP-15C CE");
        f.app->setShowAbout(false);
        QApplication::processEvents();
    }
}

TEST_F(Dialogs, TheWriteAlertNamesItsButtonByTheCalculatorFound) {
    PendingWrite write;
    write.emulatorModel = QStringLiteral("HP-15C");
    write.calculatorModels = {152};
    write.backup = QStringLiteral("/home/u/Documents/Tarnwick Backups/b.15c");
    f.app->setPendingWrite(write);
    ASSERT_TRUE(presentations->writeAlert());
    Shown s = shown(presentations->writeAlert());
    EXPECT_EQ(s.title, "Write to the HP-15C?");
    EXPECT_EQ(s.message, write.message());
    EXPECT_EQ(s.buttons, (QStringList{"Write to Calculator", "Cancel"}));
    EXPECT_EQ(s.roles, (QList<Role>{Role::destructive, Role::cancel}));
    presentations->writeAlert()->buttons()[1]->click();
    EXPECT_FALSE(f.app->pendingWrite());

    PendingWrite unknown = write;
    unknown.id = QUuid::createUuid();
    unknown.calculatorModels = {};
    f.app->setPendingWrite(unknown);
    s = shown(presentations->writeAlert());
    EXPECT_EQ(s.title, "Write to the calculator?");
    EXPECT_EQ(s.buttons, (QStringList{"Write Anyway", "Cancel"}));
}

TEST_F(Dialogs, SheetsAreWindowModalAndClosingClearsTheirField) {
    f.app->setShowAbout(true);
    ASSERT_TRUE(presentations->aboutSheet());
    EXPECT_EQ(presentations->aboutSheet()->windowModality(), Qt::WindowModal);
    presentations->aboutSheet()->reject();
    EXPECT_FALSE(f.app->showAbout());

    f.app->setShowProgramInfo(true);
    ASSERT_TRUE(presentations->programInfoSheet());
    f.app->setShowProgramInfo(false);
    QApplication::processEvents();
    EXPECT_FALSE(presentations->programInfoSheet() && presentations->programInfoSheet()->isVisible());
}

// A screen made small by desktop scaling (the offscreen screen is 800 x 600, as a
// 1600 x 1200 one is at twice the size): the program information sheet opens inside
// its free area with every button of its footer on it.
TEST_F(Dialogs, TheProgramInformationSheetOpensWithinTheScreenWithItsButtons) {
    const QRect screen = f.window->screen()->availableGeometry();
    f.app->setShowProgramInfo(true);
    QDialog* sheet = presentations->programInfoSheet();
    ASSERT_TRUE(sheet);
    QApplication::processEvents();
    EXPECT_LE(sheet->height(), screen.height());
    EXPECT_LE(sheet->width(), screen.width());
    EXPECT_LE(sheet->minimumHeight(), 320);
    auto* info = qobject_cast<ProgramInfoView*>(sheet);
    ASSERT_TRUE(info);
    for (const QPushButton* button : {info->saveNotesButton(), info->exportButton(), info->doneButton()}) {
        EXPECT_TRUE(button->isVisible());
        EXPECT_TRUE(sheet->rect().contains(QRect(button->mapTo(sheet, QPoint(0, 0)), button->size())))
            << button->text().toStdString();
    }
    // At its least size too.
    sheet->resize(sheet->minimumSize());
    QApplication::processEvents();
    for (const QPushButton* button : {info->saveNotesButton(), info->exportButton(), info->doneButton()})
        EXPECT_TRUE(sheet->rect().contains(QRect(button->mapTo(sheet, QPoint(0, 0)), button->size())))
            << button->text().toStdString();
    f.app->setShowProgramInfo(false);
}

TEST_F(Dialogs, TheOpenPanelKeepsTheTaskItOpenedWith) {
    QTemporaryDir dir;
    const QString junk = QDir(dir.path()).filePath("not-a-firmware.bin");
    ASSERT_TRUE(writeFile(junk, "nothing to run"));

    f.app->setImportTask(FileTask::firmware);
    f.app->setShowImporter(true);
    FilePanel* panel = presentations->openPanel();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    // A task set while the panel is open does not change where its result goes.
    f.app->setImportTask(FileTask::notes);
    panel->selectFile(junk);
    panel->accept();
    QApplication::processEvents();
    EXPECT_FALSE(f.app->showImporter());
    // The firmware choice refused the file, so it was the firmware choice that got it.
    ASSERT_TRUE(f.app->errorMessage());
    EXPECT_FALSE(f.app->isStarting());
}

TEST_F(Dialogs, CancellingTheOpenPanelRunsNothing) {
    f.app->setImportTask(FileTask::firmware);
    f.app->setShowImporter(true);
    ASSERT_TRUE(presentations->openPanel());
    presentations->openPanel()->reject();
    QApplication::processEvents();
    EXPECT_FALSE(f.app->showImporter());
    EXPECT_FALSE(f.app->errorMessage());
}

TEST_F(Dialogs, TheFontsPanelTakesAFolderOrAFontFile) {
    QTemporaryDir dir;
    f.app->setImportTask(FileTask::fonts);
    f.app->setShowImporter(true);
    FilePanel* panel = presentations->openPanel();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->testOption(QFileDialog::DontUseNativeDialog));
    QString chosen;
    QObject::connect(panel, &QFileDialog::fileSelected, [&](const QString& path) { chosen = path; });
    panel->setDirectory(QDir::tempPath());
    panel->selectFile(dir.path());
    panel->accept();
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(dir.path()).canonicalFilePath());
    EXPECT_FALSE(panel->isVisible());
}

// Panels start in the folder last chosen for their kind of file (memory files
// opened and saved alike), else in the documents folder; never in the working folder.
TEST_F(Dialogs, PanelsStartInTheFolderLastUsedForTheirKindOfFile) {
    const auto same = [](const QString& a, const QString& b) {
        return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
    };
    const QString documents = f.platform.documentsFolder();
    ASSERT_TRUE(QDir().mkpath(documents));
    const auto openPanel = [&](FileTask task) {
        f.app->setImportTask(task);
        f.app->setShowImporter(true);
        return presentations->openPanel();
    };
    const auto savePanel = [&](UTType type) {
        f.app->setExportType(type);
        f.app->setExportDocument(MemoryFile{{1}});
        return presentations->savePanel();
    };

    FilePanel* panel = openPanel(FileTask::memory);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(same(panel->directory().path(), documents)) << panel->directory().path().toStdString();
    QTemporaryDir opened;
    const QString memoryFile = QDir(opened.path()).filePath("prog.15c");
    ASSERT_TRUE(writeFile(memoryFile, "too short"));
    panel->selectFile(memoryFile);
    panel->accept();
    QApplication::processEvents();
    f.app->setErrorMessage(std::nullopt);

    panel = openPanel(FileTask::memory);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(same(panel->directory().path(), opened.path()));
    panel->reject();
    QApplication::processEvents();
    panel = openPanel(FileTask::firmware); // another kind keeps its own folder
    ASSERT_TRUE(panel);
    EXPECT_TRUE(same(panel->directory().path(), documents));
    panel->reject();
    QApplication::processEvents();

    SavePanel* save = savePanel(UTType::pdf);
    ASSERT_TRUE(save);
    EXPECT_TRUE(same(save->dialog()->directory().path(), documents));
    save->dialog()->reject();
    QApplication::processEvents();
    save = savePanel(UTType::memory12c);
    ASSERT_TRUE(save);
    EXPECT_TRUE(same(save->dialog()->directory().path(), opened.path()));
    // Saving somewhere else moves the memory files' folder there.
    QTemporaryDir saved;
    save->dialog()->setDirectory(saved.path());
    save->dialog()->selectFile(QDir(saved.path()).filePath("copy"));
    save->dialog()->accept();
    QApplication::processEvents();
    ASSERT_TRUE(QFile::exists(QDir(saved.path()).filePath("copy.12c")));
    panel = openPanel(FileTask::memory);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(same(panel->directory().path(), saved.path()));
    panel->reject();
    QApplication::processEvents();

    // A kept folder that is gone: back to the documents folder.
    ASSERT_TRUE(saved.remove());
    panel = openPanel(FileTask::memory);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(same(panel->directory().path(), documents));
    panel->reject();
}

TEST(SavePanelNames, TheExtensionIsAddedOnlyWhenMissing) {
    EXPECT_EQ(withExtension("/x/Calculator memory", UTType::memory15c), "/x/Calculator memory.15c");
    EXPECT_EQ(withExtension("/x/a.15C", UTType::memory15c), "/x/a.15C");
    EXPECT_EQ(withExtension("/x/a.16c", UTType::memory15c), "/x/a.16c.15c");
    EXPECT_EQ(withExtension("/x/notes", UTType::programdoc), "/x/notes.orvanedoc");
    EXPECT_EQ(withExtension("/x/listing", UTType::plainText), "/x/listing.txt");
    EXPECT_EQ(withExtension("/x/raw", UTType::data), "/x/raw");
}

TEST_F(Dialogs, TheSavePanelWritesItsOwnDocumentUnderTheFinalName) {
    QTemporaryDir dir;
    f.app->setExportType(UTType::memory15c);
    f.app->setExportDocument(MemoryFile{{1, 2, 3}});
    SavePanel* save = presentations->savePanel();
    ASSERT_TRUE(save);
    ASSERT_TRUE(save->dialog());
    EXPECT_EQ(save->dialog()->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(save->dialog()->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(save->dialog()->selectedNameFilter(), "HP-15C memory (*.15c)");
    // A later document does not change the open panel.
    f.app->setExportType(UTType::pdf);
    f.app->setExportDocument(MemoryFile{{9}});
    EXPECT_EQ(presentations->savePanel(), save);
    EXPECT_EQ(save->document(), (MemoryFile{{1, 2, 3}}));
    EXPECT_EQ(save->type(), UTType::memory15c);

    save->dialog()->setDirectory(dir.path());
    save->dialog()->selectFile(QDir(dir.path()).filePath("mine"));
    save->dialog()->accept();
    QFile written(QDir(dir.path()).filePath("mine.15c"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("\x01\x02\x03", 3));

    // The next export gets a panel of its own at once.
    f.app->setExportDocument(MemoryFile{{4}});
    ASSERT_TRUE(presentations->savePanel());
    EXPECT_EQ(presentations->savePanel()->document(), (MemoryFile{{4}}));
    presentations->savePanel()->dialog()->reject();
}

// Qt's own panel reads double quotes as a list of names; the name typed is the name written.
TEST_F(Dialogs, ANameWithDoubleQuotesIsSavedAsTyped) {
    QTemporaryDir dir;
    f.app->setExportType(UTType::memory16c);
    f.app->setExportDocument(MemoryFile{{7}});
    SavePanel* save = presentations->savePanel();
    ASSERT_TRUE(save && save->dialog());
    save->dialog()->setDirectory(dir.path());
    auto* field = save->dialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(field);
    field->setText(QStringLiteral("it's \"q\""));
    save->dialog()->accept();
    EXPECT_EQ(readFile(QDir(dir.path()).filePath(QStringLiteral("it's \"q\".16c"))), QByteArray("\x07", 1));
    EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath("q.16c")));
    EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath("q")));
}

TEST(SavePanelWrite, AFailureNamesTheFileAndKeepsTheEarlierOne) {
    QTemporaryDir dir;
    const auto missing = SavePanel::write(MemoryFile{{1}}, dir.filePath("no such folder/Loan.pdf"));
    EXPECT_EQ(missing, "“Loan.pdf” could not be saved: " + systemReason(ENOENT) + ".");

    // Under and over the 16 KB that Qt's save file kept in its buffer.
    const QString path = dir.filePath("Loan.orvanedoc");
    ASSERT_TRUE(writeFile(path, "earlier notes"));
    for (const size_t size : {size_t(3000), size_t(40000)}) {
        const auto outcome = runWithFileSizeCap(1024, [&](std::string& note) {
            const MemoryFile document{std::vector<uint8_t>(size, 'n')};
            note = SavePanel::write(document, path).value_or("saved").toStdString();
            return 0;
        });
        EXPECT_EQ(outcome.note, "“Loan.orvanedoc” could not be saved: " + systemReason(EFBIG).toStdString() + ".")
            << size;
        EXPECT_EQ(readFile(path), "earlier notes") << size;
    }
}

// A document handed over while the save panel shows another gets its own panel once
// that one closes; the first panel completes as the notes it was opened for.
TEST_F(Dialogs, AHandOffDuringASavePanelGetsTheNextPanel) {
    QTemporaryDir dir;
    f.app->saveProgramNotes();
    SavePanel* notes = presentations->savePanel();
    ASSERT_TRUE(notes);
    f.app->offerPDFExport(QStringLiteral("Loan documentation"), {'%', 'P', 'D', 'F'});
    EXPECT_EQ(presentations->savePanel(), notes);
    EXPECT_EQ(notes->type(), UTType::programdoc);

    const QString saved = QDir(dir.path()).filePath("Loan.orvanedoc");
    notes->dialog()->setDirectory(dir.path());
    notes->dialog()->selectFile(saved);
    notes->dialog()->accept();
    QApplication::processEvents();
    EXPECT_EQ(f.app->programDocURL(), saved);
    ASSERT_TRUE(presentations->savePanel());
    EXPECT_NE(presentations->savePanel(), notes);
    EXPECT_EQ(presentations->savePanel()->type(), UTType::pdf);
    EXPECT_EQ(presentations->savePanel()->document(), (MemoryFile{{'%', 'P', 'D', 'F'}}));
    presentations->savePanel()->dialog()->reject();
    QApplication::processEvents();
    EXPECT_FALSE(f.app->exportDocument());
    EXPECT_EQ(f.app->programDocURL(), saved);
}

TEST_F(Dialogs, ReplacingAFileIsAskedForTheNameWithItsExtension) {
    QTemporaryDir dir;
    const QString target = QDir(dir.path()).filePath("mine.15c");
    ASSERT_TRUE(writeFile(target, "old"));
    f.app->setExportType(UTType::memory15c);
    f.app->setExportDocument(MemoryFile{{7}});
    SavePanel* save = presentations->savePanel();
    ASSERT_TRUE(save);
    save->dialog()->setDirectory(dir.path());
    save->dialog()->selectFile(QDir(dir.path()).filePath("mine")); // typed without the extension
    save->dialog()->accept();
    QApplication::processEvents();
    auto* question = f.window->findChild<MessageDialog*>("replaceQuestion");
    ASSERT_TRUE(question);
    EXPECT_EQ(question->title(), "A file named “mine.15c” already exists. Do you want to replace it?");
    EXPECT_EQ(shown(question).buttons, (QStringList{"Cancel", "Replace"}));

    // Declined: the panel comes back and nothing is written.
    question->buttons()[0]->click();
    QApplication::processEvents();
    EXPECT_EQ(readFile(target), "old");
    ASSERT_TRUE(save->dialog());
    EXPECT_TRUE(save->dialog()->isVisible());

    save->dialog()->selectFile(target);
    save->dialog()->accept();
    QApplication::processEvents();
    question = nullptr;
    for (auto* candidate : f.window->findChildren<MessageDialog*>("replaceQuestion"))
        if (candidate->isVisible()) question = candidate;
    ASSERT_TRUE(question);
    question->buttons()[1]->click();
    EXPECT_EQ(readFile(target), QByteArray("\x07", 1));
}

TEST_F(Dialogs, TheUsbStatusCapsule) {
    StatusCapsule* capsule = f.window->content()->statusCapsule();
    EXPECT_TRUE(capsule->isHidden());
    f.app->setLinkStatus(QStringLiteral("Reading the calculator's memory…"));
    EXPECT_FALSE(capsule->isHidden());
    EXPECT_EQ(capsule->text(), "Reading the calculator's memory…");
    const QWidget* content = f.window->content();
    EXPECT_EQ(capsule->geometry().bottom() + 1, content->height() - 16);
    EXPECT_LE(qAbs(capsule->geometry().center().x() - content->rect().center().x()), 1);
    f.app->setLinkStatus(std::nullopt);
    EXPECT_TRUE(capsule->isHidden());
}

} // namespace
} // namespace tw::test
