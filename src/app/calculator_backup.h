// The real calculator's memory saved to a file before the emulator's memory is
// written over it. A backup never replaces an existing file.
#pragma once

#include <QDateTime>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tw {

// The file could not be written; the message is the file system's.
struct BackupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "yyyy-MM-dd HH.mm.ss" in the local time zone, with digits whatever the locale.
std::string fileTimeStamp(const QDateTime& moment);

// Where backups go, in the order tried: "Tarnwick Backups" in the XDG documents
// folder, then in "Documents" of the password database's home folder and of $HOME.
std::vector<std::filesystem::path> calculatorBackupFolders();

// "HP-15C calculator 2026-03-14 09.26.53.15c", or "Unknown calculator ….bin" without a
// variant; " 2", " 3", … before the extension when that name is taken (two backups
// in the same second). Tries each folder in turn; throws BackupError with the last
// failure when none takes the file.
std::filesystem::path writeCalculatorBackup(std::span<const uint8_t> image, std::optional<int> variant,
                                            const std::vector<std::filesystem::path>& folders,
                                            const QDateTime& moment);

} // namespace tw
