#include "ui/face/key_press_gesture.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

namespace tw {

KeyPressGesture::KeyPressGesture(QWidget* owner, int code, std::function<void(QPointF)> onPress,
                                 std::function<void()> onRelease)
    : owner_(owner), code_(code), onPress_(std::move(onPress)), onRelease_(std::move(onRelease)) {}

QString KeyPressGesture::latchItemText() { return QCoreApplication::translate("KeyPressGesture", "Hold Key Down (Latch)"); }

bool KeyPressGesture::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return false;
    // Only the first press of a click counts; the second of a double click is a new click.
    if (touching_) return true;
    touching_ = true;
    latchedByGesture_ = false;
    owner_->update();
    if (onTouchingChanged) onTouchingChanged();
    if (event->modifiers() & Qt::ControlModifier) {
        latchedByGesture_ = true;
        toggle();
    } else if (onPress_) {
        onPress_(event->position());
    }
    return true;
}

bool KeyPressGesture::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !touching_) return false;
    end();
    return true;
}

bool KeyPressGesture::mouseMove(QMouseEvent* event) {
    // A release delivered elsewhere (a grab taken by a popup) leaves the button up
    // while we still think it is down.
    if (touching_ && !(event->buttons() & Qt::LeftButton)) {
        end();
        return true;
    }
    return touching_;
}

void KeyPressGesture::contextMenu(QContextMenuEvent* event) {
    abandon();
    QMenu* menu = makeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* KeyPressGesture::makeContextMenu() {
    auto* menu = new QMenu(owner_);
    QAction* item = menu->addAction(latchItemText());
    QObject::connect(item, &QAction::triggered, owner_, [this] { toggle(); });
    return menu;
}

bool KeyPressGesture::handleAbandoningEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
    case QEvent::UngrabMouse:
    case QEvent::WindowBlocked:
        abandon();
        return true;
    default: return false;
    }
}

void KeyPressGesture::abandon() {
    if (touching_) end();
}

void KeyPressGesture::toggle() {
    if (handlers_ && handlers_->toggle) handlers_->toggle(code_);
}

void KeyPressGesture::end() {
    touching_ = false;
    owner_->update();
    if (onTouchingChanged) onTouchingChanged();
    if (latchedByGesture_) {
        latchedByGesture_ = false;
        return;
    }
    if (onRelease_) onRelease_();
}

} // namespace tw
