// What every pressable key widget of either face shares: its key, the press gesture fed from
// its mouse events, and the end of its hover look when the pointer leaves, its context menu
// takes the pointer or a press is abandoned.
#pragma once

#include "runtime/catalog/catalog_key.h"
#include "ui/face/key_press_gesture.h"

#include <QWidget>

#include <functional>

namespace tw {

class KeyWidget : public QWidget {
    Q_OBJECT
public:
    const KeySpec& key() const { return key_; }
    // Owned by the face, which outlives its keys.
    void setHandlers(const KeyLatchHandlers* handlers) { gesture_.setHandlers(handlers); }
    bool touching() const { return gesture_.touching(); }
    KeyPressGesture& gesture() { return gesture_; }
    // Cuts every callback into the face, for a face that goes away before its keys.
    virtual void detach();

    std::function<void()> onRelease;

protected:
    // `pressAt` receives where in the widget a press began.
    KeyWidget(const KeySpec& key, std::function<void(QPointF)> pressAt, QWidget* parent);

    // The pointer moved to `p` (with or without a button down).
    virtual void pointerMoved(QPointF p);
    // The pointer left, or the window system abandoned a press.
    virtual void hoverEnded();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

    KeySpec key_;
    KeyPressGesture gesture_;
};

} // namespace tw
