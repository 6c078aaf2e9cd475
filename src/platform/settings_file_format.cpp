#include "platform/settings_file_format.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

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
