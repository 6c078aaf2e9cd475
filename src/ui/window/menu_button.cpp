#include "ui/window/menu_button.h"

#include <QPainter>

namespace tw {

MenuButton::MenuButton(QWidget* parent) : QToolButton(parent) {
    setObjectName(QStringLiteral("calculatorMenuButton"));
    setAccessibleName(QStringLiteral("Calculator menu"));
    setToolTip(QStringLiteral("Calculator menu"));
    setPopupMode(QToolButton::InstantPopup);
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus); // keys belong to the calculator
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize MenuButton::sizeHint() const {
    // The symbol at 18 points.
    const int side = qRound(18.0 * logicalDpiY() / 72.0) + 2;
    return {side, side};
}

void MenuButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor colour = tint();
    if (isDown()) colour = colour.darker(130);
    else if (underMouse()) colour = colour.lighter(115);
    const qreal side = qMin(width(), height()) - 2.0;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QPen pen(colour, qMax(1.5, side / 12.0)); // a semibold stroke
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle.adjusted(pen.widthF() / 2, pen.widthF() / 2, -pen.widthF() / 2, -pen.widthF() / 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const qreal dot = side / 11.0;
    const QPointF centre = circle.center();
    for (int i = -1; i <= 1; ++i) painter.drawEllipse(QPointF(centre.x() + i * side * 0.24, centre.y()), dot, dot);
}

} // namespace tw
