// A transparent layer over a face for what may cross its widgets' edges (the
// shortcut badges); it takes no pointer input.
#pragma once

#include <QWidget>

#include <functional>

namespace tw {

class DecorationLayer : public QWidget {
    Q_OBJECT
public:
    explicit DecorationLayer(QWidget* parent);
    std::function<void(QPainter&)> paint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tw
