#include "ui/sheet/about_view.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_model.h"
#include "inspector/content_minimum.h"
#include "ui/dialogs/wrapped_text.h"

namespace tw {
namespace {

// The about box is never narrower than this, nor wider than kMostWidth.
constexpr int kLeastWidth = 400;
constexpr int kMostWidth = 440;

void useCalloutFont(QWidget& line) {
    QFont font = line.font();
    font.setPointSizeF(font.pointSizeF() * 0.92);
    line.setFont(font);
}

QLabel* secondaryLabel(const QString& text, QWidget* parent, bool callout) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    if (callout) useCalloutFont(*label);
    return label;
}

} // namespace

QString versionText(const QString& shortVersion, const QString& buildVersion) {
    return (shortVersion.isEmpty() ? QStringLiteral("1.0") : shortVersion) + QStringLiteral(" (") +
           (buildVersion.isEmpty() ? QStringLiteral("1") : buildVersion) + QStringLiteral(")");
}

AboutView::AboutView(AppModel& app, QWidget* parent) : QDialog(parent), app_(app) {
    setWindowTitle(tr("About Tarnwick"));
    setMaximumWidth(kMostWidth);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->setContentsMargins(24, 24, 24, 24);

    auto* name = new QLabel(tr("Tarnwick"), this);
    QFont title = name->font();
    title.setPointSizeF(title.pointSizeF() * 1.4);
    title.setBold(true);
    name->setFont(title);
    column->addWidget(name);

    const QString version = versionText(QStringLiteral(TW_VERSION), QStringLiteral(TW_BUILD_NUMBER));
    column->addWidget(secondaryLabel(tr("Version %1").arg(version), this, false));

    auto* about = new QLabel(tr("A calculator app that emulates the ARM chip of the CE calculators and runs the "
                                "firmware file you supply."), this);
    about->setWordWrap(true);
    column->addWidget(about);

    // The firmware's file name, shown as the file is called, is copied as it reads.
    firmware_ = new WrappedText(this);
    firmware_->setTextRole(QPalette::PlaceholderText);
    useCalloutFont(*firmware_);
    column->addWidget(firmware_);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    column->addWidget(divider);

    column->addWidget(secondaryLabel(tr("Not affiliated with, endorsed by or sponsored by HP Inc. Model numbers are "
                                        "used only to say which firmware the app works with."), this, true));

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* close = new QPushButton(tr("Close"), this);
    close->setDefault(true);
    close->setAutoDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
    column->addLayout(row);

    // Never smaller than its paragraphs at the width it has.
    ContentMinimum::keep(*this, kLeastWidth);
    connect(&app_, &AppModel::firmwareNameChanged, this, &AboutView::follow);
    connect(&app_, &AppModel::firmwareInfoChanged, this, &AboutView::follow);
    follow();
}

void AboutView::follow() {
    const auto name = app_.firmwareName();
    firmware_->setHidden(!name.has_value());
    // A long file name wraps inside the box, where it made the box as wide as the name.
    if (name) firmware_->setText(tr("Firmware: %1\n%2").arg(*name, app_.firmwareInfo()));
    // Shown, it follows its content as its least size does.
    if (!isVisible()) adjustSize();
}

} // namespace tw
