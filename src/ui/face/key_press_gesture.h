// One press and one release per click on any key of either face, the latch gesture
// (Ctrl-click and the context-menu item), and the end of presses that the window
// system abandons.
#pragma once

#include "runtime/catalog/catalog_key.h"

#include <QPointF>

#include <functional>
#include <set>

class QContextMenuEvent;
class QEvent;
class QMenu;
class QMouseEvent;
class QWidget;

namespace tw {

// What the calculator view hands every key for latching.
struct KeyLatchHandlers {
    std::function<void(int)> toggle; // latch, or release all latched keys
    std::function<void(int)> hold;   // latch without pressing; no gesture calls it
};

// The three callbacks a face gives its keys.
struct FaceCallbacks {
    std::function<void(int)> press;
    std::function<void(int)> release;
    std::function<void(int, KeyPart)> pressPart; // may be empty
};

class KeyPressGesture {
public:
    KeyPressGesture(QWidget* owner, int code, std::function<void(QPointF)> onPress, std::function<void()> onRelease);

    // Owned by the face, which outlives its keys.
    void setHandlers(const KeyLatchHandlers* handlers) { handlers_ = handlers; }
    bool touching() const { return touching_; }

    // The widget forwards its events here; each returns whether it used the event.
    bool mousePress(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    void contextMenu(QContextMenuEvent* event);
    // Hide, window deactivation, lost mouse grab: a press without its end.
    bool handleAbandoningEvent(QEvent* event);
    // Ends a press in progress as if the button had gone up.
    void abandon();

    // The key's context menu (not yet shown), with its one latch item.
    QMenu* makeContextMenu();

    static QString latchItemText();

    // Called whenever `touching` changes, after the owner was asked to repaint.
    std::function<void()> onTouchingChanged;

private:
    void toggle();
    void end();

    QWidget* owner_;
    int code_;
    std::function<void(QPointF)> onPress_;
    std::function<void()> onRelease_;
    const KeyLatchHandlers* handlers_ = nullptr;
    bool touching_ = false;
    bool latchedByGesture_ = false;
};

} // namespace tw
