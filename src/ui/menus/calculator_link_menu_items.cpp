#include "ui/menus/calculator_link_menu_items.h"

#include "app/app_model.h"
#include "usblink/usb_log.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace tw {

namespace {
const QString kUsbLogKey = QStringLiteral("usbLog");
}

CalculatorLinkMenuItems::CalculatorLinkMenuItems(AppModel& app, QMenu* menu) : QObject(menu), app_(app) {
    QAction* header = menu->addAction(QStringLiteral("Real Calculator (USB)"));
    header->setEnabled(false);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);

    read_ = menu->addAction(QStringLiteral("Read from Calculator"));
    connect(read_, &QAction::triggered, this, [this] {
        if (app_.isRunning() && !app_.linkStatus()) app_.readFromCalculator();
    });
    write_ = menu->addAction(QStringLiteral("Write to Calculator…"));
    connect(write_, &QAction::triggered, this, [this] { app_.writeToCalculator(); });
    saveMemory_ = menu->addAction(QStringLiteral("Save Calculator Memory to File…"));
    connect(saveMemory_, &QAction::triggered, this, [this] { app_.saveCalculatorMemoryToFile(); });
    status_ = menu->addAction(QString());
    status_->setEnabled(false);
    log_ = menu->addAction(QStringLiteral("Log USB Traffic"));
    log_->setCheckable(true);
    connect(log_, &QAction::triggered, this, [this](bool on) { setLogEnabled(app_, on); });
    QAction* show = menu->addAction(QStringLiteral("Show USB Log in File Manager"));
    connect(show, &QAction::triggered, this, [this] { showUSBLogInFileManager(app_); });

    connect(&app, &AppModel::isRunningChanged, this, &CalculatorLinkMenuItems::refresh);
    connect(&app, &AppModel::linkStatusChanged, this, &CalculatorLinkMenuItems::refresh);
    connect(menu, &QMenu::aboutToShow, this, &CalculatorLinkMenuItems::refresh); // the setting may change elsewhere
    refresh();
}

void CalculatorLinkMenuItems::refresh() {
    const bool idle = !app_.linkStatus();
    read_->setEnabled(app_.isRunning() && idle);
    write_->setEnabled(app_.isRunning() && idle);
    saveMemory_->setEnabled(idle);
    status_->setText(app_.linkStatus().value_or(QStringLiteral("USB: calculator off, hold f + ENTER, press ON")));
    log_->setChecked(logEnabled(app_));
}

bool CalculatorLinkMenuItems::logEnabled(const AppModel& app) {
    const QVariant value = app.platform().setting(kUsbLogKey);
    return !value.isValid() || value.toBool();
}

void CalculatorLinkMenuItems::setLogEnabled(AppModel& app, bool on) {
    app.platform().setSetting(kUsbLogKey, on);
    setUSBLogEnabled(on);
}

void CalculatorLinkMenuItems::showUSBLogInFileManager(AppModel& app) {
    const QString path = QString::fromStdString(usbLogPath().string());
    // Written even while logging is off: there must be a file to show.
    if (!QFileInfo::exists(path)) usbLogAppend(usbLogTimeStamp(), "(log started)");
    // Without a file manager nothing would show: say where the file is instead.
    if (!app.platform().revealFile(path))
        app.setNotice(QStringLiteral("No file manager could be opened to show the USB log. The log is the file “%1”.")
                          .arg(QDir::toNativeSeparators(path)));
}

} // namespace tw
