// The HP-15C memory pool: a proportional bar of its segments with a tooltip
// per block, the g MEM summary and a legend of the segment groups.
#pragma once

#include <QLabel>
#include <QVBoxLayout>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "runtime/snapshot/pool15.h"

namespace tw {

struct PoolLegendEntry {
    QString label;     // the group: "A–E", "free", "R2…", ...
    Pool15::Kind kind; // of the group's first segment in pool order
    int count = 0;     // registers of the whole group
    int first = 0;     // the group's lowest first register
    bool operator==(const PoolLegendEntry&) const = default;

    // "matrices" for the group of matrices, the group label otherwise.
    QString displayName() const;
    // "SOLVE/∫ workspace 23"
    QString text() const;
};

// One entry per group of segments, in memory order.
std::vector<PoolLegendEntry> poolLegend(const Pool15& pool);

class PoolBar : public QWidget {
    Q_OBJECT
public:
    explicit PoolBar(int height = 14, QWidget* parent = nullptr);

    void setPool(const Pool15& pool);

    // "R2–R19: 18 registers, Nut BE–CF"
    static QString help(const Pool15::Segment& segment);
    // The blocks' rectangles in a bar of the given width, in segment order.
    static std::vector<QRectF> segmentRects(const std::vector<Pool15::Segment>& segments, double width, double height);
    // The segment under a point of the bar; none in a gap.
    std::optional<Pool15::Segment> segmentAt(const QPoint& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int height_;
    std::vector<Pool15::Segment> segments_;
};

class PoolSection : public QWidget {
    Q_OBJECT
public:
    explicit PoolSection(QWidget* parent = nullptr);

    void setPool(const Pool15& pool);

    PoolBar* bar() const { return bar_; }
    QString summaryText() const { return summary_; }
    // The summary as shown: cut with an ellipsis when it does not fit.
    QString shownSummary() const { return summaryLabel_->text(); }
    // The legend's texts by line (three to a line).
    std::vector<QStringList> legendLines() const;
    // The legend's items, in order (for tests and screenshots).
    const std::vector<QWidget*>& legendItems() const { return legendItems_; }

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitSummary();
    void rebuildLegend();
    void applyColours();

    PoolBar* bar_;
    QString summary_;
    QLabel* summaryLabel_;
    QVBoxLayout* legend_; // a line of three entries each, laid out on its own
    std::vector<PoolLegendEntry> entries_;
    std::vector<QWidget*> legendItems_;
};

} // namespace tw
