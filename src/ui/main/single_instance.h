// One Tarnwick per user and settings store: the first start listens on a local
// socket, a later start hands its files to it and exits, so that two engines never
// write over each other's saved state.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tw {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // serverName: a full socket path or a plain name (placed in the temporary folder).
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);

    // The socket of this user's Tarnwick for the settings file in use: a test
    // build with its own settings folder is an instance of its own.
    static QString defaultServerName(const QString& settingsFile);

    // Hands the files to a running instance and waits for its receipt.
    // True when one took them; false when none answers.
    bool handOver(const QStringList& files, int timeoutMs = 3000);

    enum class Listen {
        listening, // this is the instance later starts hand over to
        taken,     // another instance listens on the name
        failed,    // the socket cannot be made (no runtime folder, say)
    };
    // Starts answering later starts. A socket left behind by a crashed instance
    // is removed first.
    Listen listen();

    QString serverName() const { return name_; }

signals:
    // Files handed over by a later start, in the order it was given them.
    void filesReceived(const QStringList& files);

private:
    void accept();

    QString name_;
    QLocalServer server_;
};

} // namespace tw
