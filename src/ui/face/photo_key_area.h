// The invisible touch area of one key on the photograph: which part a press means,
// the legend tint under the pointer, the shortcut badge and the latch mark.
#pragma once

#include "runtime/catalog/key_spec.h"
#include "runtime/face/key_zones.h"
#include "ui/face/key_press_gesture.h"

#include <QWidget>

#include <optional>

namespace tw {

class PhotoKeyArea : public QWidget {
    Q_OBJECT
public:
    PhotoKeyArea(const KeySpec& key, QWidget* parent = nullptr);

    const KeySpec& key() const { return key_; }
    // The zones in the area's own coordinates; nothing when the photograph has none.
    void setZones(double unit, std::optional<KeyZones> zones);
    void setLatched(bool latched);
    void setHandlers(const KeyLatchHandlers* handlers) { gesture_.setHandlers(handlers); }

    std::function<void(KeyPart)> onPress;
    std::function<void()> onRelease;

    KeyPart partAt(QPointF p) const;
    std::optional<KeyPart> hoverPartAt(QPointF p) const;
    bool hovering() const { return hovering_; }
    std::optional<KeyPart> hoverPart() const { return hoverPart_; }
    bool touching() const { return gesture_.touching(); }
    double unit() const { return unit_; }
    const std::optional<KeyZones>& zones() const { return zones_; }
    void activate();
    KeyPressGesture& gesture() { return gesture_; }

    static QString toolTipText(const KeySpec& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setHover(bool hovering, std::optional<KeyPart> part);

    KeySpec key_;
    KeyPressGesture gesture_;
    double unit_ = 20;
    std::optional<KeyZones> zones_;
    bool latched_ = false;
    bool hovering_ = false;
    std::optional<KeyPart> hoverPart_;
};

} // namespace tw
