// The state save at the end of a run, tied to the application and not to a window:
// it runs when the application quits (the last window closed, Ctrl+Q, a quit
// asked for by a termination signal) and when the session manager asks the
// application to save its data at logout.
#pragma once

#include <QObject>

class QGuiApplication;
class QSessionManager;

namespace tw {

class AppModel;

class QuitSave : public QObject {
    Q_OBJECT
public:
    QuitSave(AppModel& app, QGuiApplication& application, QObject* parent = nullptr);

    // How many times the save ran.
    int runs() const { return runs_; }

signals:
    void ran();

public slots:
    void save();

private:
    AppModel& app_;
    int runs_ = 0;
};

} // namespace tw
