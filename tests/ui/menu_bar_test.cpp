#include "ui/dialogs/presentations.h"
#include "ui/menus/calculator_commands.h"
#include "ui/menus/calculator_menu.h"
#include "ui/menus/keys_menu_items.h"
#include "ui/menus/model_menu_items.h"
#include "ui/window/calculator_style.h"
#include "ui/window/calculator_with_inspector.h"
#include "ui/window/content_view.h"
#include "ui/window/menu_button.h"
#include "usblink/usb_log.h"
#include "window_fixture.h"

#include <QApplication>
#include <QDialog>

#include <gtest/gtest.h>

namespace tw::test {
namespace {

QStringList enabledTexts(const QMenu* menu) {
    QStringList result;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator() && action->isEnabled()) result << shownText(action);
    return result;
}

// Every title in the menu and its submenus.
void collectTitles(const QMenu* menu, QStringList& titles) {
    titles << menu->title();
    for (const QAction* action : menu->actions()) {
        titles << action->text();
        // "&&" shows a literal "&"; a single one would make the next letter an Alt shortcut.
        if (action->menu()) collectTitles(action->menu(), titles);
    }
}

TEST(MenuBar, MenusTitlesOrderAndShortcuts) {
    WindowFixture f;
    QStringList bar;
    for (QAction* action : f.window->menuBar()->actions()) bar << action->text();
    EXPECT_EQ(bar, (QStringList{"File", "View", "Calculator", "Model", "Keys", "Help"}));

    const QMenu* file = f.menu("File");
    EXPECT_EQ(texts(file), (QStringList{"Open Memory File…", "Save Memory File…", "---", "Program Info…",
                                       "Open Program Notes…", "Save Program Notes…",
                                       "Export Program Documentation (PDF)…", "Export Listing as Text…",
                                       "PDF Paper Size", "Clear Program Notes", "PDF Fonts", "---",
                                       "Choose Firmware…", "---", "Quit"}));
    EXPECT_EQ(texts(submenu(file, "PDF Paper Size")), (QStringList{"A4", "US Letter"}));
    EXPECT_EQ(texts(submenu(file, "PDF Fonts")),
              (QStringList{"Using: standard fonts", "Use HP 15C Fonts…", "Forget HP 15C Fonts"}));

    const QMenu* calculator = f.menu("Calculator");
    EXPECT_EQ(texts(calculator),
              (QStringList{"Turbo", "ON / OFF", "---", "Keyboard", "Face", "---", "Reset Calculator (clears memory)",
                           "---", "Real Calculator (USB)", "Read from Calculator", "Write to Calculator…",
                           "Save Calculator Memory to File…", "USB: calculator off, hold f + ENTER, press ON",
                           "Log USB Traffic", "Show USB Log in File Manager"}));
    EXPECT_EQ(texts(submenu(calculator, "Keyboard")), (QStringList{"Automatic (from firmware)", "16C", "15C", "12C"}));
    EXPECT_EQ(texts(submenu(calculator, "Face")), (QStringList{"Photo", "Drawn"}));
    EXPECT_EQ(texts(f.menu("Help")), QStringList{"About Tarnwick"});

    // Exactly these shortcuts, on these items.
    QMap<QString, QString> shortcuts;
    QList<const QMenu*> menus;
    for (QAction* action : f.window->menuBar()->actions()) menus << action->menu();
    for (const QMenu* menu : menus)
        for (const QAction* action : menu->actions())
            if (!action->shortcut().isEmpty()) shortcuts[shownText(action)] = action->shortcut().toString();
    EXPECT_EQ(shortcuts, (QMap<QString, QString>{{"Open Memory File…", "Ctrl+O"},
                                                 {"Save Memory File…", "Ctrl+S"},
                                                 {"Program Info…", "Ctrl+Shift+I"},
                                                 {"Export Program Documentation (PDF)…", "Ctrl+Shift+E"},
                                                 {"Show Registers & Program", "Ctrl+I"},
                                                 {"Turbo", "Ctrl+T"},
                                                 {"Quit", "Ctrl+Q"}}));
}

TEST(MenuBar, NoMnemonicsAnywhereSoAltStaysWithTheCalculator) {
    WindowFixture f;
    QStringList titles;
    for (QAction* action : f.window->menuBar()->actions()) collectTitles(action->menu(), titles);
    for (QString title : titles) EXPECT_FALSE(title.replace("&&", "").contains('&')) << title.toStdString();
    // No New Window item either.
    for (const QString& title : titles) EXPECT_FALSE(title.contains("New")) << title.toStdString();
}

TEST(MenuBar, BeforeAnyFirmwareOnlyTheChoicesAreEnabled) {
    WindowFixture f;
    EXPECT_EQ(enabledTexts(f.menu("File")), (QStringList{"PDF Paper Size", "PDF Fonts", "Choose Firmware…", "Quit"}));
    EXPECT_EQ(enabledTexts(submenu(f.menu("File"), "PDF Fonts")),
              (QStringList{"Use HP 15C Fonts…", "Forget HP 15C Fonts"}));
    EXPECT_TRUE(item(submenu(f.menu("File"), "PDF Paper Size"), "A4")->isChecked());
    EXPECT_EQ(texts(f.menu("View")), (QStringList{"Show Registers & Program", "---"}));
    EXPECT_TRUE(enabledTexts(f.menu("View")).isEmpty());
    EXPECT_EQ(enabledTexts(f.menu("Calculator")),
              (QStringList{"Turbo", "Keyboard", "Face", "Save Calculator Memory to File…", "Log USB Traffic",
                           "Show USB Log in File Manager"}));
    EXPECT_TRUE(item(f.menu("Calculator"), "Log USB Traffic")->isChecked()); // absent setting: on
    EXPECT_TRUE(item(submenu(f.menu("Calculator"), "Keyboard"), "Automatic (from firmware)")->isChecked());
    EXPECT_TRUE(item(submenu(f.menu("Calculator"), "Face"), "Photo")->isChecked());
    EXPECT_EQ(texts(f.menu("Model")), QStringList{"No firmware"});
    EXPECT_TRUE(enabledTexts(f.menu("Model")).isEmpty());
    // The default snapshot's model is the HP-16C: six chords, all disabled.
    const QStringList keys = texts(f.menu("Keys"));
    EXPECT_EQ(keys, (QStringList{"Service Menu (g-ENTER-ON)", "USB Mode (f-ENTER-ON)", "Memory Reset (ON + −)…",
                                 "Self-Test (ON + ×)", "Continuous Self-Test (ON + +)", "Keyboard Test (ON + ÷)",
                                 "---", "Release Held Keys", "Hold a key down: Ctrl-click or right-click it",
                                 "f-ENTER-ON: no USB in the app, the calculator just turns on"}));
    EXPECT_TRUE(enabledTexts(f.menu("Keys")).isEmpty());
    EXPECT_EQ(enabledTexts(f.menu("Help")), QStringList{"About Tarnwick"});
}

TEST(MenuBar, ARunningSingleModelFirmware) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    EXPECT_EQ(enabledTexts(f.menu("File")),
              (QStringList{"Open Memory File…", "Save Memory File…", "Program Info…", "Open Program Notes…",
                           "Save Program Notes…", "Export Program Documentation (PDF)…", "Export Listing as Text…",
                           "PDF Paper Size", "Clear Program Notes", "PDF Fonts", "Choose Firmware…", "Quit"}));
    EXPECT_EQ(enabledTexts(f.menu("View")), QStringList{"Show Registers & Program"});
    EXPECT_TRUE(item(f.menu("Calculator"), "ON / OFF")->isEnabled());
    EXPECT_TRUE(item(f.menu("Calculator"), "Read from Calculator")->isEnabled());

    // One model: its label ticked and disabled, no note about switching.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.app->snapshot().model == 15; }, test::kHangLimitMs));
    EXPECT_EQ(texts(f.menu("Model")), QStringList{"15C"});
    EXPECT_TRUE(f.menu("Model")->actions()[0]->isChecked());
    EXPECT_FALSE(f.menu("Model")->actions()[0]->isEnabled());

    // The HP-15C has seven chords, enabled, with their help as tooltips.
    const QMenu* keys = f.menu("Keys");
    EXPECT_EQ(texts(keys)[6], "Swap Decimal Point and Comma (ON + .)");
    EXPECT_TRUE(item(keys, "Self-Test (ON + ×)")->isEnabled());
    EXPECT_EQ(item(keys, "Self-Test (ON + ×)")->toolTip(),
              "Runs the calculator's self-test and shows all segments when it passes.");
    EXPECT_FALSE(item(keys, "Release Held Keys")->isEnabled());
    f.app->setLatchedKeys({25});
    EXPECT_TRUE(item(keys, "Release Held Keys")->isEnabled());

    // The memory reset only asks.
    item(keys, "Memory Reset (ON + −)…")->trigger();
    ASSERT_TRUE(f.app->pendingAction());
    EXPECT_EQ(f.app->pendingAction()->id(), "reset");

    // A model switch under way disables the chords.
    f.app->setIsSwitchingModel(true);
    EXPECT_FALSE(item(keys, "Self-Test (ON + ×)")->isEnabled());
}

TEST(MenuBar, AMultiModelFirmwareAsksBeforeEverySwitch) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_TRUE(f.start(Firmware::Multi));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.app->snapshot().variant == 120; }, test::kHangLimitMs));
    const QMenu* model = f.menu("Model");
    EXPECT_EQ(texts(model), (QStringList{"12C", "15C", "15C (15.2)", "16C", "---",
                                         "Switching clears the calculator's memory"}));
    EXPECT_TRUE(model->actions()[0]->isChecked());
    EXPECT_FALSE(model->actions()[1]->isChecked());
    EXPECT_TRUE(model->actions()[1]->isEnabled());

    // Choosing the ticked model still asks, and the tick stays where the model is.
    model->actions()[0]->trigger();
    ASSERT_TRUE(f.app->pendingAction());
    EXPECT_EQ(f.app->pendingAction()->id(), "switch120");
    EXPECT_TRUE(f.menu("Model")->actions()[0]->isChecked());
    f.app->setPendingAction(std::nullopt);
    f.menu("Model")->actions()[3]->trigger();
    EXPECT_EQ(f.app->pendingAction()->id(), "switch160");
    EXPECT_FALSE(f.menu("Model")->actions()[3]->isChecked());

    f.app->setIsSwitchingModel(true);
    EXPECT_EQ(texts(f.menu("Model")).last(), "Switching…");
    EXPECT_FALSE(f.menu("Model")->actions()[1]->isEnabled());
}

TEST(MenuBar, TogglesAndPickersFollowAndWriteTheModel) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_TRUE(f.showRunning(Firmware::Hp16c));
    QAction* inspector = f.menu("View")->actions()[0];
    EXPECT_EQ(shownText(inspector), "Show Registers & Program");
    inspector->trigger();
    EXPECT_TRUE(f.app->showInspector());
    EXPECT_EQ(f.platform.setting("showInspector").toBool(), true);
    EXPECT_EQ(shownText(inspector), "Hide Registers & Program");
    auto* column = f.window->content()->calculator()->inspectorColumn();
    EXPECT_TRUE(column->isVisible());
    EXPECT_GE(column->width(), 260);
    EXPECT_LE(column->width(), 520);
    inspector->trigger();
    EXPECT_FALSE(column->isVisible());

    QAction* turbo = item(f.menu("Calculator"), "Turbo");
    turbo->trigger();
    EXPECT_TRUE(f.app->turbo());
    EXPECT_TRUE(turbo->isChecked());
    f.app->setTurbo(false);
    EXPECT_FALSE(turbo->isChecked());

    item(submenu(f.menu("File"), "PDF Paper Size"), "US Letter")->trigger();
    EXPECT_EQ(f.app->paper(), PDFPaper::letter);
    EXPECT_EQ(f.platform.setting("pdfPaper").toString(), "letter");
    item(submenu(f.menu("Calculator"), "Face"), "Drawn")->trigger();
    EXPECT_EQ(f.platform.setting("faceStyle").toString(), "drawn");
    item(submenu(f.menu("Calculator"), "Keyboard"), "12C")->trigger();
    EXPECT_EQ(f.app->skin(), SkinChoice::hp12c);
    f.app->setSkin(SkinChoice::hp15c);
    EXPECT_TRUE(item(submenu(f.menu("Calculator"), "Keyboard"), "15C")->isChecked());

    item(f.menu("Calculator"), "Log USB Traffic")->trigger();
    EXPECT_EQ(f.platform.setting("usbLog").toBool(), false);
    EXPECT_FALSE(item(f.menu("Calculator"), "Log USB Traffic")->isChecked());
    item(f.menu("Calculator"), "Log USB Traffic")->trigger();
    EXPECT_EQ(f.platform.setting("usbLog").toBool(), true);

    item(f.menu("Help"), "About Tarnwick")->trigger();
    EXPECT_TRUE(f.app->showAbout());
}

// Alt is the calculator's g key: a lone tap plays g and leaves the menu bar alone,
// also with a base style whose menu bar takes the focus on Alt.
TEST(MenuBar, ALoneAltTapReachesTheCalculatorNotTheMenuBar) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    CalculatorStyle style(QStringLiteral("Windows"));
    f.window->menuBar()->setStyle(&style);
    f.window->show();
    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    QApplication::processEvents();
    std::set<int> seen;
    QObject::connect(f.app.get(), &AppModel::pressedKeysChanged, f.app.get(),
                     [&] { seen.insert(f.app->pressedKeys().begin(), f.app->pressedKeys().end()); });
    QWidget* before = QApplication::focusWidget();
    QTest::keyClick(f.window->windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::focusWidget(), before);
    EXPECT_FALSE(f.window->menuBar()->activeAction());
    EXPECT_TRUE(seen.count(CalculatorMachine::keyG)) << "the g key was not played";
}

TEST(MenuBar, CtrlQQuitsWhileTheProgramInfoSheetIsOpen) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_NE(f.showRunning(Firmware::Hp15c), nullptr);
    QAction* quit = item(f.menu(QStringLiteral("File")), QStringLiteral("Quit"));
    ASSERT_NE(quit, nullptr);
    QObject::disconnect(quit, &QAction::triggered, qApp, nullptr); // the test's application stays
    int quits = 0;
    QObject::connect(quit, &QAction::triggered, quit, [&] { ++quits; });

    f.app->setShowProgramInfo(true);
    QDialog* sheet = f.window->content()->presentations()->programInfoSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    // The keys go to the field that has the keyboard, the title.
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() && sheet->isAncestorOf(QApplication::focusWidget()),
                              test::kHangLimitMs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
}

TEST(MenuBar, OnOffWithKeysHeldPlaysAChordAndLetsThemGo) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    f.app->apply(f.app->latch().toggle(CalculatorMachine::keyG));
    f.app->apply(f.app->latch().toggle(CalculatorMachine::keyENTER));
    ASSERT_EQ(f.app->latch().latched(), (std::set<int>{CalculatorMachine::keyENTER, CalculatorMachine::keyG}));
    item(f.menu("Calculator"), "ON / OFF")->trigger();
    // ON went down and up while they were held; they are let go afterwards.
    EXPECT_TRUE(f.app->latch().latched().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.app->latchedKeys().empty(); }, test::kHangLimitMs));
    EXPECT_FALSE(item(f.menu("Keys"), "Release Held Keys")->isEnabled());
}

TEST(MenuBar, TheRealCalculatorItemsWaitForARunningJob) {
    WindowFixture f;
    f.app->setLinkStatus(QStringLiteral("Reading the calculator's memory…"));
    const QMenu* calculator = f.menu("Calculator");
    EXPECT_FALSE(item(calculator, "Save Calculator Memory to File…")->isEnabled());
    EXPECT_TRUE(item(calculator, "Reading the calculator's memory…"));
    f.app->setLinkStatus(std::nullopt);
    EXPECT_TRUE(item(calculator, "Save Calculator Memory to File…")->isEnabled());
    EXPECT_TRUE(item(calculator, "USB: calculator off, hold f + ENTER, press ON"));
}

TEST(MenuBar, ShowingTheUsbLogMakesOneToShowEvenWhileLoggingIsOff) {
    WindowFixture f;
    const QString log = QString::fromStdString(usbLogPath().string());
    ASSERT_TRUE(log.startsWith(qEnvironmentVariable("TW_TEST_HOME"))); // never the user's own log
    QFile::remove(log);
    item(f.menu("Calculator"), "Log USB Traffic")->trigger(); // off
    item(f.menu("Calculator"), "Show USB Log in File Manager")->trigger();
    EXPECT_TRUE(QFile::exists(log));
    EXPECT_EQ(f.platform.revealed(), QStringList{log});
    item(f.menu("Calculator"), "Log USB Traffic")->trigger(); // on again
    EXPECT_TRUE(usbLogEnabled());
    EXPECT_FALSE(f.app->notice()); // the file manager showed it: nothing more to say
}

TEST(MenuBar, WithoutAFileManagerANoteSaysWhereTheUsbLogIs) {
    WindowFixture f;
    f.window->show();
    f.platform.setFileManagerPresent(false);
    const QString log = QString::fromStdString(usbLogPath().string());
    item(f.menu("Calculator"), "Show USB Log in File Manager")->trigger();
    ASSERT_TRUE(f.app->notice());
    EXPECT_EQ(*f.app->notice(),
              "No file manager could be opened to show the USB log. The log is the file “" + log + "”.");
    MessageDialog* note = f.window->content()->presentations()->noticeAlert();
    ASSERT_TRUE(note);
    EXPECT_EQ(note->title(), "Note");
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(QFile::exists(log)); // the file named is there to be found
}

TEST(MenuBar, FontLabelFollowsTheFontsFound) {
    WindowFixture f;
    EXPECT_EQ(CalculatorCommands::fontLabel(*f.app), "standard fonts");
    EXPECT_EQ(texts(submenu(f.menu("File"), "PDF Fonts"))[0], "Using: standard fonts");
}

TEST(MenuBar, CommandsThatNeedTheEngineDoNothingWithoutIt) {
    WindowFixture f;
    CalculatorCommands::showProgramInfo(*f.app);
    CalculatorCommands::exportListing(*f.app);
    QTest::qWait(20);
    EXPECT_FALSE(f.app->showProgramInfo());
    // Clearing the notes forgets their file.
    f.app->setProgramDocURL(QStringLiteral("/tmp/notes.orvanedoc"));
    CalculatorCommands::clearProgramNotes(*f.app);
    EXPECT_FALSE(f.app->programDocURL());
    EXPECT_TRUE(f.app->programDoc().isEmpty());
}

TEST(MenuBar, ResetWithoutARememberedFirmwareLeavesTheCalculatorStopped) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    item(f.menu("Calculator"), "Reset Calculator (clears memory)")->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(f.app->isRunning());
    EXPECT_FALSE(f.app->engine());
    EXPECT_FALSE(f.app->isStarting());
}

TEST(MenuBar, ResetRestartsTheRememberedFirmwareWithoutItsState) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    f.remember(Firmware::Hp15c);
    ASSERT_TRUE(f.start(Firmware::Hp15c));
    f.app->saveState(true);
    const QString perFirmware = f.app->stateStore().fileURL(f.app->firmwareID());
    ASSERT_TRUE(QFile::exists(perFirmware));
    CalculatorCommands::resetCalculator(*f.app);
    EXPECT_FALSE(QFile::exists(perFirmware));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.app->isRunning(); }, test::kHangLimitMs));
}

TEST(InWindowMenu, SameCommandsNoShortcutsNothingDisabled) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    CalculatorWithInspector* calculator = f.showRunning(Firmware::Hp15c);
    ASSERT_TRUE(calculator);
    MenuButton* button = calculator->menuButton();
    EXPECT_EQ(button->accessibleName(), "Calculator menu");
    EXPECT_EQ(button->menu(), calculator->menu());
    // Ten pixels from the top and right edges of the calculator area.
    EXPECT_EQ(button->geometry().top(), 10);
    EXPECT_EQ(calculator->calculatorArea()->width() - button->geometry().right() - 1, 10);

    const QMenu* menu = calculator->menu();
    EXPECT_EQ(texts(menu), (QStringList{"Turbo", "Registers & Program", "ON / OFF", "Model", "Keys", "---",
                                        "Open Memory File…", "Save Memory File…", "Program Documentation", "---",
                                        "Keyboard", "Face", "Choose Firmware…", "Reset Calculator…", "---",
                                        "About Tarnwick"}));
    EXPECT_EQ(texts(submenu(menu, "Program Documentation")),
              (QStringList{"Program Info…", "Open Program Notes…", "Save Program Notes…", "Export PDF…",
                           "Export Listing as Text…", "Paper", "Use HP 15C Fonts…"}));
    // The very menus of the menu bar.
    EXPECT_EQ(submenu(menu, "Model"), f.menu("Model"));
    EXPECT_EQ(submenu(menu, "Keys"), f.menu("Keys"));
    for (const QAction* action : menu->actions()) {
        EXPECT_TRUE(action->shortcut().isEmpty()) << shownText(action).toStdString();
        EXPECT_TRUE(action->isEnabled()) << shownText(action).toStdString();
    }

    QAction* inspector = item(menu, "Registers & Program");
    EXPECT_FALSE(inspector->isChecked());
    inspector->trigger();
    EXPECT_TRUE(f.app->showInspector());
    EXPECT_TRUE(inspector->isChecked());
    EXPECT_EQ(shownText(f.menu("View")->actions()[0]), "Hide Registers & Program");
    f.app->setShowInspector(false);
    EXPECT_FALSE(inspector->isChecked());

    item(menu, "Choose Firmware…")->trigger();
    EXPECT_EQ(f.app->importTask(), FileTask::firmware);
    EXPECT_TRUE(f.app->showImporter());
}

TEST(InWindowMenu, GoesWithTheCalculator) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    ASSERT_TRUE(f.showRunning(Firmware::Hp15c));
    f.app->stop();
    QApplication::processEvents();
    EXPECT_FALSE(f.window->content()->calculator());
    EXPECT_EQ(f.window->content()->current(), f.window->content()->welcome());
    // The shared menus stay with the menu bar.
    EXPECT_EQ(texts(f.menu("Model")).size(), 1);
}

} // namespace
} // namespace tw::test
