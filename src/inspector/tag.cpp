#include "inspector/tag.h"

#include <QPainter>
#include <QPainterPath>

#include "inspector/inspector_style.h"

namespace tw {

namespace {

constexpr int kPadX = 5;
constexpr int kPadY = 1;

} // namespace

Tag::Tag(const QString& text, const QColor& color, QWidget* parent) : QWidget(parent), text_(text), color_(color) {
    setFont(inspectorFont(10, QFont::Bold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void Tag::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void Tag::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QColor Tag::color() const {
    return color_.isValid() ? color_ : secondaryText(palette());
}

QSize Tag::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text_) + 2 * kPadX + 2, fm.height() + 2 * kPadY};
}

void Tag::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = color();
    p.setPen(c);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text_);
    QColor outline = c;
    outline.setAlphaF(static_cast<float>(c.alphaF() * 0.7));
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

} // namespace tw
