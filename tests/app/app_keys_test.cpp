// Keys, legends, latching and chords through AppModel on a running engine.
#include "app/support/app_test_support.h"
#include "platform/safe_file_writer.h"
#include "runtime/support/firmware_calculator.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;

class KeysOnFirmware : public ::testing::Test {
protected:
    void SetUp() override {
        if (!firmwareBuilt()) GTEST_SKIP() << "test firmware not built";
        ASSERT_TRUE(startOn(model, Firmware::Hp15c));
        ASSERT_TRUE(waitFor([&] { return shownText(model) == "0."; }));
    }
    MemoryPlatform platform;
    AppModel model{platform};
};

TEST_F(KeysOnFirmware, ALegendPressTapsItsShiftFirst) {
    const auto inProgramMode = [&](bool on) {
        return waitFor([&] {
            const auto inspection = freshInspection(model);
            return inspection && inspection->programMode == on;
        });
    };
    model.press(kRunStop, KeyPart::gLabel); // g R/S: program mode
    EXPECT_EQ(model.pressedKeys(), std::set<int>{kRunStop});
    model.release(kRunStop);
    EXPECT_TRUE(model.pressedKeys().empty());
    EXPECT_TRUE(inProgramMode(true));

    model.press(kRunStop, KeyPart::gLabel);
    model.release(kRunStop);
    EXPECT_TRUE(inProgramMode(false));
}

TEST_F(KeysOnFirmware, ALegendThatIsNotThereIsAPlainPress) {
    const KeySpec* key = model.model().key(k2);
    ASSERT_TRUE(key);
    const KeyPart missing = key->g.empty() ? KeyPart::gLabel : (key->f.empty() ? KeyPart::fLabel : KeyPart::face);
    model.press(k2, missing);
    model.release(k2);
    EXPECT_TRUE(waitFor([&] { return shownText(model) == "2"; })) << shownText(model).toStdString();
}

TEST_F(KeysOnFirmware, EnterIsShownAsOneKey) {
    model.press(35);
    EXPECT_EQ(model.pressedKeys(), std::set<int>{25});
    model.release(35);
    EXPECT_TRUE(model.pressedKeys().empty());
    model.apply(model.latch().toggle(35));
    EXPECT_EQ(model.latchedKeys(), std::set<int>{25});
    EXPECT_EQ(model.latch().latched(), std::set<int>{35});
}

TEST_F(KeysOnFirmware, LatchedKeysAreReleasedTogether) {
    model.apply(model.latch().toggle(kF));
    EXPECT_EQ(model.latchedKeys(), std::set<int>{kF});
    EXPECT_EQ(model.pressedKeys(), std::set<int>{kF});

    // A plain press of the latched key lets go of the latch; its own release is swallowed.
    model.press(kF);
    EXPECT_TRUE(model.latchedKeys().empty());
    EXPECT_TRUE(model.pressedKeys().empty());
    EXPECT_TRUE(model.latch().swallow().contains(kF));
    model.release(kF);
    EXPECT_FALSE(model.latch().swallow().contains(kF));

    // Releasing another key ends the latch with a later release of the latched keys.
    model.apply(model.latch().toggle(k7));
    model.press(k8);
    EXPECT_EQ(model.pressedKeys(), (std::set<int>{k7, k8}));
    model.release(k8);
    EXPECT_TRUE(model.pressedKeys().empty());
    EXPECT_TRUE(model.latchedKeys().empty());
    pump(500ms);
    EXPECT_TRUE(model.engine()->performAndWait(kHangLimitSeconds, [](CalculatorMachine& m) { return m.lcd(); }));
}

// Reading or loading the memory lets go of every key in the engine; the face's
// latched keys go with them, so that what it shows is what the calculator has.
TEST_F(KeysOnFirmware, ReadingOrLoadingTheMemoryLetsGoOfTheLatchedKeys) {
    const auto latchK9 = [&] {
        if (!model.latch().latched().contains(k9)) model.apply(model.latch().toggle(k9));
        return model.latchedKeys() == std::set<int>{k9};
    };
    ASSERT_TRUE(latchK9());
    model.saveMemoryToFile();
    EXPECT_TRUE(model.latchedKeys().empty());
    EXPECT_TRUE(model.pressedKeys().empty());
    EXPECT_TRUE(model.latch().isEmpty());
    ASSERT_TRUE(waitFor([&] { return model.exportDocument().has_value(); }));
    const auto memory = model.exportDocument()->data;
    model.exportPanelClosed();

    ASSERT_TRUE(latchK9());
    model.perform(PendingAction::loadMemory(memory, "“backup.15c”"));
    EXPECT_TRUE(model.latchedKeys().empty());
    EXPECT_TRUE(model.latch().isEmpty());

    ASSERT_TRUE(latchK9());
    model.saveState(true);
    EXPECT_TRUE(model.latchedKeys().empty());
    EXPECT_TRUE(model.latch().isEmpty());
}

// Keys typed right before a read of the program are in what it reads.
TEST_F(KeysOnFirmware, AFreshInspectionHoldsTheKeysTypedJustBefore) {
    for (int code : {k1, k2, k3}) {
        model.press(code);
        model.release(code);
    }
    const auto inspection = freshInspection(model);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(0).number, 123.0);
}

// Program Info, the two exports and opening notes read the program as the calculator
// has it and press no key: a key latched on the face stays down in the calculator
// too, so ON after them plays the chord that it plays without them.
TEST(KeysAndReadsOfTheProgram, ALatchedKeyStaysHeldThroughEachRead) {
    TW_REQUIRE_TEST_FIRMWARE();
    struct Read {
        const char* name;
        std::function<void(AppModel&, const QString& notes)> start;
        std::function<bool(const AppModel&)> done;
    };
    const auto exported = [](const AppModel& app) { return app.exportDocument().has_value(); };
    const std::vector<Read> reads = {
        {"none", [](AppModel&, const QString&) {}, [](const AppModel&) { return true; }},
        {"Program Info",
         [](AppModel& app, const QString&) {
             app.requestFreshInspection([&app](std::optional<InspectorSnapshot> s) { app.showProgramInfo(s); });
         },
         [](const AppModel& app) { return app.showProgramInfo(); }},
        {"Export Listing as Text",
         [](AppModel& app, const QString&) {
             app.requestFreshInspection([&app](std::optional<InspectorSnapshot> s) { app.exportListing(s); });
         },
         exported},
        {"Export Program Documentation (PDF)", [](AppModel& app, const QString&) { app.exportDocumentation(); },
         exported},
        {"Open Program Notes", [](AppModel& app, const QString& notes) { app.openProgramNotes(FileResult::file(notes)); },
         [](const AppModel& app) { return app.programDoc().title == "Read"; }},
    };
    for (const Read& read : reads) {
        SCOPED_TRACE(read.name);
        MemoryPlatform platform;
        ProgramDocument doc;
        doc.title = "Read";
        const std::vector<uint8_t> encoded = doc.encoded();
        const QString notes = QDir(platform.root()).filePath("read.orvanedoc");
        ASSERT_FALSE(writeFileSafely(notes, {reinterpret_cast<const char*>(encoded.data()), encoded.size()}));
        AppModel app(platform);
        ASSERT_TRUE(startOn(app, Firmware::Hp15c));
        ASSERT_TRUE(waitFor([&] { return shownText(app) == "0."; }));

        tap(app, k7);
        app.apply(app.latch().toggle(kMinus));
        read.start(app, notes);
        ASSERT_TRUE(waitFor([&] { return read.done(app); }));
        EXPECT_EQ(app.latchedKeys(), std::set<int>{kMinus});

        app.press(kOn);
        app.release(kOn);
        EXPECT_TRUE(waitFor([&] { return shownText(app) == "Pr Error"; })) << shownText(app).toStdString();
        EXPECT_TRUE(app.latchedKeys().empty());
    }
}

TEST_F(KeysOnFirmware, ChordsPlayExceptTheMemoryResetWhichAsksFirst) {
    tapKeys(model, {k4});
    model.apply(model.latch().toggle(k9));
    model.sendChord(KeyChord::memoryReset);
    EXPECT_EQ(model.pendingAction(), PendingAction::memoryReset());
    EXPECT_EQ(model.pendingAction()->title(), "Reset the calculator's memory?");
    EXPECT_EQ(model.latchedKeys(), std::set<int>{k9}); // nothing played, nothing released
    model.release(k9);                                 // a latched key's own release does nothing
    model.apply(model.latch().releaseAll());
    pump(300ms);

    model.sendChord(KeyChord::selfTest);
    ASSERT_TRUE(waitFor([&] {
        const auto& lcd = model.snapshot().lcd;
        return std::all_of(lcd.segments.begin(), lcd.segments.end(), [](uint8_t s) { return s == 0x7F; });
    }));
    EXPECT_EQ(model.pendingAction(), PendingAction::memoryReset()); // still waiting for the user
}

} // namespace
