#include "inspector/comment_editor.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

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

    column->addWidget(title_);
    column->addWidget(message_);
    column->addWidget(field_);
    column->addWidget(notice_);
    column->addWidget(buttons);
}

void CommentEditor::present(const QString& title) {
    setWindowTitle(title);
    setAccessibleName(title);
    title_->setText(title);
    setNotice({});
    // The field takes its draft once shown at its width.
    if (!isVisible()) open();
    adjustSize();
    field_->setFocus();
}

void CommentEditor::setNotice(const QString& notice) {
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    if (isVisible()) adjustSize();
}

void CommentEditor::reject() {
    // Closing is the owner's decision: it clears the step being edited,
    // which hides the editor.
    emit cancelRequested();
}

} // namespace tw
