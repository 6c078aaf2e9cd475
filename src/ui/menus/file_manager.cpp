#include "ui/menus/file_manager.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tw {

bool revealInFileManager(const QString& path) {
    const QUrl file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (QDBusConnection::sessionBus().isConnected()) {
        QDBusInterface manager(QStringLiteral("org.freedesktop.FileManager1"),
                               QStringLiteral("/org/freedesktop/FileManager1"),
                               QStringLiteral("org.freedesktop.FileManager1"), QDBusConnection::sessionBus());
        if (manager.isValid()) {
            const QDBusMessage reply =
                manager.call(QStringLiteral("ShowItems"), QStringList{file.toString()}, QString());
            if (reply.type() == QDBusMessage::ReplyMessage) return true;
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace tw
