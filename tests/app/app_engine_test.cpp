// Starting and stopping the engine through AppModel on our test firmware, the
// saved state across instances, the firmware choice and the quit-time capture.
#include "app/support/app_test_support.h"
#include "runtime/support/engine_sleeps.h"
#include "runtime/support/firmware_calculator.h"
#include "runtime/support/typing_script.h"
#include "runtime/support/virtual_clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;

const QString otherFirmwareNotice =
    "The saved calculator memory belongs to another firmware; starting with a cleared memory.";
const QString couldNotSwitchBack = "Could not switch the firmware back to the model the memory was saved from.";

TEST(EngineLife, StartsWithoutSavedStateAndStops) {
    TW_REQUIRE_TEST_FIRMWARE();
    useTestFingerprints();
    MemoryPlatform platform;
    AppModel model(platform);
    int runningSignals = 0;
    QObject::connect(&model, &AppModel::isRunningChanged, [&] { ++runningSignals; });

    model.start("hp15.bin", firmwareBytes(Firmware::Hp15c), std::nullopt);
    EXPECT_TRUE(model.isStarting()); // the machine is built in the background
    EXPECT_FALSE(model.isRunning());
    ASSERT_TRUE(waitFor([&] { return model.isRunning(); }));
    EXPECT_FALSE(model.isStarting());
    EXPECT_EQ(model.firmwareName(), "hp15.bin");
    EXPECT_FALSE(model.firmwareInfo().isEmpty());
    EXPECT_EQ(model.family(), CalculatorFamily::hp15c);
    EXPECT_EQ(model.images(), std::vector<int>{150});
    EXPECT_EQ(model.firmwareID(), firmwareID(Firmware::Hp15c));
    EXPECT_EQ(model.firmwareData(), firmwareBytes(Firmware::Hp15c));
    EXPECT_FALSE(model.notice());
    EXPECT_FALSE(model.errorMessage());
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "0."; }));
    EXPECT_EQ(model.snapshot().model, 15);
    EXPECT_EQ(model.model().id, 15);

    model.stop();
    EXPECT_FALSE(model.isRunning());
    EXPECT_EQ(model.engine(), nullptr);
    EXPECT_EQ(shownText(model), "0."); // the last display stays
    EXPECT_GE(runningSignals, 2);
}

TEST(EngineLife, KeysReachTheEngineAndTheDisplayFollows) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(startOn(model, Firmware::Hp15c));
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "0."; }));
    tapKeys(model, {k2, kEnter, k3, kPlus});
    EXPECT_TRUE(waitFor([&] { return shownText(model) == "5."; })) << shownText(model).toStdString();
    auto inspection = freshInspection(model);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(0).number, 5);
    EXPECT_TRUE(model.pressedKeys().empty());
}

TEST(EngineLife, StateRoundTripAcrossTwoInstancesOverTheSameFolder) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    const QString path = writeFirmwareFile(platform, Firmware::Hp15c, "calc15.bin");
    {
        AppModel first(platform);
        first.chooseFirmware(FileResult::file(path));
        ASSERT_TRUE(waitFor([&] { return first.isRunning(); }));
        EXPECT_EQ(first.firmwareName(), "calc15.bin");
        ASSERT_TRUE(waitFor([&] { return shownText(first) == "0."; }));
        tapKeys(first, {k4, k2});
        ASSERT_TRUE(waitFor([&] { return shownText(first) == "42"; })) << shownText(first).toStdString();
        first.saveStateOnQuit();
        EXPECT_TRUE(waitFor([&] { return shownText(first) == ""; })); // turned off by the capture
    }
    const QString id = firmwareID(Firmware::Hp15c);
    StateStore store(platform);
    EXPECT_TRUE(QFileInfo::exists(store.fileURL()));
    EXPECT_TRUE(QFileInfo::exists(store.fileURL(id)));

    AppModel second(platform);
    ASSERT_TRUE(second.startRememberedFirmware());
    EXPECT_FALSE(second.startRememberedFirmware()); // one start at a time
    ASSERT_TRUE(waitFor([&] { return second.isRunning(); }));
    EXPECT_EQ(second.firmwareName(), "calc15.bin");
    EXPECT_FALSE(second.notice());
    auto inspection = freshInspection(second);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(0).number, 42);
}

TEST(EngineLife, SaveStateWhileRunningTurnsBackOnWhenAsked) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    model.saveState(true); // no engine: nothing
    EXPECT_FALSE(QFileInfo::exists(model.stateStore().fileURL()));

    ASSERT_TRUE(startOn(model, Firmware::Hp15c));
    tapKeys(model, {k7});
    model.saveState(true);
    auto saved = model.stateStore().load(model.firmwareID());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->variant, 150);
    EXPECT_TRUE(waitFor([&] { return shownText(model) == "7."; })) << shownText(model).toStdString();
}

TEST(EngineLife, AStateOfAnotherFirmwareIsRefusedWithItsNotice) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(startOn(model, Firmware::Hp16c));
    tapKeys(model, {k4});
    model.saveState(false);
    auto saved = model.stateStore().load(firmwareID(Firmware::Hp16c));
    ASSERT_TRUE(saved);

    ASSERT_TRUE(startOn(model, Firmware::Hp15c, saved));
    EXPECT_EQ(model.notice(), otherFirmwareNotice);
    auto inspection = freshInspection(model);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(0).number, 0);

    // The next start without a problem clears the notice.
    ASSERT_TRUE(startOn(model, Firmware::Hp15c));
    EXPECT_FALSE(model.notice());
}

TEST(EngineLife, AMemoryThatCouldNotBeRestoredIsKeptAsideAtTheFirstSave) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    const QString id = firmwareID(Firmware::Hp15c);
    // A memory saved while a model ran that this firmware cannot switch to.
    SavedState unreachable{std::vector<uint8_t>(2048, 0x11), 160, id.toStdString()};
    model.stateStore().save(unreachable);

    ASSERT_TRUE(startOn(model, Firmware::Hp15c, model.stateStore().load(id)));
    EXPECT_EQ(model.notice(), couldNotSwitchBack);
    model.saveState(true);

    // The new state is saved, and the memory that could not be restored is still there.
    auto now = model.stateStore().load(id);
    ASSERT_TRUE(now);
    EXPECT_EQ(now->variant, 150);
    const QStringList names = QDir(model.stateStore().folder()).entryList(QDir::Files);
    int kept = 0;
    for (const QString& name : names) {
        QFile file(QDir(model.stateStore().folder()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        if (SavedState::fromJSON(file.readAll().toStdString()) == unreachable) ++kept;
    }
    EXPECT_GE(kept, 1) << names.join(", ").toStdString();

    // Later saves do not set anything aside again.
    model.saveState(true);
    EXPECT_EQ(QDir(model.stateStore().folder()).entryList(QDir::Files).size(), names.size());
}

TEST(EngineLife, TheNewestOfOverlappingStartsWins) {
    TW_REQUIRE_TEST_FIRMWARE();
    useTestFingerprints();
    MemoryPlatform platform;
    AppModel model(platform);
    // The multi-model image takes longer to start than the HP-15C one.
    model.start("first.bin", firmwareBytes(Firmware::Multi), std::nullopt);
    model.start("second.bin", firmwareBytes(Firmware::Hp15c), std::nullopt);
    ASSERT_TRUE(waitFor([&] { return model.isRunning(); }));
    pump(300ms); // time for the older start to finish too
    EXPECT_FALSE(model.isStarting());
    EXPECT_EQ(model.firmwareName(), "second.bin");
    EXPECT_EQ(model.family(), CalculatorFamily::hp15c);

    // And the other way round.
    model.start("third.bin", firmwareBytes(Firmware::Hp15c), std::nullopt);
    model.start("fourth.bin", firmwareBytes(Firmware::Multi), std::nullopt);
    ASSERT_TRUE(waitFor([&] { return model.isRunning(); }));
    pump(300ms);
    EXPECT_EQ(model.firmwareName(), "fourth.bin");
    EXPECT_EQ(model.family(), CalculatorFamily::multi);
}

TEST(EngineLife, AFailedStartLeavesNothingRunning) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(startOn(model, Firmware::Hp15c));
    model.start("junk.bin", std::vector<uint8_t>(1000, 0), std::nullopt);
    EXPECT_FALSE(model.isRunning()); // the start stops the running engine first
    ASSERT_TRUE(waitFor([&] { return !model.isStarting(); }));
    EXPECT_FALSE(model.isRunning());
    EXPECT_EQ(model.engine(), nullptr);
    ASSERT_TRUE(model.errorMessage());
    EXPECT_FALSE(model.errorMessage()->isEmpty());
}

TEST(EngineLife, AModelGoneBeforeItsStartEndsDropsTheResult) {
    TW_REQUIRE_TEST_FIRMWARE();
    useTestFingerprints();
    MemoryPlatform platform;
    {
        AppModel model(platform);
        model.start("gone.bin", firmwareBytes(Firmware::Hp15c), std::nullopt);
    }
    pump(200ms); // the result arrives for nobody
    AppModel next(platform);
    EXPECT_FALSE(next.isRunning());
    ASSERT_TRUE(startOn(next, Firmware::Hp15c));
}

TEST(FirmwareChoice, ARefusedFileKeepsTheRunningCalculator) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    const QString good = writeFirmwareFile(platform, Firmware::Hp15c, "good.bin");
    model.chooseFirmware(FileResult::file(good));
    ASSERT_TRUE(waitFor([&] { return model.isRunning(); }));
    const QVariant reference = platform.setting("firmwareBookmark");

    const QString junk = QDir(platform.root()).filePath("notes.txt");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a firmware");
    file.close();
    model.chooseFirmware(FileResult::file(junk));
    ASSERT_TRUE(model.errorMessage());
    EXPECT_TRUE(model.isRunning());
    EXPECT_EQ(model.firmwareName(), "good.bin");
    EXPECT_EQ(platform.setting("firmwareBookmark"), reference);
    EXPECT_EQ(platform.setting("firmwareName").toString(), "good.bin");

    model.chooseFirmware(FileResult::file(QDir(platform.root()).filePath("missing.bin")));
    EXPECT_TRUE(model.isRunning());

    // A FIFO is refused without waiting for a writer, a folder without reading it.
    const QString fifo = QDir(platform.root()).filePath("pipe.bin");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    model.setErrorMessage(std::nullopt);
    model.chooseFirmware(FileResult::file(fifo));
    ASSERT_TRUE(model.errorMessage());
    EXPECT_TRUE(model.errorMessage()->contains("firmware")) << model.errorMessage()->toStdString();
    model.setErrorMessage(std::nullopt);
    model.chooseFirmware(FileResult::file(platform.root()));
    EXPECT_TRUE(model.errorMessage());
    EXPECT_EQ(model.firmwareName(), "good.bin");
    model.setErrorMessage(std::nullopt);
    model.chooseFirmware(FileResult::failure("The panel failed."));
    EXPECT_EQ(model.errorMessage(), "The panel failed.");
}

TEST(FirmwareChoice, SavesTheOldStateThenStartsTheNewFirmwareWithItsOwn) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    const QString path15 = writeFirmwareFile(platform, Firmware::Hp15c, "a.bin");
    const QString path16 = writeFirmwareFile(platform, Firmware::Hp16c, "b.bin");
    model.chooseFirmware(FileResult::file(path15));
    ASSERT_TRUE(waitFor([&] { return model.isRunning(); }));
    tapKeys(model, {k9});

    model.chooseFirmware(FileResult::file(path16));
    ASSERT_TRUE(waitFor([&] { return model.isRunning() && model.family() == CalculatorFamily::hp16c; }));
    EXPECT_EQ(platform.setting("firmwareName").toString(), "b.bin");
    auto saved = model.stateStore().load(firmwareID(Firmware::Hp15c));
    ASSERT_TRUE(saved);

    // Back to the first: it comes up with its own memory.
    model.chooseFirmware(FileResult::file(path15));
    ASSERT_TRUE(waitFor([&] { return model.isRunning() && model.family() == CalculatorFamily::hp15c; }));
    EXPECT_FALSE(model.notice());
    auto inspection = freshInspection(model);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(0).number, 9);
}

TEST(QuitCapture, TurnsTheCalculatorOffAndReadsItsState) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto machine = startedCalculator(Firmware::Hp15c);
    keys(*machine, {k8});
    const int64_t before = machine->simMs();
    auto state = AppModel::captureStateOnQuit(*machine);
    ASSERT_TRUE(state);
    EXPECT_TRUE(machine->isDisplayBlank());
    EXPECT_EQ(state->variant, 150);
    EXPECT_EQ(state->firmwareID, machine->firmwareID());
    EXPECT_EQ(state->memory.size(), 2048u);
    EXPECT_EQ(machine->simMs() - before, 1220); // one ON press and its 500 ms

    // Already off: nothing is pressed.
    const int64_t off = machine->simMs();
    EXPECT_TRUE(AppModel::captureStateOnQuit(*machine));
    EXPECT_EQ(machine->simMs(), off);
}

// The quit-time capture right behind quick typing, on a virtual clock: every key
// typed before it counts, and none becomes a chord with the capture's ON presses.
std::vector<uint8_t> capturedAfter(const std::vector<TypedKey>& keys, int64_t spacingMs) {
    std::optional<SavedState> captured;
    typeOnVirtualClock(keys, spacingMs, [&](CalculatorMachine& m) { captured = AppModel::captureStateOnQuit(m); });
    return captured ? keptMemory(captured->memory) : std::vector<uint8_t>{};
}

// X of a captured memory, as the calculator shows it after a start with it.
std::optional<double> capturedX(const std::vector<TypedKey>& keys) {
    std::optional<SavedState> captured;
    typeOnVirtualClock(keys, slowSpacingMs, [&](CalculatorMachine& m) { captured = AppModel::captureStateOnQuit(m); });
    if (!captured) return std::nullopt;
    auto m = startedCalculator(Firmware::Hp15c);
    m->start(*captured);
    return m->inspect()->stack.at(0).number;
}

void expectCapturedAsTypedSlowly(const std::vector<TypedKey>& keys, const std::vector<TypedKey>& slowKeys,
                                 const std::string& what) {
    const std::vector<uint8_t> slow = capturedAfter(slowKeys, slowSpacingMs);
    ASSERT_FALSE(slow.empty());
    for (int64_t spacing : {20, 75, 150, 0}) {
        SCOPED_TRACE(what + (spacing ? " typed " + std::to_string(spacing) + " ms apart" : " in one batch"));
        EXPECT_EQ(capturedAfter(keys, spacing), slow);
    }
}

TEST(QuitCapture, KeysTypedJustBeforeTheCaptureAllCountAndNoneBecomesAChord) {
    TW_REQUIRE_TEST_FIRMWARE();
    // "−" still down when ON is pressed would be the memory reset.
    const std::vector<TypedKey> subtraction{k5, kEnter, k3, kMinus};
    EXPECT_EQ(capturedX(subtraction), 2);
    expectCapturedAsTypedSlowly(subtraction, subtraction, "5 ENTER 3 −");
    // Latched on the face: the capture lets it go, and it counts once.
    expectCapturedAsTypedSlowly({k5, kEnter, k3, TypedKey::held(kMinus)}, subtraction, "5 ENTER 3, − latched");

    std::vector<TypedKey> additions{k1, kEnter, kEnter, kEnter};
    for (int tap = 0; tap < 40; ++tap) additions.push_back(kPlus);
    EXPECT_EQ(capturedX(additions), 41);
    expectCapturedAsTypedSlowly(additions, additions, "1 ENTER ENTER ENTER, 40 +");
}

// Forty quick taps with the quit's capture right behind them: the taps reach the
// firmware as fast as the emulation goes, never waiting for the clock, so the capture
// is in time and has them all. On a virtual clock, so that the waits are counted
// rather than timed; how fast the emulation goes is the typing benchmark's concern.
TEST(QuitCapture, FortyQuickTapsAndTheCaptureBehindThemTakeWellUnderItsTimeOut) {
    TW_REQUIRE_TEST_FIRMWARE();
    using Command = CalculatorEngine::Command;
    auto clock = std::make_shared<VirtualClock>();
    CalculatorEngine engine(startedCalculator(Firmware::Hp15c), [](std::function<void()>) {}, clock);
    engine.start();
    // All in one batch, as a busy host delivers them, with the capture right behind.
    std::vector<Command> typed;
    for (int code : {k1, kEnter, kEnter, kEnter}) {
        typed.push_back(Command{Command::Press{code}});
        typed.push_back(Command{Command::Release{code}});
    }
    for (int tap = 0; tap < 40; ++tap) {
        typed.push_back(Command{Command::Press{kPlus}});
        typed.push_back(Command{Command::Release{kPlus}});
    }
    uint64_t typedOnClock = 0;
    typed.push_back(Command{Command::Perform{[&](CalculatorMachine&) { typedOnClock = clock->now(); }}});
    engine.send(std::move(typed));
    // From here the clock moves only when the engine waits with no command pending.
    const uint64_t sentOnClock = clock->now();
    // A time-out for a hang: on this clock the emulation's waits take no time.
    auto captured = engine.performAndWait(kHangLimitSeconds, &AppModel::captureStateOnQuit);
    ASSERT_TRUE(captured && *captured);
    EXPECT_EQ(typedOnClock, sentOnClock) << "the taps waited for the clock";
    auto m = startedCalculator(Firmware::Hp15c);
    m->start(**captured);
    EXPECT_EQ(m->inspect()->stack.at(0).number, 41);
}

TEST(EngineLife, InspectorAndTurboFollowTheFields) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    model.setTurbo(true); // before the engine exists: sent at the start
    ASSERT_TRUE(startOn(model, Firmware::Hp15c));
    EXPECT_FALSE(model.inspection());
    model.setShowInspector(true);
    ASSERT_TRUE(waitFor([&] { return model.inspection().has_value(); }));
    // Turbo runs ahead of the clock: a second of emulated time without the engine once
    // waiting for it, where real time sleeps at every slice it is ahead.
    const auto simMs = [&] {
        return model.engine()->performAndWait(kHangLimitSeconds, [](CalculatorMachine& m) { return m.simMs(); });
    };
    const auto asleep = engineSleeps();
    ASSERT_TRUE(asleep);
    const int64_t t0 = simMs().value();
    ASSERT_TRUE(waitFor([&] { return simMs().value_or(t0) - t0 >= 1000; }));
    EXPECT_LE(engineSleeps().value_or(0) - *asleep, kTurboSleepsPerSecond) << "the engine waited for the clock";
    model.stop();
    EXPECT_FALSE(model.inspection());
}

TEST(EngineLife, AFaultOfTheChipIsShownAndTheEngineStaysInstalled) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    bool ran = false;
    model.requestFreshInspection([&](std::optional<InspectorSnapshot>) { ran = true; }); // no engine: never runs
    ASSERT_TRUE(startOn(model, Firmware::Hp15c));
    model.engine()->send(CalculatorEngine::Command::Perform{
        [](CalculatorMachine&) { throw CalculatorError::fault("bad instruction"); }});
    ASSERT_TRUE(waitFor([&] { return model.errorMessage().has_value(); }));
    EXPECT_EQ(model.errorMessage(), "The emulated chip stopped: bad instruction");
    EXPECT_TRUE(model.isRunning());
    EXPECT_NE(model.engine(), nullptr);
    pump(std::chrono::milliseconds(50));
    EXPECT_FALSE(ran);
}

} // namespace
