#include "inspector/comment_editor.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "inspector/content_minimum.h"
#include "inspector/inspector_style.h"

namespace tw {

CommentEditor::CommentEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("commentEditor"));
    setWindowModality(Qt::WindowModal);
    setModal(false);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(8);
    // The title stands in the dialog too, as an alert shows it, not only in
    // the window's frame.
    title_ = new QLabel(this);
    title_->setFont(inspectorFont(13, QFont::Bold));
    message_ = new QLabel(tr("Shown in the listing and the exported documentation. It stays with this step when "
                             "lines are inserted or deleted."),
                          this);
    message_->setWordWrap(true);
    field_ = new CommentField(this);
    field_->setPlaceholderText(tr("Comment"));
    field_->setAccessibleName(tr("Comment"));
    notice_ = new QLabel(this);
    notice_->setWordWrap(true);
    QPalette warn = notice_->palette();
    warn.setColor(QPalette::WindowText, inspectorComplex());
    notice_->setPalette(warn);
    notice_->hide();

    auto* buttons = new QDialogButtonBox(this);
    save_ = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    remove_ = buttons->addButton(tr("Remove"), QDialogButtonBox::DestructiveRole);
    cancel_ = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &CommentEditor::saveRequested);
    connect(remove_, &QPushButton::clicked, this, &CommentEditor::removeRequested);
    connect(cancel_, &QPushButton::clicked, this, &CommentEditor::cancelRequested);
    // Return in the field saves, whichever button has been the default since.
    connect(field_, &CommentField::returnPressed, this, &CommentEditor::saveRequested);

    column->addWidget(title_);
    column->addWidget(message_);
    column->addWidget(field_);
    column->addWidget(notice_);
    column->addWidget(buttons);
    // Never smaller than its title, message, lines and buttons at the width it has; the
    // room it is given beyond that goes to the field.
    ContentMinimum* fitted = ContentMinimum::keep(*this);
    connect(field_, &CommentField::heightWanted, fitted, [fitted] { fitted->fit(); });
}

void CommentEditor::present(const QString& title) {
    setWindowTitle(title);
    setAccessibleName(title);
    title_->setText(title);
    setNotice({});
    // The field has the focus before the dialog shows: shown, the dialog hands it to the
    // widget that had it last, and a button given it takes the default.
    field_->setFocus();
    if (!isVisible()) {
        // The field takes its draft once shown at its width, which is the one the editor
        // had when it last closed.
        open();
        // A button that had the focus when the editor last closed kept the default.
        save_->setDefault(true);
    }
}

void CommentEditor::setNotice(const QString& notice) {
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
}

void CommentEditor::reject() {
    // Closing is the owner's decision: it clears the step being edited,
    // which hides the editor.
    emit cancelRequested();
}

void CommentEditor::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    // Closed from its frame (Alt+F4, the close button), the editor is hidden as by Escape,
    // not closed: a closed window loses its place on the screen, and with it the size it
    // had before it was maximised, which it would not come back to.
    if (event->spontaneous()) event->ignore();
}

} // namespace tw
