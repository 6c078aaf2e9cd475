#include "ui/main/quit_save.h"

#include "app/app_model.h"
#include "ui/dialogs/message_dialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QSessionManager>
#include <QWidget>

namespace tw {

QuitSave::QuitSave(AppModel& app, QWidget& window, QGuiApplication& application, QObject* parent)
    : QObject(parent), app_(app), window_(window) {
    window_.installEventFilter(this);
    connect(&application, &QCoreApplication::aboutToQuit, this, [this] {
        // Normally the window's closing took the save already.
        if (!settled_) save();
    }, Qt::DirectConnection);
    connect(&application, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { save(); },
            Qt::DirectConnection);
}

void QuitSave::save() { run(); }

UnsavedAtQuit QuitSave::run() {
    // A transfer with the real calculator is not cut off mid-write: wait for it, at
    // most until its watchdog would have given up on it.
    app_.waitForLinkJob();
    // Without an engine there is no state to save and the files of the last run stay.
    UnsavedAtQuit unsaved = app_.saveOnQuit();
    ++runs_;
    emit ran();
    return unsaved;
}

void QuitSave::quit() {
    if (dialog_) {
        dialog_->closeQuietly();
        answered(Answer::quitWithoutSaving);
        return;
    }
    QCoreApplication::quit();
}

bool QuitSave::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::Close || settled_) return QObject::eventFilter(watched, event);
    if (!dialog_) {
        const UnsavedAtQuit unsaved = run();
        if (!unsaved.any()) {
            settled_ = true;
            return false; // the window closes, and with it the application
        }
        ask(unsaved);
    }
    // The window stays while the user decides.
    event->ignore();
    return true;
}

void QuitSave::ask(const UnsavedAtQuit& unsaved) {
    auto* dialog = new MessageDialog(&window_);
    dialog->setObjectName(QStringLiteral("unsavedAtQuit"));
    dialog->setTitle(QStringLiteral("Tarnwick could not save before quitting"));
    dialog->setMessage(unsaved.message() + QStringLiteral(" Make room on the disk (or make the folder writable) "
                                                          "and try again, or quit without saving."));
    auto answer = std::make_shared<Answer>(Answer::tryAgain);
    dialog->addButton(QStringLiteral("Quit Without Saving"), MessageDialog::Role::destructive,
                      [answer] { *answer = Answer::quitWithoutSaving; });
    // Escape and the close box try again too: nothing is given up by accident.
    dialog->addButton(QStringLiteral("Try Again"), MessageDialog::Role::cancel)->setDefault(true);
    dialog->setOnDismiss([this, answer] { answered(*answer); });
    dialog_ = dialog;
    dialog->open();
    emit unsavedShown(dialog->message());
}

void QuitSave::answered(Answer answer) {
    dialog_ = nullptr;
    if (answer == Answer::tryAgain) {
        const UnsavedAtQuit unsaved = app_.saveOnQuitAgain();
        if (unsaved.any()) {
            ask(unsaved);
            return;
        }
    }
    settle();
}

void QuitSave::settle() {
    settled_ = true;
    window_.close();
}

} // namespace tw
