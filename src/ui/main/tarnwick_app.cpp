#include "ui/main/tarnwick_app.h"

#include "app/app_model.h"
#include "platform/qt_platform.h"
#include "platform/settings_file_format.h"
#include "ui/main/pending_opens.h"
#include "ui/main/quit_save.h"
#include "ui/main/single_instance.h"
#include "ui/main/termination_signals.h"
#include "ui/window/calculator_style.h"
#include "ui/window/main_window.h"
#include "ui/window/screen_fit.h"
#include "usblink/usb_log.h"

#include <QApplication>

#include <cstdio>

namespace tw {

TarnwickApp::TarnwickApp(Platform& platform, SingleInstance* instance, const QStringList& files)
    : model_(std::make_unique<AppModel>(platform)), window_(std::make_unique<MainWindow>(*model_)),
      opens_(new PendingOpens(*model_, this)),
      quitSave_(new QuitSave(*model_, *window_, *qobject_cast<QGuiApplication*>(QCoreApplication::instance()),
                             this)) {
    const QVariant usbLog = platform.setting(QStringLiteral("usbLog"));
    setUSBLogEnabled(!usbLog.isValid() || usbLog.toBool());
    if (instance) {
        connect(instance, &SingleInstance::filesReceived, this, [this](const QStringList& handed) {
            opens_->open(handed);
            show();
        });
    }
    opens_->open(files);
}

TarnwickApp::~TarnwickApp() {
    // The quit-time save has run by now; the window goes before the model it reads.
    window_.reset();
    // The model's last signals (its engine stopping) reach nobody.
    QObject::disconnect(model_.get(), nullptr, nullptr, nullptr);
    model_.reset();
}

void TarnwickApp::show() {
    // At its first showing the window is no larger than the screen's free area.
    if (!window_->isVisible()) fitOnScreen(*window_);
    if (window_->isMinimized()) window_->showNormal();
    else window_->show();
    window_->raise();
    window_->activateWindow();
}

int runTarnwick(int& argc, char** argv, const EntryHooks& hooks) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tarnwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    // Before anything opens the settings: a FIFO or a huge file there must not block the start.
    const QString settingsFile = settingsFilePath();
    const auto settingsAside = setAsideUnusableSettingsFile(settingsFile);
    if (hooks.beforeModel) hooks.beforeModel();

    // Resolved here, in the folder the user started from: a running Tarnwick that
    // takes them over works in a folder of its own.
    const QStringList files =
        PendingOpens::absolutePaths(PendingOpens::filesFromArguments(QCoreApplication::arguments()));
    SingleInstance instance(SingleInstance::defaultServerName(settingsFile));
    if (instance.handOver(files)) return 0;
    switch (instance.listen()) {
    case SingleInstance::Listen::listening: break;
    case SingleInstance::Listen::taken:
        // Another start won the race to the socket in the meantime.
        if (instance.handOver(files)) return 0;
        // A second engine would write over the running one's saved state.
        std::fputs("tarnwick: another Tarnwick is running but does not answer\n", stderr);
        return 1;
    case SingleInstance::Listen::failed:
        std::fputs("tarnwick: no single-instance socket; later starts will not find this one\n", stderr);
        break;
    }

    installCalculatorStyle();
    TerminationSignals termination;

    QtPlatform platform;
    if (settingsAside) platform.log(settingsSetAsideLine(*settingsAside));
    TarnwickApp app(platform, &instance, files);
    QObject::connect(&termination, &TerminationSignals::received, &app.quitSave(), &QuitSave::quit);
    app.show();
    if (hooks.ready) hooks.ready(app);
    return QApplication::exec();
}

} // namespace tw
