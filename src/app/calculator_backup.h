// The real calculator's memory saved to a file before the emulator's memory is
// written over it. A backup never replaces an existing file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tw {

class Platform;

// The file could not be written; the message is the file system's.
struct BackupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where backups go, in the order tried: "Tarnwick Backups" in the user's documents
// folder, then in "Documents" of the home folder.
std::vector<std::filesystem::path> calculatorBackupFolders(const Platform& platform);

// "HP-15C calculator " + the time stamp + ".15c", or "Unknown calculator ….bin" without a
// variant; " 2", " 3", … before the extension when that name is taken (two backups
// in the same second). Tries each folder in turn; throws BackupError with the last
// failure when none takes the file.
std::filesystem::path writeCalculatorBackup(std::span<const uint8_t> image, std::optional<int> variant,
                                            const std::vector<std::filesystem::path>& folders,
                                            const std::string& timeStamp);

} // namespace tw
