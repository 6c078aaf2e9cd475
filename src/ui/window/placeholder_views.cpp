#include "ui/window/placeholder_views.h"

#include "app/app_model.h"

#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

namespace {

QColor rgb(uint32_t value) { return QColor::fromRgb(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF); }

class PlaceholderLCD : public QWidget {
public:
    PlaceholderLCD(AppModel& app, QWidget* parent) : QWidget(parent), app_(app) {
        setObjectName(QStringLiteral("lcd"));
        connect(&app, &AppModel::snapshotChanged, this, qOverload<>(&QWidget::update));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const auto& colors = app_.model().colors;
        painter.fillRect(rect(), rgb(colors.lcd ? colors.lcd : 0xB8BFA8));
        painter.setPen(rgb(colors.segment));
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(qMax(8, height() * 6 / 10));
        painter.setFont(font);
        painter.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignRight,
                         QString::fromStdString(app_.snapshot().lcd.text));
    }

private:
    AppModel& app_;
};

} // namespace

PlaceholderWelcomeView::PlaceholderWelcomeView(AppModel& app, QWidget* parent)
    : QWidget(parent), app_(app), status_(new QLabel(this)),
      choose_(new QPushButton(QStringLiteral("Choose Firmware File…"), this)) {
    setObjectName(QStringLiteral("welcome"));
    auto* title = new QLabel(QStringLiteral("Tarnwick"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(status_, 0, Qt::AlignHCenter);
    layout->addWidget(choose_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    connect(choose_, &QPushButton::clicked, this, [this] {
        app_.setImportTask(FileTask::firmware);
        app_.setShowImporter(true);
    });
    connect(&app, &AppModel::isStartingChanged, this, &PlaceholderWelcomeView::refresh);
    refresh();
}

void PlaceholderWelcomeView::refresh() {
    status_->setText(app_.isStarting() ? QStringLiteral("Starting the calculator…")
                                       : QStringLiteral("Choose the firmware file of your calculator."));
    choose_->setEnabled(!app_.isStarting());
}

PlaceholderCalculatorView::PlaceholderCalculatorView(AppModel& app, QWidget* parent)
    : QWidget(parent), app_(app), lcd_(new PlaceholderLCD(app, this)) {
    setObjectName(QStringLiteral("calculator"));
    connect(&app, &AppModel::skinChanged, this, qOverload<>(&QWidget::update));
}

void PlaceholderCalculatorView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), rgb(app_.model().colors.body));
    painter.setPen(rgb(app_.model().colors.fLegend));
    painter.drawText(rect().adjusted(0, 0, 0, -height() / 10), Qt::AlignHCenter | Qt::AlignBottom,
                     app_.modelName());
}

void PlaceholderCalculatorView::resizeEvent(QResizeEvent*) {
    lcd_->setGeometry(width() / 10, height() / 10, width() * 5 / 10, height() * 18 / 100);
}

PlaceholderInspectorView::PlaceholderInspectorView(AppModel& app, QWidget* parent)
    : QWidget(parent), app_(app), text_(new QLabel(this)) {
    setObjectName(QStringLiteral("inspector"));
    text_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    text_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    connect(&app, &AppModel::inspectionChanged, this, &PlaceholderInspectorView::refresh);
    refresh();
}

void PlaceholderInspectorView::refresh() {
    const auto& inspection = app_.inspection();
    QString text = QStringLiteral("Registers & Program");
    if (inspection) {
        text += QStringLiteral("\n\n%1 program lines").arg(inspection->program.size());
    }
    text_->setText(text);
}

PlaceholderSheetView::PlaceholderSheetView(AppModel&, const QString& title, QDialog* sheet) : QWidget(sheet) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(title, this));
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    layout->addWidget(done, 0, Qt::AlignRight);
    connect(done, &QPushButton::clicked, sheet, &QDialog::accept);
}

} // namespace tw
