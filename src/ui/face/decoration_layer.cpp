#include "ui/face/decoration_layer.h"

#include <QPainter>

namespace tw {

DecorationLayer::DecorationLayer(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DecorationLayer::paintEvent(QPaintEvent*) {
    if (!paint) return;
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    paint(painter);
}

} // namespace tw
