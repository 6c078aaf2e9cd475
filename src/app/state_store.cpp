#include "app/state_store.h"

#include "platform/file_checks.h"
#include "platform/platform.h"
#include "platform/safe_file_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>

namespace tw {

namespace {

// The state in a file, when the file is a regular one of sensible size and decodes.
std::optional<SavedState> readState(const QString& path) {
    // Checked on the open file: a FIFO swapped in after a look at the path would block.
    const FileRead read = readFileUpTo(path, StateStore::maximumFileSize);
    if (!read.ok()) return std::nullopt;
    return SavedState::fromJSON(std::string_view(read.data.constData(), size_t(read.data.size())));
}

} // namespace

QString StateStore::folder() const { return QDir(platform_.appDataFolder()).filePath(QStringLiteral("State")); }

QString StateStore::fileURL() const { return QDir(folder()).filePath(QStringLiteral("calculator.json")); }

QString StateStore::fileURL(const QString& firmwareID) const {
    return QDir(folder()).filePath(QStringLiteral("calculator-") + firmwareID.left(16) + QStringLiteral(".json"));
}

std::optional<SavedState> StateStore::load(const QString& firmwareID) const {
    const std::string id = firmwareID.toStdString();
    if (auto state = readState(fileURL(firmwareID)); state && state->firmwareID == id) return state;
    if (auto state = readState(fileURL()); state && state->firmwareID == id) return state;
    return std::nullopt;
}

std::optional<WriteFailure> StateStore::save(const SavedState& state) {
    const auto fail = [this](WriteFailure failure) {
        platform_.log(QStringLiteral("Tarnwick: could not save the calculator state: ") + failure.reason);
        return failure;
    };
    errno = 0;
    if (!QDir().mkpath(folder())) {
        const int error = errno != 0 ? errno : EACCES;
        return fail({error, QStringLiteral("could not create the folder %1 (%2)").arg(folder(), qt_error_string(error))});
    }
    const QByteArray json = QByteArray::fromStdString(state.toJSON());
    const auto write = [&json](const QString& path) {
        return writeFileSafely(path, std::span(json.constData(), size_t(json.size())));
    };
    if (auto failure = write(fileURL())) return fail(*failure);
    if (state.firmwareID.empty()) return std::nullopt;
    if (auto failure = write(fileURL(QString::fromStdString(state.firmwareID)))) return fail(*failure);
    return std::nullopt;
}

void StateStore::clear(const QString& firmwareID) {
    QFile::remove(fileURL());
    QFile::remove(fileURL(firmwareID));
}

QStringList StateStore::setAside(const QString& firmwareID) {
    QStringList kept;
    const std::string id = firmwareID.toStdString();
    const QString stamp =
        QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    for (const QString& path : {fileURL(firmwareID), fileURL()}) {
        const auto state = readState(path);
        if (!state || state->firmwareID != id) continue;
        const QFileInfo info(path);
        const QString base = info.completeBaseName() + QStringLiteral(" not restored ") + stamp;
        QString target = info.dir().filePath(base + QStringLiteral(".json"));
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = info.dir().filePath(base + QStringLiteral(" %1.json").arg(n));
        if (QFile::rename(path, target)) kept.append(target);
    }
    return kept;
}

} // namespace tw
