#include "ui/face/key_widget.h"

#include <QMouseEvent>

namespace tw {

KeyWidget::KeyWidget(const KeySpec& key, std::function<void(QPointF)> pressAt, QWidget* parent)
    : QWidget(parent), key_(key),
      gesture_(this, key.code, std::move(pressAt), [this] { if (onRelease) onRelease(); }) {}

void KeyWidget::detach() {
    onRelease = nullptr;
    gesture_.setHandlers(nullptr);
}

void KeyWidget::pointerMoved(QPointF) {}

void KeyWidget::hoverEnded() {}

void KeyWidget::mousePressEvent(QMouseEvent* event) {
    if (!gesture_.mousePress(event)) QWidget::mousePressEvent(event);
}

void KeyWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!gesture_.mousePress(event)) QWidget::mouseDoubleClickEvent(event);
}

void KeyWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!gesture_.mouseRelease(event)) QWidget::mouseReleaseEvent(event);
}

void KeyWidget::mouseMoveEvent(QMouseEvent* event) {
    gesture_.mouseMove(event);
    pointerMoved(event->position());
}

void KeyWidget::leaveEvent(QEvent* event) {
    hoverEnded();
    QWidget::leaveEvent(event);
}

void KeyWidget::contextMenuEvent(QContextMenuEvent* event) {
    gesture_.contextMenu(event);
    // The menu takes the pointer, and the window system need not tell us it left.
    hoverEnded();
}

bool KeyWidget::event(QEvent* event) {
    if (gesture_.handleAbandoningEvent(event)) hoverEnded();
    return QWidget::event(event);
}

} // namespace tw
