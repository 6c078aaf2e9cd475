// Holds one child at a fixed width-to-height ratio, as large as the box allows and
// centred, on a dark background that fills the bands beside or above the child.
#pragma once

#include <QColor>
#include <QWidget>

namespace tw {

class AspectRatioBox : public QWidget {
    Q_OBJECT
public:
    explicit AspectRatioBox(QWidget* parent = nullptr);

    void setChild(QWidget* child);
    QWidget* child() const { return child_; }

    // Width over height; ignored unless positive.
    void setRatio(double ratio);
    double ratio() const { return ratio_; }

    // A part of the box (in its coordinates) that the child must leave uncovered, such
    // as a button laid over the box; empty for none.
    void setKeepClear(const QRect& keepClear);

    // The largest rectangle of the ratio that fits in `area`, centred in it.
    static QRect fitted(const QRect& area, double ratio);
    // The largest rectangle of the ratio in `area` that leaves `keepClear` uncovered:
    // centred in the whole area when it can be, else beside or below that part.
    static QRect fitted(const QRect& area, double ratio, const QRect& keepClear);

    static QColor background() { return QColor(28, 23, 20); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QWidget* child_ = nullptr;
    double ratio_ = 1.62;
    QRect keepClear_;
};

} // namespace tw
