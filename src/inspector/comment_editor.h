// The step-comment editor: a small window-modal dialog over the inspector
// with the draft, "Save", "Remove" and "Cancel".
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "inspector/comment_field.h"

namespace tw {

class CommentEditor : public QDialog {
    Q_OBJECT
public:
    explicit CommentEditor(QWidget* parent = nullptr);

    // Opens (or retitles) the editor on its draft; clears any notice.
    void present(const QString& title);

    QString draft() const { return field_->text(); }
    void setDraft(const QString& text) { field_->setText(text); }
    // A line under the message that says why the editor stayed open.
    void setNotice(const QString& notice);
    QString notice() const { return notice_->isHidden() ? QString() : notice_->text(); }
    QString message() const { return message_->text(); }
    QString title() const { return title_->text(); }

    CommentField* field() const { return field_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void saveRequested();
    void removeRequested();
    // Cancel, Escape or the window's close button.
    void cancelRequested();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* title_;
    QLabel* message_;
    CommentField* field_;
    QLabel* notice_;
    QPushButton* save_;
    QPushButton* remove_;
    QPushButton* cancel_;
};

} // namespace tw
