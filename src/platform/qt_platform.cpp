#include "platform/qt_platform.h"

#include "platform/settings_file_format.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <pwd.h>
#include <syslog.h>
#include <unistd.h>

namespace tw {

QtPlatform::QtPlatform() {
    if (QCoreApplication::organizationName().isEmpty()) QCoreApplication::setOrganizationName("Tarnwick");
    if (QCoreApplication::applicationName().isEmpty()) QCoreApplication::setApplicationName("Tarnwick");
    if (const auto aside = setAsideUnusableSettingsFile(settingsFilePath()))
        log(settingsSetAsideLine(*aside));
    settings_ = std::make_unique<SettingsFile>(settingsFilePath(), queue_.executor(),
                                               [this](const QString& line) { log(line); });
}

QtPlatform::~QtPlatform() = default;

QVariant QtPlatform::setting(const QString& key) const { return settings_->value(key); }

void QtPlatform::setSettingLazily(const QString& key, std::function<QVariant()> produce) {
    settings_->setValueLazily(key, std::move(produce));
}

std::optional<WriteFailure> QtPlatform::writePendingSettings() { return settings_->writePending(); }

void QtPlatform::setSetting(const QString& key, const QVariant& value) { settings_->setValue(key, value); }

void QtPlatform::removeSetting(const QString& key) { settings_->remove(key); }

QString QtPlatform::appDataFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString QtPlatform::homeFolder() const {
    // The password database names the real home even when HOME was changed.
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir)
        return QString::fromLocal8Bit(pw->pw_dir);
    return QDir::homePath();
}

QString QtPlatform::documentsFolder() const {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir(homeFolder()).filePath(QStringLiteral("Documents")) : documents;
}

MainThreadExecutor QtPlatform::mainExecutor() { return queue_.executor(); }

void QtPlatform::log(const QString& line) {
    // Never a format string: the text goes in as an argument.
    syslog(LOG_NOTICE, "%s", line.toUtf8().constData());
}

bool QtPlatform::revealFile(const QString& path) {
    const QFileInfo info(path);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    // No file manager answers the call: open the folder instead.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}

} // namespace tw
