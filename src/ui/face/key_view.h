// One key of the drawn face, and the hit area over its gold legend.
#pragma once

#include "runtime/catalog/calculator_model.h"
#include "ui/face/key_widget.h"

#include <functional>

namespace tw {

class KeyView : public KeyWidget {
    Q_OBJECT
public:
    KeyView(const KeySpec& key, const ModelColors& colors, QWidget* parent = nullptr);

    void setPressed(bool pressed);
    void setLatched(bool latched);
    // The face's plain cap height; legends and lines scale with it.
    void setUnit(double unit);

    std::function<void(KeyPart)> onPress;
    // Tells the face that the shortcut badge appeared or went away.
    std::function<void()> onHoverChanged;

    bool isDown() const { return pressed_ || gesture_.touching(); }
    bool isLatched() const { return latched_; }
    bool hovering() const { return hovering_; }
    bool hoverG() const { return hoverG_; }
    double unit() const { return unit_; }
    // Height of the front strip that carries the blue legend.
    double stripHeight() const;
    // The part that a press starting here presses.
    KeyPart partAt(QPointF p) const;
    // The shortcut badge's box in the key's coordinates; it straddles the cap's top edge.
    QRectF badgeRect() const;
    void paintBadge(QPainter& painter, QPointF offset) const;
    // The accessible press: press of the face and at once its release.
    void activate();
    void detach() override;

    static QString accessibleLabel(const KeySpec& key);
    static QString toolTipText(const KeySpec& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void pointerMoved(QPointF p) override;
    void hoverEnded() override;

private:
    void setHover(bool hovering, bool hoverG);
    void updateShadow();
    QFont badgeFont() const;

    ModelColors colors_;
    bool pressed_ = false;
    bool latched_ = false;
    bool hovering_ = false;
    bool hoverG_ = false;
    double unit_ = 20;
};

class LegendArea : public KeyWidget {
    Q_OBJECT
public:
    LegendArea(const KeySpec& key, const ModelColors& colors, QWidget* parent = nullptr);

    std::function<void()> onPress;

    bool hovering() const { return hovering_; }
    void activate();
    void detach() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void hoverEnded() override;

private:
    ModelColors colors_;
    bool hovering_ = false;
};

} // namespace tw
