#include "app/calculator_backup.h"

#include "platform/platform.h"
#include "platform/safe_file_writer.h"
#include "runtime/machine/calculator_machine.h"

#include <QDir>

#include <algorithm>
#include <cerrno>

namespace tw {

namespace {

constexpr const char* backupFolderName = "Tarnwick Backups";
constexpr int maxNameAttempts = 100;

struct NameParts {
    std::string stem;
    std::string extension;
};

NameParts backupName(std::optional<int> variant, const std::string& timeStamp) {
    if (!variant) return {"Unknown calculator " + timeStamp, "bin"};
    const std::string extension = *variant == 120 ? "12c" : *variant == 160 ? "16c" : "15c";
    std::string label = CalculatorMachine::variantLabel(*variant);
    if (const auto cut = label.find(" ("); cut != std::string::npos) label.resize(cut);
    return {"HP-" + label + " calculator " + timeStamp, extension};
}

} // namespace

std::vector<std::filesystem::path> calculatorBackupFolders(const Platform& platform) {
    std::vector<std::filesystem::path> folders;
    const auto add = [&](const QString& folder) {
        if (folder.isEmpty()) return;
        const std::filesystem::path path = std::filesystem::path(folder.toStdString()) / backupFolderName;
        if (std::find(folders.begin(), folders.end(), path) == folders.end()) folders.push_back(path);
    };
    // Without a documents folder of its own, Qt answers with the home folder itself.
    if (QDir(platform.documentsFolder()) != QDir(platform.homeFolder())) add(platform.documentsFolder());
    add(QDir(platform.homeFolder()).filePath(QStringLiteral("Documents")));
    return folders;
}

std::filesystem::path writeCalculatorBackup(std::span<const uint8_t> image, std::optional<int> variant,
                                            const std::vector<std::filesystem::path>& folders,
                                            const std::string& timeStamp) {
    const NameParts name = backupName(variant, timeStamp);
    std::optional<std::string> lastError;
    for (const auto& folder : folders) {
        const QString folderText = QString::fromStdString(folder.string());
        if (!QDir().mkpath(folderText)) {
            lastError = "The folder “" + folder.string() + "” could not be created.";
            continue;
        }
        for (int attempt = 1; attempt <= maxNameAttempts; ++attempt) {
            const std::string fileName =
                name.stem + (attempt == 1 ? "" : " " + std::to_string(attempt)) + "." + name.extension;
            const std::filesystem::path path = folder / fileName;
            // newOnly: an existing backup is never replaced.
            const auto failure =
                writeFileSafely(QString::fromStdString(path.string()),
                                std::span(reinterpret_cast<const char*>(image.data()), image.size()), WriteMode::newOnly);
            if (!failure) return path;
            lastError = failure->reason.toStdString();
            if (failure->errorNumber == EEXIST) continue; // taken: the next number
            break;                                        // the folder does not take the file: the next folder
        }
    }
    throw BackupError(lastError.value_or("The file couldn’t be saved."));
}

} // namespace tw
