// Memory files through AppModel on our test firmware: the file checks, the notes
// found beside a file, the trial check of each outcome turned into its action, and
// the save-panel hand-off behind "Save Backup First…".
#include "app/support/app_test_support.h"
#include "runtime/support/firmware_calculator.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;

// Started, and its first display has reached the model (with the running model).
bool runningOn(AppModel& model, Firmware which) {
    return startOn(model, which) && waitFor([&] { return shownText(model) == "0."; });
}

// A memory image taken from a scratch calculator on an image after some keys.
std::vector<uint8_t> memoryOf(Firmware which, std::initializer_list<int> codes, int variant = 0) {
    auto m = startedCalculator(which);
    if (variant) m->switchModel(variant);
    keys(*m, codes);
    return m->readMemoryOff(false);
}

QString writeFile(const MemoryPlatform& platform, const QString& name, const std::vector<uint8_t>& bytes) {
    const QString path = QDir(platform.root()).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return path;
}

// Waits for the trial check's answer: a pending action or an error.
bool answered(const AppModel& model) {
    return waitFor([&] { return model.pendingAction().has_value() || model.errorMessage().has_value(); });
}

const PendingAction::LoadMemoryAnyway* anyway(const AppModel& model) {
    return model.pendingAction() ? model.pendingAction()->as<PendingAction::LoadMemoryAnyway>() : nullptr;
}

TEST(MemoryFiles, AFittingFileAsksToLoadAndTheLoadReplacesTheMemory) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    const auto image = memoryOf(Firmware::Hp15c, {k4, k2});

    // Any extension, or none: only the size counts.
    model.openFile(writeFile(platform, "prog", image));
    ASSERT_TRUE(answered(model));
    EXPECT_FALSE(model.errorMessage());
    EXPECT_EQ(model.pendingAction(), PendingAction::loadMemory(image, "“prog”", MemoryOrigin{"prog", std::nullopt}));
    EXPECT_EQ(model.pendingAction()->title(), "Load the memory from “prog”?");
    EXPECT_EQ(model.memoryFileNameCandidate(), "prog");

    model.perform(*model.pendingAction());
    EXPECT_FALSE(model.pendingAction());
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "42."; }));
    EXPECT_FALSE(model.errorMessage());
}

TEST(MemoryFiles, EachTrialOutcomeBecomesItsActionAndText) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    auto damaged = memoryOf(Firmware::Hp15c, {k4, k2});
    damaged[300] ^= 1; // the checksum no longer matches

    model.trialLoad(damaged, "“bad.15c”");
    ASSERT_TRUE(answered(model));
    ASSERT_TRUE(anyway(model));
    EXPECT_EQ(anyway(model)->reason, "In a trial load on this firmware's HP-15C, the calculator showed Pr Error with "
                                     "it (its memory would be cleared). It may be from another model or firmware.");
    EXPECT_EQ(model.pendingAction()->title(), "The memory from “bad.15c” may not fit");

    // A memory that never held anything is laid out afresh: bytes change.
    model.setPendingAction(std::nullopt);
    model.trialLoad(std::vector<uint8_t>(2048, 0), "the calculator");
    ASSERT_TRUE(answered(model));
    ASSERT_TRUE(anyway(model));
    EXPECT_TRUE(anyway(model)->reason.startsWith(
        "In a trial load on this firmware's HP-15C, the calculator started but changed "));
    EXPECT_TRUE(anyway(model)->reason.endsWith(" bytes of the registers / program area (it may have cleared them). "
                                               "It may be from another model or firmware."));

    // The calculator's read may hand over anything: a wrong size is an error.
    model.setPendingAction(std::nullopt);
    model.trialLoad(std::vector<uint8_t>(2047, 0), "the calculator");
    ASSERT_TRUE(answered(model));
    EXPECT_FALSE(model.pendingAction());
    EXPECT_EQ(model.errorMessage(),
              "The memory from the calculator is 2047 bytes; a calculator memory is 2048 bytes. Nothing was loaded.");
}

TEST(MemoryFiles, WithoutAFirmwareTheTrialShowsNothing) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    model.trialLoad(memoryOf(Firmware::Hp15c, {k4}), "the calculator");
    ASSERT_TRUE(answered(model));
    ASSERT_TRUE(anyway(model));
    EXPECT_EQ(anyway(model)->reason, "In a trial load on this firmware's HP-16C, the calculator did not show "
                                     "anything after ON. It may be from another model or firmware.");
}

TEST(MemoryFiles, ADoubledMemoryOffersTheSwitchWhereTheFirmwareHasIt) {
    TW_REQUIRE_TEST_FIRMWARE();
    const auto doubled = memoryOf(Firmware::Multi, {k7}, 152);
    const QString needsMore = "It uses more registers than the HP-15C mode this firmware is running has (g MEM "
                              "gives Error 10, and DIM (i) cannot fix it). It is a memory from the HP-15C (15.2) "
                              "double-memory mode.";
    {
        MemoryPlatform platform;
        AppModel model(platform);
        ASSERT_TRUE(runningOn(model, Firmware::Multi));
        model.switchModel(150);
        ASSERT_TRUE(waitFor([&] { return !model.isSwitchingModel(); }));
        ASSERT_EQ(model.snapshot().variant, 150);

        // Our test firmware's 12C keeps any sealed memory, so it fits there too, and
        // comes first in firmware order; the memory itself says it is a 15.2 one.
        ASSERT_EQ(CalculatorMachine::fittingVariants(doubled, firmwareBytes(Firmware::Multi), {120, 152, 160}).at(0),
                  120);
        model.openFile(writeFile(platform, "big.15c", doubled));
        ASSERT_TRUE(answered(model));
        const auto* action = model.pendingAction()->as<PendingAction::SwitchThenLoad>();
        ASSERT_TRUE(action) << model.pendingAction()->id().toStdString();
        EXPECT_EQ(action->variant, 152);
        EXPECT_EQ(action->reason,
                  needsMore + " Switch the model first (this clears the emulator's memory), then load it.");
        EXPECT_EQ(model.pendingAction()->title(), "The memory from “big.15c” is for the HP-15C (15.2)");
        EXPECT_EQ(model.pendingAction()->confirmButton(), "Switch to 15C (15.2) and Load");

        // A file whose name says 12C: the first image that fits, and every text says so.
        model.setPendingAction(std::nullopt);
        model.openFile(writeFile(platform, "big.12c", doubled));
        ASSERT_TRUE(answered(model));
        const auto* asNamed = model.pendingAction()->as<PendingAction::SwitchThenLoad>();
        ASSERT_TRUE(asNamed) << model.pendingAction()->id().toStdString();
        EXPECT_EQ(asNamed->variant, 120);
        EXPECT_EQ(model.pendingAction()->title(), "The memory from “big.12c” is for the HP-12C");
        EXPECT_FALSE(asNamed->reason.contains("15.2")) << asNamed->reason.toStdString();
        EXPECT_TRUE(asNamed->reason.contains("It fits the HP-12C.")) << asNamed->reason.toStdString();

        // Confirmed: the switch, then the load.
        model.setPendingAction(PendingAction::switchThenLoad(doubled, "“big.15c”", 152, action->reason));
        model.perform(*model.pendingAction());
        ASSERT_TRUE(waitFor([&] { return !model.isSwitchingModel() && shownText(model) == "7."; }));
        EXPECT_EQ(model.snapshot().variant, 152);
        EXPECT_FALSE(model.errorMessage());
    }
    {
        MemoryPlatform platform;
        AppModel model(platform);
        ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
        model.trialLoad(doubled, "“big.15c”");
        ASSERT_TRUE(answered(model));
        EXPECT_EQ(model.pendingAction(), PendingAction::loadMemoryAnyway(doubled, "“big.15c”", needsMore));
    }
}

TEST(MemoryFiles, ACheckMadeForAModelLeftMeanwhileRunsAgainOnTheNewOne) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Multi)); // the 12C, which keeps any sealed memory
    // A 15.2 memory: it fits the 12C, but needs the switch on the 15C.
    const auto doubled = memoryOf(Firmware::Multi, {k7}, 152);
    model.trialLoad(doubled, "“big”");
    model.switchModel(150); // before the check can have ended
    ASSERT_TRUE(answered(model));
    EXPECT_FALSE(model.isSwitchingModel());
    ASSERT_TRUE(model.pendingAction());
    const auto* again = model.pendingAction()->as<PendingAction::SwitchThenLoad>();
    ASSERT_TRUE(again) << model.pendingAction()->id().toStdString();
    EXPECT_EQ(again->variant, 152);
    model.setPendingAction(std::nullopt);
    const auto image = memoryOf(Firmware::Multi, {k4, k2});

    // A check made against a model that is not the one running when it ends is made
    // again against the running one: here the 16C is shown only while it starts.
    auto starting = model.snapshot();
    const auto running = starting;
    starting.variant = 160;
    starting.model = 16;
    model.setSnapshot(starting);
    model.trialLoad(std::vector<uint8_t>(2048, 0), "“blank”");
    model.setSnapshot(running);
    ASSERT_TRUE(answered(model));
    ASSERT_TRUE(model.pendingAction());
    const auto* blank = model.pendingAction()->as<PendingAction::LoadMemoryAnyway>();
    ASSERT_TRUE(blank);
    EXPECT_TRUE(blank->reason.startsWith("In a trial load on this firmware's HP-15C, the calculator started but "
                                         "changed "))
        << blank->reason.toStdString();
    model.setPendingAction(std::nullopt);

    // A newer check replaces an older one: only its answer is shown.
    model.trialLoad(std::vector<uint8_t>(2048, 0), "“old”");
    model.trialLoad(image, "“new”");
    ASSERT_TRUE(answered(model));
    pump(3s);
    ASSERT_TRUE(model.pendingAction());
    EXPECT_TRUE(model.pendingAction()->title().contains("“new”"));
}

// A check that runs again because the model was switched under it gives way to a
// file handed in after it: the newest file's dialog is shown, with its own name.
TEST(MemoryFiles, ACheckMadeAgainAfterASwitchGivesWayToALaterFile) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Multi));
    const auto doubled = memoryOf(Firmware::Multi, {k7}, 152);
    const auto plain = memoryOf(Firmware::Multi, {k4, k2});
    model.openFile(writeFile(platform, "alpha.15c", doubled));
    model.switchModel(150); // before alpha's check can have ended: it runs again
    model.openFile(writeFile(platform, "beta.15c", plain));
    ASSERT_TRUE(answered(model));
    pump(3s);
    ASSERT_TRUE(model.pendingAction());
    EXPECT_TRUE(model.pendingAction()->title().contains("“beta.15c”")) << model.pendingAction()->title().toStdString();
    EXPECT_EQ(model.pendingAction()->origin.fileName, "beta.15c");

    // Alone, the check made again keeps its own file's name.
    model.setPendingAction(std::nullopt);
    model.openFile(writeFile(platform, "gamma.15c", plain));
    model.switchModel(152);
    ASSERT_TRUE(answered(model));
    pump(1s);
    ASSERT_TRUE(model.pendingAction());
    EXPECT_EQ(model.pendingAction()->origin.fileName, "gamma.15c");
    EXPECT_EQ(model.snapshot().variant, 152);
}

TEST(MemoryFiles, AFileOfAnotherSizeIsRefusedUnread) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    writeFile(platform, "x.15c.orvanedoc", ProgramDocument().encoded());

    model.openFile(writeFile(platform, "x.15c", std::vector<uint8_t>(2047)));
    EXPECT_EQ(model.errorMessage(), "“x.15c” is not a calculator memory file (it must be exactly 2048 bytes).");
    EXPECT_FALSE(model.memoryFileNameCandidate());
    EXPECT_FALSE(model.pendingSidecar());

    // A FIFO that no one writes to would block a plain read for ever.
    const QString fifo = QDir(platform.root()).filePath("pipe.16c");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    model.setErrorMessage(std::nullopt);
    model.openFile(fifo);
    EXPECT_EQ(model.errorMessage(), "“pipe.16c” is not a calculator memory file (it must be exactly 2048 bytes).");

    model.setErrorMessage(std::nullopt);
    model.loadMemory(FileResult::failure("The panel failed."));
    EXPECT_EQ(model.errorMessage(), "The panel failed.");
    model.openFile(QDir(platform.root()).filePath("missing.16c"));
    EXPECT_TRUE(model.errorMessage()->startsWith("“missing.16c” could not be opened: "));
    EXPECT_FALSE(model.pendingAction());
}

TEST(MemoryFiles, TheNotesBesideAFileAreTakenAlongUnlessTheyAreNoNotes) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    const auto image = memoryOf(Firmware::Hp15c, {k1});
    ProgramDocument notes;
    notes.title = "Loan";
    const QString notesPath = writeFile(platform, "prog.16c.orvanedoc", notes.encoded());
    writeFile(platform, "prog.orvanedoc", ProgramDocument().encoded()); // not looked for

    model.openFile(writeFile(platform, "prog.16c", image));
    ASSERT_TRUE(model.pendingSidecar());
    EXPECT_EQ(model.pendingSidecar()->doc, notes);
    EXPECT_EQ(model.pendingSidecar()->url, notesPath);
    ASSERT_TRUE(answered(model));

    // Notes that do not decode, or that are far too large to be notes, are skipped
    // silently, and an earlier file's notes do not linger.
    writeFile(platform, "two.15c.orvanedoc", {'{', 'x'});
    model.openFile(writeFile(platform, "two.15c", image));
    EXPECT_EQ(model.memoryFileNameCandidate(), "two.15c");
    EXPECT_FALSE(model.pendingSidecar());

    const QString huge = writeFile(platform, "big.15c.orvanedoc", notes.encoded());
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(), qint64(8) << 30), 0); // sparse: no disk used
    model.openFile(writeFile(platform, "big.15c", image));
    EXPECT_EQ(model.memoryFileNameCandidate(), "big.15c");
    EXPECT_FALSE(model.pendingSidecar());
    ASSERT_TRUE(answered(model));
}

// "Save Backup First…": the emulator's memory goes to the save panel; the action
// waits for the panel's outcome.
TEST(SaveBackupFirst, ASuccessfulSaveCarriesOutTheActionOnce) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto image = memoryOf(Firmware::Hp15c, {k7});
    model.setPendingAction(PendingAction::loadMemory(image, "“seven.15c”"));

    model.saveBackupFirst(*model.pendingAction());
    EXPECT_FALSE(model.pendingAction());
    EXPECT_EQ(model.exportKind(), ExportKind::memory);
    EXPECT_EQ(model.exportType(), UTType::memory15c);
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    ASSERT_EQ(model.exportDocument()->data.size(), 2048u);

    const QString backup = QDir(platform.root()).filePath("backup.15c");
    ASSERT_EQ(model.exportDocument()->write(backup), std::nullopt);
    model.exportFinished(FileResult::file(backup));
    model.exportPanelClosed();
    EXPECT_FALSE(model.exportDocument());
    EXPECT_FALSE(model.afterExport());
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "7."; }));

    // The backup holds the memory from before the load.
    const auto saved = MemoryFile::read(backup);
    ASSERT_TRUE(std::holds_alternative<MemoryFile>(saved));
    model.perform(PendingAction::loadMemory(std::get<MemoryFile>(saved).data, "“backup.15c”"));
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "42."; }));
}

TEST(SaveBackupFirst, AFailedOrCancelledSaveDropsTheAction) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto image = memoryOf(Firmware::Hp15c, {k7});

    model.saveBackupFirst(PendingAction::loadMemory(image, "“seven.15c”"));
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportFinished(FileResult::failure("The disk is full."));
    model.exportPanelClosed();
    EXPECT_EQ(model.errorMessage(), "The disk is full.");
    EXPECT_FALSE(model.afterExport());

    // A cancelled panel: the action lingers a second for a late completion, then goes.
    model.saveBackupFirst(PendingAction::loadMemory(image, "“seven.15c”"));
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportPanelClosed();
    EXPECT_TRUE(model.afterExport());
    ASSERT_TRUE(waitFor([&] { return !model.afterExport().has_value(); }));

    // A later, unrelated save carries out nothing.
    model.saveMemoryToFile();
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportFinished(FileResult::file(QDir(platform.root()).filePath("later.15c")));
    pump(500ms);
    EXPECT_EQ(shownText(model), "42.");
}

// Saves the document of the panel on screen as `name` under the platform's root, as
// the panel does: the written path.
QString saveShownPanel(AppModel& model, const MemoryPlatform& platform, const QString& name) {
    const QString path = QDir(platform.root()).filePath(name);
    EXPECT_TRUE(model.exportDocument());
    if (model.exportDocument()) {
        EXPECT_EQ(model.exportDocument()->write(path), std::nullopt);
    }
    model.exportFinished(FileResult::file(path));
    model.exportPanelClosed();
    return path;
}

// A save panel without an action that comes within the second a cancelled backup's
// action lingers takes none of it: saving it loads nothing.
TEST(SaveBackupFirst, APanelWithoutAnActionRightAfterACancelledBackupCarriesOutNothing) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto image = memoryOf(Firmware::Hp15c, {k7});

    model.saveBackupFirst(PendingAction::loadMemory(image, "“seven.15c”"));
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportPanelOpened();
    model.exportPanelClosed();
    ASSERT_TRUE(model.afterExport());
    model.saveMemoryToFile();
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    EXPECT_FALSE(model.afterExport());
    model.exportPanelOpened();
    saveShownPanel(model, platform, "memory.15c");
    pump(500ms);
    EXPECT_EQ(shownText(model), "42.");
}

TEST(SaveBackupFirst, AnEngineThatDeliversNoStateLeavesNoActionBehind) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto image = memoryOf(Firmware::Hp15c, {k7});

    // The engine fails to hand over the state that the backup asked for: no panel,
    // and the action goes with the request.
    EngineOutcome<SavedState> failed;
    failed.error = std::make_exception_ptr(CalculatorError::state("The memory could not be read."));
    model.saveMemoryFinished(failed, UTType::memory15c, std::nullopt,
                             AfterSave{PendingAction::loadMemory(image, "“seven.15c”"), 0});
    EXPECT_EQ(model.errorMessage(), "The memory could not be read.");
    EXPECT_FALSE(model.afterExport());
    EXPECT_FALSE(model.exportDocument());

    // A later, unrelated save carries out nothing.
    model.saveMemoryToFile();
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportFinished(FileResult::file(QDir(platform.root()).filePath("memory.15c")));
    pump(500ms);
    EXPECT_EQ(shownText(model), "42.");
}

// With "Save Memory File…" already on screen, the backup's panel comes after it: the
// action waits for that panel alone, whatever becomes of the earlier one.
TEST(SaveBackupFirst, TheActionWaitsForThePanelOfItsOwnBackup) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto seven = memoryOf(Firmware::Hp15c, {k7});
    const auto requestBackupBehindAnotherPanel = [&] {
        model.saveMemoryToFile();
        EXPECT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
        model.exportPanelOpened();
        model.saveBackupFirst(PendingAction::loadMemory(seven, "“seven.15c”"));
        return waitFor([&] { return model.waitingExports().size() == 1; });
    };

    // The earlier panel is saved: nothing is loaded; then the backup's own panel is cancelled.
    ASSERT_TRUE(requestBackupBehindAnotherPanel());
    EXPECT_FALSE(model.afterExport());
    saveShownPanel(model, platform, "earlier.15c");
    pump(500ms);
    EXPECT_EQ(shownText(model), "42.");
    ASSERT_TRUE(model.exportDocument());
    EXPECT_EQ(model.afterExport(), PendingAction::loadMemory(seven, "“seven.15c”"));
    model.exportPanelOpened();
    model.exportPanelClosed();
    EXPECT_TRUE(waitFor([&] { return !model.afterExport().has_value(); }));
    EXPECT_EQ(shownText(model), "42.");

    // The earlier panel is cancelled: the backup's panel still carries the action, also
    // past the second that the cancelled one waits, and saving it loads.
    ASSERT_TRUE(requestBackupBehindAnotherPanel());
    model.exportPanelClosed();
    model.exportPanelOpened();
    pump(1500ms);
    EXPECT_EQ(model.afterExport(), PendingAction::loadMemory(seven, "“seven.15c”"));
    EXPECT_EQ(shownText(model), "42.");
    const QString backup = saveShownPanel(model, platform, "backup.15c");
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "7."; }));
    const auto saved = MemoryFile::read(backup);
    ASSERT_TRUE(std::holds_alternative<MemoryFile>(saved));
    EXPECT_NE(std::get<MemoryFile>(saved).data, seven);
}

// An action behind "Save Backup First…" replaces the memory its backup holds, and only
// that one: once another load (here a second backup's own action, or a file loaded
// while the panel is shown) has replaced it, saving the backup carries out nothing.
TEST(SaveBackupFirst, AMemoryReplacedBeforeTheBackupIsSavedDropsTheAction) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto seven = memoryOf(Firmware::Hp15c, {k7});
    const auto eight = memoryOf(Firmware::Hp15c, {k8});

    model.saveBackupFirst(PendingAction::loadMemory(seven, "“seven.15c”"));
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportPanelOpened();
    model.saveBackupFirst(PendingAction::loadMemory(eight, "“eight.15c”"));
    ASSERT_TRUE(waitFor([&] { return model.waitingExports().size() == 1; }));
    // The first backup loads its own file, not the second one's.
    saveShownPanel(model, platform, "first.15c");
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "7."; }));
    // The second backup holds the memory from before that load.
    ASSERT_TRUE(model.exportDocument());
    model.exportPanelOpened();
    saveShownPanel(model, platform, "second.15c");
    pump(1s);
    EXPECT_EQ(shownText(model), "7.");

    // A file loaded while the backup's panel is shown.
    model.saveBackupFirst(PendingAction::loadMemory(eight, "“eight.15c”"));
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportPanelOpened();
    const auto four = memoryOf(Firmware::Hp15c, {k4});
    model.perform(PendingAction::loadMemory(four, "“four.15c”"));
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "4."; }));
    saveShownPanel(model, platform, "third.15c");
    pump(1s);
    EXPECT_EQ(shownText(model), "4.");
}

// A file handed in while the backup's panel is shown has its own dialog; the backed-up
// load takes the name and notes of its own file, so that the next save writes
// that file's program under that file's name.
TEST(SaveBackupFirst, TheLoadTakesTheNameAndNotesOfItsOwnFile) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    ProgramDocument alphaNotes, betaNotes;
    alphaNotes.title = "Alpha";
    betaNotes.title = "Beta";
    const QString alphaNotesPath = writeFile(platform, "alpha.15c.orvanedoc", alphaNotes.encoded());
    writeFile(platform, "beta.15c.orvanedoc", betaNotes.encoded());
    const auto seven = memoryOf(Firmware::Hp15c, {k7});
    const auto eight = memoryOf(Firmware::Hp15c, {k8});

    model.openFile(writeFile(platform, "alpha.15c", seven));
    ASSERT_TRUE(answered(model));
    ASSERT_TRUE(model.pendingAction());
    const PendingAction alpha = *model.pendingAction();
    EXPECT_EQ(alpha.origin.fileName, "alpha.15c");
    ASSERT_TRUE(alpha.origin.sidecar);
    EXPECT_EQ(alpha.origin.sidecar->doc, alphaNotes);
    model.saveBackupFirst(alpha);
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportPanelOpened();

    model.openFile(writeFile(platform, "beta.15c", eight));
    ASSERT_TRUE(answered(model));
    ASSERT_TRUE(model.pendingAction());
    EXPECT_EQ(model.pendingAction()->origin.fileName, "beta.15c");

    saveShownPanel(model, platform, "backup.15c");
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "7." && model.memoryFileName().has_value(); }));
    EXPECT_EQ(model.memoryFileName(), "alpha.15c");
    EXPECT_EQ(model.programDoc().title, "Alpha");
    EXPECT_EQ(model.programDocURL(), alphaNotesPath);
    // Beta's dialog is still there, for beta.
    ASSERT_TRUE(model.pendingAction());
    EXPECT_EQ(model.pendingAction()->origin.fileName, "beta.15c");
}

// Documents handed to the save panel while it shows another wait their turn; each
// panel completes with the kind it was opened for.
TEST(SavePanelHandOffs, ALaterHandOffWaitsForTheShownPanelToClose) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2});
    const auto seven = memoryOf(Firmware::Hp15c, {k7});

    model.saveProgramNotes();
    model.exportPanelOpened();
    const MemoryFile notes = *model.exportDocument();
    // A PDF render and "Save Backup First…" finish while the notes panel is shown.
    model.offerPDFExport("Loan documentation", {'%', 'P', 'D', 'F'});
    model.saveBackupFirst(PendingAction::loadMemory(seven, "“seven.15c”"));
    EXPECT_EQ(model.exportDocument(), notes);
    EXPECT_EQ(model.exportKind(), ExportKind::notes);
    EXPECT_EQ(model.exportType(), UTType::programdoc);
    ASSERT_TRUE(waitFor([&] { return model.waitingExports().size() == 2; }));
    EXPECT_EQ(model.exportDocument(), notes);

    const QString notesPath = QDir(platform.root()).filePath("Program.orvanedoc");
    model.exportFinished(FileResult::file(notesPath));
    EXPECT_EQ(model.programDocURL(), notesPath);
    model.exportPanelClosed();
    ASSERT_TRUE(model.exportDocument());
    EXPECT_EQ(model.exportDocument()->data, (std::vector<uint8_t>{'%', 'P', 'D', 'F'}));
    EXPECT_EQ(model.exportKind(), ExportKind::pdf);
    EXPECT_EQ(model.exportType(), UTType::pdf);
    EXPECT_EQ(model.exportNameOverride(), "Loan documentation");

    // The PDF panel takes its time: the backup's action waits with its own document.
    model.exportPanelOpened();
    pump(1500ms);
    ASSERT_EQ(model.waitingExports().size(), 1u);
    EXPECT_TRUE(model.waitingExports().front().afterSave);
    EXPECT_FALSE(model.afterExport());
    model.exportFinished(FileResult::file(QDir(platform.root()).filePath("Loan documentation.pdf")));
    model.exportPanelClosed();
    EXPECT_EQ(model.programDocURL(), notesPath);
    ASSERT_TRUE(model.exportDocument());
    EXPECT_EQ(model.exportKind(), ExportKind::memory);
    EXPECT_EQ(model.exportType(), UTType::memory15c);
    EXPECT_TRUE(model.waitingExports().empty());
    EXPECT_EQ(model.afterExport(), PendingAction::loadMemory(seven, "“seven.15c”"));

    model.exportPanelOpened();
    const QString backup = QDir(platform.root()).filePath("backup.15c");
    ASSERT_EQ(model.exportDocument()->write(backup), std::nullopt);
    model.exportFinished(FileResult::file(backup));
    model.exportPanelClosed();
    EXPECT_FALSE(model.exportDocument());
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "7."; }));
}

TEST(SaveMemory, TheLoadedFilesNameIsProposedAndTheKeyboardDecidesTheType) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    model.saveMemoryToFile(); // no engine: name, kind and type only
    EXPECT_EQ(model.exportNameOverride(), std::nullopt);
    EXPECT_EQ(model.exportType(), UTType::memory16c);
    EXPECT_FALSE(model.exportDocument());

    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    model.setMemoryFileName("loan.v2.15c");
    model.setSkin(SkinChoice::hp12c);
    model.saveMemoryToFile();
    EXPECT_EQ(model.exportNameOverride(), "loan.v2");
    EXPECT_EQ(model.exportType(), UTType::memory12c);
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    model.exportPanelClosed();
    EXPECT_FALSE(model.exportNameOverride());
}

} // namespace
