// Program notes in AppModel: remembered for each firmware, following the program
// on our test firmware, opened and saved.
#include "app/listings.h"
#include "platform/file_checks.h"
#include "app/support/app_test_support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace tw;
using namespace tw::test;

QByteArray bytes(const std::vector<uint8_t>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

ProgramDocument titled(const std::string& title) {
    ProgramDocument doc;
    doc.title = title;
    return doc;
}

QString writeFile(const MemoryPlatform& platform, const QString& name, const QByteArray& data) {
    const QString path = QDir(platform.root()).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
}

TEST(ProgramNotes, RememberedUnderTheFirmwareAndOnlyWhenChanged) {
    MemoryPlatform platform;
    {
        AppModel app(platform);
        app.setProgramDoc(titled("Loan"));
        ASSERT_TRUE(platform.settings().contains("programDoc.none")); // no firmware has run yet
        platform.removeSetting("programDoc.none");
        app.setProgramDoc(titled("Loan")); // equal notes write nothing
        EXPECT_FALSE(platform.settings().contains("programDoc.none"));
        app.setProgramDoc(titled("Loan 2"));
    }
    AppModel again(platform);
    again.restoreProgramDoc();
    EXPECT_EQ(again.programDoc().title, "Loan 2");

    platform.setSetting("programDoc.none", QByteArray("{ not notes"));
    again.setProgramDoc(titled("kept"));
    platform.setSetting("programDoc.none", QByteArray("{ not notes"));
    again.restoreProgramDoc(); // an undecodable entry changes nothing
    EXPECT_EQ(again.programDoc().title, "kept");
}

// A field changed in place is remembered with the comments as they are, also when the
// comments changed since the notes were last remembered.
TEST(ProgramNotes, AFieldChangedInPlaceIsRememberedWithTheCurrentComments) {
    MemoryPlatform platform;
    AppModel app(platform);
    ProgramDocument doc = titled("Loan");
    doc.comments.push_back({.step = 3, .text = "first", .keys = "45 1", .before = {}, .after = {}});
    app.setProgramDoc(doc);
    int changed = 0;
    QObject::connect(&app, &AppModel::programDocChanged, [&] { ++changed; });
    app.changeProgramDocFields([](ProgramDocument& d) { d.description = "typed"; });
    EXPECT_EQ(changed, 1);
    const auto remembered = [&] {
        AppModel again(platform);
        again.restoreProgramDoc();
        return again.programDoc();
    };
    doc.description = "typed";
    EXPECT_EQ(remembered(), doc);

    doc.comments[0].text = "second";
    app.setProgramDoc(doc);
    app.changeProgramDocFields([](ProgramDocument& d) { d.title = "Loan 2"; });
    doc.title = "Loan 2";
    EXPECT_EQ(remembered(), doc);
}

TEST(ProgramNotes, RestoredWhenTheSameFirmwareStartsAndNotForAnother) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    const QString key = "programDoc." + firmwareID(Firmware::Hp15c).left(16);
    platform.setSetting(key, bytes(titled("Interest").encoded()));
    {
        AppModel app(platform);
        app.setProgramDoc(titled("before"));
        ASSERT_TRUE(startOn(app, Firmware::Hp16c));
        EXPECT_EQ(app.programDoc().title, "before"); // nothing remembered for this firmware
        ASSERT_TRUE(startOn(app, Firmware::Hp15c));
        EXPECT_EQ(app.programDoc().title, "Interest");
        app.setProgramDoc(titled("Interest 2"));
    }
    const auto stored = ProgramDocument::decode(
        std::span(reinterpret_cast<const uint8_t*>(platform.setting(key).toByteArray().constData()),
                  std::size_t(platform.setting(key).toByteArray().size())));
    ASSERT_TRUE(std::holds_alternative<ProgramDocument>(stored));
    EXPECT_EQ(std::get<ProgramDocument>(stored).title, "Interest 2");
}

TEST(ProgramNotes, CommentsFollowTheProgramAsItChanges) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    const InspectorSnapshot shifted = recordedProgram(shiftedSumProgram);
    const InspectorSnapshot other = recordedProgram(otherProgram);
    const int plus = stepOf(sum, "40");
    ASSERT_GT(plus, 0);
    ASSERT_EQ(stepOf(shifted, "40"), plus + 1);

    MemoryPlatform platform;
    AppModel app(platform);
    app.showProgramInfo(sum); // the sheet's listing is the one the comment is set against
    app.setStepComment("adds the two", plus);
    ASSERT_EQ(app.programDoc().comments.size(), 1u);
    const ProgramDocument placed = app.programDoc();

    app.rematchNotesIfProgramChanged(sum); // first sight, every comment in place: kept as it is
    EXPECT_EQ(app.programDoc(), placed);
    EXPECT_EQ(app.lastProgramKeys().size(), sum.program.size());

    app.rematchNotesIfProgramChanged(shifted); // a step put in front: the comment moves with its keys
    ASSERT_EQ(app.programDoc().comments.size(), 1u);
    EXPECT_EQ(app.programDoc().comments[0].step, plus + 1);
    EXPECT_FALSE(app.programDoc().comments[0].orphaned);

    app.rematchNotesIfProgramChanged(other); // nothing like it any more: orphaned, yet kept
    ASSERT_EQ(app.programDoc().comments.size(), 1u);
    EXPECT_TRUE(app.programDoc().comments[0].orphaned);
    EXPECT_EQ(app.programDoc().comments[0].text, "adds the two");

    app.removeOrphanedComments();
    EXPECT_TRUE(app.programDoc().comments.empty());
}

TEST(ProgramNotes, AFirstSightRematchesOnlyWhenACommentIsOutOfPlace) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    const InspectorSnapshot shifted = recordedProgram(shiftedSumProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    app.showProgramInfo(sum);
    app.setStepComment("adds the two", stepOf(sum, "40"));

    AppModel fresh(platform); // as after a start: the notes remembered, no program seen yet
    fresh.restoreProgramDoc();
    fresh.rematchNotesIfProgramChanged(shifted);
    EXPECT_EQ(fresh.programDoc().comments.at(0).step, stepOf(shifted, "40"));

    const ProgramDocument before = fresh.programDoc();
    ProgramDocument misplaced = before;
    misplaced.comments[0].step = 1; // out of place, but the keys are the same as last seen
    fresh.setProgramDoc(misplaced);
    fresh.rematchNotesIfProgramChanged(shifted);
    EXPECT_EQ(fresh.programDoc(), misplaced); // the same program: left alone
}

TEST(ProgramNotes, StepCommentsAreSetAndABlankTextRemovesThem) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    app.setInspection(sum); // the inspector's listing counts first
    app.setStepComment("first", 1);
    ASSERT_EQ(app.programDoc().comment(1), std::optional<std::string>("first"));
    EXPECT_EQ(app.programDoc().comments[0].keys, sum.program[0].keys);
    app.setStepComment(" \n\t ", 1);
    EXPECT_FALSE(app.programDoc().comment(1));
    app.setStepComment("nowhere", 99);
    EXPECT_TRUE(app.programDoc().comments.empty());
}

TEST(ProgramNotes, ProgramInfoPreparesTheNotesForTheRunningCalculator) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    const InspectorSnapshot empty = recordedProgram({});
    MemoryPlatform platform;
    AppModel app(platform);
    app.showProgramInfo(sum);
    app.setStepComment("adds", stepOf(sum, "40"));
    app.setShowProgramInfo(false);
    app.setMemoryFileName(QStringLiteral("Loan.15c"));

    app.showProgramInfo(std::nullopt); // no snapshot: nothing happens
    EXPECT_FALSE(app.showProgramInfo());

    app.showProgramInfo(empty); // no program: the comment stays, listed as orphaned
    EXPECT_TRUE(app.showProgramInfo());
    EXPECT_TRUE(app.docLines().empty());
    ASSERT_EQ(app.programDoc().comments.size(), 1u);
    EXPECT_TRUE(app.programDoc().comments[0].orphaned);
    EXPECT_EQ(app.programDoc().title, "Loan");
    EXPECT_EQ(app.programDoc().model, "HP-16C"); // no engine ran: the display snapshot's defaults

    app.showProgramInfo(sum); // the register the program stores into gets its entry
    EXPECT_EQ(app.docLines(), sum.program);
    EXPECT_FALSE(app.programDoc().registers.empty());
}

TEST(ProgramNotes, OpenedNotesAreMatchedAndUnmatchedCommentsCounted) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    const InspectorSnapshot other = recordedProgram(otherProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    app.showProgramInfo(sum);
    for (int step = 1; step <= 3; ++step) app.setStepComment("note " + QString::number(step), step);
    const ProgramDocument notes = app.programDoc();

    app.applyOpenedNotes(other, notes, "/notes/Sum.15c.orvanedoc");
    ASSERT_TRUE(app.notice());
    EXPECT_EQ(*app.notice(), "3 comments in “Sum.15c.orvanedoc” no longer match a step of the program in the "
                             "calculator. They are kept and listed in Program Info.");
    EXPECT_EQ(app.programDoc().comments.size(), 3u);

    ProgramDocument one = notes;
    one.comments.resize(1);
    app.setNotice(std::nullopt);
    app.applyOpenedNotes(other, one, "/notes/One.orvanedoc");
    EXPECT_TRUE(app.notice()->startsWith("1 comment in “One.orvanedoc”"));

    app.setNotice(std::nullopt);
    app.applyOpenedNotes(sum, notes, "/notes/Sum.15c.orvanedoc"); // all in place: no notice
    EXPECT_FALSE(app.notice());
    EXPECT_EQ(app.programDoc(), notes);
}

TEST(ProgramNotes, OpeningWithoutACalculatorTakesTheNotesAsTheyAre) {
    MemoryPlatform platform;
    AppModel app(platform);
    const QString good = writeFile(platform, "Loan.15c.orvanedoc", bytes(titled("Loan").encoded()));
    const QString bad = writeFile(platform, "bad.orvanedoc", "{\"format\": \"other\"}");

    app.openProgramNotes(FileResult::file(bad));
    EXPECT_EQ(app.errorMessage(), "“bad.orvanedoc” is not a Tarnwick program notes file.");
    EXPECT_FALSE(app.programDocURL());

    // A FIFO is refused without waiting for a writer.
    const QString fifo = QDir(platform.root()).filePath("pipe.orvanedoc");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    app.openProgramNotes(FileResult::file(fifo));
    EXPECT_EQ(app.errorMessage(), "“pipe.orvanedoc” is not a Tarnwick program notes file.");

    app.openProgramNotes(FileResult::failure("The panel failed."));
    EXPECT_EQ(app.errorMessage(), "The panel failed.");

    app.setErrorMessage(std::nullopt);
    app.openProgramNotes(FileResult::file(good));
    EXPECT_FALSE(app.errorMessage());
    EXPECT_FALSE(app.notice());
    EXPECT_EQ(app.programDoc().title, "Loan");
    EXPECT_EQ(app.programDocURL(), good);
    EXPECT_TRUE(app.lastProgramKeys().empty());
}

// Notes that would make a file larger than opening reads are refused on saving, with
// the limit named; notes just within it save and open again; a file too large to open
// says so rather than that it is no notes file.
TEST(ProgramNotes, WhatIsSavedOpensAgainAndTooLargeIsSaid) {
    MemoryPlatform platform;
    {
        AppModel app(platform);
        ProgramDocument doc = titled("Huge");
        doc.description = std::string(std::size_t(maximumNotesFileSize) - 4096, 'a');
        for (int step = 1; step <= 200; ++step) // indentation makes these weigh more written than held
            doc.comments.push_back({.step = step, .text = "c", .keys = "45 1", .before = {"1", "2"},
                                    .after = {"3", "4"}, .orphaned = true});
        app.setProgramDoc(doc);
        app.saveProgramNotes();
        ASSERT_TRUE(app.errorMessage());
        EXPECT_TRUE(app.errorMessage()->startsWith("The program notes are too large to save (16.04 MiB; a notes file "
                                                   "holds at most 16 MiB)."))
            << app.errorMessage()->toStdString();
        EXPECT_FALSE(app.exportDocument());
        EXPECT_NE(app.exportKind(), ExportKind::notes);

        doc.comments.resize(10);
        app.setProgramDoc(doc);
        app.setErrorMessage(std::nullopt);
        app.saveProgramNotes();
        ASSERT_FALSE(app.errorMessage());
        ASSERT_TRUE(app.exportDocument());
        const QString saved = writeFile(platform, "Huge.orvanedoc", bytes(app.exportDocument()->data));
        app.setProgramDoc(ProgramDocument{});
        app.openProgramNotes(FileResult::file(saved));
        EXPECT_FALSE(app.errorMessage());
        EXPECT_EQ(app.programDoc(), doc);

        // A byte over the limit reads as more than the limit; at the limit the notes save.
        ProgramDocument edge = titled("Edge");
        edge.description = std::string(std::size_t(maximumNotesFileSize) - 4096, 'a');
        edge.description.append(std::size_t(maximumNotesFileSize + 1) - edge.encoded().size(), 'a');
        ASSERT_EQ(qint64(edge.encoded().size()), maximumNotesFileSize + 1);
        app.setProgramDoc(edge);
        app.saveProgramNotes();
        ASSERT_TRUE(app.errorMessage());
        EXPECT_TRUE(app.errorMessage()->startsWith("The program notes are too large to save (16.01 MiB; a notes file "
                                                   "holds at most 16 MiB)."))
            << app.errorMessage()->toStdString();
        edge.description.pop_back();
        app.setProgramDoc(edge);
        app.setErrorMessage(std::nullopt);
        app.saveProgramNotes();
        EXPECT_FALSE(app.errorMessage());
    }
    AppModel app(platform);
    const QString big = writeFile(platform, "big.orvanedoc", {});
    ASSERT_EQ(::truncate(QFile::encodeName(big).constData(), maximumNotesFileSize + 1), 0);
    app.openProgramNotes(FileResult::file(big));
    EXPECT_EQ(app.errorMessage(), "“big.orvanedoc” is too large for a program notes file (at most 16 MiB).");
}

TEST(ProgramNotes, SavingProposesANameFromTheFileTheMemoryOrTheTitle) {
    MemoryPlatform platform;
    AppModel app(platform);
    const auto proposed = [&] {
        app.saveProgramNotes();
        EXPECT_EQ(app.exportKind(), ExportKind::notes);
        EXPECT_EQ(app.exportType(), UTType::programdoc);
        return app.exportNameOverride().value_or("(none)");
    };
    EXPECT_EQ(proposed(), "Program");
    const auto decoded = ProgramDocument::decode(app.exportDocument()->data);
    EXPECT_EQ(std::get<ProgramDocument>(decoded), app.programDoc());

    app.setProgramDoc(titled("Interest"));
    EXPECT_EQ(proposed(), "Interest");
    app.setMemoryFileName(QStringLiteral("Loan.15c"));
    EXPECT_EQ(proposed(), "Loan.15c");
    app.setProgramDocURL(QStringLiteral("/somewhere/Mortgage.15c.orvanedoc"));
    EXPECT_EQ(proposed(), "Mortgage.15c");
}

} // namespace
