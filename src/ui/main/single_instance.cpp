#include "ui/main/single_instance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace tw {

namespace {

// A message is a 32-bit byte count, then the file list as a QDataStream; the
// receipt is one byte.
constexpr char kReceipt = 'k';

QByteArray encode(const QStringList& files) {
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << files;
    }
    QByteArray message;
    QDataStream header(&message, QIODevice::WriteOnly);
    header.setVersion(QDataStream::Qt_6_0);
    header << quint32(body.size());
    return message + body;
}

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), name_(std::move(serverName)) {
    // No socket options: with them Qt renames a fresh socket over the name, which
    // would take it from a running instance. Plain bind() refuses a name in use;
    // the socket sits in the user's own runtime folder.
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

QString SingleInstance::defaultServerName(const QString& settingsFile) {
    const QByteArray digest =
        QCryptographicHash::hash(QDir::cleanPath(settingsFile).toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    const QString name = QStringLiteral("tarnwick-%1-%2.socket").arg(::getuid()).arg(QString::fromLatin1(digest));
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(encode(files));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    }
    char receipt = 0;
    return socket.getChar(&receipt) && receipt == kReceipt;
}

SingleInstance::Listen SingleInstance::listen() {
    if (server_.isListening() || server_.listen(name_)) return Listen::listening;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return Listen::failed;
    // Someone answers: another instance runs. Nobody answers: a crashed run's socket.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(500)) return Listen::taken;
    QLocalServer::removeServer(name_);
    return server_.listen(name_) ? Listen::listening : Listen::failed;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->property("tw_done").toBool()) return;
            const QByteArray pending = socket->peek(socket->bytesAvailable());
            if (pending.size() < 4) return;
            QDataStream header(pending);
            header.setVersion(QDataStream::Qt_6_0);
            quint32 size = 0;
            header >> size;
            if (size > 16u * 1024 * 1024) { // not one of ours
                socket->abort();
                return;
            }
            if (quint32(pending.size()) < 4 + size) return;
            socket->read(4);
            QDataStream body(socket->read(size));
            body.setVersion(QDataStream::Qt_6_0);
            QStringList files;
            body >> files;
            socket->setProperty("tw_done", true);
            if (body.status() != QDataStream::Ok) {
                socket->abort();
                return;
            }
            socket->putChar(kReceipt);
            socket->flush();
            emit filesReceived(files);
        });
    }
}

} // namespace tw
