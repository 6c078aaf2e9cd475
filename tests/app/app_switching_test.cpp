// Model switching on the multi-model test firmware, the memory reset, and the
// reset command's restart, through AppModel.
#include "app/support/app_test_support.h"
#include "runtime/support/firmware_calculator.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;

// Started, and its first display has reached the model (with the running model).
bool runningOn(AppModel& model, Firmware which) {
    return startOn(model, which) && waitFor([&] { return shownText(model) == "0."; });
}

bool switched(AppModel& model, int variant) {
    model.perform(PendingAction::switchModel(variant));
    EXPECT_TRUE(model.isSwitchingModel());
    return waitFor([&] { return !model.isSwitchingModel(); }) && model.snapshot().variant == variant;
}

TEST(ModelSwitch, TheMultiModelFirmwareSwitchesToEachModelAndSavesIt) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Multi));
    EXPECT_EQ(model.snapshot().variant, 120);
    EXPECT_TRUE(model.canSwitchModel());
    model.setSkin(SkinChoice::hp12c);

    for (int variant : {150, 152, 160, 150, 120}) {
        SCOPED_TRACE(variant);
        tapKeys(model, {k4});
        ASSERT_TRUE(switched(model, variant));
        EXPECT_FALSE(model.errorMessage());
        EXPECT_EQ(model.snapshot().model, variant / 10);
        EXPECT_EQ(model.model().id, variant / 10);
        // The new model's memory is saved at once.
        const auto saved = model.stateStore().load(model.firmwareID());
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->variant, variant);
    }
    // A forced face gave way to the model of the firmware, and the setting says so.
    EXPECT_EQ(model.skin(), SkinChoice::automatic);
    EXPECT_EQ(platform.setting("skin").toString(), "automatic");
}

TEST(ModelSwitch, AFailedSwitchShowsItsErrorAndLoadsNothing) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Multi));
    ASSERT_TRUE(switched(model, 160));
    ASSERT_TRUE(waitFor([&] { return !model.pendingAction(); }));

    // From the HP-16C the model menu's first item brings the HP-15C, not the HP-12C.
    auto image = startedCalculator(Firmware::Multi)->readMemoryOff(false);
    model.perform(PendingAction::switchThenLoad(image, "“x.12c”", 120, "reason"));
    ASSERT_TRUE(waitFor([&] { return !model.isSwitchingModel(); }));
    EXPECT_EQ(model.errorMessage(), QString::fromStdString(SwitchError::didNotSwitch(120, 150).description()));
    pump(500ms);
    EXPECT_EQ(model.snapshot().variant, 150);
}

TEST(ModelSwitch, NothingHappensWithoutAnEngine) {
    MemoryPlatform platform;
    AppModel model(platform);
    model.setPendingAction(PendingAction::switchModel(150));
    model.perform(*model.pendingAction());
    EXPECT_FALSE(model.pendingAction()); // the dialog's action is cleared all the same
    EXPECT_FALSE(model.isSwitchingModel());
    model.perform(PendingAction::memoryReset());
    model.perform(PendingAction::loadMemory(std::vector<uint8_t>(2048), "the calculator"));
    EXPECT_FALSE(model.errorMessage());
}

TEST(MemoryReset, TheConfirmedResetReleasesHeldKeysAndClearsTheMemory) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    ASSERT_TRUE(runningOn(model, Firmware::Hp15c));
    tapKeys(model, {k4, k2, kEnter});
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "42."; }));
    model.apply(model.latch().toggle(k7)); // a key held on the face
    ASSERT_FALSE(model.latchedKeys().empty());

    model.sendChord(KeyChord(KeyChord::memoryReset));
    ASSERT_EQ(model.pendingAction(), PendingAction::memoryReset());
    EXPECT_EQ(model.pendingAction()->title(), "Reset the calculator's memory?");
    model.perform(*model.pendingAction());
    EXPECT_TRUE(model.latchedKeys().empty());
    EXPECT_TRUE(model.pressedKeys().empty());
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "Pr Error"; }));
    tap(model, kClear);
    ASSERT_TRUE(waitFor([&] { return shownText(model) == "0."; }));
    const auto inspection = freshInspection(model);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(1).number, 0); // the 42 in Y is gone
}

TEST(ResetCommand, RestartsWithoutTheSavedStateOnlyWhenTheFirmwareCanRunAgain) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel model(platform);
    const QString path = writeFirmwareFile(platform, Firmware::Hp15c, "hp15.bin");
    model.chooseFirmware(FileResult::file(path));
    ASSERT_TRUE(waitFor([&] { return model.isRunning() && shownText(model) == "0."; }));
    tapKeys(model, {k4, k2});
    model.saveState(true);
    ASSERT_TRUE(model.stateStore().load(model.firmwareID()));

    // The firmware file is gone: the calculator stops, and the memory stays saved.
    ASSERT_TRUE(QFile::rename(path, path + ".moved"));
    model.resetCalculator();
    EXPECT_FALSE(model.isRunning());
    EXPECT_FALSE(model.isStarting());
    ASSERT_TRUE(model.stateStore().load(model.firmwareID()));

    // A file the core refuses: the same, with the core's reason.
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(1000, 'x'));
    junk.close();
    model.resetCalculator();
    EXPECT_TRUE(model.errorMessage());
    EXPECT_FALSE(model.isStarting());
    ASSERT_TRUE(model.stateStore().load(model.firmwareID()));

    // The firmware is back: both saved files go, and the calculator starts afresh.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(path + ".moved", path));
    model.setErrorMessage(std::nullopt);
    model.resetCalculator();
    EXPECT_FALSE(model.stateStore().load(model.firmwareID()));
    EXPECT_FALSE(QFile::exists(model.stateStore().fileURL()));
    ASSERT_TRUE(waitFor([&] { return model.isRunning() && shownText(model) == "0."; }));
    EXPECT_FALSE(model.errorMessage());
}

} // namespace
