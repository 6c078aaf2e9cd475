#include "inspector/pool_section.h"

#include "inspector/plain_tool_tip.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

#include "inspector/inspector_style.h"

namespace tw {

namespace {

constexpr int kLegendPerLine = 3;

QString hex2(int value) {
    return QString::asprintf("%02X", static_cast<unsigned>(value));
}

QString groupLabel(const Pool15::Kind& kind) {
    return kind.kind == Pool15::Kind::Case::matrix ? QStringLiteral("A–E") : qs(kind.shortLabel());
}

// A swatch and its text.
class LegendItem : public QWidget {
public:
    LegendItem(const PoolLegendEntry& entry, QWidget* parent) : QWidget(parent), entry_(entry) {
        setFont(inspectorFont(10));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setAccessibleName(entry.text());
    }
    QString text() const { return entry_.text(); }
    // The widest entry of a line too wide for a narrow column shortens its name with
    // an ellipsis, keeping its count, rather than being cut through a letter at the edge.
    void setShrinkable(bool shrinkable) {
        shrinkable_ = shrinkable;
        setToolTip(shrinkable ? plainToolTip(entry_.text()) : QString());
        updateGeometry();
    }
    QSize sizeHint() const override {
        const QFontMetrics fm(font());
        return {9 + 3 + fm.horizontalAdvance(entry_.text()) + 1, std::max(9, fm.height())};
    }
    QSize minimumSizeHint() const override {
        if (!shrinkable_) return sizeHint();
        const QFontMetrics fm(font());
        return {9 + 3 + fm.horizontalAdvance(QStringLiteral("… ") + countText()) + 1, std::max(9, fm.height())};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(poolColor(entry_.kind, palette()));
        p.drawRoundedRect(QRectF(0, (height() - 9) / 2.0, 9, 9), 2, 2);
        p.setPen(secondaryText(palette()));
        const QRect room(12, 0, width() - 12, height());
        p.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, shownText(room.width()));
    }

private:
    QString countText() const { return QString::number(entry_.count); }
    QString shownText(int room) const {
        const QFontMetrics fm(font());
        if (fm.horizontalAdvance(entry_.text()) <= room) return entry_.text();
        const QString count = QLatin1Char(' ') + countText();
        return fm.elidedText(entry_.displayName(), Qt::ElideRight, room - fm.horizontalAdvance(count)) + count;
    }

    bool shrinkable_ = false;
    PoolLegendEntry entry_;
};

} // namespace

QString PoolLegendEntry::displayName() const {
    return label == QStringLiteral("A–E") ? QStringLiteral("matrices") : label;
}

QString PoolLegendEntry::text() const {
    return displayName() + ' ' + QString::number(count);
}

std::vector<PoolLegendEntry> poolLegend(const Pool15& pool) {
    std::vector<PoolLegendEntry> entries;
    for (const Pool15::Segment& seg : pool.segments()) {
        const QString label = groupLabel(seg.kind);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.label == label; });
        if (it == entries.end()) {
            entries.push_back({label, seg.kind, seg.count, seg.first});
        } else {
            it->count += seg.count;
            it->first = std::min(it->first, seg.first);
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

PoolBar::PoolBar(int height, QWidget* parent) : QWidget(parent), height_(height) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    setAccessibleName(tr("Memory pool"));
}

void PoolBar::setPool(const Pool15& pool) {
    auto segments = pool.segments();
    if (segments == segments_) return;
    segments_ = std::move(segments);
    QStringList parts;
    for (const auto& seg : segments_) parts << help(seg);
    setAccessibleDescription(parts.join("; "));
    update();
}

QString PoolBar::help(const Pool15::Segment& segment) {
    QString label = qs(segment.label());
    if (label.isEmpty()) label = qs(segment.kind.shortLabel());
    QString text = label + ": " + QString::number(segment.count) + " register" + (segment.count == 1 ? "" : "s");
    text += ", Nut " + hex2(segment.first) + "–" + hex2(segment.first + segment.count - 1);
    if (segment.kind.kind == Pool15::Kind::Case::workspace) text += " (freed at the next key)";
    return text;
}

std::vector<QRectF> PoolBar::segmentRects(const std::vector<Pool15::Segment>& segments, double width, double height) {
    std::vector<QRectF> rects;
    long long total = 0;
    for (const auto& s : segments) total += s.count;
    total = std::max<long long>(total, 1);
    const double n = double(segments.size());
    const double usable = width - (n - 1);
    double x = 0;
    for (const auto& s : segments) {
        const double w = std::max(2.0, usable * double(s.count) / double(total));
        rects.emplace_back(x, 0, w, height);
        x += w + 1;
    }
    return rects;
}

std::optional<Pool15::Segment> PoolBar::segmentAt(const QPoint& point) const {
    const auto rects = segmentRects(segments_, width(), height());
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (rects[i].contains(QPointF(point) + QPointF(0.5, 0.5)) && point.x() < width()) return segments_[i];
    }
    return std::nullopt;
}

QSize PoolBar::sizeHint() const { return {200, height_}; }
QSize PoolBar::minimumSizeHint() const { return {20, height_}; }

bool PoolBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto seg = segmentAt(help->pos()))
            QToolTip::showText(help->globalPos(), plainToolTip(PoolBar::help(*seg)), this);
        else QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PoolBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), 3, 3);
    p.setClipPath(clip);
    const auto rects = segmentRects(segments_, width(), height());
    for (std::size_t i = 0; i < rects.size(); ++i) p.fillRect(rects[i], poolColor(segments_[i].kind, palette()));
}

PoolSection::PoolSection(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 6, 10, 6);
    column->setSpacing(4);
    bar_ = new PoolBar(14, this);
    summaryLabel_ = new QLabel(this);
    summaryLabel_->setTextFormat(Qt::PlainText);
    summaryLabel_->setFont(monospacedFont(inspectorFont(11)));
    summaryLabel_->setMinimumWidth(0);
    summaryLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    legend_ = new QVBoxLayout;
    legend_->setSpacing(2);
    legend_->setContentsMargins(0, 0, 0, 0);
    column->addWidget(bar_);
    column->addWidget(summaryLabel_);
    column->addLayout(legend_);
    applyColours();
}

void PoolSection::setPool(const Pool15& pool) {
    bar_->setPool(pool);
    const QString summary = qs(pool.summary());
    if (summary != summary_) {
        summary_ = summary;
        fitSummary();
    }
    auto entries = poolLegend(pool);
    if (entries != entries_) {
        entries_ = std::move(entries);
        rebuildLegend();
    }
}

void PoolSection::rebuildLegend() {
    for (QWidget* w : legendItems_) delete w;
    legendItems_.clear();
    while (QLayoutItem* line = legend_->takeAt(0)) delete line;
    // Each line is laid out on its own: a grid would align the entries in columns
    // across lines and make the widest column cut the narrow section.
    QHBoxLayout* line = nullptr;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (i % kLegendPerLine == 0) {
            line = new QHBoxLayout;
            line->setSpacing(10);
            line->setContentsMargins(0, 0, 0, 0);
            legend_->addLayout(line);
        }
        auto* item = new LegendItem(entries_[i], this);
        line->addWidget(item, 0, Qt::AlignVCenter);
        legendItems_.push_back(item);
    }
    for (std::size_t start = 0; start < legendItems_.size(); start += kLegendPerLine) {
        const std::size_t end = std::min(start + kLegendPerLine, legendItems_.size());
        auto widest = std::max_element(legendItems_.begin() + std::ptrdiff_t(start), legendItems_.begin() + std::ptrdiff_t(end),
                                       [](QWidget* a, QWidget* b) { return a->sizeHint().width() < b->sizeHint().width(); });
        static_cast<LegendItem*>(*widest)->setShrinkable(true);
    }
    for (int i = 0; i < legend_->count(); ++i) static_cast<QHBoxLayout*>(legend_->itemAt(i)->layout())->addStretch(1);
}

std::vector<QStringList> PoolSection::legendLines() const {
    std::vector<QStringList> lines;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (i % kLegendPerLine == 0) lines.emplace_back();
        lines.back() << entries_[i].text();
    }
    return lines;
}

void PoolSection::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitSummary();
}

void PoolSection::fitSummary() {
    // The summary shrinks to 0.7 of its size before it is cut, so that the
    // whole line fits a narrow column.
    // What still does not fit ends with an ellipsis.
    const QFont full = monospacedFont(inspectorFont(11));
    const int room = contentsRect().width() - 20;
    const QFont font = room > 0 ? shrunkToFit(full, summary_, room, 0.7) : full;
    if (font != summaryLabel_->font()) summaryLabel_->setFont(font);
    const QString shown = room > 0 ? QFontMetrics(font).elidedText(summary_, Qt::ElideRight, room) : summary_;
    if (shown != summaryLabel_->text()) summaryLabel_->setText(shown);
}

void PoolSection::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColours();
    QWidget::changeEvent(event);
}

void PoolSection::applyColours() {
    setSecondaryText(*summaryLabel_, palette());
}

} // namespace tw
