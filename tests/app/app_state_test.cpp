// The application state without an engine: settings, derived values, the small
// types' texts and what the key operations do while nothing runs.
#include "app/support/app_test_support.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

using namespace tw;

TEST(AppSettings, DefaultsWhenNothingIsStored) {
    MemoryPlatform platform;
    AppModel model(platform);
    EXPECT_EQ(model.paper(), PDFPaper::a4);
    EXPECT_FALSE(model.showInspector());
    EXPECT_EQ(model.skin(), SkinChoice::automatic);
    EXPECT_EQ(model.faceStyle(), FaceStyle::photo);
    EXPECT_EQ(model.importTask(), FileTask::firmware);
    EXPECT_EQ(model.exportType(), UTType::memory16c);
    EXPECT_EQ(model.exportKind(), ExportKind::memory);
    EXPECT_EQ(model.programDoc(), ProgramDocument{});
    EXPECT_TRUE(model.persistState());
    EXPECT_FALSE(model.isRunning());
    EXPECT_EQ(model.snapshot(), EngineSnapshot{});
    // Reading the settings wrote none.
    EXPECT_TRUE(platform.settings().isEmpty());
}

TEST(AppSettings, AreReadBackByTheNextInstance) {
    MemoryPlatform platform;
    {
        AppModel first(platform);
        first.setPaper(PDFPaper::letter);
        first.setShowInspector(true);
        first.setSkin(SkinChoice::hp12c);
        first.setFaceStyle(FaceStyle::drawn);
        first.setTurbo(true); // never saved
    }
    EXPECT_EQ(platform.setting("pdfPaper").toString(), "letter");
    EXPECT_EQ(platform.setting("skin").toString(), "hp12c");
    EXPECT_EQ(platform.setting("faceStyle").toString(), "drawn");
    EXPECT_EQ(platform.settings().size(), 4);

    AppModel second(platform);
    EXPECT_EQ(second.paper(), PDFPaper::letter);
    EXPECT_TRUE(second.showInspector());
    EXPECT_EQ(second.skin(), SkinChoice::hp12c);
    EXPECT_EQ(second.faceStyle(), FaceStyle::drawn);
    EXPECT_FALSE(second.turbo());
}

TEST(AppSettings, UnknownOrMisspelledValuesFallBack) {
    MemoryPlatform platform;
    platform.setSetting("skin", "hp41c");
    platform.setSetting("pdfPaper", "Letter");
    platform.setSetting("faceStyle", "Drawn");
    AppModel model(platform);
    EXPECT_EQ(model.skin(), SkinChoice::automatic);
    EXPECT_EQ(model.paper(), PDFPaper::a4);
    EXPECT_EQ(model.faceStyle(), FaceStyle::photo);

    platform.setSetting("skin", "");
    EXPECT_EQ(AppModel(platform).skin(), SkinChoice::automatic);
    platform.setSetting("skin", "hp15c");
    EXPECT_EQ(AppModel(platform).skin(), SkinChoice::hp15c);
}

TEST(AppSettings, EveryAssignmentNotifiesAndWrites) {
    MemoryPlatform platform;
    AppModel model(platform);
    int skinSignals = 0;
    QObject::connect(&model, &AppModel::skinChanged, [&] { ++skinSignals; });
    model.setSkin(SkinChoice::automatic); // the same value
    model.setSkin(SkinChoice::automatic);
    EXPECT_EQ(skinSignals, 2);
    EXPECT_EQ(platform.setting("skin").toString(), "automatic");
}

TEST(AppDerived, KeyboardAspectRatioAndSwitching) {
    MemoryPlatform platform;
    AppModel model(platform);
    EXPECT_EQ(model.model().id, 16); // no engine yet
    EXPECT_EQ(model.modelName(), "HP-16C");

    EngineSnapshot snapshot;
    snapshot.model = 15;
    model.setSnapshot(snapshot);
    EXPECT_EQ(model.model().id, 15);
    snapshot.model = 42;
    model.setSnapshot(snapshot);
    EXPECT_EQ(model.model().id, 16);
    model.setSkin(SkinChoice::hp12c); // a forced skin wins
    EXPECT_EQ(model.model().id, 12);

    EXPECT_NE(model.faceAspectRatio(), 1.62);
    model.setFaceStyle(FaceStyle::drawn);
    for (SkinChoice skin : allSkinChoices) {
        model.setSkin(skin);
        EXPECT_DOUBLE_EQ(model.faceAspectRatio(), 1.62);
    }

    model.setImages({150});
    model.setIsRunning(true);
    EXPECT_FALSE(model.canSwitchModel());
    model.setImages({120, 150});
    EXPECT_TRUE(model.canSwitchModel());
    model.setIsSwitchingModel(true);
    EXPECT_FALSE(model.canSwitchModel());
}

TEST(AppDerived, TimestampIsFixedFormatWhateverTheLocale) {
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7), QTimeZone::systemTimeZone());
    EXPECT_EQ(AppModel::timestamp(when), "2026-03-04 05.06.07");
    QLocale::setDefault(QLocale::c());
}

TEST(PendingActionTexts, IdsTitlesAndButtons) {
    const std::vector<uint8_t> data(2048, 1);
    EXPECT_EQ(PendingAction::switchModel(150).id(), "switch150");
    EXPECT_EQ(PendingAction::switchModel(152).title(), "Switch to the 15C (15.2)?");
    EXPECT_EQ(PendingAction::switchModel(152).confirmButton(), "Switch Model");
    EXPECT_EQ(PendingAction::loadMemory(data, "prog.15c").id(), "load prog.15c");
    EXPECT_EQ(PendingAction::loadMemory(data, "prog.15c").title(), "Load the memory from prog.15c?");
    EXPECT_EQ(PendingAction::loadMemoryAnyway(data, "x", "r").id(), "load anyway x");
    EXPECT_EQ(PendingAction::loadMemoryAnyway(data, "x", "r").title(), "The memory from x may not fit");
    EXPECT_EQ(PendingAction::loadMemoryAnyway(data, "x", "r").confirmButton(), "Load Anyway");
    const auto switchThenLoad = PendingAction::switchThenLoad(data, "the calculator", 120, "r");
    EXPECT_EQ(switchThenLoad.id(), "switch 120 load the calculator");
    EXPECT_EQ(switchThenLoad.title(), "The memory from the calculator is for the HP-12C");
    EXPECT_EQ(switchThenLoad.confirmButton(), "Switch to 12C and Load");
    EXPECT_EQ(PendingAction::memoryReset().id(), "reset");
    EXPECT_EQ(PendingAction::memoryReset().title(), "Reset the calculator's memory?");
    EXPECT_EQ(PendingAction::memoryReset().confirmButton(), "Reset Memory");
    EXPECT_EQ(PendingAction::switchModel(999).title(), "Switch to the 999?");

    // Equal only with every payload byte equal.
    auto other = data;
    other[2047] = 2;
    EXPECT_EQ(PendingAction::loadMemory(data, "a"), PendingAction::loadMemory(data, "a"));
    EXPECT_NE(PendingAction::loadMemory(data, "a"), PendingAction::loadMemory(other, "a"));
    EXPECT_NE(PendingAction::loadMemory(data, "a"), PendingAction::loadMemoryAnyway(data, "a", ""));
}

TEST(PendingWriteTexts, TitleAndMessageByCalculator) {
    PendingWrite write;
    write.emulatorModel = "HP-15C";
    write.backup = "/home/u/Documents/Tarnwick Backups/Calculator memory 2026-01-02 03.04.05.15c";
    EXPECT_EQ(write.title(), "Write to the calculator?");
    EXPECT_EQ(write.message(),
              "The connected calculator's memory does not look like a memory this firmware knows. It gets the "
              "emulator's HP-15C memory. Its current memory was saved to \u201CCalculator memory 2026-01-02 "
              "03.04.05.15c\u201D in /home/u/Documents/Tarnwick Backups.");

    write.calculatorModels = {152, 150};
    EXPECT_EQ(write.title(), "Write to the HP-15C?");
    EXPECT_TRUE(QString(write.message()).startsWith("The connected HP-15C gets the emulator's HP-15C memory "
                                                     "(programs, registers and settings). Its current"));
    write.needs152 = true;
    EXPECT_TRUE(write.message().contains("(programs, registers and settings). This memory uses the HP-15C (15.2) "
                                         "double memory: set the calculator to 15C (15.2) mode first (turn it "
                                         "off, hold g and ENTER, press ON, 4, then the key under 15.2), or it "
                                         "will show Error 10. Its current memory"));

    write.calculatorModels = {120};
    write.needs152 = false;
    EXPECT_TRUE(write.message().startsWith("The connected calculator holds an HP-12C memory, but the emulator runs "
                                           "an HP-15C. The calculator will most likely show Pr Error and clear its "
                                           "memory. Its current"));
    EXPECT_NE(PendingWrite{}.id, PendingWrite{}.id);
}

TEST(KeysWithoutEngine, ChangeNothingButAppliedActionsStillShow) {
    MemoryPlatform platform;
    AppModel model(platform);
    model.press(27);
    model.press(27, KeyPart::fLabel);
    model.sendChord(KeyChord::memoryReset);
    model.sendChord(KeyChord::selfTest);
    EXPECT_TRUE(model.pressedKeys().empty());
    EXPECT_FALSE(model.pendingAction());
    EXPECT_TRUE(model.latch().isEmpty());

    // ENTER's lower half shows as ENTER itself.
    model.apply({KeyLatch::Action::press(35), KeyLatch::Action::press(27)});
    EXPECT_EQ(model.pressedKeys(), (std::set<int>{25, 27}));
    model.apply({KeyLatch::Action::releaseLater({35, 27})});
    EXPECT_TRUE(model.pressedKeys().empty());

    model.latch().toggle(35);
    model.apply({});
    EXPECT_EQ(model.latchedKeys(), (std::set<int>{25}));
}

} // namespace
