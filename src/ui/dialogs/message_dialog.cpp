#include "ui/dialogs/message_dialog.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "inspector/content_minimum.h"
#include "ui/dialogs/wrapped_text.h"

namespace tw {

namespace {

const char* const kRoleProperty = "tw_role";
constexpr int kLeastWidth = 420;

} // namespace

MessageDialog::MessageDialog(QWidget* parent)
    : QDialog(parent), title_(new WrappedText(this)), message_(new WrappedText(this)), buttonRow_(new QHBoxLayout) {
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    title_->setFont(bold);
    title_->setObjectName(QStringLiteral("title"));
    message_->setObjectName(QStringLiteral("message"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(title_);
    layout->addWidget(message_);
    layout->addSpacing(6);
    buttonRow_->addStretch(1);
    layout->addLayout(buttonRow_);
    setMaximumWidth(560);
    // Never smaller than its text and buttons at the width it has: a window manager asked
    // for less height than the text takes sliced through its lines.
    ContentMinimum::keep(*this, kLeastWidth);
}

void MessageDialog::setTitle(const QString& title) {
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
    setWindowTitle(title);
}

void MessageDialog::setMessage(const QString& message) {
    message_->setText(message);
    message_->setVisible(!message.isEmpty());
}

QString MessageDialog::title() const { return title_->text(); }
QString MessageDialog::message() const { return message_->text(); }

QPushButton* MessageDialog::addButton(const QString& text, Role role, std::function<void()> action) {
    auto* button = new QPushButton(text, this);
    button->setProperty(kRoleProperty, static_cast<int>(role));
    button->setAutoDefault(false);
    if (role == Role::defaultAction) button->setDefault(true);
    if (role == Role::destructive) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, QColor(0xC0, 0x1C, 0x28));
        button->setPalette(palette);
    }
    if (role == Role::cancel) cancelAction_ = action;
    connect(button, &QPushButton::clicked, this, [this, role, action] {
        if (role == Role::cancel) {
            reject();
            return;
        }
        if (action) action();
        accept();
    });
    buttonRow_->addWidget(button);
    buttons_.append(button);
    return button;
}

MessageDialog::Role MessageDialog::roleOf(const QPushButton* button) {
    return static_cast<Role>(button->property(kRoleProperty).toInt());
}

void MessageDialog::reject() {
    if (!dismissed_ && cancelAction_) cancelAction_();
    QDialog::reject();
}

void MessageDialog::showEvent(QShowEvent* event) {
    // Wrapped texts ask for their height at the width they would like; size the dialog
    // for the width it is shown at instead.
    const int width = qBound(std::max(kLeastWidth, minimumWidth()), sizeHint().width(), maximumWidth());
    resize(width, layout()->totalHeightForWidth(width));
    QDialog::showEvent(event);
}

void MessageDialog::closeQuietly() {
    dismissed_ = true;
    QDialog::done(QDialog::Rejected);
}

void MessageDialog::done(int result) {
    const bool first = !dismissed_;
    dismissed_ = true;
    QDialog::done(result);
    if (first && onDismiss_) onDismiss_();
}

} // namespace tw
