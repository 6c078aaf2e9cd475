// Backups of the calculator's memory: their names, and never an overwritten file.
#include "app/calculator_backup.h"

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

} // namespace
} // namespace tw
