// The invisible touch area of one key on the photograph: which part a press means,
// the legend tint under the pointer, the shortcut badge and the latch mark.
#pragma once

#include "runtime/catalog/catalog_key.h"
#include "runtime/face/key_zones.h"
#include "ui/face/key_widget.h"

#include <optional>

namespace tw {

class PhotoKeyArea : public KeyWidget {
    Q_OBJECT
public:
    PhotoKeyArea(const KeySpec& key, QWidget* parent = nullptr);

    // The zones in the area's own coordinates; nothing when the photograph has none.
    void setZones(double unit, std::optional<KeyZones> zones);
    void setLatched(bool latched);

    std::function<void(KeyPart)> onPress;

    KeyPart partAt(QPointF p) const;
    std::optional<KeyPart> hoverPartAt(QPointF p) const;
    bool hovering() const { return hovering_; }
    std::optional<KeyPart> hoverPart() const { return hoverPart_; }
    double unit() const { return unit_; }
    const std::optional<KeyZones>& zones() const { return zones_; }
    void activate();
    void detach() override;

    static QString toolTipText(const KeySpec& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void pointerMoved(QPointF p) override;
    void hoverEnded() override;

private:
    void setHover(bool hovering, std::optional<KeyPart> part);

    double unit_ = 20;
    std::optional<KeyZones> zones_;
    bool latched_ = false;
    bool hovering_ = false;
    std::optional<KeyPart> hoverPart_;
};

} // namespace tw
