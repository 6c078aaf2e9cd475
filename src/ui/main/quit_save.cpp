#include "ui/main/quit_save.h"

#include "app/app_model.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace tw {

QuitSave::QuitSave(AppModel& app, QGuiApplication& application, QObject* parent) : QObject(parent), app_(app) {
    connect(&application, &QCoreApplication::aboutToQuit, this, &QuitSave::save, Qt::DirectConnection);
    connect(&application, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { save(); },
            Qt::DirectConnection);
}

void QuitSave::save() {
    // A transfer with the real calculator is not cut off mid-write: wait for it, at
    // most until its watchdog would have given up on it.
    app_.waitForLinkJob();
    // Without an engine there is nothing to save and the files of the last run stay.
    app_.saveStateOnQuit();
    ++runs_;
    emit ran();
}

} // namespace tw
