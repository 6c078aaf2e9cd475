// Every window-wide presentation of the main window, each shown while its AppModel
// field is set and closed when the model clears it: the open and save panels, the
// pending-action dialog, the "Tarnwick" and "Note" alerts, the About and Program
// Info sheets and the write alert. Closing one by hand clears its field.
#pragma once

#include "app/pending_action.h"
#include "ui/dialogs/file_panels.h"
#include "ui/dialogs/message_dialog.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

namespace tw {

class AppModel;


class Presentations : public QObject {
    Q_OBJECT
public:
    // `window` is the widget the dialogs are modal to.
    Presentations(AppModel& app, QWidget* window);

    // A confirmation dialog that replaces one on screen takes no click on its acting
    // buttons for this long, so that a click aimed at the earlier dialog's button
    // cannot carry out the new action.
    static constexpr int replacedDialogPauseMs = 750;

    // What is on screen now (null when nothing), for tests and screenshots.
    MessageDialog* actionDialog() const { return action_; }
    MessageDialog* errorAlert() const { return error_; }
    MessageDialog* noticeAlert() const { return notice_; }
    MessageDialog* writeAlert() const { return write_; }
    FilePanel* openPanel() const { return open_; }
    SavePanel* savePanel() const { return save_; }
    QDialog* aboutSheet() const { return about_; }
    QDialog* programInfoSheet() const { return programInfo_; }

private:
    void showImporter();
    void showExporter();
    void showAction();
    void showError();
    void showNotice();
    // A one-button alert showing `text` while it is set; `clear` empties the field when
    // the user dismisses it.
    void showAlert(QPointer<MessageDialog>& shown, const std::optional<QString>& text, const QString& name,
                   const QString& title, std::function<void()> clear);
    void showAbout();
    void showProgramInfo();
    void showWrite();

    AppModel& app_;
    QWidget* window_;
    QPointer<FilePanel> open_;
    QPointer<SavePanel> save_;
    QPointer<MessageDialog> action_;
    std::optional<PendingAction> shownAction_; // what action_ shows and acts on
    QPointer<MessageDialog> error_;
    QPointer<MessageDialog> notice_;
    QPointer<MessageDialog> write_;
    QPointer<QDialog> about_;
    QPointer<QDialog> programInfo_;
};

} // namespace tw
