#include "app/calculator_backup.h"

#include "app/doc_font_store.h"
#include "runtime/machine/CalculatorMachine.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>

#include <algorithm>

namespace tw {

namespace {

constexpr const char* backupFolderName = "Tarnwick Backups";
constexpr int maxNameAttempts = 100;

struct NameParts {
    std::string stem;
    std::string extension;
};

NameParts backupName(std::optional<int> variant, const QDateTime& moment) {
    if (!variant) return {"Unknown calculator " + fileTimeStamp(moment), "bin"};
    const std::string extension = *variant == 120 ? "12c" : *variant == 160 ? "16c" : "15c";
    std::string label = CalculatorMachine::variantLabel(*variant);
    if (const auto cut = label.find(" ("); cut != std::string::npos) label.resize(cut);
    return {"HP-" + label + " calculator " + fileTimeStamp(moment), extension};
}

} // namespace

std::string fileTimeStamp(const QDateTime& moment) {
    return QLocale::c().toString(moment.toLocalTime(), QStringLiteral("yyyy-MM-dd HH.mm.ss")).toStdString();
}

std::vector<std::filesystem::path> calculatorBackupFolders() {
    std::vector<std::filesystem::path> folders;
    const auto add = [&](const std::filesystem::path& folder) {
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    };
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Without a documents folder of its own, Qt answers with the home folder itself.
    if (!documents.isEmpty() && QDir(documents) != QDir::home())
        add(std::filesystem::path(documents.toStdString()) / backupFolderName);
    add(realHomeFolder() / "Documents" / backupFolderName);
    add(std::filesystem::path(QDir::homePath().toStdString()) / "Documents" / backupFolderName);
    return folders;
}

std::filesystem::path writeCalculatorBackup(std::span<const uint8_t> image, std::optional<int> variant,
                                            const std::vector<std::filesystem::path>& folders,
                                            const QDateTime& moment) {
    const NameParts name = backupName(variant, moment);
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
            QFile file(QString::fromStdString(path.string()));
            // NewOnly creates the file or fails: an existing backup is never replaced.
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                lastError = file.errorString().toStdString();
                if (file.exists()) continue; // taken: the next number
                break;                       // the folder does not take files: the next folder
            }
            const auto written = file.write(reinterpret_cast<const char*>(image.data()), qint64(image.size()));
            const bool flushed = file.flush();
            if (written == qint64(image.size()) && flushed) {
                file.close();
                if (file.error() == QFileDevice::NoError) return path;
            }
            lastError = file.errorString().toStdString();
            file.close();
            file.remove(); // a partial backup would mislead
            break;
        }
    }
    throw BackupError(lastError.value_or("The file couldn’t be saved."));
}

} // namespace tw
