#include "ui/window/aspect_ratio_box.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace tw {

AspectRatioBox::AspectRatioBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void AspectRatioBox::setChild(QWidget* child) {
    if (child_ == child) return;
    if (child_) child_->deleteLater();
    child_ = child;
    if (child_) {
        child_->setParent(this);
        child_->show();
        child_->lower();
    }
    place();
}

void AspectRatioBox::setRatio(double ratio) {
    if (!(ratio > 0) || ratio == ratio_) return;
    ratio_ = ratio;
    place();
}

QRect AspectRatioBox::fitted(const QRect& area, double ratio) {
    if (area.isEmpty() || !(ratio > 0)) return {};
    int width = area.width();
    int height = static_cast<int>(std::lround(width / ratio));
    if (height > area.height()) {
        height = area.height();
        width = static_cast<int>(std::lround(height * ratio));
    }
    QRect result(0, 0, width, height);
    result.moveCenter(area.center());
    // Centring rounds towards the top left; keep the rectangle inside the area.
    result.moveLeft(area.left() + (area.width() - width) / 2);
    result.moveTop(area.top() + (area.height() - height) / 2);
    return result;
}

QRect AspectRatioBox::fitted(const QRect& area, double ratio, const QRect& keepClear) {
    const QRect whole = fitted(area, ratio);
    if (keepClear.isEmpty() || !whole.intersects(keepClear)) return whole;
    // Beside the part (left of it) or below it, whichever leaves the larger child.
    QRect left = area;
    left.setRight(keepClear.left() - 1);
    QRect below = area;
    below.setTop(keepClear.bottom() + 1);
    QRect beside = fitted(left, ratio);
    QRect under = fitted(below, ratio);
    if (beside.intersects(keepClear)) beside = {};
    if (under.intersects(keepClear)) under = {};
    return beside.width() >= under.width() ? beside : under;
}

void AspectRatioBox::setKeepClear(const QRect& keepClear) {
    if (keepClear == keepClear_) return;
    keepClear_ = keepClear;
    place();
}

void AspectRatioBox::resizeEvent(QResizeEvent*) { place(); }

void AspectRatioBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), background());
}

void AspectRatioBox::place() {
    if (child_) child_->setGeometry(fitted(rect(), ratio_, keepClear_));
}

} // namespace tw
