// The save at the end of a run: it runs when the main window is about to close for
// a quit (the window closed, Ctrl+Q, a quit asked for by a termination signal),
// while the window is still there, and when the session manager asks the
// application to save its data at logout. What could not be written is told over
// the window, with the reason: the user can try again after making room, or quit
// without it.
#pragma once

#include "app/unsaved_at_quit.h"
#include "ui/dialogs/message_dialog.h"

#include <QObject>
#include <QPointer>

class QGuiApplication;
class QSessionManager;
class QWidget;

namespace tw {

class AppModel;

class QuitSave : public QObject {
    Q_OBJECT
public:
    QuitSave(AppModel& app, QWidget& window, QGuiApplication& application, QObject* parent = nullptr);

    // How many times the save ran.
    int runs() const { return runs_; }
    // The dialog telling what could not be saved, while it is shown.
    MessageDialog* unsavedDialog() const { return dialog_; }

signals:
    void ran();
    // The dialog telling what could not be saved was shown with this message.
    void unsavedShown(const QString& message);

public slots:
    // Saves without asking anything (at logout, and at the quit when the window
    // did not take the save before it closed); failures are logged.
    void save();
    // A quit that the desktop insists on (a termination signal): quits, and while
    // the dialog asks, quits without what could not be saved.
    void quit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Answer { tryAgain, quitWithoutSaving };
    // The save itself; answers what could not be written.
    UnsavedAtQuit run();
    void ask(const UnsavedAtQuit& unsaved);
    void answered(Answer answer);
    // The window may go now: everything is written, or the user let it go.
    void settle();

    AppModel& app_;
    QWidget& window_;
    int runs_ = 0;
    bool settled_ = false;
    QPointer<MessageDialog> dialog_;
};

} // namespace tw
