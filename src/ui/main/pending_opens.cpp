#include "ui/main/pending_opens.h"

#include "app/app_model.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace tw {

PendingOpens::PendingOpens(AppModel& app, QObject* parent) : QObject(parent), app_(app) {
    connect(&app, &AppModel::isRunningChanged, this, &PendingOpens::deliver);
}

QStringList PendingOpens::filesFromArguments(const QStringList& arguments) {
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith(QLatin1Char('-'))) continue;
        files << argument;
    }
    return files;
}

QStringList PendingOpens::absolutePaths(const QStringList& files) {
    QStringList paths;
    for (const QString& file : files) {
        if (file.isEmpty()) continue;
        const QUrl url(file);
        const QString path = url.isLocalFile() ? url.toLocalFile() : file;
        paths << QFileInfo(path).absoluteFilePath();
    }
    return paths;
}

void PendingOpens::open(const QStringList& files) {
    waiting_ << absolutePaths(files);
    deliver();
}

void PendingOpens::deliver() {
    if (!app_.isRunning() || waiting_.isEmpty() || scheduled_) return;
    // After the start has finished announcing itself.
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        while (app_.isRunning() && !waiting_.isEmpty()) {
            const QString path = waiting_.takeFirst();
            app_.openFile(path);
            emit delivered(path);
        }
    });
}

} // namespace tw
