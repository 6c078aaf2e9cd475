// The real calculator's section of the Calculator menu: reading and writing a CE
// calculator over USB, the job's status and the USB log.
#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace tw {

class AppModel;

class CalculatorLinkMenuItems : public QObject {
    Q_OBJECT
public:
    // Adds the section's entries at the end of `menu`.
    CalculatorLinkMenuItems(AppModel& app, QMenu* menu);

    void refresh();

    // Creates the log with its first line when there is none yet, then shows it;
    // with no file manager on the desktop, a notice names the file instead.
    static void showUSBLogInFileManager(AppModel& app);
    // The "usbLog" setting: on unless switched off.
    static bool logEnabled(const AppModel& app);
    static void setLogEnabled(AppModel& app, bool on);

private:
    AppModel& app_;
    QAction* read_;
    QAction* write_;
    QAction* saveMemory_;
    QAction* status_;
    QAction* log_;
};

} // namespace tw
