// The step-comment editor: a small window-modal dialog over the inspector
// with the draft, "Save", "Remove" and "Cancel".
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tw {

class CommentEditor : public QDialog {
    Q_OBJECT
public:
    explicit CommentEditor(QWidget* parent = nullptr);

    // Opens (or retitles) the editor with a draft; clears any notice.
    void present(const QString& title, const QString& draft);

    QString draft() const { return field_->text(); }
    void setDraft(const QString& text) { field_->setText(text); }
    // A line under the message that says why the editor stayed open.
    void setNotice(const QString& notice);
    QString notice() const { return notice_->isHidden() ? QString() : notice_->text(); }
    QString message() const { return message_->text(); }
    QString title() const { return title_->text(); }

    QLineEdit* field() const { return field_; }
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

private:
    QLabel* title_;
    QLabel* message_;
    QLineEdit* field_;
    QLabel* notice_;
    QPushButton* save_;
    QPushButton* remove_;
    QPushButton* cancel_;
};

} // namespace tw
