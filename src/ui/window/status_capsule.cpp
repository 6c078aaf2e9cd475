#include "ui/window/status_capsule.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace tw {

namespace {

// A small indeterminate progress indicator: an arc going round while shown.
class BusyIndicator : public QWidget {
public:
    explicit BusyIndicator(QWidget* parent) : QWidget(parent) {
        setFixedSize(16, 16);
        timer_.setInterval(80);
        connect(&timer_, &QTimer::timeout, this, [this] {
            angle_ = (angle_ + 30) % 360;
            update();
        });
    }

protected:
    void showEvent(QShowEvent*) override { timer_.start(); }
    void hideEvent(QHideEvent*) override { timer_.stop(); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor track = palette().color(QPalette::WindowText);
        track.setAlphaF(0.2);
        const QRectF ring = QRectF(rect()).adjusted(2, 2, -2, -2);
        painter.setPen(QPen(track, 2));
        painter.drawEllipse(ring);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ring, -angle_ * 16, 100 * 16);
    }

private:
    QTimer timer_;
    int angle_ = 0;
};

} // namespace

StatusCapsule::StatusCapsule(QWidget* parent) : QWidget(parent), busy_(new BusyIndicator(this)), label_(new QLabel(this)) {
    setObjectName(QStringLiteral("usbStatus"));
    setAttribute(Qt::WA_TranslucentBackground);
    label_->setTextFormat(Qt::PlainText); // a status may name a file
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 8, 14, 8);
    row->setSpacing(10);
    row->addWidget(busy_);
    row->addWidget(label_);
    parent->installEventFilter(this);
    hide();
}

void StatusCapsule::setStatus(const std::optional<QString>& status) {
    if (!status) {
        hide();
        return;
    }
    label_->setText(*status);
    adjustSize();
    place();
    show();
    raise();
}

QString StatusCapsule::text() const { return isHidden() ? QString() : label_->text(); }

bool StatusCapsule::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) place();
    return QWidget::eventFilter(watched, event);
}

void StatusCapsule::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Window);
    fill.setAlphaF(0.88);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath capsule;
    capsule.addRoundedRect(box, box.height() / 2, box.height() / 2);
    painter.fillPath(capsule, fill);
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.15);
    painter.setPen(edge);
    painter.drawPath(capsule);
}

void StatusCapsule::place() {
    auto* host = parentWidget();
    if (!host) return;
    const QSize size = sizeHint();
    resize(size);
    move((host->width() - size.width()) / 2, host->height() - 16 - size.height());
}

} // namespace tw
