#include "ui/dialogs/presentations.h"

#include "app/app_model.h"
#include "ui/dialogs/confirmation_texts.h"
#include "ui/dialogs/file_panels.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/window/screen_fit.h"
#include "ui/window/view_factory.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

namespace tw {

namespace {

// A sheet: the view's own dialog, window-modal over the window; its closing, by
// whatever means, runs `closed`.
QDialog* makeSheet(QDialog* sheet, const QString& name, std::function<void()> closed) {
    sheet->setObjectName(name);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    fitOnScreen(*sheet);
    QObject::connect(sheet, &QDialog::finished, sheet, [closed = std::move(closed)](int) { closed(); });
    // The sheet blocks the window and with it the window's Quit shortcut; the sheet
    // carries that item too, so Ctrl+Q quits from here as well (what a sheet holds
    // is stored as it is edited).
    if (QWidget* parent = sheet->parentWidget()) {
        for (QAction* action : parent->window()->findChildren<QAction*>()) {
            if (action->menuRole() == QAction::QuitRole) {
                sheet->addAction(action);
                break;
            }
        }
    }
    return sheet;
}

} // namespace

Presentations::Presentations(AppModel& app, QWidget* window) : QObject(window), app_(app), window_(window) {
    connect(&app, &AppModel::showImporterChanged, this, &Presentations::showImporter);
    connect(&app, &AppModel::exportDocumentChanged, this, &Presentations::showExporter);
    connect(&app, &AppModel::pendingActionChanged, this, &Presentations::showAction);
    connect(&app, &AppModel::errorMessageChanged, this, &Presentations::showError);
    connect(&app, &AppModel::noticeChanged, this, &Presentations::showNotice);
    connect(&app, &AppModel::showAboutChanged, this, &Presentations::showAbout);
    connect(&app, &AppModel::showProgramInfoChanged, this, &Presentations::showProgramInfo);
    connect(&app, &AppModel::pendingWriteChanged, this, &Presentations::showWrite);
}

void Presentations::showImporter() {
    if (!app_.showImporter()) {
        if (open_) open_->reject();
        return;
    }
    if (open_) return; // the open panel keeps the task it opened with
    open_ = makeOpenPanel(window_, app_.platform(), app_.importTask(), [this](FileTask task, std::optional<FileResult> result) {
        open_ = nullptr; // a panel asked for from here on is a new one
        if (app_.showImporter()) app_.setShowImporter(false);
        if (!result) return; // cancelled: no operation runs
        switch (task) {
        case FileTask::firmware: app_.chooseFirmware(*result); break;
        case FileTask::memory: app_.loadMemory(*result); break;
        case FileTask::notes: app_.openProgramNotes(*result); break;
        case FileTask::fonts: app_.useDocFonts(*result); break;
        }
    });
    open_->open();
}

void Presentations::showExporter() {
    // A document that arrives while a save panel is open leaves that panel as it is.
    if (save_ || !app_.exportDocument()) return;
    save_ = new SavePanel(
        window_, app_.platform(), *app_.exportDocument(), app_.exportType(),
        app_.exportNameOverride().value_or(QStringLiteral("Calculator memory")),
        [this](const FileResult& result) { app_.exportFinished(result); },
        [this] {
            save_ = nullptr;
            app_.exportPanelClosed(); // may hand in the next document at once
        });
    app_.exportPanelOpened();
    save_->open();
}

void Presentations::showAction() {
    const auto& pending = app_.pendingAction();
    bool replaced = false;
    if (action_) {
        // Only the very same action keeps the dialog: another one with the same id (a
        // second file of the same name) brings its own bytes, texts and buttons.
        if (pending && shownAction_ && *shownAction_ == *pending) return;
        replaced = action_->isVisible();
        action_->closeQuietly();
        shownAction_.reset();
    }
    if (!pending) return;
    const PendingAction action = *pending;
    shownAction_ = action;
    auto* dialog = new MessageDialog(window_);
    dialog->setObjectName(QStringLiteral("pendingActionDialog"));
    dialog->setTitle(action.title());
    dialog->setMessage(confirmationMessage(action));
    dialog->addButton(QStringLiteral("Save Backup First…"), MessageDialog::Role::defaultAction,
                      [this, action] { app_.saveBackupFirst(action); });
    dialog->addButton(action.confirmButton(), MessageDialog::Role::destructive, [this, action] { app_.perform(action); });
    dialog->addButton(QStringLiteral("Cancel"), MessageDialog::Role::cancel);
    // Dismissal clears the field, unless the buttons' work has put another action there.
    dialog->setOnDismiss([this, action] {
        if (app_.pendingAction() && *app_.pendingAction() == action) app_.setPendingAction(std::nullopt);
    });
    action_ = dialog;
    if (replaced) {
        // The user may be clicking at the dialog that just went: its buttons sat where
        // these sit now. Cancel stays; it carries out nothing.
        QList<QPushButton*> acting;
        for (QPushButton* button : dialog->buttons())
            if (MessageDialog::roleOf(button) != MessageDialog::Role::cancel) acting << button;
        for (QPushButton* button : acting) button->setEnabled(false);
        QTimer::singleShot(replacedDialogPauseMs, dialog, [acting] {
            for (QPushButton* button : acting) button->setEnabled(true);
        });
    }
    dialog->open();
}

void Presentations::showError() {
    showAlert(error_, app_.errorMessage(), QStringLiteral("errorAlert"), QStringLiteral("Tarnwick"),
              [this] { app_.setErrorMessage(std::nullopt); });
}

void Presentations::showNotice() {
    showAlert(notice_, app_.notice(), QStringLiteral("noticeAlert"), QStringLiteral("Note"),
              [this] { app_.setNotice(std::nullopt); });
}

void Presentations::showAlert(QPointer<MessageDialog>& shown, const std::optional<QString>& text,
                              const QString& name, const QString& title, std::function<void()> clear) {
    if (shown) {
        if (text && shown->message() == *text) return;
        shown->closeQuietly();
    }
    if (!text) return;
    auto* alert = new MessageDialog(window_);
    alert->setObjectName(name);
    alert->setTitle(title);
    alert->setMessage(*text);
    alert->addButton(QStringLiteral("OK"), MessageDialog::Role::cancel)->setDefault(true);
    alert->setOnDismiss(std::move(clear));
    shown = alert;
    alert->open();
}

void Presentations::showAbout() {
    if (!app_.showAbout()) {
        if (about_) about_->accept();
        return;
    }
    if (about_) return;
    about_ = makeSheet(views::createAboutSheet(app_, window_), QStringLiteral("aboutSheet"), [this] {
        if (app_.showAbout()) app_.setShowAbout(false);
    });
    about_->open();
}

void Presentations::showProgramInfo() {
    if (!app_.showProgramInfo()) {
        if (programInfo_) programInfo_->accept();
        return;
    }
    if (programInfo_) return;
    programInfo_ = makeSheet(views::createProgramInfoSheet(app_, window_), QStringLiteral("programInfoSheet"), [this] {
        if (app_.showProgramInfo()) app_.setShowProgramInfo(false);
    });
    programInfo_->open();
}

void Presentations::showWrite() {
    const auto& pending = app_.pendingWrite();
    if (write_) {
        if (pending && write_->property("tw_write_id").toUuid() == pending->id) return;
        write_->closeQuietly();
    }
    if (!pending) return;
    const PendingWrite write = *pending;
    auto* alert = new MessageDialog(window_);
    alert->setObjectName(QStringLiteral("writeAlert"));
    alert->setProperty("tw_write_id", write.id);
    alert->setTitle(write.title());
    alert->setMessage(write.message());
    alert->addButton(writeButtonTitle(write), MessageDialog::Role::destructive,
                     [this, write] { app_.confirmWrite(write); });
    alert->addButton(QStringLiteral("Cancel"), MessageDialog::Role::cancel);
    alert->setOnDismiss([this, id = write.id] {
        if (app_.pendingWrite() && app_.pendingWrite()->id == id) app_.setPendingWrite(std::nullopt);
    });
    write_ = alert;
    alert->open();
}

} // namespace tw
