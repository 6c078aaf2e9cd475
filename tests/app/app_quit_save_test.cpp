// The save at quit on a full disk: what could not be written is told with the
// reason, kept, and written when the user tries again after making room.
#include "app/support/app_test_support.h"
#include "platform/qt_platform.h"
#include "runtime/support/firmware_calculator.h"
#include "support/capped_child.h"
#include "support/system_reason.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using namespace tw::test;

TEST(QuitSave, TheTextNamesWhatCouldNotBeSavedAndWhy) {
    const WriteFailure full{28, "No space left on device"};
    const WriteFailure readOnly{30, "Read-only file system"};
    EXPECT_EQ(UnsavedAtQuit{}.message(), "");
    EXPECT_EQ((UnsavedAtQuit{full, std::nullopt}.message()),
              "Your calculator's state could not be saved: No space left on device.");
    EXPECT_EQ((UnsavedAtQuit{std::nullopt, full}.message()),
              "Your program notes and settings could not be saved: No space left on device.");
    EXPECT_EQ((UnsavedAtQuit{full, full}.message()),
              "Your calculator's state, program notes and settings could not be saved: No space left on device.");
    EXPECT_EQ((UnsavedAtQuit{full, readOnly}.message()),
              "Your calculator's state, program notes and settings could not be saved: No space left on device; "
              "Read-only file system.");
}

TEST(QuitSave, WhatAFullDiskRefusedAtQuitIsWrittenOnceThereIsRoom) {
    TW_REQUIRE_TEST_FIRMWARE();
    useTestFingerprints();
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    const std::string description(3000, 'd'); // settings beyond the cap too

    const auto outcome = runWithFileSizeCap(1024, [&](std::string& note) {
        const auto fail = [&note](const QString& why) {
            note = why.toStdString();
            return 1;
        };
        QtPlatform platform;
        AppModel model(platform);
        if (!startOn(model, Firmware::Hp15c) || !waitFor([&] { return shownText(model) == "0."; }))
            return fail("no start");
        tapKeys(model, {k4, k2});
        if (!waitFor([&] { return shownText(model) == "42"; })) return fail("no 42");
        ProgramDocument doc = model.programDoc();
        doc.title = "Loan";
        doc.description = description;
        model.setProgramDoc(std::move(doc));

        const UnsavedAtQuit unsaved = model.saveOnQuit();
        if (!unsaved.any()) return fail("nothing was refused");
        note = unsaved.message().toStdString();
        liftFileSizeCap(); // the user made room
        if (const UnsavedAtQuit again = model.saveOnQuitAgain(); again.any()) return fail(again.message());
        return 0;
    });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.note;
    EXPECT_EQ(outcome.note, "Your calculator's state, program notes and settings could not be saved: " +
                                systemReason(EFBIG).toStdString() + ".");

    // Nothing lost: the next run finds the calculator's memory and the notes.
    QtPlatform platform;
    const QString id = firmwareID(Firmware::Hp15c);
    const QByteArray remembered = platform.setting("programDoc." + id.left(16)).toByteArray();
    const auto notes = ProgramDocument::decode(
        std::span(reinterpret_cast<const uint8_t*>(remembered.constData()), size_t(remembered.size())));
    ASSERT_TRUE(std::holds_alternative<ProgramDocument>(notes));
    EXPECT_EQ(std::get<ProgramDocument>(notes).title, "Loan");
    EXPECT_EQ(std::get<ProgramDocument>(notes).description, description);
    AppModel model(platform);
    const auto state = model.stateStore().load(id);
    ASSERT_TRUE(state);
    ASSERT_TRUE(startOn(model, Firmware::Hp15c, state));
    const auto inspection = freshInspection(model);
    ASSERT_TRUE(inspection);
    EXPECT_EQ(inspection->stack.at(0).number, 42);
}

} // namespace
