#include "platform/settings_file_format.h"

#include "platform/ini_settings_text.h"

#include <QDateTime>
#include <QFile>
#include <QFileDevice>
#include <QLocale>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

// Always true: Qt drops every key of a custom format whose read fails, where its own
// INI reading keeps the keys it understood; a line we cannot read costs only that line.
bool readSettings(QIODevice& device, QSettings::SettingsMap& settings) {
    decodeIniSettings(device.readAll(), settings);
    return true;
}

// Qt writes the file through a QSaveFile and replaces the old file once this returns
// true. That save file keeps small writes in its buffer, and the flush inside its
// commit may fail unnoticed; so the text is flushed and synced here, where a
// failure still cancels the save and keeps the earlier file.
bool writeSettings(QIODevice& device, const QSettings::SettingsMap& settings) {
    const QByteArray text = encodeIniSettings(settings);
    if (device.write(text) != text.size()) return false;
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (!file) return true;
    if (!file->flush() || file->error() != QFileDevice::NoError) return false;
    // EINVAL: a file system without sync; what the flush took is all there is to check.
    return ::fsync(file->handle()) == 0 || errno == EINVAL;
}

} // namespace

QSettings::Format checkedSettingsFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readSettings, writeSettings, Qt::CaseSensitive);
    return format;
}

QString settingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarnwick/Tarnwick.conf");
}

std::optional<QString> setAsideUnusableSettingsFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    // stat, not open: opening a FIFO for reading is what blocks.
    if (::stat(native.constData(), &status) != 0) return std::nullopt;
    if (S_ISREG(status.st_mode) && status.st_size <= maximumSettingsFileSize) return std::nullopt;
    const QString stamp = QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    const QString aside = path + QStringLiteral(" unusable ") + stamp;
    if (::rename(native.constData(), QFile::encodeName(aside).constData()) != 0) return std::nullopt;
    return aside;
}

QString settingsSetAsideLine(const QString& aside) {
    return QStringLiteral("Tarnwick: the settings file was no regular file of a sensible size; it was moved to ") + aside;
}

} // namespace tw
