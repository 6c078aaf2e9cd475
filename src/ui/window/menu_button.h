// The round "…" button in the top right corner of the calculator area that opens
// the in-window menu.
#pragma once

#include <QToolButton>

namespace tw {

class MenuButton : public QToolButton {
    Q_OBJECT
public:
    explicit MenuButton(QWidget* parent);

    QSize sizeHint() const override;

    static QColor tint() { return QColor(183, 154, 99); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tw
