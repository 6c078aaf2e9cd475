// Backups of the calculator's memory: their names, and never an overwritten file.
#include "app/calculator_backup.h"
#include "support/capped_child.h"
#include "support/system_reason.h"

#include <QTemporaryDir>

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace tw {
namespace {

const std::string moment = "2026-03-14 09.26.53";

std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(CalculatorBackup, NamesFollowTheModelThatTheMemoryFits) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    const std::vector<uint8_t> image(2048, 0x5A);
    EXPECT_EQ(writeCalculatorBackup(image, 152, {folder}, moment).filename(), "HP-15C calculator 2026-03-14 09.26.53.15c");
    EXPECT_EQ(writeCalculatorBackup(image, 120, {folder}, moment).filename(), "HP-12C calculator 2026-03-14 09.26.53.12c");
    EXPECT_EQ(writeCalculatorBackup(image, 160, {folder}, moment).filename(), "HP-16C calculator 2026-03-14 09.26.53.16c");
    const auto unknown = writeCalculatorBackup(image, std::nullopt, {folder}, moment);
    EXPECT_EQ(unknown.filename(), "Unknown calculator 2026-03-14 09.26.53.bin");
    EXPECT_EQ(fileBytes(unknown), image);
}

TEST(CalculatorBackup, ASecondBackupInTheSameSecondGetsItsOwnName) {
    QTemporaryDir dir;
    const std::filesystem::path folder = std::filesystem::path(dir.path().toStdString()) / "Tarnwick Backups";
    const std::vector<uint8_t> first(2048, 1), second(2048, 2);
    const auto a = writeCalculatorBackup(first, 150, {folder}, moment); // creates the folder
    const auto b = writeCalculatorBackup(second, 150, {folder}, moment);
    EXPECT_NE(a, b);
    EXPECT_EQ(b.filename(), "HP-15C calculator 2026-03-14 09.26.53 2.15c");
    EXPECT_EQ(fileBytes(a), first); // untouched
    EXPECT_EQ(fileBytes(b), second);
}

TEST(CalculatorBackup, AFolderThatTakesNoFilesPassesToTheNextOne) {
    QTemporaryDir dir;
    const std::filesystem::path root = dir.path().toStdString();
    std::ofstream(root / "blocked") << "a file where a folder should be";
    const auto path = writeCalculatorBackup(std::vector<uint8_t>(2048), 160, {root / "blocked" / "Tarnwick Backups", root / "good"}, moment);
    EXPECT_EQ(path.parent_path(), root / "good");
    EXPECT_THROW(writeCalculatorBackup(std::vector<uint8_t>(2048), 160, {root / "blocked" / "x"}, moment), BackupError);
    EXPECT_THROW(writeCalculatorBackup(std::vector<uint8_t>(2048), 160, {}, moment), BackupError);
}

TEST(CalculatorBackup, ABackupCutShortIsReportedAndNotLeftBehind) {
    for (const size_t size : {size_t(2048), size_t(40000)}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        const std::filesystem::path folder = dir.path().toStdString();
        const auto earlier = writeCalculatorBackup(std::vector<uint8_t>(2048, 7), 150, {folder}, moment);
        const auto outcome = test::runWithFileSizeCap(1024, [&](std::string& note) {
            try {
                note = writeCalculatorBackup(std::vector<uint8_t>(size, 8), 150, {folder}, moment).string();
                return 1;
            } catch (const BackupError& error) {
                note = error.what();
                return 0;
            }
        });
        EXPECT_EQ(outcome.exitCode, 0) << outcome.note;
        EXPECT_EQ(outcome.note, test::systemReason(EFBIG).toStdString());
        // Only the earlier backup, untouched: no cut-off copy, no temporary.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
        EXPECT_EQ(fileBytes(earlier), std::vector<uint8_t>(2048, 7));
    }
}

} // namespace
} // namespace tw
