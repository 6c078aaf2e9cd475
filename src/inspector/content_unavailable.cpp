#include "inspector/content_unavailable.h"

#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "inspector/inspector_style.h"

namespace tw {

namespace {

// The placeholder's symbol, drawn in the secondary text colour.
class SymbolView : public QWidget {
public:
    SymbolView(ContentUnavailable::Symbol symbol, QWidget* parent) : QWidget(parent), symbol_(symbol) {
        setFixedSize(40, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(secondaryText(palette()), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (symbol_ == ContentUnavailable::Symbol::memoryChip) {
            p.drawRoundedRect(QRectF(10, 10, 20, 20), 3, 3);
            for (int i = 0; i < 3; ++i) {
                const double at = 15 + i * 5;
                p.drawLine(QPointF(at, 4), QPointF(at, 10));
                p.drawLine(QPointF(at, 30), QPointF(at, 36));
                p.drawLine(QPointF(4, at), QPointF(10, at));
                p.drawLine(QPointF(30, at), QPointF(36, at));
            }
        } else {
            QFont f = inspectorFont(9, QFont::DemiBold);
            p.setFont(f);
            for (int i = 0; i < 3; ++i) {
                const double y = 10 + i * 10;
                p.drawText(QRectF(2, y - 6, 10, 12), Qt::AlignCenter, QString::number(i + 1));
                p.drawLine(QPointF(16, y), QPointF(36, y));
            }
        }
    }

private:
    ContentUnavailable::Symbol symbol_;
};

} // namespace

ContentUnavailable::ContentUnavailable(Symbol symbol, const QString& title, const QString& description, QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(8);
    column->addStretch(1);
    auto* icon = new SymbolView(symbol, this);
    column->addWidget(icon, 0, Qt::AlignHCenter);
    title_ = new QLabel(title, this);
    title_->setFont(inspectorFont(15, QFont::Bold));
    title_->setAlignment(Qt::AlignCenter);
    description_ = new QLabel(description, this);
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignCenter);
    column->addWidget(title_);
    column->addWidget(description_);
    column->addStretch(1);
    setAccessibleName(title);
    setAccessibleDescription(description);
    applyColours();
}

void ContentUnavailable::setDescription(const QString& description) {
    description_->setText(description);
    setAccessibleDescription(description);
}

void ContentUnavailable::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColours();
    QWidget::changeEvent(event);
}

void ContentUnavailable::applyColours() {
    setSecondaryText(*description_, palette());
}

} // namespace tw
