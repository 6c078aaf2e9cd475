// Files given to the application from outside (its command line, a later start,
// the file manager) take the memory-file road, but only once the calculator runs:
// the file's trial check needs the running firmware. Until then they wait here.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

namespace tw {

class AppModel;

class PendingOpens : public QObject {
    Q_OBJECT
public:
    PendingOpens(AppModel& app, QObject* parent = nullptr);

    // Paths or file URLs; relative paths are taken from the current folder.
    void open(const QStringList& files);
    const QStringList& waiting() const { return waiting_; }

    // The files among a command line's arguments: everything after the program's
    // name that is not an option (Qt has taken its own options out already).
    static QStringList filesFromArguments(const QStringList& arguments);
    // Each file as an absolute path, a relative one taken from this process's current
    // folder: a later start resolves its files before it hands them over, since the
    // running one works in another folder.
    static QStringList absolutePaths(const QStringList& files);

signals:
    // A file handed to the memory-file load.
    void delivered(const QString& path);

private:
    void deliver();

    AppModel& app_;
    QStringList waiting_;
    bool scheduled_ = false;
};

} // namespace tw
